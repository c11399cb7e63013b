#pragma once
// The user-interface port of the command-line tool. Message texts go to stderr, without
// their detail (under --quiet only those that are no mere information): the commands
// print the reason and the warnings in their own lines; questions are answered from the
// command line (--yes), never printed and never wait for input.
// There are no dialogs: the export's path comes from the command line.

#include "platform/UserInterface.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace cli {

class ConsoleUserInterface : public platform::UserInterface {
public:
    ConsoleUserInterface(std::FILE* messages, bool assumeYes);

    platform::Answer ShowMessage(const std::string& text, platform::MessageIcon icon,
                                 platform::MessageButtons buttons, const platform::MessageDetail& detail) override;
    std::optional<std::string> RunFileDialog(const platform::FileDialogRequest& request) override;
    std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& startFolder) override;
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    std::unique_ptr<platform::ProgressWindow> CreateProgressWindow() override;
    // A stop request that arrived since platform::CatchStopRequests.
    bool StopRequested() const override;

    // Prints a line of the tool's own (warnings) to the message stream.
    void Warn(const std::string& text);

private:
    void Print(const std::string& text);

    std::FILE* m_messages;
    bool m_assumeYes;
};

// The path as a save dialog returns it: a last component without a dot gets the
// default extension.
std::string WithDefaultExtension(const std::string& path, const std::string& defaultExtension);

}  // namespace cli
