#pragma once
// The file system as the engine sees it: opening files to read and to write,
// listing folders, removing and renaming, measuring free space. The runs and the
// recorder readers receive one; the real one is the default, tests put in one that
// holds its files in memory or fails on purpose.

#include "platform/ByteSource.h"
#include "platform/OutputFile.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class WriteMode {
    Replace,    // create, or empty an existing file
    CreateNew,  // create; fails when the name is taken
    Update,     // write into an existing file from its start, keeping its length
    Append,     // write after the end of an existing file, or create it
};

enum class FileKind { None, Regular, Folder, Other };

struct FolderEntry {
    std::string name;
    FileKind kind = FileKind::Other;
};

// What became of a try to lock a folder for one writer.
enum class FolderLockState {
    Held,           // this process holds it now
    HeldElsewhere,  // another holder has it (another process, or another lock of this one)
    Unsupported,    // the system cannot lock this folder (some network and FUSE mounts)
};

// A folder's writer lock, held while the object lives. The system drops it when the
// process ends, however it ends; nothing is written into the folder.
class FolderLock {
public:
    virtual ~FolderLock() = default;
};

struct FolderLocking {
    FolderLockState state = FolderLockState::Unsupported;
    std::unique_ptr<FolderLock> lock;  // set when Held
};

// Which file a name leads to: the device (volume) and the file's number on it. A
// file keeps it when renamed; another file put under the same name has another.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    bool operator==(const FileIdentity&) const = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens a regular file for reading; null for anything else (a folder, a pipe,
    // a missing name) or when it cannot be opened.
    virtual std::unique_ptr<ByteSource> OpenRead(const std::string& path) = 0;
    // Opens a file for writing; null when it cannot be opened.
    virtual std::unique_ptr<OutputFile> OpenWrite(const std::string& path, WriteMode mode) = 0;
    // The entries of a folder in byte order of their names; nothing when it cannot be listed.
    virtual std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) = 0;
    // What the name leads to, following symbolic links.
    virtual FileKind KindOf(const std::string& path) = 0;
    // What the name itself is, without following a symbolic link: a link is Other,
    // whatever it leads to (also when it leads nowhere).
    virtual FileKind KindOfEntry(const std::string& path) = 0;
    // The size of a regular file; nothing when there is none.
    virtual std::optional<std::uint64_t> FileSize(const std::string& path) = 0;
    // When the content of a regular file last changed; nothing when there is none.
    virtual std::optional<std::filesystem::file_time_type> LastChanged(const std::string& path) = 0;
    // Cuts or zero-extends a regular file to `size` bytes.
    virtual bool Resize(const std::string& path, std::uint64_t size) = 0;
    virtual bool Remove(const std::string& path) = 0;
    // Moves `from` to `to`, replacing a file there.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    // Waits until the system has put the folder's entries (the files created, renamed
    // and removed in it) on the device. Nothing to do where the system does that with
    // each change (Windows).
    virtual bool SyncFolder(const std::string& folder) = 0;
    // Creates a folder and any missing parents, each synced into its parent so that a
    // power cut cannot take away a folder whose files were put on the device. True
    // when the folder exists afterwards and every sync succeeded.
    virtual bool CreateFolders(const std::string& path) = 0;
    // Creates the one folder `path` (its parent must exist), open to its owner only; false
    // when the name is taken or the folder cannot be made. Nothing is synced: the
    // folder is for scratch files that need not outlast the process.
    virtual bool CreatePrivateFolder(const std::string& path) = 0;
    // Gives `to` the permission bits of `from` (on Windows: its read-only attribute).
    virtual bool CopyPermissions(const std::string& from, const std::string& to) = 0;
    // The bytes available to the user on the volume holding `folder`.
    virtual std::optional<std::uint64_t> FreeSpace(const std::string& folder) = 0;
    // The folder for temporary files; empty when there is none.
    virtual std::string TemporaryFolder() = 0;
    // Locks `folder` for one writer without waiting. The same folder reached by two
    // spellings (or drive letters) is one lock; a second lock of it fails also within
    // one process. A folder that cannot be opened counts as Unsupported.
    virtual FolderLocking LockFolder(const std::string& folder) = 0;
    // The identity of the entry `path` names itself (a symbolic link's own, not its
    // target's); nothing when there is none.
    virtual std::optional<FileIdentity> IdentityOf(const std::string& path) = 0;
};

// The operating system's file system.
FileSystem& RealFileSystem();

}  // namespace platform
