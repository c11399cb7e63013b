#include "tests/archive/ArchiveFixture.h"

#include "platform/Files.h"
#include "platform/ReplacingFile.h"
#include "recorder/TrackFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace testsupport {

namespace {

// Samples that differ from one to the next over the whole width.
diskwriter::SampleGenerator Noise(int bits, std::uint64_t seed)
{
    return [bits, seed](std::uint64_t index) {
        const std::uint64_t span = std::uint64_t{1} << bits;
        return static_cast<std::int32_t>(((index + seed) * 2654435761u) % span) -
               static_cast<std::int32_t>(span / 2);
    };
}

diskwriter::SegmentInfo Segment(int track, int virtualTrack, std::uint32_t start, std::uint32_t length,
                                std::uint16_t serial, int bits, std::int16_t leadIn = 0)
{
    diskwriter::SegmentInfo segment{.track = track, .virtualTrack = virtualTrack, .startGroup = start,
                                    .lengthGroups = length, .leadIn = leadIn, .serial = serial};
    segment.generator = Noise(bits, serial);
    segment.generatedSamples = std::uint64_t{length + static_cast<std::uint32_t>(leadIn)} * kSamplesPerGroup;
    return segment;
}

void AddFirstProject(diskwriter::Disk& disk)
{
    auto& project = disk.AddProject({.slot = 2, .number = 1, .name = "Caf\xe9 <1>", .rate = kRate44100,
                                     .wordLength = kWordLength16});
    project.AddSegment(Segment(1, 1, 0, 3000, 0, 16));
    project.AddSegment(Segment(2, 1, 100, 1500, 1, 16, 20));
    project.AddSegment(Segment(2, 1, 4000, 700, 2, 16));
    project.AddSegment(Segment(2, 3, 0, 900, 3, 16));
}

}  // namespace

diskwriter::Disk ArchiveDisk()
{
    diskwriter::Disk disk;
    AddFirstProject(disk);
    auto& unnamed = disk.AddProject({.slot = 300, .number = 2, .name = "", .rate = kRate32000,
                                     .wordLength = kWordLength20});
    unnamed.AddSegment(Segment(8, 8, 50, 2000, 10, 20));
    auto& twin = disk.AddProject({.slot = 600, .number = 1, .name = "Caf\xe9 <1>", .rate = kRate48000,
                                  .wordLength = kWordLength24});
    twin.AddSegment(Segment(1, 1, 0, 1000, 20, 24));
    twin.AddSegment(Segment(1, 1, 2000, 1000, 21, 24, 5));
    return disk;
}

diskwriter::Disk LongTrackDisk()
{
    constexpr std::uint32_t kLongGroups = 20000;  // 16-bit mono: three recorder blocks
    diskwriter::Disk disk = ArchiveDisk();
    auto& project = disk.AddProject({.slot = 900, .number = 3, .name = "Long", .rate = kRate44100,
                                     .wordLength = kWordLength16});
    project.AddSegment(Segment(1, 1, 0, kLongGroups, 30, 16));
    return disk;
}

diskwriter::Disk DamagedDisk()
{
    diskwriter::Disk disk;
    AddFirstProject(disk);
    auto& oddRate = disk.AddProject({.slot = 300, .number = 2, .name = "Odd Rate", .rate = 9,
                                     .wordLength = kWordLength16});
    oddRate.AddSegment(Segment(1, 1, 0, 500, 10, 16));
    auto& broken = disk.AddProject({.slot = 600, .number = 3, .name = "Broken", .rate = kRate48000,
                                    .wordLength = kWordLength16});
    auto missing = Segment(1, 1, 0, 500, 20, 16);
    missing.missingFile = true;
    broken.AddSegment(missing);
    auto outward = Segment(2, 1, 0, 500, 21, 16);
    outward.link = 60000;
    broken.AddSegment(outward);
    broken.AddSegment(Segment(2, 1, 600, 500, 22, 16));
    broken.AddSegment(Segment(3, 1, 0, 800, 23, 16));
    return disk;
}

namespace {

// Adds the files below `folder` to `tree`, named after `prefix`.
void AddTree(platform::FileSystem& files, const std::string& folder, const std::string& prefix,
             std::map<std::string, std::string>& tree)
{
    for (const auto& entry : files.ListFolder(folder).value_or(std::vector<platform::FolderEntry>{})) {
        const std::string path = platform::JoinPath(folder, entry.name);
        const std::string relative = prefix + entry.name;
        if (entry.kind == platform::FileKind::Folder) {
            AddTree(files, path, relative + "/", tree);
            continue;
        }
        auto bytes = platform::ReadWholeFile(files, path);
        if (entry.kind != platform::FileKind::Regular || !bytes)
            continue;
        if (entry.name == "manifest.json") {
            auto manifest = nlohmann::ordered_json::parse(*bytes);
            manifest.erase("date");
            *bytes = manifest.dump(1);
        }
        tree[relative] = *bytes;
    }
}

}  // namespace

std::unique_ptr<platform::ProgressWindow> RecordingConsole::CreateProgressWindow()
{
    struct Bar : platform::ProgressWindow {
        explicit Bar(RecordingConsole& console) : owner(console) {}
        void SetText(const std::string&) override {}
        void Show() override {}
        void StepAnimation() override {}
        void SetTotal(std::uint64_t total) override { owner.total = total; }
        void SetDone(std::uint64_t done) override
        {
            owner.backwards = owner.backwards || done < owner.done;
            owner.done = done;
            if (owner.onProgress)
                owner.onProgress();
        }
        bool StopRequested() const override { return owner.stopAtPoll >= 0 && owner.polls++ >= owner.stopAtPoll; }
        RecordingConsole& owner;
    };
    return std::make_unique<Bar>(*this);
}

bool RecordingConsole::Warned(const std::string& part) const
{
    return std::any_of(warnings.begin(), warnings.end(),
                       [&](const std::string& text) { return text.find(part) != std::string::npos; });
}

std::map<std::string, std::string> ArchiveTree(const std::string& folder, platform::FileSystem& files)
{
    std::map<std::string, std::string> tree;
    AddTree(files, folder, "", tree);
    return tree;
}

}  // namespace testsupport
