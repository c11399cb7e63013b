// wavelorn-cli on Windows: folders given with either slash, relative or holding names
// outside the ANSI code page; FNB.TXT keeps its CR LF; no bar on a redirected stream.
// Built for Windows only; runs under wine in CI.

#include "platform/Files.h"
#include "tests/cli/CliRunner.h"
#include "tests/cli/SoundCheck.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>

using testsupport::Lines;
using testsupport::ReadBytes;
using testsupport::RunCli;
using testsupport::TempFolder;

namespace {

const std::vector<std::string> kDemoProjects{
    "01 : Sine Demo\t44.1KHz\t16bit",
    "02 : Twenty Bit\t32.0KHz\t20bit",
    "03 : Project 3\t48.0KHz\t24bit",
};

std::string WithForwardSlashes(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// A mono 16-bit WAVE of a 1 kHz tone.
void WriteTone(const std::string& path)
{
    constexpr int kRate = 44100;
    std::vector<int> samples(kRate);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int>(std::lround(0.5 * 2147483647.0 * std::sin(i * 2.0 * std::numbers::pi * 1000.0 / kRate)));
    testsupport::WriteSound(path, testsupport::kSoundWav | testsupport::kSoundPcm16, kRate, 1, samples);
}

}  // namespace

TEST(WindowsCli, DiskFoldersWithEitherSlashOrRelative)
{
    TempFolder folder;
    const std::string disk = folder.File("disk");
    ASSERT_EQ(RunCli({"demo", disk}).exitStatus, 0);
    struct Case {
        std::string disk;
        std::string workingFolder;
    };
    const Case cases[] = {
        {disk, {}},
        {disk + "\\", {}},
        {WithForwardSlashes(disk), {}},
        {WithForwardSlashes(disk) + "/", {}},
        {"disk", folder.Path()},
        {".\\disk", folder.Path()},
        {"./disk", folder.Path()},
    };
    for (const auto& c : cases) {
        const auto list = RunCli({"list", c.disk}, c.workingFolder);
        EXPECT_EQ(list.exitStatus, 0) << c.disk << ": " << list.err;
        EXPECT_EQ(Lines(list.out), kDemoProjects) << c.disk;
    }
}

TEST(WindowsCli, ExportAndImportWithRelativeAndForwardSlashPaths)
{
    TempFolder folder;
    ASSERT_EQ(RunCli({"demo", "disk"}, folder.Path()).exitStatus, 0);
    EXPECT_TRUE(std::filesystem::exists(platform::PathFromUtf8(folder.File("disk\\FNB.BIN"))));

    const auto exported = RunCli({"export", "disk", "--project", "1", "--tracks", "1", "--out", "take"}, folder.Path());
    ASSERT_EQ(exported.exitStatus, 0) << exported.err;
    EXPECT_EQ(Lines(exported.out), std::vector<std::string>{"take11.wav"});
    EXPECT_GT(ReadBytes(folder.File("take11.wav")).size(), 44u);

    const auto slashed = RunCli({"export", WithForwardSlashes(folder.File("disk")), "--project", "1", "--tracks", "1",
                                 "--out", WithForwardSlashes(folder.File("again"))});
    ASSERT_EQ(slashed.exitStatus, 0) << slashed.err;
    EXPECT_EQ(ReadBytes(folder.File("again11.wav")), ReadBytes(folder.File("take11.wav")));

    WriteTone(folder.File("tone.wav"));
    const auto imported = RunCli({"import", ".\\disk", "--name", "Rel", "tone.wav"}, folder.Path());
    ASSERT_EQ(imported.exitStatus, 0) << imported.err;
    EXPECT_EQ(Lines(imported.out).front(), "04");
    const auto text = ReadBytes(folder.File("disk\\FNB.TXT"));
    EXPECT_NE(std::string(text.begin(), text.end()).find("SNGSERIAL: 04\r\n"), std::string::npos);
}

TEST(WindowsCli, FoldersOutsideTheAnsiCodePage)
{
    TempFolder folder;
    // C:\Users\José\Music as UTF-8: the wide command line reaches the tool whole.
    const std::string music = folder.File("Jos\xc3\xa9\\Music \xe6\x97\xa5\xe6\x9c\xac");
    const std::string disk = platform::JoinPath(music, "disk");
    const auto demo = RunCli({"demo", disk});
    ASSERT_EQ(demo.exitStatus, 0) << demo.err;
    const std::wstring wideMusic = platform::PathFromUtf8(folder.Path()).wstring() + L"\\Jos\u00e9\\Music \u65e5\u672c";
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(wideMusic + L"\\disk\\FNB.BIN")));
    EXPECT_EQ(Lines(RunCli({"list", disk}).out), kDemoProjects);

    const auto exported = RunCli({"export", disk, "--project", "1", "--tracks", "1,2", "--out", platform::JoinPath(music, "Caf\xc3\xa9")});
    ASSERT_EQ(exported.exitStatus, 0) << exported.err;
    // Printed paths are the UTF-8 the user gave.
    EXPECT_EQ(Lines(exported.out), (std::vector<std::string>{platform::JoinPath(music, "Caf\xc3\xa9" "11.wav"),
                                                               platform::JoinPath(music, "Caf\xc3\xa9" "21.wav")}));
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(wideMusic + L"\\Caf\u00e9" L"11.wav")));

    const std::string source = platform::JoinPath(music, "t\xc3\xb6n.wav");
    WriteTone(source);
    const auto imported = RunCli({"import", disk, "--name", "Jose", source});
    ASSERT_EQ(imported.exitStatus, 0) << imported.err;
    EXPECT_EQ(Lines(imported.out).at(1), platform::JoinPath(disk, "8b320400.000"));
}

TEST(WindowsCli, FnbTextKeepsItsCrLf)
{
    TempFolder folder;
    const std::string disk = folder.File("disk");
    ASSERT_EQ(RunCli({"demo", disk}).exitStatus, 0);
    WriteTone(folder.File("tone.wav"));
    ASSERT_EQ(RunCli({"import", disk, "--name", "Crlf", folder.File("tone.wav")}).exitStatus, 0);
    const auto bytes = ReadBytes(platform::JoinPath(disk, "FNB.TXT"));
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("SNGSERIAL: 04\r\n"), std::string::npos);
    EXPECT_EQ(text.find("\r\r"), std::string::npos);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at byte " << i;
        }
    }
}

TEST(WindowsCli, NoProgressBarOnARedirectedErrorStream)
{
    TempFolder folder;
    const std::string disk = folder.File("disk");
    ASSERT_EQ(RunCli({"demo", disk}).exitStatus, 0);
    for (const std::vector<std::string>& tracks : {std::vector<std::string>{"1,2"}, {"1,2", "--stereo"}}) {
        std::vector<std::string> arguments{"export", disk, "--project", "1", "--tracks"};
        arguments.insert(arguments.end(), tracks.begin(), tracks.end());
        arguments.insert(arguments.end(), {"--out", folder.File("bar.wav"), "--yes"});
        const auto result = RunCli(arguments);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(result.err, "Convert succeeded.\n");
    }
}
