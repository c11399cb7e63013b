#pragma once
// "About Wavelorn": the icon, the name, the version and what the program does.

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent);
};
