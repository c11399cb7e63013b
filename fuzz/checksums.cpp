// The reader of an archive's SHA256SUMS over arbitrary bytes: every line is taken or
// named as bad, what it takes lies inside the archive folder, and the list written
// from what it took reads back the same, without a bad line.

#include "archive/ArchiveManifest.h"
#include "fuzz/FuzzTarget.h"

#include <algorithm>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const archive::ChecksumListing listing = archive::ParseChecksumList(text);
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    fuzz::Require(listing.sums.size() + listing.badLines.size() <= lines, "each line is taken or bad, once");
    archive::ArchiveRecord record;
    for (const auto& [file, sum] : listing.sums) {
        fuzz::Require(archive::IsArchivePath(file), "a listed file lies inside the archive");
        record.diskFiles.push_back({file, archive::FileRecord{file, 0, sum}, std::nullopt});
    }
    const archive::ChecksumListing again = archive::ParseChecksumList(archive::ChecksumList(record));
    fuzz::Require(again.badLines.empty() && again.sums == listing.sums, "a written list reads back the same");
    return 0;
}
