#include "recorder/TrackFileName.h"

#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

constexpr std::size_t kDotIndex = 8;
constexpr std::size_t kPrefixLength = std::char_traits<char>::length(kTrackFilePrefix);
constexpr std::size_t kNameDigits = kProjectNumberDigits + kFileSerialDigits;
constexpr const char* kAsideMark = "A";
constexpr const char* kAsideExtension = ".OLD";
constexpr std::size_t kAsideMarkLength = std::char_traits<char>::length(kAsideMark);
constexpr std::size_t kAsideNameLength =
    kAsideMarkLength + kNameDigits + std::char_traits<char>::length(kAsideExtension);

std::string InsertDot(const std::string& digits)
{
    if (digits.size() < kDotIndex)
        return digits;
    return digits.substr(0, kDotIndex) + "." + digits.substr(kDotIndex);
}

// The project number and serial digits of a track data file name, in order.
std::string NameDigits(const std::string& trackFileName)
{
    return trackFileName.substr(kPrefixLength, kDotIndex - kPrefixLength) + trackFileName.substr(kDotIndex + 1);
}

// The moved-aside name of a data file's project number and serial digits.
std::string AsideNameOfDigits(const std::string& digits)
{
    std::string name(kAsideMark);
    name += digits;
    name += kAsideExtension;
    return name;
}

bool AllDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

}  // namespace

std::string ZeroPadded(unsigned long long value, std::size_t width)
{
    std::string digits = std::to_string(value);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return digits;
}

std::string MakeTrackFileName(unsigned projectNumber, unsigned serial)
{
    return MakeTrackFileName(ZeroPadded(projectNumber, kProjectNumberDigits), serial);
}

std::string MakeTrackFileName(const std::string& projectDigits, unsigned serial)
{
    return InsertDot(kTrackFilePrefix + projectDigits + ZeroPadded(serial, kFileSerialDigits));
}

std::string ProjectDigitsOf(const std::string& trackFileName)
{
    return trackFileName.substr(kPrefixLength, kProjectNumberDigits);
}

std::string MovedAsideName(const std::string& trackFileName)
{
    return AsideNameOfDigits(NameDigits(trackFileName));
}

std::optional<std::string> OriginalOfMovedAside(const std::string& name)
{
    if (name.size() != kAsideNameLength)
        return std::nullopt;
    const std::string digits = name.substr(kAsideMarkLength, kNameDigits);
    if (!AllDigits(digits) || !platform::EqualsIgnoringCase(name, AsideNameOfDigits(digits)))
        return std::nullopt;
    return InsertDot(kTrackFilePrefix + digits);
}
