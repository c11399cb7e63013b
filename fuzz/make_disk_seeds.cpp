// Writes the seed inputs of the disk target: small recorder disks laid out by the
// disk writer, each packed as DiskInput.h describes, with the first bytes of one of
// its data files as the data part.
//
//   make_disk_seeds SCRATCH OUT   writes each disk into SCRATCH/<seed>/ and the seed to OUT/<seed>

#include "fuzz/DiskInput.h"
#include "platform/FileSystem.h"
#include "platform/Files.h"
#include "recorder/TrackFile.h"
#include "tools/diskwriter/DiskWriter.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using diskwriter::Disk;
using diskwriter::SegmentInfo;
using Bytes = std::vector<std::uint8_t>;

// Enough for a few segments of a few groups each, and small enough to keep seeds at a few KiB.
constexpr std::size_t kDataBytes = 1024;
constexpr std::size_t kShortDataBytes = 300;  // the third data file the walk names gets no bytes
constexpr std::uint32_t kDamagedStart = 0xFFFFFF00;
constexpr std::uint16_t kOutsideTheIndex = 5000;
// Sample values: a sawtooth that tells neighbouring samples and files apart.
constexpr std::int32_t kSampleStep = 97;
constexpr std::int32_t kSampleRange = 2000;

struct Seed {
    const char* name;
    // Lays out the disk; gives the name of the data file whose first bytes become the data part.
    std::function<std::string(Disk&)> build;
    std::size_t dataBytes = kDataBytes;
};

SegmentInfo Segment(int track, std::uint32_t start, std::uint32_t length, std::uint16_t serial,
                    std::int16_t leadIn = 0)
{
    std::vector<std::int32_t> samples(std::size_t{length} * kSamplesPerGroup);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = (static_cast<std::int32_t>(i) * kSampleStep + serial) % kSampleRange - kSampleRange / 2;
    return {.track = track, .startGroup = start, .lengthGroups = length, .leadIn = leadIn, .serial = serial,
            .samples = samples};
}

SegmentInfo Linked(SegmentInfo segment, std::uint16_t slot, std::uint16_t link)
{
    segment.slot = slot;
    segment.link = link;
    return segment;
}

const Seed kSeeds[] = {
    {"one_segment_16bit",
     [](Disk& disk) {
         auto& project = disk.AddProject({.slot = 2, .number = 5, .name = "One", .virtualTracks = 1});
         project.AddSegment(Segment(1, 10, 4, 1));
         return disk.DataFileName(project, 1);
     }},
    {"two_projects_20bit_lead_in",
     [](Disk& disk) {
         auto& first = disk.AddProject({.slot = 2, .number = 3, .name = "First", .virtualTracks = 1});
         first.AddSegment(Segment(1, 0, 2, 1));
         auto& second = disk.AddProject(
             {.slot = 20, .number = 7, .name = "Second", .wordLength = kWordLength20, .virtualTracks = 1});
         second.AddSegment(Segment(2, 0, 2, 1));
         second.AddSegment(Segment(2, 5, 3, 2, 1));
         return disk.DataFileName(second, 1);
     }},
    {"out_of_order_24bit",
     [](Disk& disk) {
         auto& project = disk.AddProject({.slot = 2, .number = 9, .wordLength = kWordLength24, .virtualTracks = 1});
         project.AddSegment(Segment(3, 10, 2, 1));
         project.AddSegment(Segment(3, 0, 4, 2));
         project.AddSegment(Segment(3, 20, 1, 3));
         return disk.DataFileName(project, 1);
     }},
    {"damaged_links",
     [](Disk& disk) {
         auto& project = disk.AddProject({.slot = 2, .number = 5, .virtualTracks = 1});
         project.AddSegment(Linked(Segment(1, 0, 1, 1), 20, 21));
         project.AddSegment(Linked(Segment(1, 1, 1, 2), 21, 20));  // back to the first
         project.AddSegment(Linked(Segment(2, 0, 2, 3), 22, kOutsideTheIndex));
         return disk.DataFileName(project, 1);
     }},
    {"no_lead_in_table",
     [](Disk& disk) {
         auto& project = disk.AddProject({.slot = 2, .number = 5, .virtualTracks = 1});
         project.AddSegment(Segment(1, 4, 2, 1, 2));
         disk.OmitHfs();
         return disk.DataFileName(project, 1);
     }},
    {"later_data_file_missing",
     [](Disk& disk) {
         auto& project = disk.AddProject({.slot = 2, .number = 5, .virtualTracks = 1});
         project.AddSegment(Segment(1, 0, 2, 1));
         project.AddSegment(Segment(1, 2, 2, 2));
         project.AddSegment(Segment(1, 4, 2, 3));
         return disk.DataFileName(project, 1);
     },
     kShortDataBytes},
    {"damaged_start",
     [](Disk& disk) {
         auto& project = disk.AddProject({.slot = 2, .number = 5, .virtualTracks = 1});
         project.AddSegment(Segment(1, 0, 2, 1));
         project.AddSegment(Segment(2, kDamagedStart, 1, 2));
         return disk.DataFileName(project, 1);
     }},
};

// The bytes of a file, at most `limit` of them; empty when it cannot be read.
Bytes ReadFile(const std::string& path, std::size_t limit = std::numeric_limits<std::size_t>::max())
{
    const auto source = platform::RealFileSystem().OpenRead(path);
    if (!source)
        return {};
    Bytes bytes(static_cast<std::size_t>(std::min<std::uint64_t>(source->Size(), limit)));
    return source->ReadExactly(0, bytes.data(), bytes.size()) ? bytes : Bytes{};
}

bool WriteFile(const std::string& path, const Bytes& bytes)
{
    const auto file = platform::RealFileSystem().OpenWrite(path, platform::WriteMode::Replace);
    return file && file->Write(bytes.data(), bytes.size()) && file->Close();
}

bool WriteSeed(const Seed& seed, const std::string& scratch, const std::string& out)
{
    const std::string folder = platform::JoinPath(scratch, seed.name);
    if (!platform::CreateFolders(folder))
        return false;
    Disk disk;
    const std::string dataFile = seed.build(disk);
    disk.Write(folder);
    const Bytes fnb = ReadFile(platform::JoinPath(folder, kBinderFileName));
    const Bytes hfs = ReadFile(platform::JoinPath(folder, kHfsFileName));
    if (fnb.size() > fuzz::kMaxPartLength || hfs.size() > fuzz::kMaxPartLength)
        return false;
    const Bytes data = ReadFile(platform::JoinPath(folder, dataFile), seed.dataBytes);
    return WriteFile(platform::JoinPath(out, seed.name), fuzz::JoinDiskInput(fnb, hfs, data));
}

}  // namespace

int main(int argc, char** argv)
{
    constexpr int kArguments = 3;
    constexpr int kExitUsage = 2;
    if (argc != kArguments) {
        std::fprintf(stderr, "usage: make_disk_seeds SCRATCH OUT\n");
        return kExitUsage;
    }
    for (const Seed& seed : kSeeds) {
        if (!WriteSeed(seed, argv[1], argv[2])) {
            std::fprintf(stderr, "cannot write seed %s\n", seed.name);
            return 1;
        }
    }
    return 0;
}
