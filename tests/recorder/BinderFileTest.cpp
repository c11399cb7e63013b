#include "recorder/BinderFile.h"

#include "platform/Files.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/MemoryDisk.h"
#include "tests/support/TempFolder.h"
#include "tools/diskwriter/DiskWriter.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using diskwriter::Disk;
using diskwriter::ProjectInfo;
using diskwriter::SegmentInfo;
using testsupport::TempFolder;

namespace {

// The slots of the listed projects, in list order; empty when the list cannot be read.
std::vector<std::uint32_t> ListSlots(const std::string& folder)
{
    CBinderFile binder(platform::JoinPath(folder, "FNB.BIN"));
    std::vector<std::uint32_t> slots;
    sobinder rec;
    if (!binder.Exists() || !binder.OpenForRead() || !binder.ReadFirstSong(rec))
        return slots;
    do
        slots.push_back(rec.slot);
    while (binder.ReadNextSong(rec));
    binder.Close();
    return slots;
}

// The slots of the segments of (track, virtual track) 1/1, in chain order.
std::vector<std::uint16_t> ChainSlots(const std::string& folder, const sobinder& song)
{
    CBinderFile binder(platform::JoinPath(folder, "FNB.BIN"));
    std::vector<std::uint16_t> slots;
    soentry seg;
    if (!binder.OpenForRead() || !binder.ReadFirstSegment(song, 1, 1, seg))
        return slots;
    slots.push_back(static_cast<std::uint16_t>(seg.startGroup));  // each segment starts at its own slot number
    while (binder.ReadNextSegment(seg))
        slots.push_back(static_cast<std::uint16_t>(seg.startGroup));
    return slots;
}

ProjectInfo Small(std::uint16_t slot, std::optional<std::uint16_t> next = std::nullopt)
{
    return {.slot = slot, .number = 1, .name = "P", .virtualTracks = 1, .nextSong = next};
}

// A segment of track 1/1 at an explicit slot, starting at its own slot number so that a
// walk can be read back as a list of slots.
SegmentInfo ChainSegment(std::uint16_t slot, std::optional<std::uint16_t> link = std::nullopt)
{
    return SegmentInfo{.startGroup = slot, .lengthGroups = 1, .slot = slot, .link = link, .missingFile = true};
}

}  // namespace

TEST(BinderFile, ProjectListWalks)
{
    struct Case {
        const char* what;
        std::vector<ProjectInfo> projects;
        std::optional<std::uint16_t> firstSong;
        std::optional<std::uint64_t> fnbLength;
        std::vector<std::uint32_t> listed;
    };
    const Case cases[] = {
        {"three in chain order", {Small(2), Small(100), Small(50)}, {}, {}, {2, 100, 50}},
        {"single linking to itself", {Small(2)}, {}, {}, {2}},
        {"loop back to a middle record", {Small(2), Small(100), Small(50, 100)}, {}, {}, {2, 100, 50}},
        {"record linking to itself", {Small(2), Small(100, 100)}, {}, {}, {2, 100}},
        {"link beyond the end", {Small(2, 4000)}, {}, {}, {2}},
        {"link to the last slot: record cut short", {Small(2, 12)}, {}, {13 * 32}, {2}},
        {"first record beyond the file", {Small(2)}, 4000, {}, {}},
        {"first record half inside the file", {Small(2)}, 11, {}, {}},
        {"header only", {}, {}, 64, {}},
        {"header and one byte", {Small(2)}, {}, 65, {}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        Disk disk;
        for (const ProjectInfo& p : c.projects)
            disk.AddProject(p);
        if (c.firstSong)
            disk.SetFirstSong(*c.firstSong);
        if (c.fnbLength)
            disk.SetFnbLength(*c.fnbLength);
        disk.Write(folder.Path());
        EXPECT_EQ(ListSlots(folder.Path()), c.listed) << c.what;
    }
}

TEST(BinderFile, ProjectFieldsAndCaseChangedName)
{
    TempFolder folder;
    Disk disk;
    disk.SetNameCase(diskwriter::NameCase::Lower);
    disk.AddProject({.slot = 7, .number = 42, .name = "FourteenChars!", .rate = kRate48000, .wordLength = kWordLength24});
    disk.Write(folder.Path());
    CBinderFile binder(platform::JoinPath(folder.Path(), "FNB.BIN"));
    ASSERT_TRUE(binder.Exists());
    EXPECT_EQ(platform::NamePart(binder.GetPath()), "fnb.bin");
    ASSERT_TRUE(binder.OpenForRead());
    sobinder rec;
    ASSERT_TRUE(binder.ReadFirstSong(rec));
    EXPECT_EQ(std::string(rec.songName, kSongNameSize), "FourteenChars!");
    EXPECT_EQ(rec.projectNumber, 42);
    EXPECT_EQ(rec.sampleRate, kRate48000);
    EXPECT_EQ(rec.wordLength, kWordLength24);
    EXPECT_EQ(rec.slot, 7u);
    EXPECT_FALSE(binder.ReadNextSong(rec));

    CBinderFile missing(platform::JoinPath(folder.Path(), "NONE.BIN"));
    EXPECT_FALSE(missing.Exists());
    EXPECT_FALSE(missing.OpenForRead());
}

TEST(BinderFile, SegmentChainWalks)
{
    // The project's heads fill slots 2..11; the head of track 1, virtual track 1 is slot 4.
    constexpr std::uint16_t kHead = 4;
    struct Case {
        const char* what;
        std::vector<SegmentInfo> chain;
        std::optional<std::uint16_t> headLink;
        std::vector<std::uint16_t> walked;
    };
    const Case cases[] = {
        {"head links to itself", {}, {}, {}},
        {"only segment links to the head", {ChainSegment(20)}, {}, {20}},
        {"three segments, last links to itself", {ChainSegment(20), ChainSegment(30), ChainSegment(25)}, {}, {20, 30, 25}},
        {"first segment links to itself", {ChainSegment(20, 20)}, {}, {20}},
        {"later segment loops to a middle one", {ChainSegment(20), ChainSegment(30), ChainSegment(25, 30)}, {}, {20, 30, 25}},
        {"later segment loops to the head", {ChainSegment(20), ChainSegment(30, kHead)}, {}, {20, 30}},
        {"link beyond the end", {ChainSegment(20), ChainSegment(30, 5000)}, {}, {20, 30}},
        {"head links beyond the end", {ChainSegment(20)}, 5000, {}},
        {"head links to the header slot", {ChainSegment(20)}, 0, {0}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        Disk disk;
        auto& project = disk.AddProject(Small(2));
        for (const SegmentInfo& s : c.chain)
            project.AddSegment(s);
        if (c.headLink)
            project.SetHeadLink(1, 1, *c.headLink);
        disk.Write(folder.Path());
        EXPECT_EQ(ChainSlots(folder.Path(), project.Record()), c.walked) << c.what;
    }
}

TEST(BinderFile, ChainEndTellsALinkOutsideTheFileFromTheEnd)
{
    constexpr std::uint16_t kHead = 4;
    struct Case {
        const char* what;
        std::vector<SegmentInfo> chain;
        bool leftTheFile;
    };
    const Case cases[] = {
        {"last segment links to the head", {ChainSegment(20), ChainSegment(30)}, false},
        {"last segment links to itself", {ChainSegment(20), ChainSegment(30, 30)}, false},
        {"loop to a visited segment", {ChainSegment(20), ChainSegment(30, 20)}, false},
        {"link beyond the end", {ChainSegment(20), ChainSegment(30, 5000)}, true},
        {"link to the last slot, cut short by the file's end", {ChainSegment(20), ChainSegment(30, 31)}, true},
        {"loop back to the head after a link", {ChainSegment(20, kHead)}, false},
    };
    for (const Case& c : cases) {
        Disk disk;
        auto& project = disk.AddProject(Small(2));
        for (const SegmentInfo& s : c.chain)
            project.AddSegment(s);
        disk.SetFnbLength(31 * kSlotSize + kSlotSize / 2);
        testsupport::MemoryFileSystem files;
        testsupport::LoadDisk(disk, files, "/mo");
        CBinderFile binder("/mo/FNB.BIN", files);
        soentry seg;
        ASSERT_TRUE(binder.OpenForRead() && binder.ReadFirstSegment(project.Record(), 1, 1, seg)) << c.what;
        while (binder.ReadNextSegment(seg)) {
        }
        EXPECT_EQ(binder.LeftTheFile(), c.leftTheFile) << c.what;
    }
}

TEST(BinderFile, FirstSegmentCarriesTheHeadSlotLaterOnesTheirOwn)
{
    TempFolder folder;
    Disk disk;
    auto& project = disk.AddProject({.slot = 2, .number = 3});
    project.AddSegment({.track = 3, .virtualTrack = 2, .startGroup = 5, .lengthGroups = 6, .serial = 77, .slot = 200})
        .AddSegment({.track = 3, .virtualTrack = 2, .startGroup = 11, .slot = 150});
    disk.Write(folder.Path());
    CBinderFile binder(platform::JoinPath(folder.Path(), "FNB.BIN"));
    ASSERT_TRUE(binder.OpenForRead());
    soentry seg;
    ASSERT_TRUE(binder.ReadFirstSegment(project.Record(), 3, 2, seg));
    EXPECT_EQ(seg.slot, 2u + 8 * 2 + 3 - 7);
    EXPECT_EQ(seg.link, 150);
    EXPECT_EQ(seg.startGroup, 5u);
    EXPECT_EQ(seg.lengthGroups, 6u);
    EXPECT_EQ(seg.fileSerial, 77);
    ASSERT_TRUE(binder.ReadNextSegment(seg));
    EXPECT_EQ(seg.slot, 150u);
    EXPECT_FALSE(binder.ReadNextSegment(seg));
    EXPECT_FALSE(binder.ReadFirstSegment(project.Record(), 3, 1, seg));
}

TEST(BinderFile, LeadInRecords)
{
    TempFolder folder;
    std::vector<std::uint8_t> hfs(5 * kHfsRecordSize, 0xEE);
    // Record 3 (bytes 36..47): leadInGroups is the lower half of the record's word 1.
    hfs[36 + 4] = 0x02;
    hfs[36 + 5] = 0x01;
    hfs[36 + 6] = 0xAA;
    hfs[36 + 7] = 0xBB;
    testsupport::WriteBytes(folder.File("hfs.bin"), hfs);
    const std::string path = platform::JoinPath(folder.Path(), "HFS.BIN");
    struct Case {
        std::int16_t index;
        std::int16_t lead;
    };
    const Case cases[] = {{3, 0x0102}, {0, static_cast<std::int16_t>(0xEEEE)}, {5, 0}, {-1, 0}, {0x7FFF, 0}};
    for (const Case& c : cases) {
        soentry seg{};
        seg.hfsIndex = c.index;
        EXPECT_EQ(ReadLeadIn(path, seg), c.lead) << c.index;
    }
    soentry seg{};
    seg.hfsIndex = 3;
    EXPECT_EQ(ReadLeadIn(platform::JoinPath(folder.Path(), "NONE.BIN"), seg), 0);
}
