#pragma once
// The WAVE writer: a RIFF file with a plain PCM "fmt " chunk and a "data" chunk,
// all numbers little-endian, samples least significant byte first.

#include "app/WaveLayout.h"
#include "export/SndFormFile.h"

#include <array>

// The numbers of a plain PCM "fmt " chunk.
struct PlainWaveFormat {
    std::uint32_t channels = 0;
    std::uint32_t rate = 0;
    std::uint32_t blockAlign = 0;
    std::uint32_t bitsPerSample = 0;
};

class CWaveFile : public CSndFormFile {
public:
    CWaveFile(std::string path, const ProjectFormat& format, int channels,
              platform::FileSystem& files = platform::RealFileSystem());

    bool WriteHeader(std::uint64_t dataBytes) override;
    std::size_t ConvertSample(const std::uint8_t* source, std::uint8_t* destination,
                              std::size_t byteCount) const override;
    std::uint64_t MaxDataBytes() const override { return kMaxDataBytes; }

    static constexpr std::size_t kHeaderSize = wave::kHeaderSize;
    // The header of a plain PCM WAVE file holding `dataBytes` bytes of samples (which the
    // caller has checked fit the RIFF size field).
    static std::array<std::uint8_t, kHeaderSize> PlainHeader(const PlainWaveFormat& format, std::uint32_t dataBytes);
    static constexpr std::uint64_t kMaxDataBytes = MaxDataBytesFor(kHeaderSize);
};
