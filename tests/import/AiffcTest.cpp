// AIFF-C files holding uncompressed samples (NONE big-endian, sowt little-endian)
// are read like AIFF, through the chunk walk only; any other compression is refused
// with its reason.

#include "import/OrvoTrack.h"
#include "import/PCAiffFile.h"
#include "platform/ByteSource.h"
#include "tests/import/WaveAiffBuilder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace soundbytes;

namespace {

const Bytes kSamples = {1, 2, 3, 4, 5, 6};
// "FORM" header and form type, "FVER" chunk, "COMM" of 24 bytes ("NONE" and an empty
// name with its pad byte), "SSND" header, offset and block size.
constexpr std::uint32_t kDataOffset = 12 + 12 + 32 + 16;

// An AIFF-C "COMM": the AIFF fields, the compression type and its name as a padded
// Pascal string (an empty name takes two bytes).
Bytes CompressedCommon(const char* type, std::uint32_t rate = 44100, std::uint16_t bits = 16,
                       std::uint16_t channels = 1)
{
    return AiffChunk("COMM", Cat({CommonBody(channels, bits, ExtendedRate(rate)), Text(type), Be16(0)}));
}

Bytes Version()
{
    return AiffChunk("FVER", Be32(0xA2805140));
}

Bytes Sound(const Bytes& samples = kSamples)
{
    return AiffChunk("SSND", SoundDataBody(0, samples));
}

Bytes Aifc(const Bytes& chunks)
{
    return AiffFile(Cat({Version(), chunks}), "AIFC");
}

}  // namespace

TEST(AiffcHeader, UncompressedIsReadInItsByteOrderAndEveryOtherTypeIsRefused)
{
    const Bytes unpaddedNote = Cat({Text("ANNO"), Be32(5), Text("notes")});
    struct Row {
        const char* what;
        Bytes file;
        std::optional<Reason> refused;  // nothing when accepted
        std::string detail = {};
        CPCSoundFile::ByteOrder order = CPCSoundFile::kBigEndian;
        std::uint16_t bits = 16;
        std::uint32_t rate = 44100;
    };
    const Row rows[] = {
        {"NONE 16 bit", Aifc(Cat({CompressedCommon("NONE"), Sound()})), std::nullopt},
        {"NONE 20 bit", Aifc(Cat({CompressedCommon("NONE", 32000, 20), Sound()})), std::nullopt, "",
         CPCSoundFile::kBigEndian, 20, 32000},
        {"sowt 24 bit", Aifc(Cat({CompressedCommon("sowt", 48000, 24), Sound()})), std::nullopt, "",
         CPCSoundFile::kLittleEndian, 24, 48000},
        {"sowt 16 bit", Aifc(Cat({CompressedCommon("sowt"), Sound()})), std::nullopt, "",
         CPCSoundFile::kLittleEndian},
        {"ima4", Aifc(Cat({CompressedCommon("ima4"), Sound()})), Reason::CompressedSamples, "ima4"},
        {"ulaw", Aifc(Cat({CompressedCommon("ulaw"), Sound()})), Reason::CompressedSamples, "ulaw"},
        {"lower-case none", Aifc(Cat({CompressedCommon("none"), Sound()})), Reason::CompressedSamples, "none"},
        {"fl32", Aifc(Cat({CompressedCommon("fl32"), Sound()})), Reason::FloatSamples},
        {"FL64", Aifc(Cat({CompressedCommon("FL64"), Sound()})), Reason::FloatSamples},
        // The checks of AIFF still apply after the compression type.
        {"sowt stereo", Aifc(Cat({CompressedCommon("sowt", 44100, 16, 2), Sound()})), Reason::NotMono, "2"},
        {"NONE 8 bit", Aifc(Cat({CompressedCommon("NONE", 44100, 8), Sound()})), Reason::UnsupportedBits, "8"},
        {"NONE 96000 Hz", Aifc(Cat({CompressedCommon("NONE", 96000), Sound()})), Reason::UnsupportedRate, "96000"},
        // An AIFF-sized COMM has no compression type.
        {"COMM of 18 bytes", Aifc(Cat({AiffChunk("COMM", CommonBody(1, 16, ExtendedRate(44100))), Sound()})),
         Reason::FormatChunkDamaged},
        {"COMM stating 22 bytes, file ends", Cat({Aifc(Sound()), Text("COMM"), Be32(22), Be16(1), Be32(0)}),
         Reason::FormatChunkDamaged},
        // Only the walk finds the chunks: no byte-wise search behind a chunk without its pad byte.
        {"odd chunk without its pad byte", Aifc(Cat({unpaddedNote, CompressedCommon("NONE"), Sound()})),
         Reason::NoFormatChunk},
        {"no SSND", Aifc(CompressedCommon("NONE")), Reason::NoSampleData},
        {"no COMM", Aifc(Sound()), Reason::NoFormatChunk},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CPCAiffFile reader;
        platform::MemorySource source(row.file);
        const auto refusal = reader.ParseHeader(source);
        EXPECT_TRUE(MessagesOfChecks(row.file, "take.aifc").empty());
        if (row.refused) {
            ASSERT_TRUE(refusal);
            EXPECT_EQ(refusal->reason, *row.refused) << Explain(*refusal);
            EXPECT_EQ(refusal->detail, row.detail);
            continue;
        }
        ASSERT_FALSE(refusal) << Explain(*refusal);
        EXPECT_EQ(reader.GetByteOrder(), row.order);
        EXPECT_EQ(reader.GetBitsPerSample(), row.bits);
        EXPECT_EQ(reader.GetSampleRate(), row.rate);
        EXPECT_EQ(reader.GetDataOffset(), kDataOffset);
        EXPECT_EQ(reader.GetDataSize(), kSamples.size());
    }
}

TEST(AiffcHeader, ARefusedCompressionIsExplainedByItsName)
{
    CPCAiffFile reader;
    const auto refusal = HeaderRefusalOf(reader, Aifc(Cat({CompressedCommon("alaw"), Sound()})), "take.aifc");
    ASSERT_TRUE(refusal);
    EXPECT_EQ(Explain(*refusal).substr(Explain(*refusal).find(": ")),
              ": compressed samples (alaw); only uncompressed PCM can be imported");
}
