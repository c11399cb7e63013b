#include "convert/SourceConversion.h"

#ifdef WAVELORN_HAVE_CONVERSION

#include "convert/MonoWave.h"
#include "convert/Quantiser.h"
#include "convert/Resampler.h"
#include "convert/SoundSource.h"

#include <vector>

namespace convert {

namespace {

constexpr std::size_t kBlockFrames = 65536;
constexpr int kRateSaltShift = 32;
constexpr int kChannelSaltShift = 56;
constexpr double kHalf = 0.5;

// The channel's samples of `count` interleaved frames; the choice of channel is made once
// for the block, not per sample.
void TakeChannel(const std::vector<double>& frames, int channels, std::size_t count, Channel channel,
                 std::vector<double>& out)
{
    out.resize(count);
    const std::size_t step = static_cast<std::size_t>(channels);
    const double* frame = frames.data();
    if (channel == Channel::Mix) {
        for (std::size_t i = 0; i < count; ++i, frame += step)
            out[i] = (frame[0] + frame[1]) * kHalf;
        return;
    }
    frame += channel == Channel::Right ? 1 : 0;
    for (std::size_t i = 0; i < count; ++i, frame += step)
        out[i] = *frame;
}

std::uint64_t SaltOf(const SourceFormat& format, Channel channel)
{
    return format.frames ^ (std::uint64_t{format.rate} << kRateSaltShift) ^
           (static_cast<std::uint64_t>(channel) << kChannelSaltShift);
}

// The conversion of one opened source, block by block.
class ChannelConversion {
public:
    ChannelConversion(SoundSource& source, Channel channel, const TargetFormat& target, MonoWaveWriter& writer)
        : m_source(source),
          m_format(source.Format()),
          m_channel(channel),
          m_target(target),
          m_writer(writer),
          m_dither(target.dither && !IsExact(m_format, channel, target))
    {
        if (m_format.rate != target.rate)
            m_resampler = std::make_unique<Resampler>(m_format.rate, target.rate);
    }

    // Converts the next block; false at the end. `failure` set when something failed.
    bool Next(std::optional<Reason>& failure)
    {
        m_frames.resize(kBlockFrames * static_cast<std::size_t>(m_format.channels));
        const std::size_t got = m_source.Read(m_frames.data(), kBlockFrames);
        if (got == 0) {
            if (m_read < m_format.frames)
                failure = Reason::SourceReadFailed;
            else if (m_resampler && !(m_resampler->Finish(m_output) && Emit()))
                failure = Reason::TemporaryFileFailed;
            return false;
        }
        if (!m_quantiser)
            m_quantiser.emplace(m_target.bits, m_dither,
                                SeedOf(m_frames.data(), got * static_cast<std::size_t>(m_format.channels),
                                       SaltOf(m_format, m_channel)));
        m_read += got;
        TakeChannel(m_frames, m_format.channels, got, m_channel, m_samples);
        if (!m_resampler) {
            m_output.swap(m_samples);
        } else if (!m_resampler->Process(m_samples.data(), m_samples.size(), m_output)) {
            failure = Reason::Unspecified;
            return false;
        }
        if (!Emit()) {
            failure = Reason::TemporaryFileFailed;
            return false;
        }
        return true;
    }

    bool ResamplerReady() const { return !m_resampler || m_resampler->IsReady(); }
    std::uint64_t Written() const { return m_written; }
    std::uint64_t Clipped() const { return m_quantiser ? m_quantiser->Clipped() : 0; }

private:
    // Quantises and writes what the last step gave.
    bool Emit()
    {
        m_words.resize(m_output.size());
        for (std::size_t i = 0; i < m_output.size(); ++i)
            m_words[i] = (*m_quantiser)(m_output[i]);
        m_written += m_words.size();
        const bool written = m_words.empty() || m_writer.Write(m_words.data(), m_words.size());
        m_output.clear();
        return written;
    }

    SoundSource& m_source;
    const SourceFormat& m_format;
    Channel m_channel;
    TargetFormat m_target;
    MonoWaveWriter& m_writer;
    bool m_dither;
    std::unique_ptr<Resampler> m_resampler;
    std::optional<Quantiser> m_quantiser;
    std::vector<double> m_frames;
    std::vector<double> m_samples;
    std::vector<double> m_output;
    std::vector<std::int32_t> m_words;
    std::uint64_t m_read = 0;
    std::uint64_t m_written = 0;
};

MessageId MessageOf(Reason reason)
{
    return reason == Reason::SourceReadFailed ? MessageId::SampleReadFailed
           : reason == Reason::Unspecified    ? MessageId::InsideError
                                              : MessageId::ConvertFailed;
}

}  // namespace

bool ConversionAvailable()
{
    return true;
}

std::optional<SourceFormat> ProbeSource(platform::FileSystem& files, const std::string& path)
{
    const auto bytes = files.OpenRead(path);
    if (!bytes)
        return std::nullopt;
    SoundSource source(*bytes);
    if (!source.IsOpen())
        return std::nullopt;
    return source.Format();
}

std::optional<Refusal> ConvertChannel(platform::FileSystem& files, const std::string& sourcePath, Channel channel,
                                      const TargetFormat& target, const std::string& outputPath,
                                      const std::string& subject, const std::function<bool()>& stopRequested,
                                      ConversionOutcome& outcome)
{
    const auto fail = [&](Reason reason) { return Refusal{MessageOf(reason), reason, subject, {}}; };
    const auto bytes = files.OpenRead(sourcePath);
    if (!bytes)
        return fail(Reason::SourceReadFailed);
    SoundSource source(*bytes);
    if (!source.IsOpen())
        return fail(Reason::SourceReadFailed);
    MonoWaveWriter writer(files.OpenWrite(outputPath, platform::WriteMode::CreateNew), target.rate, target.bits);
    ChannelConversion conversion(source, channel, target, writer);
    if (!conversion.ResamplerReady())
        return fail(Reason::Unspecified);
    std::optional<Reason> failure;
    while (!failure && conversion.Next(failure)) {
        if (stopRequested && stopRequested())
            failure = Reason::Interrupted;
    }
    const bool closed = writer.Close();
    if (failure)
        return fail(*failure);
    if (!closed)
        return fail(Reason::TemporaryFileFailed);
    outcome = {conversion.Written(), conversion.Clipped()};
    return std::nullopt;
}

}  // namespace convert

#else  // without libsndfile and libsoxr nothing is converted

namespace convert {

bool ConversionAvailable()
{
    return false;
}

std::optional<SourceFormat> ProbeSource(platform::FileSystem&, const std::string&)
{
    return std::nullopt;
}

std::optional<Refusal> ConvertChannel(platform::FileSystem&, const std::string&, Channel, const TargetFormat&,
                                      const std::string&, const std::string& subject, const std::function<bool()>&,
                                      ConversionOutcome&)
{
    return Refusal{MessageId::ConvertFailed, Reason::ConversionUnavailable, subject, {}};
}

}  // namespace convert

#endif
