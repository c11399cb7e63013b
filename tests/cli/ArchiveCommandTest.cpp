// The archive command as a user runs it: the built tool on a disk from the disk writer.

#include "platform/FileSystem.h"
#include "platform/Files.h"
#include "tests/archive/ArchiveFixture.h"
#include "tests/support/Process.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using testsupport::ArchiveTree;
using testsupport::Lines;
using testsupport::RunCli;
using testsupport::TempFolder;

namespace {

class CliArchive : public testing::Test {
protected:
    void SetUp() override { testsupport::ArchiveDisk().Write(m_disk.Path()); }

    std::string Disk() const { return m_disk.Path(); }
    std::string Out(const std::string& name) const { return m_out.File(name); }

private:
    TempFolder m_disk;
    TempFolder m_out;
};

TEST_F(CliArchive, EveryTrackIsTheSingleExportByteForByteAndTheDiskIsUntouched)
{
    const auto before = ArchiveTree(Disk());
    const auto result = RunCli({"archive", Disk(), Out("a")});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(before, ArchiveTree(Disk()));
    EXPECT_EQ(Lines(result.err).back(), "archived 3 projects: 5 track files, 9 disk files (0 kept from an earlier run); "
                                        "0 left out");

    const auto manifest = nlohmann::json::parse(ArchiveTree(Out("a")).at("manifest.json"));
    int compared = 0;
    for (const auto& project : manifest["projects"]) {
        for (const auto& track : project["tracks"]) {
            const std::string tracks =
                std::to_string(track["track"].get<int>()) + ":" + std::to_string(track["virtualTrack"].get<int>());
            TempFolder single;
            const auto exported = RunCli({"export", Disk(), "--project", std::to_string(project["number"].get<int>()),
                                          "--tracks", tracks, "--type", "WAVE", "--out", single.File("x.wav")});
            ASSERT_EQ(exported.exitStatus, 0) << exported.err;
            // Two projects share number 01: the export takes the first of the list.
            if (project["folder"].get<std::string>().ends_with(" (2)"))
                continue;
            const std::string file = track["file"];
            EXPECT_EQ(testsupport::ReadBytes(Lines(exported.out).at(0)), testsupport::ReadBytes(Out("a/" + file)))
                << file;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 4);
    const auto listed = Lines(result.out);
    EXPECT_EQ(listed.front(), "disk/8b320100.000");
    EXPECT_EQ(listed.back(), "SHA256SUMS");
}

#ifndef _WIN32  // the host's sha256sum and FLAC through libsndfile
TEST_F(CliArchive, Sha256sumChecksTheList)
{
    ASSERT_EQ(RunCli({"archive", Disk(), Out("a"), "--format", "flac"}).exitStatus, 0);
    TempFolder capture;
    const auto status = testsupport::RunProcess(
        {"/usr/bin/sha256sum", {"-c", "--strict", "SHA256SUMS"}, Out("a"), capture.File("out"), capture.File("err")});
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0);
    const auto printed = testsupport::ReadBytes(capture.File("out"));
    const auto checked = Lines(std::string(printed.begin(), printed.end()));
    EXPECT_EQ(checked.size(), 14u);
    for (const auto& line : checked)
        EXPECT_TRUE(line.ends_with(": OK")) << line;
}

#endif

TEST_F(CliArchive, RefusesFoldersInsideEachOtherAndUnknownFormats)
{
    const std::vector<std::vector<std::string>> cases = {
        {"archive", Disk(), platform::JoinPath(Disk(), "out")},
        {"archive", Disk(), Disk()},
        {"archive", platform::JoinPath(Disk(), "."), platform::JoinPath(Disk(), "sub/deeper")},
        {"archive", Disk(), Out("a"), "--format", "ogg"},
        {"archive", Out("missing"), Out("a")},
    };
    const auto before = ArchiveTree(Disk());
    for (const auto& arguments : cases) {
        const auto result = RunCli(arguments);
        EXPECT_EQ(result.exitStatus, 2) << arguments[2] << "\n" << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(before, ArchiveTree(Disk()));
    EXPECT_EQ(platform::RealFileSystem().KindOf(Out("a")), platform::FileKind::None);
}

TEST_F(CliArchive, ExitStatusesOfReplaceAndCheck)
{
    TempFolder other;
    testsupport::DamagedDisk().Write(other.Path());
    TempFolder empty;
    struct Case {
        std::vector<std::string> arguments;
        int status;
        bool listsFiles;
    };
    const Case cases[] = {
        {{"archive", Disk(), Out("a")}, 0, true},
        {{"archive", "--check", Out("a")}, 0, false},
        {{"archive", other.Path(), Out("a")}, 2, false},
        {{"archive", other.Path(), Out("a"), "--replace"}, 1, true},  // the damaged disk leaves parts out
        {{"archive", "--check", Out("a")}, 0, false},
        {{"archive", "--check", empty.Path()}, 2, false},
        {{"archive", "--check", Disk(), Out("a")}, 2, false},
        {{"archive", "--check", Out("a"), "--verify"}, 2, false},
        {{"archive", Disk()}, 2, false},
    };
    for (const auto& c : cases) {
        const auto result = RunCli(c.arguments);
        EXPECT_EQ(result.exitStatus, c.status) << testing::PrintToString(c.arguments) << "\n" << result.err;
        EXPECT_EQ(result.out.empty(), !c.listsFiles) << testing::PrintToString(c.arguments);
    }
}

// The tool meets a folder whose lock another archive holds: refused at once, nothing
// changed; --check only reads and needs no lock.
TEST_F(CliArchive, ASecondArchiveIntoTheSameFolderIsRefused)
{
    ASSERT_EQ(RunCli({"archive", Disk(), Out("a")}).exitStatus, 0);
    const auto before = ArchiveTree(Out("a"));
    const platform::FolderLocking other = platform::RealFileSystem().LockFolder(Out("a"));
    ASSERT_EQ(other.state, platform::FolderLockState::Held);
    const auto result = RunCli({"archive", Disk(), Out("a")});
    EXPECT_EQ(result.exitStatus, 1) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(Lines(result.err).front(), "archive refused: another archive is writing into " + Out("a") +
                                             "; nothing was changed. Run it again once that one has finished, "
                                             "or choose another folder");
    EXPECT_EQ(ArchiveTree(Out("a")), before);
    EXPECT_EQ(RunCli({"archive", "--check", Out("a")}).exitStatus, 0);
}

}  // namespace
