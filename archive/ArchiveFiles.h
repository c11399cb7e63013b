#pragma once
// The archive's files: each written under a hidden temporary name beside it and
// renamed to its name only once complete, so that an interrupted run never leaves a
// file that looks complete. Everything goes through the file system object.

#include "platform/FileSystem.h"
#include "platform/ReplacingFile.h"
#include "platform/TemporaryFile.h"

#include <cstdint>
#include <functional>
#include <string>

namespace archive {

// Called with the bytes of a file done so far.
using ByteProgress = std::function<void(std::uint64_t done)>;

// The archive writes every file through the platform's temporary files.
using platform::MoveIntoPlace;
using platform::ReadWholeFile;
using platform::TemporaryFile;
using platform::WriteWholeFile;

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
