#include "cli/DemoDisk.h"

#include "archive/ArchiveNames.h"
#include "platform/FileSystem.h"
#include "platform/Files.h"
#include "recorder/FnbTextFile.h"
#include "recorder/TrackFile.h"
#include "recorder/TrackFileName.h"
#include "tools/diskwriter/DiskWriter.h"

#include <cmath>
#include <numbers>

namespace cli {

namespace {

constexpr double kToneLevel = 0.5;  // of full scale
constexpr const char* kFnbText =
    "VERSIONID: 1.00\r\n"
    "SNGSERIAL: 01\r\nSONGTITLE: Sine Demo\r\n\r\n"
    "SNGSERIAL: 02\r\nSONGTITLE: Twenty Bit\r\n\r\n"
    "SNGSERIAL: 03\r\nSONGTITLE: \r\n\r\n";

struct DemoProject {
    std::uint16_t slot;
    std::uint16_t number;
    const char* name;
    std::uint8_t rate;
    std::uint8_t wordLength;
    std::uint32_t sampleRate;
    int bits;
};

const DemoProject kProjects[] = {
    {2, 1, "Sine Demo", kRate44100, kWordLength16, 44100, 16},
    {200, 2, "Twenty Bit", kRate32000, kWordLength20, 32000, 20},
    {400, 3, "", kRate48000, kWordLength24, 48000, 24},
};

// A segment of the demo in seconds on the track's time line.
struct DemoSegment {
    int tone;        // index into DemoTones()
    double start;    // where the segment starts
    double length;   // how long it plays from there
    double leadIn;   // how much of its data lies before the start
};

const DemoSegment kSegments[] = {
    {0, 0.0, 2.0, 0.0},  {1, 0.0, 1.0, 0.0}, {1, 1.5, 1.0, 0.0}, {2, 0.0, 2.0, 0.0},
    {3, 0.5, 1.5, 0.25}, {4, 0.0, 2.0, 0.0}, {5, 0.0, 2.0, 0.0},
};

std::uint32_t Groups(double seconds, std::uint32_t sampleRate)
{
    return static_cast<std::uint32_t>(std::lround(seconds * sampleRate / kSamplesPerGroup));
}

diskwriter::SampleGenerator Sine(double frequency, const DemoProject& project)
{
    const double amplitude = kToneLevel * std::ldexp(1.0, project.bits - 1);
    const double step = 2.0 * std::numbers::pi * frequency / project.sampleRate;
    return [amplitude, step](std::uint64_t index) {
        return static_cast<std::int32_t>(std::lround(amplitude * std::sin(step * static_cast<double>(index))));
    };
}

}  // namespace

const std::vector<DemoTone>& DemoTones()
{
    static const std::vector<DemoTone> tones = {
        {1, 1, 1, 440.0, "0.0 s to 2.0 s"},
        {1, 2, 1, 660.0, "0.0 s to 1.0 s, then a gap, then 1.5 s to 2.5 s"},
        {1, 2, 2, 880.0, "0.0 s to 2.0 s, on virtual track 2"},
        {2, 1, 1, 1000.0, "0.25 s to 2.0 s: a segment at 0.5 s whose data has a 0.25 s lead-in"},
        {3, 1, 1, 220.0, "0.0 s to 2.0 s"},
        {3, 3, 1, 330.0, "0.0 s to 2.0 s"},
    };
    return tones;
}

void WriteDemoDisk(const std::string& folder)
{
    diskwriter::Disk disk;
    std::vector<diskwriter::Project*> projects;
    for (const auto& project : kProjects) {
        projects.push_back(&disk.AddProject({.slot = project.slot, .number = project.number, .name = project.name,
                                             .rate = project.rate, .wordLength = project.wordLength}));
    }
    std::uint16_t serial = 0;
    for (const auto& segment : kSegments) {
        const DemoTone& tone = DemoTones()[segment.tone];
        const DemoProject& project = kProjects[tone.project - 1];
        const std::uint32_t length = Groups(segment.length, project.sampleRate);
        const std::uint32_t leadIn = Groups(segment.leadIn, project.sampleRate);
        projects[tone.project - 1]->AddSegment({
            .track = tone.track,
            .virtualTrack = tone.virtualTrack,
            .startGroup = Groups(segment.start, project.sampleRate),
            .lengthGroups = length,
            .leadIn = static_cast<std::int16_t>(leadIn),
            .serial = serial++,
            .generator = Sine(tone.frequency, project),
            .generatedSamples = std::uint64_t{length + leadIn} * kSamplesPerGroup,
        });
    }
    std::string text = kFnbText;
    text.resize(kFnbTextSize, '\0');
    disk.SetFnbText(text);
    disk.Write(folder);
}

bool HoldsRecorderFiles(const std::string& folder)
{
    const auto entries = platform::RealFileSystem().ListFolder(folder);
    for (const auto& entry : entries.value_or(std::vector<platform::FolderEntry>())) {
        if (archive::IsRecorderFileName(entry.name))
            return true;
    }
    return false;
}

}  // namespace cli
