#include "export/AIFFFile.h"

#include <array>
#include <bit>
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

constexpr std::uint32_t kExtendedExponentBias = 16383;
constexpr int kMantissaTopBits = 16;
constexpr int kExponentShift = 16;

}  // namespace

CAIFFFile::CAIFFFile(std::string path, const sobinder& record, int channels)
    : CSndFormFile(std::move(path), record, channels)
{
    m_rateWord = ExtendedRateWord(SampleRateHz());
}

std::uint32_t CAIFFFile::ExtendedRateWord(std::uint32_t hz)
{
    if (hz == 0)
        return 0;
    // The mantissa's explicit leading one is the highest set bit of the rate.
    const int topBit = std::bit_width(hz) - 1;
    const std::uint32_t exponent = kExtendedExponentBias + static_cast<std::uint32_t>(topBit);
    const int shift = kMantissaTopBits - 1 - topBit;
    const std::uint32_t mantissaTop = shift >= 0 ? hz << shift : hz >> -shift;
    return exponent << kExponentShift | mantissaTop;
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
    PutBigEndian(&header[kFormLengthAt], static_cast<std::uint32_t>(kHeaderSize - kOuterChunkPreamble) + n, kWord);
    PutTag(&header[kAiffTagAt], "AIFF");
    PutTag(&header[kCommTagAt], "COMM");
    PutBigEndian(&header[kCommLengthAt], kCommChunkLength, kWord);
    PutBigEndian(&header[kChannelsAt], m_channels, kHalfWord);
    PutBigEndian(&header[kFramesAt], frames, kWord);
    PutBigEndian(&header[kBitsAt], static_cast<std::uint32_t>(m_bitsPerSample), kHalfWord);
    PutBigEndian(&header[kRateAt], m_rateWord, kWord);
    PutTag(&header[kSsndTagAt], "SSND");
    PutBigEndian(&header[kSsndLengthAt], n + kSsndFieldsLength, kWord);
    return WriteAtStart(header.data(), header.size());
}

std::size_t CAIFFFile::ConvertSample(const std::uint8_t* source, std::uint8_t* destination,
                                     std::size_t byteCount) const
{
    if (source != destination)
        std::memmove(destination, source, byteCount);
    return byteCount;
}
