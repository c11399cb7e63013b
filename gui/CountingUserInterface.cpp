#include "gui/CountingUserInterface.h"

platform::Answer CCountingUserInterface::ShowMessage(const std::string& text, platform::MessageIcon icon,
                                                     platform::MessageButtons buttons)
{
    ++m_messageCount;
    return m_port.ShowMessage(text, icon, buttons);
}

std::optional<std::string> CCountingUserInterface::RunFileDialog(const platform::FileDialogRequest& request)
{
    return m_port.RunFileDialog(request);
}

std::optional<std::string> CCountingUserInterface::BrowseForFolder(const std::string& title)
{
    return m_port.BrowseForFolder(title);
}

void CCountingUserInterface::BeginWaitCursor()
{
    m_port.BeginWaitCursor();
}

void CCountingUserInterface::EndWaitCursor()
{
    m_port.EndWaitCursor();
}

std::unique_ptr<platform::ProgressWindow> CCountingUserInterface::CreateProgressWindow()
{
    return m_port.CreateProgressWindow();
}
