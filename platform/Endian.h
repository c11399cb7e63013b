#pragma once
// Loads and stores of multi-byte numbers in a stated byte order, whatever the host's:
// RIFF and the recorder's stored words are little-endian, AIFF and the recorder's
// record images big-endian.

#include <bit>
#include <cstddef>
#include <cstdint>

namespace endian {

inline constexpr unsigned kBitsPerByte = 8;

inline std::uint16_t LoadLittle16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << kBitsPerByte);
}

inline std::uint32_t LoadLittle32(const std::uint8_t* bytes)
{
    return std::uint32_t{LoadLittle16(bytes)} | std::uint32_t{LoadLittle16(bytes + 2)} << (2 * kBitsPerByte);
}

inline std::uint16_t LoadBig16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] << kBitsPerByte | bytes[1]);
}

inline std::uint32_t LoadBig32(const std::uint8_t* bytes)
{
    return std::uint32_t{LoadBig16(bytes)} << (2 * kBitsPerByte) | LoadBig16(bytes + 2);
}

// Stores the low `width` bytes of `value`, least significant byte first.
inline void StoreLittle(std::uint8_t* at, std::uint32_t value, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (kBitsPerByte * i));
}

// Stores the low `width` bytes of `value`, most significant byte first.
inline void StoreBig(std::uint8_t* at, std::uint32_t value, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i)
        at[width - 1 - i] = static_cast<std::uint8_t>(value >> (kBitsPerByte * i));
}

// The first four bytes (big-endian) of `value` as an 80-bit IEEE extended number, as
// AIFF states its rate: sign, exponent and the top 16 bits of the mantissa. The other
// six bytes are zero for every value below 65536.
inline constexpr std::uint32_t ExtendedHead(std::uint32_t value)
{
    constexpr std::uint32_t kExponentBias = 16383;
    constexpr int kMantissaTopBits = 16;
    constexpr int kExponentShift = 16;
    if (value == 0)
        return 0;
    // The mantissa's explicit leading one is the highest set bit of the value.
    const int topBit = std::bit_width(value) - 1;
    const std::uint32_t exponent = kExponentBias + static_cast<std::uint32_t>(topBit);
    const int shift = kMantissaTopBits - 1 - topBit;
    const std::uint32_t mantissaTop = shift >= 0 ? value << shift : value >> -shift;
    return exponent << kExponentShift | mantissaTop;
}

}  // namespace endian
