#pragma once
// The reader of AIFF files: mono linear PCM with 16, 20 or 24-bit big-endian
// samples at 32000, 44100 or 48000 Hz. Its header check shows no message.

#include "import/PCSoundFile.h"

#include <cstdint>
#include <optional>

class CSoundFileInput;

class CPCAiffFile : public CPCSoundFile {
public:
    explicit CPCAiffFile(platform::UserInterface& ui);

    bool ReadHeader(const std::string& path) override;
};

// The position of the first occurrence of the 4-character `id` anywhere in the
// file, byte by byte (not from chunk to chunk), or nothing.
std::optional<std::uint64_t> FindIdentifier(CSoundFileInput& input, const char* id);
