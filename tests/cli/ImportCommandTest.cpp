#include "platform/FileSystem.h"
#include "platform/Files.h"
#include "tests/cli/CliRunner.h"
#include "tests/cli/SoundCheck.h"
#include "tests/support/RecorderTakeover.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <numbers>

using testsupport::Lines;
using testsupport::ReadSound;
using testsupport::RunCli;
using testsupport::TempFolder;

namespace {

constexpr int kRate = 48000;
constexpr int kSeconds = 2;

// A mono file written by libsndfile (or the test's own writer where the build has none):
// a 1 kHz tone in the second half, silence before.
void WriteHalfTone(const std::string& path, int format, int channels = 1)
{
    std::vector<int> samples(static_cast<std::size_t>(kRate * kSeconds * channels), 0);
    for (std::size_t i = samples.size() / 2; i < samples.size(); ++i)
        samples[i] = static_cast<int>(
            std::lround(0.5 * 2147483647.0 * std::sin(i * 2.0 * std::numbers::pi * 1000.0 / kRate)));
    ASSERT_NO_THROW(testsupport::WriteSound(path, format, kRate, channels, samples));
}

class CliImport : public testsupport::DemoDiskTest {};

}  // namespace

TEST_F(CliImport, PrintsTheNewProjectAndItsDataFiles)
{
    WriteHalfTone(Source("a.wav"), testsupport::kSoundWav | testsupport::kSoundPcm16);
    const auto result = RunCli({"import", Disk(), "--name", "Back", Source("a.wav"), "-", Source("a.wav")});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "Convert succeeded.\n");
    const auto lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "04");  // the demo's FNB.TXT ends at project 03
    EXPECT_EQ(lines[1], platform::JoinPath(Disk(), "8b320400.000"));
    EXPECT_EQ(lines[2], platform::JoinPath(Disk(), "8b320400.001"));
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_TRUE(std::filesystem::exists(lines[i]));

    const auto project = testsupport::ReadLastProject(Disk());
    EXPECT_EQ(project.number, 4);
    EXPECT_EQ(project.name, "Back");
    ASSERT_EQ(project.segments.size(), 2u);
    EXPECT_EQ(project.segments[0].track, 1);
    EXPECT_EQ(project.segments[1].track, 3);
}

TEST_F(CliImport, ChecksFailWithTheirMessages)
{
    WriteHalfTone(Source("a.wav"), testsupport::kSoundWav | testsupport::kSoundPcm16);
    WriteHalfTone(Source("stereo.aif"), testsupport::kSoundAiff | testsupport::kSoundPcm16, 2);
    struct Case {
        std::vector<std::string> files;
        std::string err;
    };
    const Case cases[] = {
        {{"-", Source("a.wav")}, "The file name of the truck 1 is wrong.\nwavelorn-cli: Track 1 names no file\n"},
        {{Source("missing.wav")}, "File can't be found.\nwavelorn-cli: " + Source("missing.wav") + ": no such file\n"},
#ifdef WAVELORN_TEST_CONVERSION  // a build that converts says how to take a channel
        {{Source("stereo.aif")}, "The file format is unknown.\nwavelorn-cli: " +
                                     Source("stereo.aif") +
                                     ": stereo: name a channel with :left or split it with 1,2=FILE\n"},
#else
        {{Source("stereo.aif")}, Source("stereo.aif") + ": The file format is unknown.\nwavelorn-cli: " +
                                     Source("stereo.aif") + ": 2 channels; only mono files can be imported\n"},
#endif
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"import", Disk()};
        arguments.insert(arguments.end(), c.files.begin(), c.files.end());
        const auto result = RunCli(arguments);
        EXPECT_EQ(result.exitStatus, 1) << c.err;
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(testsupport::ReadLastProject(Disk()).number, 3);  // FNB.TXT untouched
}

TEST_F(CliImport, ADiskWithoutFnbTextCannotTakeAnImport)
{
    WriteHalfTone(Source("a.wav"), testsupport::kSoundWav | testsupport::kSoundPcm16);
    // A recorder disk (its FNB.BIN) without FNB.TXT; a folder of no recorder file is no disk at all.
    TempFolder empty;
    testsupport::WriteBytes(empty.File("FNB.BIN"), {0});
    const auto result = RunCli({"import", empty.Path(), Source("a.wav")});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, "FNB.TXT reading is failed.\nwavelorn-cli: " + empty.Path() +
                              ": the disk folder holds no FNB.TXT\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(empty.Path()), {}), 1);
}

TEST_F(CliImport, ATrackOfNoImportKindIsRefusedBeforeAnythingIsWritten)
{
    WriteHalfTone(Source("a.wav"), testsupport::kSoundWav | testsupport::kSoundPcm16);
    const auto result = RunCli({"import", Disk(), Source("a.wav"), "x.mp3"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "The file format is unknown.\nwavelorn-cli: x.mp3: neither .wav nor .aif, .aiff or .aifc\n");
    EXPECT_EQ(testsupport::ReadLastProject(Disk()).number, 3);
}

TEST_F(CliImport, RelativeNamesAreTakenFromTheCurrentFolder)
{
    WriteHalfTone(Source("a.wav"), testsupport::kSoundWav | testsupport::kSoundPcm16);
    const auto result = RunCli({"import", Disk(), "a.wav"}, platform::FolderPart(Source("a.wav")));
    EXPECT_EQ(result.exitStatus, 0) << result.err;
}

TEST_F(CliImport, BadArgumentsAreUsageErrors)
{
    WriteHalfTone(Source("a.wav"), testsupport::kSoundWav | testsupport::kSoundPcm16);
    const std::string a = Source("a.wav");
    std::vector<std::vector<std::string>> cases = {
        {"import", Disk(), a, a, a, a, a, a, a, a, a},
        {"import", Disk(), "--name", "Thirteen Char", a},
        {"import", Disk(), "--name", "Bad\x01Name", a},
        {"import", Disk(), "--name", "Caf\xc3\xa9", a},
        {"import", Disk(), "--name", "SNGSERIAL:07", a},
        {"import", Disk(), "--name", "sngserial:", a},
        {"import", Source("nowhere"), a},
        {"import", Disk()},
    };
#ifndef _WIN32  // a Windows command line is UTF-16: it cannot carry a byte that is not UTF-8
    cases.push_back({"import", Disk(), "--name", "Caf\xe9", a});
#endif
    for (const auto& arguments : cases) {
        const auto result = RunCli(arguments);
        EXPECT_EQ(result.exitStatus, 2) << arguments.back();
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(testsupport::ReadLastProject(Disk()).number, 3);
}

TEST_F(CliImport, ANameHoldingTheSerialKeyIsRefusedAndLaterImportsGoOn)
{
    WriteHalfTone(Source("a.wav"), testsupport::kSoundWav | testsupport::kSoundPcm16);
    const auto refused = RunCli({"import", Disk(), "--name", "SNGSERIAL:07", Source("a.wav")});
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_NE(refused.err.find("SNGSERIAL:"), std::string::npos) << refused.err;
    const auto next = RunCli({"import", Disk(), Source("a.wav")});
    ASSERT_EQ(next.exitStatus, 0) << next.err;
    EXPECT_EQ(Lines(next.out).front(), "04");
}

TEST_F(CliImport, ADiskAnotherImportHoldsIsRefusedUntouched)
{
    WriteHalfTone(Source("a.wav"), testsupport::kSoundWav | testsupport::kSoundPcm16);
    const auto contents = [&] {
        std::map<std::string, std::vector<std::uint8_t>> files;
        for (const auto& entry : std::filesystem::directory_iterator(Disk()))
            files[entry.path().filename().string()] = testsupport::ReadBytes(entry.path().string());
        return files;
    };
    const auto before = contents();
    {
        const auto held = platform::RealFileSystem().LockFolder(Disk());
        ASSERT_EQ(held.state, platform::FolderLockState::Held);
        const auto result = RunCli({"import", Disk(), Source("a.wav")});
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.err, "Convert failed.\nwavelorn-cli: " + Disk() +
                                  ": another import is writing to this disk; wait for it to finish, then import again\n");
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(contents(), before);
    }
    EXPECT_EQ(RunCli({"import", Disk(), Source("a.wav")}).exitStatus, 0);  // once it is let go
}
