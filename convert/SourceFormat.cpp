#include "convert/SourceFormat.h"

#include <cmath>
#include <cstdio>

namespace convert {

namespace {

constexpr double kHzPerKhz = 1000.0;
constexpr int kMonoChannels = 1;
constexpr int kStereoChannels = 2;

}  // namespace

std::string RateText(std::uint32_t hz)
{
    // As short as the rate allows: "48", "44.1", "22.05", "11.025".
    char text[32];
    std::snprintf(text, sizeof text, "%g kHz", hz / kHzPerKhz);
    return text;
}

std::string Describe(const SourceFormat& format)
{
    const std::string layout = format.channels == kMonoChannels     ? "mono"
                               : format.channels == kStereoChannels ? "stereo"
                                                                    : std::to_string(format.channels) + " channels";
    const std::string samples = format.floating ? "float" : std::to_string(format.bits) + " bit";
    return RateText(format.rate) + " " + layout + " " + samples;
}

std::string ChannelText(Channel channel)
{
    switch (channel) {
    case Channel::Left:
        return "left channel";
    case Channel::Right:
        return "right channel";
    case Channel::Mix:
        return "mix of both channels";
    case Channel::Only:
        break;
    }
    return {};
}

bool IsExact(const SourceFormat& source, Channel channel, const TargetFormat& target)
{
    const unsigned needed = source.bits + (channel == Channel::Mix ? 1 : 0);
    return source.rate == target.rate && !source.floating && needed <= target.bits;
}

std::string PlanText(const SourceFormat& source, Channel channel, const TargetFormat& target)
{
    std::string text = ChannelText(channel);
    if (source.rate != target.rate)
        text += (text.empty() ? "" : ", ") + std::string("resampled to ") + RateText(target.rate);
    text += (text.empty() ? "" : ", ") + std::to_string(target.bits) + " bit";
    if (!IsExact(source, channel, target) && !target.dither)
        text += " without dither";
    return text;
}

std::uint64_t ConvertedFrames(const SourceFormat& source, const TargetFormat& target)
{
    if (source.rate == target.rate || source.rate == 0)
        return source.frames;
    return static_cast<std::uint64_t>(
        std::llround(static_cast<double>(source.frames) * target.rate / static_cast<double>(source.rate)));
}

}  // namespace convert
