#include "tests/cli/SoundCheck.h"

#include <sndfile.h>

#include <stdexcept>

namespace testsupport {

SoundFile ReadSound(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        throw std::runtime_error("libsndfile cannot open " + path);
    std::vector<std::int32_t> interleaved(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_int(file, interleaved.data(), info.frames);
    sf_close(file);

    SoundFile sound;
    sound.rate = info.samplerate;
    sound.channels = info.channels;
    sound.format = info.format;
    sound.channelSamples.assign(static_cast<std::size_t>(info.channels), {});
    for (std::size_t i = 0; i < interleaved.size(); ++i)
        sound.channelSamples[i % static_cast<std::size_t>(info.channels)].push_back(interleaved[i]);
    return sound;
}

double ToneFrequency(const std::vector<std::int32_t>& samples, int rate, std::size_t from, std::size_t to)
{
    std::size_t first = 0;
    std::size_t last = 0;
    int crossings = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            if (crossings == 0)
                first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0.0;
    return (crossings - 1) * static_cast<double>(rate) / static_cast<double>(last - first);
}

std::pair<std::size_t, std::size_t> SoundingSpan(const std::vector<std::int32_t>& samples)
{
    std::size_t begin = 0;
    while (begin < samples.size() && samples[begin] == 0)
        ++begin;
    std::size_t end = samples.size();
    while (end > begin && samples[end - 1] == 0)
        --end;
    return {begin, end};
}

}  // namespace testsupport
