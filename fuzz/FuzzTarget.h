#pragma once
// The entry point every fuzz target defines, and the checks its oracles use: a broken
// promise aborts, so libFuzzer keeps the input and the replay run fails.

#include "import/PCSoundFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fuzz {

inline void Require(bool condition, const char* promise)
{
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", promise);
        std::abort();
    }
}

// Regions in ascending order, apart from each other.
inline void RequireOrderedRegions(const std::vector<SoundRegion>& regions)
{
    for (std::size_t r = 0; r < regions.size(); ++r) {
        Require(regions[r].startGroup <= regions[r].endGroup, "a region starts before it ends");
        Require(r == 0 || regions[r - 1].endGroup < regions[r].startGroup, "regions ascend apart");
    }
}

}  // namespace fuzz
