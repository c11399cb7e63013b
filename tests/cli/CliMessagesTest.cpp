// What the command-line tool says beyond the system's messages: the reason of a
// failure, the files a failed export completed, the warnings of a run; the type that
// follows --out; the usage errors of --out and --type; AIFF-C and .aiff sources.

#include "tests/cli/CliRunner.h"
#include "tests/cli/SoundCheck.h"
#include "tests/support/RecorderTakeover.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#ifdef WAVELORN_TEST_SNDFILE
#include <sndfile.h>
#endif

#include <cmath>
#include <cstdlib>
#include <filesystem>

using testsupport::Lines;
using testsupport::RunCli;
using testsupport::TempFolder;

namespace {

class CliMessages : public testsupport::DemoDiskTest {};

std::string Wavelorn(const std::string& line)
{
    return "wavelorn-cli: " + line + "\n";
}

}  // namespace

TEST_F(CliMessages, FailedRunsSayWhyAfterTheSystemsMessage)
{
    ASSERT_NO_THROW(testsupport::WriteTone(Out("a.wav"), 44100, 16));
    ASSERT_NO_THROW(testsupport::WriteTone(Out("c.wav"), 44100, 16));
    ASSERT_NO_THROW(testsupport::WriteTone(Out("s.wav"), 44100, 16));
    ASSERT_NO_THROW(testsupport::WriteTone(Out("b.wav"), 44100, 16, 2));
    ASSERT_NO_THROW(testsupport::WriteTone(Out("d.wav"), 48000, 24));
    TempFolder bare;  // a recorder disk without FNB.TXT
    testsupport::WriteBytes(bare.File("FNB.BIN"), {0});
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        std::string err;
    };
    const Case cases[] = {
        {"no recording", {"export", Disk(), "--project", "1", "--tracks", "3", "--out", Out("x.wav")},
         "Convert failed.\n" + Wavelorn("track 3 (virtual track 1) has no recording on this disk")},
        {"no output folder", {"export", Disk(), "--project", "1", "--tracks", "1", "--out", Out("no/x.wav")},
         "Convert failed.\n" + Wavelorn(Out("no/x11.wav") + ": the output folder does not exist")},
#ifdef WAVELORN_TEST_CONVERSION
        // A build that converts says how to take a channel, and converts a file of another format.
        {"stereo source", {"import", Disk(), Out("b.wav")},
         "The file format is unknown.\n" +
             Wavelorn(Out("b.wav") + ": stereo: name a channel with :left or split it with 1,2=FILE")},
#else
        // A build without the conversions says so of a file it would have converted.
        {"stereo source", {"import", Disk(), Out("b.wav")},
         "The file format is unknown.\n" + Wavelorn(Out("b.wav") + ": 2 channels; only mono files can be imported")},
        {"different format", {"import", Disk(), Out("d.wav"), Out("c.wav")},
         "This file is in a different format.\n" +
             Wavelorn(Out("c.wav") + ": 44.1 kHz mono 16 bit to 48 kHz 24 bit; this build cannot convert sound files")},
#endif
        {"no FNB.TXT", {"import", bare.Path(), Out("a.wav")},
         "FNB.TXT reading is failed.\n" + Wavelorn(bare.Path() + ": the disk folder holds no FNB.TXT")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = RunCli(c.arguments);
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(CliMessages, UsageErrorsSayWhatIsWrong)
{
    std::filesystem::create_directory(Out("folder"));
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        std::string saying;  // part of the message
    };
    const Case cases[] = {
        {"--out names a folder", {"--out", Out("folder")}, "is a folder"},
        {"--out ends in a separator", {"--out", Out("folder") + "/"}, "ends in a separator"},
        {"--out ends in a separator, missing", {"--out", Out("new") + "/"}, "ends in a separator"},
        {"AIFF for .wav", {"--out", Out("x.wav"), "--type", "AIFF"}, "contradicts"},
        {"WAVE for .aif", {"--out", Out("x.aif"), "--type", "WAVE"}, "contradicts"},
        {"WAVE for .AIFF", {"--out", Out("x.AIFF"), "--type", "WAVE"}, "contradicts"},
        {"WAVE for .aiff in stereo", {"--out", Out("x.aiff"), "--type", "WAVE", "--stereo"}, "contradicts"},
        {"AIFF for .Wav in stereo", {"--out", Out("x.Wav"), "--type", "AIFF", "--stereo"}, "contradicts"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> arguments = {"export", Disk(), "--project", "1", "--tracks", "1"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const auto result = RunCli(arguments);
        EXPECT_EQ(result.exitStatus, 2);
        EXPECT_NE(result.err.find(c.saying), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Out("")), {}), 1);  // the folder alone

    struct NameCase {
        std::string name;
        std::string saying;
    };
    const NameCase names[] = {
        {"Caf\xC3\xA9 ABCDEF", "byte 4 is 0xC3"},
        {"tab\there", "byte 4 is 0x09"},
        {"Thirteen char", "this one has 13"},
        {"sngserial:", "SNGSERIAL:"},
    };
    ASSERT_NO_THROW(testsupport::WriteTone(Out("a.wav"), 44100, 16));
    for (const auto& c : names) {
        SCOPED_TRACE(c.name);
        const auto result = RunCli({"import", Disk(), "--name", c.name, Out("a.wav")});
        EXPECT_EQ(result.exitStatus, 2);
        EXPECT_NE(result.err.find(c.saying), std::string::npos) << result.err;
    }
}

TEST_F(CliMessages, TheTypeFollowsTheOutExtensionWithoutType)
{
    struct Case {
        std::string out;
        std::vector<std::string> extra;
        std::string file;  // as written
        int major;
    };
    const Case cases[] = {
        {"m.aif", {}, "m11.aif", testsupport::kSoundAiff},
        {"n.AIFF", {}, "n11.AIFF", testsupport::kSoundAiff},
        {"s.aiff", {"--stereo"}, "s.aiff", testsupport::kSoundAiff},
        {"w.wav", {}, "w11.wav", testsupport::kSoundWav},
        {"plain", {}, "plain11.wav", testsupport::kSoundWav},
        {"t.snd", {}, "t11.snd", testsupport::kSoundWav},
        {"k.aif", {"--type", "AIFF"}, "k11.aif", testsupport::kSoundAiff},
        {"u.raw", {"--type", "AIFF"}, "u11.raw", testsupport::kSoundAiff},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out);
        std::vector<std::string> arguments = {"export", Disk(), "--project", "1", "--tracks", "1", "--out", Out(c.out)};
        arguments.insert(arguments.end(), c.extra.begin(), c.extra.end());
        const auto result = RunCli(arguments);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(result.out, Out(c.file) + "\n");
        EXPECT_EQ(testsupport::ReadSound(Out(c.file)).format & testsupport::kSoundContainerMask, c.major);
    }
}

TEST_F(CliMessages, OverwriteRefusalSaysWhatYesDoes)
{
    testsupport::WriteBytes(Out("take11.wav"), {'o', 'l', 'd'});
    const auto result = RunCli({"export", Disk(), "--project", "1", "--tracks", "1", "--out", Out("take.wav")});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, "Convert failed.\n" + Wavelorn(Out("take11.wav") + " exists; --yes replaces it"));
}

TEST_F(CliMessages, AFailedExportListsTheFilesItCompleted)
{
    // The second file's name is taken by a folder: the first is written, the second cannot be.
    std::filesystem::create_directory(Out("take21.wav"));
    const auto result =
        RunCli({"export", Disk(), "--project", "1", "--tracks", "1,2", "--out", Out("take.wav"), "--yes"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, Out("take11.wav") + "\n");
    EXPECT_TRUE(std::filesystem::exists(Out("take11.wav")));
    const auto lines = Lines(result.err);
    ASSERT_GE(lines.size(), 2U) << result.err;
    EXPECT_EQ(lines[lines.size() - 2], "Convert failed.");
    EXPECT_EQ(lines.back().rfind("wavelorn-cli: ", 0), 0U) << result.err;
}

TEST_F(CliMessages, WarningsOfARunThatSucceeds)
{
    // HFS.BIN missing: lead-ins taken as 0.
    std::filesystem::remove(Disk() + "/HFS.BIN");
    const auto exported = RunCli({"export", Disk(), "--project", "1", "--tracks", "1", "--out", Out("x.wav")});
    EXPECT_EQ(exported.exitStatus, 0) << exported.err;
    EXPECT_EQ(exported.err,
              "Convert succeeded.\n" + Wavelorn("warning: " + Disk() + ": HFS.BIN is missing; lead-ins are taken as 0"));

    // A source shorter than its header promises.
    ASSERT_NO_THROW(testsupport::WriteTone(Out("short.wav"), 48000, 16));
    std::filesystem::resize_file(Out("short.wav"), std::filesystem::file_size(Out("short.wav")) - 100);
    const auto shortSource = RunCli({"import", Disk(), Out("short.wav")});
    EXPECT_EQ(shortSource.exitStatus, 0) << shortSource.err;
    EXPECT_NE(shortSource.err.find("wavelorn-cli: warning: " + Out("short.wav") + ": the file holds 100 fewer sample bytes"),
              std::string::npos)
        << shortSource.err;

    // A rate the export cannot write back.
    ASSERT_NO_THROW(testsupport::WriteTone(Out("high.wav"), 96000, 24));
    const auto high = RunCli({"import", Disk(), Out("high.wav")});
    EXPECT_EQ(high.exitStatus, 0) << high.err;
    EXPECT_NE(high.err.find("96000 Hz: wavelorn cannot export this project once the recorder has taken it over"),
              std::string::npos)
        << high.err;
    EXPECT_EQ(high.err.rfind("Convert succeeded.\n", 0), 0U);
}

#ifdef WAVELORN_TEST_SNDFILE  // sox and libsndfile write the sources
// AIFF-C sources (sox writes NONE; libsndfile's little-endian AIFF is sowt) and the
// .aiff name come back sample-exact after the recorder has taken them over.
TEST_F(CliMessages, AiffcAndAiffSourcesImportSampleExact)
{
    const std::string none = "sox -q -n -r 44100 -b 16 -c 1 -t aifc '" + Out("none.aifc") + "' synth 0.5 sine 440 vol 0.5";
    ASSERT_EQ(std::system(none.c_str()), 0) << none;
    {
        SF_INFO info{};
        info.samplerate = 44100;
        info.channels = 1;
        info.format = SF_FORMAT_AIFF | SF_ENDIAN_LITTLE | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(Out("sowt.AIFF").c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr);
        std::vector<short> samples(22050);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<short>(std::lround(12000.0 * std::sin(static_cast<double>(i) * 0.07)) + (i % 5));
        sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
        sf_close(file);
    }
    const auto imported = RunCli({"import", Disk(), "--name", "Aifc", Out("none.aifc"), Out("sowt.AIFF")});
    ASSERT_EQ(imported.exitStatus, 0) << imported.err;
    testsupport::TakeOver(Disk(), testsupport::ReadLastProject(Disk()));
    const auto exported = RunCli({"export", Disk(), "--project", "4", "--tracks", "1,2", "--out", Out("back.wav")});
    ASSERT_EQ(exported.exitStatus, 0) << exported.err;
    for (const auto& [source, back] : {std::pair{"none.aifc", "back11.wav"}, std::pair{"sowt.AIFF", "back21.wav"}}) {
        SCOPED_TRACE(source);
        const auto original = testsupport::ReadSound(Out(source)).channelSamples[0];
        const auto returned = testsupport::ReadSound(Out(back)).channelSamples[0];
        ASSERT_GE(returned.size(), original.size());
        std::size_t mismatches = 0;
        for (std::size_t i = 0; i < returned.size(); ++i)
            mismatches += returned[i] != (i < original.size() ? original[i] : 0);
        EXPECT_EQ(mismatches, 0U);
    }
}
#endif
