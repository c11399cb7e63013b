#pragma once
// A small buffered file for the recorder's own files: the base of the FNB.BIN handle
// and the track data file. Every operation reports failure by its result.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class CRTFile {
public:
    // Access selected by the low two bits of an Open mode.
    enum Mode : int { kModeRead = 0, kModeWrite = 1 };

    CRTFile() = default;
    virtual ~CRTFile();
    CRTFile(const CRTFile&) = delete;
    CRTFile& operator=(const CRTFile&) = delete;

    // Opens `path` for reading an existing file (mode 0) or creating/truncating it for
    // writing (mode 1); other modes are refused. On success the length is measured.
    // A file opened for reading must be a regular file and not empty.
    virtual bool Open(const std::string& path, int mode);
    // Closes the stream if one is open. 0, or EOF when closing a written stream failed.
    virtual int Close();
    // False when nothing is open or `offset` is not below the length (whatever the origin).
    virtual bool Seek(std::uint32_t offset, int origin);
    // The number of bytes actually read; 0 when closed.
    virtual std::size_t Read(void* buffer, std::size_t count);
    // 1 when all `count` bytes were written, else 0.
    virtual int Write(const void* buffer, std::size_t count);
    // The size measured at Open, capped at the largest 32-bit value; 0 when closed.
    virtual std::uint32_t GetLength() const;

private:
    std::FILE* m_stream = nullptr;
    std::uint32_t m_length = 0;
};
