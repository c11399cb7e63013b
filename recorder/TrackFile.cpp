#include "recorder/TrackFile.h"

#include "platform/Files.h"
#include "recorder/TrackFileName.h"

#include <cstring>

namespace {

constexpr WordLengthLayout kLayout20 = LayoutOf(kWordLength20);
constexpr WordLengthLayout kLayout24 = LayoutOf(kWordLength24);
constexpr int kSampleBytes = kLayout24.bytesPerSample;  // a decoded 20 or 24-bit sample
static_assert(kLayout20.bytesPerSample == kSampleBytes);

// Two samples' upper 16 bits from one word: the earlier sample in bits 31..16.
void PutUpperHalves(std::uint32_t word, std::uint8_t* first, std::uint8_t* second)
{
    first[0] = static_cast<std::uint8_t>(word >> 24);
    first[1] = static_cast<std::uint8_t>(word >> 16);
    second[0] = static_cast<std::uint8_t>(word >> 8);
    second[1] = static_cast<std::uint8_t>(word);
}

// 16 bit: four words, two samples each; decoded as 2 bytes per sample. Reversing the
// bytes of every stored word gives its two samples big-endian, in time order.
void DecodeBlock16(const std::uint8_t* in, std::uint8_t* out)
{
    constexpr std::uint32_t kByte = 0xFF;
    for (std::uint32_t consumed = 0; consumed < kRecorderBlockSize; consumed += sizeof(std::uint32_t)) {
        std::uint32_t word;
        std::memcpy(&word, in + consumed, sizeof word);
        word = (word & kByte) << 24 | (word >> 8 & kByte) << 16 | (word >> 16 & kByte) << 8 | word >> 24;
        std::memcpy(out + consumed, &word, sizeof word);
    }
}

// 20 bit: four words of upper halves, then one word with the eight low nibbles from
// the top down; decoded as 3 bytes per sample, the nibble in bits 7..4 of the third.
void DecodeGroup20(const std::uint8_t* in, std::uint8_t* out)
{
    constexpr int kNibbleBits = 4;
    constexpr int kTopNibbleShift = 28;
    constexpr std::uint32_t kNibbleMask = 0xF;
    const std::uint32_t nibbles = endian::LoadLittle32(in + kNibbleWordOffset);
    for (int pair = 0; pair < kPairsPerGroup; ++pair) {
        std::uint8_t* first = out + 2 * pair * kSampleBytes;
        PutUpperHalves(endian::LoadLittle32(in + pair * kGroupWordBytes), first, first + kSampleBytes);
    }
    for (int k = 0; k < kSamplesPerGroup; ++k) {
        const std::uint32_t nibble = (nibbles >> (kTopNibbleShift - kNibbleBits * k)) & kNibbleMask;
        out[k * kSampleBytes + 2] = static_cast<std::uint8_t>(nibble << kNibbleBits);
    }
}

// 24 bit: two halves of three words; in each, two words of upper halves and one word
// with the four low bytes from the top down.
void DecodeGroup24(const std::uint8_t* in, std::uint8_t* out)
{
    for (int half = 0; half < 2; ++half) {
        const std::uint8_t* source = in + half * kHalfGroupBytes;
        std::uint8_t* target = out + half * kHalfGroupSamples * kSampleBytes;
        const std::uint32_t lows = endian::LoadLittle32(source + kLowWordOffset);
        PutUpperHalves(endian::LoadLittle32(source), target, target + kSampleBytes);
        PutUpperHalves(endian::LoadLittle32(source + kGroupWordBytes), target + 2 * kSampleBytes, target + 3 * kSampleBytes);
        for (int j = 0; j < kHalfGroupSamples; ++j)
            target[j * kSampleBytes + 2] = static_cast<std::uint8_t>(lows >> (24 - endian::kBitsPerByte * j));
    }
}

// Decodes groups while fewer than one block of input bytes has been consumed; the
// last group of a 20 or 24-bit block draws on the padding and the spare bytes.
template <void (*DecodeGroup)(const std::uint8_t*, std::uint8_t*), int kGroupIn, int kGroupOut>
void DecodeGroups(const std::uint8_t* in, std::uint8_t* out)
{
    for (std::uint32_t consumed = 0; consumed < kRecorderBlockSize; consumed += kGroupIn, out += kGroupOut)
        DecodeGroup(in + consumed, out);
}

}  // namespace

CTrackFile::CTrackFile(const std::string& folder, const sobinder& song, const soentry& segment,
                       platform::FileSystem& files)
    : CRTFile(files),
      m_song(song),
      m_folder(folder),
      m_name(MakeTrackFileName(song.projectNumber, segment.fileSerial)),
      m_layout(LayoutOf(song.wordLength))
{
}

bool CTrackFile::OpenForRead()
{
    if (m_name.size() != kTrackFileNameLength)
        return false;
    const auto onDisk = platform::FindExactName(Files(), m_folder, m_name);
    return onDisk && Open(platform::JoinPath(m_folder, *onDisk));
}

bool CTrackFile::ReadBlock(std::uint32_t n, std::uint8_t* out)
{
    const std::uint64_t offset = (std::uint64_t{n} - 1) * kRecorderBlockSize;
    if (m_layout.bitsPerSample == 0 || n == 0 || GetLength() <= offset)
        return false;
    if (m_bytesRead > GetLength())
        return false;
    m_scratch.resize(kRecorderBlockSize + kDecodeSpill);
    const std::size_t got = ReadAt(offset, m_scratch.data(), kRecorderBlockSize);
    if (got == 0)
        return false;
    m_bytesRead += got;
    std::memset(m_scratch.data() + got, 0, m_scratch.size() - got);
    switch (m_song.wordLength) {
    case kWordLength16:
        DecodeBlock16(m_scratch.data(), out);
        break;
    case kWordLength20:
        DecodeGroups<DecodeGroup20, kLayout20.groupBytes, kSamplesPerGroup * kLayout20.bytesPerSample>(m_scratch.data(), out);
        break;
    default:
        DecodeGroups<DecodeGroup24, kLayout24.groupBytes, kSamplesPerGroup * kLayout24.bytesPerSample>(m_scratch.data(), out);
        break;
    }
    return true;
}
