// The operating system's file system through C streams; on Windows every name
// goes through the wide API, so names outside the ANSI code page work.

#include "platform/FileSystem.h"

#include "platform/Files.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include "platform/Sha256.h"

#include <mutex>
#include <set>
#endif

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace platform {

namespace {

// Output is gathered into large writes: a sound file's chunks go to the disk several at once.
constexpr std::size_t kWriteBufferBytes = std::size_t{1} << 20;

std::FILE* OpenStream(const std::string& path, const char* mode)
{
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(PathFromUtf8(path).c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

const char* ModeText(WriteMode mode)
{
    switch (mode) {
    case WriteMode::Replace:
        return "wb";
    case WriteMode::CreateNew:
        return "wbx";
    case WriteMode::Update:
        return "r+b";
    case WriteMode::Append:
        break;
    }
    return "ab";
}

// A new file that must not replace another. The C library's "x" mode does this on
// POSIX; the Windows runtime does not know it, so the file is created exclusively
// by a lower-level open there.
std::FILE* CreateNewStream(const std::string& path)
{
#ifdef _WIN32
    int descriptor = -1;
    if (_wsopen_s(&descriptor, PathFromUtf8(path).c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _SH_DENYNO,
                  _S_IREAD | _S_IWRITE) != 0)
        return nullptr;
    std::FILE* stream = _fdopen(descriptor, "wb");
    if (!stream)
        _close(descriptor);
    return stream;
#else
    return OpenStream(path, ModeText(WriteMode::CreateNew));
#endif
}

int SeekStream(std::FILE* stream, std::uint64_t offset, int origin)
{
#ifdef _WIN32
    return _fseeki64(stream, static_cast<long long>(offset), origin);
#else
    return fseeko(stream, static_cast<off_t>(offset), origin);
#endif
}

std::int64_t TellStream(std::FILE* stream)
{
#ifdef _WIN32
    return _ftelli64(stream);
#else
    return ftello(stream);
#endif
}

#ifndef _WIN32
// A pipe, a terminal or a file system without a device to write to refuses a sync
// as not supported: there is nothing to wait for, which is no failure.
bool SyncSucceeded(int result)
{
    return result == 0 || errno == EINVAL || errno == ENOTSUP;
}
#endif

// Puts the bytes of an open stream, already flushed, on the device.
bool SyncStream(std::FILE* stream)
{
#ifdef _WIN32
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    // Only a disk file has buffers to write; a pipe's flush would wait for its reader.
    return GetFileType(handle) != FILE_TYPE_DISK || FlushFileBuffers(handle) != 0;
#elif defined(__linux__)
    // The data and the size, without the times that nothing reads back.
    return SyncSucceeded(fdatasync(fileno(stream)));
#else
    return SyncSucceeded(fsync(fileno(stream)));
#endif
}

// Puts a folder's entries on the device. Windows writes them with each change.
bool SyncFolderAt([[maybe_unused]] const std::string& folder)
{
#ifdef _WIN32
    return true;
#else
    const int descriptor = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool synced = SyncSucceeded(fsync(descriptor));
    return close(descriptor) == 0 && synced;
#endif
}

#ifdef _WIN32

// The name of the mutex that locks a disk folder, shared by every session of the machine.
constexpr const wchar_t* kDiskLockPrefix = L"Global\\wavelorn-disk-";
constexpr unsigned kHighWordShift = 32;

// Closes a handle when it goes.
struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// A handle on the entry `path` names (a file or a folder; a link itself), for asking
// about it only; null when it cannot be opened.
UniqueHandle OpenForQuery(const std::string& path, DWORD flags)
{
    const HANDLE handle = CreateFileW(PathFromUtf8(path).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// The path the system resolves a handle to, in the form `flags` ask for.
std::optional<std::wstring> FinalPathOf(HANDLE handle, DWORD flags)
{
    const DWORD needed = GetFinalPathNameByHandleW(handle, nullptr, 0, flags);
    if (needed == 0)
        return std::nullopt;
    std::wstring path(needed, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(handle, path.data(), needed, flags);
    if (length == 0 || length >= needed)
        return std::nullopt;
    path.resize(length);
    return path;
}

std::optional<std::wstring> UpperCase(const std::wstring& text)
{
    if (text.empty())
        return text;
    std::wstring upper(text.size(), L'\0');
    const int size = static_cast<int>(text.size());
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(), size, upper.data(), size, nullptr, nullptr,
                      0) != size)
        return std::nullopt;
    return upper;
}

// The mutex name of a folder: the digest of its final path in upper case, through the
// volume's GUID where the volume has one (so that every drive letter and spelling of one
// folder meets), else through its drive letter or network share.
std::optional<std::wstring> DiskLockName(const std::string& folder)
{
    const auto handle = OpenForQuery(folder.empty() ? "." : WithTrailingSeparator(folder), 0);
    if (!handle)
        return std::nullopt;
    auto path = FinalPathOf(handle.get(), FILE_NAME_NORMALIZED | VOLUME_NAME_GUID);
    if (!path)
        path = FinalPathOf(handle.get(), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    const auto upper = path ? UpperCase(*path) : std::nullopt;
    if (!upper)
        return std::nullopt;
    const std::string utf8 = Utf8FromPath(fs::path(*upper));
    const std::string digest = Sha256Hex(utf8.data(), utf8.size());
    return kDiskLockPrefix + std::wstring(digest.begin(), digest.end());
}

// A thread that owns a mutex may take it again: the names this process holds are kept
// here, so that a second lock of one folder fails within the process as well.
std::mutex& HeldLockNamesGuard()
{
    static std::mutex guard;
    return guard;
}

std::set<std::wstring>& HeldLockNames()
{
    static std::set<std::wstring> names;
    return names;
}

// Owns the mutex until it goes; to be released by the thread that took it. A process
// that ends leaves it abandoned, which the next taker owns.
class MutexLock : public FolderLock {
public:
    MutexLock(UniqueHandle mutex, std::wstring name) : m_mutex(std::move(mutex)), m_name(std::move(name)) {}
    ~MutexLock() override
    {
        ReleaseMutex(m_mutex.get());
        const std::lock_guard guard(HeldLockNamesGuard());
        HeldLockNames().erase(m_name);
    }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    UniqueHandle m_mutex;
    std::wstring m_name;
};

FolderLocking LockFolderAt(const std::string& folder)
{
    const auto name = DiskLockName(folder);
    if (!name)
        return {FolderLockState::Unsupported, nullptr};
    const std::lock_guard guard(HeldLockNamesGuard());
    if (HeldLockNames().count(*name))
        return {FolderLockState::HeldElsewhere, nullptr};
    UniqueHandle mutex(CreateMutexW(nullptr, FALSE, name->c_str()));
    if (!mutex) {
        // A mutex of another user's process that this one may not open is held there.
        const bool elsewhere = GetLastError() == ERROR_ACCESS_DENIED;
        return {elsewhere ? FolderLockState::HeldElsewhere : FolderLockState::Unsupported, nullptr};
    }
    const DWORD waited = WaitForSingleObject(mutex.get(), 0);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED)
        return {FolderLockState::HeldElsewhere, nullptr};
    HeldLockNames().insert(*name);
    return {FolderLockState::Held, std::make_unique<MutexLock>(std::move(mutex), *name)};
}

std::optional<FileIdentity> IdentityAt(const std::string& path)
{
    const auto handle = OpenForQuery(path, FILE_FLAG_OPEN_REPARSE_POINT);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!handle || !GetFileInformationByHandle(handle.get(), &information))
        return std::nullopt;
    return FileIdentity{information.dwVolumeSerialNumber,
                        (std::uint64_t{information.nFileIndexHigh} << kHighWordShift) | information.nFileIndexLow};
}

#else

// Holds an flock on an open folder; closing the descriptor (or the process ending) drops it.
class DescriptorLock : public FolderLock {
public:
    explicit DescriptorLock(int descriptor) : m_descriptor(descriptor) {}
    ~DescriptorLock() override { close(m_descriptor); }
    DescriptorLock(const DescriptorLock&) = delete;
    DescriptorLock& operator=(const DescriptorLock&) = delete;

private:
    int m_descriptor;
};

// An flock belongs to the open folder, not to the process: a second open of the same
// folder (by any path) cannot take it while the first holds it. Any refusal other than
// "taken" (ENOLCK, EOPNOTSUPP, EINVAL, ENOSYS, or EBADF where a network file system
// wants a file open for writing) means the file system keeps no such locks.
FolderLocking LockFolderAt(const std::string& folder)
{
    const int descriptor = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return {FolderLockState::Unsupported, nullptr};
    if (flock(descriptor, LOCK_EX | LOCK_NB) == 0)
        return {FolderLockState::Held, std::make_unique<DescriptorLock>(descriptor)};
    const bool taken = errno == EWOULDBLOCK;
    close(descriptor);
    return {taken ? FolderLockState::HeldElsewhere : FolderLockState::Unsupported, nullptr};
}

std::optional<FileIdentity> IdentityAt(const std::string& path)
{
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

#endif

class FileSource : public ByteSource {
public:
    // `buffer` is the stream's: it is freed after the stream is closed.
    FileSource(std::FILE* stream, std::unique_ptr<char[]> buffer, std::uint64_t size)
        : m_buffer(std::move(buffer)), m_stream(stream), m_size(size)
    {
    }
    ~FileSource() override { std::fclose(m_stream); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::uint64_t Size() const override { return m_size; }

    std::optional<std::size_t> ReadAt(std::uint64_t position, void* buffer, std::size_t count) override
    {
        if (position >= m_size || count == 0)
            return 0;
        // Sequential reads go on without a seek, which would drop the stream's buffer.
        if (position != m_position) {
            if (SeekStream(m_stream, position, SEEK_SET) != 0)
                return std::nullopt;
            m_position = position;
        }
        const std::size_t got = std::fread(buffer, 1, count, m_stream);
        if (std::ferror(m_stream)) {
            std::clearerr(m_stream);
            m_position = kUnknownPosition;
            return std::nullopt;
        }
        m_position += got;
        return got;
    }

private:
    static constexpr std::uint64_t kUnknownPosition = ~std::uint64_t{0};

    std::unique_ptr<char[]> m_buffer;
    std::FILE* m_stream;
    std::uint64_t m_size;
    std::uint64_t m_position = 0;
};

class StreamOutputFile : public OutputFile {
public:
    explicit StreamOutputFile(std::FILE* stream) : m_stream(stream)
    {
        std::setvbuf(m_stream, nullptr, _IOFBF, kWriteBufferBytes);
    }
    ~StreamOutputFile() override
    {
        if (m_stream)
            std::fclose(m_stream);
    }
    StreamOutputFile(const StreamOutputFile&) = delete;
    StreamOutputFile& operator=(const StreamOutputFile&) = delete;

    bool Write(const void* data, std::size_t count) override
    {
        // An empty write may come with no buffer at all.
        return Check(m_stream && (count == 0 || std::fwrite(data, 1, count, m_stream) == count));
    }

    bool Seek(std::uint64_t offset) override { return Check(m_stream && SeekStream(m_stream, offset, SEEK_SET) == 0); }

    bool Flush() override { return Check(m_stream && std::fflush(m_stream) == 0 && !std::ferror(m_stream)); }

    bool Sync() override { return Flush() && Check(SyncStream(m_stream)); }

    bool Close() override
    {
        if (!m_stream)
            return false;
        Flush();
        const bool closed = std::fclose(m_stream) == 0;
        m_stream = nullptr;
        return Check(closed);
    }

private:
    bool Check(bool ok)
    {
        m_failed = m_failed || !ok;
        return !m_failed;
    }

    std::FILE* m_stream;
    bool m_failed = false;
};


FileKind KindOfStatus(const fs::file_status& status)
{
    switch (status.type()) {
    case fs::file_type::not_found:
    case fs::file_type::none:
        return FileKind::None;
    case fs::file_type::regular:
        return FileKind::Regular;
    case fs::file_type::directory:
        return FileKind::Folder;
    default:
        return FileKind::Other;
    }
}

// What `fact` reads of the regular file at `path`; nothing for another kind of
// name or when the reading fails.
template <typename Value, typename Fact>
std::optional<Value> OfRegularFile(const std::string& path, Fact fact)
{
    std::error_code error;
    const auto native = PathFromUtf8(path);
    if (!fs::is_regular_file(native, error))
        return std::nullopt;
    const auto value = fact(native, error);
    if (error)
        return std::nullopt;
    return value;
}

class OperatingSystemFileSystem : public FileSystem {
public:
    std::unique_ptr<ByteSource> OpenRead(const std::string& path) override
    {
        // Only regular files: a folder opens as a stream on some systems with a
        // made-up size, and opening a pipe could wait forever.
        if (KindOf(path) != FileKind::Regular)
            return nullptr;
        std::FILE* stream = OpenStream(path, "rb");
        if (!stream)
            return nullptr;
        // A buffer of one sector of our own, set before the stream's first use (without
        // one the library takes the system's preferred size, such as a FAT cluster of
        // 32 KiB or more): a read of a sector or more then goes to the system as asked,
        // and a bad sector cannot fail the read of the good one beside it.
        auto buffer = std::make_unique<char[]>(kSectorBytes);
        std::setvbuf(stream, buffer.get(), _IOFBF, kSectorBytes);
        const std::int64_t size = SeekStream(stream, 0, SEEK_END) == 0 ? TellStream(stream) : -1;
        if (size < 0 || SeekStream(stream, 0, SEEK_SET) != 0) {
            std::fclose(stream);
            return nullptr;
        }
        return std::make_unique<FileSource>(stream, std::move(buffer), static_cast<std::uint64_t>(size));
    }

    std::unique_ptr<OutputFile> OpenWrite(const std::string& path, WriteMode mode) override
    {
        std::FILE* stream = mode == WriteMode::CreateNew ? CreateNewStream(path) : OpenStream(path, ModeText(mode));
        if (!stream)
            return nullptr;
        return std::make_unique<StreamOutputFile>(stream);
    }

    std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) override
    {
        std::error_code error;
        // With its separator a drive's root stays the root ("E:" alone names the drive's
        // current folder on Windows).
        const fs::path directory = folder.empty() ? fs::path(".") : PathFromUtf8(WithTrailingSeparator(folder));
        std::vector<FolderEntry> entries;
        fs::directory_iterator it(directory, error);
        if (error)
            return std::nullopt;
        for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
            std::error_code typeError;
            entries.push_back({Utf8FromPath(it->path().filename()), KindOfStatus(it->status(typeError))});
        }
        if (error)
            return std::nullopt;
        std::sort(entries.begin(), entries.end(),
                  [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
        return entries;
    }

    FileKind KindOf(const std::string& path) override
    {
        std::error_code error;
        return KindOfStatus(fs::status(PathFromUtf8(path), error));
    }

    FileKind KindOfEntry(const std::string& path) override
    {
        std::error_code error;
        return KindOfStatus(fs::symlink_status(PathFromUtf8(path), error));
    }

    std::optional<fs::file_time_type> LastChanged(const std::string& path) override
    {
        return OfRegularFile<fs::file_time_type>(path, [](const fs::path& native, std::error_code& error) {
            return fs::last_write_time(native, error);
        });
    }

    std::optional<std::uint64_t> FileSize(const std::string& path) override
    {
        return OfRegularFile<std::uint64_t>(path, [](const fs::path& native, std::error_code& error) {
            return fs::file_size(native, error);
        });
    }

    bool Resize(const std::string& path, std::uint64_t size) override
    {
        std::error_code error;
        fs::resize_file(PathFromUtf8(path), size, error);
        return !error;
    }

    bool Remove(const std::string& path) override
    {
        std::error_code error;
        return fs::remove(PathFromUtf8(path), error) && !error;
    }

    bool Rename(const std::string& from, const std::string& to) override
    {
#ifdef _WIN32
        // Replaces an existing file in one step, as rename() does on POSIX systems.
        return MoveFileExW(PathFromUtf8(from).c_str(), PathFromUtf8(to).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
        std::error_code error;
        fs::rename(PathFromUtf8(from), PathFromUtf8(to), error);
        return !error;
#endif
    }

    bool SyncFolder(const std::string& folder) override { return SyncFolderAt(folder); }

    bool CreateFolders(const std::string& path) override
    {
        // The folders that are missing, innermost first, each synced into its parent once made.
        std::vector<std::string> missing;
        for (std::string folder = path; !folder.empty() && KindOfEntry(folder) == FileKind::None;) {
            missing.push_back(folder);
            const std::string parent = FolderPart(folder);
            if (parent == folder)
                break;
            folder = parent;
        }
        if (!platform::CreateFolders(path))
            return false;
        return std::all_of(missing.rbegin(), missing.rend(),
                           [](const std::string& folder) { return SyncFolderAt(FolderPart(folder)); });
    }

    bool CreatePrivateFolder(const std::string& path) override
    {
        std::error_code error;
        // create_directory makes the folder or says that the name was taken, never both.
        if (!fs::create_directory(PathFromUtf8(path), error) || error)
            return false;
        fs::permissions(PathFromUtf8(path), fs::perms::owner_all, fs::perm_options::replace, error);
        if (!error)
            return true;
        fs::remove(PathFromUtf8(path), error);
        return false;
    }

    bool CopyPermissions(const std::string& from, const std::string& to) override
    {
        std::error_code error;
        const fs::file_status status = fs::status(PathFromUtf8(from), error);
        if (error)
            return false;
        fs::permissions(PathFromUtf8(to), status.permissions(), fs::perm_options::replace, error);
        return !error;
    }

    std::optional<std::uint64_t> FreeSpace(const std::string& folder) override
    {
        std::error_code error;
        // Windows reports the volume's space for a folder that does not exist.
        if (!fs::is_directory(PathFromUtf8(folder), error))
            return std::nullopt;
        const auto space = fs::space(PathFromUtf8(folder), error);
        if (error)
            return std::nullopt;
        return space.available;
    }

    std::string TemporaryFolder() override
    {
        std::error_code error;
        const auto folder = fs::temp_directory_path(error);
        return error ? std::string() : Utf8FromPath(folder);
    }

    FolderLocking LockFolder(const std::string& folder) override { return LockFolderAt(folder); }

    std::optional<FileIdentity> IdentityOf(const std::string& path) override { return IdentityAt(path); }
};

}  // namespace

FileSystem& RealFileSystem()
{
    // Holds no state: one object serves every caller.
    static OperatingSystemFileSystem fileSystem;
    return fileSystem;
}

}  // namespace platform
