#include "platform/Endian.h"
#include "recorder/Errors.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

TEST(Explain, SubjectReasonAndDetailMakeOneLine)
{
    struct Case {
        Refusal refusal;
        const char* line;
    };
    const Case cases[] = {
        {{MessageId::FormatUnknown, Reason::NotMono, "b.wav", "2"}, "b.wav: 2 channels; only mono files can be imported"},
        {{MessageId::ConvertFailed, Reason::TrackNotRecorded, "track 3 (virtual track 1)", ""},
         "track 3 (virtual track 1) has no recording on this disk"},
        {{MessageId::FormatUnknown, Reason::UnsupportedRate, "", "22050"}, "22050 Hz is not a recorder rate"},
        {{MessageId::DifferentFormat, Reason::FormatMismatch, "c.wav", "44100 Hz 16 bit, Track 1 is 48000 Hz 24 bit"},
         "c.wav: 44100 Hz 16 bit, Track 1 is 48000 Hz 24 bit"},
        {{MessageId::ConvertFailed, Reason::Unspecified, "x.wav", ""}, "x.wav"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Explain(c.refusal), c.line);
    EXPECT_EQ(Explain(Warning{WarningKind::TrackEndedBadLink, "track 1 (virtual track 2)", ""}),
              "track 1 (virtual track 2) ended early: a link in FNB.BIN leads outside the file");
    EXPECT_EQ(Explain(Warning{WarningKind::TrackEndedMissingDataFile, "track 2 (virtual track 1)", "8b320500.003"}),
              "track 2 (virtual track 1) ended early: its data file 8b320500.003 cannot be opened");
}

TEST(RunError, IsAStandardExceptionCarryingTheMessage)
{
    try {
        throw ImportError(MessageId::FnbFull, Reason::FnbTextFull);
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "FNB.TXT file is full.");
        const auto* run = dynamic_cast<const RunError*>(&error);
        ASSERT_NE(run, nullptr);
        EXPECT_EQ(run->reason, Reason::FnbTextFull);
    }
    const ExportError exportError(Reason::OutputTooLarge, "take11.wav");
    EXPECT_EQ(exportError.id, MessageId::ConvertFailed);
}

TEST(Endian, LoadsAndStoresInBothOrders)
{
    const std::uint8_t bytes[] = {0x12, 0x34, 0x56, 0x78};
    EXPECT_EQ(endian::LoadLittle16(bytes), 0x3412);
    EXPECT_EQ(endian::LoadLittle32(bytes), 0x78563412u);
    EXPECT_EQ(endian::LoadBig16(bytes), 0x1234);
    EXPECT_EQ(endian::LoadBig32(bytes), 0x12345678u);
    std::array<std::uint8_t, 4> out{};
    endian::StoreLittle(out.data(), 0xAABBCC, 3);
    EXPECT_EQ(out, (std::array<std::uint8_t, 4>{0xCC, 0xBB, 0xAA, 0}));
    endian::StoreBig(out.data(), 0xAABBCC, 3);
    EXPECT_EQ(out, (std::array<std::uint8_t, 4>{0xAA, 0xBB, 0xCC, 0}));
}

TEST(Endian, ExtendedHeadOfTheRates)
{
    struct Case {
        std::uint32_t hz;
        std::uint32_t head;
    };
    const Case cases[] = {{32000, 0x400DFA00}, {44100, 0x400EAC44}, {48000, 0x400EBB80}, {96000, 0x400FBB80},
                          {1, 0x3FFF8000},     {0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(endian::ExtendedHead(c.hz), c.head) << c.hz;
}
