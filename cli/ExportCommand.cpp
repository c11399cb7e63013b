#include "cli/Commands.h"

#include "app/RegUserData.h"
#include "app/SoundFileKinds.h"
#include "cli/ConsoleUserInterface.h"
#include "cli/Output.h"
#include "cli/TrackList.h"
#include "export/ExportRun.h"
#include "export/Factory.h"
#include "export/PendingProjects.h"
#include "export/ProjectList.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "recorder/Track.h"
#include "recorder/TrackFileName.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <variant>

namespace cli {

namespace {

// The file that --yes would have let the run replace.
std::string KeptFileLine(const std::string& path)
{
    return path + " exists; --yes replaces it";
}

// The name that would mean standard output, which the export cannot write to.
constexpr const char* kStandardOutputName = "-";
constexpr int kMonoTrackCount = 1;

// The type an --out name's extension stands for, compared without regard to case; any
// other extension (or none) says nothing about it.
std::optional<std::string> TypeOfExtension(const std::string& out)
{
    const SoundFileKind kind = ExportKindOf(platform::NamePart(out));
    if (kind == SoundFileKind::None)
        return std::nullopt;
    return std::string(KindEntry(kind).typeName);
}

std::optional<sobinder> FindProject(const std::vector<sobinder>& records, unsigned number)
{
    for (const auto& record : records) {
        if (record.projectNumber == number)
            return record;
    }
    return std::nullopt;
}

void ListFiles(const std::vector<ExportedFile>& files)
{
    for (const auto& file : files) {
        PrintData(file.path);
        const nlohmann::json entry = FileEntry(file.path);
        PrintStep("wrote " + file.path + " (" + entry["size"].dump() + " bytes)");
        Result()["files"].push_back(entry);
    }
}

// Why --out cannot name the file to write; nothing when it can.
std::optional<std::string> OutRefusal(const std::string& out)
{
    if (out == kStandardOutputName)
        return "--out - would be standard output, which the export cannot write to yet; give a file name, such as "
               "take.wav";
    if (!out.empty() && platform::IsPathSeparator(out.back()))
        return "--out " + out + " ends in a separator; give a file name, such as take.wav";
    if (IsFolder(out))
        return "--out " + out + " is a folder; give a file name in it, such as " + platform::JoinPath(out, "take.wav");
    return std::nullopt;
}

// Why --type cannot be: it contradicts the type the --out extension names.
std::optional<std::string> TypeContradiction(const ExportOptions& options)
{
    const auto typeOfExtension = TypeOfExtension(options.out);
    if (options.type.empty() || !typeOfExtension || platform::EqualsIgnoringCase(options.type, *typeOfExtension))
        return std::nullopt;
    return "--type " + options.type + " contradicts --out " + options.out + ", whose extension names " +
           *typeOfExtension;
}

// The type to write: --type, else the one the --out extension names, else the first kind (WAVE).
std::string ChosenType(const ExportOptions& options)
{
    if (!options.type.empty())
        return options.type;
    return TypeOfExtension(options.out).value_or(SoundFileKinds().front().typeName);
}

std::string BadTrackList(const std::string& tracks)
{
    return "bad track list " + tracks +
           " (T or T:V, tracks 1-8 once each, virtual tracks 1-8, at most 2 in stereo; or all, all:V)";
}

// --tracks all:V: every track of the project whose virtual track V holds a recording.
std::variant<TrackChoice, std::string> RecordedTracks(const ExportOptions& options, const sobinder& project,
                                                      int virtualTrack)
{
    TrackChoice choice{};
    int chosen = 0;
    for (int track = 1; track <= static_cast<int>(kTrackCount); ++track) {
        if (MeasureTrack(options.disk, project, track, virtualTrack)) {
            choice[track - 1] = virtualTrack;
            ++chosen;
        }
    }
    const std::string number = ZeroPadded(project.projectNumber, kProjectNumberDigits);
    if (chosen == 0)
        return "--tracks " + options.tracks + ": no track of project " + number + " holds a recording on virtual track " +
               std::to_string(virtualTrack);
    if (options.stereo && chosen > kStereoTrackLimit)
        return "--tracks " + options.tracks + " chooses " + std::to_string(chosen) + " tracks of project " + number +
               "; --stereo takes at most " + std::to_string(kStereoTrackLimit);
    return choice;
}

// The tracks --tracks names: a list, or "all" resolved against the project.
std::variant<TrackChoice, std::string> ChosenTracks(const ExportOptions& options, const sobinder& project)
{
    if (const auto virtualTrack = ParseAllTracks(options.tracks))
        return RecordedTracks(options, project, *virtualTrack);
    if (const auto tracks = ParseTrackList(options.tracks, options.stereo))
        return *tracks;
    return BadTrackList(options.tracks);
}

// The project on the disk, or why there is none to export.
std::variant<sobinder, std::string> ChosenProject(const ExportOptions& options, unsigned number)
{
    const ProjectListing listing = ReadProjectList(platform::JoinPath(options.disk, kBinderFileName));
    if (const auto project = FindProject(listing.records, number))
        return *project;
    for (const auto& pending : PendingProjects(options.disk, listing.records)) {
        if (ParseProjectNumber(pending.number) == number)
            return "project " + ZeroPadded(number, kProjectNumberDigits) + " is waiting for the recorder to read the disk";
    }
    return "no project " + options.project + " on " + options.disk;
}

std::string TrackNames(const TrackChoice& tracks)
{
    std::string names;
    for (std::size_t index = 0; index < tracks.size(); ++index) {
        if (tracks[index] != 0)
            names += (names.empty() ? "tracks " : ", ") + std::to_string(index + 1) + ":" + std::to_string(tracks[index]);
    }
    return names;
}

// One track in stereo is a mono file all the same: said, so that nobody expects two channels.
void WarnOfOneStereoTrack(const ExportSelection& selection)
{
    const auto chosen = std::count_if(selection.virtualTracks.begin(), selection.virtualTracks.end(),
                                      [](int virtualTrack) { return virtualTrack != 0; });
    if (selection.stereo && chosen == kMonoTrackCount)
        PrintToolWarning("--stereo with one track writes a mono file");
}

// The export to the --out path: the questions about existing files stand in for the
// save dialog's, answered by --yes.
ExportResult Export(const ExportOptions& options, const ExportSelection& selection)
{
    ConsoleUserInterface ui(stderr, options.yes);
    CNoUserData settings;
    CExportRun run(ui, settings, selection);
    if (!run.Check()) {
        const std::string path = WithDefaultExtension(options.out, run.DefaultExtension());
        if (run.ConfirmReplacing(path))
            run.Write(path);
    }
    return run.Finish();
}

int Finish(const ExportResult& result)
{
    PrintWarnings(result.warnings);
    ListFiles(result.files);
    if (result.succeeded)
        return kExitSuccess;
    if (result.refusal && result.refusal->reason == Reason::Interrupted)
        return Interrupted();
    if (result.keptFile) {
        PrintError(KeptFileLine(*result.keptFile));
        RecordRefusal(WithLineBreaks(MessageText(MessageId::ConvertFailed)), KeptFileLine(*result.keptFile));
    } else if (result.refusal) {
        PrintReason(*result.refusal);
    }
    return kExitRunFailed;
}

}  // namespace

int ExportCommand(const ExportOptions& options)
{
    Result()["files"] = nlohmann::json::array();
    if (const auto refusal = DiskRefusal(options.disk))
        return UsageError(*refusal);
    if (const auto refusal = OutRefusal(options.out))
        return UsageError(*refusal);
    if (const auto refusal = TypeContradiction(options))
        return UsageError(*refusal);
    const auto number = ParseProjectNumber(options.project);
    if (!number)
        return UsageError("not a project number: " + options.project);
    if (!ParseAllTracks(options.tracks) && !ParseTrackList(options.tracks, options.stereo))
        return UsageError(BadTrackList(options.tracks));
    const auto project = ChosenProject(options, *number);
    if (const auto* refusal = std::get_if<std::string>(&project))
        return UsageError(*refusal);
    Result()["project"] = *number;
    const auto tracks = ChosenTracks(options, std::get<sobinder>(project));
    if (const auto* refusal = std::get_if<std::string>(&tracks))
        return UsageError(*refusal);

    ExportSelection selection;
    selection.moFolder = options.disk;
    selection.project = std::get<sobinder>(project);
    selection.virtualTracks = std::get<TrackChoice>(tracks);
    selection.stereo = options.stereo;
    selection.fileType = ChosenType(options);
    PrintStep("project " + ZeroPadded(*number, kProjectNumberDigits) + ": " + TrackNames(selection.virtualTracks) +
              (options.stereo ? " in stereo" : "") + " as " + selection.fileType + " to " + options.out);
    WarnOfOneStereoTrack(selection);

    platform::CatchStopRequests();
    return Finish(Export(options, selection));
}

}  // namespace cli
