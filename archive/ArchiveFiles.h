#pragma once
// The archive's own way of writing a file: under a hidden temporary name beside it,
// renamed to its name only once complete, so that an interrupted run never leaves a
// file that looks complete. Everything goes through the file system object.

#include "platform/FileSystem.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace archive {

// Called with the bytes of a file done so far.
using ByteProgress = std::function<void(std::uint64_t done)>;

// A file being written under a temporary name.
class TemporaryFile {
public:
    // Opens a new temporary beside `path` in `files`.
    TemporaryFile(platform::FileSystem& files, std::string path);
    // Removes the temporary unless it was committed.
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // The open file; null when it could not be created. Whoever writes it may take it
    // over (and close it); Commit then closes only a file it still holds.
    std::unique_ptr<platform::OutputFile>& File() { return m_file; }
    // Closes the file (when still held) and renames it to its path; false on any failure.
    bool Commit();

private:
    platform::FileSystem& m_files;
    std::string m_path;
    std::string m_temporary;
    std::unique_ptr<platform::OutputFile> m_file;
    bool m_committed = false;
};

// Moves the finished file at `from` to `to`; removes `from` when that fails.
bool MoveIntoPlace(platform::FileSystem& files, const std::string& from, const std::string& to);

// Writes `bytes` as the whole content of `path`.
bool WriteWholeFile(platform::FileSystem& files, const std::string& path, const std::string& bytes);

// The bytes of a small file; nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(platform::FileSystem& files, const std::string& path);

struct CopyResult {
    enum class Status { Copied, SourceUnreadable, WriteFailed };
    Status status = Status::Copied;
    std::uint64_t size = 0;
    std::string sha256;  // of the bytes read from the source
};

// Copies `from` to `to` byte for byte, with the SHA-256 of what was read.
CopyResult CopyFile(platform::FileSystem& files, const std::string& from, const std::string& to,
                    const ByteProgress& progress);

// Removes the temporaries that an interrupted run left in `folder`.
void RemoveTemporaries(platform::FileSystem& files, const std::string& folder);

}  // namespace archive
