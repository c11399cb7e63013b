#include "app/RegUserData.h"

#include "platform/Files.h"
#include "platform/IniFile.h"

#include <utility>

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
    return !path.empty();
}

bool CRegUserData::SetWorkPath(const std::string& path)
{
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
