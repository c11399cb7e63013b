#include "app/Document.h"

#include "platform/Files.h"
#include "platform/UserInterface.h"

#include <ctime>
#include <filesystem>

namespace {

COVFtoWAVEDoc* g_document = nullptr;

constexpr const char* kTimeStampFormat = "%Y/%m/%d %H:%M:%S";
constexpr const char* kBrowseTitle = "Select MO :";

}  // namespace

COVFtoWAVEDoc* GetDoc()
{
    return g_document;
}

void SetDoc(COVFtoWAVEDoc* doc)
{
    g_document = doc;
}

COVFtoWAVEDoc::COVFtoWAVEDoc() : m_strNewProjectName(kUntitled)
{
    SetDoc(this);
}

COVFtoWAVEDoc::~COVFtoWAVEDoc()
{
    if (g_document == this)
        SetDoc(nullptr);
}

COVFtoWAVEDoc::COVFtoWAVEDoc(const COVFtoWAVEDoc& other)
{
    *this = other;
}

COVFtoWAVEDoc& COVFtoWAVEDoc::operator=(const COVFtoWAVEDoc& other)
{
    if (this == &other)
        return *this;
    m_strMoFolder = other.m_strMoFolder;
    m_strFnbPath = other.m_strFnbPath;
    m_strProjectName = other.m_strProjectName;
    m_strSamplingRate = other.m_strSamplingRate;
    m_strBits = other.m_strBits;
    m_bProjectChosen = other.m_bProjectChosen;
    m_projectRecord = other.m_projectRecord;
    m_strNewProjectName = other.m_strNewProjectName;
    return *this;
}

void COVFtoWAVEDoc::SetNewProjectName(const std::string& name)
{
    m_strNewProjectName = name.empty() ? kUntitled : name;
}

void COVFtoWAVEDoc::StampTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, kTimeStampFormat, &local);
    m_strTimeStamp = text;
}

bool COVFtoWAVEDoc::UpdateFreeSpace()
{
    m_freeBytes = 0;
    if (m_strMoFolder.empty())
        return false;  // no disk chosen: nothing to measure
    std::error_code error;
    const auto space = std::filesystem::space(m_strMoFolder, error);
    if (error)
        return false;
    m_freeBytes = space.available;
    return true;
}

bool COVFtoWAVEDoc::HasRoomFor(std::uint64_t bytes) const
{
    // bytes + reserve < free, without letting the sum wrap round for a huge count.
    return bytes < m_freeBytes && m_freeBytes - bytes > kFreeSpaceReserve;
}

bool COVFtoWAVEDoc::SetMoFolder(const std::string& folder)
{
    if (folder.empty()) {
        m_strMoFolder.clear();
        m_strFnbPath.clear();
        return false;
    }
    m_strMoFolder = folder;
    m_strFnbPath = platform::JoinPath(folder, kBinderFileName);
    return true;
}

bool COVFtoWAVEDoc::BrowseMoFolder(platform::UserInterface& ui)
{
    const auto folder = ui.BrowseForFolder(kBrowseTitle);
    if (!folder)
        return false;
    return SetMoFolder(*folder);
}
