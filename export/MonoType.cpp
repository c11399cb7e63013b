#include "export/MonoType.h"

#include "export/MonoFileDialog.h"
#include "recorder/Track.h"

std::vector<std::string> CMonoType::ExistingOutputs(const std::string& path) const
{
    return CMonoFileDialog(m_ui, static_cast<int>(m_tracks.size()), m_tracks.data(), m_files).ExistingFiles(path);
}

platform::FileDialogRequest CMonoType::DialogOptions()
{
    platform::FileDialogRequest request;
    request.promptOverwrite = false;  // the accept check asks per output file instead
    request.acceptCheck = [this](const std::string& path) { return !ConfirmReplacing(path); };
    return request;
}

void CMonoType::Run(const std::string& path)
{
    const MonoOutputPath output = SplitMonoPath(path);
    Require(output.hasDot, Reason::OutputNameWithoutDot, path);
    CExportProgress progress = MakeProgress();
    progress.Show();
    auto chunk = MakeChunkBuffer(1);
    for (std::size_t i = 0; i < m_tracks.size(); ++i) {
        const CTrack& track = *m_tracks[i];
        const auto writer = CreateWriter(MonoOutputName(output, track.GetTrack(), track.GetVirtualTrack()), 1);
        OpenWriter(*writer);
        ExportTracks(*writer, m_tracks.subspan(i, 1), chunk, progress);
    }
}
