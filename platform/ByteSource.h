#pragma once
// Positioned read access to bytes that somebody else wrote: a file on disk, or a
// buffer in memory (tests, fuzzing). Every parser of outside bytes reads through it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// The usual sector size: the unit in which reads of a failing medium fail.
inline constexpr std::size_t kSectorBytes = 4096;

class ByteSource {
public:
    virtual ~ByteSource() = default;

    // The number of bytes the source holds, measured when it was opened.
    virtual std::uint64_t Size() const = 0;
    // Reads up to `count` bytes from `position`: the number read (0 at or past the
    // end), or nothing when the read failed.
    virtual std::optional<std::size_t> ReadAt(std::uint64_t position, void* buffer, std::size_t count) = 0;

    // True when all `count` bytes at `position` could be read.
    bool ReadExactly(std::uint64_t position, void* buffer, std::size_t count);
};

// Bytes held in memory.
class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}
    MemorySource(const std::uint8_t* data, std::size_t size) : m_bytes(data, data + size) {}

    std::uint64_t Size() const override { return m_bytes.size(); }
    std::optional<std::size_t> ReadAt(std::uint64_t position, void* buffer, std::size_t count) override;

private:
    std::vector<std::uint8_t> m_bytes;
};

}  // namespace platform
