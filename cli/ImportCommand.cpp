#include "cli/Commands.h"

#include "app/Document.h"
#include "cli/ConsoleUserInterface.h"
#include "cli/ImportSources.h"
#include "cli/Output.h"
#include "convert/ImportConversion.h"
#include "import/ImportChecks.h"
#include "import/InvertExchange.h"
#include "import/OrvoTrack.h"
#include "recorder/Errors.h"
#include "platform/Files.h"

#include <cstdio>
#include <variant>

namespace cli {

namespace {

constexpr const char* kRateHint = "; import with --rate 48000 for a project that can be exported again";

// The page of the command line: the slots, and no controls to enable or fill.
class CommandLinePage : public CImportPage {
public:
    explicit CommandLinePage(TrackSlots& slots) : m_slots(slots) {}
    COrvoTrack& GetTrackSlot(std::uint8_t index) override { return m_slots[index % kTrackCount]; }
    void EnableInputs(bool) override {}
    void ShowFormat(bool) override {}

private:
    TrackSlots& m_slots;
};

// The sources with their paths as the checks resolve them.
convert::SourceRequests Resolved(convert::SourceRequests sources, const CImportChecks& checks)
{
    for (auto& source : sources) {
        if (source)
            source->path = checks.ResolvePath(source->name);
    }
    return sources;
}

convert::FormatRequest FormatRequestOf(const ImportOptions& options)
{
    convert::FormatRequest request;
    if (options.rate != 0)
        request.rate = options.rate;
    if (options.bits != 0)
        request.bits = options.bits;
    request.dither = !options.noDither;
    return request;
}

// A refusal of the conversion stage: the system's message, then why, naming the file
// as it was given.
int Refused(ConsoleUserInterface& ui, const Refusal& refusal)
{
    if (refusal.reason == Reason::Interrupted)
        return Interrupted();
    ShowRefusal(ui, refusal);
    PrintReason(refusal);
    return kExitRunFailed;
}

// The run's warnings; a project at a rate the export does not know says how to get one it does.
void PrintImportWarnings(const std::vector<Warning>& warnings)
{
    for (const auto& warning : warnings) {
        if (warning.kind == WarningKind::RateNotExportable)
            PrintToolWarning(Explain(warning) + kRateHint);
        else
            PrintWarnings({warning});
    }
}

// The new project's number and its data files.
void ListNewProject(const ImportResult& result)
{
    PrintData(result.projectNumber);
    Result()["project"] = std::stoi(result.projectNumber);
    for (const auto& file : result.dataFiles) {
        PrintData(file);
        PrintStep("wrote " + file);
        Result()["files"].push_back(FileEntry(file));
    }
}

// Each source as the checks found it: a step under --verbose, and a warning naming the
// file taken when only a name in other letter case matched (TAKE.wav as Take.wav).
void ReportSources(const convert::SourceRequests& sources)
{
    for (const auto& source : sources) {
        if (!source)
            continue;
        PrintStep("reading " + source->path);
        if (platform::NamePart(source->path) != platform::NamePart(source->name))
            PrintToolWarning(source->name + " is taken from " + source->path +
                             ", the file of that name in other letter case");
    }
}

}  // namespace

int ImportCommand(const ImportOptions& options)
{
    Result()["files"] = nlohmann::json::array();
    if (const auto refusal = DiskRefusal(options.disk))
        return UsageError(*refusal);
    if (options.files.size() > kTrackCount)
        return UsageError("at most eight files, one per track");
    if (const auto refusal = RefuseProjectName(options.name))
        return UsageError(Explain(*refusal));

    ConsoleUserInterface ui(stderr, false);
    COVFtoWAVEDoc doc;
    doc.SetMoFolder(options.disk);
    TrackSlots slots = MakeTrackSlots();
    CommandLinePage page(slots);
    CImportChecks checks(page, ui, platform::CurrentFolder());
    const auto parsed = ParseImportSources(
        options.files, [&](const std::string& name) { return platform::FindFile(checks.ResolvePath(name)).has_value(); });
    if (const auto* wrong = std::get_if<std::string>(&parsed))
        return UsageError(*wrong);
    const ImportSources& sources = std::get<ImportSources>(parsed);

    // From here on a stop request ends the conversion, the checks or the run through its
    // failure path; the converted files go with the stage, however it ends.
    platform::CatchStopRequests();
    convert::ConversionStage stage;
    const convert::SourceRequests resolved = Resolved(sources.tracks, checks);
    if (const auto refusal = stage.Plan(resolved, FormatRequestOf(options)))
        return Refused(ui, *refusal);
    if (stage.Converts()) {
        for (const auto& line : stage.PlanLines())
            PrintNotice(line);
        if (const auto refusal = stage.CheckRoom(doc))
            return Refused(ui, *refusal);
    }
    ImportInputs inputs;
    inputs.projectName = options.name;
    inputs.anyTrack = sources.numbered;
    std::vector<Warning> warnings;
    if (const auto refusal = stage.Run([&ui] { return ui.StopRequested(); }, inputs.trackNames, warnings))
        return Refused(ui, *refusal);

    if (auto refused = checks.Validate(inputs, doc)) {
        stage.Retell(refused->refusal);
        if (refused->refusal.reason == Reason::Interrupted)
            return Interrupted();
        // A refusal the checks left unshown is said of the file as it was given.
        if (!refused->shown)
            ui.Warn(refused->refusal.subject + ": " + MessageText(refused->refusal.id));
        PrintReason(refused->refusal);
        return kExitRunFailed;
    }
    ReportSources(resolved);
    CInvertExchange driver(slots, doc, ui);
    ImportResult result = driver.Run();
    stage.Retell(result.refusal);
    stage.Retell(result.warnings);
    warnings.insert(warnings.end(), result.warnings.begin(), result.warnings.end());
    PrintImportWarnings(warnings);
    if (result.refusal.reason == Reason::Interrupted)
        return Interrupted();
    if (!result.succeeded) {
        PrintReason(result.refusal);
        return kExitRunFailed;
    }
    ListNewProject(result);
    return kExitSuccess;
}

}  // namespace cli
