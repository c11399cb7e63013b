// wavelorn_eio_fs: a read-only file system that mirrors one folder and fails chosen
// reads with EIO, so that tests meet unreadable sectors through the operating system.
//
//   wavelorn_eio_fs SOURCE MOUNTPOINT [--fail NAME:OFFSET:LENGTH[:FAILURES]]...
//                   [--block-size BYTES] [fuse options]
//
// A read of the file NAME that touches the bytes OFFSET to OFFSET+LENGTH-1 fails: every
// time, or only the first FAILURES times. Each failed read is logged on standard error.
// --block-size makes files report that preferred I/O size (as FAT and exFAT report
// their cluster size), which buffered readers take for the size of their reads.
// Files are opened for direct I/O, so that each read of a program reaches this file
// system as it was asked for: no page cache, no read-ahead that would widen it.

#define FUSE_USE_VERSION 31
#include <fuse.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kAlways = -1;  // a failure count that never runs out
constexpr int kUsageStatus = 2;

struct FailRange {
    std::string name;
    off_t offset = 0;
    off_t length = 0;
    int failures = kAlways;  // how many more reads fail
};

struct Mirror {
    std::string source;  // absolute
    std::vector<FailRange> ranges;
    blksize_t blockSize = 0;  // 0: the source's own
    std::mutex mutex;  // the library serves reads on several threads
};

Mirror& State()
{
    return *static_cast<Mirror*>(fuse_get_context()->private_data);
}

std::string SourcePath(const char* path)
{
    return State().source + path;
}

// True when this read of `path` is to fail; counts the failure against its range.
bool ReadFails(const char* path, off_t offset, std::size_t size)
{
    Mirror& mirror = State();
    const std::lock_guard lock(mirror.mutex);
    for (FailRange& range : mirror.ranges) {
        const bool touches = offset < range.offset + range.length &&
                             range.offset < offset + static_cast<off_t>(size);
        if (path + 1 != range.name || !touches || range.failures == 0)
            continue;
        if (range.failures != kAlways)
            --range.failures;
        std::fprintf(stderr, "EIO: %s: %zu bytes at %lld\n", range.name.c_str(), size,
                     static_cast<long long>(offset));
        return true;
    }
    return false;
}

void* Init(fuse_conn_info*, fuse_config* config)
{
    config->direct_io = 1;
    config->use_ino = 1;  // the source's file numbers: a file keeps its identity
    return fuse_get_context()->private_data;
}

int GetAttr(const char* path, struct stat* status, fuse_file_info*)
{
    if (lstat(SourcePath(path).c_str(), status) != 0)
        return -errno;
    if (State().blockSize > 0 && S_ISREG(status->st_mode))
        status->st_blksize = State().blockSize;
    return 0;
}

int ReadDir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags)
{
    DIR* folder = opendir(SourcePath(path).c_str());
    if (!folder)
        return -errno;
    while (const dirent* entry = readdir(folder))
        fill(buffer, entry->d_name, nullptr, 0, fuse_fill_dir_flags{});
    closedir(folder);
    return 0;
}

int Open(const char* path, fuse_file_info* file)
{
    if ((file->flags & O_ACCMODE) != O_RDONLY)
        return -EROFS;
    const int descriptor = open(SourcePath(path).c_str(), O_RDONLY);
    if (descriptor < 0)
        return -errno;
    file->fh = static_cast<std::uint64_t>(descriptor);
    return 0;
}

int Read(const char* path, char* buffer, std::size_t size, off_t offset, fuse_file_info* file)
{
    if (ReadFails(path, offset, size))
        return -EIO;
    const ssize_t got = pread(static_cast<int>(file->fh), buffer, size, offset);
    return got < 0 ? -errno : static_cast<int>(got);
}

int Release(const char*, fuse_file_info* file)
{
    close(static_cast<int>(file->fh));
    return 0;
}

// NAME:OFFSET:LENGTH[:FAILURES]; nothing when it is not of that form.
std::optional<FailRange> ParseFailRange(const std::string& text)
{
    std::istringstream in(text);
    FailRange range;
    char colon = 0;
    if (!std::getline(in, range.name, ':') || range.name.empty() || !(in >> range.offset >> colon >> range.length) ||
        colon != ':' || range.offset < 0 || range.length <= 0)
        return std::nullopt;
    if (in >> colon && (colon != ':' || !(in >> range.failures) || range.failures < 0))
        return std::nullopt;
    return in.eof() ? std::optional(range) : std::nullopt;
}

int Usage()
{
    std::fprintf(stderr, "usage: wavelorn_eio_fs SOURCE MOUNTPOINT [--fail NAME:OFFSET:LENGTH[:FAILURES]]... "
                         "[--block-size BYTES] [fuse options]\n");
    return kUsageStatus;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 3)
        return Usage();
    char source[PATH_MAX];
    if (!realpath(argv[1], source)) {
        std::perror(argv[1]);
        return kUsageStatus;
    }
    Mirror mirror;
    mirror.source = source;
    // The program's name and what is not ours go on to the library.
    std::vector<char*> passed = {argv[0]};
    for (int i = 2; i < argc; ++i) {
        if (std::string(argv[i]) == "--block-size" && i + 1 < argc) {
            mirror.blockSize = static_cast<blksize_t>(std::strtol(argv[++i], nullptr, 10));
            if (mirror.blockSize <= 0)
                return Usage();
            continue;
        }
        if (std::string(argv[i]) != "--fail") {
            passed.push_back(argv[i]);
            continue;
        }
        const auto range = i + 1 < argc ? ParseFailRange(argv[++i]) : std::nullopt;
        if (!range)
            return Usage();
        mirror.ranges.push_back(*range);
    }
    fuse_operations operations{};
    operations.getattr = GetAttr;
    operations.open = Open;
    operations.read = Read;
    operations.release = Release;
    operations.readdir = ReadDir;
    operations.init = Init;
    return fuse_main(static_cast<int>(passed.size()), passed.data(), &operations, &mirror);
}
