#include "recorder/PackFile.h"

#include "recorder/Formats.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kHighNibble = 0xF0;
constexpr GroupLayout kGroup16 = GroupLayoutOf(*WordLengthOfCode(kWordLength16));
constexpr GroupLayout kGroup20 = GroupLayoutOf(*WordLengthOfCode(kWordLength20));
constexpr GroupLayout kGroup24 = GroupLayoutOf(*WordLengthOfCode(kWordLength24));
// The bytes of a source sample: 16 bits, or 20 and 24 bits alike.
constexpr int kNarrowBytes = LayoutOf(kWordLength16).bytesPerSample;
constexpr int kWideBytes = LayoutOf(kWordLength24).bytesPerSample;
static_assert(LayoutOf(kWordLength20).bytesPerSample == kWideBytes);
constexpr int kNibbleShift = 4;

// Reads the bytes of one source sample: `Bytes` is 2 or 3, the high byte comes
// first in a big-endian source and last in a little-endian one.
template <int Bytes, bool BigEndian>
struct SourceSample {
    static std::uint8_t High(const std::uint8_t* s) { return s[BigEndian ? 0 : Bytes - 1]; }
    static std::uint8_t Middle(const std::uint8_t* s) { return s[BigEndian ? 1 : Bytes - 2]; }
    static std::uint8_t Low(const std::uint8_t* s) { return s[BigEndian ? Bytes - 1 : 0]; }
};

// Two samples as one little-endian word: `first` in bits 31..16, `second` in 15..0,
// each by its upper 16 bits.
template <class Sample>
void PutHighPair(const std::uint8_t* first, const std::uint8_t* second, std::uint8_t* out)
{
    out[0] = Sample::Middle(second);
    out[1] = Sample::High(second);
    out[2] = Sample::Middle(first);
    out[3] = Sample::High(first);
}

// Upper 16 bits of `count` samples (an even number) in pairs, one word a pair.
template <int Bytes, class Sample>
void PutHighWords(const std::uint8_t* in, int count, std::uint8_t* out)
{
    for (int pair = 0; pair < count / 2; ++pair)
        PutHighPair<Sample>(in + 2 * pair * Bytes, in + (2 * pair + 1) * Bytes, out + kGroupWordBytes * pair);
}

template <bool BigEndian>
void Pack16(const std::uint8_t* in, std::uint8_t* out)
{
    PutHighWords<kNarrowBytes, SourceSample<kNarrowBytes, BigEndian>>(in, kSamplesPerGroup, out);
}

// W0..W3 carry the upper 16 bits; W4 the low nibbles, s0 in bits 31..28 down to
// s7 in bits 3..0. Bits 3..0 of a container are not part of a 20-bit sample and
// are masked so that they cannot leak into the neighbour's nibble.
template <bool BigEndian>
void Pack20(const std::uint8_t* in, std::uint8_t* out)
{
    using Sample = SourceSample<kWideBytes, BigEndian>;
    PutHighWords<kWideBytes, Sample>(in, kSamplesPerGroup, out);
    for (int pair = 0; pair < kPairsPerGroup; ++pair) {
        const std::uint8_t even = Sample::Low(in + 2 * pair * kWideBytes) & kHighNibble;
        const std::uint8_t odd = Sample::Low(in + (2 * pair + 1) * kWideBytes) >> kNibbleShift;
        out[kNibbleWordOffset + kPairsPerGroup - 1 - pair] = static_cast<std::uint8_t>(even | odd);
    }
}

// Two halves of 4 samples: two words of upper 16 bits, then a word of the low
// bytes, s0 in bits 31..24 down to s3 in bits 7..0.
template <bool BigEndian>
void Pack24(const std::uint8_t* in, std::uint8_t* out)
{
    using Sample = SourceSample<kWideBytes, BigEndian>;
    for (int half = 0; half < 2; ++half) {
        const std::uint8_t* samples = in + half * kHalfGroupSamples * kWideBytes;
        std::uint8_t* words = out + half * kHalfGroupBytes;
        PutHighWords<kWideBytes, Sample>(samples, kHalfGroupSamples, words);
        for (int i = 0; i < kHalfGroupSamples; ++i)
            words[kLowWordOffset + kHalfGroupSamples - 1 - i] = Sample::Low(samples + i * kWideBytes);
    }
}

template <void (*PackOne)(const std::uint8_t*, std::uint8_t*), std::size_t In, std::size_t Out>
void PackMany(const std::uint8_t* in, std::size_t groupCount, std::uint8_t* out)
{
    for (std::size_t g = 0; g < groupCount; ++g)
        PackOne(in + g * In, out + g * Out);
}

using PackFunction = void (*)(const std::uint8_t*, std::size_t, std::uint8_t*);

template <void (*PackBig)(const std::uint8_t*, std::uint8_t*), void (*PackLittle)(const std::uint8_t*, std::uint8_t*),
          const GroupLayout& Group>
PackFunction PackerOf(bool bigEndian)
{
    return bigEndian ? PackMany<PackBig, Group.sourceBytes, Group.packedBytes>
                     : PackMany<PackLittle, Group.sourceBytes, Group.packedBytes>;
}

PackFunction ChoosePacker(unsigned bitsPerSample, bool bigEndian)
{
    const auto format = WordLengthOfBits(bitsPerSample);
    if (!format)
        return nullptr;
    switch (format->code) {
    case kWordLength16:
        return PackerOf<Pack16<true>, Pack16<false>, kGroup16>(bigEndian);
    case kWordLength20:
        return PackerOf<Pack20<true>, Pack20<false>, kGroup20>(bigEndian);
    case kWordLength24:
        return PackerOf<Pack24<true>, Pack24<false>, kGroup24>(bigEndian);
    default:
        return nullptr;
    }
}

}  // namespace

COrvoPackFile::COrvoPackFile(unsigned bitsPerSample, bool bigEndian, platform::FileSystem& files)
    : m_layout(GroupLayoutFor(bitsPerSample)),
      m_pack(ChoosePacker(bitsPerSample, bigEndian)),
      m_block(kPackBlockSize, 0),
      m_files(files)
{
}

COrvoPackFile::~COrvoPackFile() = default;

bool COrvoPackFile::OpenTrackFile(const std::string& path)
{
    m_path = path;
    m_file = m_files.OpenWrite(m_path, platform::WriteMode::Replace);
    return m_file != nullptr;
}

bool COrvoPackFile::PackGroups(const std::uint8_t* data, std::size_t groupCount)
{
    if (!m_pack)
        return false;
    const std::size_t bytes = groupCount * m_layout->packedBytes;
    if (bytes > kPackBlockSize - m_fill)
        return false;
    m_pack(data, groupCount, m_block.data() + m_fill);
    m_fill += static_cast<std::uint32_t>(bytes);
    return true;
}

bool COrvoPackFile::FlushBlock()
{
    // Flushed block by block, so that a failed write is seen at the block it hit.
    if (!m_file || !m_file->Write(m_block.data(), kPackBlockSize) || !m_file->Flush())
        return false;
    std::fill(m_block.begin(), m_block.begin() + m_fill, 0);
    m_fill = 0;
    return true;
}

bool COrvoPackFile::CloseTrackFile()
{
    if (!m_file)
        return true;
    // On the device before FNB.TXT can name it.
    const bool synced = m_file->Sync();
    const bool closed = m_file->Close();
    m_file.reset();
    return synced && closed;
}
