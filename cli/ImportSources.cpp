#include "cli/ImportSources.h"

#include "recorder/Records.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace cli {

namespace {

constexpr const char* kEmptyTrack = "-";
constexpr char kNumberEnd = '=';
constexpr char kTrackSeparator = ',';
constexpr char kChannelMark = ':';

struct ChannelSuffix {
    const char* text;
    convert::Channel channel;
};

constexpr std::array<ChannelSuffix, 3> kChannelSuffixes = {{
    {"left", convert::Channel::Left},
    {"right", convert::Channel::Right},
    {"mix", convert::Channel::Mix},
}};

// A track number 1 to 8 as one digit.
std::optional<std::size_t> TrackIndexOf(const std::string& text)
{
    if (text.size() != 1 || text[0] < '1' || text[0] > '0' + static_cast<int>(kTrackCount))
        return std::nullopt;
    return static_cast<std::size_t>(text[0] - '1');
}

// The tracks before '=' of a numbered source ("3" or "1,2"), or nothing when it is none.
std::optional<std::vector<std::size_t>> NumberedTracks(const std::string& argument)
{
    const auto end = argument.find(kNumberEnd);
    if (end == std::string::npos)
        return std::nullopt;
    const std::string numbers = argument.substr(0, end);
    const auto comma = numbers.find(kTrackSeparator);
    const auto first = TrackIndexOf(numbers.substr(0, comma));
    if (!first)
        return std::nullopt;
    if (comma == std::string::npos)
        return std::vector<std::size_t>{*first};
    const auto second = TrackIndexOf(numbers.substr(comma + 1));
    if (!second || *second == *first)
        return std::nullopt;
    return std::vector<std::size_t>{*first, *second};
}

// The file and channel of "FILE" or "FILE:left|right|mix".
convert::SourceRequest RequestOf(const std::string& file, const std::function<bool(const std::string&)>& exists)
{
    const auto mark = file.rfind(kChannelMark);
    if (mark != std::string::npos) {
        const std::string suffix = file.substr(mark + 1);
        const auto known = std::find_if(kChannelSuffixes.begin(), kChannelSuffixes.end(),
                                        [&](const ChannelSuffix& entry) { return suffix == entry.text; });
        if (known != kChannelSuffixes.end() && exists(file.substr(0, mark)))
            return {file.substr(0, mark), {}, known->channel};
    }
    return {file, {}, convert::Channel::Only};
}

ImportSources Plain(const std::vector<std::string>& arguments)
{
    ImportSources sources;
    for (std::size_t k = 0; k < arguments.size() && k < kTrackCount; ++k) {
        if (arguments[k] != kEmptyTrack)
            sources.tracks[k] = convert::SourceRequest{arguments[k], {}, convert::Channel::Only};
    }
    return sources;
}

}  // namespace

std::variant<ImportSources, std::string> ParseImportSources(const std::vector<std::string>& arguments,
                                                            const std::function<bool(const std::string&)>& exists)
{
    const auto numbered = std::count_if(arguments.begin(), arguments.end(),
                                        [](const std::string& argument) { return NumberedTracks(argument).has_value(); });
    if (numbered == 0)
        return Plain(arguments);
    if (static_cast<std::size_t>(numbered) != arguments.size())
        return std::string("numbered sources (N=FILE) cannot be mixed with plain ones");
    ImportSources sources;
    sources.numbered = true;
    for (const auto& argument : arguments) {
        const auto tracks = *NumberedTracks(argument);
        const std::string file = argument.substr(argument.find(kNumberEnd) + 1);
        if (file.empty())
            return argument + ": names no file";
        for (const auto index : tracks) {
            if (sources.tracks[index])
                return "Track " + std::to_string(index + 1) + " is named twice";
        }
        if (tracks.size() == 1) {
            sources.tracks[tracks[0]] = RequestOf(file, exists);
        } else {
            sources.tracks[tracks[0]] = convert::SourceRequest{file, {}, convert::Channel::Left};
            sources.tracks[tracks[1]] = convert::SourceRequest{file, {}, convert::Channel::Right};
        }
    }
    return sources;
}

}  // namespace cli
