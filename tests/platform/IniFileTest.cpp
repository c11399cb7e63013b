// The INI file: classic private-profile reading and writing of one key.

#include "platform/IniFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using testsupport::TempFolder;

void WriteText(const std::string& path, const std::string& text)
{
    testsupport::WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string ReadText(const std::string& path)
{
    const auto bytes = testsupport::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(IniFile, ReadsWithClassicMatchingRules)
{
    struct Case {
        const char* content;
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"[USERDATA]\nWORKPATH=C:\\Sound\\\n", "USERDATA", "WORKPATH", "C:\\Sound\\"},
        {"[userdata]\nworkpath=/snd/\n", "USERDATA", "WORKPATH", "/snd/"},
        {"[ UserData ]\r\n  WorkPath  =   /a b/  \r\n", "USERDATA", "WORKPATH", "/a b/"},
        {"[OTHER]\nWORKPATH=/wrong/\n[USERDATA]\nWORKPATH=/right/\n", "USERDATA", "WORKPATH", "/right/"},
        {"[USERDATA]\nWORKPATH=/first/\nWORKPATH=/second/\n", "USERDATA", "WORKPATH", "/first/"},
        {"[USERDATA]\n;WORKPATH=/comment/\nWORKPATH=/x/\n", "USERDATA", "WORKPATH", "/x/"},
        {"[USERDATA]\nWORKPATHS=/longer/\n", "USERDATA", "WORKPATH", "dflt"},
        {"[USERDATA]\nWORKPATH=\n", "USERDATA", "WORKPATH", ""},
        {"[USERDATA]\nWORKPATH=a=b\n", "USERDATA", "WORKPATH", "a=b"},
        {"[USERDATA]\nWORKPATH=/no/line/end/", "USERDATA", "WORKPATH", "/no/line/end/"},
        {"WORKPATH=/outside/\n[USERDATA]\n", "USERDATA", "WORKPATH", "dflt"},
        {"[OTHER]\nWORKPATH=/x/\n", "USERDATA", "WORKPATH", "dflt"},
        {"", "USERDATA", "WORKPATH", "dflt"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const std::string path = folder.File("Wavlrn.ini");
        WriteText(path, c.content);
        EXPECT_EQ(platform::IniFile(path).Read(c.section, c.key, "dflt"), c.expected) << c.content;
    }
}

TEST(IniFile, MissingFileReadsAsDefault)
{
    TempFolder folder;
    EXPECT_EQ(platform::IniFile(folder.File("none.ini")).Read("USERDATA", "WORKPATH"), "");
    EXPECT_EQ(platform::IniFile(folder.File("none.ini")).Read("USERDATA", "WORKPATH", "d"), "d");
}

// A file with no line end yet gets the platform's own: CR LF on Windows.
#ifdef _WIN32
const std::string kNewLineEnd = "\r\n";
#else
const std::string kNewLineEnd = "\n";
#endif

TEST(IniFile, WritesKeyAndKeepsEveryOtherLine)
{
    struct Case {
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {"", "[USERDATA]" + kNewLineEnd + "WORKPATH=C:\\Out\\" + kNewLineEnd},
        {"[A]\nx=1\n", "[A]\nx=1\n[USERDATA]\nWORKPATH=C:\\Out\\\n"},
        {"[A]\nx=1", "[A]\nx=1\n[USERDATA]\nWORKPATH=C:\\Out\\\n"},
        {"[userdata]\r\n  workpath = old \r\nOther=2\r\n",
         "[userdata]\r\nWORKPATH=C:\\Out\\\r\nOther=2\r\n"},
        {"[USERDATA]\nOther=2\n\n[B]\ny=3\n", "[USERDATA]\nOther=2\nWORKPATH=C:\\Out\\\n\n[B]\ny=3\n"},
        {"; comment\n[USERDATA]\n", "; comment\n[USERDATA]\nWORKPATH=C:\\Out\\\n"},
        {"[USERDATA]", "[USERDATA]" + kNewLineEnd + "WORKPATH=C:\\Out\\" + kNewLineEnd},
        {"[B]\nWORKPATH=keep\n[USERDATA]\nWORKPATH=old\n", "[B]\nWORKPATH=keep\n[USERDATA]\nWORKPATH=C:\\Out\\\n"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const std::string path = folder.File("Wavlrn.ini");
        if (!c.before.empty())
            WriteText(path, c.before);
        ASSERT_TRUE(platform::IniFile(path).Write("USERDATA", "WORKPATH", "C:\\Out\\")) << c.before;
        EXPECT_EQ(ReadText(path), c.after) << c.before;
        EXPECT_EQ(platform::IniFile(path).Read("USERDATA", "WORKPATH"), "C:\\Out\\");
    }
}

TEST(IniFile, RefusesWritesThatWouldDamageTheFile)
{
    TempFolder folder;
    const std::string path = folder.File("Wavlrn.ini");
    WriteText(path, "[USERDATA]\nWORKPATH=/old/\n");
    const platform::IniFile ini(path);
    EXPECT_FALSE(ini.Write("USERDATA", "WORKPATH", "/a/\n[EVIL]\nx=1"));
    EXPECT_FALSE(ini.Write("USERDATA", "WORK\rPATH", "/a/"));
    EXPECT_FALSE(ini.Write("USER\nDATA", "WORKPATH", "/a/"));
    EXPECT_EQ(ReadText(path), "[USERDATA]\nWORKPATH=/old/\n");

    // A folder where the file should be: nothing to replace, false.
    std::filesystem::create_directory(folder.File("blocked.ini"));
    EXPECT_FALSE(platform::IniFile(folder.File("blocked.ini")).Write("USERDATA", "WORKPATH", "/a/"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("blocked.ini")));
}

TEST(IniFile, WriteCreatesMissingSettingsFolder)
{
    TempFolder folder;
    const std::string path = folder.File("config/sub/Wavlrn.ini");
    ASSERT_TRUE(platform::IniFile(path).Write("USERDATA", "WORKPATH", "/x/"));
    EXPECT_EQ(ReadText(path), "[USERDATA]" + kNewLineEnd + "WORKPATH=/x/" + kNewLineEnd);
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));
}

#ifndef _WIN32
TEST(IniFile, SettingsFolderFollowsTheEnvironment)
{
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string config = savedConfig ? savedConfig : "";
    const std::string home = savedHome ? savedHome : "";

    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(platform::UserSettingsFolder(), "/cfg");
    setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(platform::UserSettingsFolder(), "/home/u/.config");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    EXPECT_EQ(platform::UserSettingsFolder(), "");

    savedConfig ? setenv("XDG_CONFIG_HOME", config.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    savedHome ? setenv("HOME", home.c_str(), 1) : unsetenv("HOME");
}
#else
TEST(IniFile, SettingsFolderIsTheApplicationDataFolder)
{
    const wchar_t* saved = _wgetenv(L"APPDATA");
    const std::wstring value = saved ? saved : L"";
    struct Case {
        const wchar_t* appData;
        std::string folder;
    };
    const Case cases[] = {
        {L"C:\\Users\\u\\AppData\\Roaming", "C:\\Users\\u\\AppData\\Roaming"},
        {L"C:\\Users\\Jos\u00e9\\AppData\\Roaming", "C:\\Users\\Jos\xc3\xa9\\AppData\\Roaming"},  // UTF-8
        {L"", ""},
    };
    for (const auto& c : cases) {
        _wputenv_s(L"APPDATA", c.appData);
        EXPECT_EQ(platform::UserSettingsFolder(), c.folder);
    }
    _wputenv_s(L"APPDATA", value.c_str());
}
#endif

}  // namespace
