#pragma once
// One track data file: blocks of 131072 bytes holding groups of 8 samples of one mono
// track in the recorder's packing for 16, 20 or 24 bit, decoded into big-endian
// samples (20-bit values left-justified in 3 bytes).

#include "recorder/RTFile.h"
#include "recorder/Records.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr std::uint32_t kRecorderBlockSize = 131072;
inline constexpr int kSamplesPerGroup = 8;
// Room after a decoded block: the last group of a 20 or 24-bit block reaches past it.
inline constexpr std::size_t kDecodeSpill = 24;

// The figures of a word length. All zero for an unknown word-length code.
struct WordLengthLayout {
    int bitsPerSample;
    int bytesPerSample;       // decoded
    int groupBytes;           // in the file
    int samplesPerBlock;
    int decodedBlockSize;
};
WordLengthLayout LayoutOf(std::uint8_t wordLengthCode);

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
    // + kDecodeSpill bytes, and stores the block's sample count in `samplesOut`. A short
    // last block decodes its missing tail as zeros. False when the block lies beyond
    // the file, nothing can be read, or the word length is unknown.
    bool ReadBlock(std::uint32_t n, std::uint8_t* out, int& samplesOut);

private:
    sobinder m_song;
    std::string m_folder;
    std::string m_name;
    std::uint64_t m_bytesRead = 0;
    WordLengthLayout m_layout;
    std::vector<std::uint8_t> m_scratch;  // one block plus spill, allocated on the first read
};
