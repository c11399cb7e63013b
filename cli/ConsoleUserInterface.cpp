#include "cli/ConsoleUserInterface.h"

#include "cli/Output.h"
#include "cli/ProgressBar.h"
#include "platform/Files.h"
#include "platform/Interruption.h"

namespace cli {

ConsoleUserInterface::ConsoleUserInterface(std::FILE* messages, bool assumeYes)
    : m_messages(messages), m_assumeYes(assumeYes)
{
}

std::string WithDefaultExtension(const std::string& path, const std::string& defaultExtension)
{
    if (platform::NamePart(path).find('.') != std::string::npos)
        return path;
    return path + defaultExtension;
}

platform::Answer ConsoleUserInterface::ShowMessage(const std::string& text, platform::MessageIcon icon,
                                                   platform::MessageButtons buttons, const platform::MessageDetail&)
{
    // A question nobody could answer is not printed: --yes has answered it already.
    if (buttons != platform::MessageButtons::Ok)
        return m_assumeYes ? platform::Answer::Yes : platform::Answer::No;
    // --quiet keeps the errors: a message that only informs ("Convert succeeded.") is left out.
    if (!Quiet() || icon != platform::MessageIcon::Information)
        Print(text);
    return platform::Answer::Ok;
}

std::optional<std::string> ConsoleUserInterface::RunFileDialog(const platform::FileDialogRequest&)
{
    return std::nullopt;
}

std::optional<std::string> ConsoleUserInterface::BrowseForFolder(const std::string&, const std::string&)
{
    return std::nullopt;
}

std::unique_ptr<platform::ProgressWindow> ConsoleUserInterface::CreateProgressWindow()
{
    return std::make_unique<ProgressBar>(m_messages);
}

bool ConsoleUserInterface::StopRequested() const
{
    return platform::StopRequestArrived();
}

void ConsoleUserInterface::Warn(const std::string& text)
{
    Print(text);
}

void ConsoleUserInterface::Print(const std::string& text)
{
    std::fprintf(m_messages, "%s\n", WithLineBreaks(text).c_str());
    std::fflush(m_messages);
}

}  // namespace cli
