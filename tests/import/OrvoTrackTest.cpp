#include "import/PCAiffFile.h"
#include "import/PCWaveFile.h"
#include "import/OrvoTrack.h"

#include <gtest/gtest.h>


TEST(OrvoTrack, SelectsTheReaderByTheNameEnding)
{
    struct Case {
        std::string path;
        SoundFileKind kind;
    };
    const Case cases[] = {
        {"/in/take.wav", SoundFileKind::Wave},   {"/in/TAKE.WAV", SoundFileKind::Wave},
        {"take.Wav", SoundFileKind::Wave},       {".wav", SoundFileKind::Wave},
        {"/in/take.aif", SoundFileKind::Aiff},   {"take.AIF", SoundFileKind::Aiff},
        {"take.aiff", SoundFileKind::Aiff},      {"take.wave", SoundFileKind::None},
        {"/in/TAKE.AIFF", SoundFileKind::Aiff},  {"take.aifc", SoundFileKind::Aiff},
        {"take.AiFc", SoundFileKind::Aiff},      {"take.aifx", SoundFileKind::None},
        {"take.aiffc", SoundFileKind::None},     {"aiff", SoundFileKind::None},
        {"take.mp3", SoundFileKind::None},       {"wav", SoundFileKind::None},
        {"", SoundFileKind::None},               {"/in/take.wav/", SoundFileKind::None},
    };
    for (const auto& c : cases) {
        COrvoTrack slot;
        EXPECT_EQ(ImportKindOf(c.path), c.kind) << c.path;
        EXPECT_EQ(slot.SelectReader(c.path), c.kind != SoundFileKind::None) << c.path;
        EXPECT_EQ(dynamic_cast<CPCWaveFile*>(slot.GetReader()) != nullptr, c.kind == SoundFileKind::Wave) << c.path;
        EXPECT_EQ(dynamic_cast<CPCAiffFile*>(slot.GetReader()) != nullptr, c.kind == SoundFileKind::Aiff) << c.path;
    }
}

TEST(OrvoTrack, ForwardsToItsReaderAndDropsIt)
{
    COrvoTrack slot;
    EXPECT_EQ(slot.GetSourcePath(), "");
    EXPECT_TRUE(slot.ReadSourceHeader("/in/take.wav"));
    slot.SetSourcePath("/in/take.wav");  // no reader: nothing to remember it
    EXPECT_EQ(slot.GetSourcePath(), "");

    ASSERT_TRUE(slot.SelectReader("/in/take.wav"));
    slot.SetSourcePath("/in/take.wav");
    EXPECT_EQ(slot.GetSourcePath(), "/in/take.wav");

    // A new selection replaces the reader and forgets the path; a failed one leaves none.
    ASSERT_TRUE(slot.SelectReader("/in/take.aif"));
    EXPECT_EQ(slot.GetSourcePath(), "");
    EXPECT_FALSE(slot.SelectReader("/in/take.mp3"));
    EXPECT_EQ(slot.GetReader(), nullptr);
    EXPECT_EQ(slot.GetSourcePath(), "");

    ASSERT_TRUE(slot.SelectReader("/in/take.wav"));
    slot.Reset();
    EXPECT_EQ(slot.GetReader(), nullptr);
}

TEST(OrvoTrack, EightEmptySlots)
{
    const TrackSlots slots = MakeTrackSlots();
    EXPECT_EQ(slots.size(), 8U);
    for (const auto& slot : slots)
        EXPECT_EQ(slot.GetReader(), nullptr);
}
