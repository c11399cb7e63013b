#include "cli/ConsoleUserInterface.h"

#include "cli/ProgressBar.h"
#include "platform/FileSystem.h"
#include "platform/Files.h"


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

platform::Answer ConsoleUserInterface::ShowMessage(const std::string& text, platform::MessageIcon,
                                                   platform::MessageButtons buttons)
{
    Print(text);
    if (buttons == platform::MessageButtons::Ok)
        return platform::Answer::Ok;
    if (!m_assumeYes && text.ends_with(MessageText(MessageId::FileExists)))
        m_declinedOverwrite = true;
    return m_assumeYes ? platform::Answer::Yes : platform::Answer::No;
}

bool ConsoleUserInterface::AcceptOverwrite(const std::string& path)
{
    if (platform::RealFileSystem().KindOf(path) == platform::FileKind::None)
        return true;
    return AskReplace(platform::NamePart(path));
}

std::optional<std::string> ConsoleUserInterface::RunFileDialog(const platform::FileDialogRequest& request)
{
    if (!m_dialogAnswer)
        return std::nullopt;
    const std::string path = WithDefaultExtension(*m_dialogAnswer, request.defaultExtension);
    m_dialogAnswer.reset();
    // A refused choice would keep a real dialog open; here nobody can type another name.
    if (request.promptOverwrite && !AcceptOverwrite(path))
        return std::nullopt;
    if (request.acceptCheck && !request.acceptCheck(path))
        return std::nullopt;
    return path;
}

std::optional<std::string> ConsoleUserInterface::BrowseForFolder(const std::string&)
{
    return std::nullopt;
}

std::unique_ptr<platform::ProgressWindow> ConsoleUserInterface::CreateProgressWindow()
{
    return std::make_unique<ProgressBar>(m_messages);
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
