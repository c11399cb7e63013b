#include "recorder/FnbTextFile.h"

#include "recorder/Errors.h"
#include "platform/Files.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/FnbTextFixture.h"
#ifndef _WIN32
#include "tests/support/PackFileLimits.h"
#endif

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

using namespace importtest;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {

std::optional<MessageId> ConstructionFailure(MoDisk& disk)
{
    return RaisedMessage([&] { COrvoFnbTextFile text = TextFileOf(disk.doc); });
}

#ifdef _WIN32
constexpr const char* kTempVariable = "TMP";  // the first one Windows looks at
void SetVariable(const char* name, const std::string& value) { _putenv_s(name, value.c_str()); }
void UnsetVariable(const char* name) { _putenv_s(name, ""); }
#else
constexpr const char* kTempVariable = "TMPDIR";
void SetVariable(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }
void UnsetVariable(const char* name) { unsetenv(name); }
#endif

// Points the temporary-files folder somewhere else for the lifetime of the object.
class TempFolderVariable {
public:
    explicit TempFolderVariable(const std::string& folder)
    {
        if (const char* old = std::getenv(kTempVariable))
            m_old = old;
        SetVariable(kTempVariable, folder);
    }
    ~TempFolderVariable()
    {
        if (m_old)
            SetVariable(kTempVariable, *m_old);
        else
            UnsetVariable(kTempVariable);
    }

private:
    std::optional<std::string> m_old;
};

std::string TempText(const COrvoFnbTextFile& text)
{
    return AsText(ReadBytes(text.GetTempPath()));
}

}  // namespace

TEST(FnbTextFile, ProjectNumberFromTheLastSerialLine)
{
    struct Case {
        const char* text;
        const char* number;  // nullptr: construction fails with `failure`
        MessageId failure;
    };
    const Case cases[] = {
        {"SNGSERIAL: 07\r\n", "08", {}},
        {"SNGSERIAL: 01\r\n", "02", {}},
        {"SNGSERIAL: 98\r\n", "99", {}},
        {"SNGSERIAL: 03\r\n\r\nSNGSERIAL: 12\r\n", "13", {}},  // a later line overrides
        {"VERSIONID: 1.00\r\nSNGSERIAL: 41\r\nX\r\n", "42", {}},
        {"SNGSERIAL: 99\r\n", nullptr, MessageId::ProjectNumberFull},
        {"SNGSERIAL: 00\r\n", nullptr, MessageId::ProjectNumberFull},
        {"SNGSERIAL: 7\r\n", nullptr, MessageId::ProjectNumberFull},
        {"SNGSERIAL: 4x\r\n", nullptr, MessageId::ProjectNumberFull},
        {"SNGSERIAL:", nullptr, MessageId::ProjectNumberFull},
        {"SNGSERIAL: 12\r\nSNGSERIAL: -1\r\n", nullptr, MessageId::ProjectNumberFull},
        {"SONGTITLE: no serial\r\n", nullptr, MessageId::FnbReadFailed},
        {"", nullptr, MessageId::FnbReadFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        MoDisk disk(PaddedFnbText(c.text));
        if (c.number) {
            COrvoFnbTextFile text = TextFileOf(disk.doc);
            EXPECT_EQ(text.GetNewProjectNumber(), c.number);
        } else {
            EXPECT_EQ(ConstructionFailure(disk), c.failure);
        }
    }
}

TEST(FnbTextFile, MissingTextFileCannotTakeAnImport)
{
    MoDisk disk;
    std::filesystem::remove(disk.FnbTextPath());
    EXPECT_EQ(ConstructionFailure(disk), MessageId::FnbReadFailed);
}

#ifndef _WIN32  // a Windows folder ignores letter case: the renamed file is found as FNB.TXT there as well
TEST(FnbTextFile, TextFileFoundInAnotherLetterCase)
{
    MoDisk disk;
    std::filesystem::rename(disk.FnbTextPath(), disk.folder.File("fnb.txt"));
    testsupport::ScriptedUserInterface ui;
    COrvoFnbTextFile text = TextFileOf(disk.doc);
    ASSERT_TRUE(WriteSongBlockFor(text, 16, 48000));
    text.Commit();
    EXPECT_EQ(FileNames(disk.folder.Path()), std::vector<std::string>{"fnb.txt"});
    EXPECT_NE(AsText(ReadBytes(disk.folder.File("fnb.txt"))).find("\r\n\r\nSNGSERIAL: 08\r\n"), std::string::npos);
}
#endif

TEST(FnbTextFile, TemporaryFileLivesWithTheObject)
{
    MoDisk disk;
    testsupport::TempFolder tempFolder;
    TempFolderVariable variable(tempFolder.Path());
    std::string tempPath;
    {
        COrvoFnbTextFile text = TextFileOf(disk.doc);
        tempPath = text.GetTempPath();
        EXPECT_EQ(FileNames(tempFolder.Path()).size(), 1u);
        EXPECT_EQ(std::filesystem::path(tempPath).filename().string().rfind("Fnb", 0), 0u);
        EXPECT_TRUE(std::filesystem::is_regular_file(tempPath));
    }
    EXPECT_TRUE(FileNames(tempFolder.Path()).empty());
}

TEST(FnbTextFile, NoTemporaryFileIsAnInsideError)
{
    MoDisk disk;
    TempFolderVariable variable(disk.folder.File("no such folder"));
    EXPECT_EQ(ConstructionFailure(disk), MessageId::InsideError);
}

TEST(FnbTextFile, ProjectAndTrackBlocksWithCrLf)
{
    MoDisk disk;
    disk.doc.SetNewProjectName("50% %s%n");  // data, never a format
    COrvoFnbTextFile text = TextFileOf(disk.doc);
    ASSERT_TRUE(WriteSongBlockFor(text, 24, 48000));
    for (int serial = 0; serial < 3; ++serial)
        text.AdvanceTrackSerial();
    ASSERT_EQ(text.WriteTrackBlock(2, 8192, 16384), std::nullopt);
    EXPECT_EQ(TempText(text),
              "SNGSERIAL: 08\r\n"
              "SONGTITLE: 50% %s%n\r\n"
              "BINUPDATE: 2000/04/25 13:05:09\r\n"
              "BASEDTIME: 0\r\n"
              "RECORDBIT: 2\r\n"
              "RECORDFSC: 3\r\n"
              "FRAMERATE: 3\r\n"
              "\r\n"
              "TRKSERIAL: 00003  8b320800.003\r\n"
              "BINUPDATE: 2000/04/25 13:05:09\r\n"
              "VERTIALTR: 1\r\n"
              "TRKNUMBER: 3\r\n"
              "BASEDTIME: 8192\r\n"
              "TRKSAMPLE: 16384\r\n"
              "\r\n");
}

TEST(FnbTextFile, WordLengthAndRateCodes)
{
    struct Case {
        std::uint16_t bits;
        std::uint32_t rate;
        const char* lines;  // nullptr: refused
    };
    const Case cases[] = {
        {16, 32000, "RECORDBIT: 0\r\nRECORDFSC: 1\r\n"}, {20, 44100, "RECORDBIT: 1\r\nRECORDFSC: 2\r\n"},
        {24, 48000, "RECORDBIT: 2\r\nRECORDFSC: 3\r\n"}, {16, 88200, "RECORDBIT: 0\r\nRECORDFSC: 4\r\n"},
        {16, 96000, "RECORDBIT: 0\r\nRECORDFSC: 5\r\n"}, {16, 44056, "RECORDBIT: 0\r\nRECORDFSC: 6\r\n"},
        {16, 47952, "RECORDBIT: 0\r\nRECORDFSC: 7\r\n"}, {16, 22050, nullptr},
        {8, 48000, nullptr},                              {32, 48000, nullptr},
    };
    testsupport::ScriptedUserInterface ui;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bit, " << c.rate << " Hz");
        MoDisk disk;
        COrvoFnbTextFile text = TextFileOf(disk.doc);
        const bool written = WriteSongBlockFor(text, c.bits, c.rate);
        EXPECT_EQ(written, c.lines != nullptr);
        if (c.lines) {
            EXPECT_NE(TempText(text).find(c.lines), std::string::npos);
        }
    }
}

TEST(FnbTextFile, ProjectBlockCarriesOnlyAPrintableName)
{
    struct Case {
        const char* name;
        bool written;
    };
    const Case cases[] = {
        {"Twelve chars", true}, {"~ !%s%n", true}, {"Thirteen char", false}, {"Two\r\nLines", false},
        {"Caf\xe9", false},
    };
    testsupport::ScriptedUserInterface ui;
    for (const auto& c : cases) {
        MoDisk disk;
        disk.doc.SetNewProjectName(c.name);
        COrvoFnbTextFile text = TextFileOf(disk.doc);
        EXPECT_EQ(WriteSongBlockFor(text, 16, 48000), c.written)
            << c.name;
        if (c.written) {
            EXPECT_NE(TempText(text).find(std::string("SONGTITLE: ") + c.name + "\r\n"), std::string::npos);
        }
    }
}

TEST(FnbTextFile, RoomForTheProjectBlockAndTrackBlocks)
{
    struct Case {
        std::size_t used;
        std::uint64_t blocks;
        bool fits;
        bool lineEnded = true;  // the text's last line ends with its line end
    };
    const Case cases[] = {
        {130801, 1, true},   {130802, 1, false}, {130942, 0, true},  {130943, 0, false},
        {16, 928, true},     {16, 929, false},   {131072, 0, false}, {16, ~std::uint64_t{0}, false},
        // The new text starts on a line of its own: a missing line end is added first.
        {130799, 1, true, false}, {130800, 1, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.used << " used, " << c.blocks << " blocks" << (c.lineEnded ? "" : ", open line"));
        std::string used = "SNGSERIAL: 07\r\n";
        used.resize(c.used, 'x');
        if (c.lineEnded)
            used.back() = '\n';
        MoDisk disk(PaddedFnbText(used));
        COrvoFnbTextFile text = TextFileOf(disk.doc);
        EXPECT_EQ(text.HasRoomForTracks(c.blocks), c.fits);
    }
}

TEST(FnbTextFile, RoomCheckNeedsTheTextFile)
{
    MoDisk disk;
    COrvoFnbTextFile text = TextFileOf(disk.doc);
    std::filesystem::remove(disk.FnbTextPath());
    EXPECT_EQ(RaisedMessage([&] { text.HasRoomForTracks(1); }), MessageId::FnbReadFailed);
}

TEST(FnbTextFile, CommitAppendsOrReplacesTheRecordersText)
{
    const std::string block = "TRKSERIAL: 00000  8b320800.000\r\n\r\n";
    struct Case {
        const char* name;
        Bytes before;
        Bytes after;
    };
    Bytes longer = PaddedFnbText("SNGSERIAL: 07\r\n");
    longer.insert(longer.end(), 100, 'z');
    const Bytes longerAfter = PaddedFnbText("SNGSERIAL: 07\r\n" + block);
    const std::string recorderText = "VERSIONID: 2.01\r\nSNGSERIAL: 07\r\n" + std::string(5000, 'r') + "\r\n";
    const Case cases[] = {
        {"appended at the used length", PaddedFnbText("SNGSERIAL: 07\r\n\r\n"),
         PaddedFnbText("SNGSERIAL: 07\r\n\r\n" + block)},
        {"recorder's text replaced", PaddedFnbText(recorderText), PaddedFnbText(block)},
        {"short file grows", AsBytes("SNGSERIAL: 07\r\n"), PaddedFnbText("SNGSERIAL: 07\r\n" + block)},
        {"last line without its line end gets one", PaddedFnbText("SNGSERIAL: 07\r\nSONGTITLE: Old"),
         PaddedFnbText("SNGSERIAL: 07\r\nSONGTITLE: Old\r\n" + block)},
        {"last line ending in CR alone", PaddedFnbText("SNGSERIAL: 07\r"), PaddedFnbText("SNGSERIAL: 07\r\r\n" + block)},
        {"bytes beyond the text size go: the new text is the whole image", longer, longerAfter},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MoDisk disk(c.before);
        COrvoFnbTextFile text = TextFileOf(disk.doc);
        WriteBytes(text.GetTempPath(), AsBytes(block));
        text.Commit();
        EXPECT_EQ(ReadBytes(disk.FnbTextPath()), c.after);
    }
}

TEST(FnbTextFile, CommitFailuresLeaveTheFileAsItWas)
{
    std::string full = "SNGSERIAL: 07\r\n";
    full.resize(kFnbTextSize - 10, 'x');
    MoDisk disk(PaddedFnbText(full));
    COrvoFnbTextFile text = TextFileOf(disk.doc);
    WriteBytes(text.GetTempPath(), AsBytes(std::string(11, 'n')));  // one byte too many
    const std::string dataFile = disk.folder.File("8b320800.000");
    WriteBytes(dataFile, {1});
    text.NoteCreatedFile(dataFile);
    EXPECT_EQ(RaisedMessage([&] { text.Commit(); }), MessageId::FnbWriteFailed);
    EXPECT_EQ(ReadBytes(disk.FnbTextPath()), PaddedFnbText(full));
    text.RemoveCreatedFiles();  // FNB.TXT names nothing new: the data file goes
    EXPECT_FALSE(std::filesystem::exists(dataFile));

    std::filesystem::remove(text.GetTempPath());
    EXPECT_EQ(RaisedMessage([&] { text.Commit(); }), MessageId::FnbWriteFailed);
}

#ifndef _WIN32  // a file size limit (setrlimit); FailedWritesThroughTheFileSystem is its twin
TEST(FnbTextFile, FailedWritesAreReported)
{
    MoDisk disk;
    COrvoFnbTextFile text = TextFileOf(disk.doc);
    testsupport::ScriptedUserInterface ui;
    ASSERT_TRUE(WriteSongBlockFor(text, 16, 48000));
    const std::string dataFile = disk.folder.File("8b320800.000");
    WriteBytes(dataFile, {1});
    text.NoteCreatedFile(dataFile);
    {
        FileSizeLimit limit(16);
        EXPECT_NE(text.WriteTrackBlock(0, 0, 8192), std::nullopt);
        EXPECT_EQ(RaisedMessage([&] { text.Commit(); }), MessageId::FnbWriteFailed);
    }
    text.RemoveCreatedFiles();  // the new text never took the name FNB.TXT: the data file goes
    EXPECT_FALSE(std::filesystem::exists(dataFile));
    std::filesystem::remove(text.GetTempPath());
    std::filesystem::create_directory(text.GetTempPath());  // a folder in the way
    EXPECT_NE(text.WriteTrackBlock(0, 0, 8192), std::nullopt);
    std::filesystem::remove(text.GetTempPath());
}
#endif

TEST(FnbTextFile, FailedWritesThroughTheFileSystem)
{
    MoDisk disk;
    testsupport::FaultyFileSystem files;
    COrvoFnbTextFile text(disk.doc.m_strMoFolder, disk.doc.GetNewProjectName(), disk.doc.GetTimeStamp(), files);
    ASSERT_TRUE(WriteSongBlockFor(text, 16, 48000));
    const std::string before = AsText(ReadBytes(disk.folder.File("FNB.TXT")));
    files.FillAfter(0);  // the disk is full from now on
    EXPECT_NE(text.WriteTrackBlock(0, 0, 8192), std::nullopt);
    EXPECT_EQ(RaisedMessage([&] { text.Commit(); }), MessageId::FnbWriteFailed);
    EXPECT_EQ(AsText(ReadBytes(disk.folder.File("FNB.TXT"))), before);
}

TEST(FnbTextFile, ReadsTheSerialLineInPiecesFromMemory)
{
    struct Case {
        const char* what;
        std::string text;
        std::string number;  // empty: refused for `reason`
        Reason reason;
    };
    const std::string lineOfAPiece(259, 'x');
    const Case cases[] = {
        {"a later line overrides", "SNGSERIAL: 03\r\nSNGSERIAL: 12\r\n", "13", {}},
        // Only a line's first piece counts: a title or a continuation never reads as a serial line.
        {"key in the continuation of a line longer than a piece", lineOfAPiece + "SNGSERIAL: 20\r\n", "",
         Reason::NoSerialLine},
        {"continuation holding a key, then a serial line", lineOfAPiece + "SNGSERIAL: 20\r\nSNGSERIAL: 05\r\n", "06",
         {}},
        {"key after a line of 257 characters and CR LF", std::string(257, 'x') + "\r\nSNGSERIAL: 20\r\n", "21", {}},
        {"key after a line of 258 characters and CR LF", std::string(258, 'x') + "\r\nSNGSERIAL: 20\r\n", "21", {}},
        {"title holding a key", "SNGSERIAL: 07\r\nSONGTITLE: SNGSERIAL:07\r\n", "08", {}},
        {"key not at the start of its line", "SNGSERIAL: 07\r\n SNGSERIAL: 12\r\n", "08", {}},
        {"key cut by the end of a piece", std::string(250, 'x') + "SNGSERIAL: 20\r\n", "", Reason::NoSerialLine},
        {"key behind a NUL", std::string("x\0SNGSERIAL: 20\r\n", 17), "", Reason::NoSerialLine},
        {"line across the first read of the text", std::string(65530, 'x') + "\r\nSNGSERIAL: 31\r\n", "32", {}},
        {"no serial line", "SONGTITLE: x\r\n", "", Reason::NoSerialLine},
        {"numbers used up", "SNGSERIAL: 99\r\n", "", Reason::ProjectNumbersUsedUp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::MemoryFileSystem files;
        files.AddFolder("/mo");
        const std::string textPath = platform::JoinPath("/mo", "FNB.TXT");
        files.AddFile(textPath, PaddedFnbText(c.text));
        std::string number;
        Refusal refusal;
        try {
            number = COrvoFnbTextFile("/mo", "Untitled", "2000/04/25 13:05:09", files).GetNewProjectNumber();
        } catch (const ImportError& error) {
            refusal = error;
        }
        EXPECT_EQ(number, c.number);
        EXPECT_EQ(refusal.reason, c.reason);
        EXPECT_EQ(refusal.subject, c.number.empty() ? textPath : "");
    }
}
