#include "recorder/TrackFileName.h"

#include <gtest/gtest.h>

TEST(TrackFileName, DigitsWithTheDotAtIndexEight)
{
    struct Case {
        unsigned project;
        unsigned serial;
        const char* name;
    };
    const Case cases[] = {
        {5, 12, "8b320500.012"},
        {0, 0, "8b320000.000"},
        {99, 99999, "8b329999.999"},
        {100, 0, "8b321000.0000"},   // 13 characters: refused when opened
        {8, 100000, "8b320810.0000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MakeTrackFileName(c.project, c.serial), c.name);
    }
    EXPECT_EQ(MakeTrackFileName("08", 1), "8b320800.001");
}

TEST(TrackFileName, AMovedAsideNameStandsForOneDataFileAndForNoOtherName)
{
    EXPECT_EQ(MovedAsideName("8b320512.345"), "A0512345.OLD");
    EXPECT_EQ(MovedAsideName("8B329999.999"), "A9999999.OLD");
    EXPECT_EQ(OriginalOfMovedAside("A0512345.OLD"), "8b320512.345");
    EXPECT_EQ(OriginalOfMovedAside("a0512345.old"), "8b320512.345");
    for (const char* other : {"8b320512.345", "A051234.OLD", "A0512345.OL", "A05123x5.OLD", "B0512345.OLD",
                              "A0512345.NEW", "FNBTXT.NEW", "A0512345OOLD"})
        EXPECT_EQ(OriginalOfMovedAside(other), std::nullopt) << other;
}
