// Files written by libsndfile and by sox are accepted with the right format and
// with the data offset and size pointing exactly at the samples.

#include "import/OrvoTrack.h"
#include "tests/import/WaveAiffBuilder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdlib>
#include <string>
#include <vector>

using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

constexpr int kFrames = 1000;
constexpr int kIntBits = 32;
constexpr int kByteBits = 8;

enum class Writer { Sndfile, Sox };

struct Case {
    Writer writer;
    const char* name;  // the file's name, which also picks the reader
    int sndfileFormat;  // container for libsndfile; ignored for sox
    std::uint32_t rate;
    int bits;
};

// A sample pattern that uses every byte of the word, as signed values.
std::vector<std::int32_t> Pattern(int bits)
{
    std::vector<std::int32_t> samples(kFrames);
    const std::uint32_t mask = (1U << bits) - 1;
    for (int i = 0; i < kFrames; ++i) {
        const std::uint32_t raw = (static_cast<std::uint32_t>(i) * 2654435761U) & mask;
        samples[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(raw << (kIntBits - bits)) >> (kIntBits - bits);
    }
    return samples;
}

// The samples as the file holds them, in the given byte order.
std::vector<std::uint8_t> Encode(const std::vector<std::int32_t>& samples, int bits, bool bigEndian)
{
    const int bytes = bits / kByteBits;
    std::vector<std::uint8_t> encoded;
    for (const auto sample : samples) {
        for (int b = 0; b < bytes; ++b) {
            const int shift = kByteBits * (bigEndian ? bytes - 1 - b : b);
            encoded.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(sample) >> shift));
        }
    }
    return encoded;
}

void WriteWithSndfile(const std::string& path, const Case& c, const std::vector<std::int32_t>& samples)
{
    SF_INFO info{};
    info.samplerate = static_cast<int>(c.rate);
    info.channels = 1;
    info.format = c.sndfileFormat | (c.bits == 16 ? SF_FORMAT_PCM_16 : SF_FORMAT_PCM_24);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<int> scaled;
    for (const auto sample : samples)
        scaled.push_back(static_cast<int>(static_cast<std::uint32_t>(sample) << (kIntBits - c.bits)));
    ASSERT_EQ(sf_write_int(file, scaled.data(), kFrames), kFrames);
    ASSERT_EQ(sf_close(file), 0);
}

void WriteWithSox(const std::string& path, const Case& c, const std::vector<std::int32_t>& samples,
                  const TempFolder& folder)
{
    const std::string raw = folder.File("source.raw");
    WriteBytes(raw, Encode(samples, c.bits, false));
    const char* sox = std::getenv("WAVELORN_SOX");
    const std::string command = std::string(sox ? sox : "sox") + " -t raw -r " + std::to_string(c.rate) +
                                " -e signed-integer -b " + std::to_string(c.bits) + " -c 1 -L '" + raw + "' '" +
                                path + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

}  // namespace

TEST(WaveAiffInterop, FilesOfOtherProgramsAreAcceptedWithTheirSamplesInPlace)
{
    std::vector<Case> cases;
    for (const std::uint32_t rate : {32000U, 44056U, 44100U, 47952U, 48000U, 88200U, 96000U}) {
        for (const int bits : {16, 24}) {
            cases.push_back({Writer::Sndfile, "take.wav", SF_FORMAT_WAV, rate, bits});
            cases.push_back({Writer::Sndfile, "take.wav", SF_FORMAT_WAVEX, rate, bits});
            cases.push_back({Writer::Sox, "take.WAV", 0, rate, bits});
        }
    }
    for (const std::uint32_t rate : {32000U, 44100U, 48000U}) {
        for (const int bits : {16, 24}) {
            cases.push_back({Writer::Sndfile, "take.aif", SF_FORMAT_AIFF, rate, bits});
            cases.push_back({Writer::Sox, "take.aif", 0, rate, bits});
        }
    }
    for (const auto& c : cases) {
        const std::string what = std::string(c.writer == Writer::Sox ? "sox " : "libsndfile ") + c.name + " " +
                                 std::to_string(c.rate) + " Hz " + std::to_string(c.bits) + " bit";
        TempFolder folder;
        const std::string path = folder.File(c.name);
        const auto samples = Pattern(c.bits);
        if (c.writer == Writer::Sox)
            WriteWithSox(path, c, samples, folder);
        else
            WriteWithSndfile(path, c, samples);

        COrvoTrack slot;
        ASSERT_TRUE(slot.SelectReader(path)) << what;
        ASSERT_FALSE(slot.ReadSourceHeader(path)) << what;
        const CPCSoundFile& reader = *slot.GetReader();
        EXPECT_EQ(reader.GetSampleRate(), c.rate) << what;
        EXPECT_EQ(reader.GetBitsPerSample(), c.bits) << what;
        const auto expected = Encode(samples, c.bits, reader.GetByteOrder() == CPCSoundFile::kBigEndian);
        ASSERT_EQ(reader.GetDataSize(), expected.size()) << what;
        const auto file = ReadBytes(path);
        ASSERT_LE(std::uint64_t{reader.GetDataOffset()} + reader.GetDataSize(), file.size()) << what;
        const auto data = std::vector<std::uint8_t>(file.begin() + reader.GetDataOffset(),
                                                    file.begin() + reader.GetDataOffset() + reader.GetDataSize());
        EXPECT_EQ(data, expected) << what;
        EXPECT_TRUE(soundbytes::MessagesOfChecks(path).empty()) << what;
    }
}
