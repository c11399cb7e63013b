// A file written to replace another must leave the old one whole until it is
// complete, and leave nothing of itself behind when it fails.

#include "platform/Files.h"
#include "tests/support/MemoryFileSystem.h"
#include "platform/ReplacingFile.h"
#include "tests/support/FaultyFileSystem.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using testsupport::FaultOp;
using testsupport::FaultyFileSystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

const char* const kFolder = "out";
const char* const kPath = "out/take.wav";
const Bytes kOld = {1, 1, 1};
const Bytes kNew = {2, 2, 2, 2, 2};
constexpr std::uint32_t kOldPermissions = 0600;

std::vector<std::string> Names(platform::FileSystem& files)
{
    std::vector<std::string> names;
    const auto entries = files.ListFolder(kFolder);
    for (const auto& entry : entries.value_or(std::vector<platform::FolderEntry>{}))
        names.push_back(entry.name);
    return names;
}

// A memory folder, optionally holding an old file at kPath, seen through a failing file system.
struct Rig {
    explicit Rig(bool oldFile)
    {
        memory.AddFolder(kFolder);
        if (oldFile) {
            memory.AddFile(kPath, kOld);
            memory.SetPermissions(kPath, kOldPermissions);
        }
    }
    testsupport::MemoryFileSystem memory;
    FaultyFileSystem files{memory};
};

}  // namespace

TEST(ReplacingFile, TheOldFileStaysWholeUntilTheNewOneIsInPlace)
{
    struct Case {
        const char* what;
        bool oldFile;
        std::function<void(FaultyFileSystem&)> fault;
        bool closes;
        std::vector<std::string> names;
        Bytes after;
    };
    const auto none = [](FaultyFileSystem&) {};
    const Case cases[] = {
        {"new name", false, none, true, {"take.wav"}, kNew},
        {"replaces a file", true, none, true, {"take.wav"}, kNew},
        {"close fails", true, [](FaultyFileSystem& f) { f.FailNth(FaultOp::Close, 1); }, false, {"take.wav"}, kOld},
        {"rename fails", true, [](FaultyFileSystem& f) { f.FailNth(FaultOp::Rename, 1); }, false, {"take.wav"}, kOld},
        {"disk fills", true, [](FaultyFileSystem& f) { f.FillAfter(2); }, false, {"take.wav"}, kOld},
        {"write fails", true, [](FaultyFileSystem& f) { f.FailNth(FaultOp::Write, 1); }, false, {"take.wav"}, kOld},
        {"new name, rename fails", false, [](FaultyFileSystem& f) { f.FailNth(FaultOp::Rename, 1); }, false, {}, {}},
        {"sync fails", true, [](FaultyFileSystem& f) { f.FailNth(FaultOp::Sync, 1); }, false, {"take.wav"}, kOld},
        // In place by then: only whether it outlasts a power cut is open.
        {"folder sync fails", true, [](FaultyFileSystem& f) { f.FailNth(FaultOp::Sync, 2); }, false, {"take.wav"},
         kNew},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig(c.oldFile);
        c.fault(rig.files);
        auto file = platform::OpenReplacing(rig.files, kPath);
        ASSERT_TRUE(file);
        file->Write(kNew.data(), kNew.size());
        EXPECT_EQ(rig.memory.Bytes(kPath), c.oldFile ? kOld : Bytes{}) << "before the close";
        EXPECT_EQ(file->Close(), c.closes);
        EXPECT_EQ(Names(rig.files), c.names);
        EXPECT_EQ(rig.memory.Bytes(kPath), c.after);
        if (c.oldFile) {
            EXPECT_EQ(rig.memory.Permissions(kPath), kOldPermissions);
        }
    }
}

TEST(ReplacingFile, APowerCutLeavesTheOldFileOrTheWholeNewOne)
{
    const std::string bytes(kNew.begin(), kNew.end());
    for (const bool oldFile : {false, true}) {
        Rig clean(oldFile);
        ASSERT_TRUE(platform::WriteWholeFile(clean.memory, kPath, bytes));
        // The new file is on the device once the last step, the folder's sync, is done.
        for (int cut = 1; cut <= clean.memory.Steps() + 1; ++cut) {
            SCOPED_TRACE(std::to_string(cut) + (oldFile ? " of a replacement" : " of a new file"));
            Rig rig(oldFile);
            rig.memory.CutPowerAt(cut);
            ASSERT_TRUE(platform::WriteWholeFile(rig.memory, kPath, bytes));
            rig.memory.PowerCut();
            const bool done = cut > clean.memory.Steps();
            // No temporary ever outlasts a cut: its name is never synced.
            EXPECT_EQ(Names(rig.memory), oldFile || done ? std::vector<std::string>{"take.wav"} : std::vector<std::string>{});
            EXPECT_EQ(rig.memory.Bytes(kPath), done ? kNew : oldFile ? kOld : Bytes{});
        }
    }
}

TEST(ReplacingFile, ATemporaryIsHiddenBesideTheNameAndGoneWhenTheFileIsDropped)
{
    Rig rig(true);
    {
        auto file = platform::OpenReplacing(rig.files, kPath);
        ASSERT_TRUE(file);
        const std::vector<std::string> names = Names(rig.files);
        ASSERT_EQ(names.size(), 2u);
        const std::string prefix = ".take.wav.wavelorn-";
        EXPECT_EQ(names[0].substr(0, prefix.size()), prefix);
        EXPECT_EQ(names[0].size(), prefix.size() + 8);
        EXPECT_EQ(names[1], "take.wav");
        ASSERT_TRUE(file->Write(kNew.data(), kNew.size()));
    }
    EXPECT_EQ(Names(rig.files), std::vector<std::string>{"take.wav"});
    EXPECT_EQ(rig.memory.Bytes(kPath), kOld);
}

TEST(ReplacingFile, ALongNameIsShortenedWithoutCuttingACharacter)
{
    Rig rig(false);
    std::string name;
    for (int i = 0; i < 120; ++i)
        name += "\xC3\xA9";  // é, two bytes in UTF-8
    auto file = platform::OpenReplacing(rig.files, platform::JoinPath(kFolder, name));
    ASSERT_TRUE(file);
    const std::string temporary = Names(rig.files).at(0);
    const std::string kept = temporary.substr(1, temporary.find(".wavelorn-") - 1);
    EXPECT_LE(temporary.size(), 255u);
    EXPECT_EQ(kept.size() % 2, 0u);
    EXPECT_EQ(name.substr(0, kept.size()), kept);
    ASSERT_TRUE(file->Close());
    EXPECT_EQ(Names(rig.files), std::vector<std::string>{name});
}

TEST(ReplacingFile, NoFileWhereTheFolderIsMissingOrTheOpenFails)
{
    Rig rig(true);
    rig.files.FailNth(FaultOp::Open, 1);
    EXPECT_EQ(platform::OpenReplacing(rig.files, kPath), nullptr);
    EXPECT_EQ(rig.files.Count(FaultOp::Open), 1) << "a failed open is not retried under another name";
    EXPECT_EQ(platform::OpenReplacing(rig.files, "gone/take.wav"), nullptr);
    EXPECT_EQ(Names(rig.files), std::vector<std::string>{"take.wav"});
}
