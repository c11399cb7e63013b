#include "cli/Commands.h"

#include "app/RegUserData.h"
#include "app/SoundFileKinds.h"
#include "cli/ConsoleUserInterface.h"
#include "export/PendingProjects.h"
#include "cli/TrackList.h"
#include "convert/FlacExport.h"
#include "export/ExportRun.h"
#include "export/Factory.h"
#include "export/ProjectList.h"
#include "platform/Files.h"
#include "recorder/TrackFileName.h"

#include <cstdio>
#include <optional>

namespace cli {

namespace {

// The file that --yes would have let the run replace.
void PrintKeptFile(const std::string& path)
{
    std::fprintf(stderr, "wavelorn-cli: %s exists; --yes replaces it\n", path.c_str());
}

// "WAVE, AIFF or FLAC": the types this build writes.
std::string TypeNames()
{
    std::string names;
    const auto types = SoundFileTypes();
    for (std::size_t i = 0; i < types.size(); ++i)
        names += (i == 0 ? "" : i + 1 == types.size() ? " or " : ", ") + std::string(types[i].typeName);
    return names;
}

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

void PrintFiles(const std::vector<ExportedFile>& files)
{
    for (const auto& file : files)
        std::printf("%s\n", file.path.c_str());
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

}  // namespace

int ExportCommand(const ExportOptions& options)
{
    convert::AddFlacExport();
    if (!IsFolder(options.disk))
        return UsageError("not a folder: " + options.disk);
    if (!options.type.empty() && !FindSoundFileType(options.type))
        return UsageError("unknown file type " + options.type + " (" + TypeNames() + ")");
    if (!options.out.empty() && platform::IsPathSeparator(options.out.back()))
        return UsageError("--out " + options.out + " ends in a separator; give a file name, such as take.wav");
    if (IsFolder(options.out))
        return UsageError("--out " + options.out + " is a folder; give a file name in it, such as " +
                          platform::JoinPath(options.out, "take.wav"));
    const auto typeOfExtension = TypeOfExtension(options.out);
    if (!options.type.empty() && typeOfExtension && !platform::EqualsIgnoringCase(options.type, *typeOfExtension))
        return UsageError("--type " + options.type + " contradicts --out " + options.out + ", whose extension names " +
                          *typeOfExtension);
    // Without either, the first kind (WAVE).
    const std::string type =
        !options.type.empty() ? options.type : typeOfExtension.value_or(SoundFileKinds().front().typeName);
    const auto number = ParseProjectNumber(options.project);
    if (!number)
        return UsageError("not a project number: " + options.project);
    const auto tracks = ParseTrackList(options.tracks, options.stereo);
    if (!tracks)
        return UsageError("bad track list " + options.tracks +
                          " (T or T:V, tracks 1-8 once each, virtual tracks 1-8, at most 2 in stereo)");
    const ProjectListing listing = ReadProjectList(platform::JoinPath(options.disk, kBinderFileName));
    const auto project = FindProject(listing.records, *number);
    if (!project) {
        for (const auto& pending : PendingProjects(options.disk, listing.records)) {
            if (ParseProjectNumber(pending.number) == *number)
                return UsageError("project " + ZeroPadded(*number, kProjectNumberDigits) +
                                  " is waiting for the recorder to read the disk");
        }
        return UsageError("no project " + options.project + " on " + options.disk);
    }

    ExportSelection selection;
    selection.moFolder = options.disk;
    selection.project = *project;
    selection.virtualTracks = *tracks;
    selection.stereo = options.stereo;
    selection.fileType = type;

    platform::CatchStopRequests();
    const ExportResult result = Export(options, selection);
    PrintWarnings(result.warnings);
    PrintFiles(result.files);
    if (result.succeeded)
        return kExitSuccess;
    if (result.refusal && result.refusal->reason == Reason::Interrupted)
        return Interrupted();
    if (result.keptFile)
        PrintKeptFile(*result.keptFile);
    else if (result.refusal)
        PrintReason(*result.refusal);
    return kExitRunFailed;
}

}  // namespace cli
