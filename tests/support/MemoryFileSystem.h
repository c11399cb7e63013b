#pragma once
// A file system held in memory: folders and files that a test or a fuzz target
// fills, reads back and inspects without touching a disk. Paths are compared as
// written, joined with the native separator.

#include "platform/FileSystem.h"

#include <cstdint>
#include <map>
#include <memory>
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
    bool CopyPermissions(const std::string& from, const std::string& to) override;
    std::optional<std::uint64_t> FreeSpace(const std::string& folder) override;
    std::string TemporaryFolder() override;

private:
    using Content = std::shared_ptr<std::vector<std::uint8_t>>;

    struct File {
        Content content;
        std::uint32_t permissions;
        std::optional<std::filesystem::file_time_type> lastChanged = std::nullopt;
    };

    static std::string Normal(const std::string& path);

    std::map<std::string, File> m_files;
    std::set<std::string> m_folders;
    std::uint64_t m_freeSpace;
};

}  // namespace testsupport
