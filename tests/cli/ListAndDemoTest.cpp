#include "tests/cli/CliRunner.h"
#include "platform/Files.h"
#include "tests/support/TempFolder.h"
#include "tools/diskwriter/DiskWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

using testsupport::Lines;
using testsupport::RunCli;
using testsupport::TempFolder;

TEST(CliDemoAndList, DemoDiskListsItsThreeProjects)
{
    TempFolder folder;
    const std::string disk = folder.File("demo");  // created by the command
    const auto demo = RunCli({"demo", disk});
    ASSERT_EQ(demo.exitStatus, 0) << demo.err;
    EXPECT_EQ(demo.out, "");
    EXPECT_NE(demo.err.find("440 Hz"), std::string::npos);

    const auto list = RunCli({"list", disk});
    EXPECT_EQ(list.exitStatus, 0);
    EXPECT_EQ(list.err, "");
    EXPECT_EQ(Lines(list.out), (std::vector<std::string>{
                                   "01 : Sine Demo\t44.1KHz\t16bit",
                                   "02 : Twenty Bit\t32.0KHz\t20bit",
                                   "03 : Project 3\t48.0KHz\t24bit",
                               }));
}

TEST(CliDemoAndList, ListWarnsOfAnInterruptedImportAndLeavesItsText)
{
    TempFolder folder;
    const std::string disk = folder.File("demo");
    ASSERT_EQ(RunCli({"demo", disk}).exitStatus, 0);
    const std::string leftover = platform::JoinPath(disk, "FNBTXT.NEW");
    testsupport::WriteBytes(leftover, {0});
    const auto list = RunCli({"list", disk});
    EXPECT_EQ(list.exitStatus, 0);
    EXPECT_EQ(list.err, "wavelorn-cli: warning: " + leftover +
                            " was left by an interrupted import; the next import finishes or removes it\n");
    EXPECT_EQ(testsupport::ReadBytes(leftover), std::vector<std::uint8_t>{0});
}

TEST(CliDemoAndList, DemoRefusesAFolderHoldingRecorderFiles)
{
    for (const char* existing : {"fnb.bin", "HFS.BIN", "Fnb.Txt", "8B320100.000"}) {
        TempFolder folder;
        testsupport::WriteBytes(folder.File(existing), {0});
        const auto demo = RunCli({"demo", folder.Path()});
        EXPECT_EQ(demo.exitStatus, 2) << existing;
        // Nothing is written: the folder holds only the file that was there (which a
        // folder that ignores letter case would also find as FNB.BIN).
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(platform::PathFromUtf8(folder.Path())))
            names.push_back(platform::Utf8FromPath(entry.path().filename()));
        EXPECT_EQ(names, std::vector<std::string>{existing}) << existing;
    }
}

TEST(CliList, ProjectLinesInChainOrderWithRawNames)
{
    TempFolder folder;
    diskwriter::Disk disk;
    disk.AddProject({.slot = 2, .number = 7, .name = "Song", .rate = 0, .wordLength = 5, .virtualTracks = 1});
    disk.AddProject({.slot = 100, .number = 100, .name = "Tab\tName", .rate = 3, .wordLength = 2, .virtualTracks = 1});
    disk.AddProject({.slot = 50, .number = 4, .name = "\xe9t\xe9", .rate = 1, .wordLength = 1, .virtualTracks = 1});
    disk.Write(folder.Path());

    const auto list = RunCli({"list", folder.Path()});
    EXPECT_EQ(list.exitStatus, 0);
    EXPECT_EQ(Lines(list.out), (std::vector<std::string>{
                                   "07 : Song\tUnknown\t16bit",
                                   "100 : Tab?Name\t48.0KHz\t24bit",
                                   "04 : \xe9t\xe9\t32.0KHz\t20bit",
                               }));
}

TEST(CliList, ExitStatusForDisksThatCannotBeListed)
{
    TempFolder folder;
    const std::string notAFolder = folder.File("file");
    testsupport::WriteBytes(notAFolder, {0});
    TempFolder empty;
    TempFolder shortIndex;
    testsupport::WriteBytes(shortIndex.File("FNB.BIN"), std::vector<std::uint8_t>(64, 0));

    struct Case {
        std::string disk;
        int exitStatus;
    };
    const Case cases[] = {
        {notAFolder, 2},
        {folder.File("missing"), 2},
        {empty.Path(), 2},       // no index to open
        {shortIndex.Path(), 0},  // opens, lists nothing
    };
    for (const auto& c : cases) {
        const auto list = RunCli({"list", c.disk});
        EXPECT_EQ(list.exitStatus, c.exitStatus) << c.disk;
        EXPECT_EQ(list.out, "") << c.disk;
    }
}

TEST(CliUsage, ParseErrorsAreUsageErrorsAndHelpIsSuccess)
{
    EXPECT_EQ(RunCli({}).exitStatus, 2);
    EXPECT_EQ(RunCli({"frobnicate"}).exitStatus, 2);
    EXPECT_EQ(RunCli({"list"}).exitStatus, 2);
    EXPECT_EQ(RunCli({"--help"}).exitStatus, 0);
    EXPECT_EQ(RunCli({"--version"}).exitStatus, 0);
}

// The manual page is made from --version and --help-all.
TEST(CliUsage, VersionNamesTheProgramAndHelpAllShowsEveryCommandUnderItsUsage)
{
    const auto version = RunCli({"--version"});
    EXPECT_EQ(version.out, "wavelorn-cli " WAVELORN_VERSION "\n");

    const auto help = RunCli({"--help-all"});
    EXPECT_EQ(help.exitStatus, 0);
    const auto lines = Lines(help.out);
    for (const char* heading : {"wavelorn-cli list [OPTIONS] DISK:", "wavelorn-cli export [OPTIONS] DISK:",
                                "wavelorn-cli import [OPTIONS] DISK SOURCE...:", "wavelorn-cli demo [OPTIONS] DIR:"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), heading), lines.end()) << heading << "\n" << help.out;
    for (const char* option : {"-p,--project", "-t,--tracks", "--stereo", "--type", "-o,--out", "-y,--yes", "--name",
                               "--rate", "--bits", "--no-dither"})
        EXPECT_NE(help.out.find(std::string("\n  ") + option + " "), std::string::npos) << option;
    EXPECT_EQ(help.out.find("(1x)"), std::string::npos);
}
