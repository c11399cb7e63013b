#pragma once
// The AIFF writer: a FORM file of type "AIFF" with a "COMM" and an "SSND" chunk,
// all numbers big-endian, samples most significant byte first.

#include "app/AiffLayout.h"
#include "export/SndFormFile.h"

class CAIFFFile : public CSndFormFile {
public:
    CAIFFFile(std::string path, const ProjectFormat& format, int channels,
              platform::FileSystem& files = platform::RealFileSystem());

    bool WriteHeader(std::uint64_t dataBytes) override;
    std::size_t ConvertSample(const std::uint8_t* source, std::uint8_t* destination,
                              std::size_t byteCount) const override;
    std::uint64_t MaxDataBytes() const override { return kMaxDataBytes; }

    static constexpr std::size_t kHeaderSize = aiff::kHeaderSize;
    static constexpr std::uint64_t kMaxDataBytes = MaxDataBytesFor(kHeaderSize);
};
