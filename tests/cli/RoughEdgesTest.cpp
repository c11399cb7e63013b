// What a new user met and no longer meets: --tracks all, a folder that is no disk, --out -,
// --stereo with one track, a source found in other letter case, the archive's summary.

#include "tests/cli/CliRunner.h"
#include "tests/cli/SoundCheck.h"
#include "tests/support/Process.h"
#include "tests/support/RecorderTakeover.h"
#include "tests/support/TempFolder.h"
#include "tools/diskwriter/DiskWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

using testsupport::Lines;
using testsupport::RunCli;
using testsupport::TempFolder;

namespace {

class CliRoughEdges : public testsupport::DemoDiskTest {};

}  // namespace

TEST_F(CliRoughEdges, TracksAllTakesEveryTrackRecordedOnTheVirtualTrack)
{
    struct Case {
        std::string project;
        std::string tracks;
        std::vector<std::string> extra;
        int exitStatus;
        std::vector<std::string> files;  // written, in order
        std::string err;                 // part of it
    };
    const auto run = [this](const Case& c) {
        SCOPED_TRACE(c.project + " " + c.tracks);
        TempFolder out;
        std::vector<std::string> arguments = {"export", Disk(), "-p", c.project, "-t", c.tracks, "-o", out.File("t.wav")};
        arguments.insert(arguments.end(), c.extra.begin(), c.extra.end());
        const auto result = RunCli(arguments);
        EXPECT_EQ(result.exitStatus, c.exitStatus) << result.err;
        std::vector<std::string> written;
        for (const auto& file : c.files)
            written.push_back(out.File(file));
        EXPECT_EQ(Lines(result.out), written);
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    };
    const Case demoCases[] = {
        {"1", "all", {}, 0, {"t11.wav", "t21.wav"}, ""},
        {"1", "ALL:2", {}, 0, {"t22.wav"}, ""},
        {"3", "all", {"--stereo"}, 0, {"t.wav"}, ""},
        {"1", "all:3", {}, 2, {}, "--tracks all:3: no track of project 01 holds a recording on virtual track 3"},
        {"1", "all:9", {}, 2, {}, "bad track list all:9"},
    };
    for (const auto& c : demoCases)
        run(c);

    // Project 04 alone: three tracks, taken over by the recorder.
    for (const char* name : {"a.wav", "b.wav", "c.wav"})
        ASSERT_NO_THROW(testsupport::WriteTone(Out(name), 44100, 16));
    ASSERT_EQ(RunCli({"import", Disk(), Out("a.wav"), Out("b.wav"), Out("c.wav")}).exitStatus, 0);
    testsupport::TakeOver(Disk(), testsupport::ReadLastProject(Disk()));
    const Case threeTracks[] = {
        {"4", "all", {}, 0, {"t11.wav", "t21.wav", "t31.wav"}, ""},
        {"4", "all", {"--stereo"}, 2, {}, "--tracks all chooses 3 tracks of project 04; --stereo takes at most 2"},
    };
    for (const auto& c : threeTracks)
        run(c);
}

TEST_F(CliRoughEdges, OneRuleForAFolderThatIsNoDiskAndForWhatUsedToPassInSilence)
{
    TempFolder bare;
    ASSERT_NO_THROW(testsupport::WriteTone(Out("Take.wav"), 44100, 16));
    const std::string noDisk = "wavelorn-cli: not a recorder disk: " + bare.Path() + " holds none of the recorder's files";
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        int exitStatus;
        std::string err;  // part of it
    };
    const Case cases[] = {
        {"list of no disk", {"list", bare.Path()}, 2, noDisk},
        {"export of no disk", {"export", bare.Path(), "-p", "1", "-t", "1", "-o", Out("x.wav")}, 2, noDisk},
        {"import to no disk", {"import", bare.Path(), Out("Take.wav")}, 2, noDisk},
        {"archive of no disk", {"archive", bare.Path(), Out("archive")}, 2, noDisk},
        {"--out -", {"export", Disk(), "-p", "1", "-t", "1", "-o", "-"}, 2,
         "wavelorn-cli: --out - would be standard output, which the export cannot write to yet"},
        {"--stereo with one track", {"export", Disk(), "-p", "1", "-t", "1", "--stereo", "-o", Out("m.wav")}, 0,
         "wavelorn-cli: warning: --stereo with one track writes a mono file\n"},
        {"a source in other letter case", {"import", Disk(), Out("TAKE.WAV")}, 0,
         "wavelorn-cli: warning: " + Out("TAKE.WAV") + " is taken from " + Out("Take.wav") +
             ", the file of that name in other letter case\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = RunCli(c.arguments);
        EXPECT_EQ(result.exitStatus, c.exitStatus) << result.err;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(bare.Path()));
    EXPECT_FALSE(std::filesystem::exists(Out("-11.wav")));
}

TEST(CliArchiveSummary, CountsInTheSingularAndSaysThatItVerified)
{
    TempFolder disk;
    TempFolder out;
    diskwriter::Disk oneProject;
    oneProject.AddProject({.slot = 2, .number = 1, .name = "One", .rate = 1, .wordLength = 0, .virtualTracks = 1});
    oneProject.Write(disk.Path());
    const auto archived = RunCli({"archive", disk.Path(), out.File("a")});
    EXPECT_EQ(Lines(archived.err).back().rfind("archived 1 project: 0 track files, ", 0), 0U) << archived.err;
    const auto verified = RunCli({"archive", disk.Path(), out.File("a"), "--verify"});
    EXPECT_EQ(verified.exitStatus, archived.exitStatus) << verified.err;
    EXPECT_TRUE(Lines(verified.err).back().ends_with("; verified: every file matches the disk")) << verified.err;
}

#ifndef _WIN32
// On a terminal the file list and the progress bar share the screen: each listed file
// shows on a line of its own, the bar's line cleared before it.
TEST(CliArchiveOnATerminal, EachListedFileShowsClearOfTheBar)
{
    TempFolder disk;
    TempFolder out;
    ASSERT_EQ(RunCli({"demo", disk.Path()}).exitStatus, 0);
    const std::string typescript = out.File("typescript");
    const std::string command =
        std::string("'") + WAVELORN_CLI_PATH + "' archive '" + disk.Path() + "' '" + out.File("a") + "'";
    const auto status = testsupport::RunProcess(
        {"/usr/bin/script", {"-qfec", command, typescript}, {}, out.File("out"), out.File("err")});
    ASSERT_EQ(status, 0);
    const auto bytes = testsupport::ReadBytes(typescript);
    int listed = 0;
    for (std::string line : Lines(std::string(bytes.begin(), bytes.end()))) {
        while (line.ends_with('\r'))
            line.pop_back();
        if (line.find("disk/") == std::string::npos)
            continue;
        // What the terminal shows of the line: the text after its last carriage return.
        EXPECT_EQ(line.substr(line.rfind('\r') + 1).rfind("disk/", 0), 0U) << line;
        ++listed;
    }
    EXPECT_GT(listed, 0);
}
#endif
