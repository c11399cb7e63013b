#pragma once
// What a sound file given for import holds, as the conversion reads it, and what the
// conversion makes of one of its channels.

#include <cstdint>
#include <string>

namespace convert {

struct SourceFormat {
    std::uint32_t rate = 0;
    int channels = 0;
    std::uint64_t frames = 0;
    unsigned bits = 0;      // of a sample: the integer width, or 32/64 for floating point
    bool floating = false;  // floating-point samples, which may lie above full scale
};

// The channel of a source that goes onto one track.
enum class Channel {
    Only,   // the one channel of a mono file
    Left,
    Right,
    Mix,  // the mean of the two channels of a stereo file
};

// The project format a conversion makes: rate, word length and whether the word
// length is reduced with dither.
struct TargetFormat {
    std::uint32_t rate = 0;
    unsigned bits = 0;
    bool dither = true;
};

// "96 kHz stereo float", "44.1 kHz mono 16 bit".
std::string Describe(const SourceFormat& format);
// "48 kHz", "44.1 kHz", "22.05 kHz".
std::string RateText(std::uint32_t hz);
// "left channel", "right channel", "mix of both channels"; empty for Only.
std::string ChannelText(Channel channel);
// Whether the samples of `channel` reach `target` exactly, without rounding: the same
// rate, integer samples no wider than the target (a mix takes one bit more).
bool IsExact(const SourceFormat& source, Channel channel, const TargetFormat& target);
// What the conversion does: "left channel, resampled to 48 kHz, 24 bit".
std::string PlanText(const SourceFormat& source, Channel channel, const TargetFormat& target);
// The frames of the converted channel: the source's frames at the target rate.
std::uint64_t ConvertedFrames(const SourceFormat& source, const TargetFormat& target);

}  // namespace convert
