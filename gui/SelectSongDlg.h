#pragma once
// "Select Project": lists the projects of the disk's FNB.BIN, then those an import
// handed to the recorder that it has not taken over yet (pending: they cannot be
// chosen, a note says why), shows the name, rate and word length of the highlighted
// one and hands the choice to the document.
// Below, it names what an interrupted import left on the disk (it changes nothing).

#include "app/ProjectChoice.h"

#include <QDialog>
#include <QStringList>

class COVFtoWAVEDoc;
class QLabel;
class QListWidget;
class QPushButton;

class CSelectSongDlg : public QDialog {
    Q_OBJECT

public:
    CSelectSongDlg(COVFtoWAVEDoc& doc, QWidget* parent);

public slots:
    // "&Select": the choice writes the shown texts and the highlighted record into
    // the document; with nothing highlighted the record is cleared and the dialog stays.
    void accept() override;

private:
    void LoadProjects();
    void ShowInformation(int row);

    QStringList m_lines;  // the list's, filled with the choice
    CProjectChoice m_choice;
    QListWidget* m_list;
    QLabel* m_nameValue;
    QLabel* m_rateValue;
    QLabel* m_bitsValue;
    QPushButton* m_select;
    QLabel* m_pendingNote;
};
