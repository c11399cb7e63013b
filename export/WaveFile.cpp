#include "export/WaveFile.h"

#include <array>

namespace {

// Byte offsets of the header fields.
constexpr std::size_t kRiffTagAt = 0;
constexpr std::size_t kRiffLengthAt = 4;
constexpr std::size_t kWaveTagAt = 8;
constexpr std::size_t kFmtTagAt = 12;
constexpr std::size_t kFmtLengthAt = 16;
constexpr std::size_t kFormatTagAt = 20;
constexpr std::size_t kChannelsAt = 22;
constexpr std::size_t kRateAt = 24;
constexpr std::size_t kBytesPerSecondAt = 28;
constexpr std::size_t kBlockAlignAt = 32;
constexpr std::size_t kBitsAt = 34;
constexpr std::size_t kDataTagAt = 36;
constexpr std::size_t kDataLengthAt = 40;

constexpr std::uint32_t kFmtChunkLength = 16;
constexpr std::uint32_t kPcmFormatTag = 1;
constexpr std::size_t kWord = 4;
constexpr std::size_t kHalfWord = 2;

constexpr std::size_t kMinBytesPerSample = 2;

// Reverses every sample of `Width` bytes (2 or 3): the first and last byte swap
// places, the middle byte of a three-byte sample stays. `source` may equal `destination`.
template <std::size_t Width>
void ReverseEach(const std::uint8_t* source, std::uint8_t* destination, std::size_t byteCount)
{
    static_assert(Width == kMinBytesPerSample || Width == kMaxBytesPerSample);
    for (std::size_t at = 0; at + Width <= byteCount; at += Width) {
        const std::uint8_t first = source[at];
        const std::uint8_t last = source[at + Width - 1];
        if constexpr (Width == kMaxBytesPerSample)
            destination[at + 1] = source[at + 1];
        destination[at] = last;
        destination[at + Width - 1] = first;
    }
}

}  // namespace

CWaveFile::CWaveFile(std::string path, const sobinder& record, int channels)
    : CSndFormFile(std::move(path), record, channels)
{
    m_rateWord = SampleRateHz();
}

bool CWaveFile::WriteHeader(std::uint64_t dataBytes)
{
    if (!CanHold(dataBytes))
        return false;
    const auto n = static_cast<std::uint32_t>(dataBytes);
    const auto bytesPerSecond = static_cast<std::uint32_t>(std::uint64_t{m_rateWord} * m_blockAlign);
    std::array<std::uint8_t, kHeaderSize> header{};
    PutTag(&header[kRiffTagAt], "RIFF");
    PutLittleEndian(&header[kRiffLengthAt], static_cast<std::uint32_t>(kHeaderSize - kOuterChunkPreamble) + n, kWord);
    PutTag(&header[kWaveTagAt], "WAVE");
    PutTag(&header[kFmtTagAt], "fmt ");
    PutLittleEndian(&header[kFmtLengthAt], kFmtChunkLength, kWord);
    PutLittleEndian(&header[kFormatTagAt], kPcmFormatTag, kHalfWord);
    PutLittleEndian(&header[kChannelsAt], m_channels, kHalfWord);
    PutLittleEndian(&header[kRateAt], m_rateWord, kWord);
    PutLittleEndian(&header[kBytesPerSecondAt], bytesPerSecond, kWord);
    PutLittleEndian(&header[kBlockAlignAt], static_cast<std::uint32_t>(m_blockAlign), kHalfWord);
    PutLittleEndian(&header[kBitsAt], static_cast<std::uint32_t>(m_bitsPerSample), kHalfWord);
    PutTag(&header[kDataTagAt], "data");
    PutLittleEndian(&header[kDataLengthAt], n, kWord);
    return WriteAtStart(header.data(), header.size());
}

std::size_t CWaveFile::ConvertSample(const std::uint8_t* source, std::uint8_t* destination,
                                     std::size_t byteCount) const
{
    if (m_bytesPerSample == kMaxBytesPerSample)
        ReverseEach<kMaxBytesPerSample>(source, destination, byteCount);
    else
        ReverseEach<kMinBytesPerSample>(source, destination, byteCount);
    return byteCount;
}
