#pragma once
// A file dialog (never the platform's native one, which closes before a check can
// run) that asks a check before it closes with OK: the check may keep it open.

#include <QFileDialog>

#include <functional>

class CCheckedFileDialog : public QFileDialog {
    Q_OBJECT

public:
    // `check` gets the chosen path with the default suffix applied, in the platform's own
    // form (C:\... on Windows); false keeps the dialog open.
    CCheckedFileDialog(QWidget* parent, std::function<bool(const QString& path)> check);

    // The path the check accepted; empty until then.
    QString ChosenPath() const { return m_chosenPath; }

public slots:
    void accept() override;

private:
    std::function<bool(const QString& path)> m_check;
    QString m_chosenPath;
};
