#pragma once
// What the WAVE and AIFF containers share: a file is a sequence of chunks, each a
// four-character id and a 32-bit size in front of its data, and a chunk of odd
// size is followed by one pad byte. The outer chunk holds a four-character form type
// in front of the chunks it contains.

#include <cstddef>
#include <cstdint>

namespace chunk {

inline constexpr std::size_t kIdSize = 4;
inline constexpr std::size_t kSizeOffset = kIdSize;
// The widths of the numeric fields of both containers.
inline constexpr std::size_t kWordSize = 4;
inline constexpr std::size_t kHalfWordSize = 2;
inline constexpr std::size_t kSizeFieldSize = kWordSize;
inline constexpr std::size_t kHeaderSize = kIdSize + kSizeFieldSize;
inline constexpr std::size_t kFormTypeSize = 4;
// The outer chunk's header and form type: where its first inner chunk starts.
inline constexpr std::size_t kFormHeaderSize = kHeaderSize + kFormTypeSize;
// Every size field is 32 bits wide.
inline constexpr std::uint64_t kMaxSizeField = 0xFFFFFFFFu;

// The bytes a chunk of `size` data bytes takes after its header, with its pad byte.
constexpr std::uint64_t PaddedSize(std::uint64_t size)
{
    return size + (size & 1U);
}

}  // namespace chunk
