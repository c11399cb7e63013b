// The conversion's reading of arbitrary bytes as a sound file: libsndfile through the
// program's file layer, held in memory, then what the import's conversion does with a
// source it plans (one or two channels): one block of the channel taken, resampled to
// the default rate and quantised to the default word length. A finished conversion's
// file must be as long as its frames make it.

#include "convert/ImportConversion.h"
#include "convert/MonoWave.h"
#include "convert/SourceConversion.h"
#include "fuzz/FuzzTarget.h"
#include "platform/Files.h"
#include "tests/support/MemoryFileSystem.h"

#include <string>
#include <vector>

namespace {

constexpr int kStereoChannels = 2;
// A mix on odd-sized inputs, so that both ways of taking a channel are reached.
constexpr std::size_t kMixParity = 2;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    testsupport::MemoryFileSystem files;
    const std::string folder = "in";
    const std::string source = platform::JoinPath(folder, "take");
    const std::string output = platform::JoinPath(folder, "converted.wav");
    files.AddFolder(folder);
    files.AddFile(source, std::vector<std::uint8_t>(data, data + size));
    const auto format = convert::ProbeSource(files, source);
    if (!format || format->channels < 1 || format->channels > kStereoChannels)
        return 0;
    const convert::Channel channel = format->channels == 1 ? convert::Channel::Only
                                     : size % kMixParity   ? convert::Channel::Mix
                                                           : convert::Channel::Left;
    const convert::TargetFormat target{convert::DefaultRate(format->rate), convert::DefaultBits(*format), true};
    convert::ConversionOutcome outcome;
    // Stopped after the first block: a short stretch of a source of any length.
    const auto refusal = convert::ConvertChannel(files, source, channel, target, output, "take",
                                                 [] { return true; }, outcome);
    if (refusal)
        return 0;
    fuzz::Require(files.Bytes(output).size() == convert::MonoWaveWriter::FileBytes(outcome.frames, target.bits),
                  "a converted file is as long as its frames make it");
    return 0;
}
