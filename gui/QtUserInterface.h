#pragma once
// The user-interface port of the desktop program: Qt message boxes, file dialogs
// that run the engine's accept check before they close, the folder browser, the
// wait cursor and the animated "Convert" window.

#include "platform/UserInterface.h"

#include <QPointer>
#include <QWidget>

namespace gui {

class QtUserInterface : public platform::UserInterface {
public:
    // The window that owns the port's windows when no dialog is in front.
    void SetMainWindow(QWidget* window) { m_mainWindow = window; }

    platform::Answer ShowMessage(const std::string& text, platform::MessageIcon icon,
                                 platform::MessageButtons buttons, const platform::MessageDetail& detail) override;
    std::optional<std::string> RunFileDialog(const platform::FileDialogRequest& request) override;
    std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& startFolder) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    std::unique_ptr<platform::ProgressWindow> CreateProgressWindow() override;

    // True while a run holds the program (its wait cursor is shown).
    bool Busy() const { return m_waitDepth > 0; }

    // Marks a window as one of the port's dialogs: it takes input during a run.
    static void MarkAsPortDialog(QWidget& dialog);
    static bool IsPortDialog(const QWidget& window);

private:
    // The window in front: a modal dialog when one is open, else the main window.
    QWidget* FrontWindow() const;
    // Whether the user may replace an existing file: asked through the port.
    bool AcceptOverwrite(const std::string& path);

    QPointer<QWidget> m_mainWindow;
    int m_waitDepth = 0;
};

}  // namespace gui
