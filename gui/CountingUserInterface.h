#pragma once
// Passes everything on to another user-interface port and counts the message
// boxes shown, so that a caller can tell a refusal that showed nothing.

#include "platform/UserInterface.h"

class CCountingUserInterface : public platform::UserInterface {
public:
    explicit CCountingUserInterface(platform::UserInterface& port) : m_port(port) {}

    int MessageCount() const { return m_messageCount; }

    platform::Answer ShowMessage(const std::string& text, platform::MessageIcon icon,
                                 platform::MessageButtons buttons) override;
    std::optional<std::string> RunFileDialog(const platform::FileDialogRequest& request) override;
    std::optional<std::string> BrowseForFolder(const std::string& title) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    std::unique_ptr<platform::ProgressWindow> CreateProgressWindow() override;

private:
    platform::UserInterface& m_port;
    int m_messageCount = 0;
};
