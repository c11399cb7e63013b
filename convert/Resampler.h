#pragma once
// The change of a mono stream's rate through libsoxr with its very-high-quality
// recipe (SOXR_VHQ: 28-bit precision, linear phase, 95 % bandwidth), in double
// precision throughout. Built only where libsoxr is found.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace convert {

class Resampler {
public:
    Resampler(std::uint32_t fromRate, std::uint32_t toRate);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // False when libsoxr could not set up the conversion.
    bool IsReady() const;
    // Takes `count` input samples and appends the output they complete to `output`.
    bool Process(const double* input, std::size_t count, std::vector<double>& output);
    // Appends the output still held back at the end of the input.
    bool Finish(std::vector<double>& output);

private:
    // One call of the engine with output room for `count` inputs; `used` of them taken.
    bool Step(const double* input, std::size_t count, std::size_t& used, std::vector<double>& output);

    struct Engine;
    std::unique_ptr<Engine> m_engine;
};

}  // namespace convert
