#include "cli/TrackList.h"

#include <gtest/gtest.h>

using cli::ParseTrackList;
using cli::TrackChoice;

TEST(ParseTrackList, AcceptsTracksWithOptionalVirtualTracks)
{
    struct Case {
        const char* text;
        bool stereo;
        TrackChoice expected;
    };
    const Case cases[] = {
        {"1", false, {1, 0, 0, 0, 0, 0, 0, 0}},
        {"3:2", false, {0, 0, 2, 0, 0, 0, 0, 0}},
        {"8,1:8,5", false, {8, 0, 0, 0, 1, 0, 0, 1}},
        {"1,2,3,4,5,6,7,8", false, {1, 1, 1, 1, 1, 1, 1, 1}},
        {"7,2", true, {0, 1, 0, 0, 0, 0, 1, 0}},
        {"4", true, {0, 0, 0, 1, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseTrackList(c.text, c.stereo);
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_EQ(*parsed, c.expected) << c.text;
    }
}

TEST(ParseTrackList, RefusesEverythingElse)
{
    struct Case {
        const char* text;
        bool stereo;
    };
    const Case cases[] = {
        {"", false},      {"0", false},     {"9", false},     {"1:0", false},   {"1:9", false},
        {"1,1", false},   {"1:1,1:2", false}, {"1,", false},  {",1", false},    {"1,,2", false},
        {"a", false},     {"1:", false},    {":1", false},    {"1:1:1", false}, {"-1", false},
        {"+1", false},    {" 1", false},    {"1,2,3", true},  {"01x", false},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(ParseTrackList(c.text, c.stereo)) << '"' << c.text << '"';
}

TEST(ParseProjectNumber, DigitsOnlyComparedAsANumber)
{
    EXPECT_EQ(cli::ParseProjectNumber("5"), 5u);
    EXPECT_EQ(cli::ParseProjectNumber("05"), 5u);
    EXPECT_EQ(cli::ParseProjectNumber("100"), 100u);
    EXPECT_FALSE(cli::ParseProjectNumber(""));
    EXPECT_FALSE(cli::ParseProjectNumber("5a"));
    EXPECT_FALSE(cli::ParseProjectNumber("-5"));
    EXPECT_FALSE(cli::ParseProjectNumber("99999999999999999999"));
}
