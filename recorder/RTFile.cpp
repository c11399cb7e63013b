#include "recorder/RTFile.h"

#include <algorithm>
#include <limits>

CRTFile::CRTFile(platform::FileSystem& files) : m_files(files) {}

CRTFile::~CRTFile() = default;

bool CRTFile::Open(const std::string& path)
{
    Close();
    m_source = m_files.OpenRead(path);
    if (!m_source || m_source->Size() == 0) {
        m_source.reset();
        return false;
    }
    constexpr std::uint64_t kMaxLength = std::numeric_limits<std::uint32_t>::max();
    m_length = static_cast<std::uint32_t>(std::min(m_source->Size(), kMaxLength));
    return true;
}

void CRTFile::Close()
{
    m_source.reset();
    m_length = 0;
}

std::size_t CRTFile::ReadAt(std::uint64_t position, void* buffer, std::size_t count)
{
    if (!m_source)
        return 0;
    return m_source->ReadAt(position, buffer, count).value_or(0);
}

std::uint32_t CRTFile::GetLength() const
{
    return m_length;
}
