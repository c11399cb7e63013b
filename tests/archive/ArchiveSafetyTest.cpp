// The archive against what can happen to it from outside, on a file system in memory:
// a stop request, a power cut at any step (only what was put on the device stays),
// another archive into the same folder, a disk that changes while it is read.

#include "archive/ArchiveManifest.h"
#include "archive/ArchiveRun.h"
#include "convert/FlacFile.h"
#include "platform/Files.h"
#include "platform/Interruption.h"
#include "platform/Sha256.h"
#include "platform/TemporaryFile.h"
#include "tests/archive/ArchiveFixture.h"
#include "tests/support/MemoryDisk.h"
#include "tests/support/MemoryFileSystem.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <functional>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

using archive::ArchiveFormat;
using testsupport::MemoryFileSystem;
using testsupport::RecordingConsole;

namespace {

constexpr const char* kDisk = "disk";
constexpr const char* kOut = "out";

using Tree = std::map<std::string, std::string>;

// The fixture's disk, written once.
const MemoryFileSystem& ArchiveDisk()
{
    static const MemoryFileSystem disk = [] {
        MemoryFileSystem files;
        testsupport::LoadDisk(testsupport::ArchiveDisk(), files, kDisk);
        return files;
    }();
    return disk;
}

// An archive folder in memory beside the fixture's disk.
struct MemoryArchive {
    MemoryArchive()
    {
        memory.AddFolder(kDisk);
        for (const auto& path : ArchiveDisk().FilePaths())
            memory.AddFile(path, ArchiveDisk().Bytes(path));
    }

    // `whileRunning` is called whenever the run's bar moves.
    int Run(ArchiveFormat format = ArchiveFormat::Wave, std::function<void()> whileRunning = {})
    {
        console = RecordingConsole{};
        console.onProgress = std::move(whileRunning);
        console.stopAtPoll = stopAtPoll;
        return archive::RunArchive({kDisk, kOut, format, verify}, memory, console);
    }

    std::string Disk(const std::string& name) const { return platform::JoinPath(kDisk, name); }

    // The archive folder's files, the hidden temporaries of a stopped run left out.
    Tree Files()
    {
        Tree files;
        for (const auto& [file, bytes] : testsupport::ArchiveTree(kOut, memory)) {
            if (!platform::IsTemporaryName(platform::NamePart(file)))
                files[file] = bytes;
        }
        return files;
    }

    bool Complete()
    {
        const Tree files = Files();
        const auto manifest = files.find(archive::kManifestName);
        return manifest != files.end() && nlohmann::json::parse(manifest->second).value("complete", false);
    }

    MemoryFileSystem memory;
    RecordingConsole console;
    bool verify = false;
    int stopAtPoll = -1;  // the run is asked to stop from this question on; negative: never
};

// Each file SHA256SUMS names is there with that checksum; the names that are not.
std::vector<std::string> FilesUnlikeTheirChecksums(const Tree& files)
{
    const auto list = files.find(archive::kChecksumListName);
    if (list == files.end())
        return {archive::kChecksumListName};
    std::vector<std::string> unlike;
    for (const auto& [file, sum] : archive::ParseChecksumList(list->second).sums) {
        const auto found = files.find(file);
        if (found == files.end() || platform::Sha256Hex(found->second.data(), found->second.size()) != sum)
            unlike.push_back(file);
    }
    return unlike;
}

}  // namespace

// A stop request while the archive is written leaves a manifest that is not complete
// and a state the next run resumes; one while --verify reads it back leaves the
// complete archive as it is. Either ends as interrupted.
TEST(ArchiveStop, EndsTheWriteOrTheVerifyPassAndTheNextRunResumes)
{
    MemoryArchive writing;
    MemoryArchive verifying;
    verifying.verify = true;
    for (MemoryArchive* counting : {&writing, &verifying}) {
        counting->stopAtPoll = std::numeric_limits<int>::max();  // counts the polls, never stops
        ASSERT_EQ(counting->Run(), 0);
    }
    const int writePolls = writing.console.polls;
    const Tree whole = writing.Files();
    const int copies = 9;  // read back: one poll each, then the tracks a poll each and one per chunk
    ASSERT_GT(verifying.console.polls - writePolls, copies + 1);
    struct Case {
        const char* what;
        int stopAtPoll;
        bool verifying;
    };
    // Written, each copy is asked before it (even) and before each of its blocks (odd).
    const Case cases[] = {
        {"between two raw copies", 2, false},
        {"inside a raw copy", 3, false},
        {"among the track files", writePolls - 2, false},
        {"before the first copy is read back", writePolls, true},
        {"inside a track read back", writePolls + copies + 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryArchive rig;
        rig.verify = true;
        rig.stopAtPoll = c.stopAtPoll;
        EXPECT_EQ(rig.Run(), platform::kInterruptedExitStatus);
        EXPECT_TRUE(rig.console.Warned("archive stopped: stopped on request"))
            << testing::PrintToString(rig.console.warnings);
        EXPECT_EQ(rig.console.Warned("while it was verified"), c.verifying);
        EXPECT_FALSE(rig.console.Warned("verify: "));
        EXPECT_EQ(rig.Complete(), c.verifying);
        if (c.verifying) {
            EXPECT_EQ(rig.Files(), whole);
        }
        // A copy stopped inside is kept with what it did not read listed, never tried.
        const bool inside = c.stopAtPoll == 3;
        const Tree stopped = rig.Files();
        ASSERT_EQ(stopped.contains(archive::kRescueMapName), inside);
        if (inside) {
            const auto map = archive::ParseRescueMap(stopped.at(archive::kRescueMapName));
            ASSERT_TRUE(map && map->size() == 1);
            const auto& [name, ranges] = *map->begin();
            const std::uint64_t size = whole.at("disk/" + name).size();
            EXPECT_EQ(ranges, (std::vector<archive::UnreadableRange>{{0, size, 0}}));
            EXPECT_FALSE(rig.console.Warned("unreadable: "));
        }
        rig.stopAtPoll = -1;
        ASSERT_EQ(rig.Run(), 0) << testing::PrintToString(rig.console.warnings);
        EXPECT_EQ(rig.Files(), whole);
    }
}

// A power cut at every step of an archive into a new folder, data writes included:
// every file there is then absent or complete, a manifest that says complete stands
// beside every file SHA256SUMS names as it names it, and the next run ends as an
// uninterrupted one.
TEST(ArchivePowerCut, LeavesCompleteFilesAndARunThatResumes)
{
    std::vector<ArchiveFormat> formats = {ArchiveFormat::Wave};
    if (convert::FlacAvailable())
        formats.push_back(ArchiveFormat::Flac);
    for (const ArchiveFormat format : formats) {
        SCOPED_TRACE(archive::FormatExtension(format));
        MemoryArchive clean;
        const int start = clean.memory.Steps();
        ASSERT_EQ(clean.Run(format), 0) << testing::PrintToString(clean.console.warnings);
        const Tree whole = clean.Files();
        const int steps = clean.memory.Steps();
        int completeOnes = 0;
        for (int cut = start + 1; cut <= steps + 1; ++cut) {
            SCOPED_TRACE("cut at step " + std::to_string(cut) + " of " + std::to_string(steps));
            MemoryArchive rig;
            rig.memory.CutPowerAt(cut);
            rig.Run(format);
            rig.memory.PowerCut();
            const Tree left = rig.Files();
            for (const auto& [file, bytes] : left) {
                EXPECT_TRUE(file == archive::kManifestName || bytes == whole.at(file)) << file << " is not complete";
            }
            if (rig.Complete()) {
                ++completeOnes;
                EXPECT_EQ(FilesUnlikeTheirChecksums(left), std::vector<std::string>{});
                EXPECT_EQ(left, whole);
            }
            ASSERT_EQ(rig.Run(format), 0) << testing::PrintToString(rig.console.warnings);
            EXPECT_EQ(rig.Files(), whole);
        }
        EXPECT_GT(completeOnes, 0);
    }
}

// Another archive holds the folder's lock: the run is refused before it changes a
// byte, even the other run's temporaries. A folder that cannot be locked is written
// with a warning. A run holds the lock from start to end.
TEST(ArchiveLock, ASecondArchiveIntoTheFolderIsRefusedAtOnce)
{
    MemoryArchive rig;
    std::set<platform::FolderLockState> meanwhile;
    ASSERT_EQ(rig.Run(ArchiveFormat::Wave, [&] { meanwhile.insert(rig.memory.LockFolder(kOut).state); }), 0);
    EXPECT_EQ(meanwhile, std::set<platform::FolderLockState>{platform::FolderLockState::HeldElsewhere});
    const std::string othersTemporary = platform::JoinPath(kOut, ".manifest.json.wavelorn-k3x9q0za");
    rig.memory.AddFile(othersTemporary, {1, 2, 3});
    const Tree before = testsupport::ArchiveTree(kOut, rig.memory);

    const int steps = rig.memory.Steps();
    platform::FolderLocking other = rig.memory.LockFolder(kOut);
    ASSERT_EQ(other.state, platform::FolderLockState::Held);
    EXPECT_EQ(rig.Run(), 1);
    EXPECT_EQ(rig.console.warnings,
              std::vector<std::string>{"archive refused: another archive is writing into out; nothing was changed. "
                                       "Run it again once that one has finished, or choose another folder"});
    EXPECT_TRUE(rig.console.listed.empty());
    EXPECT_EQ(rig.memory.Steps(), steps) << "something was written";
    EXPECT_EQ(testsupport::ArchiveTree(kOut, rig.memory), before);

    other.lock.reset();
    rig.memory.RefuseLocks(kOut);
    EXPECT_EQ(rig.Run(), 0);
    EXPECT_TRUE(rig.console.Warned("warning: out cannot be locked on this file system; "
                                   "two archives into it at once are not kept apart"));
    EXPECT_FALSE(rig.memory.HasFile(othersTemporary));
}

// The disk changes while the archive reads it: the run ends with exit 1 and a line per
// changed file, its manifest incomplete and without the changed files, no track file
// written from the mixture; the next run, on the settled disk, ends as one that ran
// on it from the start.
TEST(ArchiveDiskChange, ADiskThatChangesWhileReadIsNeverArchivedAsComplete)
{
    struct Case {
        const char* what;
        std::function<void(MemoryArchive&)> change;
        std::string name;
        std::string line;
    };
    const Case cases[] = {
        {"FNB.BIN put back as another file of the same bytes",
         [](MemoryArchive& a) {
             const auto bytes = a.memory.Bytes(a.Disk("FNB.BIN"));
             a.memory.Remove(a.Disk("FNB.BIN"));
             a.memory.AddFile(a.Disk("FNB.BIN"), bytes);
         },
         "FNB.BIN", "changed on the disk: FNB.BIN: another file took its name"},
        {"a data file grows",
         [](MemoryArchive& a) {
             const std::uint8_t more[16] = {};
             a.memory.OpenWrite(a.Disk("8b320100.003"), platform::WriteMode::Append)->Write(more, sizeof more);
         },
         "8b320100.003", "changed on the disk: 8b320100.003: 131072 bytes before, 131088 bytes now"},
        {"a data file goes", [](MemoryArchive& a) { a.memory.Remove(a.Disk("8b320100.021")); }, "8b320100.021",
         "changed on the disk: 8b320100.021: gone from the disk"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryArchive settled;
        c.change(settled);
        const int settledStatus = settled.Run();
        MemoryArchive rig;
        bool changed = false;
        const auto changeOnce = [&] {
            if (!std::exchange(changed, true))
                c.change(rig);
        };
        EXPECT_EQ(rig.Run(ArchiveFormat::Wave, changeOnce), 1);
        EXPECT_TRUE(rig.console.Warned(c.line)) << testing::PrintToString(rig.console.warnings);
        EXPECT_TRUE(rig.console.Warned("archive stopped: the disk changed while it was read"));
        const Tree left = rig.Files();
        const auto manifest = nlohmann::json::parse(left.at(archive::kManifestName));
        EXPECT_EQ(manifest["complete"], false);
        for (const auto& disk : manifest["diskFiles"])
            EXPECT_NE(disk["name"], c.name);
        for (const auto& [file, bytes] : left)
            EXPECT_TRUE(file.starts_with("disk/") || file == archive::kManifestName) << file << " was written";
        EXPECT_EQ(rig.Run(), settledStatus) << testing::PrintToString(rig.console.warnings);
        EXPECT_EQ(rig.Files(), settled.Files());
    }
}
