#include "recorder/TrackFileName.h"

namespace {

constexpr std::size_t kDotIndex = 8;

std::string InsertDot(const std::string& digits)
{
    if (digits.size() < kDotIndex)
        return digits;
    return digits.substr(0, kDotIndex) + "." + digits.substr(kDotIndex);
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
