#pragma once
// Times `cp` of every file of one folder into a fresh folder: the yardstick the
// conversions are measured against.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace benchsupport {

inline void TimeCopyOfFolder(benchmark::State& state, const std::filesystem::path& from,
                             const std::filesystem::path& copies)
{
    for (auto _ : state) {
        std::filesystem::remove_all(copies);
        std::filesystem::create_directories(copies);
        const std::string command = "cp " + from.string() + "/* " + copies.string();
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("cp failed");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}

}  // namespace benchsupport
