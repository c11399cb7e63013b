// The archive against what can happen to it from outside: a power cut at any step, on
// a file system in memory that keeps only what was put on the device.

#include "archive/ArchiveManifest.h"
#include "archive/ArchiveRun.h"
#include "convert/FlacFile.h"
#include "platform/Files.h"
#include "platform/Sha256.h"
#include "platform/TemporaryFile.h"
#include "tests/archive/ArchiveFixture.h"
#include "tests/support/MemoryDisk.h"
#include "tests/support/MemoryFileSystem.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <string>

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

// An archive folder in memory beside a disk.
struct MemoryArchive {
    explicit MemoryArchive(const MemoryFileSystem& disk = ArchiveDisk())
    {
        memory.AddFolder(kDisk);
        for (const auto& path : disk.FilePaths())
            memory.AddFile(path, disk.Bytes(path));
    }

    int Run(ArchiveFormat format)
    {
        console = RecordingConsole{};
        return archive::RunArchive({kDisk, kOut, format}, memory, console);
    }

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
