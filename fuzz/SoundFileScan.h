#pragma once
// What the WAVE and AIFF targets share: the header check and region scan of a reader
// over arbitrary bytes held in memory, with the scan's promise: no non-zero byte of the
// sample data (from the data offset to the data end, clamped to the file) lies outside
// the regions found.

#include "fuzz/FuzzTarget.h"
#include "import/PCSoundFile.h"
#include "platform/Files.h"
#include "tests/support/MemoryFileSystem.h"
#include "recorder/Formats.h"
#include "recorder/PackFile.h"

#include <algorithm>
#include <vector>

namespace fuzz {

// Every non-zero byte of the sample data lies in a group inside a region.
inline void RequireSoundInsideRegions(const CPCSoundFile& reader, const std::uint8_t* data, std::size_t size)
{
    const auto layout = GroupLayoutFor(reader.GetBitsPerSample());
    Require(layout.has_value(), "a scanned file has a group layout");
    const std::vector<SoundRegion>& regions = reader.GetRegions();
    const std::uint64_t begin = reader.GetDataOffset();
    const std::uint64_t end = std::min<std::uint64_t>(begin + reader.GetDataSize(), size);
    std::size_t r = 0;
    for (std::uint64_t position = begin; position < end; ++position) {
        if (data[position] == 0)
            continue;
        const std::uint64_t group = (position - begin) / layout->sourceBytes;
        while (r < regions.size() && regions[r].endGroup < group)
            ++r;
        Require(r < regions.size() && regions[r].startGroup <= group,
                "every non-zero byte of the sample data lies inside a region");
    }
}

// Checks the header of `data` as a file and, when it is accepted, scans it.
inline void CheckHeaderAndScan(CPCSoundFile& reader, testsupport::MemoryFileSystem& files, const std::uint8_t* data,
                               std::size_t size)
{
    const std::string folder = "in";
    const std::string path = platform::JoinPath(folder, "take");
    files.AddFolder(folder);
    files.AddFile(path, std::vector<std::uint8_t>(data, data + size));
    if (reader.ReadHeader(path))
        return;
    Require(WordLengthOfBits(reader.GetBitsPerSample()).has_value(), "an accepted file has a recorder word length");
    Require(RateOfHz(reader.GetSampleRate()).has_value(), "an accepted file has a recorder rate");
    reader.SetFileName(path);
    Require(!reader.ScanRegions(nullptr), "a file accepted by its header check is scanned");
    RequireOrderedRegions(reader.GetRegions());
    RequireSoundInsideRegions(reader, data, size);
}

}  // namespace fuzz
