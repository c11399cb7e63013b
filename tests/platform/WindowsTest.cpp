// What holds on Windows only: both separators, drive roots, names outside the ANSI
// code page through the wide API, binary files, free space and renames over a file.
// Built for Windows only; runs under wine in CI. The drive-root tests use the drive
// letter in WAVELORN_TEST_DRIVE (such as "W:"), mapped to an empty scratch folder.

#include "platform/FileSystem.h"
#include "platform/Files.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

using Bytes = std::vector<std::uint8_t>;

// The spare drive's root, such as "W:\"; nothing when the run has none.
std::optional<std::string> SpareDriveRoot()
{
    const char* drive = std::getenv("WAVELORN_TEST_DRIVE");
    if (!drive || std::string(drive).size() != 2 || drive[1] != ':')
        return std::nullopt;
    return std::string(drive) + "\\";
}

Bytes ReadAll(platform::FileSystem& files, const std::string& path)
{
    const auto source = files.OpenRead(path);
    if (!source)
        return {};
    Bytes bytes(static_cast<std::size_t>(source->Size()));
    const auto read = source->ReadAt(0, bytes.data(), bytes.size());
    bytes.resize(read.value_or(0));
    return bytes;
}

bool WriteAll(platform::FileSystem& files, const std::string& path, const Bytes& bytes)
{
    const auto file = files.OpenWrite(path, platform::WriteMode::Replace);
    return file && file->Write(bytes.data(), bytes.size()) && file->Close();
}

}  // namespace

TEST(WindowsPaths, BothSlashesSeparate)
{
    EXPECT_TRUE(platform::IsPathSeparator('\\'));
    EXPECT_TRUE(platform::IsPathSeparator('/'));
    EXPECT_EQ(platform::PathSeparator(), '\\');
    struct Case {
        std::string path;
        std::string folder;
        std::string name;
    };
    const Case cases[] = {
        {"E:\\FNB.BIN", "E:\\", "FNB.BIN"},
        {"E:/FNB.BIN", "E:/", "FNB.BIN"},
        {"E:\\SUB\\FNB.BIN", "E:\\SUB", "FNB.BIN"},
        {"E:/SUB/FNB.BIN", "E:/SUB", "FNB.BIN"},
        {"E:\\SUB/FNB.BIN", "E:\\SUB", "FNB.BIN"},
        {"sub\\FNB.BIN", "sub", "FNB.BIN"},
        {"\\FNB.BIN", "\\", "FNB.BIN"},
        {"FNB.BIN", "", "FNB.BIN"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::FolderPart(c.path), c.folder) << c.path;
        EXPECT_EQ(platform::NamePart(c.path), c.name) << c.path;
    }
}

TEST(WindowsPaths, DriveRootAndFolderJoinWithOneSeparator)
{
    struct Case {
        std::string folder;
        std::string joined;
    };
    const Case cases[] = {
        {"E:\\", "E:\\FNB.BIN"},       {"E:\\SUB", "E:\\SUB\\FNB.BIN"}, {"E:\\SUB\\", "E:\\SUB\\FNB.BIN"},
        {"E:/SUB/", "E:/SUB/FNB.BIN"}, {"E:/", "E:/FNB.BIN"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::JoinPath(c.folder, "FNB.BIN"), c.joined) << c.folder;
}

TEST(WindowsPaths, ExactNameLookupOnADriveRootAndInAFolder)
{
    const auto root = SpareDriveRoot();
    if (!root)
        GTEST_SKIP() << "WAVELORN_TEST_DRIVE names no spare drive";
    const std::string sub = *root + "SUB";
    ASSERT_TRUE(platform::CreateFolders(sub));
    WriteBytes(*root + "fnb.bin", {1});
    WriteBytes(sub + "\\Fnb.Bin", {2});
    struct Case {
        std::string path;
        std::optional<std::string> found;
    };
    const Case cases[] = {
        {*root + "FNB.BIN", *root + "fnb.bin"},
        {root->substr(0, 2) + "/FNB.BIN", root->substr(0, 2) + "/fnb.bin"},
        {sub + "\\FNB.BIN", sub + "\\Fnb.Bin"},
        {root->substr(0, 2) + "/SUB/fnb.bin", root->substr(0, 2) + "/SUB\\Fnb.Bin"},
        {*root + "HFS.BIN", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::FindFile(c.path), c.found) << c.path;
    EXPECT_EQ(ReadBytes(*platform::FindFile(*root + "FNB.BIN")), Bytes{1});
    std::error_code error;
    std::filesystem::remove(platform::PathFromUtf8(*root + "fnb.bin"), error);
    std::filesystem::remove_all(platform::PathFromUtf8(sub), error);
}

TEST(WindowsPaths, FreeSpaceOfADriveRootAndAFolder)
{
    TempFolder folder;
    std::vector<std::string> folders{folder.Path()};
    if (const auto root = SpareDriveRoot())
        folders.push_back(*root);
    for (const auto& path : folders) {
        const auto free = platform::RealFileSystem().FreeSpace(path);
        ASSERT_TRUE(free.has_value()) << path;
        EXPECT_GT(*free, 0u) << path;
    }
    EXPECT_FALSE(platform::RealFileSystem().FreeSpace(folder.File("none")).has_value());
}

TEST(WindowsFiles, NamesOutsideTheAnsiCodePageGoThroughTheWideApi)
{
    TempFolder folder;
    // C:\Users\José\Music: the folder and file names in UTF-8, as the program carries them.
    const std::string music = folder.File("Jos\xc3\xa9\\Music");
    ASSERT_TRUE(platform::CreateFolders(music));
    const std::wstring wideFolder = platform::PathFromUtf8(folder.Path()).wstring() + L"\\Jos\u00e9\\Music";
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(wideFolder)));

    platform::FileSystem& files = platform::RealFileSystem();
    const std::string file = platform::JoinPath(music, "\xe6\x97\xa5\xe6\x9c\xac Caf\xc3\xa9.wav");  // 日本 Café
    ASSERT_TRUE(WriteAll(files, file, {1, 2, 3}));
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(wideFolder + L"\\\u65e5\u672c Caf\u00e9.wav")));
    EXPECT_EQ(ReadAll(files, file), (Bytes{1, 2, 3}));
    EXPECT_EQ(files.FileSize(file), 3u);
    EXPECT_EQ(files.KindOf(file), platform::FileKind::Regular);
    const auto entries = files.ListFolder(music);
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(entries->size(), 1u);
    EXPECT_EQ(entries->front().name, "\xe6\x97\xa5\xe6\x9c\xac Caf\xc3\xa9.wav");
    EXPECT_EQ(platform::FindFile(platform::JoinPath(music, "\xe6\x97\xa5\xe6\x9c\xac CAF\xc3\xa9.WAV")), file);
}

TEST(WindowsFiles, EveryFileIsBinary)
{
    TempFolder folder;
    platform::FileSystem& files = platform::RealFileSystem();
    const Bytes text{'A', '\r', '\n', 'B', '\n', 0x1A, 'C', '\r'};  // CR LF, a bare LF, Ctrl-Z, a bare CR
    const std::string path = folder.File("FNB.TXT");
    for (const auto mode : {platform::WriteMode::Replace, platform::WriteMode::Append}) {
        if (mode == platform::WriteMode::Replace)
            ASSERT_TRUE(WriteAll(files, path, text));
        else {
            const auto file = files.OpenWrite(path, mode);
            ASSERT_TRUE(file && file->Write(text.data(), text.size()) && file->Close());
        }
    }
    Bytes twice = text;
    twice.insert(twice.end(), text.begin(), text.end());
    EXPECT_EQ(ReadBytes(path), twice);
    EXPECT_EQ(ReadAll(files, path), twice);
    EXPECT_EQ(files.FileSize(path), twice.size());
}

TEST(WindowsFiles, RenameReplacesAnExistingFile)
{
    TempFolder folder;
    platform::FileSystem& files = platform::RealFileSystem();
    WriteBytes(folder.File("new.tmp"), {1, 2});
    WriteBytes(folder.File("Take.wav"), {9, 9, 9});
    ASSERT_TRUE(files.Rename(folder.File("new.tmp"), folder.File("Take.wav")));
    EXPECT_EQ(ReadBytes(folder.File("Take.wav")), (Bytes{1, 2}));
    EXPECT_EQ(files.KindOf(folder.File("new.tmp")), platform::FileKind::None);
    EXPECT_FALSE(files.Rename(folder.File("new.tmp"), folder.File("Take.wav")));  // nothing to move
    EXPECT_EQ(ReadBytes(folder.File("Take.wav")), (Bytes{1, 2}));
}
