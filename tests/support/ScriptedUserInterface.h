#pragma once
// A user interface for tests: answers from queues and records everything it was
// shown, in order, so a test asserts exactly what the user saw.

#include "platform/UserInterface.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct UiEvent {
    enum class Kind { Message, FileDialog, FolderBrowser, WaitBegin, WaitEnd, ProgressCreated,
                      ProgressText, ProgressShown, ProgressStep, ProgressDestroyed };
    Kind kind;
    std::string text;  // message text, dialog's chosen path, browser title, progress text
    platform::MessageIcon icon = platform::MessageIcon::Exclamation;
    platform::MessageButtons buttons = platform::MessageButtons::Ok;
    platform::FileDialogRequest request;  // for FileDialog
    platform::MessageDetail detail;       // for Message: what it said beside its text
};

class ScriptedUserInterface : public platform::UserInterface {
public:
    // Queued answers. A question with no queued answer gets No; a dialog or browser
    // with no queued answer is cancelled.
    std::deque<platform::Answer> questionAnswers;
    // Each entry is one attempt in a file dialog: a path (the user pressed OK with it;
    // when the accept check refuses, the next entry is tried) or nothing (Cancel).
    std::deque<std::optional<std::string>> dialogAnswers;
    std::deque<std::optional<std::string>> folderAnswers;
    bool progressCreationFails = false;
    // The progress windows and the port itself answer the question whether to stop
    // with Yes from this question on (counted over all of them, from 0); negative: never.
    int stopAtPoll = -1;
    // How often the runs and checks asked whether to stop.
    mutable int stopPolls = 0;

    std::vector<UiEvent> events;

    platform::Answer ShowMessage(const std::string& text, platform::MessageIcon icon,
                                 platform::MessageButtons buttons, const platform::MessageDetail& detail) override;
    std::optional<std::string> RunFileDialog(const platform::FileDialogRequest& request) override;
    std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& startFolder) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    std::unique_ptr<platform::ProgressWindow> CreateProgressWindow() override;
    bool StopRequested() const override;

    // The texts of all message boxes and questions, in order.
    std::vector<std::string> Messages() const;
    // Their details' texts, in the same order.
    std::vector<std::string> Details() const;
    // Number of events of one kind.
    int Count(UiEvent::Kind kind) const;
    // The file dialog requests, in order.
    std::vector<platform::FileDialogRequest> DialogRequests() const;
};

}  // namespace testsupport
