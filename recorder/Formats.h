#pragma once
// The recorder's rate and word-length codes, as FNB.BIN and FNB.TXT hold them, with
// what each means on the PC side. Every reader, writer and list text takes them from here.

#include <cstddef>
#include <cstdint>
#include <optional>

struct RateFormat {
    std::uint8_t code;
    std::uint32_t hz;
    const char* listText;  // as the project list shows it; null where the list says "Unknown"
    bool exportable;       // the sound file writers and the AIFF reader know it
};

// Codes 1 to 3 are the recorder's own rates; 4 to 7 are codes FNB.TXT can carry for
// rates the import accepts from WAVE files.
inline constexpr RateFormat kRateFormats[] = {
    {1, 32000, "32.0KHz", true}, {2, 44100, "44.1KHz", true}, {3, 48000, "48.0KHz", true},
    {4, 88200, nullptr, false},  {5, 96000, nullptr, false},  {6, 44056, nullptr, false},
    {7, 47952, nullptr, false},
};

struct WordLengthFormat {
    std::uint8_t code;
    unsigned bits;          // of a recorder sample
    unsigned fileBits;      // of a sample in an exported file (20-bit projects become 24-bit files)
    unsigned bytesPerSample;  // of a sample on the PC side (20 bits sit left-justified in 3 bytes)
    const char* listText;
};

inline constexpr WordLengthFormat kWordLengthFormats[] = {
    {0, 16, 16, 2, "16bit"},
    {1, 20, 24, 3, "20bit"},
    {2, 24, 24, 3, "24bit"},
};

namespace formats_detail {

template <typename Format, std::size_t N, typename Key, typename Value>
constexpr std::optional<Format> Find(const Format (&table)[N], Key Format::*key, Value value)
{
    for (const Format& format : table) {
        if (format.*key == value)
            return format;
    }
    return std::nullopt;
}

}  // namespace formats_detail

// The entry of a code or a PC-side value; nothing when there is none. Usable at compile
// time, so that layouts built on a word length follow from this table.
constexpr std::optional<RateFormat> RateOfCode(std::uint8_t code)
{
    return formats_detail::Find(kRateFormats, &RateFormat::code, code);
}

constexpr std::optional<RateFormat> RateOfHz(std::uint32_t hz)
{
    return formats_detail::Find(kRateFormats, &RateFormat::hz, hz);
}

constexpr std::optional<WordLengthFormat> WordLengthOfCode(std::uint8_t code)
{
    return formats_detail::Find(kWordLengthFormats, &WordLengthFormat::code, code);
}

constexpr std::optional<WordLengthFormat> WordLengthOfBits(unsigned bits)
{
    return formats_detail::Find(kWordLengthFormats, &WordLengthFormat::bits, bits);
}

// A project's two codes resolved: what a run looks up once and hands down.
struct ProjectFormat {
    RateFormat rate;
    WordLengthFormat wordLength;
};

// Both codes resolved; nothing when either has no entry.
constexpr std::optional<ProjectFormat> FormatOfCodes(std::uint8_t rateCode, std::uint8_t wordLengthCode)
{
    const auto rate = RateOfCode(rateCode);
    const auto wordLength = WordLengthOfCode(wordLengthCode);
    if (!rate || !wordLength)
        return std::nullopt;
    return ProjectFormat{*rate, *wordLength};
}
