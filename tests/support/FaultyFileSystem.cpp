#include "tests/support/FaultyFileSystem.h"

#include "platform/Files.h"

#include <algorithm>
#include <cctype>

namespace testsupport {

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

class FaultySource : public platform::ByteSource {
public:
    FaultySource(std::unique_ptr<platform::ByteSource> inner, FaultyFileSystem& files, std::string path)
        : m_inner(std::move(inner)), m_files(files), m_path(std::move(path))
    {
    }

    std::uint64_t Size() const override { return m_inner->Size(); }

    std::optional<std::size_t> ReadAt(std::uint64_t position, void* buffer, std::size_t count) override
    {
        if (!m_files.AllowRead(m_path, position, count))
            return std::nullopt;
        return m_inner->ReadAt(position, buffer, m_files.ReadRoom(m_path, position, count));
    }

private:
    std::unique_ptr<platform::ByteSource> m_inner;
    FaultyFileSystem& m_files;
    std::string m_path;
};

class FaultyOutput : public platform::OutputFile {
public:
    FaultyOutput(std::unique_ptr<platform::OutputFile> inner, FaultyFileSystem& files, std::string path)
        : m_inner(std::move(inner)), m_files(files), m_path(std::move(path))
    {
    }

    bool Write(const void* data, std::size_t count) override
    {
        if (!m_files.Allow(FaultOp::Write, m_path))
            return Failed();
        const auto room = static_cast<std::size_t>(m_files.Room(m_path, count));
        if (room < count) {
            m_inner->Write(data, room);
            return Failed();
        }
        return m_inner->Write(data, count) && !m_failed;
    }

    bool Seek(std::uint64_t offset) override { return m_inner->Seek(offset) && !m_failed; }

    bool Flush() override
    {
        if (!m_files.Allow(FaultOp::Flush, m_path))
            return Failed();
        return m_inner->Flush() && !m_failed;
    }

    bool Sync() override
    {
        if (!m_files.Allow(FaultOp::Sync, m_path))
            return Failed();
        return m_inner->Sync() && !m_failed;
    }

    bool Close() override
    {
        const bool allowed = m_files.Allow(FaultOp::Close, m_path);
        const bool closed = m_inner->Close();
        return allowed && closed && !m_failed;
    }

private:
    bool Failed()
    {
        m_failed = true;
        return false;
    }

    std::unique_ptr<platform::OutputFile> m_inner;
    FaultyFileSystem& m_files;
    std::string m_path;
    bool m_failed = false;
};

// A file that takes no byte.
class UnwritableFile : public platform::OutputFile {
public:
    bool Write(const void*, std::size_t) override { return false; }
    bool Seek(std::uint64_t) override { return false; }
    bool Flush() override { return false; }
    bool Sync() override { return false; }
    bool Close() override { return false; }
};

}  // namespace

PathFilter NameContains(const std::string& part)
{
    return [wanted = Lower(part)](const std::string& path) {
        return Lower(platform::NamePart(path)).find(wanted) != std::string::npos;
    };
}

FaultyFileSystem::FaultyFileSystem(platform::FileSystem& inner) : m_inner(inner) {}

void FaultyFileSystem::FailNth(FaultOp op, int n, PathFilter filter, bool sticky)
{
    m_faults[static_cast<std::size_t>(op)] = Fault{n, std::move(filter), sticky};
    m_counts[static_cast<std::size_t>(op)] = 0;
}

void FaultyFileSystem::FailRange(std::uint64_t offset, std::uint64_t length, int failures, PathFilter filter)
{
    m_badRanges.push_back(BadRange{offset, length, failures, std::move(filter)});
}

bool FaultyFileSystem::HitsBadRange(const std::string& path, std::uint64_t position, std::size_t count)
{
    bool failed = false;
    for (BadRange& range : m_badRanges) {
        const bool touches = position < range.offset + range.length && range.offset < position + count;
        if (!touches || range.failures == 0 || !Matches(range.filter, path))
            continue;
        if (range.failures != kAlways)
            --range.failures;
        failed = true;
    }
    return failed;
}

void FaultyFileSystem::FillAfter(std::uint64_t bytes, PathFilter filter)
{
    m_fillLimit = bytes;
    m_fillFilter = std::move(filter);
    m_filled = 0;
}

bool FaultyFileSystem::Matches(const PathFilter& filter, const std::string& path)
{
    return !filter || filter(path);
}

bool FaultyFileSystem::Allow(FaultOp op, const std::string& path)
{
    const Fault& fault = m_faults[static_cast<std::size_t>(op)];
    if (!Matches(fault.filter, path))
        return true;
    const int count = ++m_counts[static_cast<std::size_t>(op)];
    return fault.n == 0 || (fault.sticky ? count < fault.n : count != fault.n);
}

bool FaultyFileSystem::AllowRead(const std::string& path, std::uint64_t position, std::size_t count)
{
    const bool hit = HitsBadRange(path, position, count);
    return Allow(FaultOp::Read, path) && !(failReads && failReads(path, position)) && !hit;
}

std::size_t FaultyFileSystem::ReadRoom(const std::string& path, std::uint64_t position, std::size_t count)
{
    const auto cut = cutReads ? cutReads(path) : std::nullopt;
    if (!cut)
        return count;
    return position >= *cut ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(count, *cut - position));
}

std::uint64_t FaultyFileSystem::Room(const std::string& path, std::uint64_t count)
{
    if (!m_fillLimit || !Matches(m_fillFilter, path))
        return count;
    const std::uint64_t room = std::min(count, *m_fillLimit - std::min(m_filled, *m_fillLimit));
    m_filled += room;
    return room;
}

std::unique_ptr<platform::ByteSource> FaultyFileSystem::OpenRead(const std::string& path)
{
    if (!Allow(FaultOp::Open, path))
        return nullptr;
    auto inner = m_inner.OpenRead(path);
    if (!inner)
        return nullptr;
    return std::make_unique<FaultySource>(std::move(inner), *this, path);
}

std::unique_ptr<platform::OutputFile> FaultyFileSystem::OpenWrite(const std::string& path, platform::WriteMode mode)
{
    if (!Allow(FaultOp::Open, path))
        return nullptr;
    if (failWrites && failWrites(path, mode))
        return std::make_unique<UnwritableFile>();
    auto inner = m_inner.OpenWrite(path, mode);
    if (!inner)
        return nullptr;
    return std::make_unique<FaultyOutput>(std::move(inner), *this, path);
}

std::optional<std::vector<platform::FolderEntry>> FaultyFileSystem::ListFolder(const std::string& folder)
{
    return m_inner.ListFolder(folder);
}

platform::FileKind FaultyFileSystem::KindOf(const std::string& path)
{
    return m_inner.KindOf(path);
}

platform::FileKind FaultyFileSystem::KindOfEntry(const std::string& path)
{
    return m_inner.KindOfEntry(path);
}

std::optional<std::uint64_t> FaultyFileSystem::FileSize(const std::string& path)
{
    return m_inner.FileSize(path);
}

bool FaultyFileSystem::Resize(const std::string& path, std::uint64_t size)
{
    return m_inner.Resize(path, size);
}

bool FaultyFileSystem::Remove(const std::string& path)
{
    return m_inner.Remove(path);
}

bool FaultyFileSystem::Rename(const std::string& from, const std::string& to)
{
    return Allow(FaultOp::Rename, to) && m_inner.Rename(from, to);
}

bool FaultyFileSystem::SyncFolder(const std::string& folder)
{
    return Allow(FaultOp::Sync, folder) && m_inner.SyncFolder(folder);
}

bool FaultyFileSystem::CopyPermissions(const std::string& from, const std::string& to)
{
    return m_inner.CopyPermissions(from, to);
}

std::optional<std::uint64_t> FaultyFileSystem::FreeSpace(const std::string& folder)
{
    return freeSpace ? freeSpace : m_inner.FreeSpace(folder);
}

std::string FaultyFileSystem::TemporaryFolder()
{
    return noTemporaryFolder ? std::string() : m_inner.TemporaryFolder();
}

}  // namespace testsupport
