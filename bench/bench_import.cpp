// Import throughput: 8 mono WAVE files of 60 seconds at 48 kHz and 24 bit are
// scanned and converted into track data files on an MO folder in a temporary
// folder, against `cp` of the same source bytes.

#include "app/Document.h"
#include "import/InvertExchange.h"
#include "recorder/FnbTextFile.h"
#include "tools/SilentUserInterface.h"

#include "bench/support/CopyTimer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kTracks = 8;
constexpr std::uint32_t kSeconds = 60;
constexpr std::uint32_t kRate = 48000;
constexpr std::uint32_t kBytesPerSample = 3;
constexpr std::uint32_t kDataBytes = kSeconds * kRate * kBytesPerSample;
constexpr std::uint32_t kFormatChunkBytes = 16;
constexpr std::uint32_t kRiffOverhead = 4 + 8 + kFormatChunkBytes + 8;
constexpr const char* kFnbText = "SNGSERIAL: 07\r\nSONGTITLE: Old\r\n\r\n";

void PutLe(std::ofstream& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.put(static_cast<char>(value >> (8 * i)));
}

// A mono 24-bit WAVE file of noise-like samples.
void WriteSource(const fs::path& path, std::uint32_t seed)
{
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    PutLe(out, kRiffOverhead + kDataBytes, 4);
    out.write("WAVEfmt ", 8);
    PutLe(out, kFormatChunkBytes, 4);
    PutLe(out, 1, 2);  // PCM
    PutLe(out, 1, 2);  // mono
    PutLe(out, kRate, 4);
    PutLe(out, kRate * kBytesPerSample, 4);
    PutLe(out, kBytesPerSample, 2);
    PutLe(out, kBytesPerSample * 8, 2);
    out.write("data", 4);
    PutLe(out, kDataBytes, 4);
    std::vector<char> samples(kDataBytes);
    std::uint32_t state = seed;
    for (auto& byte : samples) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    out.write(samples.data(), static_cast<std::streamsize>(samples.size()));
}

struct BenchFolders {
    BenchFolders()
    {
        root = fs::temp_directory_path() / ("wavelorn-bench-import-" + std::to_string(std::random_device{}()));
        fs::create_directories(root / "sources");
        fs::create_directories(root / "mo");
        for (int track = 0; track < kTracks; ++track)
            WriteSource(Source(track), static_cast<std::uint32_t>(track + 1));
    }
    ~BenchFolders()
    {
        std::error_code error;
        fs::remove_all(root, error);
    }
    fs::path Source(int track) const { return root / "sources" / ("track" + std::to_string(track + 1) + ".wav"); }

    fs::path root;
};

BenchFolders& Folders()
{
    static BenchFolders folders;
    return folders;
}

// An MO folder with nothing but a fresh FNB.TXT.
void ResetMoFolder()
{
    const fs::path mo = Folders().root / "mo";
    fs::remove_all(mo);
    fs::create_directories(mo);
    std::string text = kFnbText;
    text.resize(kFnbTextSize, '\0');
    std::ofstream(mo / "FNB.TXT", std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}

void BM_Import8Tracks(benchmark::State& state)
{
    tools::SilentUserInterface ui;
    COVFtoWAVEDoc doc;
    doc.SetMoFolder((Folders().root / "mo").string());
    for (auto _ : state) {
        state.PauseTiming();
        ResetMoFolder();
        TrackSlots slots = MakeTrackSlots();
        for (int track = 0; track < kTracks; ++track) {
            const std::string path = Folders().Source(track).string();
            if (!slots[static_cast<std::size_t>(track)].SelectReader(path) ||
                slots[static_cast<std::size_t>(track)].ReadSourceHeader(path)) {
                state.SkipWithError("source refused");
                return;
            }
            slots[static_cast<std::size_t>(track)].SetSourcePath(path);
        }
        state.ResumeTiming();
        if (!CInvertExchange(slots, doc, ui).Run().succeeded) {
            state.SkipWithError(ui.lastMessage.c_str());
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(kTracks) * kDataBytes * state.iterations());
}

void BM_CpOfSources(benchmark::State& state)
{
    benchsupport::TimeCopyOfFolder(state, Folders().root / "sources", Folders().root / "copies");
    state.SetBytesProcessed(static_cast<std::int64_t>(kTracks) * kDataBytes * state.iterations());
}

}  // namespace

BENCHMARK(BM_Import8Tracks)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CpOfSources)->Apply(benchsupport::WithAndWithoutSync)->Unit(benchmark::kMillisecond)->UseManualTime();

BENCHMARK_MAIN();
