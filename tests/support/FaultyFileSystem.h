#pragma once
// A file system that fails on purpose: it passes everything to another one (the real
// one or one in memory) and makes the Nth open, read, write, flush, close or rename
// fail, or lets the disk fill after a number of bytes, for the paths a test picks.
// Tests use it to check what each failure leaves behind, on every platform.

#include "platform/FileSystem.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// Sync counts the syncs of files and of folders alike.
enum class FaultOp { Open, Read, Write, Flush, Sync, Close, Rename, Count };

// Which paths a fault concerns; empty: all.
using PathFilter = std::function<bool(const std::string& path)>;

// Paths whose last component contains `part`, letter case aside.
PathFilter NameContains(const std::string& part);

class FaultyFileSystem : public platform::FileSystem {
public:
    explicit FaultyFileSystem(platform::FileSystem& inner = platform::RealFileSystem());

    // What FreeSpace reports for every folder, when set.
    std::optional<std::uint64_t> freeSpace;
    // Files opened for writing in a mode this accepts take no byte and fail every write and their close.
    std::function<bool(const std::string& path, platform::WriteMode mode)> failWrites;
    // Reads this accepts (of a file, from a position) fail.
    std::function<bool(const std::string& path, std::uint64_t position)> failReads;
    // Reads of a file stop short at the offset this gives for it, as if the file had been
    // cut after it was opened (its size stays as measured then); nothing: no cut.
    std::function<std::optional<std::uint64_t>(const std::string& path)> cutReads;
    // TemporaryFolder reports none.
    bool noTemporaryFolder = false;

    // The nth (from 1) operation of kind `op` on a matching path from now on fails,
    // and every later one too when `sticky`; n = 0 only counts them.
    void FailNth(FaultOp op, int n, PathFilter filter = {}, bool sticky = false);
    // Reads of matching paths that touch the `length` bytes at `offset` fail: the first
    // `failures` of them, every one with kAlways.
    static constexpr int kAlways = -1;
    void FailRange(std::uint64_t offset, std::uint64_t length, int failures, PathFilter filter = {});
    // Writes to matching paths fail once `bytes` have been written to them in all:
    // the write that crosses the limit stores what fits and fails.
    void FillAfter(std::uint64_t bytes, PathFilter filter = {});
    // How many operations of a kind reached matching paths so far (to enumerate N).
    int Count(FaultOp op) const { return m_counts[static_cast<std::size_t>(op)]; }
    // How many bytes were written to the paths of the last FillAfter so far.
    std::uint64_t BytesFilled() const { return m_filled; }

    std::unique_ptr<platform::ByteSource> OpenRead(const std::string& path) override;
    std::unique_ptr<platform::OutputFile> OpenWrite(const std::string& path, platform::WriteMode mode) override;
    std::optional<std::vector<platform::FolderEntry>> ListFolder(const std::string& folder) override;
    platform::FileKind KindOf(const std::string& path) override;
    platform::FileKind KindOfEntry(const std::string& path) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    std::optional<std::filesystem::file_time_type> LastChanged(const std::string& path) override
    {
        return m_inner.LastChanged(path);
    }
    bool Resize(const std::string& path, std::uint64_t size) override;
    bool Remove(const std::string& path) override;
    bool Rename(const std::string& from, const std::string& to) override;
    bool SyncFolder(const std::string& folder) override;
    bool CreateFolders(const std::string& path) override { return m_inner.CreateFolders(path); }
    bool CreatePrivateFolder(const std::string& path) override { return m_inner.CreatePrivateFolder(path); }
    bool CopyPermissions(const std::string& from, const std::string& to) override;
    std::optional<std::uint64_t> FreeSpace(const std::string& folder) override;
    std::string TemporaryFolder() override;
    platform::FolderLocking LockFolder(const std::string& folder) override { return m_inner.LockFolder(folder); }
    std::optional<platform::FileIdentity> IdentityOf(const std::string& path) override
    {
        return m_inner.IdentityOf(path);
    }

    // Called by the wrapped files: false when this operation is to fail.
    bool Allow(FaultOp op, const std::string& path);
    bool AllowRead(const std::string& path, std::uint64_t position, std::size_t count);
    // How many of `count` bytes a read of `path` at `position` may get.
    std::size_t ReadRoom(const std::string& path, std::uint64_t position, std::size_t count);
    // How many of `count` bytes a write to `path` may store before the disk is full.
    std::uint64_t Room(const std::string& path, std::uint64_t count);

private:
    struct Fault {
        int n = 0;  // 0: none
        PathFilter filter;
        bool sticky = false;
    };

    struct BadRange {
        std::uint64_t offset = 0;
        std::uint64_t length = 0;
        int failures = 0;  // still to come; kAlways: without end
        PathFilter filter;
    };

    static bool Matches(const PathFilter& filter, const std::string& path);
    // True when a bad range fails this read (and counts the failure).
    bool HitsBadRange(const std::string& path, std::uint64_t position, std::size_t count);

    platform::FileSystem& m_inner;
    std::array<Fault, static_cast<std::size_t>(FaultOp::Count)> m_faults{};
    std::array<int, static_cast<std::size_t>(FaultOp::Count)> m_counts{};
    std::vector<BadRange> m_badRanges;
    std::optional<std::uint64_t> m_fillLimit;
    PathFilter m_fillFilter;
    std::uint64_t m_filled = 0;
};

}  // namespace testsupport
