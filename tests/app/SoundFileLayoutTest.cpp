// Where the fields of the WAVE and AIFF containers stand, as reader and writer share
// them, and what the table of sound-file kinds tells each direction.

#include "app/AiffLayout.h"
#include "app/SoundFileKinds.h"
#include "app/WaveLayout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

TEST(SoundFileLayout, WhereTheFieldsOfBothContainersStand)
{
    struct Row {
        const char* what;
        std::uint64_t actual;
        std::uint64_t expected;
    };
    const Row rows[] = {
        {"chunk header", chunk::kHeaderSize, 8},
        {"first inner chunk", chunk::kFormHeaderSize, 12},
        {"odd chunk padded", chunk::PaddedSize(17), 18},
        {"even chunk unpadded", chunk::PaddedSize(18), 18},
        {"WAVE fmt chunk", wave::kFormatChunkAt, 12},
        {"WAVE fmt fields", wave::kFormatFieldsAt, 20},
        {"WAVE bits in fmt", wave::kBitsOffset, 14},
        {"WAVE valid bits in fmt", wave::kValidBitsOffset, 18},
        {"WAVE sub-format in fmt", wave::kSubFormatOffset, 24},
        {"WAVE extensible fmt size", wave::kExtensibleFormatSize, 40},
        {"WAVE data chunk", wave::kDataChunkAt, 36},
        {"WAVE header", wave::kHeaderSize, 44},
        {"WAVE extensible tag", wave::kExtensibleTag, 0xFFFE},
        {"AIFF COMM chunk", aiff::kCommonChunkAt, 12},
        {"AIFF COMM fields", aiff::kCommonFieldsAt, 20},
        {"AIFF rate in COMM", aiff::kRateOffset, 8},
        {"AIFF-C COMM size", aiff::kAiffcCommonSize, 22},
        {"AIFF SSND chunk", aiff::kSoundDataChunkAt, 38},
        {"AIFF header", aiff::kHeaderSize, 54},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.actual, row.expected) << row.what;
}

TEST(SoundFileKinds, ExtensionsDifferByDirection)
{
    struct Row {
        const char* path;
        SoundFileKind imported;
        SoundFileKind exported;
    };
    const Row rows[] = {
        {"/in/TAKE.WAV", SoundFileKind::Wave, SoundFileKind::Wave},
        {"take.Aif", SoundFileKind::Aiff, SoundFileKind::Aiff},
        {"take.aiff", SoundFileKind::Aiff, SoundFileKind::Aiff},
        {"take.aifc", SoundFileKind::Aiff, SoundFileKind::None},
        {"take.wave", SoundFileKind::None, SoundFileKind::None},
        {"wav", SoundFileKind::None, SoundFileKind::None},
        {"take.FLAC", SoundFileKind::None, SoundFileKind::Flac},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ImportKindOf(row.path), row.imported) << row.path;
        EXPECT_EQ(ExportKindOf(row.path), row.exported) << row.path;
    }
    EXPECT_EQ(ImportDefaultExtension(), ".wav");
    EXPECT_EQ(ImportFilter(),
              "Sound Files (*.wav *.aif *.aiff *.aifc)|*.wav;*.aif;*.aiff;*.aifc|"
              "WAVE File (*.wav)|*.wav|AIFF File (*.aif *.aiff *.aifc)|*.aif;*.aiff;*.aifc|All Files (*.*)|*.*||");
    EXPECT_TRUE(ShowsRefusal(SoundFileKind::Wave));
    EXPECT_FALSE(ShowsRefusal(SoundFileKind::Aiff));
    EXPECT_FALSE(ShowsRefusal(SoundFileKind::None));
}
