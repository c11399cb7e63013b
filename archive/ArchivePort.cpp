#include "archive/ArchivePort.h"

namespace archive {

ArchivePort::ArchivePort(ArchiveProgress& progress, std::uint64_t bytesPerFrame)
    : m_progress(progress), m_bytesPerFrame(bytesPerFrame)
{
}

platform::Answer ArchivePort::ShowMessage(const std::string&, platform::MessageIcon, platform::MessageButtons buttons,
                                          const platform::MessageDetail&)
{
    return buttons == platform::MessageButtons::YesNo ? platform::Answer::Yes : platform::Answer::Ok;
}

std::optional<std::string> ArchivePort::RunFileDialog(const platform::FileDialogRequest&)
{
    return std::nullopt;
}

std::optional<std::string> ArchivePort::BrowseForFolder(const std::string&, const std::string&)
{
    return std::nullopt;
}

std::unique_ptr<platform::ProgressWindow> ArchivePort::CreateProgressWindow()
{
    return m_progress.FrameWindow(m_bytesPerFrame);
}

}  // namespace archive
