// Throughput of the recorder reader: block decode in bytes of file per second (against
// plain block reads of the same file), and samples per second through CTrack::ReadSample
// from a disk in the file cache.

#include "platform/Files.h"
#include "recorder/Track.h"
#include "recorder/TrackFile.h"
#include "recorder/TrackFileName.h"
#include "tools/diskwriter/DiskWriter.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr std::uint16_t kProjectNumber = 1;
constexpr std::uint16_t kSerial = 1;
constexpr std::uint32_t kBlocks = 64;  // an 8 MiB data file
constexpr std::int32_t kSampleMask = 0x7FFF;

// A recorder disk in a temporary folder with one long segment on track 1.
class BenchDisk {
public:
    explicit BenchDisk(std::uint8_t wordLength)
        : m_folder(std::filesystem::temp_directory_path() /
                   ("wavelorn-bench-" + std::to_string(::getpid()) + "-" + std::to_string(wordLength)))
    {
        std::filesystem::create_directories(m_folder);
        const CTrackFile layout("", Song(wordLength), soentry{});
        const std::uint64_t samples = std::uint64_t{kBlocks} * static_cast<std::uint64_t>(layout.GetSamplesPerBlock());
        diskwriter::Disk disk;
        auto& project = disk.AddProject({.slot = 2, .number = kProjectNumber, .wordLength = wordLength});
        project.AddSegment({.lengthGroups = static_cast<std::uint32_t>(samples / kSamplesPerGroup),
                            .serial = kSerial,
                            .generator = [](std::uint64_t i) { return static_cast<std::int32_t>(i) & kSampleMask; },
                            .generatedSamples = samples});
        disk.Write(m_folder.string());
        m_song = project.Record();
    }
    ~BenchDisk() { std::filesystem::remove_all(m_folder); }
    BenchDisk(const BenchDisk&) = delete;
    BenchDisk& operator=(const BenchDisk&) = delete;

    std::string Folder() const { return m_folder.string(); }
    const sobinder& SongRecord() const { return m_song; }
    static sobinder Song(std::uint8_t wordLength)
    {
        sobinder song{};
        song.projectNumber = kProjectNumber;
        song.wordLength = wordLength;
        return song;
    }

private:
    std::filesystem::path m_folder;
    sobinder m_song{};
};

soentry DataSegment()
{
    soentry segment{};
    segment.fileSerial = kSerial;
    return segment;
}

void DecodeBlocks(benchmark::State& state)
{
    const auto wordLength = static_cast<std::uint8_t>(state.range(0));
    const BenchDisk disk(wordLength);
    auto open = [&disk] {
        auto file = std::make_unique<CTrackFile>(disk.Folder(), disk.SongRecord(), DataSegment());
        return file->OpenForRead() ? std::move(file) : nullptr;
    };
    auto file = open();
    if (!file) {
        state.SkipWithError("cannot open the data file");
        return;
    }
    std::vector<std::uint8_t> out(static_cast<std::size_t>(file->GetDecodedBlockSize()) + kDecodeSpill);
    std::uint32_t block = 0;
    for (auto _ : state) {
        if (!file->ReadBlock(block % kBlocks + 1, out.data())) {
            file = open();  // a data file object reads its file once: start over on a fresh one
            continue;
        }
        benchmark::DoNotOptimize(out.data());
        ++block;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(block) * kRecorderBlockSize);
}

// The same blocks read without decoding: the floor set by the file cache.
void ReadBlocksRaw(benchmark::State& state)
{
    const BenchDisk disk(kWordLength16);
    const auto file =
        platform::RealFileSystem().OpenRead(platform::JoinPath(disk.Folder(), MakeTrackFileName(kProjectNumber, kSerial)));
    if (!file) {
        state.SkipWithError("cannot open the data file");
        return;
    }
    std::vector<std::uint8_t> buffer(kRecorderBlockSize);
    std::uint32_t block = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(file->ReadAt(std::uint64_t{block % kBlocks} * kRecorderBlockSize, buffer.data(), buffer.size()));
        ++block;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(block) * kRecorderBlockSize);
}

void PullSamples(benchmark::State& state)
{
    const auto wordLength = static_cast<std::uint8_t>(state.range(0));
    const BenchDisk disk(wordLength);
    CTrack track(disk.Folder(), disk.SongRecord(), 1, 1);
    if (track.Open()) {
        state.SkipWithError("cannot open the track");
        return;
    }
    std::uint8_t sample[4];
    std::int64_t pulled = 0;
    for (auto _ : state) {
        if (!track.ReadSample(sample)) {
            state.PauseTiming();
            (void)track.Open();
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(sample);
        ++pulled;
    }
    state.SetItemsProcessed(pulled);
}

}  // namespace

BENCHMARK(DecodeBlocks)->Arg(kWordLength16)->Arg(kWordLength20)->Arg(kWordLength24);
BENCHMARK(ReadBlocksRaw);
BENCHMARK(PullSamples)->Arg(kWordLength16)->Arg(kWordLength20)->Arg(kWordLength24);
BENCHMARK_MAIN();
