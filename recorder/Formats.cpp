#include "recorder/Formats.h"

namespace {

template <typename Format, std::size_t N, typename Key, typename Value>
std::optional<Format> FindFormat(const Format (&table)[N], Key Format::*key, Value value)
{
    for (const Format& format : table) {
        if (format.*key == value)
            return format;
    }
    return std::nullopt;
}

}  // namespace

std::optional<RateFormat> RateOfCode(std::uint8_t code)
{
    return FindFormat(kRateFormats, &RateFormat::code, code);
}

std::optional<RateFormat> RateOfHz(std::uint32_t hz)
{
    return FindFormat(kRateFormats, &RateFormat::hz, hz);
}

std::optional<WordLengthFormat> WordLengthOfCode(std::uint8_t code)
{
    return FindFormat(kWordLengthFormats, &WordLengthFormat::code, code);
}

std::optional<WordLengthFormat> WordLengthOfBits(unsigned bits)
{
    return FindFormat(kWordLengthFormats, &WordLengthFormat::bits, bits);
}
