#pragma once
// Times `cp` of every file of one folder into a fresh folder: the yardstick the
// conversions are measured against. The runs sync what they write before they
// report success, so each yardstick also comes as `cp` followed by `sync` of the
// copies and their folder (the benchmark's argument 1).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace benchsupport {

// Registers a yardstick twice: `cp` alone, then `cp` + `sync`.
inline void WithAndWithoutSync(benchmark::internal::Benchmark* bench)
{
    bench->ArgName("sync")->Arg(0)->Arg(1);
}

inline void TimeCopyOfFolder(benchmark::State& state, const std::filesystem::path& from,
                             const std::filesystem::path& copies)
{
    const bool sync = state.range(0) != 0;
    for (auto _ : state) {
        std::filesystem::remove_all(copies);
        std::filesystem::create_directories(copies);
        std::string command = "cp " + from.string() + "/* " + copies.string();
        if (sync)
            command += " && sync " + copies.string() + " " + copies.string() + "/*";
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("cp failed");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}

}  // namespace benchsupport
