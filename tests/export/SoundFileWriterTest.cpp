// The WAVE and AIFF writers: header bytes, format fields, sample order, the
// length limits, file handling and failing writes.

#include "export/AIFFFile.h"
#include "export/ChannelType.h"
#include "export/Factory.h"
#include "export/WaveFile.h"
#include "platform/Endian.h"
#include "recorder/Errors.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using testsupport::ReadBytes;
using testsupport::TempFolder;

sobinder Project(std::uint8_t rateCode, std::uint8_t wordLengthCode)
{
    sobinder record{};
    record.sampleRate = rateCode;
    record.wordLength = wordLengthCode;
    return record;
}

std::unique_ptr<CSndFormFile> Create(const std::string& type, const std::string& path, const sobinder& record,
                                     int channels)
{
    const auto format = ExportFormatOf(record);
    return format ? FindSoundFileType(type)->makeFactory()->CreateSoundFile(path, *format, channels) : nullptr;
}

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t count)
{
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

Bytes HeaderOf(const std::string& type, const sobinder& record, int channels, std::uint64_t dataBytes)
{
    TempFolder folder;
    auto writer = Create(type, folder.File("out"), record, channels);
    EXPECT_TRUE(writer->OpenFile());
    EXPECT_TRUE(writer->WriteHeader(dataBytes));
    EXPECT_TRUE(writer->CloseFile());
    return ReadBytes(folder.File("out"));
}

TEST(WaveHeader, PinsEveryByteForEmptyAndFilledData)
{
    const Bytes empty = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                         16, 0, 0, 0, 1, 0, 1, 0, 0x44, 0xAC, 0, 0, 0x88, 0x58, 0x01, 0,
                         2, 0, 16, 0, 'd', 'a', 't', 'a', 0, 0, 0, 0};
    EXPECT_EQ(HeaderOf("WAVE", Project(kRate44100, kWordLength16), 1, 0), empty);

    const Bytes filled = {'R', 'I', 'F', 'F', 0x24, 0xF0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                          16, 0, 0, 0, 1, 0, 2, 0, 0x80, 0xBB, 0, 0, 0x00, 0x65, 0x04, 0,
                          6, 0, 24, 0, 'd', 'a', 't', 'a', 0x00, 0xF0, 0, 0};
    EXPECT_EQ(HeaderOf("WAVE", Project(kRate48000, kWordLength24), 2, 61440), filled);
}

TEST(AiffHeader, PinsEveryByteForEmptyAndFilledData)
{
    const Bytes empty = {'F', 'O', 'R', 'M', 0, 0, 0, 46, 'A', 'I', 'F', 'F', 'C', 'O', 'M', 'M',
                         0, 0, 0, 18, 0, 1, 0, 0, 0, 0, 0, 16, 0x40, 0x0E, 0xAC, 0x44,
                         0, 0, 0, 0, 0, 0, 'S', 'S', 'N', 'D', 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(HeaderOf("AIFF", Project(kRate44100, kWordLength16), 1, 0), empty);

    // 2 channels of 24 bit, 61440 bytes: 10240 frames, SSND length 61448.
    const Bytes filled = {'F', 'O', 'R', 'M', 0, 0, 0xF0, 0x2E, 'A', 'I', 'F', 'F', 'C', 'O', 'M', 'M',
                          0, 0, 0, 18, 0, 2, 0, 0, 0x28, 0x00, 0, 24, 0x40, 0x0E, 0xBB, 0x80,
                          0, 0, 0, 0, 0, 0, 'S', 'S', 'N', 'D', 0, 0, 0xF0, 0x08, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(HeaderOf("AIFF", Project(kRate48000, kWordLength24), 2, 61440), filled);
}

TEST(WaveHeader, FormatFieldsFollowRateWidthAndChannels)
{
    struct Case {
        std::uint8_t rate, width;
        int channels;
        std::uint32_t hz, bytesPerSecond;
        std::uint16_t blockAlign, bits;
    };
    const Case cases[] = {
        {kRate44100, kWordLength16, 1, 44100, 88200, 2, 16},
        {kRate48000, kWordLength24, 2, 48000, 288000, 6, 24},
        {kRate32000, kWordLength20, 1, 32000, 96000, 3, 24},
        {kRate32000, kWordLength16, 2, 32000, 128000, 4, 16},
        {kRate44100, kWordLength20, 2, 44100, 264600, 6, 24},
        {kRate48000, kWordLength16, 8, 48000, 768000, 16, 16},
    };
    const auto le32 = [](const Bytes& b, std::size_t at) {
        return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]} << 16 |
               std::uint32_t{b[at + 3]} << 24;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "rate " << c.hz << " channels " << c.channels);
        const Bytes header = HeaderOf("WAVE", Project(c.rate, c.width), c.channels, 0);
        EXPECT_EQ(header[22], c.channels);
        EXPECT_EQ(le32(header, 24), c.hz);
        EXPECT_EQ(le32(header, 28), c.bytesPerSecond);
        EXPECT_EQ(header[32], c.blockAlign);
        EXPECT_EQ(header[34], c.bits);
    }
}

TEST(AiffHeader, RateBytesAndWidthFollowTheCodes)
{
    struct Case {
        std::uint8_t rate, width;
        Bytes rateBytes;
        std::uint8_t bits;
    };
    const Case cases[] = {
        {kRate32000, kWordLength16, {0x40, 0x0D, 0xFA, 0x00, 0, 0, 0, 0, 0, 0}, 16},
        {kRate44100, kWordLength20, {0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}, 24},
        {kRate48000, kWordLength24, {0x40, 0x0E, 0xBB, 0x80, 0, 0, 0, 0, 0, 0}, 24},
    };
    for (const auto& c : cases) {
        const Bytes header = HeaderOf("AIFF", Project(c.rate, c.width), 1, 0);
        EXPECT_EQ(Slice(header, 28, 10), c.rateBytes);
        EXPECT_EQ(header[27], c.bits);
    }
}

TEST(AiffHeader, FrameCountDividesByWidthThenChannels)
{
    struct Case {
        std::uint8_t width;
        int channels;
        std::uint64_t dataBytes;
        Bytes frames;
    };
    const Case cases[] = {
        {kWordLength24, 2, 61440, {0, 0, 0x28, 0x00}},
        {kWordLength16, 1, 20480, {0, 0, 0x28, 0x00}},
        {kWordLength20, 1, 30720, {0, 0, 0x28, 0x00}},
        {kWordLength16, 3, 14, {0, 0, 0, 2}},  // partial frames are dropped
    };
    for (const auto& c : cases)
        EXPECT_EQ(Slice(HeaderOf("AIFF", Project(kRate48000, c.width), c.channels, c.dataBytes), 22, 4), c.frames);
}

TEST(SoundFileWriter, ConvertSamplePutsBytesInTheFilesOrder)
{
    struct Case {
        const char* type;
        std::uint8_t width;
        Bytes in, out;
    };
    const Case cases[] = {
        {"WAVE", kWordLength16, {0x12, 0x34}, {0x34, 0x12}},
        {"WAVE", kWordLength24, {0x12, 0x34, 0x56}, {0x56, 0x34, 0x12}},
        {"WAVE", kWordLength20, {0x12, 0x34, 0x50}, {0x50, 0x34, 0x12}},
        {"WAVE", kWordLength16, {1, 2, 3, 4, 5, 6}, {2, 1, 4, 3, 6, 5}},
        {"WAVE", kWordLength24, {1, 2, 3, 4, 5, 6}, {3, 2, 1, 6, 5, 4}},
        {"AIFF", kWordLength16, {0x12, 0x34}, {0x12, 0x34}},
        {"AIFF", kWordLength24, {0x12, 0x34, 0x56}, {0x12, 0x34, 0x56}},
    };
    for (const auto& c : cases) {
        auto writer = Create(c.type, "unused", Project(kRate48000, c.width), 1);
        Bytes separate(c.in.size());
        EXPECT_EQ(writer->ConvertSample(c.in.data(), separate.data(), c.in.size()), c.in.size());
        EXPECT_EQ(separate, c.out) << c.type;
        Bytes inPlace = c.in;
        writer->ConvertSample(inPlace.data(), inPlace.data(), inPlace.size());
        EXPECT_EQ(inPlace, c.out) << c.type << " in place";
    }
}

TEST(SoundFileWriter, WaveConversionReversesEverySampleOfLongBuffers)
{
    // Buffers of many samples go through in blocks with a tail; every sample must
    // come out reversed, separately and in place, with nothing beyond it touched.
    struct Case {
        std::uint8_t width;
        std::size_t bytesPerSample;
        std::size_t samples;
    };
    const Case cases[] = {
        {kWordLength24, 3, 7},  {kWordLength24, 3, 8},  {kWordLength24, 3, 9},     {kWordLength24, 3, 16},
        {kWordLength24, 3, 23}, {kWordLength20, 3, 10240}, {kWordLength16, 2, 9}, {kWordLength16, 2, 10240},
    };
    constexpr std::uint8_t kGuard = 0xA5;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bytesPerSample << " bytes x " << c.samples);
        auto writer = Create("WAVE", "unused", Project(kRate48000, c.width), 1);
        const std::size_t size = c.bytesPerSample * c.samples;
        Bytes in(size);
        for (std::size_t i = 0; i < size; ++i)
            in[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
        Bytes expected = in;
        for (std::size_t at = 0; at < size; at += c.bytesPerSample)
            std::reverse(expected.begin() + static_cast<std::ptrdiff_t>(at),
                         expected.begin() + static_cast<std::ptrdiff_t>(at + c.bytesPerSample));
        Bytes separate(size + 1, kGuard);
        writer->ConvertSample(in.data(), separate.data(), size);
        EXPECT_EQ(Slice(separate, 0, size), expected);
        EXPECT_EQ(separate[size], kGuard);
        Bytes inPlace = in;
        writer->ConvertSample(inPlace.data(), inPlace.data(), size);
        EXPECT_EQ(inPlace, expected);
    }
}

TEST(SoundFileWriter, ReverseBytesReversesAnyLength)
{
    const std::vector<std::pair<Bytes, Bytes>> cases = {
        {{}, {}}, {{1}, {1}}, {{1, 2}, {2, 1}}, {{1, 2, 3}, {3, 2, 1}}, {{1, 2, 3, 4}, {4, 3, 2, 1}}};
    for (auto [in, out] : cases) {
        CSndFormFile::ReverseBytes(in.data(), in.size());
        EXPECT_EQ(in, out);
    }
}

TEST(SoundFileWriter, SecondHeaderKeepsDataAndSizeAndOpenEmptiesOldFile)
{
    for (const char* type : {"WAVE", "AIFF"}) {
        TempFolder folder;
        const std::string path = folder.File("out");
        testsupport::WriteBytes(path, Bytes(1000, 0xEE));
        auto writer = Create(type, path, Project(kRate44100, kWordLength16), 1);
        ASSERT_TRUE(writer->OpenFile());
        ASSERT_TRUE(writer->WriteHeader(0));
        const Bytes data = {1, 2, 3, 4, 5, 6};
        ASSERT_TRUE(writer->WriteData(data.size(), data.data()));
        const Bytes first = ReadBytes(path);
        ASSERT_TRUE(writer->WriteHeader(data.size()));
        ASSERT_TRUE(writer->CloseFile());
        const Bytes bytes = ReadBytes(path);
        const std::size_t header = std::string(type) == "WAVE" ? CWaveFile::kHeaderSize : CAIFFFile::kHeaderSize;
        ASSERT_EQ(bytes.size(), header + data.size()) << type;
        EXPECT_EQ(Slice(bytes, header, data.size()), data) << type;
    }
}

TEST(SoundFileWriter, LengthLimitsKeepTheHeaderFieldsInThirtyTwoBits)
{
    struct Case {
        const char* type;
        std::uint64_t max;
    };
    for (const Case c : {Case{"WAVE", 4294967259u}, Case{"AIFF", 4294967249u}}) {
        TempFolder folder;
        auto writer = Create(c.type, folder.File("out"), Project(kRate48000, kWordLength24), 1);
        EXPECT_EQ(writer->MaxDataBytes(), c.max) << c.type;
        EXPECT_TRUE(writer->CanHold(c.max));
        EXPECT_FALSE(writer->CanHold(c.max + 1));
        ASSERT_TRUE(writer->OpenFile());
        EXPECT_TRUE(writer->WriteHeader(c.max));
        EXPECT_FALSE(writer->WriteHeader(c.max + 1)) << c.type;
    }
}

TEST(SoundFileWriter, ChunkThatWouldOutgrowTheHeaderIsNotWritten)
{
    TempFolder folder;
    const std::string path = folder.File("out.wav");
    auto writer = Create("WAVE", path, Project(kRate48000, kWordLength24), 1);
    ASSERT_TRUE(writer->OpenFile());
    const std::vector<std::uint8_t> chunk(30720, 7);
    std::uint64_t written = writer->MaxDataBytes() - chunk.size();
    EXPECT_NO_THROW(CChannelType::AppendChunk(*writer, chunk, written));
    EXPECT_EQ(written, writer->MaxDataBytes());
    EXPECT_THROW(CChannelType::AppendChunk(*writer, chunk, written), ExportError);
    EXPECT_EQ(written, writer->MaxDataBytes());
    ASSERT_TRUE(writer->CloseFile());
    EXPECT_EQ(std::filesystem::file_size(path), chunk.size());
}

TEST(SoundFileWriter, FailuresAreReportedAsFalse)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.File("in the way.wav"));
    for (const char* type : {"WAVE", "AIFF"}) {
        auto blocked = Create(type, folder.File("in the way.wav"), Project(kRate48000, kWordLength16), 1);
        EXPECT_FALSE(blocked->OpenFile()) << type;
        EXPECT_FALSE(blocked->WriteHeader(0)) << type;
        EXPECT_TRUE(blocked->CloseFile()) << "nothing open, nothing to fail";

        auto missingFolder = Create(type, folder.File("none/out.wav"), Project(kRate48000, kWordLength16), 1);
        EXPECT_FALSE(missingFolder->OpenFile()) << type;

#ifndef _WIN32  // /dev/full; ExportFaults fails every output operation of a run everywhere
        // A full device takes the buffered writes; the loss shows at close.
        auto full = Create(type, "/dev/full", Project(kRate48000, kWordLength16), 1);
        ASSERT_TRUE(full->OpenFile());
        const Bytes data(64, 1);
        full->WriteHeader(0);
        full->WriteData(data.size(), data.data());
        EXPECT_FALSE(full->CloseFile()) << type;
#endif
    }
}

TEST(SoundFileFactory, RefusesUnknownFormatsAndChannelCounts)
{
    struct Case {
        std::uint8_t rate, width;
        int channels;
        bool created;
    };
    const Case cases[] = {
        {kRate32000, kWordLength16, 1, true}, {kRate48000, kWordLength24, 65535, true},
        {0, kWordLength16, 1, false},         {4, kWordLength16, 1, false},
        {kRate48000, 3, 1, false},            {kRate48000, 0xFF, 1, false},
        {kRate48000, kWordLength16, 0, false}, {kRate48000, kWordLength16, 65536, false},
    };
    for (const char* type : {"WAVE", "AIFF"}) {
        for (const auto& c : cases) {
            EXPECT_EQ(Create(type, "x", Project(c.rate, c.width), c.channels) != nullptr, c.created)
                << type << " rate " << int{c.rate} << " width " << int{c.width} << " channels " << c.channels;
        }
    }
}

TEST(SoundFileFactory, TypeNamesAreExactAndCarryTheirDialogTexts)
{
    struct Case {
        const char* name;
        const char* extension;
        const char* filter;
    };
    const Case known[] = {
        {"WAVE", ".wav", "WAVE File (*.wav)| *.wav|All Files (*.*)|*.*||"},
        {"AIFF", ".aif", "AIFF File (*.aif)| *.aif|All Files (*.*)|*.*||"},
    };
    for (const auto& c : known) {
        const SoundFileType* type = FindSoundFileType(c.name);
        ASSERT_NE(type, nullptr) << c.name;
        EXPECT_STREQ(type->defaultExtension, c.extension);
        EXPECT_STREQ(type->filter, c.filter);
    }
    EXPECT_NE(dynamic_cast<CWaveFile*>(Create("WAVE", "x", Project(kRate48000, kWordLength16), 1).get()), nullptr);
    EXPECT_NE(dynamic_cast<CAIFFFile*>(Create("AIFF", "x", Project(kRate48000, kWordLength16), 1).get()), nullptr);
    for (const char* unknown : {"wave", "Wave", "WAV", "AIFF ", "", "MP3"})
        EXPECT_EQ(FindSoundFileType(unknown), nullptr) << unknown;
}

TEST(SoundFileWriter, ExtendedRateWordCoversRatesAroundPowersOfTwo)
{
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {32000, 0x400DFA00}, {44100, 0x400EAC44}, {48000, 0x400EBB80},
        {32768, 0x400E8000}, {8000, 0x400BFA00},  {1, 0x3FFF8000},
    };
    for (const auto& [hz, word] : cases)
        EXPECT_EQ(endian::ExtendedHead(hz), word) << hz;
}

}  // namespace
