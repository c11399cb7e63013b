#pragma once
// Writes one recorder track data file during an import. Groups of 8 mono samples
// arrive in the source file's own byte order and are re-arranged into the
// recorder's layout in a 131072-byte block, which is written whole.

#include "platform/FileSystem.h"
#include "recorder/TrackFile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

inline constexpr std::size_t kPackBlockSize = kRecorderBlockSize;

// How one group of 8 samples of a word length is laid out on both sides.
struct GroupLayout {
    std::size_t sourceBytes;       // in the PC file: 16 (2 bytes a sample) or 24 (3 bytes a sample)
    std::size_t packedBytes;       // in the track data file: 16, 20 or 24
    std::uint32_t groupsPerBlock;  // 8192, 6553 or 5461
};

// The layout of a word length: the PC side holds a sample in as many bytes as the
// recorder's decoded form.
constexpr GroupLayout GroupLayoutOf(const WordLengthFormat& format)
{
    const WordLengthLayout recorder = LayoutOfFormat(format);
    return {static_cast<std::size_t>(recorder.bytesPerSample) * kSamplesPerGroup,
            static_cast<std::size_t>(recorder.groupBytes),
            static_cast<std::uint32_t>(recorder.samplesPerBlock / kSamplesPerGroup)};
}

// The layout for 16, 20 or 24 bits per sample; nothing for any other word length.
constexpr std::optional<GroupLayout> GroupLayoutFor(unsigned bitsPerSample)
{
    const auto format = WordLengthOfBits(bitsPerSample);
    return format ? std::optional<GroupLayout>(GroupLayoutOf(*format)) : std::nullopt;
}

class COrvoPackFile {
public:
    // Packs source samples of `bitsPerSample` bits, most significant byte first when
    // `bigEndian`, else last, into a file of `files`; opens nothing.
    COrvoPackFile(unsigned bitsPerSample, bool bigEndian, platform::FileSystem& files = platform::RealFileSystem());
    ~COrvoPackFile();  // closes the file when still open
    COrvoPackFile(const COrvoPackFile&) = delete;
    COrvoPackFile& operator=(const COrvoPackFile&) = delete;

    // Creates (or truncates) the track data file at `path`.
    bool OpenTrackFile(const std::string& path);
    // Packs `groupCount` consecutive source groups from `data` into the block.
    // False, packing nothing, for an unsupported word length or when the groups
    // do not fit into what is left of the block.
    bool PackGroups(const std::uint8_t* data, std::size_t groupCount);
    // Writes the whole block, filled or not, hands it to the system and starts an
    // empty one. False when the block could not be written.
    bool FlushBlock();
    // Syncs the file to the device and closes it; false when either fails. With
    // nothing open there is nothing to fail.
    bool CloseTrackFile();

    std::uint32_t GetFill() const { return m_fill; }
    const std::string& GetPath() const { return m_path; }

private:
    using PackFunction = void (*)(const std::uint8_t* in, std::size_t groupCount, std::uint8_t* out);

    std::optional<GroupLayout> m_layout;
    PackFunction m_pack = nullptr;
    std::vector<std::uint8_t> m_block;
    std::uint32_t m_fill = 0;
    platform::FileSystem& m_files;
    std::unique_ptr<platform::OutputFile> m_file;
    std::string m_path;
};
