#include "recorder/WordOrder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

template <typename Record>
std::vector<std::uint8_t> Stored(const Record& record)
{
    std::vector<std::uint8_t> bytes(sizeof(Record));
    wordorder::Encode(record, bytes.data());
    return bytes;
}

// The stored byte of record-image byte k: words are kept little-endian.
std::size_t StoredOffset(std::size_t imageOffset)
{
    return (imageOffset & ~std::size_t{3}) + 3 - imageOffset % 4;
}

}  // namespace

TEST(WordOrder, ProjectRecordFirstWord)
{
    std::uint8_t bytes[kBinderSize] = {0x34, 0x12, 0xCD, 0xAB};
    sobinder record;
    wordorder::Decode(bytes, record);
    EXPECT_EQ(record.nextSong, 0xABCD);
    EXPECT_EQ(record.unknown02, 0x1234);
}

TEST(WordOrder, NumericFieldsSitBigEndianInTheImage)
{
    sobinder binder{};
    binder.nextSong = 0x0102;
    binder.projectNumber = 0x0A0B;
    binder.unknown20[7] = 0x7172;
    binder.unknown30 = 0x31323334;
    binder.sampleRate = 0x55;
    binder.wordLength = 0x66;
    std::memcpy(binder.songName, "ABCDEFGHIJKLMN", kSongNameSize);
    soentry entry{};
    entry.hfsIndex = -2;
    entry.startGroup = 0x11223344;
    entry.lengthGroups = 0x55667788;
    entry.fileSerial = 0x9ABC;
    soheader header{};
    header.firstSong = 0xBEEF;
    header.unknown2c = 0xC0C1C2C3;
    sohfs hfs{};
    hfs.leadInGroups = 0x7F01;

    struct Case {
        const char* what;
        std::vector<std::uint8_t> stored;
        std::size_t imageOffset;
        std::vector<std::uint8_t> image;
    };
    const Case cases[] = {
        {"nextSong", Stored(binder), 0x00, {0x01, 0x02}},
        {"projectNumber", Stored(binder), 0x18, {0x0A, 0x0B}},
        {"last u16 of the 0x20 array", Stored(binder), 0x2e, {0x71, 0x72}},
        {"u32 at 0x30", Stored(binder), 0x30, {0x31, 0x32, 0x33, 0x34}},
        {"rate and word length bytes", Stored(binder), 0x1c, {0x55, 0x66}},
        {"name reads in natural order", Stored(binder), 0x0a, {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N'}},
        {"hfsIndex", Stored(entry), 0x0a, {0xFF, 0xFE}},
        {"startGroup", Stored(entry), 0x0c, {0x11, 0x22, 0x33, 0x44}},
        {"lengthGroups", Stored(entry), 0x10, {0x55, 0x66, 0x77, 0x88}},
        {"fileSerial", Stored(entry), 0x18, {0x9A, 0xBC}},
        {"firstSong", Stored(header), 0x2a, {0xBE, 0xEF}},
        {"header u32 at 0x2c", Stored(header), 0x2c, {0xC0, 0xC1, 0xC2, 0xC3}},
        {"leadInGroups", Stored(hfs), 0x06, {0x7F, 0x01}},
    };
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < c.image.size(); ++i)
            EXPECT_EQ(c.stored[StoredOffset(c.imageOffset + i)], c.image[i]) << c.what << " byte " << i;
    }
}

TEST(WordOrder, UnconvertedBytesKeepTheImageOrder)
{
    // Header bytes 0x0a..0x29 and 0x30..0x3f, binder bytes 0x34..0x3f, entry bytes
    // 0x1a..0x1f and hfs bytes 0x08..0x0b are not numeric: only the word reversal applies.
    std::uint8_t stored[kHeaderSize];
    for (std::size_t i = 0; i < sizeof stored; ++i)
        stored[i] = static_cast<std::uint8_t>(i);
    soheader header;
    wordorder::Decode(stored, header);
    EXPECT_EQ(header.unknown0a[0], stored[StoredOffset(0x0a)]);
    EXPECT_EQ(header.unknown30[15], stored[StoredOffset(0x3f)]);
    sobinder binder;
    wordorder::Decode(stored, binder);
    EXPECT_EQ(binder.unknown1e[0], stored[StoredOffset(0x1e)]);
    EXPECT_EQ(binder.unknown34[0], stored[StoredOffset(0x34)]);
    soentry entry;
    wordorder::Decode(stored, entry);
    EXPECT_EQ(entry.unknown1a[5], stored[StoredOffset(0x1f)]);
    sohfs hfs;
    wordorder::Decode(stored, hfs);
    EXPECT_EQ(hfs.unknown08[1], stored[StoredOffset(0x09)]);
}

TEST(WordOrder, EncodeThenDecodeGivesEveryFieldBack)
{
    std::uint8_t pattern[kHeaderSize];
    for (std::size_t i = 0; i < sizeof pattern; ++i)
        pattern[i] = static_cast<std::uint8_t>(i * 7 + 1);
    auto roundTrip = [&pattern](auto record) {
        std::memcpy(&record, pattern, sizeof record);
        std::uint8_t stored[sizeof record];
        wordorder::Encode(record, stored);
        decltype(record) back;
        wordorder::Decode(stored, back);
        return std::memcmp(&back, &record, sizeof record) == 0;
    };
    EXPECT_TRUE(roundTrip(soheader{}));
    EXPECT_TRUE(roundTrip(sobinder{}));
    EXPECT_TRUE(roundTrip(soentry{}));
    EXPECT_TRUE(roundTrip(sohfs{}));
}
