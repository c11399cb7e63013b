#include "import/PCSoundFile.h"

#include <filesystem>

CPCSoundFile::CPCSoundFile(platform::UserInterface& ui, ByteOrder order) : m_ui(ui), m_byteOrder(order) {}

CPCSoundFile::~CPCSoundFile() = default;

void CPCSoundFile::SetFileName(const std::string& path)
{
    m_strPath = path;
}

std::string CPCSoundFile::GetFileName() const
{
    return m_strPath;
}

std::uint64_t CPCSoundFile::GetFileLength() const
{
    std::error_code error;
    const auto length = std::filesystem::file_size(m_strPath, error);
    return error ? 0 : length;
}

bool CPCSoundFile::ScanRegions(platform::ProgressWindow*)
{
    return false;  // replaced by the region scan
}

bool CPCSoundFile::ConvertRegions(int, COrvoFnbTextFile&, platform::ProgressWindow*)
{
    return false;  // replaced by the region conversion
}
