// The project blocks of FNB.TXT, read by the rule the project number is derived by,
// and the extent of a track's segment chain: what the list of pending projects and
// of tracks shows.

#include "platform/Files.h"
#include "tests/support/MemoryFileSystem.h"
#include "recorder/FnbTextFile.h"
#include "recorder/Track.h"
#include "tests/support/MemoryDisk.h"
#include "tools/diskwriter/DiskWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using diskwriter::Disk;

namespace {

std::vector<std::uint8_t> Padded(const std::string& text)
{
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.resize(std::max<std::size_t>(bytes.size(), kFnbTextSize), 0);
    return bytes;
}

std::string Block(const std::string& number, const std::string& title, const std::string& bits,
                  const std::string& rate)
{
    return "SNGSERIAL: " + number + "\r\nSONGTITLE: " + title + "\r\nBINUPDATE: 2024/01/01 00:00:00\r\n"
           "BASEDTIME: 0\r\nRECORDBIT: " + bits + "\r\nRECORDFSC: " + rate + "\r\nFRAMERATE: 3\r\n\r\n"
           "TRKSERIAL: 0000  8b320400.000\r\nTRKNUMBER: 1\r\n\r\n";
}

std::string Describe(const FnbTextProject& project)
{
    const auto code = [](const std::optional<std::uint8_t>& value) {
        return value ? std::to_string(*value) : std::string("-");
    };
    return project.number + "|" + project.title + "|" + code(project.wordLengthCode) + "|" + code(project.rateCode);
}

}  // namespace

TEST(FnbTextProjects, BlocksFoundByTheSerialLineRule)
{
    const std::string longLine = "COMMENTS: " + std::string(300, 'x') + "SNGSERIAL: 66\r\n";
    struct Case {
        const char* what;
        std::string text;
        bool writtenByRecorder;
        std::vector<std::string> projects;
    };
    const Case cases[] = {
        {"one block", "FNBTEXT\r\n" + Block("04", "Back", "2", "3"), false, {"04|Back|2|3"}},
        {"two blocks", "X\r\n" + Block("04", "Back", "0", "1") + Block("05", "Front", "1", "5"), false,
         {"04|Back|0|1", "05|Front|1|5"}},
        {"recorder's own text", "VERSIONID: 1.00\r\n" + Block("01", "Song", "0", "2"), true, {"01|Song|0|2"}},
        {"key inside a title", "X\r\n" + Block("04", "SNGSERIAL: 09", "2", "3"), false, {"04|SNGSERIAL: 09|2|3"}},
        {"key in a long line's continuation", "X\r\n" + longLine + Block("04", "A", "2", "3"), false, {"04|A|2|3"}},
        {"key not at the start", "X\r\n SNGSERIAL: 08\r\n" + Block("04", "A", "2", "3"), false, {"04|A|2|3"}},
        {"codes missing or not numbers", "X\r\nSNGSERIAL: 04\r\nSONGTITLE: A\r\nRECORDBIT: two\r\n", false,
         {"04|A|-|-"}},
        {"code beyond a byte", "X\r\n" + Block("04", "A", "256", "7"), false, {"04|A|-|7"}},
        {"last line without a line end", "X\r\nSNGSERIAL: 04\r\nRECORDFSC: 2", false, {"04||-|2"}},
        {"fields before any block", "X\r\nRECORDBIT: 2\r\n", false, {}},
        {"no text at all", "", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::MemoryFileSystem files;
        files.AddFolder("/mo");
        files.AddFile(platform::JoinPath("/mo", "FNB.TXT"), Padded(c.text));
        const auto read = ReadFnbTextProjects("/mo", files);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->writtenByRecorder, c.writtenByRecorder);
        std::vector<std::string> got;
        for (const auto& project : read->projects)
            got.push_back(Describe(project));
        EXPECT_EQ(got, c.projects);
    }
}

TEST(FnbTextProjects, FoundInAnotherLetterCaseAndNothingWithoutTheFile)
{
    testsupport::MemoryFileSystem files;
    files.AddFolder("/mo");
    EXPECT_FALSE(ReadFnbTextProjects("/mo", files));
    files.AddFile(platform::JoinPath("/mo", "fnb.txt"), Padded("X\r\n" + Block("12", "Low", "2", "3")));
    const auto read = ReadFnbTextProjects("/mo", files);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->projects.size(), 1U);
    EXPECT_EQ(read->projects[0].number, "12");
}

TEST(TrackExtent, EndOfTheLastSegmentWithLeadInsAndTheSegmentCount)
{
    Disk disk;
    auto& project = disk.AddProject({.slot = 2, .number = 3, .name = "Extent", .virtualTracks = 8});
    // Track 1: two segments, the second ending at group 40.
    project.AddSegment({.track = 1, .virtualTrack = 1, .startGroup = 0, .lengthGroups = 10, .serial = 1,
                        .samples = std::vector<std::int32_t>(80, 1)});
    project.AddSegment({.track = 1, .virtualTrack = 1, .startGroup = 30, .lengthGroups = 10, .serial = 2,
                        .samples = std::vector<std::int32_t>(80, 1)});
    // Track 2, virtual track 3: one segment with a lead-in, which moves its start only.
    project.AddSegment({.track = 2, .virtualTrack = 3, .startGroup = 5, .lengthGroups = 4, .leadIn = 2, .serial = 3,
                        .samples = std::vector<std::int32_t>(48, 1)});
    // Track 3: a later segment that ends before an earlier one does not move the end back.
    project.AddSegment({.track = 3, .virtualTrack = 1, .startGroup = 0, .lengthGroups = 50, .serial = 4,
                        .samples = std::vector<std::int32_t>(400, 1)});
    project.AddSegment({.track = 3, .virtualTrack = 1, .startGroup = 10, .lengthGroups = 5, .serial = 5,
                        .samples = std::vector<std::int32_t>(40, 1)});
    testsupport::MemoryFileSystem files;
    testsupport::LoadDisk(disk, files, "/mo");
    const sobinder record = project.Record();

    struct Case {
        int track;
        int virtualTrack;
        std::optional<std::uint64_t> end;
        unsigned segments;
    };
    const Case cases[] = {
        {1, 1, 320, 2}, {2, 3, 72, 1}, {3, 1, 400, 2}, {1, 2, std::nullopt, 0}, {8, 8, std::nullopt, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.track) + ":" + std::to_string(c.virtualTrack));
        const auto extent = MeasureTrack("/mo", record, c.track, c.virtualTrack, files);
        ASSERT_EQ(extent.has_value(), c.end.has_value());
        if (!extent)
            continue;
        EXPECT_EQ(extent->endPosition, *c.end);
        EXPECT_EQ(extent->segments, c.segments);
        // The same end as a track opened for reading states.
        CTrack track("/mo", record, c.track, c.virtualTrack, files);
        ASSERT_EQ(track.Open(), std::nullopt);
        EXPECT_EQ(track.GetEndPosition(), extent->endPosition);
    }
}

TEST(TrackExtent, NothingWithoutFnbBin)
{
    testsupport::MemoryFileSystem files;
    files.AddFolder("/mo");
    EXPECT_FALSE(MeasureTrack("/mo", sobinder{}, 1, 1, files));
}
