#pragma once
// The user interface of programs that run the engine unattended (benchmarks, fuzz
// targets): it shows nothing, gives every question one answer and every save dialog
// one path (or cancels it), draws no bar, and keeps the last message for a report.

#include "platform/UserInterface.h"

#include <optional>
#include <string>
#include <utility>

namespace tools {

class SilentUserInterface : public platform::UserInterface {
public:
    explicit SilentUserInterface(platform::Answer answer = platform::Answer::Ok,
                                 std::optional<std::string> savePath = std::nullopt)
        : m_answer(answer), m_savePath(std::move(savePath))
    {
    }

    platform::Answer ShowMessage(const std::string& text, platform::MessageIcon, platform::MessageButtons,
                                 const platform::MessageDetail&) override
    {
        lastMessage = text;
        return m_answer;
    }
    std::optional<std::string> RunFileDialog(const platform::FileDialogRequest&) override { return m_savePath; }
    std::optional<std::string> BrowseForFolder(const std::string&, const std::string&) override { return std::nullopt; }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    std::unique_ptr<platform::ProgressWindow> CreateProgressWindow() override { return nullptr; }

    std::string lastMessage;

private:
    platform::Answer m_answer;
    std::optional<std::string> m_savePath;
};

}  // namespace tools
