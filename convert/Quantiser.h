#pragma once
// Reduces samples scaled to full scale 1.0 to integers of a recorder word length,
// rounding to the nearest step, with triangular (TPDF) dither of one step either way
// when asked. An input that is exactly zero stays zero, so that digital silence stays
// silence for the region scan. Inputs beyond full scale are clipped and counted.
// The dither's noise comes from a seed, so that the same source gives the same result.

#include <cstddef>
#include <cstdint>

namespace convert {

class Quantiser {
public:
    Quantiser(unsigned bits, bool dither, std::uint64_t seed);

    std::int32_t operator()(double sample);
    // Samples that lay beyond full scale so far.
    std::uint64_t Clipped() const { return m_clipped; }

private:
    // Uniform on [0, 1), from a 64-bit generator (SplitMix64).
    double NextUniform();

    double m_scale;
    double m_highest;
    double m_lowest;
    bool m_dither;
    std::uint64_t m_state;
    std::uint64_t m_clipped = 0;
};

// A seed from what a source holds: its first samples and what the caller adds
// (its length, rate and the channel taken), so that two channels of one file, or two
// files, get noise of their own.
std::uint64_t SeedOf(const double* samples, std::size_t count, std::uint64_t salt);

}  // namespace convert
