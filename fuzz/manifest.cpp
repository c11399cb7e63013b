// The readers of an archive's manifest.json and rescue-map.json over arbitrary bytes:
// they never throw; whatever the manifest's accepts names only paths inside the archive
// folder and whole checksums, and the unreadable ranges either accepts lie in order.

#include "archive/ArchiveManifest.h"
#include "fuzz/FuzzTarget.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

void RequireInside(const archive::FileRecord& file)
{
    fuzz::Require(archive::IsArchivePath(file.file), "a file of an accepted manifest lies inside the archive");
    fuzz::Require(archive::ParseChecksumList(file.sha256 + "  " + file.file + "\n").badLines.empty(),
                  "a file of an accepted manifest has a whole SHA-256");
}

// Unreadable ranges are accepted only in order, apart and not empty (within `size`).
void RequireInOrder(const std::vector<archive::UnreadableRange>& ranges, std::uint64_t size)
{
    std::uint64_t end = 0;
    for (const auto& range : ranges) {
        fuzz::Require(range.offset >= end && range.length > 0, "accepted unreadable ranges lie in order");
        end = range.offset + range.length;
        fuzz::Require(end <= size && end >= range.offset, "an accepted unreadable range lies within its file");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const auto map = archive::ParseRescueMap(text)) {
        for (const auto& [name, ranges] : *map)
            RequireInOrder(ranges, UINT64_MAX);
    }
    const auto earlier = archive::ParseManifest(text);
    if (!earlier)
        return 0;
    for (const auto& [name, ranges] : earlier->damagedDiskFiles) {
        fuzz::Require(earlier->diskFiles.contains(name), "a damaged disk file has a copy");
        RequireInOrder(ranges, earlier->diskFiles.at(name).size);
    }
    for (const auto& [name, copy] : earlier->diskFiles)
        RequireInside(copy);
    for (const auto& [file, output] : earlier->outputs) {
        fuzz::Require(file == output.file.file, "an output is found by its own path");
        RequireInside(output.file);
    }
    return 0;
}
