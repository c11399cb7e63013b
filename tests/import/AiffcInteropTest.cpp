// AIFF-C files written by sox and libsndfile are accepted with their samples in place;
// libsndfile's little-endian 24 bit has a type of its own and is refused by name.

#include "import/OrvoTrack.h"
#include "tests/import/WaveAiffBuilder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace soundbytes;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

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

        COrvoTrack slot;
        ASSERT_TRUE(slot.SelectReader(path));
        const auto refusal = slot.ReadSourceHeader(path);
        ASSERT_FALSE(refusal) << Explain(*refusal);
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

    COrvoTrack slot;
    ASSERT_TRUE(slot.SelectReader(path));
    const auto refusal = slot.ReadSourceHeader(path);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->reason, Reason::CompressedSamples);
    EXPECT_EQ(refusal->detail.size(), 4U);
    EXPECT_NE(refusal->detail, "sowt");
}
