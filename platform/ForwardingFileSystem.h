#pragma once
// A file system that passes everything to another one: the base of those that change
// one part of what another file system does (reads that skip damage, faults in tests).

#include "platform/FileSystem.h"

namespace platform {

class ForwardingFileSystem : public FileSystem {
public:
    explicit ForwardingFileSystem(FileSystem& inner) : m_inner(inner) {}

    std::unique_ptr<ByteSource> OpenRead(const std::string& path) override { return m_inner.OpenRead(path); }
    std::unique_ptr<OutputFile> OpenWrite(const std::string& path, WriteMode mode) override
    {
        return m_inner.OpenWrite(path, mode);
    }
    std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) override
    {
        return m_inner.ListFolder(folder);
    }
    FileKind KindOf(const std::string& path) override { return m_inner.KindOf(path); }
    FileKind KindOfEntry(const std::string& path) override { return m_inner.KindOfEntry(path); }
    std::optional<std::uint64_t> FileSize(const std::string& path) override { return m_inner.FileSize(path); }
    std::optional<std::filesystem::file_time_type> LastChanged(const std::string& path) override
    {
        return m_inner.LastChanged(path);
    }
    bool Resize(const std::string& path, std::uint64_t size) override { return m_inner.Resize(path, size); }
    bool Remove(const std::string& path) override { return m_inner.Remove(path); }
    bool Rename(const std::string& from, const std::string& to) override { return m_inner.Rename(from, to); }
    bool SyncFolder(const std::string& folder) override { return m_inner.SyncFolder(folder); }
    bool CreateFolders(const std::string& path) override { return m_inner.CreateFolders(path); }
    bool CreatePrivateFolder(const std::string& path) override { return m_inner.CreatePrivateFolder(path); }
    bool CopyPermissions(const std::string& from, const std::string& to) override
    {
        return m_inner.CopyPermissions(from, to);
    }
    std::optional<std::uint64_t> FreeSpace(const std::string& folder) override { return m_inner.FreeSpace(folder); }
    std::string TemporaryFolder() override { return m_inner.TemporaryFolder(); }
    FolderLocking LockFolder(const std::string& folder) override { return m_inner.LockFolder(folder); }
    std::optional<FileIdentity> IdentityOf(const std::string& path) override { return m_inner.IdentityOf(path); }

protected:
    FileSystem& Inner() { return m_inner; }

private:
    FileSystem& m_inner;
};

}  // namespace platform
