// Import sound files, let the recorder take the new project over, export it again
// and compare: the samples come back identical where the regions hold sound and
// as silence elsewhere.

#include "tests/cli/CliRunner.h"
#include "tests/cli/SoundCheck.h"
#include "tests/support/RecorderTakeover.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>

using testsupport::RunCli;
using testsupport::TempFolder;

namespace {

constexpr int kFullScaleBits = 32;

// Samples of `bits` width: silence, then a tone with noise in the lowest bits (so
// every bit of every sample is checked), then silence again.
std::vector<std::int32_t> TestSignal(int bits, int rate, std::uint32_t seed)
{
    const double amplitude = 0.4 * std::ldexp(1.0, bits - 1);
    std::vector<std::int32_t> samples(static_cast<std::size_t>(rate) * 2, 0);
    std::uint32_t state = seed;
    for (std::size_t i = samples.size() / 4; i < samples.size() * 3 / 4; ++i) {
        state = state * 1664525u + 1013904223u;
        const auto noise = static_cast<std::int32_t>(state >> 28) - 8;
        samples[i] = static_cast<std::int32_t>(std::lround(amplitude * std::sin(i * 0.05))) + noise;
    }
    return samples;
}

void WriteSource(const std::string& path, int format, int rate, int bits,
                         const std::vector<std::int32_t>& samples)
{
    std::vector<int> scaled;
    for (auto value : samples)
        scaled.push_back(static_cast<int>(static_cast<std::uint32_t>(value) << (kFullScaleBits - bits)));
    ASSERT_NO_THROW(testsupport::WriteSound(path, format, rate, 1, scaled));
}

// Appends `value` in `bytes` bytes, least significant first or last.
void Put(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes, bool bigEndian)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * (bigEndian ? bytes - 1 - i : i))));
}

void PutText(std::vector<std::uint8_t>& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
}

// The rate as an 80-bit extended number: sign and exponent, then a 64-bit mantissa.
void PutExtended(std::vector<std::uint8_t>& out, int rate)
{
    constexpr int kExponentBias = 16383;
    constexpr int kMantissaTop = 63;
    const int exponent = static_cast<int>(std::floor(std::log2(rate)));
    Put(out, static_cast<std::uint64_t>(kExponentBias + exponent), 2, true);
    Put(out, static_cast<std::uint64_t>(rate) << (kMantissaTop - exponent), 8, true);
}

// A mono file with 20 valid bits in 3-byte containers (libsndfile writes none):
// plain PCM WAVE, or AIFF with a sample size of 20.
void WriteTwentyBitFile(const std::string& path, int rate, const std::vector<std::int32_t>& samples, bool aiff)
{
    constexpr int kBytes = 3;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * kBytes);
    std::vector<std::uint8_t> file;
    if (aiff) {
        PutText(file, "FORM");
        Put(file, 46 + dataBytes, 4, true);
        PutText(file, "AIFFCOMM");
        Put(file, 18, 4, true);
        Put(file, 1, 2, true);
        Put(file, samples.size(), 4, true);
        Put(file, 20, 2, true);
        PutExtended(file, rate);
        PutText(file, "SSND");
        Put(file, dataBytes + 8, 4, true);
        Put(file, 0, 8, true);  // offset and block size
    } else {
        PutText(file, "RIFF");
        Put(file, 36 + dataBytes, 4, false);
        PutText(file, "WAVEfmt ");
        Put(file, 16, 4, false);
        Put(file, 1, 2, false);
        Put(file, 1, 2, false);
        Put(file, static_cast<std::uint32_t>(rate), 4, false);
        Put(file, static_cast<std::uint32_t>(rate * kBytes), 4, false);
        Put(file, kBytes, 2, false);
        Put(file, 20, 2, false);
        PutText(file, "data");
        Put(file, dataBytes, 4, false);
    }
    for (auto value : samples)
        Put(file, (static_cast<std::uint32_t>(value) << 4) & 0xFFFFFF, kBytes, aiff);
    testsupport::WriteBytes(path, file);
}

struct RoundTripCase {
    const char* name;
    int bits;
    int rate;
    int format;  // libsndfile format; 0 for the hand-made 20-bit files
};

void PrintTo(const RoundTripCase& c, std::ostream* out)
{
    *out << c.name;
}

}  // namespace

class CliRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(CliRoundTrip, ExportedSamplesEqualTheImportedOnes)
{
    const RoundTripCase& c = GetParam();
    TempFolder disk;
    TempFolder sources;
    ASSERT_EQ(RunCli({"demo", disk.Path()}).exitStatus, 0);

    const auto signal = TestSignal(c.bits, c.rate, 7);
    const std::string source = sources.File(c.name);
    if (c.format == 0)
        WriteTwentyBitFile(source, c.rate, signal, std::string(c.name).ends_with(".aif"));
    else
        WriteSource(source, c.format, c.rate, c.bits, signal);

    const auto imported = RunCli({"import", disk.Path(), "--name", "Trip", source, "-", source});
    ASSERT_EQ(imported.exitStatus, 0) << imported.err;
    const auto project = testsupport::ReadLastProject(disk.Path());
    EXPECT_EQ(project.wordLength, (c.bits - 16) / 4);  // 16, 20, 24 bit: codes 0, 1, 2
    testsupport::TakeOver(disk.Path(), project);

    const auto exported = RunCli({"export", disk.Path(), "--project", "4", "--tracks", "1,3", "--out",
                                  sources.File("back.wav")});
    ASSERT_EQ(exported.exitStatus, 0) << exported.err;

    const int containerBits = c.bits == 16 ? 16 : 24;
    const int shift = c.bits == 20 ? 4 : 0;  // 20-bit samples come back left-justified in 24 bits
    for (const char* name : {"back11.wav", "back31.wav"}) {
        const auto back = testsupport::ReadSound(sources.File(name));
        ASSERT_EQ(back.rate, c.rate);
        const auto& samples = back.channelSamples[0];
        ASSERT_GE(samples.size(), signal.size()) << name;
        std::size_t mismatches = 0;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const std::int32_t expected = i < signal.size() ? signal[i] << shift : 0;
            mismatches += (samples[i] >> (kFullScaleBits - containerBits)) != expected;
        }
        EXPECT_EQ(mismatches, 0u) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sources, CliRoundTrip,
    testing::Values(RoundTripCase{"wave16.wav", 16, 44100, testsupport::kSoundWav | testsupport::kSoundPcm16},
                    RoundTripCase{"wave24.wav", 24, 48000, testsupport::kSoundWav | testsupport::kSoundPcm24},
                    RoundTripCase{"wave20.wav", 20, 32000, 0},
                    RoundTripCase{"aiff16.aif", 16, 32000, testsupport::kSoundAiff | testsupport::kSoundPcm16},
                    RoundTripCase{"aiff20.aif", 20, 48000, 0},
                    RoundTripCase{"aiff24.aif", 24, 44100, testsupport::kSoundAiff | testsupport::kSoundPcm24}),
    [](const testing::TestParamInfo<RoundTripCase>& info) {
        std::string name = info.param.name;
        return name.substr(0, name.find('.'));
    });
