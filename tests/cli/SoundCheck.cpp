#include "tests/cli/SoundCheck.h"

#ifdef WAVELORN_TEST_SNDFILE
#include "tests/support/SoundSources.h"

#include <sndfile.h>
#else
#include "tests/support/TempFolder.h"

#include <algorithm>
#endif

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace testsupport {

#ifdef WAVELORN_TEST_SNDFILE

static_assert(kSoundWav == SF_FORMAT_WAV && kSoundAiff == SF_FORMAT_AIFF && kSoundFlac == SF_FORMAT_FLAC);
static_assert(kSoundPcm16 == SF_FORMAT_PCM_16 && kSoundPcm24 == SF_FORMAT_PCM_24);
static_assert(kSoundContainerMask == SF_FORMAT_TYPEMASK);

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

void WriteSound(const std::string& path, int format, int rate, int channels, const std::vector<int>& samples)
{
    SNDFILE* file = OpenSoundForWriting(path, format, rate, channels);
    if (!file)
        throw std::runtime_error(std::string("libsndfile cannot write ") + path + ": " + sf_strerror(nullptr));
    sf_write_int(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
}

#else

namespace {

constexpr int kEncodingMask = 0x0000FFFF;
constexpr int kWavex = 0x130000;  // WAVE with the extensible format tag
constexpr int kPcm32 = 0x0004;
constexpr std::uint16_t kWaveTagPcm = 1;
constexpr std::uint16_t kWaveTagExtensible = 0xFFFE;

std::uint64_t Get(const std::vector<std::uint8_t>& bytes, std::size_t at, int count, bool bigEndian)
{
    if (at + static_cast<std::size_t>(count) > bytes.size())
        throw std::runtime_error("sound file ends inside a field");
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i)
        value |= std::uint64_t{bytes[at + static_cast<std::size_t>(i)]} << (8 * (bigEndian ? count - 1 - i : i));
    return value;
}

void Put(std::vector<std::uint8_t>& out, std::uint64_t value, int count, bool bigEndian)
{
    for (int i = 0; i < count; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * (bigEndian ? count - 1 - i : i))));
}

void PutText(std::vector<std::uint8_t>& out, const char* text)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(text[i]));
}

bool IdAt(const std::vector<std::uint8_t>& bytes, std::size_t at, const char* id)
{
    return at + 4 <= bytes.size() && std::equal(id, id + 4, bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

int EncodingOf(int bits)
{
    switch (bits) {
    case 16: return kSoundPcm16;
    case 24: return kSoundPcm24;
    case 32: return kPcm32;
    default: throw std::runtime_error("unsupported sample width " + std::to_string(bits));
    }
}

// Samples as libsndfile's integer reads give them: left-justified in 32 bits.
void ReadSamples(SoundFile& sound, const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t size,
                 int bits, bool bigEndian)
{
    const int width = bits / 8;
    const std::size_t frameBytes = static_cast<std::size_t>(width * sound.channels);
    const std::size_t frames = std::min(size, bytes.size() - std::min(at, bytes.size())) / frameBytes;
    sound.channelSamples.assign(static_cast<std::size_t>(sound.channels), {});
    for (std::size_t frame = 0; frame < frames; ++frame)
        for (int channel = 0; channel < sound.channels; ++channel) {
            const auto raw = Get(bytes, at + frame * frameBytes + static_cast<std::size_t>(channel * width), width,
                                 bigEndian);
            sound.channelSamples[static_cast<std::size_t>(channel)].push_back(
                static_cast<std::int32_t>(static_cast<std::uint32_t>(raw << (32 - bits))));
        }
}

SoundFile ReadWave(const std::vector<std::uint8_t>& bytes)
{
    SoundFile sound;
    int bits = 0;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const auto size = static_cast<std::size_t>(Get(bytes, at + 4, 4, false));
        if (IdAt(bytes, at, "fmt ")) {
            const auto tag = Get(bytes, at + 8, 2, false);
            if (tag != kWaveTagPcm && tag != kWaveTagExtensible)
                throw std::runtime_error("WAVE file is not PCM");
            sound.channels = static_cast<int>(Get(bytes, at + 10, 2, false));
            sound.rate = static_cast<int>(Get(bytes, at + 12, 4, false));
            bits = static_cast<int>(Get(bytes, at + 22, 2, false));
            sound.format = (tag == kWaveTagPcm ? kSoundWav : kWavex) | EncodingOf(bits);
        } else if (IdAt(bytes, at, "data")) {
            if (sound.channels == 0)
                throw std::runtime_error("WAVE data before its format");
            ReadSamples(sound, bytes, at + 8, size, bits, false);
            return sound;
        }
        at += 8 + size + (size & 1);
    }
    throw std::runtime_error("WAVE file without data");
}

// The rate from its 80-bit extended form.
int ExtendedRate(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    const auto exponent = static_cast<int>(Get(bytes, at, 2, true) & 0x7FFF) - 16383;
    const auto mantissa = Get(bytes, at + 2, 8, true);
    return static_cast<int>(std::lround(std::ldexp(static_cast<double>(mantissa), exponent - 63)));
}

SoundFile ReadAiff(const std::vector<std::uint8_t>& bytes)
{
    SoundFile sound;
    int bits = 0;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const auto size = static_cast<std::size_t>(Get(bytes, at + 4, 4, true));
        if (IdAt(bytes, at, "COMM")) {
            sound.channels = static_cast<int>(Get(bytes, at + 8, 2, true));
            bits = static_cast<int>(Get(bytes, at + 14, 2, true));
            sound.rate = ExtendedRate(bytes, at + 16);
            sound.format = kSoundAiff | EncodingOf(bits);
        } else if (IdAt(bytes, at, "SSND")) {
            if (sound.channels == 0)
                throw std::runtime_error("AIFF sound data before its format");
            const auto offset = static_cast<std::size_t>(Get(bytes, at + 8, 4, true));
            ReadSamples(sound, bytes, at + 16 + offset, size - 8 - offset, bits, true);
            return sound;
        }
        at += 8 + size + (size & 1);
    }
    throw std::runtime_error("AIFF file without sound data");
}

}  // namespace

SoundFile ReadSound(const std::string& path)
{
    const auto bytes = ReadBytes(path);
    if (IdAt(bytes, 0, "RIFF") && IdAt(bytes, 8, "WAVE"))
        return ReadWave(bytes);
    if (IdAt(bytes, 0, "FORM") && IdAt(bytes, 8, "AIFF"))
        return ReadAiff(bytes);
    throw std::runtime_error("neither WAVE nor AIFF: " + path);
}

void WriteSound(const std::string& path, int format, int rate, int channels, const std::vector<int>& samples)
{
    const int encoding = format & kEncodingMask;
    const int bits = encoding == kSoundPcm16 ? 16 : encoding == kSoundPcm24 ? 24 : 0;
    const int container = format & kSoundContainerMask;
    if (bits == 0 || (container != kSoundWav && container != kSoundAiff))
        throw std::runtime_error("unsupported format for " + path);
    const bool aiff = container == kSoundAiff;
    const int width = bits / 8;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * static_cast<std::size_t>(width));

    std::vector<std::uint8_t> file;
    if (aiff) {
        PutText(file, "FORM");
        Put(file, 4 + 26 + 16 + dataBytes + (dataBytes & 1), 4, true);
        PutText(file, "AIFF");
        PutText(file, "COMM");
        Put(file, 18, 4, true);
        Put(file, static_cast<std::uint64_t>(channels), 2, true);
        Put(file, samples.size() / static_cast<std::size_t>(channels), 4, true);
        Put(file, static_cast<std::uint64_t>(bits), 2, true);
        const int exponent = static_cast<int>(std::floor(std::log2(rate)));
        Put(file, static_cast<std::uint64_t>(16383 + exponent), 2, true);
        Put(file, static_cast<std::uint64_t>(rate) << (63 - exponent), 8, true);
        PutText(file, "SSND");
        Put(file, 8 + dataBytes, 4, true);
        Put(file, 0, 8, true);
    } else {
        PutText(file, "RIFF");
        Put(file, 4 + 24 + 8 + dataBytes + (dataBytes & 1), 4, false);
        PutText(file, "WAVE");
        PutText(file, "fmt ");
        Put(file, 16, 4, false);
        Put(file, kWaveTagPcm, 2, false);
        Put(file, static_cast<std::uint64_t>(channels), 2, false);
        Put(file, static_cast<std::uint64_t>(rate), 4, false);
        Put(file, static_cast<std::uint64_t>(rate * channels * width), 4, false);
        Put(file, static_cast<std::uint64_t>(channels * width), 2, false);
        Put(file, static_cast<std::uint64_t>(bits), 2, false);
        PutText(file, "data");
        Put(file, dataBytes, 4, false);
    }
    for (const int sample : samples)
        Put(file, static_cast<std::uint32_t>(sample) >> (32 - bits), width, aiff);
    if (dataBytes & 1)
        file.push_back(0);
    WriteBytes(path, file);
}

#endif

void WriteTone(const std::string& path, int rate, int bits, int channels, double seconds)
{
    constexpr double kHalfScale = 0.5 * 2147483647.0;
    constexpr double kFrequency = 440.0;
    const auto frames = static_cast<std::size_t>(rate * seconds);
    const auto width = static_cast<std::size_t>(channels);
    std::vector<int> samples(frames * width);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i / width) / rate;
        samples[i] = static_cast<int>(std::lround(kHalfScale * std::sin(2.0 * std::numbers::pi * kFrequency * t)));
    }
    WriteSound(path, kSoundWav | (bits == 24 ? kSoundPcm24 : kSoundPcm16), rate, channels, samples);
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
