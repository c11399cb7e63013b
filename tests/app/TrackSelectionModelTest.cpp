#include "app/TrackSelectionModel.h"

#include "app/Document.h"
#include "recorder/TrackFile.h"
#include "tests/support/TempFolder.h"
#include "tools/diskwriter/DiskWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// One character per track, '1' where `state` holds.
std::string PerTrack(const std::function<bool(std::size_t)>& state)
{
    std::string states;
    for (std::size_t k = 0; k < kTrackCount; ++k)
        states += state(k) ? '1' : '0';
    return states;
}

constexpr std::uint32_t kGroups = 4;
constexpr std::uint32_t kGapStart = 10;  // track 2 records again from this group on

// Project 3: every track on virtual track 1, track 2 twice with a gap; virtual
// tracks 2 to 8 empty but for track 3 on virtual track 2.
struct TestDisk {
    TestDisk()
    {
        diskwriter::Disk disk;
        auto& project = disk.AddProject({.slot = 2, .number = 3, .name = "Three"});
        std::uint16_t serial = 0;
        const auto add = [&](int track, int virtualTrack, std::uint32_t start) {
            project.AddSegment({.track = track, .virtualTrack = virtualTrack, .startGroup = start,
                                .lengthGroups = kGroups, .serial = serial++,
                                .samples = std::vector<std::int32_t>(kGroups * std::size_t{kSamplesPerGroup}, 1)});
        };
        for (int track = 1; track <= static_cast<int>(kTrackCount); ++track)
            add(track, 1, 0);
        add(2, 1, kGapStart);
        add(3, 2, 0);
        disk.Write(folder.Path());
        record = project.Record();
    }

    testsupport::TempFolder folder;
    sobinder record{};
};

COVFtoWAVEDoc DocWithProject(bool chosen)
{
    static const TestDisk disk;
    COVFtoWAVEDoc doc;
    doc.SetMoFolder(disk.folder.Path());
    doc.m_projectRecord = disk.record;
    doc.m_bProjectChosen = chosen;
    return doc;
}

// Clicks track `click` (from 1) as a check box does, or the chosen type again for 0.
void Click(CTrackSelectionModel& model, TrackType type, int click)
{
    if (click == 0) {
        model.ChooseType(type);
        return;
    }
    const auto index = static_cast<std::size_t>(click - 1);
    model.Tick(index, !model.Ticked(index));
}

}  // namespace

TEST(TrackSelectionModel, LimitRuleCountAndEnabledStates)
{
    struct Case {
        const char* name;
        bool project;
        TrackType type;
        std::vector<int> clicks;
        const char* tracks;
        const char* virtualTracks;
        int count;
        bool convert;
    };
    const Case cases[] = {
        {"no project locks everything", false, TrackType::Mono, {1}, "00000000", "00000000", 0, false},
        {"mono, all eight", true, TrackType::Mono, {1, 2, 3, 4, 5, 6, 7, 8}, "11111111", "11111111", 8, true},
        {"stereo, two lock the others", true, TrackType::Stereo, {2, 7}, "01000010", "01000010", 2, true},
        {"stereo, a third is refused", true, TrackType::Stereo, {2, 7, 3}, "01000010", "01000010", 2, true},
        {"stereo, untick one of two", true, TrackType::Stereo, {2, 7, 7}, "11111111", "01000000", 1, true},
        {"type clicked again unticks", true, TrackType::Stereo, {1, 5, 0}, "11111111", "00000000", 0, false},
    };
    for (const auto& c : cases) {
        const COVFtoWAVEDoc doc = DocWithProject(c.project);
        CTrackSelectionModel model(doc);
        model.ChooseType(c.type);
        for (const int click : c.clicks)
            Click(model, c.type, click);
        EXPECT_EQ(PerTrack([&](std::size_t k) { return model.TrackEnabled(k); }), c.tracks) << c.name;
        EXPECT_EQ(PerTrack([&](std::size_t k) { return model.VirtualTrackEnabled(k); }), c.virtualTracks) << c.name;
        EXPECT_EQ(model.Count(), c.count) << c.name;
        EXPECT_EQ(model.ConvertEnabled(), c.convert) << c.name;
        EXPECT_EQ(model.TypeEnabled(), c.project) << c.name;
        EXPECT_EQ(model.FileTypeEnabled(), c.project) << c.name;
    }
}

// Where each track and virtual track holds recordings, from the chains alone; a
// ticked track on an empty virtual track keeps Convert from starting, saying why.
TEST(TrackSelectionModel, KnowsWhereRecordingsLieAndRefusesAnEmptyChoice)
{
    const COVFtoWAVEDoc doc = DocWithProject(true);
    CTrackSelectionModel model(doc);
    const std::int64_t length = std::int64_t{kGroups} * kSamplesPerGroup;
    const std::int64_t gap = std::int64_t{kGapStart} * kSamplesPerGroup;
    EXPECT_EQ(model.Recorded(0, 1), (std::vector<TimeSpan>{{0, length}}));
    EXPECT_EQ(model.Recorded(1, 1), (std::vector<TimeSpan>{{0, length}, {gap, gap + length}}));
    EXPECT_TRUE(model.HoldsRecording(2, 2));
    EXPECT_FALSE(model.HoldsRecording(1, 2));
    EXPECT_EQ(model.TimelineEnd(), gap + length);

    model.Tick(0, true);
    model.Tick(1, true);
    model.ChooseVirtualTrack(1, 2);
    EXPECT_FALSE(model.ConvertEnabled());
    EXPECT_EQ(model.EmptyChoice(), "track 2 (virtual track 2) has no recording on this disk");
    model.ChooseVirtualTrack(1, 1);
    EXPECT_TRUE(model.ConvertEnabled());
    EXPECT_EQ(model.EmptyChoice(), std::nullopt);
    EXPECT_FALSE(CTrackSelectionModel(DocWithProject(false)).HoldsRecording(0, 1));
}

TEST(TrackSelectionModel, TrackTypeIsUnchosenUntilAProjectIsShown)
{
    COVFtoWAVEDoc doc = DocWithProject(false);
    CTrackSelectionModel model(doc);
    EXPECT_EQ(model.Type(), TrackType::Unchosen);
    model.Reset();
    EXPECT_EQ(model.Type(), TrackType::Mono);
    EXPECT_FALSE(model.ProjectChosen());
    doc.m_bProjectChosen = true;
    EXPECT_EQ(CTrackSelectionModel(doc).Type(), TrackType::Mono);
}

TEST(TrackSelectionModel, SelectionHoldsTheTickedTracksWithTheirVirtualTracks)
{
    struct Case {
        const char* name;
        std::function<void(CTrackSelectionModel&)> steps;
        std::array<int, kTrackCount> virtualTracks;
        bool stereo;
        std::string fileType;
    };
    const Case cases[] = {
        {"only ticked tracks",
         [](CTrackSelectionModel& m) {
             m.Tick(0, true);
             m.Tick(2, true);
             m.ChooseVirtualTrack(2, 2);
             m.ChooseVirtualTrack(4, 4);
             m.ChooseFileType("AIFF");
         },
         {1, 0, 2, 0, 0, 0, 0, 0}, false, "AIFF"},
        {"choices outlive a type click",
         [](CTrackSelectionModel& m) {
             m.ChooseVirtualTrack(0, 2);
             m.ChooseFileType("AIFF");
             m.ChooseType(TrackType::Stereo);
             m.Tick(0, true);
         },
         {2, 0, 0, 0, 0, 0, 0, 0}, true, "AIFF"},
        {"reset returns to the first virtual track and file type",
         [](CTrackSelectionModel& m) {
             m.ChooseVirtualTrack(1, 4);
             m.ChooseFileType("AIFF");
             m.ChooseType(TrackType::Stereo);
             m.Reset();
             m.Tick(1, true);
         },
         {0, 1, 0, 0, 0, 0, 0, 0}, false, "WAVE"},
    };
    const COVFtoWAVEDoc doc = DocWithProject(true);
    for (const auto& c : cases) {
        CTrackSelectionModel model(doc);
        c.steps(model);
        const ExportSelection selection = model.Selection();
        EXPECT_EQ(selection.moFolder, doc.m_strMoFolder) << c.name;
        EXPECT_EQ(selection.project.projectNumber, 3) << c.name;
        EXPECT_EQ(selection.virtualTracks, c.virtualTracks) << c.name;
        EXPECT_EQ(selection.stereo, c.stereo) << c.name;
        EXPECT_EQ(selection.fileType, c.fileType) << c.name;
    }
}
