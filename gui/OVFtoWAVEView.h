#pragma once
// The content of the main window: the tab control with the "MO->File" and
// "File->MO" pages, the line below them that names the disk (or says why there is
// none to work on), and the commands that choose the disk and the project.

#include <QWidget>

#include <string>

class CFileSelPage;
class COVFtoWAVEDoc;
class CTrkSelPage;
class CUserData;
class QLabel;
class QTabWidget;

namespace platform {
class UserInterface;
}

class COVFtoWAVEView : public QWidget {
    Q_OBJECT

public:
    enum Page { MoToFile = 0, FileToMo = 1 };

    // `baseFolder` is where the File->MO page looks up track names without a folder.
    COVFtoWAVEView(COVFtoWAVEDoc& doc, platform::UserInterface& ui, CUserData& settings,
                   const std::string& baseFolder, QWidget* parent);

    // The menu's page commands: they select the tab; the switch follows the tab.
    void SelectPage(Page page);
    Page ShownPage() const;

    // "Select &Drive...": the document's drive choice, then the MO->File page follows
    // it; the chosen project stays only when the new disk lists its record unchanged.
    void OnSelectDrive();
    // Opens the disk in `folder` as "Select &Drive..." does, without the folder browser
    // (a second start of the program named it); a folder that does not exist is not taken.
    void OpenDisk(const std::string& folder);
    // "Select &Project...": the document's project choice through the project dialog.
    void OnSelectProject();

signals:
    // After every switch of the shown page.
    void pageShown(COVFtoWAVEView::Page page);
    // A page's "E&xit".
    void exitRequested();
    // Another disk folder was chosen.
    void diskChanged();

private:
    bool RunSelectProject();
    // Ctrl+Tab and Ctrl+Shift+Tab switch the page from every field of the window.
    void AddPageKeys();
    // After another disk was taken: the project stays only when the disk lists it.
    void FollowDiskChange();
    // Names the disk in the line below the pages, or says why there is none to work on.
    void ShowDisk();

    COVFtoWAVEDoc& m_doc;
    platform::UserInterface& m_ui;
    QTabWidget* m_pTab;
    CTrkSelPage* m_trkSelPage;
    CFileSelPage* m_fileSelPage;
    QLabel* m_diskNote;
};
