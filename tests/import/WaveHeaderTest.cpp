#include "import/PCWaveFile.h"
#include "platform/ByteSource.h"
#include "platform/Messages.h"
#include "tests/import/WaveAiffBuilder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace soundbytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

const Bytes kSamples = {1, 2, 3, 4, 5, 6};
// "RIFF" header, form type, "fmt " header and its 16 bytes, "data" header.
constexpr std::uint32_t kPlainDataOffset = 44;

Bytes Format16(std::uint32_t rate = 44100, std::uint16_t bits = 16)
{
    return RiffChunk("fmt ", PlainFormat(kPcm, 1, rate, bits));
}

Bytes Data(const Bytes& samples = kSamples, std::optional<std::uint32_t> statedSize = std::nullopt)
{
    return RiffChunk("data", samples, statedSize);
}

struct Accepted {
    const char* what;
    Bytes file;
    std::uint32_t rate;
    std::uint16_t bits;
    std::uint32_t dataOffset;
    std::uint32_t dataSize;
};

struct Refused {
    const char* what;
    Bytes file;
    MessageId message;
};

}  // namespace

TEST(WaveHeader, AcceptsMonoPcmAndFindsTheData)
{
    const Bytes list = RiffChunk("LIST", Text("INFOISFT"));
    const Bytes odd = RiffChunk("junk", {9, 9, 9});  // 3 bytes and a pad byte
    const Accepted cases[] = {
        {"16 bit", WaveFile(Cat({Format16(), Data()})), 44100, 16, kPlainDataOffset, 6},
        {"20 bit", WaveFile(Cat({Format16(48000, 20), Data()})), 48000, 20, kPlainDataOffset, 6},
        {"24 bit", WaveFile(Cat({Format16(96000, 24), Data()})), 96000, 24, kPlainDataOffset, 6},
        {"32000", WaveFile(Cat({Format16(32000), Data()})), 32000, 16, kPlainDataOffset, 6},
        {"44056", WaveFile(Cat({Format16(44056), Data()})), 44056, 16, kPlainDataOffset, 6},
        {"47952", WaveFile(Cat({Format16(47952), Data()})), 47952, 16, kPlainDataOffset, 6},
        {"88200", WaveFile(Cat({Format16(88200), Data()})), 88200, 16, kPlainDataOffset, 6},
        {"LIST between fmt and data", WaveFile(Cat({Format16(), list, Data()})), 44100, 16, kPlainDataOffset + 16, 6},
        {"odd chunk before fmt", WaveFile(Cat({odd, Format16(), Data()})), 44100, 16, kPlainDataOffset + 12, 6},
        {"odd data", WaveFile(Cat({Format16(), Data({1, 2, 3}), list})), 44100, 16, kPlainDataOffset, 3},
        {"fmt of 18 bytes", WaveFile(Cat({RiffChunk("fmt ", Cat({PlainFormat(kPcm, 1, 44100, 16), Le16(0)})), Data()})),
         44100, 16, kPlainDataOffset + 2, 6},
        {"fmt of odd size", WaveFile(Cat({RiffChunk("fmt ", Cat({PlainFormat(kPcm, 1, 44100, 16), {0}})), Data()})),
         44100, 16, kPlainDataOffset + 2, 6},
        {"huge data size", WaveFile(Cat({Format16(), Data(kSamples, 0xFFFFFFFF)})), 44100, 16, kPlainDataOffset,
         0xFFFFFFFF},
        {"RIFF larger than the file", WaveFile(Cat({Format16(), Data()}), 0xFFFFFFF0), 44100, 16, kPlainDataOffset, 6},
        {"other RIFF first", Cat({RiffChunk("RIFF", Cat({Text("AVI "), Data()})), WaveFile(Cat({Format16(), Data()}))}),
         44100, 16, 26 + kPlainDataOffset, 6},
        {"extensible 16/16", WaveFile(Cat({RiffChunk("fmt ", ExtensibleFormat(1, 48000, 16, 16)), Data()})), 48000, 16,
         kPlainDataOffset + 24, 6},
        {"extensible 24/24", WaveFile(Cat({RiffChunk("fmt ", ExtensibleFormat(1, 48000, 24, 24)), Data()})), 48000, 24,
         kPlainDataOffset + 24, 6},
        {"extensible 24/20", WaveFile(Cat({RiffChunk("fmt ", ExtensibleFormat(1, 44100, 24, 20)), Data()})), 44100, 20,
         kPlainDataOffset + 24, 6},
        {"extensible, long extension",
         WaveFile(Cat({RiffChunk("fmt ", Cat({ExtensibleFormat(1, 44100, 24, 24, 24), Le16(0)})), Data()})), 44100,
         24, kPlainDataOffset + 26, 6},
    };
    for (const auto& c : cases) {
        CPCWaveFile reader;
        ASSERT_FALSE(HeaderRefusalOf(reader, c.file, "take.wav")) << c.what;
        EXPECT_EQ(reader.GetSampleRate(), c.rate) << c.what;
        EXPECT_EQ(reader.GetBitsPerSample(), c.bits) << c.what;
        EXPECT_EQ(reader.GetDataOffset(), c.dataOffset) << c.what;
        EXPECT_EQ(reader.GetDataSize(), c.dataSize) << c.what;
        EXPECT_EQ(reader.GetByteOrder(), CPCSoundFile::kLittleEndian) << c.what;
        EXPECT_TRUE(MessagesOfChecks(c.file, "take.wav").empty()) << c.what;
    }
}

TEST(WaveHeader, RefusesWithOneMessage)
{
    const Bytes fmtBody = PlainFormat(kPcm, 1, 44100, 16);
    const auto extensible = [](const Bytes& body) { return WaveFile(Cat({RiffChunk("fmt ", body), Data()})); };
    const Refused cases[] = {
        {"2 channels", WaveFile(Cat({RiffChunk("fmt ", PlainFormat(kPcm, 2, 44100, 16)), Data()})),
         MessageId::FormatUnknown},
        {"8 bit", WaveFile(Cat({Format16(44100, 8), Data()})), MessageId::FormatUnknown},
        {"32 bit", WaveFile(Cat({Format16(44100, 32), Data()})), MessageId::FormatUnknown},
        {"22050 Hz", WaveFile(Cat({Format16(22050), Data()})), MessageId::FormatUnknown},
        {"float tag", WaveFile(Cat({RiffChunk("fmt ", PlainFormat(kFloat, 1, 44100, 24)), Data()})),
         MessageId::FormatUnknown},
        {"not RIFF", RiffChunk("RIFX", Cat({Text("WAVE"), Format16(), Data()})), MessageId::FormatUnknown},
        {"not WAVE", RiffChunk("RIFF", Cat({Text("AVI "), Format16(), Data()})), MessageId::FormatUnknown},
        {"empty file", {}, MessageId::FormatUnknown},
        {"no fmt", WaveFile(Data()), MessageId::FormatUnknown},
        {"data before fmt", WaveFile(Cat({Data(), Format16()})), MessageId::FormatUnknown},
        {"no data", WaveFile(Format16()), MessageId::FormatUnknown},
        {"empty data", WaveFile(Cat({Format16(), Data({})})), MessageId::FormatUnknown},
        {"fmt of 14 bytes", WaveFile(Cat({RiffChunk("fmt ", Bytes(fmtBody.begin(), fmtBody.begin() + 14)), Data()})),
         MessageId::FormatUnknown},
        {"fmt stating 4 GB", WaveFile(Cat({RiffChunk("fmt ", fmtBody, 0xFFFFFFF0), Data()})),
         MessageId::FormatUnknown},
        {"fmt past the end", WaveFile(RiffChunk("fmt ", fmtBody, 20)), MessageId::FormatUnknown},
        {"chunk stating 4 GB before fmt", WaveFile(Cat({RiffChunk("junk", {1, 2}, 0xFFFFFFF0), Format16(), Data()})),
         MessageId::FormatUnknown},
        {"data outside RIFF", Cat({WaveFile(Format16()), Data()}), MessageId::FormatUnknown},
        {"extensible, fmt of 18 bytes",
         WaveFile(Cat({RiffChunk("fmt ", Cat({PlainFormat(kExtensible, 1, 44100, 16), Le16(0)})), Data()})),
         MessageId::FormatUnknown},
        {"extensible, extension of 0", extensible(ExtensibleFormat(1, 44100, 24, 24, 0)), MessageId::FormatUnknown},
        {"extensible float", extensible(ExtensibleFormat(1, 44100, 24, 24, 22, kFloat)), MessageId::FormatUnknown},
        {"extensible stereo", extensible(ExtensibleFormat(2, 44100, 24, 24)), MessageId::FormatUnknown},
        {"extensible 24/16", extensible(ExtensibleFormat(1, 44100, 24, 16)), MessageId::FormatUnknown},
        {"extensible 24/0", extensible(ExtensibleFormat(1, 44100, 24, 0)), MessageId::FormatUnknown},
        {"extensible 32/24", extensible(ExtensibleFormat(1, 44100, 32, 24)), MessageId::FormatUnknown},
        {"extensible 20/20", extensible(ExtensibleFormat(1, 44100, 20, 20)), MessageId::FormatUnknown},
        {"extensible 22050", extensible(ExtensibleFormat(1, 22050, 16, 16)), MessageId::FormatUnknown},
    };
    for (const auto& c : cases) {
        CPCWaveFile reader;
        EXPECT_TRUE(HeaderRefusalOf(reader, c.file, "take.wav")) << c.what;
        const auto events = MessagesOfChecks(c.file, "take.wav");
        ASSERT_EQ(events.size(), 1U) << c.what;
        EXPECT_EQ(events[0].text, MessageText(c.message)) << c.what;
        EXPECT_EQ(events[0].icon, platform::MessageIcon::Exclamation) << c.what;
        EXPECT_EQ(events[0].buttons, platform::MessageButtons::Ok) << c.what;
    }
}

TEST(WaveHeader, MissingFileOrFolderIsNotFound)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.File("folder.wav"));
    for (const char* name : {"missing.wav", "folder.wav"}) {
        CPCWaveFile reader;
        EXPECT_TRUE(reader.ReadHeader(folder.File(name))) << name;
        EXPECT_EQ(Texts(MessagesOfChecks(folder.File(name))),
                  std::vector<std::string>{MessageText(MessageId::FileNotFound)})
            << name;
    }
}

TEST(WaveHeader, RefusedFileKeepsTheFormatOfTheLastAcceptedOne)
{
    TempFolder folder;
    WriteBytes(folder.File("good.wav"), WaveFile(Cat({Format16(48000, 24), Data()})));
    WriteBytes(folder.File("bad.wav"), WaveFile(Format16(32000, 16)));
    CPCWaveFile reader;
    ASSERT_FALSE(reader.ReadHeader(folder.File("good.wav")));
    EXPECT_TRUE(reader.ReadHeader(folder.File("bad.wav")));
    EXPECT_EQ(reader.GetSampleRate(), 48000U);
    EXPECT_EQ(reader.GetBitsPerSample(), 24);
}

TEST(WaveHeader, RefusalsFromMemoryNameTheirReason)
{
    struct Row {
        const char* what;
        Bytes file;
        Reason reason;
        std::string detail;
    };
    const Bytes fmtBody = PlainFormat(kPcm, 1, 44100, 16);
    const auto extensible = [](const Bytes& body) { return WaveFile(Cat({RiffChunk("fmt ", body), Data()})); };
    const Row rows[] = {
        {"not RIFF", RiffChunk("RIFX", Cat({Text("WAVE"), Format16(), Data()})), Reason::NotWave, ""},
        {"no fmt", WaveFile(Data()), Reason::NoFormatChunk, ""},
        {"fmt of 14 bytes", WaveFile(Cat({RiffChunk("fmt ", Bytes(fmtBody.begin(), fmtBody.begin() + 14)), Data()})),
         Reason::FormatChunkDamaged, ""},
        {"2 channels", WaveFile(Cat({RiffChunk("fmt ", PlainFormat(kPcm, 2, 44100, 16)), Data()})), Reason::NotMono,
         "2"},
        {"22050 Hz", WaveFile(Cat({Format16(22050), Data()})), Reason::UnsupportedRate, "22050"},
        {"8 bit", WaveFile(Cat({Format16(44100, 8), Data()})), Reason::UnsupportedBits, "8"},
        {"float tag", WaveFile(Cat({RiffChunk("fmt ", PlainFormat(kFloat, 1, 44100, 24)), Data()})),
         Reason::FloatSamples, ""},
        {"compressed tag", WaveFile(Cat({RiffChunk("fmt ", PlainFormat(0x55, 1, 44100, 16)), Data()})),
         Reason::CompressedSamples, "format tag 85"},
        {"extensible, extension of 0", extensible(ExtensibleFormat(1, 44100, 24, 24, 0)), Reason::FormatChunkDamaged,
         ""},
        {"extensible float", extensible(ExtensibleFormat(1, 44100, 24, 24, 22, kFloat)), Reason::FloatSamples, ""},
        {"extensible compressed", extensible(ExtensibleFormat(1, 44100, 16, 16, 22, 0x55)),
         Reason::CompressedSamples, "sub-format 85"},
        {"extensible 24/16", extensible(ExtensibleFormat(1, 44100, 24, 16)), Reason::UnsupportedContainer,
         "16 bits in 24-bit containers"},
        {"no data", WaveFile(Format16()), Reason::NoSampleData, ""},
        {"empty data", WaveFile(Cat({Format16(), Data({})})), Reason::NoSampleData, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CPCWaveFile reader;
        platform::MemorySource source(row.file);
        const auto refusal = reader.ParseHeader(source);
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->id, MessageId::FormatUnknown);
        EXPECT_EQ(refusal->reason, row.reason);
        EXPECT_EQ(refusal->detail, row.detail);
        EXPECT_EQ(Texts(MessagesOfChecks(row.file, "take.wav")),
                  std::vector<std::string>{MessageText(MessageId::FormatUnknown)});
    }
    CPCWaveFile reader;
    platform::MemorySource accepted(WaveFile(Cat({Format16(48000, 24), Data()})));
    ASSERT_FALSE(reader.ParseHeader(accepted));
    EXPECT_EQ(reader.GetSampleRate(), 48000U);
    EXPECT_EQ(reader.GetBitsPerSample(), 24);
}
