// The reader of an archive's manifest.json over arbitrary bytes: it never throws, and
// whatever it accepts names only paths inside the archive folder and whole checksums.

#include "archive/ArchiveManifest.h"
#include "fuzz/FuzzTarget.h"

#include <string>

namespace {

void RequireInside(const archive::FileRecord& file)
{
    fuzz::Require(archive::IsArchivePath(file.file), "a file of an accepted manifest lies inside the archive");
    fuzz::Require(archive::ParseChecksumList(file.sha256 + "  " + file.file + "\n").badLines.empty(),
                  "a file of an accepted manifest has a whole SHA-256");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto earlier = archive::ParseManifest(std::string(reinterpret_cast<const char*>(data), size));
    if (!earlier)
        return 0;
    for (const auto& [name, copy] : earlier->diskFiles)
        RequireInside(copy);
    for (const auto& [file, output] : earlier->outputs) {
        fuzz::Require(file == output.file.file, "an output is found by its own path");
        RequireInside(output.file);
    }
    return 0;
}
