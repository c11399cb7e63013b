#include "recorder/Track.h"

#include "tests/support/MemoryFileSystem.h"
#include "recorder/BinderFile.h"
#include "tests/support/MemoryDisk.h"
#include "tests/support/TempFolder.h"
#include "tools/diskwriter/DiskWriter.h"

#include <gtest/gtest.h>

#include <vector>

using diskwriter::Disk;
using diskwriter::SegmentInfo;
using testsupport::TempFolder;

namespace {

constexpr std::int32_t kValueRange = 30000;

// Sample k of the data file with `serial`: non-zero and telling files apart.
std::int32_t V(std::uint16_t serial, std::int64_t k)
{
    return static_cast<std::int32_t>((serial * 7919 + k) % kValueRange + 1);
}

std::vector<std::int32_t> FileSamples(std::uint16_t serial, std::int64_t count)
{
    std::vector<std::int32_t> samples(static_cast<std::size_t>(count));
    for (std::int64_t k = 0; k < count; ++k)
        samples[static_cast<std::size_t>(k)] = V(serial, k);
    return samples;
}

SegmentInfo Seg(std::uint32_t start, std::uint32_t length, std::uint16_t serial, std::int64_t fileSamples,
                std::int16_t leadIn = 0)
{
    return {.startGroup = start, .lengthGroups = length, .leadIn = leadIn, .serial = serial,
            .samples = FileSamples(serial, fileSamples)};
}

// What one ReadSample call at `position` must give (16-bit project: value 0 is silence).
struct Spot {
    std::int64_t position;
    bool ok;
    std::int32_t value;
};

struct Pulled {
    bool ok;
    std::int32_t value;
};

std::vector<Pulled> Pull(CTrack& track, std::int64_t count)
{
    std::vector<Pulled> pulled;
    for (std::int64_t i = 0; i < count; ++i) {
        // Room for the widest sample; a 16-bit track must leave the third byte alone.
        std::uint8_t sample[3] = {0xAA, 0xAA, 0xAA};
        const bool ok = track.ReadSample(sample);
        EXPECT_EQ(sample[2], 0xAA);
        pulled.push_back({ok, static_cast<std::int16_t>(sample[0] << 8 | sample[1])});
    }
    return pulled;
}

struct Timeline {
    const char* what;
    std::vector<SegmentInfo> segments;
    std::vector<Spot> spots;
    std::int64_t endAfterOpen;
    std::int64_t endAfterReading;
    bool omitHfs = false;
};

// Writes the segments as track 1, virtual track 1 of one project and checks the spots
// and the end positions.
void CheckTimeline(const Timeline& c)
{
    TempFolder folder;
    Disk disk;
    auto& project = disk.AddProject({.slot = 2, .number = 5, .wordLength = kWordLength16});
    for (const SegmentInfo& s : c.segments)
        project.AddSegment(s);
    if (c.omitHfs)
        disk.OmitHfs();
    disk.Write(folder.Path());
    CTrack track(folder.Path(), project.Record(), 1, 1);
    ASSERT_EQ(track.Open(), std::nullopt) << c.what;
    EXPECT_EQ(track.GetBytesPerSample(), 2) << c.what;
    EXPECT_EQ(track.GetEndPosition(), static_cast<std::uint64_t>(c.endAfterOpen)) << c.what;
    const auto pulled = Pull(track, c.spots.back().position + 1);
    for (const Spot& spot : c.spots) {
        const Pulled& got = pulled[static_cast<std::size_t>(spot.position)];
        EXPECT_EQ(got.ok, spot.ok) << c.what << " at " << spot.position;
        EXPECT_EQ(got.value, spot.value) << c.what << " at " << spot.position;
    }
    if (!c.spots.back().ok) {
        EXPECT_EQ(track.GetEndPosition(), static_cast<std::uint64_t>(c.endAfterReading)) << c.what;
    }
    track.Close();
}

}  // namespace

TEST(Track, Timelines)
{
    SegmentInfo missing = Seg(1, 1, 2, 8);
    missing.missingFile = true;
    SegmentInfo cut = Seg(0, 100, 1, 800);
    cut.fileBytes = 1000;  // 500 samples, the rest of the block is missing
    SegmentInfo negativeIndex = Seg(10, 1, 1, 16, 2);
    negativeIndex.hfsIndex = -1;
    const Timeline cases[] = {
        {"start 10, lead-in 0", {Seg(10, 4, 1, 32)},
         {{0, true, 0}, {79, true, 0}, {80, true, V(1, 0)}, {111, true, V(1, 31)}, {112, false, 0}, {113, false, 0}},
         112, 112},
        {"start 10, lead-in 2", {Seg(10, 4, 1, 64, 2)},
         {{63, true, 0}, {64, true, V(1, 0)}, {111, true, V(1, 47)}, {112, false, 0}}, 112, 112},
        {"lead-in larger than the start skips what falls before 0", {Seg(1, 4, 1, 64, 3)},
         {{0, true, V(1, 16)}, {39, true, V(1, 55)}, {40, false, 0}}, 40, 40},
        {"gap between two segments", {Seg(0, 1, 1, 8), Seg(4, 1, 2, 8)},
         {{7, true, V(1, 7)}, {8, true, 0}, {31, true, 0}, {32, true, V(2, 0)}, {39, true, V(2, 7)}, {40, false, 0}},
         40, 40},
        {"length 1 gives exactly one group", {Seg(0, 1, 1, 100), Seg(1, 1, 2, 8)},
         {{7, true, V(1, 7)}, {8, true, V(2, 0)}, {16, false, 0}}, 16, 16},
        {"length 0 delivers nothing", {Seg(10, 0, 1, 100), Seg(20, 1, 2, 8)},
         {{79, true, 0}, {80, true, 0}, {159, true, 0}, {160, true, V(2, 0)}, {168, false, 0}}, 168, 168},
        {"only a length-0 segment", {Seg(10, 0, 1, 100)}, {{0, false, 0}, {1, false, 0}}, 0, 0},
        {"segment out of time order is passed over", {Seg(10, 2, 1, 16), Seg(0, 4, 2, 32), Seg(20, 1, 3, 8)},
         {{95, true, V(1, 15)}, {96, true, 0}, {160, true, V(3, 0)}, {168, false, 0}}, 168, 168},
        {"lead-in reaching into the previous segment", {Seg(0, 2, 1, 16), Seg(2, 2, 2, 32, 1)},
         {{15, true, V(1, 15)}, {16, true, V(2, 8)}, {31, true, V(2, 23)}, {32, false, 0}}, 32, 32},
        {"short last block gives zeros up to the segment's end", {cut},
         {{499, true, V(1, 499)}, {500, true, 0}, {799, true, 0}, {800, false, 0}}, 800, 800},
        {"data file ends a block early", {Seg(0, 10000, 1, 65536)},
         {{65535, true, V(1, 65535)}, {65536, false, 0}, {65537, false, 0}}, 80000, 65536},
        {"next data file missing: the last sample comes with false", {Seg(0, 1, 1, 8), missing},
         {{6, true, V(1, 6)}, {7, false, V(1, 7)}, {8, false, 0}}, 16, 8},
        {"missing HFS.BIN is a lead-in of 0", {Seg(10, 1, 1, 16, 2)}, {{79, true, 0}, {80, true, V(1, 0)}}, 88, 88,
         true},
        {"negative lead-in record index is a lead-in of 0", {negativeIndex}, {{80, true, V(1, 0)}}, 88, 88},
        // 0x20000001 groups are 0x100000008 samples: 32-bit positions would start the data at 8.
        {"huge start stays far away", {Seg(0x20000001, 1, 1, 8)}, {{8, true, 0}, {9, true, 0}}, 0x100000010, 0},
    };
    for (const Timeline& c : cases)
        CheckTimeline(c);
}

TEST(Track, SecondBlockStartsOneBlockOfSamplesAfterTheSegmentsFirst)
{
    // Start 10 with lead-in 2: the data begins at position 64; block 2 of the file
    // begins a block's worth of samples later, for every word length.
    constexpr std::uint32_t kStart = 10;
    constexpr std::int16_t kLeadIn = 2;
    constexpr std::int64_t kSegFirst = (kStart - kLeadIn) * 8;
    struct Case {
        std::uint8_t wordLength;
        std::int64_t samplesPerBlock;
    };
    for (const Case& c : {Case{kWordLength16, 65536}, Case{kWordLength20, 52424}, Case{kWordLength24, 43688}}) {
        auto value = [](std::uint64_t i) { return static_cast<std::int32_t>(i % 4093 * 7 + 1); };
        TempFolder folder;
        Disk disk;
        auto& project = disk.AddProject({.slot = 2, .number = 5, .wordLength = c.wordLength});
        project.AddSegment({.startGroup = kStart,
                            .lengthGroups = static_cast<std::uint32_t>(c.samplesPerBlock / 8 + 1),
                            .leadIn = kLeadIn,
                            .serial = 1,
                            .generator = value,
                            .generatedSamples = static_cast<std::uint64_t>(c.samplesPerBlock + 8)});
        disk.Write(folder.Path());
        CTrack track(folder.Path(), project.Record(), 1, 1);
        ASSERT_EQ(track.Open(), std::nullopt);
        std::vector<std::uint8_t> got(static_cast<std::size_t>(track.GetBytesPerSample()));
        for (std::int64_t p = 0; p <= kSegFirst + c.samplesPerBlock; ++p) {
            ASSERT_TRUE(track.ReadSample(got.data()));
            const std::int64_t k = p - kSegFirst;
            if (k == c.samplesPerBlock - 1 || k == c.samplesPerBlock) {
                EXPECT_EQ(got, diskwriter::DecodedSample(value(static_cast<std::uint64_t>(k)), c.wordLength))
                    << int{c.wordLength} << " at data sample " << k;
            }
        }
    }
}

TEST(Track, DamagedChainsEnd)
{
    // Segments at explicit slots (the project's heads fill slots 2..65).
    auto at = [](SegmentInfo s, std::uint16_t slot, std::optional<std::uint16_t> link) {
        s.slot = slot;
        s.link = link;
        return s;
    };
    const Timeline cases[] = {
        {"loop back to the first segment", {at(Seg(0, 1, 1, 8), 100, {}), at(Seg(1, 1, 2, 8), 101, 100)},
         {{15, true, V(2, 7)}, {16, false, 0}}, 16, 16},
        {"first segment links to itself", {at(Seg(0, 1, 1, 8), 100, 100)}, {{7, true, V(1, 7)}, {8, false, 0}}, 8, 8},
        {"loop back to a middle segment",
         {at(Seg(0, 1, 1, 8), 100, {}), at(Seg(1, 1, 2, 8), 101, {}), at(Seg(2, 1, 3, 8), 102, 101)},
         {{23, true, V(3, 7)}, {24, false, 0}}, 24, 24},
    };
    for (const Timeline& c : cases)
        CheckTimeline(c);
}

TEST(Track, OpenFailures)
{
    struct Case {
        const char* what;
        std::uint16_t number;
        std::uint8_t wordLength;
        bool recorded;
        bool fileMissing;
        bool indexMissing;
    };
    const Case cases[] = {
        {"head links to itself", 5, kWordLength16, false, false, false},
        {"first data file missing", 5, kWordLength16, true, true, false},
        {"data file name refused", 100, kWordLength16, true, false, false},
        {"unknown word length", 5, 3, true, false, false},
        {"no FNB.BIN", 5, kWordLength16, true, false, true},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        Disk disk;
        auto& project = disk.AddProject({.slot = 2, .number = c.number, .wordLength = c.wordLength});
        if (c.recorded) {
            SegmentInfo s = Seg(0, 1, 1, 8);
            s.missingFile = c.fileMissing;
            project.AddSegment(s);
        }
        if (!c.indexMissing)
            disk.Write(folder.Path());
        CTrack track(folder.Path(), project.Record(), 1, 1);
        EXPECT_NE(track.Open(), std::nullopt) << c.what;
        std::uint8_t sample[3] = {0xAA, 0xAA, 0xAA};
        EXPECT_FALSE(track.ReadSample(sample)) << c.what;
        track.Close();
    }
}

TEST(Track, RoundTripThroughTheDiskWriter)
{
    // Two segments per track with a gap, read on a case-changed disk; every sample of
    // every block must come back in its decoded form.
    struct Case {
        std::uint8_t wordLength;
        std::int32_t top;
        int bytes;
    };
    const Case cases[] = {{kWordLength16, 32767, 2}, {kWordLength20, 524287, 3}, {kWordLength24, 8388607, 3}};
    for (const Case& c : cases) {
        const std::int64_t count = 150000;  // two blocks and part of a third for every width
        auto sample = [&c](std::uint64_t i) {
            return static_cast<std::int32_t>(i * 2654435761u % (2u * static_cast<std::uint32_t>(c.top) + 1)) - c.top;
        };
        const auto groups = static_cast<std::uint32_t>(count / 8);
        TempFolder folder;
        Disk disk;
        disk.SetNameCase(diskwriter::NameCase::Upper);
        auto& project = disk.AddProject({.slot = 9, .number = 7, .wordLength = c.wordLength});
        project.AddSegment({.track = 4, .virtualTrack = 3, .startGroup = 0, .lengthGroups = groups, .serial = 1,
                            .generator = sample, .generatedSamples = static_cast<std::uint64_t>(count)});
        project.AddSegment({.track = 4, .virtualTrack = 3, .startGroup = groups + 2, .lengthGroups = 1, .serial = 2,
                            .samples = {c.top, -c.top - 1, 1, -1, 0, 2, -2, c.top}});
        disk.Write(folder.Path());

        CTrack track(folder.Path(), project.Record(), 4, 3);
        ASSERT_EQ(track.Open(), std::nullopt);
        ASSERT_EQ(track.GetBytesPerSample(), c.bytes);
        EXPECT_EQ(track.GetTrack(), 4);
        EXPECT_EQ(track.GetVirtualTrack(), 3);
        const std::vector<std::int32_t> tail{c.top, -c.top - 1, 1, -1, 0, 2, -2, c.top};
        std::vector<std::uint8_t> got(static_cast<std::size_t>(c.bytes));
        for (std::int64_t p = 0; p < count + 24; ++p) {
            ASSERT_TRUE(track.ReadSample(got.data())) << p;
            const std::int32_t value = p < count ? sample(static_cast<std::uint64_t>(p))
                                       : p >= count + 16 ? tail[static_cast<std::size_t>(p - count - 16)]
                                                         : 0;
            ASSERT_EQ(got, diskwriter::DecodedSample(value, c.wordLength)) << int{c.wordLength} << " at " << p;
        }
        EXPECT_FALSE(track.ReadSample(got.data()));
        EXPECT_EQ(got, std::vector<std::uint8_t>(static_cast<std::size_t>(c.bytes), 0));
        EXPECT_EQ(track.GetEndPosition(), static_cast<std::uint64_t>(count + 24));
    }
}

// Bulk reads must give exactly what the same number of single reads gives: the
// bytes, the OR of the results and the position afterwards, across gaps, lead-ins,
// block edges, a data file that ends early and the end of the track.
TEST(Track, BulkReadsEqualSingleReads)
{
    TempFolder folder;
    Disk disk;
    auto& project = disk.AddProject({.slot = 2, .number = 1, .wordLength = kWordLength20, .virtualTracks = 1});
    project.AddSegment(Seg(10, 7000, 0, 7002 * 8, 2));         // crosses a 20-bit block edge
    project.AddSegment(Seg(9000, 3, 1, 3 * 8));                // after a gap
    SegmentInfo cut = Seg(9010, 7000, 2, 7000 * 8);
    cut.fileBytes = 131072 + 500;                              // ends inside block 2
    project.AddSegment(cut);
    disk.Write(folder.Path());

    constexpr std::size_t kWidth = 3;
    constexpr std::size_t kTotal = 200000;
    for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{10240}}) {
        for (const std::size_t channels : {std::size_t{1}, std::size_t{2}}) {
            CTrack single(folder.Path(), project.Record(), 1, 1);
            CTrack bulk(folder.Path(), project.Record(), 1, 1);
            ASSERT_EQ(single.Open(), std::nullopt);
            ASSERT_EQ(bulk.Open(), std::nullopt);
            std::vector<std::uint8_t> expected(chunk * kWidth * channels, 0xEE);
            std::vector<std::uint8_t> got(chunk * kWidth * channels, 0xEE);
            for (std::size_t done = 0; done < kTotal; done += chunk) {
                bool any = false;
                for (std::size_t i = 0; i < chunk; ++i)
                    any |= single.ReadSample(expected.data() + i * kWidth * channels);
                ASSERT_EQ(bulk.ReadSamples(got.data(), chunk, kWidth * channels), any) << chunk << " at " << done;
                ASSERT_EQ(got, expected) << chunk << " at " << done;
            }
        }
    }
}

// The whole read side works on a disk held in memory: the project list, the chain,
// the lead-in table and the data files, in the letter case a mounted disk may show.
TEST(Track, ReadsADiskHeldInMemory)
{
    Disk disk;
    disk.SetNameCase(diskwriter::NameCase::Lower);
    disk.AddProject({.slot = 2, .number = 3, .name = "First", .virtualTracks = 1});
    auto& project = disk.AddProject({.slot = 40, .number = 7, .name = "Second", .wordLength = kWordLength24});
    project.AddSegment({.track = 2, .virtualTrack = 5, .startGroup = 10, .lengthGroups = 2, .leadIn = 1, .serial = 4,
                        .samples = FileSamples(4, 24)});
    testsupport::MemoryFileSystem files;
    testsupport::LoadDisk(disk, files, "/mo");

    CBinderFile binder("/mo/FNB.BIN", files);
    ASSERT_TRUE(binder.OpenForRead());
    std::vector<std::uint16_t> numbers;
    sobinder record{};
    for (bool more = binder.ReadFirstSong(record); more; more = binder.ReadNextSong(record))
        numbers.push_back(record.projectNumber);
    EXPECT_EQ(numbers, (std::vector<std::uint16_t>{3, 7}));

    CTrack track("/mo", project.Record(), 2, 5, files);
    ASSERT_EQ(track.Open(), std::nullopt);
    EXPECT_TRUE(track.HasLeadInTable());
    EXPECT_EQ(track.GetEndPosition(), 96u);
    std::vector<std::uint8_t> got(3);
    for (std::int64_t p = 0; p < 96; ++p) {
        ASSERT_TRUE(track.ReadSample(got.data())) << p;
        const std::int32_t value = p < 72 ? 0 : V(4, p - 72);  // data from (10 - 1) * 8
        ASSERT_EQ(got, diskwriter::DecodedSample(value, kWordLength24)) << p;
    }
    EXPECT_FALSE(track.ReadSample(got.data()));
    EXPECT_FALSE(track.GetEndWarning());
}

// The time line before the first recording and between two is measured from the chain
// alone: a track whose file would hold more than an hour of it warns when it opens.
TEST(Track, WarnsOfMoreThanAnHourOfSilenceBeforeOrBetweenItsRecordings)
{
    constexpr std::uint32_t kHourGroups = 3600 * 44100 / 8;
    constexpr std::uint32_t kTwelveSecondGroups = 12 * 44100 / 8;
    constexpr std::uint8_t kNoRate = 9;
    struct Case {
        const char* what;
        std::vector<SegmentInfo> segments;
        std::uint8_t rate;
        std::string detail;  // empty: no warning
    };
    const Case cases[] = {
        {"a damaged start", {Seg(0x08000000, 2, 0, 16)}, kRate44100, "6:45:47 from 0:00:00"},
        {"exactly an hour before", {Seg(kHourGroups, 2, 0, 16)}, kRate44100, ""},
        {"the longer of two", {Seg(kHourGroups + 1, kTwelveSecondGroups, 0, 16),
                               Seg(3 * kHourGroups + 1 + kTwelveSecondGroups, 2, 1, 16)},
         kRate44100, "2:00:00 from 1:00:12"},
        {"no defined rate", {Seg(0x08000000, 2, 0, 16)}, kNoRate, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Disk disk;
        auto& project = disk.AddProject({.slot = 2, .number = 1, .rate = c.rate, .virtualTracks = 1});
        for (const auto& segment : c.segments)
            project.AddSegment(segment);
        testsupport::MemoryFileSystem files;
        testsupport::LoadDisk(disk, files, "/mo");
        CTrack track("/mo", project.Record(), 1, 1, files);
        ASSERT_EQ(track.Open(), std::nullopt);
        const auto warnings = track.GetWarnings();
        if (c.detail.empty()) {
            EXPECT_TRUE(warnings.empty());
            continue;
        }
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_EQ(warnings[0].kind, WarningKind::LongSilence);
        EXPECT_EQ(warnings[0].subject, "track 1 (virtual track 1)");
        EXPECT_EQ(warnings[0].detail, c.detail);
    }
}
