#pragma once
// Reads sound files back through libsndfile and measures the tones in them.

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct SoundFile {
    int rate = 0;
    int channels = 0;
    int format = 0;  // libsndfile's format word
    std::vector<std::vector<std::int32_t>> channelSamples;  // full-scale 32-bit values per channel
};

// Reads a whole file; throws when libsndfile cannot open it.
SoundFile ReadSound(const std::string& path);

// The frequency of a steady tone in samples [from, to), from its rising zero crossings.
double ToneFrequency(const std::vector<std::int32_t>& samples, int rate, std::size_t from, std::size_t to);

// The first and one past the last non-zero sample; equal when all are zero.
std::pair<std::size_t, std::size_t> SoundingSpan(const std::vector<std::int32_t>& samples);

}  // namespace testsupport
