#include "recorder/RTFile.h"

#include "tests/support/FaultyFileSystem.h"
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
        int mode;
        bool opens;
        std::uint32_t length;
    };
    const Case cases[] = {
        {"ten", CRTFile::kModeRead, true, 10},
        {"ten", 4 + CRTFile::kModeRead, true, 10},  // only the low two bits select the access
        {"empty", CRTFile::kModeRead, false, 0},
        {"missing", CRTFile::kModeRead, false, 0},
        {"folder", CRTFile::kModeRead, false, 0},
        {"ten", 2, false, 0},
        {"ten", 3, false, 0},
    };
    for (const Case& c : cases) {
        CRTFile file;
        EXPECT_EQ(file.Open(folder.File(c.name), c.mode), c.opens) << c.name << " mode " << c.mode;
        EXPECT_EQ(file.GetLength(), c.length) << c.name;
    }
}

TEST(RTFile, SeekStaysBelowTheLength)
{
    TempFolder folder;
    WriteBytes(folder.File("f"), {1, 2, 3, 4, 5});
    CRTFile file;
    ASSERT_TRUE(file.Open(folder.File("f"), CRTFile::kModeRead));
    const struct {
        std::uint32_t offset;
        int origin;
        bool ok;
    } cases[] = {{0, SEEK_SET, true}, {4, SEEK_SET, true}, {5, SEEK_SET, false}, {0xFFFFFFFF, SEEK_SET, false},
                 {5, SEEK_CUR, false}, {1, SEEK_CUR, true}};
    for (const auto& c : cases)
        EXPECT_EQ(file.Seek(c.offset, c.origin), c.ok) << c.offset;
    ASSERT_TRUE(file.Seek(4, SEEK_SET));
    std::uint8_t bytes[4] = {};
    EXPECT_EQ(file.Read(bytes, sizeof bytes), 1u);
    EXPECT_EQ(bytes[0], 5);
}

TEST(RTFile, ClosedFileDoesNothing)
{
    CRTFile file;
    std::uint8_t byte = 0;
    EXPECT_FALSE(file.Seek(0, SEEK_SET));
    EXPECT_EQ(file.Read(&byte, 1), 0u);
    EXPECT_EQ(file.Write(&byte, 1), 0);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.Close(), 0);
}

TEST(RTFile, WritesAndReportsAFailedFlushAtClose)
{
    TempFolder folder;
    const std::uint8_t bytes[3] = {7, 8, 9};
    CRTFile file;
    ASSERT_TRUE(file.Open(folder.File("out"), CRTFile::kModeWrite));
    EXPECT_EQ(file.Write(bytes, sizeof bytes), 1);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(testsupport::ReadBytes(folder.File("out")), std::vector<std::uint8_t>(bytes, bytes + 3));

#ifndef _WIN32  // ClosingFailureThroughTheFileSystem is the twin that runs everywhere
    CRTFile full;
    ASSERT_TRUE(full.Open("/dev/full", CRTFile::kModeWrite));
    EXPECT_EQ(full.Write(bytes, sizeof bytes), 1);  // buffered
    EXPECT_NE(full.Close(), 0);
#endif
}

TEST(RTFile, ClosingFailureThroughTheFileSystem)
{
    TempFolder folder;
    const std::uint8_t bytes[3] = {7, 8, 9};
    testsupport::FaultyFileSystem files;
    files.FailNth(testsupport::FaultOp::Close, 1);
    CRTFile file(files);
    ASSERT_TRUE(file.Open(folder.File("out"), CRTFile::kModeWrite));
    EXPECT_EQ(file.Write(bytes, sizeof bytes), 1);
    EXPECT_NE(file.Close(), 0);
}
