#include "platform/Files.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using testsupport::TempFolder;
using testsupport::WriteBytes;

TEST(FindExactName, FindsTheNameAsSpeltOnDisk)
{
    struct Case {
        std::vector<std::string> onDisk;
        std::string wanted;
        std::optional<std::string> found;
    };
    const Case cases[] = {
        {{"FNB.BIN"}, "FNB.BIN", "FNB.BIN"},
        {{"fnb.bin"}, "FNB.BIN", "fnb.bin"},
        {{"8B320500.012"}, "8b320500.012", "8B320500.012"},
#ifndef _WIN32  // names differing only in letter case cannot share a Windows folder
        {{"fnb.bin", "FNB.BIN", "Fnb.Bin"}, "FNB.BIN", "FNB.BIN"},  // the exact spelling wins
        {{"fnb.bin", "Fnb.Bin"}, "FNB.BIN", "Fnb.Bin"},             // then the first in sorted order
#endif
        {{"HFS.BIN"}, "FNB.BIN", std::nullopt},
        {{}, "FNB.BIN", std::nullopt},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        for (const auto& name : c.onDisk)
            WriteBytes(folder.File(name), {1});
        EXPECT_EQ(platform::FindExactName(folder.Path(), c.wanted), c.found) << c.wanted;
    }
}

TEST(FindExactName, IgnoresFoldersAndMissingFolders)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.File("FNB.BIN"));
    EXPECT_EQ(platform::FindExactName(folder.Path(), "FNB.BIN"), std::nullopt);
    EXPECT_EQ(platform::FindExactName(folder.File("missing"), "FNB.BIN"), std::nullopt);
}

TEST(FindFile, ReturnsTheFullPathAsOnDisk)
{
    TempFolder folder;
    WriteBytes(folder.File("hfs.bin"), {1});
    EXPECT_EQ(platform::FindFile(folder.File("HFS.BIN")), folder.File("hfs.bin"));
    EXPECT_EQ(platform::FindExactName(platform::WithTrailingSeparator(folder.Path()), "HFS.BIN"), "hfs.bin");
    EXPECT_EQ(platform::FindFile(folder.File("FNB.BIN")), std::nullopt);
}

TEST(JoinPath, TrailingSeparatorMakesNoDifference)
{
    const std::string separator(1, platform::PathSeparator());
    EXPECT_EQ(platform::JoinPath("/mo", "FNB.BIN"), "/mo" + separator + "FNB.BIN");
    EXPECT_EQ(platform::JoinPath("/mo/", "FNB.BIN"), "/mo/FNB.BIN");
    EXPECT_EQ(platform::JoinPath("/", "FNB.BIN"), "/FNB.BIN");
    EXPECT_EQ(platform::WithTrailingSeparator(""), "");
}

TEST(PathParts, SplitAtTheLastSeparator)
{
    EXPECT_EQ(platform::FolderPart("/a/b.c/name.wav"), "/a/b.c");
    EXPECT_EQ(platform::NamePart("/a/b.c/name.wav"), "name.wav");
    EXPECT_EQ(platform::FolderPart("name.wav"), "");
    EXPECT_EQ(platform::NamePart("name.wav"), "name.wav");
    EXPECT_EQ(platform::FolderPart("/name.wav"), "/");
}
