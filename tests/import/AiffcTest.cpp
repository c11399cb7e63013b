// AIFF-C files holding uncompressed samples (NONE big-endian, sowt little-endian)
// are read like AIFF, through the chunk walk only; any other compression is refused
// with its reason. The files of sox and libsndfile are accepted with their samples in
// place; libsndfile's little-endian 24 bit has a type of its own and is refused by name.

#include "import/OrvoTrack.h"
#include "import/PCAiffFile.h"
#include "platform/ByteSource.h"
#include "tests/import/WaveAiffBuilder.h"
#include "tests/support/ScriptedUserInterface.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using namespace soundbytes;
using testsupport::ReadBytes;
using testsupport::ScriptedUserInterface;
using testsupport::TempFolder;
using testsupport::WriteBytes;

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
        ScriptedUserInterface ui;
        CPCAiffFile reader(ui);
        platform::MemorySource source(row.file);
        const bool accepted = reader.ParseHeader(source);
        EXPECT_TRUE(ui.events.empty());
        if (row.refused) {
            EXPECT_FALSE(accepted);
            EXPECT_EQ(reader.GetRefusal().reason, *row.refused) << Explain(reader.GetRefusal());
            EXPECT_EQ(reader.GetRefusal().detail, row.detail);
            continue;
        }
        ASSERT_TRUE(accepted) << Explain(reader.GetRefusal());
        EXPECT_EQ(reader.GetByteOrder(), row.order);
        EXPECT_EQ(reader.GetBitsPerSample(), row.bits);
        EXPECT_EQ(reader.GetSampleRate(), row.rate);
        EXPECT_EQ(reader.GetDataOffset(), kDataOffset);
        EXPECT_EQ(reader.GetDataSize(), kSamples.size());
    }
}

TEST(AiffcHeader, ARefusedCompressionIsExplainedByItsName)
{
    ScriptedUserInterface ui;
    CPCAiffFile reader(ui);
    ASSERT_FALSE(ReadHeaderOf(reader, Aifc(Cat({CompressedCommon("alaw"), Sound()})), "take.aifc"));
    EXPECT_EQ(Explain(reader.GetRefusal()).substr(Explain(reader.GetRefusal()).find(": ")),
              ": compressed samples (alaw); only uncompressed PCM can be imported");
}

namespace {

constexpr int kFrames = 999;

// 24-bit test values that use every byte, as signed values.
std::vector<std::int32_t> Pattern(int bits)
{
    std::vector<std::int32_t> samples(kFrames);
    for (int i = 0; i < kFrames; ++i) {
        const std::uint32_t raw = (static_cast<std::uint32_t>(i) * 2654435761U) & ((1U << bits) - 1);
        samples[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(raw << (32 - bits)) >> (32 - bits);
    }
    return samples;
}

Bytes Encode(const std::vector<std::int32_t>& samples, int bits, bool bigEndian)
{
    const int bytes = bits / 8;
    Bytes encoded;
    for (const auto sample : samples) {
        for (int b = 0; b < bytes; ++b)
            encoded.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(sample) >> (8 * (bigEndian ? bytes - 1 - b : b))));
    }
    return encoded;
}

}  // namespace

TEST(AiffcInterop, FilesOfSoxAndLibsndfileAreReadWithTheirSamplesInPlace)
{
    struct Row {
        const char* name;
        bool sox;  // sox -t aifc writes NONE; libsndfile's little-endian AIFF is AIFF-C sowt
        int bits;
        std::uint32_t rate;
        CPCSoundFile::ByteOrder order;
    };
    const Row rows[] = {
        {"take.aifc", true, 16, 44100, CPCSoundFile::kBigEndian},
        {"take.AIFC", true, 24, 48000, CPCSoundFile::kBigEndian},
        {"take.aiff", false, 16, 32000, CPCSoundFile::kLittleEndian},
        {"take.aif", false, 16, 48000, CPCSoundFile::kLittleEndian},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.bits) + " bit");
        TempFolder folder;
        const std::string path = folder.File(row.name);
        const auto samples = Pattern(row.bits);
        if (row.sox) {
            const std::string raw = folder.File("source.raw");
            WriteBytes(raw, Encode(samples, row.bits, false));
            const char* sox = std::getenv("WAVELORN_SOX");
            const std::string command = std::string(sox ? sox : "sox") + " -t raw -r " + std::to_string(row.rate) +
                                        " -e signed-integer -b " + std::to_string(row.bits) + " -c 1 -L '" + raw +
                                        "' -t aifc '" + path + "'";
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
        } else {
            SF_INFO info{};
            info.samplerate = static_cast<int>(row.rate);
            info.channels = 1;
            info.format = SF_FORMAT_AIFF | SF_ENDIAN_LITTLE | (row.bits == 16 ? SF_FORMAT_PCM_16 : SF_FORMAT_PCM_24);
            SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
            ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
            std::vector<int> scaled;
            for (const auto sample : samples)
                scaled.push_back(static_cast<int>(static_cast<std::uint32_t>(sample) << (32 - row.bits)));
            ASSERT_EQ(sf_write_int(file, scaled.data(), kFrames), kFrames);
            ASSERT_EQ(sf_close(file), 0);
        }
        const auto file = ReadBytes(path);
        ASSERT_GE(file.size(), 12U);
        EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 12), "AIFC");

        ScriptedUserInterface ui;
        COrvoTrack slot(ui);
        ASSERT_TRUE(slot.SelectReader(path));
        ASSERT_TRUE(slot.ReadSourceHeader(path)) << Explain(slot.GetReader()->GetRefusal());
        const CPCSoundFile& reader = *slot.GetReader();
        EXPECT_EQ(reader.GetByteOrder(), row.order);
        EXPECT_EQ(reader.GetSampleRate(), row.rate);
        EXPECT_EQ(reader.GetBitsPerSample(), row.bits);
        const auto expected = Encode(samples, row.bits, row.order == CPCSoundFile::kBigEndian);
        ASSERT_EQ(reader.GetDataSize(), expected.size());
        ASSERT_LE(std::uint64_t{reader.GetDataOffset()} + reader.GetDataSize(), file.size());
        EXPECT_EQ(Bytes(file.begin() + reader.GetDataOffset(), file.begin() + reader.GetDataOffset() + reader.GetDataSize()),
                  expected);
    }
}

TEST(AiffcInterop, LibsndfilesLittleEndian24BitIsRefusedByItsType)
{
    TempFolder folder;
    const std::string path = folder.File("take.aiff");
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = SF_FORMAT_AIFF | SF_ENDIAN_LITTLE | SF_FORMAT_PCM_24;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    const std::vector<int> samples(100, 1 << 20);
    ASSERT_EQ(sf_write_int(file, samples.data(), 100), 100);
    ASSERT_EQ(sf_close(file), 0);

    ScriptedUserInterface ui;
    COrvoTrack slot(ui);
    ASSERT_TRUE(slot.SelectReader(path));
    EXPECT_FALSE(slot.ReadSourceHeader(path));
    EXPECT_EQ(slot.GetReader()->GetRefusal().reason, Reason::CompressedSamples);
    EXPECT_EQ(slot.GetReader()->GetRefusal().detail.size(), 4U);
    EXPECT_NE(slot.GetReader()->GetRefusal().detail, "sowt");
}
