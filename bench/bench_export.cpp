// Export throughput: a Mono export of 8 tracks and a Stereo export of 2 tracks,
// 60 seconds each at 48 kHz and 24 bit, from a recorder disk in a temporary folder,
// against `cp` of the same output bytes.

#include "app/RegUserData.h"
#include "export/MonoType.h"
#include "export/StereoType.h"
#include "recorder/Track.h"
#include "tools/SilentUserInterface.h"
#include "tools/diskwriter/DiskWriter.h"

#include "bench/support/CopyTimer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRecorderTracks = static_cast<int>(kTrackCount);
constexpr int kStereoTracks = 2;
constexpr std::uint32_t kSeconds = 60;
constexpr std::uint32_t kRate = 48000;
constexpr std::uint32_t kGroupSamples = 8;
constexpr std::uint32_t kTrackGroups = kSeconds * kRate / kGroupSamples;
constexpr std::int32_t k24BitSpan = 1 << 23;

// The recorder disk and the output folder, made once for all benchmarks.
struct BenchDisk {
    BenchDisk()
    {
        root = fs::temp_directory_path() / ("wavelorn-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(root / "disk");
        fs::create_directories(root / "out");
        diskwriter::Disk disk;
        auto& project = disk.AddProject({.slot = 2, .number = 1, .name = "Bench", .rate = kRate48000,
                                         .wordLength = kWordLength24});
        for (int track = 1; track <= kRecorderTracks; ++track) {
            diskwriter::SegmentInfo segment{.track = track, .virtualTrack = 1, .startGroup = 0,
                                            .lengthGroups = kTrackGroups, .serial = static_cast<std::uint16_t>(track)};
            segment.generator = [track](std::uint64_t index) {
                return static_cast<std::int32_t>((index * 2654435761u + static_cast<std::uint64_t>(track)) %
                                                 (2 * k24BitSpan)) -
                       k24BitSpan;
            };
            segment.generatedSamples = std::uint64_t{kTrackGroups} * kGroupSamples;
            project.AddSegment(segment);
        }
        disk.Write((root / "disk").string());
        record = project.Record();
    }
    ~BenchDisk()
    {
        std::error_code error;
        fs::remove_all(root, error);
    }

    fs::path root;
    sobinder record{};
};

BenchDisk& Disk()
{
    static BenchDisk disk;
    return disk;
}

std::vector<std::unique_ptr<CTrack>> OpenTracks(int count)
{
    std::vector<std::unique_ptr<CTrack>> tracks;
    for (int track = 1; track <= count; ++track) {
        tracks.push_back(std::make_unique<CTrack>((Disk().root / "disk").string(), Disk().record, track, 1));
        if (tracks.back()->Open())
            return {};
    }
    return tracks;
}

void ClearOutputs()
{
    fs::remove_all(Disk().root / "out");
    fs::create_directories(Disk().root / "out");
}

template <class Mode>
void RunExport(benchmark::State& state, int trackCount, const std::string& chosenName)
{
    const std::string chosen = (Disk().root / "out" / chosenName).string();
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ClearOutputs();  // fresh files, as cp writes them
        auto tracks = OpenTracks(trackCount);
        std::vector<CTrack*> pointers;
        for (auto& track : tracks)
            pointers.push_back(track.get());
        tools::SilentUserInterface ui(platform::Answer::Yes);
        CNoUserData settings;
        Mode mode(ui, settings);
        state.ResumeTiming();
        if (pointers.empty() || mode.Check("WAVE", Disk().record, trackCount, pointers.data()) ||
            mode.Convert(chosen)) {
            state.SkipWithError("export failed");
            return;
        }
        bytes = 0;
        for (const auto& entry : fs::directory_iterator(Disk().root / "out"))
            bytes += entry.file_size();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}

// Copies every output file with `cp`, timed as a whole.
void CopyOutputs(benchmark::State& state)
{
    benchsupport::TimeCopyOfFolder(state, Disk().root / "out", Disk().root / "copies");
}

void BM_MonoExport8Tracks(benchmark::State& state)
{
    RunExport<CMonoType>(state, kRecorderTracks, "Bench.wav");
}

void BM_CpOfMonoOutput(benchmark::State& state)
{
    CopyOutputs(state);
}

void BM_StereoExport2Tracks(benchmark::State& state)
{
    RunExport<CStereoType>(state, kStereoTracks, "Mix.wav");
}

void BM_CpOfStereoOutput(benchmark::State& state)
{
    CopyOutputs(state);
}

}  // namespace

BENCHMARK(BM_MonoExport8Tracks)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CpOfMonoOutput)->Apply(benchsupport::WithAndWithoutSync)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_StereoExport2Tracks)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CpOfStereoOutput)->Apply(benchsupport::WithAndWithoutSync)->Unit(benchmark::kMillisecond)->UseManualTime();

BENCHMARK_MAIN();
