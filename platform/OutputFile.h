#pragma once
// A file being written, with every error seen: a failed write, a failed flush and
// a failed close all make the file count as not written. Every writer of the
// program (track data files, sound files, FNB.TXT, the settings file) uses it.

#include <cstddef>
#include <cstdint>

namespace platform {

class OutputFile {
public:
    // Destroying a file that was not closed closes it; its errors are then lost,
    // so a writer that cares calls Close.
    virtual ~OutputFile() = default;

    // Writes `count` bytes at the current position. False when they were not all written.
    virtual bool Write(const void* data, std::size_t count) = 0;
    // Moves the position to `offset` from the start.
    virtual bool Seek(std::uint64_t offset) = 0;
    // Hands buffered bytes to the system.
    virtual bool Flush() = 0;
    // Flushes and waits until the system has put the file's bytes and size on the
    // device, so that they outlast a power cut. A file that has no device to put them
    // on (a pipe, a terminal) counts as synced.
    virtual bool Sync() = 0;
    // Flushes and closes. False when this or any earlier operation failed: the
    // file's content is then not what was written.
    virtual bool Close() = 0;
};

}  // namespace platform
