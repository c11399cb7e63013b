// The work-folder setting over the settings file, and the store that keeps nothing.

#include "app/RegUserData.h"
#include "platform/IniFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using testsupport::TempFolder;

TEST(RegUserData, GetFolderOfCutsTheFileName)
{
    struct Case {
        const char* path;
        const char* name;
        const char* folder;
    };
    const Case cases[] = {
        {"C:\\Sound\\take1.wav", "take1.wav", "C:\\Sound\\"},
        {"/snd/take1.wav", "take1.wav", "/snd/"},
        {"take1.wav", "take1.wav", ""},
        {"/snd/", "", "/snd/"},
        {"a.wav", "longer name.wav", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CUserData::GetFolderOf(c.path, c.name), c.folder) << c.path;
}

TEST(RegUserData, StoresTheWorkPathInSectionUserdata)
{
    TempFolder folder;
    const std::string ini = folder.File("Wavlrn.ini");
    CRegUserData settings(ini);
    std::string path = "stale";
    EXPECT_FALSE(settings.GetWorkPath(path));
    EXPECT_EQ(path, "");

    ASSERT_TRUE(settings.SetWorkPath("C:\\Sound\\"));
    const auto bytes = testsupport::ReadBytes(ini);
#ifdef _WIN32
    const std::string end = "\r\n";  // a new settings file takes the platform's own line end
#else
    const std::string end = "\n";
#endif
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[USERDATA]" + end + "WORKPATH=C:\\Sound\\" + end);
    EXPECT_TRUE(CRegUserData(ini).GetWorkPath(path));
    EXPECT_EQ(path, "C:\\Sound\\");

    ASSERT_TRUE(settings.SetWorkPath(""));
    EXPECT_FALSE(settings.GetWorkPath(path));
    EXPECT_EQ(path, "");
}

// A work folder on the system's special file systems is neither kept nor taken: a
// dialog there can hang.
TEST(RegUserData, IgnoresAWorkPathOnSpecialFileSystems)
{
    struct Row {
        const char* stored;
        bool taken;
    };
    const Row rows[] = {{"/proc/", false}, {"/proc", false}, {"/sys/kernel/", false}, {"/dev/", false},
                        {"/devices/take/", true}, {"/home/me/", true}};
    for (const auto& row : rows) {
        TempFolder folder;
        const std::string ini = folder.File("Wavlrn.ini");
        ASSERT_TRUE(platform::IniFile(ini).Write("USERDATA", "WORKPATH", row.stored));
        std::string path;
        EXPECT_EQ(CRegUserData(ini).GetWorkPath(path), row.taken) << row.stored;
        EXPECT_EQ(path, row.taken ? row.stored : "") << row.stored;
        ASSERT_TRUE(CRegUserData(ini).SetWorkPath("/home/you/"));
        ASSERT_TRUE(CRegUserData(ini).SetWorkPath(row.stored));
        EXPECT_TRUE(CRegUserData(ini).GetWorkPath(path));
        EXPECT_EQ(path, row.taken ? row.stored : "/home/you/") << row.stored;
    }
}

TEST(RegUserData, KeepsTheArchivePathBesideTheWorkPath)
{
    TempFolder folder;
    const std::string ini = folder.File("Wavlrn.ini");
    ASSERT_TRUE(CRegUserData(ini).SetWorkPath("/snd/"));
    ASSERT_TRUE(CRegUserData(ini).SetArchivePath("/backup/mo"));
    std::string path;
    EXPECT_TRUE(CRegUserData(ini).GetArchivePath(path));
    EXPECT_EQ(path, "/backup/mo");
    EXPECT_TRUE(CRegUserData(ini).GetWorkPath(path));
    EXPECT_EQ(path, "/snd/");
}

TEST(RegUserData, NoUserDataForgetsWhatItIsGiven)
{
    CNoUserData settings;
    std::string path = "stale";
    EXPECT_TRUE(settings.SetWorkPath("/snd/"));
    EXPECT_FALSE(settings.GetWorkPath(path));
    EXPECT_EQ(path, "");
    path = "stale";
    EXPECT_TRUE(settings.SetArchivePath("/backup/"));
    EXPECT_FALSE(settings.GetArchivePath(path));
    EXPECT_EQ(path, "");
}

TEST(RegUserData, DefaultPathIsWavlrnIniInTheSettingsFolder)
{
#ifdef _WIN32
    const wchar_t* saved = _wgetenv(L"APPDATA");
    const std::wstring value = saved ? saved : L"";
    _wputenv_s(L"APPDATA", L"C:\\Users\\u\\AppData\\Roaming");
    EXPECT_EQ(DefaultSettingsPath(), "C:\\Users\\u\\AppData\\Roaming\\Wavlrn.ini");
    _wputenv_s(L"APPDATA", value.c_str());
#else
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string value = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(DefaultSettingsPath(), "/cfg/Wavlrn.ini");
    saved ? setenv("XDG_CONFIG_HOME", value.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
#endif
}

}  // namespace
