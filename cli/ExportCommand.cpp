#include "cli/Commands.h"

#include "app/RegUserData.h"
#include "cli/ConsoleUserInterface.h"
#include "cli/TrackList.h"
#include "export/ExportRun.h"
#include "export/Factory.h"
#include "export/ProjectList.h"
#include "platform/Files.h"

#include <cstdio>
#include <optional>

namespace cli {

namespace {

std::optional<sobinder> FindProject(const std::string& disk, unsigned number)
{
    const ProjectListing listing = ReadProjectList(platform::JoinPath(disk, kBinderFileName));
    for (const auto& record : listing.records) {
        if (record.projectNumber == number)
            return record;
    }
    return std::nullopt;
}

}  // namespace

int ExportCommand(const ExportOptions& options)
{
    if (!IsFolder(options.disk))
        return UsageError("not a folder: " + options.disk);
    if (!FindSoundFileType(options.type))
        return UsageError("unknown file type " + options.type + " (WAVE or AIFF)");
    const auto number = ParseProjectNumber(options.project);
    if (!number)
        return UsageError("not a project number: " + options.project);
    const auto tracks = ParseTrackList(options.tracks, options.stereo);
    if (!tracks)
        return UsageError("bad track list " + options.tracks +
                          " (T or T:V, tracks 1-8 once each, virtual tracks 1-8, at most 2 in stereo)");
    const auto project = FindProject(options.disk, *number);
    if (!project)
        return UsageError("no project " + options.project + " on " + options.disk);

    ExportSelection selection;
    selection.moFolder = options.disk;
    selection.project = *project;
    selection.virtualTracks = *tracks;
    selection.stereo = options.stereo;
    selection.fileType = options.type;

    ConsoleUserInterface ui(stderr, options.yes);
    ui.SetDialogAnswer(options.out);
    CNoUserData settings;
    const ExportResult result = RunExport(ui, settings, selection);
    if (!result.succeeded)
        return kExitRunFailed;
    for (const auto& file : result.files)
        std::printf("%s\n", file.c_str());
    return kExitSuccess;
}

}  // namespace cli
