#include "recorder/RTFile.h"

#include <filesystem>
#include <limits>
#include <system_error>

namespace {

constexpr int kModeMask = 3;

// Seeks with a 64-bit offset on every platform.
int SeekStream(std::FILE* stream, std::int64_t offset, int origin)
{
#ifdef _WIN32
    return _fseeki64(stream, offset, origin);
#else
    return std::fseek(stream, static_cast<long>(offset), origin);
#endif
}

std::int64_t TellStream(std::FILE* stream)
{
#ifdef _WIN32
    return _ftelli64(stream);
#else
    return std::ftell(stream);
#endif
}

// The stream's size by seeking to the end and back; negative on failure.
std::int64_t MeasureSize(std::FILE* stream)
{
    if (SeekStream(stream, 0, SEEK_END) != 0)
        return -1;
    const std::int64_t size = TellStream(stream);
    if (SeekStream(stream, 0, SEEK_SET) != 0)
        return -1;
    return size;
}

// Only a regular file has a length to read against: a folder opens as a stream on some
// systems and reports a size of its own invention.
bool IsRegularFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

CRTFile::~CRTFile()
{
    CRTFile::Close();
}

bool CRTFile::Open(const std::string& path, int mode)
{
    const int access = mode & kModeMask;
    if (access != kModeRead && access != kModeWrite)
        return false;
    CRTFile::Close();
    if (access == kModeRead && !IsRegularFile(path))
        return false;
    m_stream = std::fopen(path.c_str(), access == kModeRead ? "rb" : "wb");
    if (m_stream == nullptr)
        return false;
    const std::int64_t size = MeasureSize(m_stream);
    if (size < 0 || (access == kModeRead && size == 0)) {
        CRTFile::Close();
        return false;
    }
    constexpr auto kMaxLength = std::numeric_limits<std::uint32_t>::max();
    m_length = size > kMaxLength ? kMaxLength : static_cast<std::uint32_t>(size);
    return true;
}

int CRTFile::Close()
{
    int result = 0;
    if (m_stream != nullptr)
        result = std::fclose(m_stream) == 0 ? 0 : EOF;
    m_stream = nullptr;
    m_length = 0;
    return result;
}

bool CRTFile::Seek(std::uint32_t offset, int origin)
{
    if (m_stream == nullptr || offset >= m_length)
        return false;
    return SeekStream(m_stream, offset, origin) == 0;
}

std::size_t CRTFile::Read(void* buffer, std::size_t count)
{
    if (m_stream == nullptr)
        return 0;
    return std::fread(buffer, 1, count, m_stream);
}

int CRTFile::Write(const void* buffer, std::size_t count)
{
    if (m_stream == nullptr)
        return 0;
    return std::fwrite(buffer, count, 1, m_stream) == 1 ? 1 : 0;
}

std::uint32_t CRTFile::GetLength() const
{
    return m_length;
}
