#pragma once
// A small file for the recorder's own files: the base of the FNB.BIN handle, the
// lead-in table and the track data file. It reads and writes through the file system
// it was given. Every operation reports failure by its result.

#include "platform/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class CRTFile {
public:
    // Access selected by the low two bits of an Open mode.
    enum Mode : int { kModeRead = 0, kModeWrite = 1 };
    // Where a Seek offset counts from; the values of C's SEEK_SET, SEEK_CUR and SEEK_END.
    enum Origin : int { kFromStart = 0, kFromCurrent = 1, kFromEnd = 2 };
    // What Close returns when closing a written file failed; the value of C's EOF.
    static constexpr int kCloseFailed = -1;

    explicit CRTFile(platform::FileSystem& files = platform::RealFileSystem());
    virtual ~CRTFile();
    CRTFile(const CRTFile&) = delete;
    CRTFile& operator=(const CRTFile&) = delete;

    // Opens `path` for reading an existing file (mode 0) or creating/truncating it for
    // writing (mode 1); other modes are refused. On success the length is measured.
    // A file opened for reading must be a regular file and not empty.
    virtual bool Open(const std::string& path, int mode);
    // Closes the file if one is open. 0, or kCloseFailed when writing it failed.
    virtual int Close();
    // False when nothing is open, `offset` is not below the length (whatever the
    // origin) or the origin is unknown.
    virtual bool Seek(std::uint32_t offset, int origin);
    // The number of bytes actually read at the current position; 0 when not open for reading.
    virtual std::size_t Read(void* buffer, std::size_t count);
    // 1 when all `count` bytes were written, else 0.
    virtual int Write(const void* buffer, std::size_t count);
    // The size measured at Open, capped at the largest 32-bit value; 0 when closed.
    virtual std::uint32_t GetLength() const;

protected:
    platform::FileSystem& Files() const { return m_files; }
    // Reads up to `count` bytes at `position` without touching the current position:
    // the number read, 0 when not open for reading or when the read failed.
    std::size_t ReadAt(std::uint64_t position, void* buffer, std::size_t count);

private:
    platform::FileSystem& m_files;
    std::unique_ptr<platform::ByteSource> m_source;
    std::unique_ptr<platform::OutputFile> m_output;
    std::uint64_t m_position = 0;
    std::uint32_t m_length = 0;
};
