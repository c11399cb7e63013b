#pragma once
// A file system held in memory: folders and files that a test or a fuzz target
// fills, reads back and inspects without touching a disk. Paths are compared as
// written, joined with the native separator.
//
// It also keeps what a device would hold after a power cut: a file's bytes (and
// size) as of its last Sync, and a folder's entries (created, renamed, removed) as
// of its last SyncFolder; a folder itself from its creation, as CreateFolders syncs
// it into its parent. What a test adds is there from the start. A test picks a step
// of a run to cut the power at; PowerCut then turns the files into what survived it.
//
// Folder locks act out the real ones: one holder per folder, released when the lock
// goes; a test can make a folder one that cannot be locked. Every file has an
// identity of its own that a rename carries along.

#include "platform/FileSystem.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

using platform::ByteSource;
using platform::FileKind;
using platform::FileSystem;
using platform::FolderEntry;
using platform::OutputFile;
using platform::WriteMode;

class MemoryFileSystem : public FileSystem {
public:
    MemoryFileSystem();

    // Adds a folder (its parents are not needed) or a file with its bytes.
    void AddFolder(const std::string& path);
    void AddFile(const std::string& path, std::vector<std::uint8_t> bytes);
    // The bytes of a file; empty when there is none.
    std::vector<std::uint8_t> Bytes(const std::string& path) const;
    bool HasFile(const std::string& path) const;
    // The full paths of every file, in byte order.
    std::vector<std::string> FilePaths() const;
    // What FreeSpace reports for every folder.
    void SetFreeSpace(std::uint64_t bytes) { m_freeSpace = bytes; }
    // The permission bits of a file (POSIX style, 0644 for a new one); a file
    // emptied by a Replace write keeps them, a renamed one takes them along.
    void SetPermissions(const std::string& path, std::uint32_t bits);
    std::optional<std::uint32_t> Permissions(const std::string& path) const;
    // When a file last changed, as LastChanged reports it; a file without one reports the present.
    void SetLastChanged(const std::string& path, std::filesystem::file_time_type time);
    // Makes LockFolder report `folder` as one the system cannot lock.
    void RefuseLocks(const std::string& folder) { m_unlockable.insert(Normal(folder)); }

    // Every change so far (an open for writing, a write, a resize, a sync, a rename,
    // a remove, a folder created) counts as one step, from 1.
    int Steps() const { return m_steps; }
    // Cuts the power just before step `step` happens: what is on the device then is kept.
    void CutPowerAt(int step) { m_cutStep = step; }
    // Makes the files what the device held at the cut, or holds now when the run
    // never reached that step.
    void PowerCut();

    std::unique_ptr<ByteSource> OpenRead(const std::string& path) override;
    std::unique_ptr<OutputFile> OpenWrite(const std::string& path, WriteMode mode) override;
    std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) override;
    FileKind KindOf(const std::string& path) override;
    // Holds no links: the same as KindOf.
    FileKind KindOfEntry(const std::string& path) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    std::optional<std::filesystem::file_time_type> LastChanged(const std::string& path) override;
    bool Resize(const std::string& path, std::uint64_t size) override;
    bool Remove(const std::string& path) override;
    bool Rename(const std::string& from, const std::string& to) override;
    bool SyncFolder(const std::string& folder) override;
    bool CreateFolders(const std::string& path) override;
    bool CreatePrivateFolder(const std::string& path) override;
    bool CopyPermissions(const std::string& from, const std::string& to) override;
    std::optional<std::uint64_t> FreeSpace(const std::string& folder) override;
    std::string TemporaryFolder() override;
    platform::FolderLocking LockFolder(const std::string& folder) override;
    std::optional<platform::FileIdentity> IdentityOf(const std::string& path) override;

private:
    // A file's bytes, shared by its names and open files, with those on the device.
    struct Node {
        std::vector<std::uint8_t> bytes;
        std::vector<std::uint8_t> synced;
    };
    using Content = std::shared_ptr<Node>;

    struct File {
        Content content;
        std::uint32_t permissions;
        std::uint64_t identity;
        std::optional<std::filesystem::file_time_type> lastChanged = std::nullopt;
    };
    // A name as the device holds it: its bytes, permissions and identity.
    struct DurableFile {
        std::vector<std::uint8_t> bytes;
        std::uint32_t permissions;
        std::uint64_t identity;
    };
    using DurableFiles = std::map<std::string, DurableFile>;

    class MemoryOutput;
    class MemoryLock;

    // A new file's identity.
    std::uint64_t NewIdentity() { return ++m_lastIdentity; }

    // Counts a step, taking what the device holds when it is the one to cut at.
    void Step();

    static std::string Normal(const std::string& path);
    static Content NewContent(std::vector<std::uint8_t> bytes = {}, bool synced = false);
    // Whether `path` names an entry of `folder` (normalised).
    static bool InFolder(const std::string& path, const std::string& folder);
    // The files as the device holds them now.
    DurableFiles OnDevice() const;

    std::map<std::string, File> m_files;
    // The names each folder held at its last sync, with the file each led to.
    std::map<std::string, File> m_durableNames;
    int m_steps = 0;
    int m_cutStep = 0;
    std::optional<DurableFiles> m_survivors;
    std::set<std::string> m_folders;
    std::set<std::string> m_survivingFolders;  // the folders at the cut
    std::uint64_t m_freeSpace;
    std::uint64_t m_lastIdentity = 0;
    std::set<std::string> m_lockedFolders;
    std::set<std::string> m_unlockable;
};

}  // namespace testsupport
