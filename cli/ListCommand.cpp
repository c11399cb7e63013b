#include "cli/Commands.h"

#include "archive/ArchiveNames.h"
#include "cli/Output.h"
#include "export/PendingProjects.h"
#include "export/ProjectList.h"
#include "platform/Files.h"
#include "platform/Sha256.h"
#include "recorder/BinderFile.h"
#include "recorder/FnbTextFile.h"
#include "recorder/Formats.h"
#include "recorder/Track.h"

#include <cstdio>
#include <optional>

namespace cli {

namespace {

using nlohmann::json;

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7f;
constexpr const char* kPendingField = "pending";

// Recorder texts reach the console as raw bytes; a control byte would steer the
// terminal, so it is shown as '?'.
std::string ConsoleBytes(const std::string& text)
{
    std::string out = text;
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < kFirstPrintable || byte == kDelete)
            c = '?';
    }
    return out;
}

struct MeasuredTrack {
    int track;
    int virtualTrack;
    TrackExtent extent;
};

std::optional<double> Seconds(std::uint64_t samples, const std::optional<RateFormat>& rate)
{
    if (!rate)
        return std::nullopt;
    return static_cast<double>(samples) / static_cast<double>(rate->hz);
}

// "  T:V<TAB>seconds<TAB>segments", the seconds "?" when the project's rate is unknown.
std::string TrackLine(const MeasuredTrack& measured, const std::optional<RateFormat>& rate)
{
    char seconds[32] = "?";
    if (const auto duration = Seconds(measured.extent.endPosition, rate))
        std::snprintf(seconds, sizeof seconds, "%.3f", *duration);
    return "  " + std::to_string(measured.track) + ":" + std::to_string(measured.virtualTrack) + "\t" + seconds +
           "\t" + std::to_string(measured.extent.segments);
}

json TrackJson(const MeasuredTrack& measured, const std::optional<RateFormat>& rate)
{
    const auto duration = Seconds(measured.extent.endPosition, rate);
    return {{"track", measured.track},
            {"virtualTrack", measured.virtualTrack},
            {"end", measured.extent.endPosition},
            {"segments", measured.extent.segments},
            {"duration", duration ? json(*duration) : json()}};
}

// The recorded tracks of the projects, measured through FNB.BIN and HFS.BIN opened once.
class TrackMeasure {
public:
    explicit TrackMeasure(const std::string& disk)
        : m_binder(platform::JoinPath(disk, kBinderFileName)), m_leadIns(platform::JoinPath(disk, kHfsFileName))
    {
        m_binderOpen = m_binder.Exists() && m_binder.OpenForRead();
    }

    // Each track and virtual track of `record` with a segment.
    std::vector<MeasuredTrack> Measure(const sobinder& record)
    {
        std::vector<MeasuredTrack> tracks;
        if (!m_binderOpen)
            return tracks;
        for (int track = 1; track <= static_cast<int>(kTrackCount); ++track) {
            for (int virtualTrack = 1; virtualTrack <= kVirtualTrackCount; ++virtualTrack) {
                if (const auto extent = MeasureTrack(m_binder, m_leadIns, record, track, virtualTrack))
                    tracks.push_back({track, virtualTrack, *extent});
            }
        }
        return tracks;
    }

private:
    CBinderFile m_binder;
    CLeadInTable m_leadIns;
    bool m_binderOpen = false;
};

// A project as the document lists it; rate and bits null where the codes name none.
json ProjectJson(const json& number, const std::string& name, const std::string& nameBytes, std::uint8_t rateCode,
                 std::uint8_t wordLengthCode, bool pending)
{
    const auto rate = RateOfCode(rateCode);
    const auto width = WordLengthOfCode(wordLengthCode);
    return {{"number", number},
            {"name", archive::Latin1ToUtf8(name)},
            {"nameBytes", platform::HexText(nameBytes.data(), nameBytes.size())},
            {"rate", rate ? json(rate->hz) : json()},
            {"bits", width ? json(width->bits) : json()},
            {"pending", pending}};
}

void ListRecorded(const ProjectListing& listing, std::optional<TrackMeasure>& measure)
{
    for (std::size_t i = 0; i < listing.records.size(); ++i) {
        const sobinder& record = listing.records[i];
        PrintData(ConsoleBytes(ProjectListLine(record)) + "\t" + SampleRateText(record.sampleRate) + "\t" +
                  BitsText(record.wordLength));
        json project = ProjectJson(record.projectNumber, SongNameOf(record), listing.storedNames[i],
                                   record.sampleRate, record.wordLength, false);
        if (measure) {
            const auto rate = RateOfCode(record.sampleRate);
            project["tracks"] = json::array();
            for (const auto& measured : measure->Measure(record)) {
                PrintData(TrackLine(measured, rate));
                project["tracks"].push_back(TrackJson(measured, rate));
            }
        }
        Result()["projects"].push_back(project);
    }
}

void ListPending(const std::string& disk, const ProjectListing& listing)
{
    const auto pending = PendingProjects(disk, listing.records);
    for (const auto& project : pending) {
        PrintData(ConsoleBytes(project.number + " : " + project.title) + "\t" +
                  SampleRateText(project.rateCode.value_or(0)) + "\t" + BitsText(project.wordLengthCode.value_or(0)) +
                  "\t" + kPendingField);
        const auto number = ProjectNumberValue(project.number);
        Result()["projects"].push_back(ProjectJson(number ? json(*number) : json(), project.title, project.title,
                                                   project.rateCode.value_or(0), project.wordLengthCode.value_or(0),
                                                   true));
    }
    PrintStep(std::to_string(listing.records.size()) + " projects in " + kBinderFileName + ", " +
              std::to_string(pending.size()) + " pending in " + kFnbTextFileName);
}

}  // namespace

int ListCommand(const ListOptions& options)
{
    const std::string& disk = options.disk;
    Result()["projects"] = json::array();
    if (const auto refusal = DiskRefusal(disk))
        return UsageError(*refusal);
    PrintStep("reading the project index " + platform::JoinPath(disk, kBinderFileName));
    const ProjectListing listing = ReadProjectList(platform::JoinPath(disk, kBinderFileName));
    if (!listing.indexOpened)
        return UsageError("cannot open the project index " + std::string(kBinderFileName) + " in " + disk);
    if (listing.records.empty())
        PrintNotice("the first project of " + std::string(kBinderFileName) + " in " + disk +
                    " cannot be read; the disk may hold no project yet");
    // Reading the disk changes nothing: the next import finishes or removes what an
    // interrupted one left.
    PrintWarnings(InterruptedImportWarnings(platform::RealFileSystem(), disk));
    std::optional<TrackMeasure> measure;
    if (options.tracks)
        measure.emplace(disk);
    ListRecorded(listing, measure);
    ListPending(disk, listing);
    return kExitSuccess;
}

}  // namespace cli
