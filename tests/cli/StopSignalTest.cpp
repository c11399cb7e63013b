// The tool stopped by a signal at several points of a run: it says so, exits 130 and
// leaves the disk and the output folders as the failure path promises.

#include "platform/Files.h"
#include "tests/archive/ArchiveFixture.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/TempFolder.h"
#include "tools/diskwriter/DiskWriter.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <filesystem>
#include <functional>
#include <set>

namespace {

using testsupport::ArchiveTree;
using testsupport::Lines;
using testsupport::TempFolder;

constexpr int kExitInterrupted = 130;
constexpr const char* kInterrupted = "wavelorn-cli: interrupted";
// Long enough that a run is still busy when the signal arrives: 16 MiB of samples per track.
constexpr std::uint64_t kTrackSamples = std::uint64_t{8} << 20;
constexpr int kTracks = 3;

struct Point {
    const char* what;
    int signal;
    const char* part;   // the files to watch for
    std::size_t count;  // the signal goes once this many such files exist
};

// The number of names in `folder` (none when it is missing) for which `match` holds.
std::size_t Count(const std::string& folder, const std::function<bool(const std::string&)>& match)
{
    std::error_code error;
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error))
        count += match(entry.path().filename().string()) ? 1 : 0;
    return count;
}

// A name holding `part`; a hidden temporary only when `part` begins with its dot.
bool Matches(const std::string& name, const char* part)
{
    return name.find(part) != std::string::npos && (part[0] == '.' || name[0] != '.');
}

// The names in `folder` that match the point's part.
std::size_t Matching(const std::string& folder, const Point& point)
{
    return Count(folder, [&](const std::string& name) { return Matches(name, point.part); });
}

// True once `folder` holds `point.count` more names that match its part than `earlier`.
bool Reached(const std::string& folder, const Point& point, std::size_t earlier = 0)
{
    return Matching(folder, point) >= earlier + point.count;
}

// A disk with one long project of three tracks.
void WriteLongDisk(const std::string& folder)
{
    diskwriter::Disk disk;
    auto& project = disk.AddProject({.slot = 2, .number = 1, .name = "Long"});
    for (int track = 1; track <= kTracks; ++track) {
        project.AddSegment({.track = track,
                            .lengthGroups = static_cast<std::uint32_t>(kTrackSamples / 8),
                            .serial = static_cast<std::uint16_t>(track - 1),
                            .generator = [track](std::uint64_t i) { return static_cast<std::int32_t>((i * 7919 + track) % 30011); },
                            .generatedSamples = kTrackSamples});
    }
    disk.Write(folder);
}


TEST(CliStop, AnInterruptedExportKeepsOnlyTheFilesItListed)
{
    const Point points[] = {
        {"SIGINT while the first file is written", SIGINT, ".wavelorn-", 1},
        {"SIGTERM once a file is complete", SIGTERM, "Take", 1},
        {"SIGHUP once two files are complete", SIGHUP, "Take", 2},
    };
    TempFolder disk;
    WriteLongDisk(disk.Path());
    for (const Point& point : points) {
        SCOPED_TRACE(point.what);
        TempFolder out;
        const auto result = testsupport::RunCliSignalled(
            {"export", disk.Path(), "--project", "1", "--tracks", "1,2,3", "--out", out.File("Take.wav")}, point.signal,
            [&] { return Reached(out.Path(), point); });
        ASSERT_EQ(result.exitStatus, kExitInterrupted) << result.err;
        EXPECT_EQ(Lines(result.err).back(), kInterrupted);
        std::set<std::string> listed;
        for (const auto& line : Lines(result.out))
            listed.insert(platform::NamePart(line));
        std::set<std::string> present;
        for (const auto& entry : std::filesystem::directory_iterator(out.Path()))
            present.insert(entry.path().filename().string());
        EXPECT_EQ(present, listed) << "no temporary, no unlisted file";
        EXPECT_LT(listed.size(), static_cast<std::size_t>(kTracks));
    }
}

TEST(CliStop, AnInterruptedImportLeavesTheDiskAsItWas)
{
    TempFolder sources;
    TempFolder exported;
    TempFolder longDisk;
    WriteLongDisk(longDisk.Path());
    ASSERT_EQ(testsupport::RunCli({"export", longDisk.Path(), "--project", "1", "--tracks", "1,2,3", "--out",
                                   exported.File("s.wav")})
                  .exitStatus,
              0);
    const Point points[] = {
        {"SIGINT at the first data file", SIGINT, "8b32", 1},
        {"SIGTERM at the third data file", SIGTERM, "8b32", 3},
    };
    for (const Point& point : points) {
        SCOPED_TRACE(point.what);
        TempFolder disk;
        ASSERT_EQ(testsupport::RunCli({"demo", disk.Path()}).exitStatus, 0);
        const auto before = ArchiveTree(disk.Path());
        const std::size_t earlier = Matching(disk.Path(), point);
        const auto result = testsupport::RunCliSignalled(
            {"import", disk.Path(), "--name", "Stopped", exported.File("s11.wav"), exported.File("s21.wav"),
             exported.File("s31.wav")},
            point.signal,
            [&] { return Reached(disk.Path(), point, earlier); });
        ASSERT_EQ(result.exitStatus, kExitInterrupted) << result.err;
        EXPECT_EQ(Lines(result.err).back(), kInterrupted);
        EXPECT_TRUE(result.out.empty());
        EXPECT_TRUE(ArchiveTree(disk.Path()) == before) << "the disk changed";
    }
}

TEST(CliStop, AnInterruptedArchiveIsResumedByTheNextRun)
{
    TempFolder disk;
    WriteLongDisk(disk.Path());
    TempFolder whole;
    ASSERT_EQ(testsupport::RunCli({"archive", disk.Path(), whole.Path()}).exitStatus, 0);
    const Point points[] = {
        {"SIGINT while the disk's files are copied", SIGINT, "FNB", 1},
        {"SIGTERM once a track file is written", SIGTERM, "V1.wav", 1},
    };
    for (const Point& point : points) {
        SCOPED_TRACE(point.what);
        TempFolder out;
        const auto result = testsupport::RunCliSignalled(
            {"archive", disk.Path(), out.Path()}, point.signal,
            [&] { return Reached(out.Path(), point); });
        ASSERT_EQ(result.exitStatus, kExitInterrupted) << result.err;
        EXPECT_EQ(Lines(result.err).back(), kInterrupted);
        const auto resumed = testsupport::RunCli({"archive", "--verify", disk.Path(), out.Path()});
        EXPECT_EQ(resumed.exitStatus, 0) << resumed.err;
        EXPECT_TRUE(ArchiveTree(out.Path()) == ArchiveTree(whole.Path()));
    }
}

}  // namespace
#endif
