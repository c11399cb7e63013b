#include "export/ExportRun.h"

#include "export/ChannelType.h"
#include "export/ProjectCheck.h"
#include "export/MonoType.h"
#include "export/StereoType.h"
#include "platform/Files.h"
#include "platform/UserInterface.h"
#include "recorder/Track.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr const char* kTrackCheckText = "Track check...";

using TrackList = std::vector<std::unique_ptr<CTrack>>;

// Opens the ticked tracks in ascending track order, stepping the progress window
// after each of the eight positions. Why the first that cannot be opened failed, or
// nothing; the tracks created so far are in `tracks` either way.
std::optional<Refusal> OpenTracks(const ExportSelection& selection, platform::FileSystem& files, TrackList& tracks,
                                  platform::ProgressWindow* progress)
{
    for (std::size_t index = 0; index < kTrackCount; ++index) {
        if (selection.virtualTracks[index] != 0) {
            tracks.push_back(std::make_unique<CTrack>(selection.moFolder, selection.project, static_cast<int>(index) + 1,
                                                      selection.virtualTracks[index], files));
            if (!tracks.back()->Open())
                return tracks.back()->GetOpenRefusal();
        }
        if (progress)
            progress->StepAnimation();
    }
    if (tracks.empty())
        return Refusal{MessageId::ConvertFailed, Reason::NoTrackChosen, {}, {}};
    return std::nullopt;
}

// A missing lead-in table once for the run, then each track that ended early.
std::vector<Warning> WarningsOf(const ExportSelection& selection, const TrackList& tracks)
{
    std::vector<Warning> warnings;
    if (std::any_of(tracks.begin(), tracks.end(), [](const auto& track) { return !track->HasLeadInTable(); }))
        warnings.push_back({WarningKind::LeadInTableMissing, selection.moFolder, {}});
    for (const auto& track : tracks) {
        if (track->GetEndWarning())
            warnings.push_back(*track->GetEndWarning());
    }
    return warnings;
}

ExportResult Export(platform::UserInterface& ui, CUserData& settings, const ExportSelection& selection,
                    platform::FileSystem& files, TrackList& tracks)
{
    ExportResult result;
    // A disk changed since the project was chosen would be read with the old record.
    if (ProjectGoneFromDisk(platform::JoinPath(selection.moFolder, kBinderFileName), selection.project, files)) {
        result.refusal = Refusal{MessageId::ConvertFailed, Reason::ProjectNotOnDisk, {}, {}};
        return result;
    }
    auto progress = ui.CreateProgressWindow();
    if (progress) {
        progress->SetText(kTrackCheckText);
        progress->Show();
    }
    result.refusal = OpenTracks(selection, files, tracks, progress.get());
    if (result.refusal)
        return result;

    std::unique_ptr<CChannelType> mode;
    if (selection.stereo)
        mode = std::make_unique<CStereoType>(ui, settings, files);
    else
        mode = std::make_unique<CMonoType>(ui, settings, files);
    progress.reset();

    std::vector<CTrack*> pointers;
    for (const auto& track : tracks)
        pointers.push_back(track.get());
    result.succeeded = mode->Convert(selection.fileType, selection.project, static_cast<int>(pointers.size()),
                                     pointers.data()) != CChannelType::kFailed;
    result.refusal = mode->GetRefusal();
    result.files = mode->GetWrittenFiles();
    result.warnings = WarningsOf(selection, tracks);
    return result;
}

}  // namespace

ExportResult RunExport(platform::UserInterface& ui, CUserData& settings, const ExportSelection& selection,
                       platform::FileSystem& files)
{
    ExportResult result;
    {
        platform::WaitCursor wait(ui);
        TrackList tracks;
        result = Export(ui, settings, selection, files, tracks);
        for (const auto& track : tracks)
            track->Close();
    }
    if (result.succeeded)
        ui.ShowInformation(MessageId::ConvertSucceeded);
    else
        ui.ShowError(MessageId::ConvertFailed);
    return result;
}
