#pragma once
// A small read-only file for the recorder's own files: the base of the FNB.BIN handle,
// the lead-in table and the track data file. It reads through the file system it was
// given; every operation reports failure by its result.

#include "platform/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class CRTFile {
public:
    explicit CRTFile(platform::FileSystem& files = platform::RealFileSystem());
    virtual ~CRTFile();
    CRTFile(const CRTFile&) = delete;
    CRTFile& operator=(const CRTFile&) = delete;

    // Opens `path`, an existing regular file that is not empty, for reading and
    // measures its length; a file already open is closed first.
    bool Open(const std::string& path);
    // Closes the file if one is open; closing nothing does nothing.
    void Close();
    // The size measured at Open, capped at the largest 32-bit value; 0 when closed.
    std::uint32_t GetLength() const;

protected:
    platform::FileSystem& Files() const { return m_files; }
    // Reads up to `count` bytes at `position`: the number read, 0 when nothing is
    // open or when the read failed.
    std::size_t ReadAt(std::uint64_t position, void* buffer, std::size_t count);

private:
    platform::FileSystem& m_files;
    std::unique_ptr<platform::ByteSource> m_source;
    std::uint32_t m_length = 0;
};
