#include "import/PCAiffFile.h"
#include "platform/ByteSource.h"
#include "tests/import/WaveAiffBuilder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace soundbytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

const Bytes kSamples = {1, 2, 3, 4, 5, 6};
// "FORM" header, form type, "COMM" header and its 18 bytes, "SSND" header, offset and block size.
constexpr std::uint32_t kPlainDataOffset = 54;

Bytes Common(std::uint32_t rate = 44100, std::uint16_t bits = 16, std::uint16_t channels = 1)
{
    return AiffChunk("COMM", CommonBody(channels, bits, ExtendedRate(rate)));
}

Bytes Sound(std::uint32_t offset = 0, const Bytes& samples = kSamples)
{
    return AiffChunk("SSND", SoundDataBody(offset, samples));
}

struct Case {
    const char* what;
    Bytes file;
    bool accepted;
    std::uint32_t rate = 0;
    std::uint16_t bits = 0;
    std::uint32_t dataOffset = 0;
    std::uint32_t dataSize = 0;
};

}  // namespace

TEST(AiffHeader, AcceptsOrRefusesSilently)
{
    Bytes rate441Fraction = ExtendedRate(44100);
    rate441Fraction[4] = 0x80;  // 44100.5 Hz: the low mantissa bytes are not read
    const Bytes annotation = AiffChunk("ANNO", Text("notes"));
    const Case cases[] = {
        {"16 bit", AiffFile(Cat({Common(), Sound()})), true, 44100, 16, kPlainDataOffset, 6},
        {"20 bit", AiffFile(Cat({Common(32000, 20), Sound()})), true, 32000, 20, kPlainDataOffset, 6},
        {"24 bit", AiffFile(Cat({Common(48000, 24), Sound()})), true, 48000, 24, kPlainDataOffset, 6},
        {"44100.5 Hz", AiffFile(Cat({AiffChunk("COMM", CommonBody(1, 16, rate441Fraction)), Sound()})), true, 44100,
         16, kPlainDataOffset, 6},
        {"offset 4", AiffFile(Cat({Common(), Sound(4)})), true, 44100, 16, kPlainDataOffset + 4, 6},
        {"offset to the chunk end", AiffFile(Cat({Common(), Sound(6, {})})), true, 44100, 16, kPlainDataOffset + 6, 0},
        {"SSND before COMM", AiffFile(Cat({Sound(), Common()})), true, 44100, 16, 28, 6},
        {"odd chunk first", AiffFile(Cat({annotation, Common(), Sound()})), true, 44100, 16, kPlainDataOffset + 14, 6},
        // The chunks are walked: an identifier inside another chunk's body is skipped with it.
        {"SSND inside text", AiffFile(Cat({AiffChunk("ANNO", Cat({Text("SSND"), Be32(12), Be32(0), Be32(0)})),
                                           Common(), Sound()})),
         true, 44100, 16, kPlainDataOffset + 24, 6},
        {"96000 Hz", AiffFile(Cat({Common(96000), Sound()})), false},
        {"22050 Hz", AiffFile(Cat({Common(22050), Sound()})), false},
        {"AIFC", AiffFile(Cat({Common(), Sound()}), "AIFC"), false},
        {"2 channels", AiffFile(Cat({Common(44100, 16, 2), Sound()})), false},
        {"8 bit", AiffFile(Cat({Common(44100, 8), Sound()})), false},
        {"32 bit", AiffFile(Cat({Common(44100, 32), Sound()})), false},
        {"offset beyond the chunk", AiffFile(Cat({Common(), AiffChunk("SSND", SoundDataBody(0, kSamples), 4)})), false},
        {"offset past the samples", AiffFile(Cat({Common(), AiffChunk("SSND", Cat({Be32(7), Be32(0), kSamples}))})),
         false},
        {"no SSND", AiffFile(Common()), false},
        {"no COMM", AiffFile(Sound()), false},
        {"no FORM", Cat({Common(), Sound()}), false},
        {"empty file", {}, false},
        {"COMM cut short", Cat({AiffFile(Sound()), Text("COMM"), Be32(18), Be16(1), Be32(0), Be16(16)}), false},
        {"SSND cut short", Cat({AiffFile(Common()), Text("SSND"), Be32(8), Be32(0)}), false},
    };
    for (const auto& c : cases) {
        CPCAiffFile reader;
        ASSERT_EQ(!HeaderRefusalOf(reader, c.file, "take.aif"), c.accepted) << c.what;
        EXPECT_TRUE(MessagesOfChecks(c.file, "take.aif").empty()) << c.what;
        if (!c.accepted)
            continue;
        EXPECT_EQ(reader.GetSampleRate(), c.rate) << c.what;
        EXPECT_EQ(reader.GetBitsPerSample(), c.bits) << c.what;
        EXPECT_EQ(reader.GetDataOffset(), c.dataOffset) << c.what;
        EXPECT_EQ(reader.GetDataSize(), c.dataSize) << c.what;
        EXPECT_EQ(reader.GetByteOrder(), CPCSoundFile::kBigEndian) << c.what;
    }
}

TEST(AiffHeader, ChunksAreFoundByWalkingThemFromTheFormHeader)
{
    // A comment as sox writes it: one comment, its time stamp, marker and length, then the text.
    const auto comment = [](const char* text) {
        const Bytes body = Text(text);
        return AiffChunk("COMT", Cat({Be16(1), Be32(0x3453E73E), Be16(0), Be16(static_cast<std::uint16_t>(body.size())),
                                      body}));
    };
    const Bytes ssndComment = comment("SSND~~~~    take");
    const auto ssndCommentSize = static_cast<std::uint32_t>(ssndComment.size());
    const Bytes unpaddedNote = Cat({Text("ANNO"), Be32(5), Text("notes")});
    struct Row {
        const char* what;
        Bytes file;
        std::uint32_t dataOffset;
    };
    const Row rows[] = {
        {"comment holding SSND", AiffFile(Cat({ssndComment, Common(), Sound()})), kPlainDataOffset + ssndCommentSize},
        {"comment holding COMM", AiffFile(Cat({comment("COMM take 2 of 3"), Common(), Sound()})),
         kPlainDataOffset + ssndCommentSize},
        {"comment holding COMMENT", AiffFile(Cat({comment("COMMENT: take 3 "), Common(), Sound()})),
         kPlainDataOffset + ssndCommentSize},
        {"SSND before COMM", AiffFile(Cat({Sound(), comment("COMMENT: take 3 "), Common()})), 28},
        {"odd chunk with its pad byte", AiffFile(Cat({AiffChunk("ANNO", Text("SSND!")), Common(), Sound()})),
         kPlainDataOffset + 14},
        // The walk loses its way; the byte-wise search finds the chunks as it always did.
        {"odd chunk without its pad byte", AiffFile(Cat({unpaddedNote, Common(), Sound()})), kPlainDataOffset + 13},
        {"FORM size too small", Cat({Text("FORM"), Be32(4), Text("AIFF"), ssndComment, Common(), Sound()}),
         kPlainDataOffset + ssndCommentSize},
        {"bytes before FORM", Cat({Text("junk!"), AiffFile(Cat({ssndComment, Common(), Sound()}))}),
         5 + kPlainDataOffset + ssndCommentSize},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CPCAiffFile reader;
        platform::MemorySource source(row.file);
        if (const auto refusal = reader.ParseHeader(source)) {
            ADD_FAILURE() << "refused: " << Explain(*refusal);
            continue;
        }
        EXPECT_EQ(reader.GetSampleRate(), 44100U);
        EXPECT_EQ(reader.GetBitsPerSample(), 16U);
        EXPECT_EQ(reader.GetDataOffset(), row.dataOffset);
        EXPECT_EQ(reader.GetDataSize(), kSamples.size());
    }
}

TEST(AiffHeader, MissingFileOrFolderIsRefusedSilently)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.File("folder.aif"));
    for (const char* name : {"missing.aif", "folder.aif"}) {
        CPCAiffFile reader;
        EXPECT_TRUE(reader.ReadHeader(folder.File(name))) << name;
        EXPECT_TRUE(MessagesOfChecks(folder.File(name)).empty()) << name;
    }
}

TEST(AiffIdentifierSearch, FindsTheFirstOccurrenceAcrossReadBlocks)
{
    constexpr std::uint64_t kBlock = 64 * 1024;
    struct Case {
        std::uint64_t fileSize;
        std::vector<std::uint64_t> placedAt;
        std::optional<std::uint64_t> found;
    };
    const Case cases[] = {
        {100, {0}, 0},
        {100, {96}, 96},                                  // the last position that can hold it
        {kBlock + 10, {kBlock - 2}, kBlock - 2},          // across the seam of two reads
        {kBlock + 10, {kBlock - 4}, kBlock - 4},          // ends right at the seam
        {kBlock + 10, {kBlock - 3}, kBlock - 3},          // the first position of the overlap
        {3 * kBlock, {2 * kBlock + 5, kBlock + 1}, kBlock + 1},
        {3 * kBlock, {}, std::nullopt},
        {3, {}, std::nullopt},
    };
    for (const auto& c : cases) {
        Bytes file = Zeros(c.fileSize);
        for (const auto position : c.placedAt)
            std::copy_n("SSND", 4, file.begin() + static_cast<std::ptrdiff_t>(position));
        platform::MemorySource input(file);
        EXPECT_EQ(FindIdentifier(input, "SSND"), c.found) << c.fileSize;
    }
}

TEST(AiffHeader, RefusalsFromMemoryNameTheirReason)
{
    struct Row {
        const char* what;
        Bytes file;
        Reason reason;
        std::string detail;
    };
    // A rate of its own 10 extended-precision bytes: sign and exponent, then the mantissa.
    const auto rated = [](std::uint16_t signAndExponent, std::uint8_t mantissaTop) {
        Bytes rate = Cat({Be16(signAndExponent), Zeros(8)});
        rate[2] = mantissaTop;
        return AiffFile(Cat({AiffChunk("COMM", CommonBody(1, 16, rate)), Sound()}));
    };
    Bytes negative = ExtendedRate(44100);
    negative[0] |= 0x80;
    const Row rows[] = {
        {"-44100 Hz", AiffFile(Cat({AiffChunk("COMM", CommonBody(1, 16, negative)), Sound()})), Reason::NegativeRate,
         "44100"},
        {"infinite", rated(0x7FFF, 0x80), Reason::RateNotANumber, ""},
        {"minus infinite", rated(0xFFFF, 0x80), Reason::RateNotANumber, ""},
        {"not a number", rated(0x7FFF, 0xC0), Reason::RateNotANumber, ""},
        {"minus zero", rated(0x8000, 0), Reason::UnsupportedRate, "0"},
        // An AIFF-C form needs the compression type after the AIFF fields of COMM.
        {"AIFC", AiffFile(Cat({Common(), Sound()}), "AIFC"), Reason::FormatChunkDamaged, ""},
        {"no FORM", Cat({Common(), Sound()}), Reason::NotAiff, ""},
        {"no COMM", AiffFile(Sound()), Reason::NoFormatChunk, ""},
        {"COMM cut short", Cat({AiffFile(Sound()), Text("COMM"), Be32(18), Be16(1)}), Reason::FormatChunkDamaged, ""},
        {"2 channels", AiffFile(Cat({Common(44100, 16, 2), Sound()})), Reason::NotMono, "2"},
        {"8 bit", AiffFile(Cat({Common(44100, 8), Sound()})), Reason::UnsupportedBits, "8"},
        {"96000 Hz", AiffFile(Cat({Common(96000), Sound()})), Reason::UnsupportedRate, "96000"},
        {"22050 Hz", AiffFile(Cat({Common(22050), Sound()})), Reason::UnsupportedRate, "22050"},
        {"no SSND", AiffFile(Common()), Reason::NoSampleData, ""},
        {"SSND cut short", Cat({AiffFile(Common()), Text("SSND"), Be32(8), Be32(0)}), Reason::DataBeyondEnd, ""},
        {"offset beyond the chunk", AiffFile(Cat({Common(), AiffChunk("SSND", SoundDataBody(0, kSamples), 4)})),
         Reason::SampleOffsetBeyondChunk, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CPCAiffFile reader;
        platform::MemorySource source(row.file);
        const auto refusal = reader.ParseHeader(source);
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->reason, row.reason);
        EXPECT_EQ(refusal->detail, row.detail);
        EXPECT_TRUE(MessagesOfChecks(row.file, "take.aif").empty());
    }
    CPCAiffFile reader;
    platform::MemorySource accepted(AiffFile(Cat({Common(32000, 20), Sound(4)})));
    ASSERT_FALSE(reader.ParseHeader(accepted));
    EXPECT_EQ(reader.GetSampleRate(), 32000U);
    EXPECT_EQ(reader.GetDataOffset(), kPlainDataOffset + 4);
}
