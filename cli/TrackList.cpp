#include "cli/TrackList.h"

#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace cli {

namespace {

constexpr std::size_t kMaxNumberDigits = 9;  // keeps the value inside unsigned
constexpr const char* kAllTracks = "all";

std::optional<unsigned> ParseDecimal(const std::string& text)
{
    if (text.empty() || text.size() > kMaxNumberDigits ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
        return std::nullopt;
    return static_cast<unsigned>(std::stoul(text));
}

std::optional<int> ParseInRange(const std::string& text, int highest)
{
    const auto value = ParseDecimal(text);
    if (!value || *value < 1 || *value > static_cast<unsigned>(highest))
        return std::nullopt;
    return static_cast<int>(*value);
}

}  // namespace

std::optional<int> ParseAllTracks(const std::string& text)
{
    const auto colon = text.find(':');
    if (!platform::EqualsIgnoringCase(text.substr(0, colon), kAllTracks))
        return std::nullopt;
    return colon == std::string::npos ? std::optional<int>(1) : ParseInRange(text.substr(colon + 1), kVirtualTrackCount);
}

std::optional<unsigned> ParseProjectNumber(const std::string& text)
{
    return ParseDecimal(text);
}

std::optional<TrackChoice> ParseTrackList(const std::string& text, bool stereo)
{
    TrackChoice choice{};
    int chosen = 0;
    std::istringstream items(text);
    std::string item;
    while (std::getline(items, item, ',')) {
        const auto colon = item.find(':');
        const auto track = ParseInRange(item.substr(0, colon), static_cast<int>(kTrackCount));
        const auto virtualTrack =
            colon == std::string::npos ? std::optional<int>(1) : ParseInRange(item.substr(colon + 1), kVirtualTrackCount);
        if (!track || !virtualTrack || choice[*track - 1] != 0)
            return std::nullopt;
        choice[*track - 1] = *virtualTrack;
        ++chosen;
    }
    // getline drops a trailing empty item: "1," must still be refused.
    if (chosen == 0 || text.back() == ',' || (stereo && chosen > kStereoTrackLimit))
        return std::nullopt;
    return choice;
}

}  // namespace cli
