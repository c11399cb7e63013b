// Conversion throughput: 8 stereo float WAVE files of 5 minutes at 96 kHz, their left
// channels converted into mono 48 kHz 24-bit WAVE files with dither, as an import
// onto a 48 kHz 24-bit project does, against `sox` doing the same conversion
// (`remix 1 rate -v 48000`, 24 bit, its default dither) file by file.

#include "convert/SourceConversion.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 8;
constexpr int kSeconds = 300;
constexpr int kSourceRate = 96000;
constexpr int kChannels = 2;
constexpr std::int64_t kSourceBytesPerFile = std::int64_t{kSeconds} * kSourceRate * kChannels * 4;
constexpr convert::TargetFormat kTarget{48000, 24, true};

struct BenchFolders {
    BenchFolders()
    {
        root = fs::temp_directory_path() / ("wavelorn-bench-convert-" + std::to_string(std::random_device{}()));
        fs::create_directories(root / "sources");
        for (int file = 0; file < kFiles; ++file) {
            // Two tones and noise of their own in each file: nothing a resampler could skip.
            const std::string command = "sox -n -r " + std::to_string(kSourceRate) + " -c 2 -e floating-point -b 32 " +
                                        Source(file).string() + " synth " + std::to_string(kSeconds) +
                                        " sine " + std::to_string(220 + 10 * file) + " whitenoise gain -6 2>/dev/null";
            if (std::system(command.c_str()) != 0)
                failed = true;
        }
    }
    ~BenchFolders()
    {
        std::error_code error;
        fs::remove_all(root, error);
    }
    fs::path Source(int file) const { return root / "sources" / ("take" + std::to_string(file + 1) + ".wav"); }
    fs::path Output(int file) const { return root / "out" / ("track" + std::to_string(file + 1) + ".wav"); }
    void ResetOutput() const
    {
        fs::remove_all(root / "out");
        fs::create_directories(root / "out");
    }

    fs::path root;
    bool failed = false;
};

BenchFolders& Folders()
{
    static BenchFolders folders;
    return folders;
}

void BM_Convert8Files(benchmark::State& state)
{
    if (Folders().failed)
        return state.SkipWithError("sox could not write the sources");
    for (auto _ : state) {
        state.PauseTiming();
        Folders().ResetOutput();
        state.ResumeTiming();
        for (int file = 0; file < kFiles; ++file) {
            convert::ConversionOutcome outcome;
            if (convert::ConvertChannel(platform::RealFileSystem(), Folders().Source(file).string(),
                                        convert::Channel::Left, kTarget, Folders().Output(file).string(), "take",
                                        {}, outcome))
                return state.SkipWithError("conversion failed");
        }
    }
    state.SetBytesProcessed(kFiles * kSourceBytesPerFile * state.iterations());
}

void BM_Sox8Files(benchmark::State& state)
{
    if (Folders().failed)
        return state.SkipWithError("sox could not write the sources");
    for (auto _ : state) {
        Folders().ResetOutput();
        const auto start = std::chrono::steady_clock::now();
        for (int file = 0; file < kFiles; ++file) {
            const std::string command = "sox " + Folders().Source(file).string() + " -b 24 " +
                                        Folders().Output(file).string() + " remix 1 rate -v 48000";
            if (std::system(command.c_str()) != 0)
                return state.SkipWithError("sox failed");
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.SetBytesProcessed(kFiles * kSourceBytesPerFile * state.iterations());
}

}  // namespace

BENCHMARK(BM_Convert8Files)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Sox8Files)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

BENCHMARK_MAIN();
