#include "cli/Commands.h"

#include "app/RegUserData.h"
#include "cli/ConsoleUserInterface.h"
#include "cli/TrackList.h"
#include "export/ExportRun.h"
#include "export/Factory.h"
#include "export/MonoFileDialog.h"
#include "export/ProjectList.h"
#include "platform/Files.h"

#include <cstdio>
#include <optional>
#include <vector>

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

// The files the export wrote, as the save dialog's answer names them.
std::vector<std::string> WrittenFiles(const ExportSelection& selection, const std::string& chosenPath)
{
    if (selection.stereo)
        return {chosenPath};
    const MonoOutputPath output = SplitMonoPath(chosenPath);
    std::vector<std::string> files;
    for (std::size_t index = 0; index < kTrackCount; ++index) {
        if (selection.virtualTracks[index] != 0)
            files.push_back(MonoOutputName(output, static_cast<int>(index) + 1, selection.virtualTracks[index]));
    }
    return files;
}

}  // namespace

int ExportCommand(const ExportOptions& options)
{
    if (!IsFolder(options.disk))
        return UsageError("not a folder: " + options.disk);
    const SoundFileType* type = FindSoundFileType(options.type);
    if (!type)
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
    if (!RunExport(ui, settings, selection))
        return kExitRunFailed;
    for (const auto& file : WrittenFiles(selection, WithDefaultExtension(options.out, type->defaultExtension)))
        std::printf("%s\n", file.c_str());
    return kExitSuccess;
}

}  // namespace cli
