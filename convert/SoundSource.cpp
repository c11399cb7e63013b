#include "convert/SoundSource.h"

#include "convert/SndfileIo.h"

namespace convert {

namespace {

constexpr unsigned kByteBits = 8;
constexpr unsigned kShortBits = 16;
constexpr unsigned kTripleBits = 24;
constexpr unsigned kWordBits = 32;
constexpr unsigned kDoubleBits = 64;
// The rates read: below and above them a header is taken as damaged, since no project is
// made of such a file and resampling it to a project rate would take memory without bound.
constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 768000;

// The width of a sample of libsndfile's sub-format, and whether it is floating point.
// Compressed kinds count as the width they decode to; 0 where none is stated.
std::pair<unsigned, bool> SampleKind(int format)
{
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        return {kByteBits, false};
    case SF_FORMAT_PCM_16:
        return {kShortBits, false};
    case SF_FORMAT_PCM_24:
        return {kTripleBits, false};
    case SF_FORMAT_PCM_32:
        return {kWordBits, false};
    case SF_FORMAT_FLOAT:
        return {kWordBits, true};
    case SF_FORMAT_DOUBLE:
        return {kDoubleBits, true};
    default:
        // A-law, IMA ADPCM and the like decode to 16 bits.
        return {kShortBits, false};
    }
}

}  // namespace

struct SoundSource::Stream {
    SourceIo io;
    SF_INFO info{};
    SNDFILE* sound = nullptr;
    SourceFormat format;
};

SoundSource::SoundSource(platform::ByteSource& source) : m_stream(std::make_unique<Stream>())
{
    m_stream->io.source = &source;
    m_stream->sound = sf_open_virtual(SourceCalls(), SFM_READ, &m_stream->info, &m_stream->io);
    if (!m_stream->sound)
        return;
    if (m_stream->info.samplerate < kLowestRate || m_stream->info.samplerate > kHighestRate) {
        sf_close(m_stream->sound);
        m_stream->sound = nullptr;
        return;
    }
    const auto [bits, floating] = SampleKind(m_stream->info.format);
    m_stream->format = {static_cast<std::uint32_t>(m_stream->info.samplerate), m_stream->info.channels,
                        static_cast<std::uint64_t>(m_stream->info.frames), bits, floating};
    // Floating-point samples beyond full scale reach the caller, who counts them.
    sf_command(m_stream->sound, SFC_SET_CLIPPING, nullptr, SF_FALSE);
}

SoundSource::~SoundSource()
{
    if (m_stream->sound)
        sf_close(m_stream->sound);
}

bool SoundSource::IsOpen() const
{
    return m_stream->sound != nullptr;
}

const SourceFormat& SoundSource::Format() const
{
    return m_stream->format;
}

std::size_t SoundSource::Read(double* samples, std::size_t frames)
{
    if (!m_stream->sound)
        return 0;
    const sf_count_t got = sf_readf_double(m_stream->sound, samples, static_cast<sf_count_t>(frames));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

}  // namespace convert
