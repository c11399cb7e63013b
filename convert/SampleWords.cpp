#include "convert/SampleWords.h"

namespace convert {

namespace {

constexpr unsigned kByteBits = 8;
constexpr unsigned kTopShift = 24;

// Reads `Width`-byte samples into the top bytes of 32-bit values, the first byte read
// the most significant (BigEndian) or the least.
template <std::size_t Width, bool BigEndian>
void ToInt32(const std::uint8_t* source, std::size_t count, std::int32_t* out)
{
    for (std::size_t i = 0; i < count; ++i, source += Width) {
        std::uint32_t value = 0;
        for (std::size_t b = 0; b < Width; ++b) {
            const std::size_t significance = BigEndian ? b : Width - 1 - b;
            value |= std::uint32_t{source[b]} << (kTopShift - significance * kByteBits);
        }
        out[i] = static_cast<std::int32_t>(value);
    }
}

constexpr std::size_t kShortWidth = 2;
constexpr std::size_t kLongWidth = 3;

}  // namespace

void BigEndianToInt32(const std::uint8_t* source, std::size_t width, std::size_t count, std::int32_t* out)
{
    if (width == kShortWidth)
        ToInt32<kShortWidth, true>(source, count, out);
    else
        ToInt32<kLongWidth, true>(source, count, out);
}

void LittleEndianToInt32(const std::uint8_t* source, std::size_t width, std::size_t count, std::int32_t* out)
{
    if (width == kShortWidth)
        ToInt32<kShortWidth, false>(source, count, out);
    else
        ToInt32<kLongWidth, false>(source, count, out);
}

}  // namespace convert
