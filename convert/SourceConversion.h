#pragma once
// One channel of a sound file made into a mono WAVE file at the project's format:
// the channel taken (or the two mixed), resampled when the rate differs, reduced to
// the word length. Integer samples that reach the target exactly (IsExact) are
// copied without dither; everything else is rounded, with dither unless the target
// says not. Built only where libsndfile and libsoxr are found
// (ConversionAvailable); elsewhere every conversion is refused.

#include "convert/SourceFormat.h"
#include "platform/FileSystem.h"
#include "recorder/Errors.h"

#include <functional>
#include <optional>
#include <string>

namespace convert {

// True when this build can convert sound files.
bool ConversionAvailable();

// The format of the sound file at `path`, or nothing when libsndfile cannot read it.
std::optional<SourceFormat> ProbeSource(platform::FileSystem& files, const std::string& path);

struct ConversionOutcome {
    std::uint64_t frames = 0;   // written
    std::uint64_t clipped = 0;  // samples beyond full scale
};

// Converts `channel` of the file at `sourcePath` into a new mono WAVE file at
// `outputPath`, asking `stopRequested` between blocks. Why it failed, told of
// `subject` (the user's name for the source and channel), or nothing.
std::optional<Refusal> ConvertChannel(platform::FileSystem& files, const std::string& sourcePath, Channel channel,
                                      const TargetFormat& target, const std::string& outputPath,
                                      const std::string& subject, const std::function<bool()>& stopRequested,
                                      ConversionOutcome& outcome);

}  // namespace convert
