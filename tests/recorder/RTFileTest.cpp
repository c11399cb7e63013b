#include "recorder/RTFile.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using testsupport::TempFolder;
using testsupport::WriteBytes;

TEST(RTFile, OpenForReading)
{
    TempFolder folder;
    WriteBytes(folder.File("empty"), {});
    WriteBytes(folder.File("ten"), std::vector<std::uint8_t>(10, 1));
    std::filesystem::create_directory(folder.File("folder"));
    struct Case {
        const char* name;
        bool opens;
        std::uint32_t length;
    };
    const Case cases[] = {
        {"ten", true, 10},
        {"empty", false, 0},
        {"missing", false, 0},
        {"folder", false, 0},
    };
    for (const Case& c : cases) {
        CRTFile file;
        EXPECT_EQ(file.Open(folder.File(c.name)), c.opens) << c.name;
        EXPECT_EQ(file.GetLength(), c.length) << c.name;
    }
}

TEST(RTFile, ClosedFileDoesNothing)
{
    TempFolder folder;
    WriteBytes(folder.File("ten"), std::vector<std::uint8_t>(10, 1));
    CRTFile file;
    file.Close();
    EXPECT_EQ(file.GetLength(), 0u);
    ASSERT_TRUE(file.Open(folder.File("ten")));
    file.Close();
    file.Close();
    EXPECT_EQ(file.GetLength(), 0u);
}
