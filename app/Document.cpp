#include "app/Document.h"

#include "platform/FileSystem.h"
#include "platform/Files.h"
#include "platform/Terminal.h"
#include "platform/UserInterface.h"

namespace {

constexpr const char* kTimeStampFormat = "%Y/%m/%d %H:%M:%S";
constexpr const char* kBrowseTitle = "Select MO :";

}  // namespace

COVFtoWAVEDoc::COVFtoWAVEDoc() : m_strNewProjectName(kUntitled) {}

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
    m_strTimeStamp = platform::LocalTimeText(kTimeStampFormat);
}

bool COVFtoWAVEDoc::UpdateFreeSpace(platform::FileSystem& files)
{
    m_freeBytes = 0;
    if (m_strMoFolder.empty())
        return false;  // no disk chosen: nothing to measure
    const auto available = files.FreeSpace(m_strMoFolder);
    if (!available)
        return false;
    m_freeBytes = *available;
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

std::optional<Refusal> COVFtoWAVEDoc::DiskRefusal(MessageId id, platform::FileSystem& files) const
{
    if (m_strMoFolder.empty())
        return Refusal{id, Reason::NoDiskChosen, {}, {}};
    if (files.KindOf(m_strFnbPath) != platform::FileKind::Regular)
        return Refusal{id, Reason::ProjectIndexMissing, m_strMoFolder, {}};
    return std::nullopt;
}

bool COVFtoWAVEDoc::BrowseMoFolder(platform::UserInterface& ui)
{
    const auto folder = ui.BrowseForFolder(kBrowseTitle, m_strMoFolder);
    if (!folder)
        return false;
    return SetMoFolder(*folder);
}

bool COVFtoWAVEDoc::KeepIf(const std::function<bool()>& change)
{
    const COVFtoWAVEDoc before = *this;
    if (change())
        return true;
    *this = before;
    return false;
}

bool COVFtoWAVEDoc::ChooseMoFolder(platform::UserInterface& ui)
{
    return KeepIf([this, &ui] { return BrowseMoFolder(ui); });
}

void COVFtoWAVEDoc::ForgetProject()
{
    m_strProjectName.clear();
    m_strSamplingRate.clear();
    m_strBits.clear();
    m_bProjectChosen = false;
    m_projectRecord = sobinder{};
}

bool COVFtoWAVEDoc::ChooseProject(const std::function<bool()>& runDialog)
{
    return KeepIf([this, &runDialog] {
        if (!runDialog() || m_strProjectName.empty())
            return false;
        m_bProjectChosen = true;
        return true;
    });
}
