// The region builder over arbitrary unit flags: regions come out in ascending order,
// apart from each other, and cover every unit that holds sound.

#include "fuzz/FuzzTarget.h"
#include "import/RegionScan.h"
#include "recorder/Formats.h"
#include "recorder/PackFile.h"

#include <vector>

namespace {

// The groups in a track data block at the word length the input's first byte picks.
std::uint32_t GroupsPerBlockOf(std::uint8_t choice)
{
    const WordLengthFormat& wordLength = kWordLengthFormats[choice % std::size(kWordLengthFormats)];
    const auto layout = GroupLayoutFor(wordLength.bits);
    fuzz::Require(layout.has_value(), "every recorder word length has a group layout");
    return layout->groupsPerBlock;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint32_t groups = GroupsPerBlockOf(data[0]);
    std::vector<std::uint8_t> flags;
    for (std::size_t i = 1; i < size; ++i)
        flags.push_back(data[i] & kUnitSilent);
    const std::vector<SoundRegion> regions = BuildRegions(flags, groups);

    fuzz::RequireOrderedRegions(regions);
    for (const auto& region : regions)
        fuzz::Require(std::uint64_t{region.endGroup} < (std::uint64_t{flags.size()} + 1) * groups,
                      "a region ends at most one unit beyond the data");
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
