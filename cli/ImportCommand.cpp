#include "cli/Commands.h"

#include "app/Document.h"
#include "cli/ConsoleUserInterface.h"
#include "cli/Output.h"
#include "import/ImportChecks.h"
#include "import/InvertExchange.h"
#include "import/OrvoTrack.h"
#include "recorder/Errors.h"
#include "platform/Files.h"

#include <cstdio>

namespace cli {

namespace {

constexpr const char* kEmptyTrack = "-";

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

ImportInputs InputsOf(const ImportOptions& options)
{
    ImportInputs inputs;
    inputs.projectName = options.name;
    for (std::size_t k = 0; k < options.files.size(); ++k)
        inputs.trackNames[k] = options.files[k] == kEmptyTrack ? std::string() : options.files[k];
    return inputs;
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
void ReportSources(const ImportOptions& options, const CImportChecks& checks)
{
    for (const auto& name : options.files) {
        if (name == kEmptyTrack)
            continue;
        const std::string found = checks.ResolvePath(name);
        PrintStep("reading " + found);
        if (platform::NamePart(found) != platform::NamePart(name))
            PrintToolWarning(name + " is taken from " + found + ", the file of that name in other letter case");
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
    const ImportInputs inputs = InputsOf(options);

    // From here on a stop request ends the checks or the run through its failure path.
    platform::CatchStopRequests();
    CImportChecks checks(page, ui, platform::CurrentFolder());
    if (const auto refused = checks.Validate(inputs, doc)) {
        if (refused->refusal.reason == Reason::Interrupted)
            return Interrupted();
        // A refusal the checks left unshown is said of the file as it was given.
        if (!refused->shown)
            ui.Warn(refused->refusal.subject + ": " + MessageText(refused->refusal.id));
        PrintReason(refused->refusal);
        return kExitRunFailed;
    }
    ReportSources(options, checks);
    CInvertExchange driver(slots, doc, ui);
    const ImportResult result = driver.Run();
    PrintWarnings(result.warnings);
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
