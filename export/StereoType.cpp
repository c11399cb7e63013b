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
    const auto writer = factory->CreateSoundFile(path, record, trackCount);
    Require(writer != nullptr);
    const auto progress = m_ui.CreateProgressWindow();
    Require(writer->OpenFile());
    auto chunk = MakeChunkBuffer(*tracks[0], trackCount);
    if (progress)
        progress->Show();
    ExportTracks(*writer, tracks, trackCount, chunk, progress.get());
}
