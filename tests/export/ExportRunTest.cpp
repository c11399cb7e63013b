#include "app/RegUserData.h"
#include "export/ExportProgress.h"
#include "export/ExportRun.h"
#include "export/ProjectList.h"
#include "recorder/Track.h"
#include "tests/support/ScriptedUserInterface.h"
#include "tests/support/TempFolder.h"
#include "tools/diskwriter/DiskWriter.h"

#include "tests/support/MemoryDisk.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

using testsupport::ScriptedUserInterface;
using testsupport::TempFolder;
using testsupport::UiEvent;

TEST(ProjectList, GeneratedNamesFollowTheListPosition)
{
    TempFolder folder;
    diskwriter::Disk disk;
    disk.AddProject({.slot = 2, .number = 1, .name = "A", .virtualTracks = 1});
    disk.AddProject({.slot = 20, .number = 4, .name = "", .virtualTracks = 1});
    disk.AddProject({.slot = 40, .number = 6, .name = "C", .virtualTracks = 1});
    disk.Write(folder.Path());

    const ProjectListing listing = ReadProjectList(folder.File("FNB.BIN"));
    EXPECT_TRUE(listing.indexOpened);
    std::vector<std::string> lines;
    for (const auto& record : listing.records)
        lines.push_back(ProjectListLine(record));
    EXPECT_EQ(lines, (std::vector<std::string>{"01 : A", "04 : Project 2", "06 : C"}));
    EXPECT_EQ(listing.records[1].songName[9], '\0');
}

TEST(ProjectList, FourteenCharacterNamesHaveNoNul)
{
    sobinder record{};
    std::memcpy(record.songName, "FourteenChars!", kSongNameSize);
    record.projectNumber = 100;
    EXPECT_EQ(ProjectListLine(record), "100 : FourteenChars!");
}

TEST(ProjectList, IndexThatCannotBeOpenedOrHoldsNoProject)
{
    TempFolder folder;
    EXPECT_FALSE(ReadProjectList(folder.File("FNB.BIN")).indexOpened);
    testsupport::WriteBytes(folder.File("fnb.bin"), std::vector<std::uint8_t>(64, 0));
    const ProjectListing listing = ReadProjectList(folder.File("FNB.BIN"));
    EXPECT_TRUE(listing.indexOpened);
    EXPECT_TRUE(listing.records.empty());
}

TEST(ProjectList, DisplayTexts)
{
    struct Case {
        std::uint8_t code;
        const char* rate;
        const char* bits;
    };
    const Case cases[] = {
        {0, "Unknown", "16bit"}, {1, "32.0KHz", "20bit"}, {2, "44.1KHz", "24bit"},
        {3, "48.0KHz", "16bit"}, {5, "Unknown", "16bit"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SampleRateText(c.code), c.rate) << int(c.code);
        EXPECT_EQ(BitsText(c.code), c.bits) << int(c.code);
    }
}

namespace {

struct ExportRig {
    ExportRig()
    {
        diskwriter::Disk disk;
        auto& project = disk.AddProject({.slot = 2, .number = 5, .name = "Demo", .virtualTracks = 2});
        project.AddSegment({.track = 2, .startGroup = 0, .lengthGroups = 4, .samples = std::vector<std::int32_t>(32, 7)});
        project.AddSegment({.track = 7, .virtualTrack = 2, .lengthGroups = 2, .samples = std::vector<std::int32_t>(16, 9)});
        disk.Write(diskFolder.Path());
        selection.moFolder = diskFolder.Path();
        selection.project = testsupport::ListedProject(platform::RealFileSystem(), diskFolder.Path(), 5);
    }

    TempFolder diskFolder;
    TempFolder outFolder;
    ScriptedUserInterface ui;
    CNoUserData settings;
    ExportSelection selection;
};

}  // namespace

TEST(ExportFromPage, OpensTheTicksInTrackOrderAndReportsSuccess)
{
    ExportRig rig;
    rig.selection.virtualTracks[6] = 2;
    rig.selection.virtualTracks[1] = 1;
    rig.ui.dialogAnswers.push_back(rig.outFolder.File("Take.wav"));

    EXPECT_TRUE(RunExport(rig.ui, rig.settings, rig.selection));
    EXPECT_TRUE(std::filesystem::exists(rig.outFolder.File("Take21.wav")));
    EXPECT_TRUE(std::filesystem::exists(rig.outFolder.File("Take72.wav")));
    EXPECT_EQ(rig.ui.Messages(), (std::vector<std::string>{"Convert succeeded."}));
    EXPECT_EQ(rig.ui.events.back().icon, platform::MessageIcon::Information);

    // The track check: its own window with its text, one step for each of the eight
    // tracks, gone before the save dialog opens.
    std::vector<UiEvent::Kind> kinds;
    for (const auto& event : rig.ui.events)
        kinds.push_back(event.kind);
    const std::vector<UiEvent::Kind> start = {UiEvent::Kind::WaitBegin, UiEvent::Kind::ProgressCreated,
                                              UiEvent::Kind::ProgressText, UiEvent::Kind::ProgressShown};
    ASSERT_GT(kinds.size(), 13u);
    EXPECT_EQ(std::vector<UiEvent::Kind>(kinds.begin(), kinds.begin() + 4), start);
    EXPECT_EQ(rig.ui.events[2].text, "Track check...");
    EXPECT_EQ(std::vector<UiEvent::Kind>(kinds.begin() + 4, kinds.begin() + 12),
              std::vector<UiEvent::Kind>(8, UiEvent::Kind::ProgressStep));
    EXPECT_EQ(kinds[12], UiEvent::Kind::ProgressDestroyed);
    EXPECT_EQ(kinds[13], UiEvent::Kind::FileDialog);
}

TEST(ExportFromPage, FailuresShowConvertFailed)
{
    struct Case {
        const char* what;
        int track;  // index of the ticked track
        int virtualTrack;
        bool cancel;
        const char* type;
    };
    const Case cases[] = {
        {"a track without recording", 0, 1, false, "WAVE"},
        {"a virtual track without recording", 1, 2, false, "WAVE"},
        {"the save dialog cancelled", 1, 1, true, "WAVE"},
        {"an unknown type name", 1, 1, false, "wave"},
    };
    for (const auto& c : cases) {
        ExportRig rig;
        rig.selection.virtualTracks[static_cast<std::size_t>(c.track)] = c.virtualTrack;
        rig.selection.fileType = c.type;
        if (c.cancel)
            rig.ui.dialogAnswers.push_back(std::nullopt);
        else
            rig.ui.dialogAnswers.push_back(rig.outFolder.File("Take.wav"));
        EXPECT_FALSE(RunExport(rig.ui, rig.settings, rig.selection)) << c.what;
        // A cancelled dialog ends the run without a message.
        EXPECT_EQ(rig.ui.Messages(), c.cancel ? std::vector<std::string>{} : std::vector<std::string>{"Convert failed."})
            << c.what;
        EXPECT_EQ(rig.ui.Count(UiEvent::Kind::WaitBegin), rig.ui.Count(UiEvent::Kind::WaitEnd)) << c.what;
        EXPECT_EQ(rig.ui.Count(UiEvent::Kind::ProgressCreated), rig.ui.Count(UiEvent::Kind::ProgressDestroyed))
            << c.what;
        EXPECT_TRUE(std::filesystem::is_empty(rig.outFolder.Path())) << c.what;
    }
}

TEST(ExportProgress, FrameTotalCountsWholeChunksUpToTheLongestTrackAndTheSilentOne)
{
    constexpr std::uint64_t kChunk = kExportChunkFrames;
    constexpr std::uint32_t kGroupsPerChunk = kExportChunkFrames / 8;
    struct Case {
        const char* what;
        std::vector<std::uint32_t> endGroups;  // where each track's only segment ends
        std::uint64_t mono;
        std::uint64_t stereo;
    };
    const Case cases[] = {
        {"one group", {1}, 2 * kChunk, 2 * kChunk},
        {"exactly one chunk", {kGroupsPerChunk}, 2 * kChunk, 2 * kChunk},
        {"one group into the second chunk", {kGroupsPerChunk + 1}, 3 * kChunk, 3 * kChunk},
        {"the longer track decides a shared file", {1, kGroupsPerChunk + 1}, 2 * kChunk + 3 * kChunk, 3 * kChunk},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        diskwriter::Disk disk;
        auto& project = disk.AddProject({.slot = 2, .number = 5, .virtualTracks = 1});
        for (std::size_t i = 0; i < c.endGroups.size(); ++i) {
            // A one-group segment at the end: the silence before it counts as the track.
            project.AddSegment({.track = static_cast<int>(i) + 1, .startGroup = c.endGroups[i] - 1, .lengthGroups = 1,
                                .serial = static_cast<std::uint16_t>(i), .samples = std::vector<std::int32_t>(8, 1)});
        }
        disk.Write(folder.Path());
        std::vector<std::unique_ptr<CTrack>> owned;
        std::vector<CTrack*> tracks;
        for (std::size_t i = 0; i < c.endGroups.size(); ++i) {
            owned.push_back(std::make_unique<CTrack>(folder.Path(), project.Record(), static_cast<int>(i) + 1, 1));
            ASSERT_EQ(owned.back()->Open(), std::nullopt) << c.what;
            tracks.push_back(owned.back().get());
        }
        const int count = static_cast<int>(tracks.size());
        EXPECT_EQ(ExportFrameTotal(tracks.data(), count, OutputLayout::FilePerTrack), c.mono) << c.what;
        EXPECT_EQ(ExportFrameTotal(tracks.data(), count, OutputLayout::OneFile), c.stereo) << c.what;
    }
}
