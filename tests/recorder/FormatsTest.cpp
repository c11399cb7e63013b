#include "recorder/Formats.h"

#include <gtest/gtest.h>

TEST(Formats, RateCodesBothWays)
{
    struct Case {
        std::uint8_t code;
        std::uint32_t hz;
        bool exportable;
    };
    const Case cases[] = {{1, 32000, true},  {2, 44100, true},  {3, 48000, true},  {4, 88200, false},
                          {5, 96000, false}, {6, 44056, false}, {7, 47952, false}};
    for (const auto& c : cases) {
        ASSERT_TRUE(RateOfCode(c.code)) << int{c.code};
        EXPECT_EQ(RateOfCode(c.code)->hz, c.hz);
        EXPECT_EQ(RateOfCode(c.code)->exportable, c.exportable);
        EXPECT_EQ(RateOfHz(c.hz)->code, c.code);
    }
    EXPECT_FALSE(RateOfCode(0));
    EXPECT_FALSE(RateOfCode(8));
    EXPECT_FALSE(RateOfHz(22050));
}

TEST(Formats, WordLengthCodesBothWays)
{
    struct Case {
        std::uint8_t code;
        unsigned bits;
        unsigned fileBits;
        unsigned bytes;
    };
    const Case cases[] = {{0, 16, 16, 2}, {1, 20, 24, 3}, {2, 24, 24, 3}};
    for (const auto& c : cases) {
        ASSERT_TRUE(WordLengthOfCode(c.code));
        EXPECT_EQ(WordLengthOfCode(c.code)->bits, c.bits);
        EXPECT_EQ(WordLengthOfCode(c.code)->fileBits, c.fileBits);
        EXPECT_EQ(WordLengthOfCode(c.code)->bytesPerSample, c.bytes);
        EXPECT_EQ(WordLengthOfBits(c.bits)->code, c.code);
    }
    EXPECT_FALSE(WordLengthOfCode(3));
    EXPECT_FALSE(WordLengthOfBits(8));
    EXPECT_FALSE(WordLengthOfBits(32));
}
