// Where unreadable bytes of a data file leave its track silent: whole groups of eight
// samples, block by block, the spare bytes at a block's end holding none; and the
// decode reads those groups as zeros without touching the bytes.

#include "archive/LostSamples.h"
#include "tests/support/MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using archive::UnreadableRange;

constexpr std::uint64_t kBlock = kRecorderBlockSize;
constexpr const char* kDataFile = "8b320100.001";

struct Case {
    const char* what;
    std::uint8_t wordLength;
    UnreadableRange lost;
    std::uint64_t firstSilent;  // on the time line of a segment starting at 0
    std::uint64_t silentSamples;
    std::uint64_t zeroFrom;  // the bytes the decode reads as zeros
    std::uint64_t zeroTo;
};

// 16 bit: 16-byte groups fill a block. 20 bit: 20-byte groups, 12 spare bytes per
// block (6553 groups). 24 bit: 24-byte groups, 8 spare bytes (5461 groups).
const Case kCases[] = {
    {"16 bit, one piece", kWordLength16, {4096, 4096, 4}, 2048, 2048, 4096, 8192},
    {"24 bit, inside two groups", kWordLength24, {100, 30, 4}, 32, 16, 96, 144},
    {"20 bit, spare bytes only", kWordLength20, {kBlock - 8, 8, 4}, 0, 0, kBlock - 8, kBlock},
    {"20 bit, from spare bytes into the next block", kWordLength20, {kBlock - 2, 10, 4}, 52424, 8, kBlock - 2,
     kBlock + 20},
};

archive::TrackFacts TrackOfOneSegment()
{
    archive::TrackFacts track;
    track.track = 1;
    track.virtualTrack = 1;
    track.description = "track 1 (virtual track 1)";
    // In upper case: FNB.BIN's spelling need not be the disk's.
    track.segments.push_back({0, 100000, 0, "8B320100.001", true});
    return track;
}

TEST(LostSamples, SilencesTheWholeGroupsAnUnreadableRangeTouches)
{
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        const archive::DamageMap damage = {{kDataFile, {c.lost}}};
        const auto spans = archive::SilentSpans(TrackOfOneSegment(), LayoutOf(c.wordLength), damage);
        if (c.silentSamples == 0) {
            EXPECT_TRUE(spans.empty());
        } else {
            ASSERT_EQ(spans.size(), 1u);
            EXPECT_EQ(spans[0], (archive::SilentSpan{c.firstSilent, c.silentSamples, kDataFile, c.lost}));
        }

        archive::DiskSurvey survey;
        auto& project = survey.projects.emplace_back();
        project.format = FormatOfCodes(kRate44100, c.wordLength);
        project.tracks.push_back(TrackOfOneSegment());
        testsupport::MemoryFileSystem memory;
        memory.AddFolder("/d");
        memory.AddFile("/d/" + std::string(kDataFile), std::vector<std::uint8_t>(2 * kBlock, 0xAA));
        archive::SilencedReads reads(memory, archive::SilencedBytes(survey, damage));
        std::vector<std::uint8_t> bytes(2 * kBlock);
        ASSERT_TRUE(reads.OpenRead("/d/" + std::string(kDataFile))->ReadExactly(0, bytes.data(), bytes.size()));
        const auto zero = [&](std::uint64_t at) { return bytes[at] == 0; };
        EXPECT_FALSE(zero(c.zeroFrom - 1));
        EXPECT_TRUE(zero(c.zeroFrom) && zero(c.zeroTo - 1));
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), static_cast<std::ptrdiff_t>(c.zeroTo - c.zeroFrom));
    }
}

// A span names its track, its time to the millisecond and the bytes it comes from.
TEST(LostSamples, SilenceWarningNamesTrackTimeAndBytes)
{
    const archive::SilentSpan span{44100, 2205, kDataFile, {4096, 4096, 4}};
    EXPECT_EQ(Explain(archive::SilenceWarning(TrackOfOneSegment(), span, 44100)),
              "track 1 (virtual track 1) is silent at 0:00:01.000-0:00:01.049 (8b320100.001 bytes 4096-8191), "
              "which could not be read from the disk");
}

}  // namespace
