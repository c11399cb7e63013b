#include "cli/Commands.h"

#include "export/PendingProjects.h"
#include "export/ProjectList.h"
#include "platform/Files.h"
#include "recorder/BinderFile.h"
#include "recorder/FnbTextFile.h"
#include "recorder/Formats.h"
#include "recorder/Track.h"

#include <cstdio>
#include <optional>

namespace cli {

namespace {

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

void PrintLine(const std::string& line)
{
    const std::string withEnd = line + "\n";
    std::fwrite(withEnd.data(), 1, withEnd.size(), stdout);
}

// "  T:V<TAB>seconds<TAB>segments", the seconds "?" when the project's rate is unknown.
void PrintTrackLine(int track, int virtualTrack, const TrackExtent& extent, const std::optional<RateFormat>& rate)
{
    char seconds[32] = "?";
    if (rate)
        std::snprintf(seconds, sizeof seconds, "%.3f",
                      static_cast<double>(extent.endPosition) / static_cast<double>(rate->hz));
    PrintLine("  " + std::to_string(track) + ":" + std::to_string(virtualTrack) + "\t" + seconds + "\t" +
              std::to_string(extent.segments));
}

// The track lines of the projects, measured through FNB.BIN and HFS.BIN opened once.
class TrackPrinter {
public:
    explicit TrackPrinter(const std::string& disk)
        : m_binder(platform::JoinPath(disk, kBinderFileName)), m_leadIns(platform::JoinPath(disk, kHfsFileName))
    {
        m_binderOpen = m_binder.Exists() && m_binder.OpenForRead();
    }

    // A line for each track and virtual track of `record` with a segment.
    void Print(const sobinder& record)
    {
        if (!m_binderOpen)
            return;
        const auto rate = RateOfCode(record.sampleRate);
        for (int track = 1; track <= static_cast<int>(kTrackCount); ++track) {
            for (int virtualTrack = 1; virtualTrack <= kVirtualTrackCount; ++virtualTrack) {
                if (const auto extent = MeasureTrack(m_binder, m_leadIns, record, track, virtualTrack))
                    PrintTrackLine(track, virtualTrack, *extent, rate);
            }
        }
    }

private:
    CBinderFile m_binder;
    CLeadInTable m_leadIns;
    bool m_binderOpen = false;
};

}  // namespace

int ListCommand(const ListOptions& options)
{
    const std::string& disk = options.disk;
    if (!IsFolder(disk))
        return UsageError("not a folder: " + disk);
    const ProjectListing listing = ReadProjectList(platform::JoinPath(disk, kBinderFileName));
    if (!listing.indexOpened)
        return UsageError("cannot open the project index " + std::string(kBinderFileName) + " in " + disk);
    if (listing.records.empty())
        std::fprintf(stderr, "wavelorn-cli: the first project of %s in %s cannot be read; the disk may hold no project yet\n",
                     kBinderFileName, disk.c_str());
    // Reading the disk changes nothing: the next import finishes or removes what an
    // interrupted one left.
    PrintWarnings(InterruptedImportWarnings(platform::RealFileSystem(), disk));
    std::optional<TrackPrinter> tracks;
    if (options.tracks)
        tracks.emplace(disk);
    for (const auto& record : listing.records) {
        PrintLine(ConsoleBytes(ProjectListLine(record)) + "\t" + SampleRateText(record.sampleRate) + "\t" +
                  BitsText(record.wordLength));
        if (tracks)
            tracks->Print(record);
    }
    for (const auto& project : PendingProjects(disk, listing.records)) {
        PrintLine(ConsoleBytes(project.number + " : " + project.title) + "\t" +
                  SampleRateText(project.rateCode.value_or(0)) + "\t" + BitsText(project.wordLengthCode.value_or(0)) +
                  "\t" + kPendingField);
    }
    return kExitSuccess;
}

}  // namespace cli
