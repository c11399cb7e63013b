#include "tests/cli/CliRunner.h"
#include "tests/cli/SoundCheck.h"
#include "tests/support/TempFolder.h"
#include "recorder/TrackFile.h"
#include "tools/diskwriter/DiskWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using testsupport::Lines;
using testsupport::ReadSound;
using testsupport::RunCli;
using testsupport::SoundingSpan;
using testsupport::TempFolder;
using testsupport::ToneFrequency;

namespace {

constexpr double kFrequencyTolerance = 1.0;  // Hz

class CliExport : public testsupport::DemoDiskTest {
protected:
    void ExpectTone(const std::vector<std::int32_t>& samples, int rate, double frequency)
    {
        const auto [begin, end] = SoundingSpan(samples);
        ASSERT_LT(begin, end);
        EXPECT_NEAR(ToneFrequency(samples, rate, begin, end), frequency, kFrequencyTolerance);
    }
};

}  // namespace

TEST_F(CliExport, MonoWritesOneFilePerTrackWithItsTone)
{
    const auto result = RunCli({"export", Disk(), "--project", "1", "--tracks", "2:2,1", "--out", Out("take")});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(Lines(result.out), (std::vector<std::string>{Out("take11.wav"), Out("take22.wav")}));
    EXPECT_EQ(result.err, "Convert succeeded.\n");

    const auto track1 = ReadSound(Out("take11.wav"));
    EXPECT_EQ(track1.rate, 44100);
    EXPECT_EQ(track1.channels, 1);
    EXPECT_EQ(track1.format, testsupport::kSoundWav | testsupport::kSoundPcm16);
    ExpectTone(track1.channelSamples[0], 44100, 440.0);
    ExpectTone(ReadSound(Out("take22.wav")).channelSamples[0], 44100, 880.0);
}

TEST_F(CliExport, GapBetweenSegmentsIsSilence)
{
    ASSERT_EQ(RunCli({"export", Disk(), "--project", "01", "--tracks", "2", "--out", Out("gap.wav")}).exitStatus, 0);
    const auto samples = ReadSound(Out("gap21.wav")).channelSamples[0];
    const auto silent = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            if (samples[i] != 0)
                return false;
        }
        return true;
    };
    // Segments lie on whole groups of 8 samples: allow one group at each edge.
    constexpr std::size_t kGroup = 8;
    EXPECT_FALSE(silent(0, 44100));
    EXPECT_TRUE(silent(44100 + kGroup, 66150 - kGroup));
    EXPECT_FALSE(silent(66150, 110250));
    ExpectTone({samples.begin() + 66150 + kGroup, samples.begin() + 110250}, 44100, 660.0);
}

TEST_F(CliExport, StereoPutsTheLowerTrackOnChannelOne)
{
    const auto result =
        RunCli({"export", Disk(), "--project", "3", "--tracks", "3,1", "--stereo", "--out", Out("mix.wav")});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(Lines(result.out), (std::vector<std::string>{Out("mix.wav")}));
    const auto mix = ReadSound(Out("mix.wav"));
    EXPECT_EQ(mix.rate, 48000);
    EXPECT_EQ(mix.channels, 2);
    EXPECT_EQ(mix.format, testsupport::kSoundWav | testsupport::kSoundPcm24);
    ExpectTone(mix.channelSamples[0], 48000, 220.0);
    ExpectTone(mix.channelSamples[1], 48000, 330.0);
}

TEST_F(CliExport, AiffOfTwentyBitsStartsWhereTheLeadInPutsIt)
{
    const auto result =
        RunCli({"export", Disk(), "--project", "2", "--tracks", "1", "--type", "AIFF", "--out", Out("take")});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(Lines(result.out), (std::vector<std::string>{Out("take11.aif")}));
    const auto take = ReadSound(Out("take11.aif"));
    EXPECT_EQ(take.rate, 32000);
    EXPECT_EQ(take.format, testsupport::kSoundAiff | testsupport::kSoundPcm24);
    const auto [begin, end] = SoundingSpan(take.channelSamples[0]);
    EXPECT_NEAR(static_cast<double>(begin), 8000.0, 2.0);  // 0.25 s at 32 kHz
    EXPECT_NEAR(static_cast<double>(end), 64000.0, 2.0);   // 2.0 s
    ExpectTone(take.channelSamples[0], 32000, 1000.0);
}

TEST_F(CliExport, ExistingFilesAreReplacedOnlyWithYes)
{
    testsupport::WriteBytes(Out("take11.wav"), {'o', 'l', 'd'});
    const auto asked = RunCli({"export", Disk(), "--project", "1", "--tracks", "1", "--out", Out("take.wav")});
    EXPECT_EQ(asked.exitStatus, 1);
    EXPECT_EQ(asked.out, "");
    EXPECT_EQ(asked.err, "Convert failed.\nwavelorn-cli: " + Out("take11.wav") + " exists; --yes replaces it\n");
    EXPECT_EQ(testsupport::ReadBytes(Out("take11.wav")), (std::vector<std::uint8_t>{'o', 'l', 'd'}));

    const auto replaced =
        RunCli({"export", Disk(), "--project", "1", "--tracks", "1", "--out", Out("take.wav"), "--yes"});
    EXPECT_EQ(replaced.exitStatus, 0) << replaced.err;
    EXPECT_EQ(replaced.err, "Convert succeeded.\n");
    EXPECT_GT(std::filesystem::file_size(Out("take11.wav")), 44u);

    testsupport::WriteBytes(Out("mix.wav"), {'o', 'l', 'd'});
    const auto stereo = RunCli({"export", Disk(), "--project", "1", "--tracks", "1", "--stereo", "--out", Out("mix.wav")});
    EXPECT_EQ(stereo.exitStatus, 1);
    EXPECT_EQ(stereo.err, "wavelorn-cli: warning: --stereo with one track writes a mono file\nConvert failed.\n"
                          "wavelorn-cli: " + Out("mix.wav") + " exists; --yes replaces it\n");
    EXPECT_EQ(testsupport::ReadBytes(Out("mix.wav")), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
}

TEST_F(CliExport, RunsThatFailReportConvertFailed)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string reason;
    };
    const Case cases[] = {
        {{"--project", "1", "--tracks", "5", "--out", Out("none.wav")},  // nothing recorded
         "track 5 (virtual track 1) has no recording on this disk"},
        {{"--project", "1", "--tracks", "1", "--out", Out("missing/take.wav")},  // no such folder
         Out("missing/take11.wav") + ": the output folder does not exist"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"export", Disk()};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const auto result = RunCli(arguments);
        EXPECT_EQ(result.exitStatus, 1) << c.arguments[3];
        EXPECT_EQ(result.err, "Convert failed.\nwavelorn-cli: " + c.reason + "\n") << c.arguments[3];
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(CliExport, BadArgumentsAreUsageErrors)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--project", "1", "--tracks", "9", "--out", Out("x.wav")},
        {"--project", "1", "--tracks", "1,1", "--out", Out("x.wav")},
        {"--project", "1", "--tracks", "1,2,3", "--stereo", "--out", Out("x.wav")},
        {"--project", "1", "--tracks", "1", "--type", "wav", "--out", Out("x.wav")},
        {"--project", "1", "--tracks", "1", "--type", "AIFF", "--out", Out("x.flac")},
        {"--project", "9", "--tracks", "1", "--out", Out("x.wav")},
        {"--project", "x", "--tracks", "1", "--out", Out("x.wav")},
        {"--project", "1", "--tracks", "1"},
    };
    for (const auto& arguments : cases) {
        std::vector<std::string> command = {"export", Disk()};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const auto result = RunCli(command);
        EXPECT_EQ(result.exitStatus, 2) << arguments[3];
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(RunCli({"export", Out("nowhere"), "--project", "1", "--tracks", "1", "--out", Out("x.wav")}).exitStatus,
              2);
    EXPECT_FALSE(std::filesystem::exists(Out("x11.wav")));
}

#ifdef WAVELORN_TEST_SNDFILE  // FLAC is written and read through libsndfile

TEST_F(CliExport, FlacAsksOnlyAboutItsOwnNameAndFailsAsTheOthers)
{
    // take11.mp3 is not take11.flac; TAKE11.FLAC is, however long its extension.
    testsupport::WriteBytes(Out("take11.mp3"), {'o', 'l', 'd'});
    const auto beside = RunCli({"export", Disk(), "--project", "1", "--tracks", "1", "--out", Out("take.flac")});
    EXPECT_EQ(beside.exitStatus, 0) << beside.err;
    EXPECT_EQ(beside.err, "Convert succeeded.\n");
    EXPECT_EQ(beside.out, Out("take11.flac") + "\n");
    const auto again = RunCli({"export", Disk(), "--project", "1", "--tracks", "1", "--out", Out("TAKE.FLAC")});
    EXPECT_EQ(again.exitStatus, 1);
    EXPECT_EQ(again.err, "Convert failed.\nwavelorn-cli: " + Out("take11.flac") + " exists; --yes replaces it\n");

    // The FLAC writer's output file fails as every other writer's does.
    const auto missing = RunCli({"export", Disk(), "--project", "1", "--tracks", "1", "--out", Out("no/take.flac")});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.err, "Convert failed.\nwavelorn-cli: " + Out("no/take11.flac") + ": the output folder does not exist\n");
}

// A project of each word length with two tracks of samples over the whole range of
// their width, exported as WAVE and as FLAC, mono and stereo.
TEST(CliExportFlac, HoldsExactlyTheSamplesOfTheWaveExport)
{
    struct Case {
        std::uint8_t wordLength;
        unsigned bits;       // of the project's samples
        int flacFormat;      // 20-bit projects are written as 24-bit files
    };
    const Case cases[] = {
        {kWordLength16, 16, testsupport::kSoundFlac | testsupport::kSoundPcm16},
        {kWordLength20, 20, testsupport::kSoundFlac | testsupport::kSoundPcm24},
        {kWordLength24, 24, testsupport::kSoundFlac | testsupport::kSoundPcm24},
    };
    constexpr std::uint32_t kGroups = 600;
    constexpr std::uint64_t kSamples = std::uint64_t{kGroups} * kSamplesPerGroup;
    constexpr std::uint32_t kSpread = 2654435761U;  // scatters consecutive indexes over 32 bits
    constexpr unsigned kWordBits = 32;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        TempFolder disk;
        TempFolder out;
        diskwriter::Disk description;
        auto& project = description.AddProject({.slot = 2, .number = 1, .name = "Range", .wordLength = c.wordLength});
        for (int track = 1; track <= 2; ++track) {
            project.AddSegment({.track = track,
                                .lengthGroups = kGroups,
                                .generator = [&c, track](std::uint64_t index) {
                                    const auto word = static_cast<std::uint32_t>(index + track) * kSpread;
                                    return static_cast<std::int32_t>(word) >> (kWordBits - c.bits);
                                },
                                .generatedSamples = kSamples});
        }
        description.Write(disk.Path());
        for (const bool stereo : {false, true}) {
            SCOPED_TRACE(stereo ? "stereo" : "mono");
            std::vector<std::string> paths;
            for (const char* type : {"WAVE", "FLAC"}) {
                std::vector<std::string> arguments = {"export", disk.Path(), "--project", "1", "--tracks", "1,2",
                                                      "--type", type, "--out", out.File(std::string("t_") + type)};
                if (stereo)
                    arguments.push_back("--stereo");
                const auto result = RunCli(arguments);
                ASSERT_EQ(result.exitStatus, 0) << result.err;
                for (const auto& line : Lines(result.out))
                    paths.push_back(line);
            }
            const std::size_t files = stereo ? 1 : 2;
            ASSERT_EQ(paths.size(), 2 * files);
            for (std::size_t i = 0; i < files; ++i) {
                const auto wave = ReadSound(paths[i]);
                const auto flac = ReadSound(paths[files + i]);
                EXPECT_EQ(paths[files + i].substr(paths[files + i].size() - 5), ".flac");
                EXPECT_EQ(flac.format, c.flacFormat);
                EXPECT_EQ(flac.rate, wave.rate);
                EXPECT_EQ(flac.channels, wave.channels);
                EXPECT_EQ(flac.channelSamples, wave.channelSamples);
                ASSERT_FALSE(wave.channelSamples.empty());
                EXPECT_GE(wave.channelSamples[0].size(), kSamples);
            }
        }
    }
}

#endif

TEST(CliExportOfProject100, FailsBecauseItsDataFileNamesAreTooLong)
{
    TempFolder disk;
    TempFolder out;
    diskwriter::Disk description;
    description.AddProject({.slot = 2, .number = 100, .name = "Hundred", .virtualTracks = 1})
        .AddSegment({.track = 1, .lengthGroups = 1, .samples = std::vector<std::int32_t>(8, 5)});
    description.Write(disk.Path());
    const auto result = RunCli({"export", disk.Path(), "--project", "100", "--tracks", "1", "--out", out.File("t.wav")});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err,
              "Convert failed.\nwavelorn-cli: track 1 (virtual track 1): the data file 8b321000.0000 cannot be opened\n");
    EXPECT_TRUE(std::filesystem::is_empty(out.Path()));
}
