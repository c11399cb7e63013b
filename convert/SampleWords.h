#pragma once
// Samples as the track reader and the sound files hold them, 2 or 3 bytes each, turned
// into the full-scale 32-bit values the codec library takes.

#include <cstddef>
#include <cstdint>

namespace convert {

// Samples of `width` bytes (2 or 3) as full-scale 32-bit values: the first byte read
// becomes the most significant byte (big-endian) or the last (little-endian).
void BigEndianToInt32(const std::uint8_t* source, std::size_t width, std::size_t count, std::int32_t* out);
void LittleEndianToInt32(const std::uint8_t* source, std::size_t width, std::size_t count, std::int32_t* out);

}  // namespace convert
