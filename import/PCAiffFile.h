#pragma once
// The reader of AIFF files: mono linear PCM with 16, 20 or 24-bit big-endian
// samples at a rate the export can write back; and of AIFF-C files holding the same
// uncompressed, big-endian (NONE) or little-endian (sowt).

#include "import/PCSoundFile.h"
#include "platform/FileSystem.h"

#include <cstdint>
#include <optional>

class CPCAiffFile : public CPCSoundFile {
public:
    explicit CPCAiffFile(platform::FileSystem& files = platform::RealFileSystem());

    std::optional<Refusal> ParseHeader(platform::ByteSource& source) override;
};

// The position of the first occurrence of the 4-character `id` anywhere in
// `source`, byte by byte (not from chunk to chunk), or nothing.
std::optional<std::uint64_t> FindIdentifier(platform::ByteSource& source, const char* id);
