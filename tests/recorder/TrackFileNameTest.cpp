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
