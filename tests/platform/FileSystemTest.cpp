// The real file system and the one in memory must behave alike: tests and fuzz
// targets stand on the memory one, the program on the real one.

#include "platform/FileSystem.h"
#include "platform/Files.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#ifdef __linux__
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

using platform::FileKind;
using platform::WriteMode;
using Bytes = std::vector<std::uint8_t>;

namespace {

// One file system under test and a folder inside it to work in.
struct Ground {
    virtual ~Ground() = default;
    virtual platform::FileSystem& Files() = 0;
    virtual std::string Folder() const = 0;
    std::string File(const std::string& name) const { return platform::JoinPath(Folder(), name); }
    // The POSIX permission bits of a file in the folder.
    virtual std::uint32_t Permissions(const std::string& name) = 0;
    virtual void SetPermissions(const std::string& name, std::uint32_t bits) = 0;
};

struct RealGround : Ground {
    testsupport::TempFolder folder;
    platform::FileSystem& Files() override { return platform::RealFileSystem(); }
    std::string Folder() const override { return folder.Path(); }
    std::uint32_t Permissions(const std::string& name) override
    {
        return static_cast<std::uint32_t>(std::filesystem::status(platform::PathFromUtf8(File(name))).permissions() &
                                          std::filesystem::perms::mask);
    }
    void SetPermissions(const std::string& name, std::uint32_t bits) override
    {
        std::filesystem::permissions(platform::PathFromUtf8(File(name)), static_cast<std::filesystem::perms>(bits));
    }
};

struct MemoryGround : Ground {
    MemoryGround() { memory.AddFolder(Folder()); }
    testsupport::MemoryFileSystem memory;
    platform::FileSystem& Files() override { return memory; }
    std::string Folder() const override { return "disk"; }
    std::uint32_t Permissions(const std::string& name) override { return memory.Permissions(File(name)).value_or(0); }
    void SetPermissions(const std::string& name, std::uint32_t bits) override { memory.SetPermissions(File(name), bits); }
};

using GroundFactory = std::function<std::unique_ptr<Ground>()>;

class FileSystemBehaviour : public testing::TestWithParam<GroundFactory> {
protected:
    void SetUp() override { ground = GetParam()(); }

    bool WriteFile(const std::string& name, const Bytes& bytes, WriteMode mode = WriteMode::Replace)
    {
        const auto file = ground->Files().OpenWrite(ground->File(name), mode);
        return file && file->Write(bytes.data(), bytes.size()) && file->Close();
    }

    Bytes ReadFile(const std::string& name)
    {
        const auto source = ground->Files().OpenRead(ground->File(name));
        if (!source)
            return {};
        Bytes bytes(static_cast<std::size_t>(source->Size()));
        EXPECT_TRUE(source->ReadExactly(0, bytes.data(), bytes.size()));
        return bytes;
    }

    std::unique_ptr<Ground> ground;
};

}  // namespace

TEST_P(FileSystemBehaviour, WriteModes)
{
    struct Case {
        const char* name;
        bool existsBefore;
        WriteMode mode;
        bool opens;
        Bytes after;
    };
    const Bytes old = {1, 2, 3, 4};
    const Bytes written = {9, 8};
    const Case cases[] = {
        {"replace a file", true, WriteMode::Replace, true, {9, 8}},
        {"replace creates", false, WriteMode::Replace, true, {9, 8}},
        {"create new refuses a taken name", true, WriteMode::CreateNew, false, {1, 2, 3, 4}},
        {"create new", false, WriteMode::CreateNew, true, {9, 8}},
        {"update keeps the length", true, WriteMode::Update, true, {9, 8, 3, 4}},
        {"update needs the file", false, WriteMode::Update, false, {}},
        {"append after the end", true, WriteMode::Append, true, {1, 2, 3, 4, 9, 8}},
        {"append creates", false, WriteMode::Append, true, {9, 8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = std::string("f") + std::to_string(&c - cases);
        if (c.existsBefore) {
            ASSERT_TRUE(WriteFile(name, old));
        }
        EXPECT_EQ(WriteFile(name, written, c.mode), c.opens);
        EXPECT_EQ(ReadFile(name), c.after);
    }
}

TEST_P(FileSystemBehaviour, SeekRewritesInPlace)
{
    const auto file = ground->Files().OpenWrite(ground->File("h"), WriteMode::Replace);
    ASSERT_TRUE(file);
    const Bytes zeros(6, 0);
    const Bytes header = {7, 7};
    ASSERT_TRUE(file->Write(zeros.data(), zeros.size()));
    ASSERT_TRUE(file->Seek(2));
    ASSERT_TRUE(file->Write(header.data(), header.size()));
    ASSERT_TRUE(file->Close());
    EXPECT_EQ(ReadFile("h"), (Bytes{0, 0, 7, 7, 0, 0}));
}

TEST_P(FileSystemBehaviour, ReadsStopAtTheEnd)
{
    ASSERT_TRUE(WriteFile("r", {1, 2, 3}));
    const auto source = ground->Files().OpenRead(ground->File("r"));
    ASSERT_TRUE(source);
    std::uint8_t buffer[4] = {};
    EXPECT_EQ(source->ReadAt(1, buffer, sizeof buffer), 2u);
    EXPECT_EQ(buffer[0], 2);
    EXPECT_EQ(source->ReadAt(3, buffer, sizeof buffer), 0u);
    EXPECT_EQ(source->ReadAt(~std::uint64_t{0}, buffer, sizeof buffer), 0u);
    EXPECT_FALSE(source->ReadExactly(2, buffer, 2));
    EXPECT_EQ(source->ReadAt(0, buffer, 1), 1u);  // back to the start after reading to the end
    EXPECT_EQ(buffer[0], 1);
}

TEST_P(FileSystemBehaviour, FoldersListRenameRemoveResize)
{
    platform::FileSystem& files = ground->Files();
    ASSERT_TRUE(WriteFile("b", {1}));
    ASSERT_TRUE(WriteFile("a", {2, 2}));
    EXPECT_EQ(files.KindOf(ground->File("a")), FileKind::Regular);
    EXPECT_EQ(files.KindOf(ground->Folder()), FileKind::Folder);
    EXPECT_EQ(files.KindOf(ground->File("none")), FileKind::None);
    EXPECT_EQ(files.OpenRead(ground->Folder()), nullptr);
    EXPECT_EQ(files.OpenRead(ground->File("none")), nullptr);
    EXPECT_EQ(files.OpenWrite(ground->File("none/x"), WriteMode::Replace), nullptr);

    auto names = [&] {
        std::vector<std::string> listed;
        const auto entries = files.ListFolder(ground->Folder());
        for (const auto& entry : entries.value())
            listed.push_back(entry.name);
        return listed;
    };
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(files.Rename(ground->File("a"), ground->File("b")));  // replaces b
    EXPECT_EQ(names(), std::vector<std::string>{"b"});
    EXPECT_EQ(ReadFile("b"), (Bytes{2, 2}));
    EXPECT_TRUE(files.Resize(ground->File("b"), 4));
    EXPECT_EQ(ReadFile("b"), (Bytes{2, 2, 0, 0}));
    EXPECT_EQ(files.FileSize(ground->File("b")), 4u);
    EXPECT_TRUE(files.Remove(ground->File("b")));
    EXPECT_FALSE(files.Remove(ground->File("b")));
    EXPECT_TRUE(names().empty());
    EXPECT_FALSE(files.ListFolder(ground->File("none")).has_value());
    EXPECT_TRUE(files.FreeSpace(ground->Folder()).has_value());
    EXPECT_FALSE(files.TemporaryFolder().empty());
}

TEST_P(FileSystemBehaviour, CreatesFoldersWithTheirParents)
{
    platform::FileSystem& files = ground->Files();
    ASSERT_TRUE(WriteFile("file", {1}));
    const std::string nested = platform::JoinPath(ground->File("a"), "b");
    EXPECT_TRUE(files.CreateFolders(nested));
    EXPECT_EQ(files.KindOf(ground->File("a")), FileKind::Folder);
    EXPECT_EQ(files.KindOf(nested), FileKind::Folder);
    EXPECT_TRUE(files.CreateFolders(nested));  // already there
    EXPECT_TRUE(files.OpenWrite(platform::JoinPath(nested, "c"), WriteMode::CreateNew));
    EXPECT_FALSE(files.CreateFolders(platform::JoinPath(ground->File("file"), "d")));  // a file in the way
    EXPECT_EQ(files.KindOf(ground->File("file")), FileKind::Regular);
}

#ifndef _WIN32  // names differing only in letter case cannot share a Windows folder
TEST_P(FileSystemBehaviour, ExactNameLookupThroughTheFileSystem)
{
    ASSERT_TRUE(WriteFile("fnb.bin", {1}));
    ASSERT_TRUE(WriteFile("Fnb.Bin", {1}));
    EXPECT_EQ(platform::FindExactName(ground->Files(), ground->Folder(), "FNB.BIN"), "Fnb.Bin");
    EXPECT_EQ(platform::FindFile(ground->Files(), ground->File("FNB.BIN")), ground->File("Fnb.Bin"));
    EXPECT_EQ(platform::FindFile(ground->Files(), ground->File("HFS.BIN")), std::nullopt);
}
#endif

TEST_P(FileSystemBehaviour, EntriesWithoutLinksAreWhatTheyLeadTo)
{
    ASSERT_TRUE(WriteFile("a", {1}));
    for (const std::string& path : {ground->File("a"), ground->Folder(), ground->File("none")})
        EXPECT_EQ(ground->Files().KindOfEntry(path), ground->Files().KindOf(path)) << path;
}

#ifndef _WIN32
TEST_P(FileSystemBehaviour, CopiesPermissionBits)
{
    constexpr std::uint32_t kOwnerOnly = 0600;
    constexpr std::uint32_t kReadableByAll = 0644;
    ASSERT_TRUE(WriteFile("from", {1}));
    ASSERT_TRUE(WriteFile("to", {2}));
    ground->SetPermissions("from", kOwnerOnly);
    ground->SetPermissions("to", kReadableByAll);
    EXPECT_TRUE(ground->Files().CopyPermissions(ground->File("from"), ground->File("to")));
    EXPECT_EQ(ground->Permissions("to"), kOwnerOnly);
    EXPECT_FALSE(ground->Files().CopyPermissions(ground->File("none"), ground->File("to")));
    EXPECT_EQ(ground->Permissions("to"), kOwnerOnly);
}
#endif

TEST_P(FileSystemBehaviour, AFolderHasOneLockHolderUntilTheLockGoes)
{
    using platform::FolderLockState;
    platform::FileSystem& files = ground->Files();
    auto first = files.LockFolder(ground->Folder());
    ASSERT_EQ(first.state, FolderLockState::Held);
    ASSERT_TRUE(first.lock);
    // The same folder through another spelling is the same lock.
    const auto second = files.LockFolder(platform::WithTrailingSeparator(ground->Folder()));
    EXPECT_EQ(second.state, FolderLockState::HeldElsewhere);
    EXPECT_FALSE(second.lock);
    first.lock.reset();
    EXPECT_EQ(files.LockFolder(ground->Folder()).state, FolderLockState::Held);
    EXPECT_EQ(files.LockFolder(ground->File("none")).state, FolderLockState::Unsupported);
}

TEST_P(FileSystemBehaviour, AFileKeepsItsIdentityWhenRenamedAndAnotherTakesItsName)
{
    platform::FileSystem& files = ground->Files();
    ASSERT_TRUE(WriteFile("a", {1}));
    ASSERT_TRUE(WriteFile("b", {2}));
    const auto a = files.IdentityOf(ground->File("a"));
    const auto b = files.IdentityOf(ground->File("b"));
    ASSERT_TRUE(a && b);
    EXPECT_NE(*a, *b);
    ASSERT_TRUE(WriteFile("b", {3}));  // written over in place: still the same file
    EXPECT_EQ(files.IdentityOf(ground->File("b")), b);
    ASSERT_TRUE(files.Rename(ground->File("a"), ground->File("b")));
    EXPECT_EQ(files.IdentityOf(ground->File("b")), a);
    EXPECT_EQ(files.IdentityOf(ground->File("a")), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Real, FileSystemBehaviour, testing::Values(GroundFactory([] {
                             return std::unique_ptr<Ground>(std::make_unique<RealGround>());
                         })));
INSTANTIATE_TEST_SUITE_P(Memory, FileSystemBehaviour, testing::Values(GroundFactory([] {
                             return std::unique_ptr<Ground>(std::make_unique<MemoryGround>());
                         })));

#ifdef __linux__
TEST(RealFileSystem, EntryKindDoesNotFollowLinks)
{
    testsupport::TempFolder folder;
    testsupport::WriteBytes(folder.File("file"), {1});
    std::filesystem::create_symlink(platform::PathFromUtf8(folder.File("file")), platform::PathFromUtf8(folder.File("link")));
    std::filesystem::create_symlink(platform::PathFromUtf8(folder.File("none")), platform::PathFromUtf8(folder.File("dangling")));
    struct Case {
        std::string path;
        FileKind kind;
        FileKind entry;
    };
    const Case cases[] = {
        {folder.File("file"), FileKind::Regular, FileKind::Regular},
        {folder.File("link"), FileKind::Regular, FileKind::Other},
        {folder.File("dangling"), FileKind::None, FileKind::Other},
        {"/dev/null", FileKind::Other, FileKind::Other},
    };
    platform::FileSystem& files = platform::RealFileSystem();
    for (const Case& c : cases) {
        EXPECT_EQ(files.KindOf(c.path), c.kind) << c.path;
        EXPECT_EQ(files.KindOfEntry(c.path), c.entry) << c.path;
    }
}

TEST(RealFileSystem, TheDiskLockDiesWithItsProcess)
{
    // A child takes the lock and is killed holding it; the folder can be locked again.
    testsupport::TempFolder folder;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const auto held = platform::RealFileSystem().LockFolder(folder.Path());
        if (held.state == platform::FolderLockState::Held)
            pause();
        _exit(1);
    }
    // Until the child has it, the probe takes it itself (and lets it go).
    constexpr int kTries = 500;
    constexpr useconds_t kPause = 10000;
    auto state = platform::FolderLockState::Held;
    for (int tries = 0; tries < kTries && state == platform::FolderLockState::Held; ++tries) {
        state = platform::RealFileSystem().LockFolder(folder.Path()).state;
        if (state == platform::FolderLockState::Held)
            usleep(kPause);
    }
    EXPECT_EQ(state, platform::FolderLockState::HeldElsewhere);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(platform::RealFileSystem().LockFolder(folder.Path()).state, platform::FolderLockState::Held);
}

TEST(OutputFile, AnErrorSeenOnlyAtCloseFailsTheFile)
{
    // A full device takes buffered writes and refuses them when they are flushed.
    const auto file = platform::RealFileSystem().OpenWrite("/dev/full", WriteMode::Replace);
    ASSERT_TRUE(file);
    const Bytes bytes(100, 1);
    EXPECT_TRUE(file->Write(bytes.data(), bytes.size()));
    EXPECT_FALSE(file->Close());
}
#endif
