#pragma once
// The user-interface port: everything the logic asks of the person at the screen.
// The Qt front end, the console tool and the tests each plug in their own.
//
// Threading: the engine has one thread. Every call of the port, and of the progress
// window it creates, arrives synchronously on the thread that started the run or
// the check, also from inside a file dialog's accept check and from the WAVE
// reader's header check; an implementation returns only when the answer is known.

#include "platform/Files.h"
#include "platform/Messages.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class MessageIcon { Information, Exclamation };
enum class MessageButtons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// What a message box says beside the system's own text.
struct MessageDetail {
    // Below the text: the engine's reason, the files a run wrote, its warnings. The
    // same CR LF line breaks as the system's texts. Empty: nothing below.
    std::string text;
    // A folder the box offers to open in the file manager; empty: no such offer.
    std::string folder;
};

// One open or save file dialog. `filter` uses the classic "Text|pattern|...||" form.
struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Save;
    std::string title;              // what the dialog is for; empty: the system's "Open"/"Save As"
    std::string initialFolder;      // empty: the dialog's own choice
    std::string initialName;
    std::string defaultExtension;   // with its leading dot, e.g. ".wav"
    std::string filter;
    bool promptOverwrite = false;   // the standard "replace?" question of a save dialog
    // Called with the full chosen path before the dialog closes with OK;
    // false keeps the dialog open. Empty: every choice is accepted.
    std::function<bool(const std::string& path)> acceptCheck;
};

// The small animated "Convert" window shown during long work.
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;  // destroying the object destroys the window
    virtual void SetText(const std::string& text) = 0;
    virtual void Show() = 0;
    // Shows the window only once the work has lasted long enough to need one, so that a
    // short check opens and closes no window; a window without the means shows at once.
    virtual void ShowWhenSlow() { Show(); }
    virtual void StepAnimation() = 0;
    // Progress as a share of the work: the total in the run's own unit (frames for
    // an export, source bytes for an import), then how much of it is done. A window
    // without a measure ignores them; the total is unknown until SetTotal.
    virtual void SetTotal(std::uint64_t total) { static_cast<void>(total); }
    virtual void SetDone(std::uint64_t done) { static_cast<void>(done); }
    // A short line of figures beside the measure (what the reads of a damaged disk
    // cost); a window without room for it ignores it.
    virtual void SetDetail(const std::string& detail) { static_cast<void>(detail); }
    // True once the person asked the run to stop (Cancel, Ctrl+C); the runs ask
    // between blocks. A window without the means never asks to stop.
    virtual bool StopRequested() const { return false; }
};

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A message box with the caption "Wavelorn": the system's `text`, and `detail` beside
    // it where the port has room (the console prints the text alone: the command line
    // says the reason in its own words). Returns Ok for an OK box, Yes or No for a question.
    virtual Answer ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons,
                               const MessageDetail& detail = {}) = 0;

    // Runs a file dialog; the chosen full path, or nothing when the user cancelled.
    // A name typed without extension gets the request's default extension.
    virtual std::optional<std::string> RunFileDialog(const FileDialogRequest& request) = 0;

    // The folder browser, opening at `startFolder` (the home folder when it is empty or
    // gone); the chosen folder, or nothing on cancel.
    virtual std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& startFolder) = 0;

    // Shows the wait cursor until EndWaitCursor.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    // Creates the progress window (not yet shown); null when it cannot be created.
    virtual std::unique_ptr<ProgressWindow> CreateProgressWindow() = 0;

    // True once the person asked the work under way to stop where no progress window
    // is shown (the import's checks): a port without the means never asks to stop.
    virtual bool StopRequested() const { return false; }

    // Conveniences for the common message boxes.
    void ShowError(MessageId id, const MessageDetail& detail = {})
    {
        ShowMessage(MessageText(id), MessageIcon::Exclamation, MessageButtons::Ok, detail);
    }
    void ShowInformation(MessageId id, const MessageDetail& detail = {})
    {
        ShowMessage(MessageText(id), MessageIcon::Information, MessageButtons::Ok, detail);
    }
    bool AskYesNo(const std::string& text)
    {
        return ShowMessage(text, MessageIcon::Exclamation, MessageButtons::YesNo) == Answer::Yes;
    }
    // Asks whether the existing file `fileName` (a name without its folder) may be replaced.
    bool AskReplace(const std::string& fileName)
    {
        return AskYesNo(fileName + "\r\n" + MessageText(MessageId::FileExists));
    }
    // Asks about each of the existing files `paths` in turn whether it may be replaced:
    // the first the person keeps, or nothing when every one may be replaced.
    std::optional<std::string> FirstKept(const std::vector<std::string>& paths)
    {
        for (const std::string& path : paths) {
            if (!AskReplace(NamePart(path)))
                return path;
        }
        return std::nullopt;
    }
};

// Holds the wait cursor for the lifetime of the object.
class WaitCursor {
public:
    explicit WaitCursor(UserInterface& ui) : m_ui(ui) { m_ui.BeginWaitCursor(); }
    ~WaitCursor() { m_ui.EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    UserInterface& m_ui;
};

}  // namespace platform
