#include "convert/Quantiser.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace convert {

namespace {

// SplitMix64's constants.
constexpr std::uint64_t kGoldenGamma = 0x9E3779B97F4A7C15ull;
constexpr std::uint64_t kMixMultiplier1 = 0xBF58476D1CE4E5B9ull;
constexpr std::uint64_t kMixMultiplier2 = 0x94D049BB133111EBull;
constexpr int kMixShift1 = 30;
constexpr int kMixShift2 = 27;
constexpr int kMixShift3 = 31;
// The top 53 bits of a 64-bit number make a double on [0, 1).
constexpr int kMantissaShift = 11;
constexpr double kUnitScale = 1.0 / 9007199254740992.0;  // 2^-53
constexpr double kFullScale = 1.0;

std::uint64_t Mix(std::uint64_t z)
{
    z = (z ^ (z >> kMixShift1)) * kMixMultiplier1;
    z = (z ^ (z >> kMixShift2)) * kMixMultiplier2;
    return z ^ (z >> kMixShift3);
}

}  // namespace

Quantiser::Quantiser(unsigned bits, bool dither, std::uint64_t seed)
    : m_scale(std::ldexp(1.0, static_cast<int>(bits) - 1)),
      m_highest(m_scale - 1.0),
      m_lowest(-m_scale),
      m_dither(dither),
      m_state(seed)
{
}

double Quantiser::NextUniform()
{
    m_state += kGoldenGamma;
    return static_cast<double>(Mix(m_state) >> kMantissaShift) * kUnitScale;
}

std::int32_t Quantiser::operator()(double sample)
{
    // A damaged float source's NaN is silence, not a sample beyond full scale.
    if (sample == 0.0 || std::isnan(sample))
        return 0;
    if (sample > kFullScale || sample < -kFullScale) {
        ++m_clipped;
        sample = std::clamp(sample, -kFullScale, kFullScale);
    }
    double value = sample * m_scale;
    if (m_dither)
        value += NextUniform() - NextUniform();
    return static_cast<std::int32_t>(std::clamp(std::floor(value + 0.5), m_lowest, m_highest));
}

std::uint64_t SeedOf(const double* samples, std::size_t count, std::uint64_t salt)
{
    std::uint64_t seed = Mix(salt + kGoldenGamma);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &samples[i], sizeof bits);
        seed = Mix(seed ^ bits);
    }
    return seed;
}

}  // namespace convert
