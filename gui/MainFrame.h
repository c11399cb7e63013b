#pragma once
// The main window "Wavelorn": the menu, the view with its two pages, a fixed size
// fitted to the form and a close button only. Its title names the open disk; a
// folder dropped on it opens as the disk.

#include "gui/OVFtoWAVEView.h"

#include <QMainWindow>

class QAction;
class QMenu;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    CMainFrame(COVFtoWAVEDoc& doc, platform::UserInterface& ui, CUserData& settings, const std::string& baseFolder);

    COVFtoWAVEView& View() { return *m_view; }

    // Whether "Select &Project..." can be chosen.
    void SetProjectCmdEnabled(bool enabled);

protected:
    // A folder dropped on the window opens as the disk.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateMenu();
    void OnPageShown(COVFtoWAVEView::Page page);
    void OnAbout();
    void OnArchiveDisk();
    void PlaceOnScreen();
    // "FOLDER - Wavelorn", or "Wavelorn" while no disk is open.
    void ShowDiskInTitle();

    COVFtoWAVEDoc& m_doc;
    platform::UserInterface& m_ui;
    CUserData& m_settings;
    COVFtoWAVEView* m_view;
    QMenu* m_pageMenu = nullptr;
    QAction* m_selectProject = nullptr;
    QAction* m_moToFile = nullptr;
    QAction* m_fileToMo = nullptr;
};
