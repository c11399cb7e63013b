#include "import/SoundFileInput.h"

#include <filesystem>
#include <limits>
#include <system_error>

namespace {

constexpr unsigned kBitsPerByte = 8;
constexpr unsigned kSampleSizes[] = {16, 20, 24};

}  // namespace

bool CSoundFileInput::Open(const std::string& path)
{
    // Only regular files: a folder has no length, and opening a pipe could wait forever.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    m_stream.open(path, std::ios::binary);
    if (!m_stream.is_open())
        return false;
    m_stream.seekg(0, std::ios::end);
    const std::streamoff end = m_stream.tellg();
    m_length = end < 0 ? 0 : static_cast<std::uint64_t>(end);
    m_stream.clear();
    return true;
}

std::size_t CSoundFileInput::ReadAt(std::uint64_t position, void* buffer, std::size_t count)
{
    if (position >= m_length || position > static_cast<std::uint64_t>(std::numeric_limits<std::streamoff>::max()))
        return 0;
    m_stream.clear();
    m_stream.seekg(static_cast<std::streamoff>(position));
    if (!m_stream)
        return 0;
    m_stream.read(static_cast<char*>(buffer), static_cast<std::streamsize>(count));
    return static_cast<std::size_t>(m_stream.gcount());
}

bool CSoundFileInput::ReadExactly(std::uint64_t position, void* buffer, std::size_t count)
{
    return ReadAt(position, buffer, count) == count;
}

bool CSoundFileInput::Close()
{
    m_stream.clear();
    m_stream.close();
    return !m_stream.fail();
}

bool IsAcceptedSampleSize(unsigned bits)
{
    for (const unsigned size : kSampleSizes) {
        if (bits == size)
            return true;
    }
    return false;
}

std::uint16_t LittleEndian16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << kBitsPerByte));
}

std::uint32_t LittleEndian32(const std::uint8_t* bytes)
{
    return LittleEndian16(bytes) | (static_cast<std::uint32_t>(LittleEndian16(bytes + 2)) << (2 * kBitsPerByte));
}

std::uint16_t BigEndian16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>((bytes[0] << kBitsPerByte) | bytes[1]);
}

std::uint32_t BigEndian32(const std::uint8_t* bytes)
{
    return (static_cast<std::uint32_t>(BigEndian16(bytes)) << (2 * kBitsPerByte)) | BigEndian16(bytes + 2);
}
