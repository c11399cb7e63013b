// The region builder over arbitrary unit flags: regions come out in ascending order,
// apart from each other, and cover every unit that holds sound.

#include "fuzz/FuzzTarget.h"
#include "import/RegionScan.h"

#include <vector>

namespace {

constexpr std::uint32_t kGroupsPerBlock[] = {8192, 6553, 5461};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint32_t groups = kGroupsPerBlock[data[0] % std::size(kGroupsPerBlock)];
    std::vector<std::uint8_t> flags;
    for (std::size_t i = 1; i < size; ++i)
        flags.push_back(data[i] & kUnitSilent);
    const std::vector<SoundRegion> regions = BuildRegions(flags, groups);

    for (std::size_t r = 0; r < regions.size(); ++r) {
        fuzz::Require(regions[r].startGroup <= regions[r].endGroup, "a region starts before it ends");
        fuzz::Require(r == 0 || regions[r - 1].endGroup < regions[r].startGroup, "regions ascend apart");
        fuzz::Require(std::uint64_t{regions[r].endGroup} < (std::uint64_t{flags.size()} + 1) * groups,
                      "a region ends at most one unit beyond the data");
    }
    for (std::size_t unit = 0; unit < flags.size(); ++unit) {
        if (flags[unit] == kUnitSilent)
            continue;
        const std::uint64_t first = std::uint64_t{unit} * groups;
        const std::uint64_t last = first + groups - 1;
        bool covered = false;
        for (const auto& region : regions)
            covered = covered || (region.startGroup <= first && region.endGroup >= last);
        fuzz::Require(covered, "every unit with sound lies inside a region");
    }
    return 0;
}
