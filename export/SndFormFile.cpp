#include "export/SndFormFile.h"

#include <cstring>
#include <utility>

namespace {

struct WordLengthFormat {
    int bitsPerSample;
    int bytesPerSample;
};

// Bits and bytes per sample by word-length code. A 20-bit project is written as
// 24-bit samples unchanged.
constexpr WordLengthFormat kWordLengthFormats[] = {{16, 2}, {24, 3}, {24, 3}};
// Sampling rates by rate code; code 0 is not a rate.
constexpr std::uint32_t kSampleRates[] = {0, 32000, 44100, 48000};

// Output is gathered into large writes: several chunks go to the disk at once.
constexpr std::size_t kWriteBufferBytes = std::size_t{1} << 20;

constexpr std::size_t kWordLengthCount = std::size(kWordLengthFormats);
constexpr std::size_t kRateCodeCount = std::size(kSampleRates);

WordLengthFormat FormatOf(const sobinder& record)
{
    return record.wordLength < kWordLengthCount ? kWordLengthFormats[record.wordLength] : WordLengthFormat{0, 0};
}

}  // namespace

bool IsExportableProject(const sobinder& record)
{
    return record.wordLength < kWordLengthCount && record.sampleRate >= kRate32000 &&
           record.sampleRate < kRateCodeCount;
}

CSndFormFile::CSndFormFile(std::string path, const sobinder& record, int channels)
    : m_path(std::move(path)),
      m_record(record),
      m_channels(static_cast<std::uint16_t>(channels)),
      m_bitsPerSample(FormatOf(record).bitsPerSample),
      m_bytesPerSample(FormatOf(record).bytesPerSample),
      m_blockAlign(m_bytesPerSample * m_channels)
{
}

CSndFormFile::~CSndFormFile()
{
    CloseFile();
}

bool CSndFormFile::OpenFile()
{
    CloseFile();
    m_file = std::fopen(m_path.c_str(), "wb");
    if (m_file)
        std::setvbuf(m_file, nullptr, _IOFBF, kWriteBufferBytes);
    return m_file != nullptr;
}

bool CSndFormFile::CloseFile()
{
    if (!m_file)
        return true;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    return closed;
}

bool CSndFormFile::WriteData(std::size_t byteCount, const std::uint8_t* buffer)
{
    return m_file && std::fwrite(buffer, 1, byteCount, m_file) == byteCount;
}

void CSndFormFile::ReverseBytes(std::uint8_t* buffer, std::size_t byteCount)
{
    for (std::size_t low = 0, high = byteCount; low + 1 < high; ++low, --high)
        std::swap(buffer[low], buffer[high - 1]);
}

std::uint64_t CSndFormFile::MaxDataBytes() const
{
    return kMaxLengthField - (HeaderSize() - kOuterChunkPreamble);
}

std::uint32_t CSndFormFile::SampleRateHz() const
{
    return m_record.sampleRate < kRateCodeCount ? kSampleRates[m_record.sampleRate] : 0;
}

bool CSndFormFile::WriteAtStart(const std::uint8_t* header, std::size_t size)
{
    return m_file && std::fseek(m_file, 0, SEEK_SET) == 0 && WriteData(size, header);
}

void CSndFormFile::PutLittleEndian(std::uint8_t* at, std::uint32_t value, std::size_t width)
{
    constexpr unsigned kBitsPerByte = 8;
    for (std::size_t i = 0; i < width; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (kBitsPerByte * i));
}

void CSndFormFile::PutBigEndian(std::uint8_t* at, std::uint32_t value, std::size_t width)
{
    PutLittleEndian(at, value, width);
    ReverseBytes(at, width);
}

void CSndFormFile::PutTag(std::uint8_t* at, const char* tag)
{
    constexpr std::size_t kTagSize = 4;
    std::memcpy(at, tag, kTagSize);
}
