#include "cli/Commands.h"

#include "app/Document.h"
#include "cli/ConsoleUserInterface.h"
#include "cli/ImportSources.h"
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
void PrintImportWarnings(std::vector<Warning> warnings)
{
    for (auto& warning : warnings) {
        if (warning.kind == WarningKind::RateNotExportable) {
            std::fprintf(stderr, "wavelorn-cli: warning: %s%s\n", Explain(warning).c_str(), kRateHint);
            continue;
        }
        PrintWarnings({warning});
    }
}

// The new project's number and its data files.
void PrintNewProject(const ImportResult& result)
{
    std::printf("%s\n", result.projectNumber.c_str());
    for (const auto& file : result.dataFiles)
        std::printf("%s\n", file.c_str());
}

}  // namespace

int ImportCommand(const ImportOptions& options)
{
    if (!IsFolder(options.disk))
        return UsageError("not a folder: " + options.disk);
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
    if (const auto refusal = stage.Plan(Resolved(sources.tracks, checks), FormatRequestOf(options)))
        return Refused(ui, *refusal);
    if (stage.Converts()) {
        for (const auto& line : stage.PlanLines())
            std::fprintf(stderr, "wavelorn-cli: %s\n", line.c_str());
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
    PrintNewProject(result);
    return kExitSuccess;
}

}  // namespace cli
