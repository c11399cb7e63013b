#include "convert/MonoWave.h"

#include "app/WaveLayout.h"
#include "export/WaveFile.h"
#include "platform/Endian.h"
#include "recorder/Formats.h"

namespace convert {

namespace {

constexpr std::uint16_t kMonoChannels = 1;

unsigned BytesPerSample(unsigned bits)
{
    const auto wordLength = WordLengthOfBits(bits);
    return wordLength ? wordLength->bytesPerSample : 0;
}

}  // namespace

MonoWaveWriter::MonoWaveWriter(std::unique_ptr<platform::OutputFile> file, std::uint32_t rate, unsigned bits)
    : m_file(std::move(file)), m_rate(rate), m_bits(bits), m_bytesPerSample(BytesPerSample(bits))
{
    m_failed = !m_file || m_bytesPerSample == 0 || !WriteHeader(0);
}

std::uint64_t MonoWaveWriter::FileBytes(std::uint64_t frames, unsigned bits)
{
    return wave::kHeaderSize + frames * BytesPerSample(bits);
}

bool MonoWaveWriter::WriteHeader(std::uint64_t dataBytes)
{
    if (dataBytes + wave::kHeaderSize - chunk::kHeaderSize > chunk::kMaxSizeField)
        return false;
    const auto header = CWaveFile::PlainHeader({kMonoChannels, m_rate, m_bytesPerSample, m_bits},
                                               static_cast<std::uint32_t>(dataBytes));
    return m_file->Seek(0) && m_file->Write(header.data(), header.size());
}

bool MonoWaveWriter::Write(const std::int32_t* samples, std::size_t count)
{
    if (m_failed)
        return false;
    // 20 bits sit at the top of their three bytes.
    const unsigned shift = m_bytesPerSample * endian::kBitsPerByte - m_bits;
    m_buffer.resize(count * m_bytesPerSample);
    std::uint8_t* out = m_buffer.data();
    for (std::size_t i = 0; i < count; ++i, out += m_bytesPerSample)
        endian::StoreLittle(out, static_cast<std::uint32_t>(samples[i]) << shift, m_bytesPerSample);
    m_failed = !m_file->Write(m_buffer.data(), m_buffer.size());
    m_dataBytes += m_buffer.size();
    return !m_failed;
}

bool MonoWaveWriter::Close()
{
    if (!m_file)
        return false;
    const bool completed = !m_failed && WriteHeader(m_dataBytes);
    const bool closed = m_file->Close();
    m_file.reset();
    return completed && closed;
}

}  // namespace convert
