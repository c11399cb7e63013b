#include "tests/support/MemoryFileSystem.h"

#include "platform/Files.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace testsupport {

using platform::FolderPart;
using platform::IsPathSeparator;
using platform::MemorySource;
using platform::NamePart;

namespace {

constexpr const char* kTemporaryFolder = "memory-temp";
// Plenty, unless a test says otherwise.
constexpr std::uint64_t kDefaultFreeSpace = std::uint64_t{1} << 40;
// rw-r--r--, what a new file gets under the usual umask.
constexpr std::uint32_t kNewFilePermissions = 0644;
// The one device every file is on.
constexpr std::uint64_t kMemoryDevice = 1;

// A folder's own path as the entries of `path` name it ("." for none).
std::string ParentOf(const std::string& path)
{
    const std::string parent = FolderPart(path);
    return parent.empty() ? "." : parent;
}

}  // namespace

// Writes into a file's shared bytes; a removed file keeps them alive until closed.
class MemoryFileSystem::MemoryOutput : public platform::OutputFile {
public:
    MemoryOutput(MemoryFileSystem& files, Content content, std::uint64_t position)
        : m_files(files), m_content(std::move(content)), m_position(position)
    {
    }

    bool Write(const void* data, std::size_t count) override
    {
        if (!m_content)
            return false;
        m_files.Step();
        const auto end = m_position + count;
        if (end > m_content->bytes.size())
            m_content->bytes.resize(static_cast<std::size_t>(end));
        if (count > 0)
            std::memcpy(m_content->bytes.data() + m_position, data, count);
        m_position = end;
        return true;
    }

    bool Seek(std::uint64_t offset) override
    {
        m_position = offset;
        return m_content != nullptr;
    }

    bool Flush() override { return m_content != nullptr; }

    bool Sync() override
    {
        if (!m_content)
            return false;
        m_files.Step();
        m_content->synced = m_content->bytes;
        return true;
    }

    bool Close() override
    {
        const bool open = m_content != nullptr;
        m_content.reset();
        return open;
    }

private:
    MemoryFileSystem& m_files;
    Content m_content;
    std::uint64_t m_position;
};

// Holds a folder's lock until it goes.
class MemoryFileSystem::MemoryLock : public platform::FolderLock {
public:
    MemoryLock(std::set<std::string>& locked, std::string folder) : m_locked(locked), m_folder(std::move(folder))
    {
        m_locked.insert(m_folder);
    }
    ~MemoryLock() override { m_locked.erase(m_folder); }
    MemoryLock(const MemoryLock&) = delete;
    MemoryLock& operator=(const MemoryLock&) = delete;

private:
    std::set<std::string>& m_locked;
    std::string m_folder;
};

MemoryFileSystem::Content MemoryFileSystem::NewContent(std::vector<std::uint8_t> bytes, bool synced)
{
    auto content = std::make_shared<Node>();
    content->bytes = std::move(bytes);
    if (synced)
        content->synced = content->bytes;
    return content;
}

bool MemoryFileSystem::InFolder(const std::string& path, const std::string& folder)
{
    return Normal(ParentOf(path)) == folder && path != folder;
}

MemoryFileSystem::MemoryFileSystem() : m_freeSpace(kDefaultFreeSpace)
{
    m_folders.insert(kTemporaryFolder);
}

std::string MemoryFileSystem::Normal(const std::string& path)
{
    std::string normal = path;
    while (normal.size() > 1 && IsPathSeparator(normal.back()))
        normal.pop_back();
    return normal;
}

void MemoryFileSystem::AddFolder(const std::string& path)
{
    m_folders.insert(Normal(path));
}

void MemoryFileSystem::AddFile(const std::string& path, std::vector<std::uint8_t> bytes)
{
    const File file{NewContent(std::move(bytes), true), kNewFilePermissions, NewIdentity()};
    m_files[Normal(path)] = file;
    m_durableNames[Normal(path)] = file;
}

void MemoryFileSystem::Step()
{
    if (++m_steps != m_cutStep)
        return;
    m_survivors = OnDevice();
    m_survivingFolders = m_folders;
}

MemoryFileSystem::DurableFiles MemoryFileSystem::OnDevice() const
{
    DurableFiles files;
    for (const auto& [path, file] : m_durableNames)
        files[path] = DurableFile{file.content->synced, file.permissions, file.identity};
    return files;
}

void MemoryFileSystem::PowerCut()
{
    if (!m_survivors) {
        m_survivors = OnDevice();
        m_survivingFolders = m_folders;
    }
    m_folders = m_survivingFolders;
    m_files.clear();
    m_durableNames.clear();
    for (auto& [path, survivor] : *m_survivors) {
        const File file{NewContent(std::move(survivor.bytes), true), survivor.permissions, survivor.identity};
        m_files[path] = file;
        m_durableNames[path] = file;
    }
    m_survivors.reset();
    m_cutStep = 0;
}

void MemoryFileSystem::SetPermissions(const std::string& path, std::uint32_t bits)
{
    const auto found = m_files.find(Normal(path));
    if (found != m_files.end())
        found->second.permissions = bits;
}

std::optional<std::uint32_t> MemoryFileSystem::Permissions(const std::string& path) const
{
    const auto found = m_files.find(Normal(path));
    if (found == m_files.end())
        return std::nullopt;
    return found->second.permissions;
}

std::vector<std::uint8_t> MemoryFileSystem::Bytes(const std::string& path) const
{
    const auto found = m_files.find(Normal(path));
    return found == m_files.end() ? std::vector<std::uint8_t>() : found->second.content->bytes;
}

bool MemoryFileSystem::HasFile(const std::string& path) const
{
    return m_files.count(Normal(path)) != 0;
}

std::vector<std::string> MemoryFileSystem::FilePaths() const
{
    std::vector<std::string> paths;
    for (const auto& [path, file] : m_files)
        paths.push_back(path);
    return paths;
}

std::unique_ptr<ByteSource> MemoryFileSystem::OpenRead(const std::string& path)
{
    const auto found = m_files.find(Normal(path));
    if (found == m_files.end())
        return nullptr;
    return std::make_unique<MemorySource>(found->second.content->bytes);
}

std::unique_ptr<OutputFile> MemoryFileSystem::OpenWrite(const std::string& path, WriteMode mode)
{
    const std::string name = Normal(path);
    if (m_folders.count(name) || !m_folders.count(Normal(FolderPart(name).empty() ? "." : FolderPart(name))))
        return nullptr;
    auto found = m_files.find(name);
    const bool exists = found != m_files.end();
    if ((mode == WriteMode::CreateNew && exists) || (mode == WriteMode::Update && !exists))
        return nullptr;
    Step();
    if (!exists)
        found = m_files.emplace(name, File{NewContent(), kNewFilePermissions, NewIdentity()}).first;
    if (mode == WriteMode::Replace)
        found->second.content = NewContent();
    const Content& content = found->second.content;
    const std::uint64_t position = mode == WriteMode::Append ? content->bytes.size() : 0;
    return std::make_unique<MemoryOutput>(*this, content, position);
}

std::optional<std::vector<FolderEntry>> MemoryFileSystem::ListFolder(const std::string& folder)
{
    const std::string wanted = Normal(folder.empty() ? "." : folder);
    if (!m_folders.count(wanted))
        return std::nullopt;
    std::vector<FolderEntry> entries;
    for (const auto& [path, file] : m_files) {
        if (InFolder(path, wanted))
            entries.push_back({NamePart(path), FileKind::Regular});
    }
    for (const auto& path : m_folders) {
        if (InFolder(path, wanted))
            entries.push_back({NamePart(path), FileKind::Folder});
    }
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

FileKind MemoryFileSystem::KindOf(const std::string& path)
{
    const std::string name = Normal(path);
    if (m_files.count(name))
        return FileKind::Regular;
    return m_folders.count(name) ? FileKind::Folder : FileKind::None;
}

FileKind MemoryFileSystem::KindOfEntry(const std::string& path)
{
    return KindOf(path);
}

std::optional<std::uint64_t> MemoryFileSystem::FileSize(const std::string& path)
{
    const auto found = m_files.find(Normal(path));
    if (found == m_files.end())
        return std::nullopt;
    return found->second.content->bytes.size();
}

bool MemoryFileSystem::Resize(const std::string& path, std::uint64_t size)
{
    const auto found = m_files.find(Normal(path));
    if (found == m_files.end() || size > std::numeric_limits<std::size_t>::max())
        return false;
    Step();
    found->second.content->bytes.resize(static_cast<std::size_t>(size), 0);
    return true;
}

bool MemoryFileSystem::Remove(const std::string& path)
{
    Step();
    return m_files.erase(Normal(path)) != 0;
}

bool MemoryFileSystem::Rename(const std::string& from, const std::string& to)
{
    const auto found = m_files.find(Normal(from));
    if (found == m_files.end() || m_folders.count(Normal(to)))
        return false;
    Step();
    File file = found->second;
    m_files.erase(found);
    m_files[Normal(to)] = std::move(file);
    return true;
}

bool MemoryFileSystem::SyncFolder(const std::string& folder)
{
    const std::string wanted = Normal(folder.empty() ? "." : folder);
    if (!m_folders.count(wanted))
        return false;
    Step();
    std::erase_if(m_durableNames, [&](const auto& entry) { return InFolder(entry.first, wanted); });
    for (const auto& [path, file] : m_files) {
        if (InFolder(path, wanted))
            m_durableNames[path] = file;
    }
    return true;
}

bool MemoryFileSystem::CreateFolders(const std::string& path)
{
    std::vector<std::string> missing;  // innermost first
    for (std::string folder = Normal(path); !folder.empty() && !m_folders.count(folder);) {
        if (m_files.count(folder))
            return false;
        missing.push_back(folder);
        const std::string parent = Normal(FolderPart(folder));
        if (parent == folder)
            break;
        folder = parent;
    }
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder) {
        Step();
        m_folders.insert(*folder);
    }
    return true;
}

bool MemoryFileSystem::CreatePrivateFolder(const std::string& path)
{
    const std::string folder = Normal(path);
    if (m_folders.count(folder) || m_files.count(folder) || !m_folders.count(Normal(FolderPart(folder))))
        return false;
    return CreateFolders(folder);
}

bool MemoryFileSystem::CopyPermissions(const std::string& from, const std::string& to)
{
    const auto source = m_files.find(Normal(from));
    const auto target = m_files.find(Normal(to));
    if (source == m_files.end() || target == m_files.end())
        return false;
    target->second.permissions = source->second.permissions;
    return true;
}

std::optional<std::uint64_t> MemoryFileSystem::FreeSpace(const std::string& folder)
{
    if (!m_folders.count(Normal(folder)))
        return std::nullopt;
    return m_freeSpace;
}

std::string MemoryFileSystem::TemporaryFolder()
{
    return kTemporaryFolder;
}

void MemoryFileSystem::SetLastChanged(const std::string& path, std::filesystem::file_time_type time)
{
    const auto found = m_files.find(Normal(path));
    if (found != m_files.end())
        found->second.lastChanged = time;
}

std::optional<std::filesystem::file_time_type> MemoryFileSystem::LastChanged(const std::string& path)
{
    const auto found = m_files.find(Normal(path));
    if (found == m_files.end())
        return std::nullopt;
    return found->second.lastChanged.value_or(std::filesystem::file_time_type::clock::now());
}

platform::FolderLocking MemoryFileSystem::LockFolder(const std::string& folder)
{
    const std::string name = Normal(folder.empty() ? "." : folder);
    if (!m_folders.count(name) || m_unlockable.count(name))
        return {platform::FolderLockState::Unsupported, nullptr};
    if (m_lockedFolders.count(name))
        return {platform::FolderLockState::HeldElsewhere, nullptr};
    return {platform::FolderLockState::Held, std::make_unique<MemoryLock>(m_lockedFolders, name)};
}

std::optional<platform::FileIdentity> MemoryFileSystem::IdentityOf(const std::string& path)
{
    const auto found = m_files.find(Normal(path));
    if (found == m_files.end())
        return std::nullopt;
    return platform::FileIdentity{kMemoryDevice, found->second.identity};
}

}  // namespace testsupport
