#include "recorder/TrackFileName.h"

#include <cstdio>

namespace {

constexpr std::size_t kDotIndex = 8;

std::string InsertDot(const std::string& digits)
{
    if (digits.size() < kDotIndex)
        return digits;
    return digits.substr(0, kDotIndex) + "." + digits.substr(kDotIndex);
}

}  // namespace

std::string MakeTrackFileName(unsigned projectNumber, unsigned serial)
{
    char digits[32];
    std::snprintf(digits, sizeof digits, "%s%.2u%.5u", kTrackFilePrefix, projectNumber, serial);
    return InsertDot(digits);
}

std::string MakeTrackFileName(const std::string& projectDigits, unsigned serial)
{
    char serialDigits[16];
    std::snprintf(serialDigits, sizeof serialDigits, "%.5u", serial);
    return InsertDot(kTrackFilePrefix + projectDigits + serialDigits);
}
