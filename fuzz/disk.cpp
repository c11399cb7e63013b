// The recorder disk as the export reads it: the FNB.BIN project walk, each project's
// segment chains, and the samples of its tracks, with FNB.BIN, HFS.BIN and the track
// data files held in memory (layout in DiskInput.h). Every data file a chain names gets
// the data bytes from an offset that grows with the file's place in the walk, so later
// files are shorter and the last ones are missing.
//
// Promises beyond the sanitizers: every walk ends within as many steps as FNB.BIN has
// slots; a track delivers nothing past the end its chain describes, and only silence;
// a track that ends early ends before that end, never after it.

#include "fuzz/DiskInput.h"
#include "fuzz/FuzzTarget.h"
#include "platform/Files.h"
#include "tests/support/MemoryFileSystem.h"
#include "recorder/BinderFile.h"
#include "recorder/Track.h"
#include "recorder/TrackFileName.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char* const kFolder = "mo";
constexpr std::size_t kSlotCount = std::size_t{1} << 16;  // slot numbers are 16-bit
// Bounds that keep one input fast: projects and tracks read, data files given bytes.
constexpr std::size_t kMaxProjects = 8;
constexpr std::size_t kMaxTracksPerProject = 4;
constexpr std::size_t kMaxDataFiles = 32;
constexpr std::size_t kDataStep = 256;
// Tracks whose chain ends later are read this far and not to their end.
constexpr std::uint64_t kSampleCap = std::uint64_t{1} << 18;
constexpr std::size_t kChunkSamples = 4096;
constexpr std::size_t kWidestSample = 3;
constexpr std::size_t kMaxChannels = 2;
// Fills the buffer before the read past the end, so that silence must be written, not left.
constexpr std::uint8_t kStaleByte = 0xA5;

struct TrackKey {
    sobinder project;
    int track;
    int virtualTrack;
};

std::string InFolder(const std::string& name)
{
    return platform::JoinPath(kFolder, name);
}

std::vector<std::uint8_t> Bytes(std::span<const std::uint8_t> bytes)
{
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::vector<sobinder> WalkProjects(CBinderFile& binder)
{
    std::vector<sobinder> projects;
    sobinder record{};
    std::size_t steps = 0;
    for (bool more = binder.ReadFirstSong(record); more; more = binder.ReadNextSong(record)) {
        fuzz::Require(++steps <= kSlotCount, "the project walk ends");
        if (projects.size() < kMaxProjects)
            projects.push_back(record);
    }
    return projects;
}

// Walks the chain of one track, adding the names of its data files to `names`; false
// when the track holds nothing.
bool WalkChain(CBinderFile& binder, const TrackKey& key, std::vector<std::string>& names)
{
    soentry segment{};
    if (!binder.ReadFirstSegment(key.project, key.track, key.virtualTrack, segment))
        return false;
    std::size_t steps = 0;
    do {
        fuzz::Require(++steps <= kSlotCount, "a segment chain ends");
        const std::string name = MakeTrackFileName(key.project.projectNumber, segment.fileSerial);
        if (names.size() < kMaxDataFiles && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    } while (binder.ReadNextSegment(segment));
    return true;
}

void AddDataFiles(testsupport::MemoryFileSystem& files, const std::vector<std::string>& names,
                  std::span<const std::uint8_t> data)
{
    for (std::size_t k = 0; k < names.size() && k * kDataStep < data.size(); ++k) {
        files.AddFile(InFolder(names[k]), Bytes(data.subspan(k * kDataStep)));
    }
}

bool AllZero(std::span<const std::uint8_t> bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t byte) { return byte == 0; });
}

// Reads the track to the end its chain describes (at most kSampleCap samples), then one
// chunk more, which must be silence reported as the end.
void ReadTrack(platform::FileSystem& files, const TrackKey& key, std::vector<std::uint8_t>& buffer)
{
    CTrack track(kFolder, key.project, key.track, key.virtualTrack, files);
    if (track.Open())
        return;  // refused
    const std::uint64_t chainEnd = track.GetEndPosition();
    const auto width = static_cast<std::size_t>(track.GetBytesPerSample());
    fuzz::Require(width > 0 && width <= kWidestSample, "an opened track has a sample width");
    // Odd tracks fill a packed buffer, even ones one channel of two.
    const std::size_t stride = width * (key.track % 2 == 0 ? kMaxChannels : 1);
    const std::uint64_t readTo = std::min(chainEnd, kSampleCap);
    for (std::uint64_t position = 0; position < readTo;) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSamples, readTo - position));
        track.ReadSamples(buffer.data(), count, stride);
        position += count;
    }
    if (chainEnd > kSampleCap)
        return;
    std::fill(buffer.begin(), buffer.end(), kStaleByte);
    const bool delivered = track.ReadSamples(buffer.data(), kChunkSamples, width);
    fuzz::Require(!delivered, "nothing is delivered past the end of the chain");
    fuzz::Require(AllZero(std::span(buffer).first(kChunkSamples * width)), "past its end a track gives silence");
    fuzz::Require(track.GetEndPosition() <= chainEnd, "a track never ends after its chain");
    track.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fuzz::DiskInput disk = fuzz::SplitDiskInput({data, size});
    testsupport::MemoryFileSystem files;
    files.AddFolder(kFolder);
    files.AddFile(InFolder(kBinderFileName), Bytes(disk.fnb));
    if (!disk.hfs.empty())
        files.AddFile(InFolder(kHfsFileName), Bytes(disk.hfs));

    std::vector<TrackKey> tracks;
    std::vector<std::string> dataFiles;
    {
        CBinderFile binder(InFolder(kBinderFileName), files);
        if (!binder.OpenForRead())
            return 0;
        for (const sobinder& project : WalkProjects(binder)) {
            std::size_t recorded = 0;
            for (int virtualTrack = 1; virtualTrack <= kVirtualTrackCount; ++virtualTrack) {
                for (int track = 1; track <= static_cast<int>(kTrackCount); ++track) {
                    const TrackKey key{project, track, virtualTrack};
                    if (WalkChain(binder, key, dataFiles) && recorded++ < kMaxTracksPerProject)
                        tracks.push_back(key);
                }
            }
        }
    }
    AddDataFiles(files, dataFiles, disk.data);

    std::vector<std::uint8_t> buffer(kChunkSamples * kWidestSample * kMaxChannels);
    for (const TrackKey& key : tracks)
        ReadTrack(files, key, buffer);
    return 0;
}
