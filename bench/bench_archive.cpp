// Archive throughput on a disk of 8 projects holding about 500 MB of track data (16,
// 20 and 24-bit projects, 4 tracks of 160 seconds each): the WAVE archive against
// `cp` of the disk folder's files, the FLAC archive against `sox` and `flac` encoding the
// WAVE archive's files one after the other.

#include "archive/ArchiveRun.h"
#include "bench/support/CopyTimer.h"
#include "platform/Files.h"
#include "tools/diskwriter/DiskWriter.h"

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kProjects = 8;
constexpr int kTracksPerProject = 4;
constexpr std::uint32_t kSeconds = 160;
constexpr std::uint32_t kGroupSamples = 8;
constexpr std::size_t kTonePeriod = 109;       // samples of one period of the test tone
constexpr double kToneLevel = 0.4;             // of full scale
constexpr std::uint32_t kNoiseMask = 0xff;     // low bits of noise under the tone
constexpr std::uint64_t kNoiseMultiplier = 6364136223846793005u;

struct ProjectFormat {
    std::uint8_t rateCode;
    std::uint32_t rate;
    std::uint8_t wordLength;
    int bits;
};

constexpr std::array<ProjectFormat, 3> kFormats = {{
    {kRate44100, 44100, kWordLength16, 16},
    {kRate32000, 32000, kWordLength20, 20},
    {kRate48000, 48000, kWordLength24, 24},
}};

// A tone with a little noise under it, as recorded sound is: what FLAC encodes.
diskwriter::SampleGenerator Tone(int bits, std::uint64_t seed)
{
    auto table = std::make_shared<std::vector<std::int32_t>>(kTonePeriod);
    const double amplitude = kToneLevel * std::ldexp(1.0, bits - 1);
    for (std::size_t i = 0; i < kTonePeriod; ++i)
        (*table)[i] = static_cast<std::int32_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * i / kTonePeriod)));
    return [table, seed](std::uint64_t index) {
        const auto noise = static_cast<std::int32_t>(((index + seed) * kNoiseMultiplier >> 40) & kNoiseMask);
        return (*table)[index % kTonePeriod] + noise;
    };
}

struct BenchDisk {
    BenchDisk()
    {
        root = fs::temp_directory_path() / ("wavelorn-bench-archive-" + std::to_string(std::random_device{}()));
        fs::create_directories(root / "disk");
        diskwriter::Disk disk;
        std::uint16_t serial = 0;
        constexpr std::uint16_t kProjectSlots = 200;
        for (int p = 0; p < kProjects; ++p) {
            const ProjectFormat& format = kFormats[static_cast<std::size_t>(p) % kFormats.size()];
            auto& project = disk.AddProject({.slot = static_cast<std::uint16_t>(2 + p * kProjectSlots),
                                             .number = static_cast<std::uint16_t>(p + 1),
                                             .name = "Bench " + std::to_string(p + 1),
                                             .rate = format.rateCode,
                                             .wordLength = format.wordLength});
            const std::uint32_t groups = kSeconds * format.rate / kGroupSamples;
            for (int track = 1; track <= kTracksPerProject; ++track) {
                diskwriter::SegmentInfo segment{.track = track, .virtualTrack = 1, .startGroup = 0,
                                                .lengthGroups = groups, .serial = serial++};
                segment.generator = Tone(format.bits, serial);
                segment.generatedSamples = std::uint64_t{groups} * kGroupSamples;
                project.AddSegment(segment);
            }
        }
        disk.Write(platform::Utf8FromPath(root / "disk"));
        for (const auto& entry : fs::directory_iterator(root / "disk"))
            diskBytes += entry.file_size();
    }
    ~BenchDisk()
    {
        std::error_code error;
        fs::remove_all(root, error);
    }

    std::string Path(const char* name) const { return platform::Utf8FromPath(root / name); }

    fs::path root;
    std::uint64_t diskBytes = 0;
};

BenchDisk& Disk()
{
    static BenchDisk disk;
    return disk;
}

class QuietConsole : public archive::ArchiveConsole {
public:
    void Warn(const std::string&) override {}
    void Listed(const std::string&) override {}
    std::unique_ptr<platform::ProgressWindow> CreateProgressWindow() override { return nullptr; }
};

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Archive(benchmark::State& state, archive::ArchiveFormat format, const char* outName)
{
    for (auto _ : state) {
        fs::remove_all(Disk().root / outName);
        QuietConsole console;
        const auto start = std::chrono::steady_clock::now();
        if (archive::RunArchive({Disk().Path("disk"), Disk().Path(outName), format, false}, platform::RealFileSystem(),
                            console) != 0) {
            state.SkipWithError("archive failed");
            return;
        }
        state.SetIterationTime(Seconds(start));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(Disk().diskBytes) * state.iterations());
}

// Runs `command` (a shell line) and times it.
void TimeCommand(benchmark::State& state, const std::string& command)
{
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        state.SkipWithError(("failed: " + command).c_str());
        return;
    }
    state.SetIterationTime(Seconds(start));
}

void BM_ArchiveWave(benchmark::State& state)
{
    Archive(state, archive::ArchiveFormat::Wave, "wav");
}

void BM_CpOfDisk(benchmark::State& state)
{
    benchsupport::TimeCopyOfFolder(state, Disk().root / "disk", Disk().root / "copy");
    state.SetBytesProcessed(static_cast<std::int64_t>(Disk().diskBytes) * state.iterations());
}

void BM_ArchiveFlac(benchmark::State& state)
{
    Archive(state, archive::ArchiveFormat::Flac, "flac");
}

// Encodes every WAVE file of the WAVE archive with `encoder` ("sox" or "flac").
void EncodeWaves(benchmark::State& state, const std::string& encoder)
{
    const std::string waves = Disk().Path("wav");
    const std::string out = Disk().Path("encoded");
    const std::string encode = encoder == "sox" ? "sox \"$f\" \"$o\"" : "flac -s -f -o \"$o\" \"$f\"";
    const std::string command = "cd '" + waves + "' && for f in */*.wav; do o='" + out +
                                "'/$(echo \"$f\" | tr / _).flac; " + encode + " || exit 1; done";
    for (auto _ : state) {
        fs::remove_all(Disk().root / "encoded");
        fs::create_directories(Disk().root / "encoded");
        TimeCommand(state, command);
    }
}

void BM_SoxFlacOfWaves(benchmark::State& state)
{
    EncodeWaves(state, "sox");
}

void BM_FlacToolOfWaves(benchmark::State& state)
{
    EncodeWaves(state, "flac");
}

constexpr int kCopyRuns = 3;
constexpr int kEncodeRuns = 1;

}  // namespace

// The WAVE archive must exist before the encoders read its files.
BENCHMARK(BM_ArchiveWave)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(kCopyRuns);
BENCHMARK(BM_CpOfDisk)->Apply(benchsupport::WithAndWithoutSync)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(kCopyRuns);
BENCHMARK(BM_ArchiveFlac)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(kEncodeRuns);
BENCHMARK(BM_SoxFlacOfWaves)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(kEncodeRuns);
BENCHMARK(BM_FlacToolOfWaves)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(kEncodeRuns);

BENCHMARK_MAIN();
