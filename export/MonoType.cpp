#include "export/MonoType.h"

#include "export/MonoFileDialog.h"
#include "recorder/Track.h"

platform::FileDialogRequest CMonoType::DialogOptions(int trackCount, CTrack* const* tracks)
{
    platform::FileDialogRequest request;
    request.promptOverwrite = false;  // the accept check asks per output file instead
    request.acceptCheck = [dialog = CMonoFileDialog(m_ui, trackCount, tracks, m_files)](const std::string& path) {
        return dialog.CheckExistingFiles(path);
    };
    return request;
}

void CMonoType::Run(const SoundFileType& type, const sobinder& record, int trackCount, CTrack* const* tracks,
                    const std::string& path)
{
    const MonoOutputPath output = SplitMonoPath(path);
    Require(output.hasDot, Reason::OutputNameWithoutDot, path);
    const auto factory = type.makeFactory();
    CExportProgress progress(m_ui.CreateProgressWindow(), ExportFrameTotal(tracks, trackCount, Layout()));
    progress.Show();
    auto chunk = MakeChunkBuffer(*tracks[0], 1);
    for (int i = 0; i < trackCount; ++i) {
        CTrack* const track = tracks[i];
        const auto writer = factory->CreateSoundFile(
            MonoOutputName(output, track->GetTrack(), track->GetVirtualTrack()), record, 1, m_files);
        Require(writer != nullptr);
        OpenWriter(*writer);
        ExportTracks(*writer, &tracks[i], 1, chunk, progress);
    }
}
