#include "convert/Resampler.h"

#include <soxr.h>

namespace convert {

namespace {

// Output room per call beyond the input's share: the filter's delay comes out in
// pieces of at most this.
constexpr std::size_t kOutputSlack = 1024;

}  // namespace

struct Resampler::Engine {
    soxr_t soxr = nullptr;
    double ratio = 1.0;
};

Resampler::Resampler(std::uint32_t fromRate, std::uint32_t toRate) : m_engine(std::make_unique<Engine>())
{
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT64_I, SOXR_FLOAT64_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
    soxr_error_t error = nullptr;
    m_engine->soxr = soxr_create(fromRate, toRate, 1, &error, &io, &quality, nullptr);
    if (error)
        m_engine->soxr = nullptr;
    m_engine->ratio = static_cast<double>(toRate) / fromRate;
}

Resampler::~Resampler()
{
    if (m_engine->soxr)
        soxr_delete(m_engine->soxr);
}

bool Resampler::IsReady() const
{
    return m_engine->soxr != nullptr;
}

bool Resampler::Step(const double* input, std::size_t count, std::size_t& used, std::vector<double>& output)
{
    const std::size_t room = static_cast<std::size_t>(static_cast<double>(count) * m_engine->ratio) + kOutputSlack;
    const std::size_t start = output.size();
    output.resize(start + room);
    std::size_t made = 0;
    const bool done = soxr_process(m_engine->soxr, input, count, &used, output.data() + start, room, &made) == nullptr;
    output.resize(start + made);
    return done;
}

bool Resampler::Process(const double* input, std::size_t count, std::vector<double>& output)
{
    if (!m_engine->soxr)
        return false;
    while (count > 0) {
        std::size_t used = 0;
        if (!Step(input, count, used, output))
            return false;
        input += used;
        count -= used;
    }
    return true;
}

bool Resampler::Finish(std::vector<double>& output)
{
    if (!m_engine->soxr)
        return false;
    // Without input the engine gives out what it holds back, until nothing is left.
    for (std::size_t before = output.size() + 1; output.size() != before;) {
        before = output.size();
        std::size_t used = 0;
        if (!Step(nullptr, 0, used, output))
            return false;
    }
    return true;
}

}  // namespace convert
