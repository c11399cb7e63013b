#pragma once
// Read access to a PC sound file for its header checks: positioned reads that
// never pass the end of the file, its length in 64 bits, and the decoding of
// the multi-byte numbers of RIFF (little-endian) and AIFF (big-endian) headers.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

class CSoundFileInput {
public:
    // Opens the regular file `path` for reading; false when it cannot be opened.
    bool Open(const std::string& path);
    std::uint64_t GetLength() const { return m_length; }
    // Reads up to `count` bytes from `position`; the number of bytes read.
    std::size_t ReadAt(std::uint64_t position, void* buffer, std::size_t count);
    // True when all `count` bytes at `position` could be read.
    bool ReadExactly(std::uint64_t position, void* buffer, std::size_t count);
    // Closes the file; false when closing reports an error.
    bool Close();

private:
    std::ifstream m_stream;
    std::uint64_t m_length = 0;
};

// Sample sizes the import handles (a 20-bit sample sits left-justified in 3 bytes).
bool IsAcceptedSampleSize(unsigned bits);

std::uint16_t LittleEndian16(const std::uint8_t* bytes);
std::uint32_t LittleEndian32(const std::uint8_t* bytes);
std::uint16_t BigEndian16(const std::uint8_t* bytes);
std::uint32_t BigEndian32(const std::uint8_t* bytes);
