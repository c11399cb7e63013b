#pragma once
// The user-interface port of the command-line tool. Message texts go to stderr;
// questions are answered from the command line (--yes) and never wait for input;
// the one file dialog of a run is answered with the path given on the command line.

#include "platform/UserInterface.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace cli {

class ConsoleUserInterface : public platform::UserInterface {
public:
    ConsoleUserInterface(std::FILE* messages, bool assumeYes);

    // The answer of the next file dialog: its path, as typed by the user.
    void SetDialogAnswer(const std::string& path) { m_dialogAnswer = path; }

    platform::Answer ShowMessage(const std::string& text, platform::MessageIcon icon,
                                 platform::MessageButtons buttons) override;
    std::optional<std::string> RunFileDialog(const platform::FileDialogRequest& request) override;
    std::optional<std::string> BrowseForFolder(const std::string& title) override;
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    std::unique_ptr<platform::ProgressWindow> CreateProgressWindow() override;

    // Prints a line of the tool's own (warnings) to the message stream.
    void Warn(const std::string& text);
    // True once a question whether to replace an existing file was answered no.
    bool DeclinedOverwrite() const { return m_declinedOverwrite; }

private:
    bool AcceptOverwrite(const std::string& path);
    void Print(const std::string& text);

    std::FILE* m_messages;
    bool m_assumeYes;
    std::optional<std::string> m_dialogAnswer;
    bool m_declinedOverwrite = false;
};

// The path as a save dialog returns it: a last component without a dot gets the
// default extension.
std::string WithDefaultExtension(const std::string& path, const std::string& defaultExtension);

}  // namespace cli
