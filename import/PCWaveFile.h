#pragma once
// The reader of RIFF WAVE files: mono linear PCM with 16, 20 or 24-bit samples,
// in the plain or the extensible format, little-endian samples, at any rate the
// recorder has a code for.

#include "import/PCSoundFile.h"
#include "platform/FileSystem.h"

class CPCWaveFile : public CPCSoundFile {
public:
    explicit CPCWaveFile(platform::FileSystem& files = platform::RealFileSystem());

    std::optional<Refusal> ParseHeader(platform::ByteSource& source) override;
};
