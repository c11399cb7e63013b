#include "export/StereoType.h"

#include "recorder/Track.h"

platform::FileDialogRequest CStereoType::DialogOptions(int, CTrack* const*)
{
    platform::FileDialogRequest request;
    request.promptOverwrite = true;
    return request;
}

void CStereoType::Run(const SoundFileType& type, const sobinder& record, int trackCount, CTrack* const* tracks,
                      const std::string& path)
{
    const auto factory = type.makeFactory();
    const auto writer = factory->CreateSoundFile(path, record, trackCount, m_files);
    Require(writer != nullptr);
    CExportProgress progress(m_ui.CreateProgressWindow(), ExportFrameTotal(tracks, trackCount, Layout()));
    OpenWriter(*writer);
    auto chunk = MakeChunkBuffer(*tracks[0], trackCount);
    progress.Show();
    ExportTracks(*writer, tracks, trackCount, chunk, progress);
}
