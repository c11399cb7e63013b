#pragma once
// The reader of RIFF WAVE files: mono linear PCM with 16, 20 or 24-bit samples,
// in the plain or the extensible format, little-endian samples. Its header check
// shows its own message through the user-interface port when it refuses a file.

#include "import/PCSoundFile.h"
#include "platform/Messages.h"

class CPCWaveFile : public CPCSoundFile {
public:
    explicit CPCWaveFile(platform::UserInterface& ui);

    bool ReadHeader(const std::string& path) override;

private:
    bool Refuse(MessageId id);
};
