#pragma once
// One track data file: blocks of 131072 bytes holding groups of 8 samples of one mono
// track in the recorder's packing for 16, 20 or 24 bit, decoded into big-endian
// samples (20-bit values left-justified in 3 bytes).

#include "platform/Endian.h"
#include "recorder/Formats.h"
#include "recorder/RTFile.h"
#include "recorder/Records.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr std::uint32_t kRecorderBlockSize = 131072;
inline constexpr int kSamplesPerGroup = 8;

// The figures of a word length. All zero for an unknown word-length code.
struct WordLengthLayout {
    int bitsPerSample;
    int bytesPerSample;       // decoded
    int groupBytes;           // in the file
    int samplesPerBlock;
    int decodedBlockSize;
};

// A group of 8 samples takes as many bytes in the file as a sample has bits; a block
// holds the whole groups that fit, its spare bytes padding.
constexpr WordLengthLayout LayoutOfFormat(const WordLengthFormat& format)
{
    const int bits = static_cast<int>(format.bits);
    const int bytesPerSample = static_cast<int>(format.bytesPerSample);
    const int groupBytes = kSamplesPerGroup * bits / static_cast<int>(endian::kBitsPerByte);
    const int samplesPerBlock = static_cast<int>(kRecorderBlockSize) / groupBytes * kSamplesPerGroup;
    return {bits, bytesPerSample, groupBytes, samplesPerBlock, samplesPerBlock * bytesPerSample};
}

constexpr WordLengthLayout LayoutOf(std::uint8_t wordLengthCode)
{
    const auto format = WordLengthOfCode(wordLengthCode);
    return format ? LayoutOfFormat(*format) : WordLengthLayout{};
}

// Room after a decoded block: the last group of a 20 or 24-bit block reaches past it
// by one decoded group of the widest sample.
inline constexpr std::size_t kDecodeSpill = [] {
    std::size_t widest = 0;
    for (const WordLengthFormat& format : kWordLengthFormats)
        widest = std::max<std::size_t>(widest, std::size_t{kSamplesPerGroup} * format.bytesPerSample);
    return widest;
}();

// Inside a group, samples sit in little-endian 32-bit words, two samples' upper 16 bits
// a word. A 20-bit group adds one word of low nibbles after its four pair words; a 24-bit
// group is two halves of two pair words and one word of low bytes.
inline constexpr int kGroupWordBytes = sizeof(std::uint32_t);
inline constexpr int kPairsPerGroup = kSamplesPerGroup / 2;
inline constexpr int kNibbleWordOffset = kPairsPerGroup * kGroupWordBytes;
inline constexpr int kHalfGroupSamples = kSamplesPerGroup / 2;
inline constexpr int kLowWordOffset = kHalfGroupSamples / 2 * kGroupWordBytes;
inline constexpr int kHalfGroupBytes = kLowWordOffset + kGroupWordBytes;
static_assert(kNibbleWordOffset + kGroupWordBytes == LayoutOf(kWordLength20).groupBytes);
static_assert(2 * kHalfGroupBytes == LayoutOf(kWordLength24).groupBytes);
static_assert(kPairsPerGroup * kGroupWordBytes == LayoutOf(kWordLength16).groupBytes);

class CTrackFile : public CRTFile {
public:
    // `folder` is the folder holding FNB.BIN (with or without a trailing separator) in
    // `files`. Builds the file name from the project number and the segment's file serial.
    CTrackFile(const std::string& folder, const sobinder& song, const soentry& segment,
               platform::FileSystem& files = platform::RealFileSystem());

    // False when the name is not 12 characters long (nothing is touched) or the file
    // cannot be opened or is empty. The name is found also in another letter case.
    bool OpenForRead();

    const std::string& GetName() const { return m_name; }
    int GetBitsPerSample() const { return m_layout.bitsPerSample; }
    int GetBytesPerSample() const { return m_layout.bytesPerSample; }
    int GetSamplesPerBlock() const { return m_layout.samplesPerBlock; }
    int GetDecodedBlockSize() const { return m_layout.decodedBlockSize; }

    // Decodes block n (counted from 1) into `out`, which must hold GetDecodedBlockSize()
    // + kDecodeSpill bytes; a block holds GetSamplesPerBlock() samples. A short last
    // block decodes its missing tail as zeros. False when the block lies beyond the
    // file, nothing can be read, or the word length is unknown.
    bool ReadBlock(std::uint32_t n, std::uint8_t* out);

private:
    sobinder m_song;
    std::string m_folder;
    std::string m_name;
    std::uint64_t m_bytesRead = 0;
    WordLengthLayout m_layout;
    std::vector<std::uint8_t> m_scratch;  // one block plus spill, allocated on the first read
};
