// Files from our writers read back through libsndfile: same format, frame count
// and samples for both layouts, all widths, one and two channels and all rates.

#include "export/Factory.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <string>
#include <vector>

namespace {

struct InteropCase {
    const char* type;
    std::uint8_t rateCode;
    int hz;
    std::uint8_t wordLength;
    int channels;
};

std::string Describe(const testing::TestParamInfo<InteropCase>& info)
{
    const auto& c = info.param;
    return std::string(c.type) + "_" + std::to_string(c.hz) + "Hz_code" + std::to_string(c.wordLength) + "_" +
           std::to_string(c.channels) + "ch";
}

class SoundFileInterop : public testing::TestWithParam<InteropCase> {};

// A recognisable value for sample `index`, as a signed value of `bits` bits.
std::int32_t SampleValue(int index, int bits)
{
    const std::int32_t span = std::int32_t{1} << (bits - 1);
    return static_cast<std::int32_t>((index * 7919 + 13) % (2 * span)) - span;
}

TEST_P(SoundFileInterop, LibsndfileReadsBackWhatWasWritten)
{
    const auto& c = GetParam();
    constexpr int kFrames = 1000;
    const auto format = FormatOfCodes(c.rateCode, c.wordLength);
    ASSERT_TRUE(format);
    testsupport::TempFolder folder;
    const std::string path = folder.File("out");
    auto writer = FindSoundFileType(c.type)->makeFactory()->CreateSoundFile(path, *format, c.channels);
    ASSERT_TRUE(writer);
    const int width = writer->GetBytesPerSample();
    const int bits = width * 8;

    // Samples as the track reader delivers them: most significant byte first.
    const int samples = kFrames * c.channels;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(samples * width));
    for (int i = 0; i < samples; ++i) {
        const auto value = static_cast<std::uint32_t>(SampleValue(i, bits));
        for (int b = 0; b < width; ++b)
            data[static_cast<std::size_t>(i * width + b)] = static_cast<std::uint8_t>(value >> (8 * (width - 1 - b)));
    }
    ASSERT_TRUE(writer->OpenFile());
    ASSERT_TRUE(writer->WriteHeader(0));
    writer->ConvertSample(data.data(), data.data(), data.size());
    ASSERT_TRUE(writer->WriteData(data.size(), data.data()));
    ASSERT_TRUE(writer->WriteHeader(data.size()));
    ASSERT_TRUE(writer->CloseFile());

    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    const int major = std::string(c.type) == "WAVE" ? SF_FORMAT_WAV : SF_FORMAT_AIFF;
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, major);
    EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, width == 2 ? SF_FORMAT_PCM_16 : SF_FORMAT_PCM_24);
    EXPECT_EQ(info.frames, kFrames);
    EXPECT_EQ(info.channels, c.channels);
    EXPECT_EQ(info.samplerate, c.hz);
    std::vector<int> read(static_cast<std::size_t>(samples));
    EXPECT_EQ(sf_read_int(file, read.data(), samples), samples);
    sf_close(file);
    for (int i = 0; i < samples; ++i)
        ASSERT_EQ(read[static_cast<std::size_t>(i)], SampleValue(i, bits) * (1 << (32 - bits))) << "sample " << i;
}

std::vector<InteropCase> AllCases()
{
    std::vector<InteropCase> cases;
    const std::pair<std::uint8_t, int> rates[] = {{kRate32000, 32000}, {kRate44100, 44100}, {kRate48000, 48000}};
    for (const char* type : {"WAVE", "AIFF"}) {
        for (const auto& [code, hz] : rates) {
            for (std::uint8_t width : {kWordLength16, kWordLength20, kWordLength24}) {
                for (int channels : {1, 2})
                    cases.push_back({type, code, hz, width, channels});
            }
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(AllFormats, SoundFileInterop, testing::ValuesIn(AllCases()), Describe);

}  // namespace
