// A refused project name says why: the first byte outside printable ASCII with its
// position, or the length; the serial key has a reason of its own.

#include "recorder/FnbTextFile.h"

#include <gtest/gtest.h>

TEST(ProjectName, ARefusalNamesTheByteOrTheLength)
{
    struct Case {
        std::string name;
        std::optional<Reason> reason;
        std::string detailEnd;
    };
    const Case cases[] = {
        {"Back", std::nullopt, ""},
        {"Twelve chars", std::nullopt, ""},
        {"", std::nullopt, ""},
        {"Thirteen char", Reason::ProjectNameRefused, "; this one has 13"},
        {"Caf\xC3\xA9", Reason::ProjectNameRefused, "; byte 4 is 0xC3, not a printable character"},
        // An 11-byte name with a non-ASCII character is refused for the character, not the length.
        {"Caf\xC3\xA9 Noir", Reason::ProjectNameRefused, "; byte 4 is 0xC3, not a printable character"},
        {"tab\there", Reason::ProjectNameRefused, "; byte 4 is 0x09, not a printable character"},
        {"\x7F", Reason::ProjectNameRefused, "; byte 1 is 0x7F, not a printable character"},
        {std::string("a\0b", 3), Reason::ProjectNameRefused, "; byte 2 is 0x00, not a printable character"},
        {"Over thirteen\x01", Reason::ProjectNameRefused, "; byte 14 is 0x01, not a printable character"},
        {"x sngSerial:", Reason::ProjectNameHoldsSerialKey, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto refusal = RefuseProjectName(c.name);
        ASSERT_EQ(refusal.has_value(), c.reason.has_value());
        EXPECT_EQ(IsAcceptableProjectName(c.name), !c.reason);
        if (!refusal)
            continue;
        EXPECT_EQ(refusal->reason, *c.reason);
        EXPECT_EQ(refusal->subject, c.name);
        EXPECT_TRUE(refusal->detail.ends_with(c.detailEnd)) << refusal->detail;
    }
}
