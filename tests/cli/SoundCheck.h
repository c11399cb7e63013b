#pragma once
// Reads sound files back and measures the tones in them; writes the mono and stereo
// sources the import tests start from. Through libsndfile where the build has it,
// through a small WAVE/AIFF reader and writer of its own otherwise (Windows).

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// Format words as libsndfile numbers them: a container ORed with a sample encoding.
// The libsndfile build checks that they agree with sndfile.h.
inline constexpr int kSoundWav = 0x010000;
inline constexpr int kSoundAiff = 0x020000;
inline constexpr int kSoundFlac = 0x170000;
inline constexpr int kSoundPcm16 = 0x0002;
inline constexpr int kSoundPcm24 = 0x0003;
inline constexpr int kSoundContainerMask = 0x0FFF0000;  // the container part of a format word

struct SoundFile {
    int rate = 0;
    int channels = 0;
    int format = 0;  // libsndfile's format word
    std::vector<std::vector<std::int32_t>> channelSamples;  // full-scale 32-bit values per channel
};

// Reads a whole file; throws when it cannot be opened or read.
SoundFile ReadSound(const std::string& path);

// Writes interleaved full-scale 32-bit samples as `format` (a WAVE or AIFF word above);
// throws when the file cannot be written.
void WriteSound(const std::string& path, int format, int rate, int channels, const std::vector<int>& samples);

// A WAVE file of `seconds` of a 440 Hz tone at half scale, 16 or 24 bit, the same in
// every channel; throws when it cannot be written.
void WriteTone(const std::string& path, int rate, int bits, int channels = 1, double seconds = 0.5);

// The frequency of a steady tone in samples [from, to), from its rising zero crossings.
double ToneFrequency(const std::vector<std::int32_t>& samples, int rate, std::size_t from, std::size_t to);

// The first and one past the last non-zero sample; equal when all are zero.
std::pair<std::size_t, std::size_t> SoundingSpan(const std::vector<std::int32_t>& samples);

}  // namespace testsupport
