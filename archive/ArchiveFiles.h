#pragma once
// The archive's files: each written under a hidden temporary name beside it and
// renamed to its name only once complete, so that an interrupted run never leaves a
// file that looks complete. Everything goes through the file system object.

#include "platform/FileSystem.h"
#include "platform/ReplacingFile.h"
#include "platform/TemporaryFile.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace archive {

// Called with the bytes of a file done so far.
using ByteProgress = std::function<void(std::uint64_t done)>;

// The archive writes every file through the platform's temporary files.
using platform::MoveIntoPlace;
using platform::ReadWholeFile;
using platform::TemporaryFile;
using platform::WriteWholeFile;

// A failed read of a block is tried this often in all, with this pause between two tries.
inline constexpr int kReadTries = 3;
inline constexpr std::chrono::milliseconds kRetryPause{200};
// A block that stays unreadable is read once more in pieces of this size (a sector),
// so that only the pieces that really fail are lost.
inline constexpr std::size_t kRescuePieceBytes = 4096;

struct ReadRetries {
    int tries = kReadTries;
    std::chrono::milliseconds pause = kRetryPause;
};

// Bytes of a source file that could not be read: zero in the copy. `tries` counts
// the failed reads of these bytes: their block's tries, then their piece's.
struct UnreadableRange {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    int tries = 0;

    bool operator==(const UnreadableRange&) const = default;
};

struct CopyResult {
    enum class Status { Copied, SourceUnreadable, WriteFailed };
    Status status = Status::Copied;
    std::uint64_t size = 0;
    std::string sha256;  // of the bytes written to the copy
    std::vector<UnreadableRange> unreadable;  // in offset order, adjacent ones joined
};

// Copies `from` to `to` byte for byte, with the SHA-256 of what was written. Reads that
// fail are tried again; what stays unreadable is zero in the copy and listed in the
// result. A source that cannot be opened, or that ends before its size, is unreadable.
CopyResult CopyFile(platform::FileSystem& files, const std::string& from, const std::string& to,
                    const ByteProgress& progress, const ReadRetries& retries);

// What CopyFile reads of `path`, without a copy: its size, its SHA-256 and its
// unreadable ranges (as zeros).
CopyResult ReadDiskFile(platform::FileSystem& files, const std::string& path, const ReadRetries& retries);

// Removes the temporaries that an interrupted run left in `folder`.
void RemoveTemporaries(platform::FileSystem& files, const std::string& folder);

}  // namespace archive
