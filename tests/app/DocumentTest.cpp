#include "app/Document.h"

#include "platform/FileSystem.h"
#include "platform/Files.h"
#include "tests/support/ScriptedUserInterface.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <regex>

using testsupport::ScriptedUserInterface;
using testsupport::TempFolder;

namespace {

void Choose(COVFtoWAVEDoc& doc)
{
    doc.m_strMoFolder = "/mo";
    doc.m_strFnbPath = "/mo/FNB.BIN";
    doc.m_strProjectName = "Demo";
    doc.m_strSamplingRate = "44.1KHz";
    doc.m_strBits = "24bit";
    doc.m_bProjectChosen = true;
    doc.m_projectRecord.sampleRate = 2;
    doc.m_strNewProjectName = "Next";
    doc.m_strTimeStamp = "2000/04/25 13:05:09";
    doc.m_freeBytes = 12345;
}

void ExpectSameChoices(const COVFtoWAVEDoc& copy, const COVFtoWAVEDoc& original)
{
    EXPECT_EQ(copy.m_strMoFolder, original.m_strMoFolder);
    EXPECT_EQ(copy.m_strFnbPath, original.m_strFnbPath);
    EXPECT_EQ(copy.m_strProjectName, original.m_strProjectName);
    EXPECT_EQ(copy.m_strSamplingRate, original.m_strSamplingRate);
    EXPECT_EQ(copy.m_strBits, original.m_strBits);
    EXPECT_EQ(copy.m_bProjectChosen, original.m_bProjectChosen);
    EXPECT_EQ(std::memcmp(&copy.m_projectRecord, &original.m_projectRecord, sizeof(sobinder)), 0);
    EXPECT_EQ(copy.m_strNewProjectName, original.m_strNewProjectName);
}

}  // namespace

TEST(Document, StartsEmptyWithAnUntitledProject)
{
    COVFtoWAVEDoc doc;
    EXPECT_EQ(doc.GetNewProjectName(), "Untitled");
    EXPECT_TRUE(doc.m_strMoFolder.empty());
    EXPECT_TRUE(doc.m_strFnbPath.empty());
    EXPECT_FALSE(doc.m_bProjectChosen);
    EXPECT_EQ(doc.m_freeBytes, 0U);
}

TEST(Document, CopyAndAssignmentLeaveOutTheTimeStampAndTheFreeSpace)
{
    COVFtoWAVEDoc original;
    Choose(original);
    const COVFtoWAVEDoc copy(original);
    ExpectSameChoices(copy, original);
    EXPECT_EQ(copy.m_strTimeStamp, "");
    EXPECT_EQ(copy.m_freeBytes, 0U);

    COVFtoWAVEDoc assigned;
    assigned.m_strTimeStamp = "kept";
    assigned.m_freeBytes = 7;
    assigned = original;
    ExpectSameChoices(assigned, original);
    EXPECT_EQ(assigned.m_strTimeStamp, "kept");
    EXPECT_EQ(assigned.m_freeBytes, 7U);

    COVFtoWAVEDoc& self = original;
    original = self;
    EXPECT_EQ(original.m_strProjectName, "Demo");
    EXPECT_EQ(original.m_freeBytes, 12345U);
}

TEST(Document, NewProjectNameIsNeverEmpty)
{
    const std::pair<std::string, std::string> cases[] = {{"", "Untitled"}, {"Song", "Song"}, {" ", " "}};
    for (const auto& [name, stored] : cases) {
        COVFtoWAVEDoc doc;
        doc.SetNewProjectName(name);
        EXPECT_EQ(doc.GetNewProjectName(), stored) << name;
    }
}

TEST(Document, TimeStampIsLocalTimeInItsFormat)
{
    COVFtoWAVEDoc doc;
    doc.StampTime();
    EXPECT_TRUE(std::regex_match(doc.GetTimeStamp(), std::regex(R"(\d{4}/\d{2}/\d{2} [0-2]\d:[0-5]\d:[0-6]\d)")))
        << doc.GetTimeStamp();
}

TEST(Document, RoomNeedsTheReserveAndAStrictComparison)
{
    struct Case {
        std::uint64_t bytes;
        std::uint64_t freeBytes;
        bool room;
    };
    constexpr std::uint64_t kCarry = 4294836224U;  // + the reserve carries into the high half
    constexpr std::uint64_t kMax = ~std::uint64_t{0};
    const Case cases[] = {
        {0, 131072, false},
        {0, 131073, true},
        {0, 0, false},
        {1000, 132072, false},
        {1000, 132073, true},
        {kCarry, kCarry + 131072, false},
        {kCarry, kCarry + 131073, true},
        {kCarry, 4294967295U, false},
        {kMax, kMax, false},  // no wrap-around of the sum
        {kMax - 131072, kMax, false},
        {kMax - 131073, kMax, true},
    };
    for (const auto& c : cases) {
        COVFtoWAVEDoc doc;
        doc.m_freeBytes = c.freeBytes;
        EXPECT_EQ(doc.HasRoomFor(c.bytes), c.room) << c.bytes << " of " << c.freeBytes;
    }
}

TEST(Document, FreeSpaceOfTheMoFolderOrNothing)
{
    TempFolder folder;
    COVFtoWAVEDoc doc;
    doc.m_strMoFolder = folder.Path();
    EXPECT_TRUE(doc.UpdateFreeSpace(platform::RealFileSystem()));
    EXPECT_GT(doc.m_freeBytes, 0U);

    for (const std::string& unmeasurable : {folder.File("missing"), std::string()}) {
        ASSERT_TRUE(doc.UpdateFreeSpace(platform::RealFileSystem()));
        doc.m_strMoFolder = unmeasurable;
        EXPECT_FALSE(doc.UpdateFreeSpace(platform::RealFileSystem())) << unmeasurable;
        EXPECT_EQ(doc.m_freeBytes, 0U) << unmeasurable;
        doc.m_strMoFolder = folder.Path();
    }
}

TEST(Document, BrowsingSetsTheMoFolderAndTheBinderPath)
{
    struct Case {
        std::optional<std::string> chosen;  // nothing: cancelled
        bool taken;
        std::string folder;
        std::string fnbPath;
    };
    const Case cases[] = {
        {"/", true, "/", "/FNB.BIN"},
        {"/media/mo/", true, "/media/mo/", "/media/mo/FNB.BIN"},
        {"/media/mo/SUB", true, "/media/mo/SUB", platform::JoinPath("/media/mo/SUB", "FNB.BIN")},
        {"", false, "", ""},
        {std::nullopt, false, "/old", "/old/FNB.BIN"},
    };
    for (const auto& c : cases) {
        COVFtoWAVEDoc doc;
        doc.m_strMoFolder = "/old";
        doc.m_strFnbPath = "/old/FNB.BIN";
        ScriptedUserInterface ui;
        ui.folderAnswers.push_back(c.chosen);
        EXPECT_EQ(doc.BrowseMoFolder(ui), c.taken) << c.chosen.value_or("cancel");
        EXPECT_EQ(doc.m_strMoFolder, c.folder);
        EXPECT_EQ(doc.m_strFnbPath, c.fnbPath);
        ASSERT_EQ(ui.events.size(), 1U);
        EXPECT_EQ(ui.events[0].kind, testsupport::UiEvent::Kind::FolderBrowser);
        EXPECT_EQ(ui.events[0].text, "Select MO :");
    }
}

TEST(Document, DriveAndProjectChoicesRollBackWhenNotTaken)
{
    struct Case {
        const char* name;
        std::function<bool(COVFtoWAVEDoc&, ScriptedUserInterface&)> choose;
        bool taken;
        std::string folder;
        std::string projectName;
        bool chosen;
    };
    const auto dialog = [](bool accepted, const char* name) {
        return [accepted, name](COVFtoWAVEDoc& doc, ScriptedUserInterface&) {
            return doc.ChooseProject([&doc, accepted, name] {
                doc.m_strProjectName = name;
                doc.m_strMoFolder = "/written";
                return accepted;
            });
        };
    };
    const auto browse = [](std::optional<std::string> answer) {
        return [answer](COVFtoWAVEDoc& doc, ScriptedUserInterface& ui) {
            ui.folderAnswers.push_back(answer);
            return doc.ChooseMoFolder(ui);
        };
    };
    const Case cases[] = {
        {"drive taken", browse("/new"), true, "/new", "Old", false},
        {"drive browse cancelled", browse(std::nullopt), false, "/mo", "Old", false},
        {"empty drive restores the folder", browse(""), false, "/mo", "Old", false},
        {"project accepted with a name", dialog(true, "New"), true, "/written", "New", true},
        {"project accepted without a name", dialog(true, ""), false, "/mo", "Old", false},
        {"project dialog cancelled", dialog(false, "New"), false, "/mo", "Old", false},
    };
    for (const auto& c : cases) {
        COVFtoWAVEDoc doc;
        doc.SetMoFolder("/mo");
        doc.m_strProjectName = "Old";
        ScriptedUserInterface ui;
        EXPECT_EQ(c.choose(doc, ui), c.taken) << c.name;
        EXPECT_EQ(doc.m_strMoFolder, c.folder) << c.name;
        EXPECT_EQ(doc.m_strProjectName, c.projectName) << c.name;
        EXPECT_EQ(doc.m_bProjectChosen, c.chosen) << c.name;
    }
}
