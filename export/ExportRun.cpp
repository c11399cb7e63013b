#include "export/ExportRun.h"

#include "export/ChannelType.h"
#include "export/MonoType.h"
#include "export/StereoType.h"
#include "platform/UserInterface.h"
#include "recorder/Track.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr const char* kTrackCheckText = "Track check...";

using TrackList = std::vector<std::unique_ptr<CTrack>>;

// Opens the ticked tracks in ascending track order, stepping the progress window
// after each of the eight positions. False as soon as one cannot be opened; the
// tracks created so far are in `tracks` either way.
bool OpenTracks(const ExportSelection& selection, TrackList& tracks, platform::ProgressWindow* progress)
{
    for (std::size_t index = 0; index < kTrackCount; ++index) {
        if (selection.virtualTracks[index] != 0) {
            tracks.push_back(std::make_unique<CTrack>(selection.moFolder, selection.project, static_cast<int>(index) + 1,
                                                      selection.virtualTracks[index]));
            if (!tracks.back()->Open())
                return false;
        }
        if (progress)
            progress->StepAnimation();
    }
    return true;
}

bool Export(platform::UserInterface& ui, CUserData& settings, const ExportSelection& selection, TrackList& tracks)
{
    auto progress = ui.CreateProgressWindow();
    if (progress) {
        progress->SetText(kTrackCheckText);
        progress->Show();
    }
    if (!OpenTracks(selection, tracks, progress.get()) || tracks.empty())
        return false;

    std::unique_ptr<CChannelType> mode;
    if (selection.stereo)
        mode = std::make_unique<CStereoType>(ui, settings);
    else
        mode = std::make_unique<CMonoType>(ui, settings);
    progress.reset();

    std::vector<CTrack*> pointers;
    for (const auto& track : tracks)
        pointers.push_back(track.get());
    return mode->Convert(selection.fileType, selection.project, static_cast<int>(pointers.size()), pointers.data()) !=
           CChannelType::kFailed;
}

}  // namespace

bool RunExport(platform::UserInterface& ui, CUserData& settings, const ExportSelection& selection)
{
    bool succeeded = false;
    {
        platform::WaitCursor wait(ui);
        TrackList tracks;
        succeeded = Export(ui, settings, selection, tracks);
        for (const auto& track : tracks)
            track->Close();
    }
    if (succeeded)
        ui.ShowInformation(MessageId::ConvertSucceeded);
    else
        ui.ShowError(MessageId::ConvertFailed);
    return succeeded;
}

std::uint64_t ExpectedExportSteps(const ExportSelection& selection)
{
    constexpr std::uint64_t kChunkFrames = CChannelType::kChunkFrames;
    std::uint64_t steps = 0;
    std::uint64_t longest = 0;
    for (std::size_t index = 0; index < kTrackCount; ++index) {
        if (selection.virtualTracks[index] == 0)
            continue;
        CTrack track(selection.moFolder, selection.project, static_cast<int>(index) + 1, selection.virtualTracks[index]);
        if (!track.Open())
            continue;
        const std::uint64_t chunks = track.GetEndPosition() / kChunkFrames + 1;
        steps += chunks;
        longest = std::max(longest, chunks);
        track.Close();
    }
    return selection.stereo ? longest : steps;
}
