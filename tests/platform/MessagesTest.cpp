#include "platform/Messages.h"

#include <gtest/gtest.h>

TEST(MessageText, LineEndsBecomeLineBreaks)
{
    EXPECT_EQ(WithLineBreaks("This file already exists.\r\n\r\nReplace existing file?"),
              "This file already exists.\n\nReplace existing file?");
    EXPECT_EQ(WithLineBreaks("a\rb\nc"), "a\nb\nc");
    EXPECT_EQ(WithLineBreaks("plain"), "plain");
}
