#pragma once
// The WAVE writer: a RIFF file with a plain PCM "fmt " chunk and a "data" chunk,
// all numbers little-endian, samples least significant byte first.

#include "app/WaveLayout.h"
#include "export/SndFormFile.h"

class CWaveFile : public CSndFormFile {
public:
    CWaveFile(std::string path, const ProjectFormat& format, int channels,
              platform::FileSystem& files = platform::RealFileSystem());

    bool WriteHeader(std::uint64_t dataBytes) override;
    std::size_t ConvertSample(const std::uint8_t* source, std::uint8_t* destination,
                              std::size_t byteCount) const override;
    std::uint64_t MaxDataBytes() const override { return kMaxDataBytes; }

    static constexpr std::size_t kHeaderSize = wave::kHeaderSize;
    static constexpr std::uint64_t kMaxDataBytes = MaxDataBytesFor(kHeaderSize);
};
