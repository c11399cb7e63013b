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
inline constexpr std::size_t kRescuePieceBytes = platform::kSectorBytes;

struct ReadRetries {
    int tries = kReadTries;
    std::chrono::milliseconds pause = kRetryPause;
};

// Bytes of a source file that could not be read: zero in the copy. `tries` counts
// the failed reads of these bytes over all runs: per run their block's tries, then
// their piece's; 0 for bytes a stopped run did not come to.
struct UnreadableRange {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    int tries = 0;

    bool operator==(const UnreadableRange&) const = default;
};

// How the reading of a disk file stands.
struct ReadCounts {
    std::uint64_t done = 0;         // bytes of the file dealt with
    std::uint64_t read = 0;         // bytes read from the disk
    std::uint64_t unreadable = 0;   // bytes that stayed unreadable
    std::uint64_t failedReads = 0;  // reads of the disk that failed (each try counts)

    ReadCounts& operator+=(const ReadCounts& other);
};

using CopyProgress = std::function<void(const ReadCounts& counts)>;

struct CopyRequest {
    std::string from;  // the disk's file
    std::string to;    // its copy
    // Null for a fresh copy. Otherwise `to` holds an earlier copy whose bytes outside
    // these ranges are taken as they are; only the ranges are read from the disk again.
    const std::vector<UnreadableRange>* holes = nullptr;
    ReadRetries retries{};
    CopyProgress progress;        // called after each block; may be empty
    std::function<bool()> stop;   // asked before each block; may be empty
};

struct CopyResult {
    enum class Status { Copied, SourceUnreadable, EarlierCopyUnreadable, WriteFailed };
    Status status = Status::Copied;
    std::uint64_t size = 0;
    std::string sha256;  // of the bytes written to the copy
    std::vector<UnreadableRange> unreadable;  // in offset order, adjacent ones joined
    ReadCounts counts;
    // Asked to stop: the copy is complete in size, what was not read yet is listed as
    // unreadable after 0 tries (or with its earlier tries), for the next run to read.
    bool stopped = false;
};

// Copies the request's file byte for byte (or fills in the holes of its earlier copy),
// with the SHA-256 of what was written. Reads that fail are tried again; what stays
// unreadable is zero in the copy and listed in the result. A source that cannot be
// opened, or that ends before its size, is unreadable.
CopyResult CopyFile(platform::FileSystem& files, const CopyRequest& request);

// What CopyFile reads of `path`, without a copy: its size, its SHA-256 and its
// unreadable ranges (as zeros).
CopyResult ReadDiskFile(platform::FileSystem& files, const std::string& path, const ReadRetries& retries);

// Removes the temporaries that an interrupted run left in `folder`.
void RemoveTemporaries(platform::FileSystem& files, const std::string& folder);

}  // namespace archive
