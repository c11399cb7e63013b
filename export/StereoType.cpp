#include "export/StereoType.h"

#include "platform/Files.h"
#include "recorder/Track.h"

std::vector<std::string> CStereoType::ExistingOutputs(const std::string& path) const
{
    if (m_files.KindOf(path) == platform::FileKind::None)
        return {};
    return {path};
}

platform::FileDialogRequest CStereoType::DialogOptions()
{
    platform::FileDialogRequest request;
    request.promptOverwrite = true;
    return request;
}

void CStereoType::Run(const std::string& path)
{
    const auto writer = CreateWriter(path, static_cast<int>(m_tracks.size()));
    CExportProgress progress = MakeProgress();
    OpenWriter(*writer);
    auto chunk = MakeChunkBuffer(static_cast<int>(m_tracks.size()));
    progress.Show();
    ExportTracks(*writer, m_tracks, chunk, progress);
}
