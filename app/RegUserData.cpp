#include "app/RegUserData.h"

#include "platform/Files.h"
#include "platform/IniFile.h"

#include <utility>

namespace {

// Folders of the system's special file systems: a file dialog or the folder browser that
// starts there can hang reading them (/proc/kmsg), so a work folder there is never kept.
constexpr const char* kSpecialFolders[] = {"/proc", "/sys", "/dev"};

bool IsSpecialFolder(const std::string& path)
{
    for (const std::string special : kSpecialFolders) {
        if (path.starts_with(special) && (path.size() == special.size() || path[special.size()] == '/'))
            return true;
    }
    return false;
}

}  // namespace

std::string CUserData::GetFolderOf(const std::string& fullPath, const std::string& fileName)
{
    if (fileName.size() > fullPath.size())
        return {};
    return fullPath.substr(0, fullPath.size() - fileName.size());
}

bool CUserData::GetArchivePath(std::string& path) const
{
    path.clear();
    return false;
}

bool CUserData::SetArchivePath(const std::string&)
{
    return true;
}

CRegUserData::CRegUserData(std::string settingsPath) : m_settingsPath(std::move(settingsPath)) {}

bool CRegUserData::GetWorkPath(std::string& path) const
{
    path = platform::IniFile(m_settingsPath).Read(kUserDataSection, kWorkPathKey);
    if (IsSpecialFolder(path))
        path.clear();
    return !path.empty();
}

bool CRegUserData::SetWorkPath(const std::string& path)
{
    if (IsSpecialFolder(path))
        return true;  // nothing to keep: the stored folder stays as it was
    return platform::IniFile(m_settingsPath).Write(kUserDataSection, kWorkPathKey, path);
}

bool CRegUserData::GetArchivePath(std::string& path) const
{
    path = platform::IniFile(m_settingsPath).Read(kUserDataSection, kArchivePathKey);
    return !path.empty();
}

bool CRegUserData::SetArchivePath(const std::string& path)
{
    return platform::IniFile(m_settingsPath).Write(kUserDataSection, kArchivePathKey, path);
}

bool CNoUserData::GetWorkPath(std::string& path) const
{
    path.clear();
    return false;
}

bool CNoUserData::SetWorkPath(const std::string&)
{
    return true;
}

std::string DefaultSettingsPath()
{
    const std::string folder = platform::UserSettingsFolder();
    return folder.empty() ? std::string(kSettingsFileName) : platform::JoinPath(folder, kSettingsFileName);
}
