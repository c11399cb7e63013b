#include "convert/MonoWave.h"

#include "app/WaveLayout.h"
#include "platform/Endian.h"
#include "recorder/Formats.h"

#include <cstring>

namespace convert {

namespace {

constexpr std::uint16_t kMonoChannels = 1;

unsigned BytesPerSample(unsigned bits)
{
    const auto wordLength = WordLengthOfBits(bits);
    return wordLength ? wordLength->bytesPerSample : 0;
}

void PutTag(std::uint8_t* at, const char* tag)
{
    std::memcpy(at, tag, chunk::kIdSize);
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
    using namespace wave;
    if (dataBytes + kHeaderSize - chunk::kHeaderSize > chunk::kMaxSizeField)
        return false;
    std::uint8_t header[kHeaderSize] = {};
    PutTag(header, kRiffId);
    endian::StoreLittle(header + chunk::kSizeOffset, static_cast<std::uint32_t>(kHeaderSize - chunk::kHeaderSize + dataBytes),
                        chunk::kWordSize);
    PutTag(header + chunk::kHeaderSize, kWaveFormType);
    PutTag(header + kFormatChunkAt, kFormatId);
    endian::StoreLittle(header + kFormatChunkAt + chunk::kSizeOffset, kPlainFormatSize, chunk::kWordSize);
    std::uint8_t* fields = header + kFormatFieldsAt;
    endian::StoreLittle(fields + kTagOffset, kPcmTag, chunk::kHalfWordSize);
    endian::StoreLittle(fields + kChannelsOffset, kMonoChannels, chunk::kHalfWordSize);
    endian::StoreLittle(fields + kRateOffset, m_rate, chunk::kWordSize);
    endian::StoreLittle(fields + kBytesPerSecondOffset, m_rate * m_bytesPerSample, chunk::kWordSize);
    endian::StoreLittle(fields + kBlockAlignOffset, m_bytesPerSample, chunk::kHalfWordSize);
    endian::StoreLittle(fields + kBitsOffset, m_bits, chunk::kHalfWordSize);
    PutTag(header + kDataChunkAt, kDataId);
    endian::StoreLittle(header + kDataChunkAt + chunk::kSizeOffset, static_cast<std::uint32_t>(dataBytes),
                        chunk::kWordSize);
    return m_file->Seek(0) && m_file->Write(header, sizeof header);
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
