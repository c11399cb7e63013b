#pragma once
// The reader of RIFF WAVE files: mono linear PCM with 16, 20 or 24-bit samples,
// in the plain or the extensible format, little-endian samples, at any rate the
// recorder has a code for. Its header check shows its own message through the
// user-interface port when it refuses a file.

#include "import/PCSoundFile.h"
#include "platform/FileSystem.h"

class CPCWaveFile : public CPCSoundFile {
public:
    explicit CPCWaveFile(platform::UserInterface& ui, platform::FileSystem& files = platform::RealFileSystem());

    bool ParseHeader(platform::ByteSource& source) override;
    bool ShowsRefusals() const override;

protected:
    void ShowRefusal(const Refusal& refusal) override;
};
