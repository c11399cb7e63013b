#include "export/AIFFFile.h"

#include "platform/Endian.h"

#include <array>
#include <cstring>

namespace {

// Byte offsets of the header fields.
constexpr std::size_t kFormTagAt = 0;
constexpr std::size_t kFormLengthAt = 4;
constexpr std::size_t kAiffTagAt = 8;
constexpr std::size_t kCommTagAt = 12;
constexpr std::size_t kCommLengthAt = 16;
constexpr std::size_t kChannelsAt = 20;
constexpr std::size_t kFramesAt = 22;
constexpr std::size_t kBitsAt = 26;
constexpr std::size_t kRateAt = 28;  // 10 bytes; only the first word is nonzero
constexpr std::size_t kSsndTagAt = 38;
constexpr std::size_t kSsndLengthAt = 42;
// The SSND offset and block size fields (46 and 50) stay zero.

constexpr std::uint32_t kCommChunkLength = 18;
constexpr std::uint32_t kSsndFieldsLength = 8;  // offset and block size in front of the samples
constexpr std::size_t kWord = 4;
constexpr std::size_t kHalfWord = 2;
constexpr int kBitsPerByte = 8;

}  // namespace

CAIFFFile::CAIFFFile(std::string path, const sobinder& record, int channels, platform::FileSystem& files)
    : CSndFormFile(std::move(path), record, channels, files)
{
    m_rateWord = endian::ExtendedHead(SampleRateHz());
}

bool CAIFFFile::WriteHeader(std::uint64_t dataBytes)
{
    if (!CanHold(dataBytes))
        return false;
    const auto n = static_cast<std::uint32_t>(dataBytes);
    const auto bytesPerSample = static_cast<std::uint32_t>(m_bitsPerSample / kBitsPerByte);
    const std::uint32_t frames = bytesPerSample && m_channels ? n / bytesPerSample / m_channels : 0;
    std::array<std::uint8_t, kHeaderSize> header{};
    PutTag(&header[kFormTagAt], "FORM");
    endian::StoreBig(&header[kFormLengthAt], static_cast<std::uint32_t>(kHeaderSize - kOuterChunkPreamble) + n, kWord);
    PutTag(&header[kAiffTagAt], "AIFF");
    PutTag(&header[kCommTagAt], "COMM");
    endian::StoreBig(&header[kCommLengthAt], kCommChunkLength, kWord);
    endian::StoreBig(&header[kChannelsAt], m_channels, kHalfWord);
    endian::StoreBig(&header[kFramesAt], frames, kWord);
    endian::StoreBig(&header[kBitsAt], static_cast<std::uint32_t>(m_bitsPerSample), kHalfWord);
    endian::StoreBig(&header[kRateAt], m_rateWord, kWord);
    PutTag(&header[kSsndTagAt], "SSND");
    endian::StoreBig(&header[kSsndLengthAt], n + kSsndFieldsLength, kWord);
    return WriteAtStart(header.data(), header.size());
}

std::size_t CAIFFFile::ConvertSample(const std::uint8_t* source, std::uint8_t* destination,
                                     std::size_t byteCount) const
{
    if (source != destination)
        std::memmove(destination, source, byteCount);
    return byteCount;
}
