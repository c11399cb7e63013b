#include "export/WaveFile.h"

#include "app/WaveLayout.h"
#include "platform/Endian.h"

#include <array>
#include <bit>
#include <cstring>

namespace {

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

// Three-byte samples are reversed eight at a time as three 64-bit words (24 bytes).
// Output byte i is input byte i + 2, i or i - 2 as i mod 3 is 0, 1 or 2: the words
// keep their own middle bytes and take the rest from the stream shifted down or up
// by two bytes, which carries bytes across word boundaries.
constexpr std::size_t kWordBytes = sizeof(std::uint64_t);
constexpr std::size_t kBlockBytes = kMaxBytesPerSample * kWordBytes;  // 8 samples in 3 words
constexpr unsigned kSampleShift = (kMaxBytesPerSample - 1) * endian::kBitsPerByte;  // two bytes
constexpr unsigned kCarryShift = kWordBytes * endian::kBitsPerByte - kSampleShift;
constexpr std::uint64_t kByteMask = 0xFF;

// The bytes of word `word` (little-endian) whose stream position mod 3 is `residue`.
constexpr std::uint64_t ResidueMask(std::size_t word, std::size_t residue)
{
    std::uint64_t mask = 0;
    for (std::size_t byte = 0; byte < kWordBytes; ++byte) {
        if ((word * kWordBytes + byte) % kMaxBytesPerSample == residue)
            mask |= kByteMask << (endian::kBitsPerByte * byte);
    }
    return mask;
}

enum Residue : std::size_t { kTakesFromNext, kStays, kTakesFromPrevious };

template <std::size_t Word>
constexpr std::uint64_t MergeWord(std::uint64_t own, std::uint64_t down, std::uint64_t up)
{
    return (own & ResidueMask(Word, kStays)) | (down & ResidueMask(Word, kTakesFromNext)) |
           (up & ResidueMask(Word, kTakesFromPrevious));
}

std::uint64_t LoadWord(const std::uint8_t* at)
{
    std::uint64_t word;
    std::memcpy(&word, at, kWordBytes);
    return word;
}

void StoreWord(std::uint8_t* at, std::uint64_t word)
{
    std::memcpy(at, &word, kWordBytes);
}

// Word by word: a 24-byte copy through an array would stall on store forwarding.
void ReverseThreeByteBlock(const std::uint8_t* source, std::uint8_t* destination)
{
    const std::uint64_t w0 = LoadWord(source);
    const std::uint64_t w1 = LoadWord(source + kWordBytes);
    const std::uint64_t w2 = LoadWord(source + 2 * kWordBytes);
    StoreWord(destination, MergeWord<0>(w0, w0 >> kSampleShift | w1 << kCarryShift, w0 << kSampleShift));
    StoreWord(destination + kWordBytes,
              MergeWord<1>(w1, w1 >> kSampleShift | w2 << kCarryShift, w1 << kSampleShift | w0 >> kCarryShift));
    StoreWord(destination + 2 * kWordBytes,
              MergeWord<2>(w2, w2 >> kSampleShift, w2 << kSampleShift | w1 >> kCarryShift));
}

void ReverseThreeByteSamples(const std::uint8_t* source, std::uint8_t* destination, std::size_t byteCount)
{
    std::size_t at = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; at + kBlockBytes <= byteCount; at += kBlockBytes)
            ReverseThreeByteBlock(source + at, destination + at);
    }
    ReverseEach<kMaxBytesPerSample>(source + at, destination + at, byteCount - at);
}

}  // namespace

CWaveFile::CWaveFile(std::string path, const ProjectFormat& format, int channels, platform::FileSystem& files)
    : CSndFormFile(std::move(path), format, channels, files)
{
    m_rateWord = SampleRateHz();
}

std::array<std::uint8_t, CWaveFile::kHeaderSize> CWaveFile::PlainHeader(const PlainWaveFormat& wave,
                                                                        std::uint32_t dataBytes)
{
    std::array<std::uint8_t, kHeaderSize> header{};
    std::uint8_t* const riff = header.data();
    std::uint8_t* const format = riff + wave::kFormatChunkAt;
    std::uint8_t* const fields = riff + wave::kFormatFieldsAt;
    std::uint8_t* const data = riff + wave::kDataChunkAt;
    PutTag(riff, wave::kRiffId);
    endian::StoreLittle(riff + chunk::kSizeOffset,
                        static_cast<std::uint32_t>(kHeaderSize - chunk::kHeaderSize) + dataBytes, chunk::kWordSize);
    PutTag(riff + chunk::kHeaderSize, wave::kWaveFormType);
    PutTag(format, wave::kFormatId);
    endian::StoreLittle(format + chunk::kSizeOffset, wave::kPlainFormatSize, chunk::kWordSize);
    endian::StoreLittle(fields + wave::kTagOffset, wave::kPcmTag, chunk::kHalfWordSize);
    endian::StoreLittle(fields + wave::kChannelsOffset, wave.channels, chunk::kHalfWordSize);
    endian::StoreLittle(fields + wave::kRateOffset, wave.rate, chunk::kWordSize);
    endian::StoreLittle(fields + wave::kBytesPerSecondOffset,
                        static_cast<std::uint32_t>(std::uint64_t{wave.rate} * wave.blockAlign), chunk::kWordSize);
    endian::StoreLittle(fields + wave::kBlockAlignOffset, wave.blockAlign, chunk::kHalfWordSize);
    endian::StoreLittle(fields + wave::kBitsOffset, wave.bitsPerSample, chunk::kHalfWordSize);
    PutTag(data, wave::kDataId);
    endian::StoreLittle(data + chunk::kSizeOffset, dataBytes, chunk::kWordSize);
    return header;
}

bool CWaveFile::WriteHeader(std::uint64_t dataBytes)
{
    if (!CanHold(dataBytes))
        return false;
    const auto header = PlainHeader({static_cast<std::uint32_t>(m_channels), m_rateWord,
                                     static_cast<std::uint32_t>(m_blockAlign), static_cast<std::uint32_t>(m_bitsPerSample)},
                                    static_cast<std::uint32_t>(dataBytes));
    return WriteAtStart(header.data(), header.size());
}

std::size_t CWaveFile::ConvertSample(const std::uint8_t* source, std::uint8_t* destination,
                                     std::size_t byteCount) const
{
    if (m_bytesPerSample == kMaxBytesPerSample)
        ReverseThreeByteSamples(source, destination, byteCount);
    else
        ReverseEach<kMinBytesPerSample>(source, destination, byteCount);
    return byteCount;
}
