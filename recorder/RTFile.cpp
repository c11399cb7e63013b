#include "recorder/RTFile.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int kModeMask = 3;

}  // namespace

CRTFile::CRTFile(platform::FileSystem& files) : m_files(files) {}

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
    if (access == kModeWrite) {
        // A new or emptied file: its length is 0.
        m_output = m_files.OpenWrite(path, platform::WriteMode::Replace);
        return m_output != nullptr;
    }
    m_source = m_files.OpenRead(path);
    if (!m_source || m_source->Size() == 0) {
        m_source.reset();
        return false;
    }
    constexpr std::uint64_t kMaxLength = std::numeric_limits<std::uint32_t>::max();
    m_length = static_cast<std::uint32_t>(std::min(m_source->Size(), kMaxLength));
    return true;
}

int CRTFile::Close()
{
    const bool written = !m_output || m_output->Close();
    m_output.reset();
    m_source.reset();
    m_position = 0;
    m_length = 0;
    return written ? 0 : kCloseFailed;
}

bool CRTFile::Seek(std::uint32_t offset, int origin)
{
    if (!m_source || offset >= m_length)
        return false;
    switch (origin) {
    case kFromStart:
        m_position = offset;
        return true;
    case kFromCurrent:
        m_position += offset;
        return true;
    case kFromEnd:
        m_position = m_source->Size() + offset;
        return true;
    default:
        return false;
    }
}

std::size_t CRTFile::Read(void* buffer, std::size_t count)
{
    const std::size_t got = ReadAt(m_position, buffer, count);
    m_position += got;
    return got;
}

std::size_t CRTFile::ReadAt(std::uint64_t position, void* buffer, std::size_t count)
{
    if (!m_source)
        return 0;
    return m_source->ReadAt(position, buffer, count).value_or(0);
}

int CRTFile::Write(const void* buffer, std::size_t count)
{
    return m_output && m_output->Write(buffer, count) ? 1 : 0;
}

std::uint32_t CRTFile::GetLength() const
{
    return m_length;
}
