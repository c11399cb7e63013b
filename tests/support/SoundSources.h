#pragma once
// Sound files of every kind libsndfile writes, as sources for the import's conversion:
// a two-tone signal behind a stretch of digital silence. Only for test programs that
// link libsndfile.

#include <sndfile.h>

#include <cmath>
#include <cstddef>
#include <numbers>
#include <string>
#include <vector>

namespace testsupport {

inline constexpr double kToneSeconds = 0.5;
inline constexpr double kLeftToneHz = 440.0;
inline constexpr double kRightToneHz = 660.0;
inline constexpr double kToneSilentShare = 0.25;  // of the source, digital silence at its start

// Interleaved samples of a two-tone source: silence for the first quarter, then a
// tone on each channel at `level` (above 1.0 for a float source beyond full scale).
inline std::vector<double> ToneFrames(int rate, int channels, double level)
{
    const auto frames = static_cast<std::size_t>(rate * kToneSeconds);
    std::vector<double> samples(frames * static_cast<std::size_t>(channels), 0.0);
    for (std::size_t i = static_cast<std::size_t>(frames * kToneSilentShare); i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double hz = c == 0 ? kLeftToneHz : kRightToneHz;
            samples[i * channels + c] = level * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / rate);
        }
    }
    return samples;
}

// A new file of libsndfile's `format` to write; null when libsndfile refused.
inline SNDFILE* OpenSoundForWriting(const std::string& path, int format, int rate, int channels)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    return sf_open(path.c_str(), SFM_WRITE, &info);
}

// Writes `samples` as a file of libsndfile's `format`; false when libsndfile refused.
inline bool WriteSoundFile(const std::string& path, int format, int rate, int channels,
                           const std::vector<double>& samples)
{
    SNDFILE* file = OpenSoundForWriting(path, format, rate, channels);
    if (!file)
        return false;
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const auto frames = static_cast<sf_count_t>(samples.size() / static_cast<std::size_t>(channels));
    const bool written = sf_writef_double(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}

}  // namespace testsupport
