// The import command's conversions, run on the built binary: the numbered forms, the
// format it chooses and says, refusals that say what would help, a project without
// Track 1 taken over and exported again, the untouched path as before, and no scratch
// file left when Ctrl+C stops a conversion. Sources are made with sox.

#include "platform/Files.h"
#include "tests/cli/CliRunner.h"
#include "tests/cli/SoundCheck.h"
#include "tests/support/RecorderTakeover.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

using testsupport::Lines;
using testsupport::RunCli;
using testsupport::TempFolder;

namespace {

constexpr int kInterruptedStatus = 130;

class CliConversion : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(RunCli({"demo", m_disk.Path()}).exitStatus, 0); }

    std::string Disk() const { return m_disk.Path(); }
    // A source made by sox from `synth` arguments ("-r 96000 -c 2 -e floating-point -b 32").
    std::string Source(const std::string& name, const std::string& format, double seconds = 1.0) const
    {
        const std::string path = m_sources.File(name);
        const std::string command = "sox -n " + format + " '" + path + "' synth " + std::to_string(seconds) +
                                    " sine 440 sine 660 sine 880 sine 990 gain -3 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return path;
    }
    std::string Folder() const { return m_sources.Path(); }

    TempFolder m_silent;

private:
    TempFolder m_disk;
    TempFolder m_sources;
};

const std::string kStereoFloat96 = "-r 96000 -c 2 -e floating-point -b 32";
const std::string kMono48k16 = "-r 48000 -c 1 -b 16";

}  // namespace

TEST_F(CliConversion, EachFormPutsItsSourceOnItsTracksAndSaysWhatItDoes)
{
    const std::string stereo = Source("st.wav", kStereoFloat96);
    const std::string flac = Source("m.flac", "-r 22050 -c 1 -b 16");
    struct Case {
        std::vector<std::string> arguments;
        std::vector<int> tracks;
        int rateCode;
        int wordLengthCode;
        std::vector<std::string> said;  // the lines before "Convert succeeded."
    };
    const Case cases[] = {
        {{"3=" + stereo + ":left"}, {3}, 3, 2,
         {"project format: 48 kHz 24 bit", "Track 3: " + stereo + ": 96 kHz stereo float: left channel, resampled to "
                                           "48 kHz, 24 bit"}},
        {{"--bits", "16", "1,2=" + stereo}, {1, 2}, 3, 0,
         {"project format: 48 kHz 16 bit",
          "Track 1: " + stereo + ": 96 kHz stereo float: left channel, resampled to 48 kHz, 16 bit",
          "Track 2: " + stereo + ": 96 kHz stereo float: right channel, resampled to 48 kHz, 16 bit"}},
        {{"2=" + flac, "5=" + stereo + ":mix"}, {2, 5}, 2, 0,
         {"project format: 44.1 kHz 16 bit", "Track 2: " + flac + ": 22.05 kHz mono 16 bit: resampled to 44.1 kHz, 16 bit",
          "Track 5: " + stereo + ": 96 kHz stereo float: mix of both channels, resampled to 44.1 kHz, 16 bit"}},
        {{"--rate", "32000", "--no-dither", flac}, {1}, 1, 0,
         {"project format: 32 kHz 16 bit",
          "Track 1: " + flac + ": 22.05 kHz mono 16 bit: resampled to 32 kHz, 16 bit without dither"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        std::vector<std::string> arguments = {"import", Disk()};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const auto result = RunCli(arguments);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        std::vector<std::string> said;
        for (const auto& line : c.said)
            said.push_back("wavelorn-cli: " + line);
        said.push_back("Convert succeeded.");
        EXPECT_EQ(Lines(result.err), said);
        const auto project = testsupport::ReadLastProject(Disk());
        EXPECT_EQ(project.rate, c.rateCode);
        EXPECT_EQ(project.wordLength, c.wordLengthCode);
        std::vector<int> tracks;
        for (const auto& segment : project.segments)
            tracks.push_back(segment.track);
        EXPECT_EQ(tracks, c.tracks);
    }
}

TEST_F(CliConversion, RefusalsSayWhatWouldMakeTheSourceImportable)
{
    const std::string stereo = Source("st.aif", "-r 44100 -c 2 -b 16");
    const std::string mono = Source("m.wav", kMono48k16);
    const std::string quad = Source("q.wav", "-r 48000 -c 4 -b 16");
    struct Case {
        std::vector<std::string> sources;
        std::string err;
    };
    const Case cases[] = {
        {{stereo}, "The file format is unknown.\nwavelorn-cli: " + stereo +
                       ": stereo: name a channel with :left or split it with 1,2=FILE\n"},
        {{"1=" + mono + ":right"}, "The file format is unknown.\nwavelorn-cli: " + mono +
                                       ": mono: there is no right channel; name the file without a channel\n"},
        {{"1,2=" + mono}, "The file format is unknown.\nwavelorn-cli: " + mono +
                              ": mono: there is no right channel; name the file without a channel\n"},
        {{"2=" + quad}, "The file format is unknown.\nwavelorn-cli: " + quad +
                            ": 4 channels; only mono and stereo files can be imported\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"import", Disk()};
        arguments.insert(arguments.end(), c.sources.begin(), c.sources.end());
        const auto result = RunCli(arguments);
        EXPECT_EQ(result.exitStatus, 1) << c.err;
        EXPECT_EQ(result.err, c.err);
    }
    const std::vector<std::vector<std::string>> usage = {
        {"1=" + mono, mono}, {"1=" + mono, "1=" + mono}, {"1,2=" + stereo, "2=" + mono},
        {"--rate", "22050", mono}, {"--bits", "32", mono}, {"3="},
    };
    for (const auto& sources : usage) {
        std::vector<std::string> arguments = {"import", Disk()};
        arguments.insert(arguments.end(), sources.begin(), sources.end());
        EXPECT_EQ(RunCli(arguments).exitStatus, 2) << sources.back();
    }
    EXPECT_EQ(testsupport::ReadLastProject(Disk()).number, 3);  // FNB.TXT untouched
}

TEST_F(CliConversion, ASourceAtTheProjectFormatIsImportedAsBeforeByteForByte)
{
    const std::string mono = Source("m.wav", kMono48k16);
    TempFolder other;
    ASSERT_EQ(RunCli({"demo", other.Path()}).exitStatus, 0);
    const auto plain = RunCli({"import", Disk(), mono});
    const auto numbered = RunCli({"import", other.Path(), "1=" + mono});
    ASSERT_EQ(plain.exitStatus, 0) << plain.err;
    ASSERT_EQ(numbered.exitStatus, 0) << numbered.err;
    EXPECT_EQ(plain.err, "Convert succeeded.\n");
    EXPECT_EQ(numbered.err, plain.err);
    const auto name = platform::NamePart(Lines(plain.out).at(1));
    EXPECT_EQ(testsupport::ReadBytes(platform::JoinPath(Disk(), name)),
              testsupport::ReadBytes(platform::JoinPath(other.Path(), name)));
}

TEST_F(CliConversion, AProjectWithoutTrack1IsTakenOverAndExportedAgain)
{
    const std::string mono = Source("m.wav", kMono48k16);
    ASSERT_EQ(RunCli({"import", Disk(), "--name", "NoOne", "4=" + mono}).exitStatus, 0);
    const auto project = testsupport::ReadLastProject(Disk());
    ASSERT_EQ(project.segments.size(), 1u);
    EXPECT_EQ(project.segments[0].track, 4);
    testsupport::TakeOver(Disk(), project);
    const auto exported =
        RunCli({"export", Disk(), "--project", "4", "--tracks", "4", "--out", platform::JoinPath(Folder(), "b.wav")});
    ASSERT_EQ(exported.exitStatus, 0) << exported.err;
    auto back = testsupport::ReadSound(platform::JoinPath(Folder(), "b41.wav"));
    const auto source = testsupport::ReadSound(mono);
    ASSERT_GE(back.channelSamples[0].size(), source.channelSamples[0].size());
    back.channelSamples[0].resize(source.channelSamples[0].size());
    EXPECT_EQ(back.channelSamples[0], source.channelSamples[0]);
}

TEST_F(CliConversion, TheSuffixCountsOnlyWhenTheNameWithoutItExists)
{
    // "odd.wav:mix" alone is a name of its own, of no import kind but read by the
    // converter; beside "odd.wav" it names that file's channels, a file taken as it is.
    const std::string odd = platform::JoinPath(Folder(), "odd.wav:mix");
    std::filesystem::rename(Source("m.wav", kMono48k16), odd);
    const auto alone = RunCli({"import", Disk(), "1=" + odd});
    ASSERT_EQ(alone.exitStatus, 0) << alone.err;
    EXPECT_EQ(Lines(alone.err).at(1), "wavelorn-cli: Track 1: " + odd + ": 48 kHz mono 16 bit: 16 bit");
    Source("odd.wav", kMono48k16);
    const auto beside = RunCli({"import", Disk(), "1=" + odd});
    ASSERT_EQ(beside.exitStatus, 0) << beside.err;
    EXPECT_EQ(beside.err, "Convert succeeded.\n");
}

TEST_F(CliConversion, AHighRateProjectIsImportedAsBeforeAndTheWarningNamesTheWayOut)
{
    const std::string high = Source("h.wav", "-r 96000 -c 1 -b 24");
    const auto asBefore = RunCli({"import", Disk(), high});
    ASSERT_EQ(asBefore.exitStatus, 0) << asBefore.err;
    EXPECT_NE(asBefore.err.find("96000 Hz: wavelorn cannot export this project once the recorder has taken it over; "
                                "import with --rate 48000"),
              std::string::npos)
        << asBefore.err;
    EXPECT_EQ(testsupport::ReadLastProject(Disk()).rate, 5);
    ASSERT_EQ(RunCli({"import", Disk(), "--rate", "48000", high}).exitStatus, 0);
    EXPECT_EQ(testsupport::ReadLastProject(Disk()).rate, 3);
}

TEST_F(CliConversion, CtrlCDuringAConversionLeavesNoScratchFile)
{
    const std::string stereo = Source("long.wav", kStereoFloat96, 60.0);
    TempFolder temporary;
    ASSERT_EQ(setenv("TMPDIR", temporary.Path().c_str(), 1), 0);
    // The run's output is captured in a folder of the temporary folder too: the signal
    // goes once a converted file is being written in the scratch folder.
    const auto converting = [&] {
        std::error_code error;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(temporary.Path(), error)) {
            if (entry.path().extension() == ".wav")
                return true;
        }
        return false;
    };
    const auto result = testsupport::RunCliSignalled({"import", Disk(), "1=" + stereo + ":left"}, SIGINT, converting);
    unsetenv("TMPDIR");
    EXPECT_EQ(result.exitStatus, kInterruptedStatus) << result.err;
    EXPECT_FALSE(converting()) << "no scratch file left";
    EXPECT_EQ(testsupport::ReadLastProject(Disk()).number, 3);
}

TEST_F(CliConversion, WarningsNameTheUsersFileAndChannelNeverAScratchFile)
{
    const std::string silent = m_silent.File("quiet.flac");
    ASSERT_EQ(std::system(("sox -D -n -r 44100 -c 2 -b 16 '" + silent + "' trim 0 1").c_str()), 0);
    const std::string tone = Source("m.wav", kMono48k16);
    const auto result = RunCli({"import", Disk(), "1=" + tone, "2=" + silent + ":right"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.err.find("wavelorn-cli: warning: " + silent +
                              " (right channel): the file holds only digital silence; Track 2 is left out"),
              std::string::npos)
        << result.err;
}
