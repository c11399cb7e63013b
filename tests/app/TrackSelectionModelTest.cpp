#include "app/TrackSelectionModel.h"

#include "app/Document.h"

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

COVFtoWAVEDoc DocWithProject(bool chosen)
{
    COVFtoWAVEDoc doc;
    doc.m_strMoFolder = "/mo";
    doc.m_projectRecord.projectNumber = 3;
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
        EXPECT_EQ(selection.moFolder, "/mo") << c.name;
        EXPECT_EQ(selection.project.projectNumber, 3) << c.name;
        EXPECT_EQ(selection.virtualTracks, c.virtualTracks) << c.name;
        EXPECT_EQ(selection.stereo, c.stereo) << c.name;
        EXPECT_EQ(selection.fileType, c.fileType) << c.name;
    }
}
