#include "recorder/TrackFile.h"

#include "platform/Files.h"
#include "tests/support/TempFolder.h"
#include "tools/diskwriter/DiskWriter.h"

#include <gtest/gtest.h>

#include <vector>

using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

constexpr std::uint16_t kProject = 5;
constexpr std::uint16_t kSerial = 12;
const char* const kDataName = "8b320500.012";

sobinder Song(std::uint8_t wordLength, std::uint16_t number = kProject)
{
    sobinder song{};
    song.projectNumber = number;
    song.wordLength = wordLength;
    return song;
}

soentry Segment()
{
    soentry segment{};
    segment.fileSerial = kSerial;
    return segment;
}

// Reads block n of a data file holding `bytes`; the decoded bytes, or nothing.
std::optional<std::vector<std::uint8_t>> Block(const std::vector<std::uint8_t>& bytes, std::uint8_t wordLength,
                                               std::uint32_t n)
{
    TempFolder folder;
    WriteBytes(folder.File(kDataName), bytes);
    CTrackFile file(folder.Path(), Song(wordLength), Segment());
    if (!file.OpenForRead())
        return std::nullopt;
    std::vector<std::uint8_t> out(static_cast<std::size_t>(file.GetDecodedBlockSize()) + kDecodeSpill);
    if (!file.ReadBlock(n, out.data()))
        return std::nullopt;
    out.resize(static_cast<std::size_t>(file.GetDecodedBlockSize()));
    return out;
}

std::vector<std::uint8_t> Prefix(std::vector<std::uint8_t> bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

}  // namespace

TEST(TrackFile, FiguresOfEachWordLength)
{
    struct Case {
        std::uint8_t code;
        int bits, bytes, samplesPerBlock, decodedBlockSize;
    };
    const Case cases[] = {{kWordLength16, 16, 2, 65536, 131072},
                          {kWordLength20, 20, 3, 52424, 157272},
                          {kWordLength24, 24, 3, 43688, 131064},
                          {3, 0, 0, 0, 0},
                          {0xFF, 0, 0, 0, 0}};
    for (const Case& c : cases) {
        const CTrackFile file("", Song(c.code), Segment());
        EXPECT_EQ(file.GetBitsPerSample(), c.bits) << int{c.code};
        EXPECT_EQ(file.GetBytesPerSample(), c.bytes) << int{c.code};
        EXPECT_EQ(file.GetSamplesPerBlock(), c.samplesPerBlock) << int{c.code};
        EXPECT_EQ(file.GetDecodedBlockSize(), c.decodedBlockSize) << int{c.code};
    }
}

TEST(TrackFile, NameRules)
{
    TempFolder folder;
    WriteBytes(folder.File("8B320500.012"), {1});
    WriteBytes(folder.File("8b321000.0012"), {1});
    struct Case {
        std::uint16_t project;
        const char* name;
        bool opens;
    };
    const Case cases[] = {{kProject, kDataName, true},           // found in another letter case
                          {100, "8b321000.0012", false},         // 13 characters: refused though it exists
                          {6, "8b320600.012", false}};           // missing
    for (const Case& c : cases) {
        CTrackFile file(folder.Path(), Song(kWordLength16, c.project), Segment());
        EXPECT_EQ(file.GetName(), c.name);
        EXPECT_EQ(file.OpenForRead(), c.opens) << c.name;
    }
    WriteBytes(folder.File("8b320700.012"), {});
    CTrackFile empty(folder.Path(), Song(kWordLength16, 7), Segment());
    EXPECT_FALSE(empty.OpenForRead());
}

TEST(TrackFile, GroupDecoding)
{
    struct Case {
        const char* what;
        std::uint8_t wordLength;
        std::vector<std::uint8_t> file;
        std::vector<std::uint8_t> decoded;
    };
    const Case cases[] = {
        {"16 bit: two samples per word, the earlier one in the upper half", kWordLength16,
         {0x22, 0x11, 0x44, 0x33, 0x66, 0x55, 0x88, 0x77},
         {0x33, 0x44, 0x11, 0x22, 0x77, 0x88, 0x55, 0x66}},
        {"20 bit: low nibbles from the top of the fifth word", kWordLength20,
         {0x02, 0x01, 0x04, 0x03, 0x06, 0x05, 0x08, 0x07, 0x0A, 0x09, 0x0C, 0x0B, 0x0E, 0x0D, 0x10, 0x0F,
          0x78, 0x56, 0x34, 0x12},
         {0x03, 0x04, 0x10, 0x01, 0x02, 0x20, 0x07, 0x08, 0x30, 0x05, 0x06, 0x40,
          0x0B, 0x0C, 0x50, 0x09, 0x0A, 0x60, 0x0F, 0x10, 0x70, 0x0D, 0x0E, 0x80}},
        {"24 bit: two halves, low bytes from the top of their third word", kWordLength24,
         {0xB2, 0xB1, 0xA2, 0xA1, 0xD2, 0xD1, 0xC2, 0xC1, 0xD3, 0xC3, 0xB3, 0xA3,
          0x62, 0x61, 0x52, 0x51, 0x82, 0x81, 0x72, 0x71, 0x83, 0x73, 0x63, 0x53},
         {0xA1, 0xA2, 0xA3, 0xB1, 0xB2, 0xB3, 0xC1, 0xC2, 0xC3, 0xD1, 0xD2, 0xD3,
          0x51, 0x52, 0x53, 0x61, 0x62, 0x63, 0x71, 0x72, 0x73, 0x81, 0x82, 0x83}},
    };
    for (const Case& c : cases) {
        const auto block = Block(c.file, c.wordLength, 1);
        ASSERT_TRUE(block) << c.what;
        EXPECT_EQ(Prefix(*block, c.decoded.size()), c.decoded) << c.what;
    }
}

TEST(TrackFile, BlockEdges)
{
    constexpr std::size_t kTail = 1000;
    std::vector<std::uint8_t> bytes(2 * kRecorderBlockSize + kTail);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i % 251 + 1);
    struct Case {
        std::uint32_t block;
        bool reads;
    };
    for (const Case& c : {Case{0, false}, Case{1, true}, Case{2, true}, Case{3, true}, Case{4, false}})
        EXPECT_EQ(Block(bytes, kWordLength16, c.block).has_value(), c.reads) << c.block;
    const auto last = Block(bytes, kWordLength16, 3);
    ASSERT_TRUE(last);
    const std::size_t start = 2 * kRecorderBlockSize;
    EXPECT_EQ((*last)[0], bytes[start + 3]);
    EXPECT_EQ((*last)[kTail - 1], bytes[start + kTail - 4]);
    EXPECT_EQ(std::vector<std::uint8_t>(last->begin() + kTail, last->end()),
              std::vector<std::uint8_t>(kRecorderBlockSize - kTail, 0));
    EXPECT_FALSE(Block(bytes, 3, 1));  // unknown word length
}

TEST(TrackFile, DecodesWhatTheDiskWriterPacks)
{
    // Extremes and patterns across more than one block, so that the padding at the end
    // of 20 and 24-bit blocks and the start of block 2 are both crossed.
    for (const std::uint8_t wordLength : {kWordLength16, kWordLength20, kWordLength24}) {
        const int bits = wordLength == kWordLength16 ? 16 : wordLength == kWordLength20 ? 20 : 24;
        const std::int32_t top = (1 << (bits - 1)) - 1;
        const std::int32_t bottom = -top - 1;
        const CTrackFile layout("", Song(wordLength), Segment());
        const int perBlock = layout.GetSamplesPerBlock();
        std::vector<std::int32_t> samples(static_cast<std::size_t>(perBlock) + 100);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::int32_t>(i * 2654435761u % static_cast<std::uint32_t>(top)) - top / 2;
        samples[0] = top;
        samples[1] = bottom;
        samples[2] = -1;
        samples[static_cast<std::size_t>(perBlock) - 1] = bottom;
        samples[static_cast<std::size_t>(perBlock)] = top;
        const auto image = diskwriter::EncodeTrackData(samples, wordLength);
        ASSERT_EQ(image.size(), 2 * kRecorderBlockSize);
        const int bytes = layout.GetBytesPerSample();
        for (std::uint32_t n = 1; n <= 2; ++n) {
            const auto block = Block(image, wordLength, n);
            ASSERT_TRUE(block);
            for (int k = 0; k < perBlock; ++k) {
                const std::size_t index = (n - 1) * static_cast<std::size_t>(perBlock) + static_cast<std::size_t>(k);
                const std::int32_t value = index < samples.size() ? samples[index] : 0;
                const auto expected = diskwriter::DecodedSample(value, wordLength);
                const auto* got = block->data() + static_cast<std::size_t>(k * bytes);
                ASSERT_EQ(std::vector<std::uint8_t>(got, got + bytes), expected)
                    << bits << " bit, block " << n << " sample " << k;
            }
        }
    }
}
