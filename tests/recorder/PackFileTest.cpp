#include "recorder/PackFile.h"

#include "tests/support/MemoryFileSystem.h"
#include "tests/support/FnbTextFixture.h"
#ifndef _WIN32
#include "tests/support/PackFileLimits.h"
#endif

#include <gtest/gtest.h>

#include <filesystem>

using namespace importtest;
using testsupport::ReadBytes;

namespace {

constexpr auto kLittle = CPCSoundFile::kLittleEndian;
constexpr auto kBig = CPCSoundFile::kBigEndian;

// Eight samples s0..s7 as the source holds them.
Bytes SourceGroup(const std::uint32_t* samples, int bytesPerSample, CPCSoundFile::ByteOrder order)
{
    Bytes group;
    for (int i = 0; i < 8; ++i)
        AppendSample(group, samples[i], bytesPerSample, order);
    return group;
}

// hi 0x1i, middle 0x2i, low 0x3i for sample i: every byte says where it came from.
constexpr std::uint32_t kTagged24[8] = {0x102030, 0x112131, 0x122232, 0x132333,
                                        0x142434, 0x152535, 0x162636, 0x172737};
// 20-bit samples: low nibble i + 1, with stray bits 3..0 set in every container.
constexpr std::uint32_t kTagged20[8] = {0x10201F, 0x11212F, 0x12223F, 0x13234F,
                                        0x14245F, 0x15256F, 0x16267F, 0x17278F};
constexpr std::uint32_t kCounting16[8] = {0x0102, 0x0304, 0x0506, 0x0708, 0x090A, 0x0B0C, 0x0D0E, 0x0F10};

struct PackRig {
    explicit PackRig(std::uint16_t bits, CPCSoundFile::ByteOrder order = kLittle)
        : bits(bits), order(order), text(TextFileOf(disk.doc)), pack(bits, order == kBig)
    {
    }

    // Opens the data file of the text file's current serial, as the import does.
    bool OpenNext(COrvoPackFile& file)
    {
        const std::string path = disk.folder.File(text.GetTrackFileName());
        if (!file.OpenTrackFile(path))
            return false;
        text.NoteCreatedFile(path);
        return true;
    }
    bool OpenNext() { return OpenNext(pack); }

    MoDisk disk;
    std::uint16_t bits;
    CPCSoundFile::ByteOrder order;
    COrvoFnbTextFile text;
    COrvoPackFile pack;
};

Bytes PackedBlock(std::uint16_t bits, CPCSoundFile::ByteOrder order, const Bytes& groups, std::size_t count)
{
    PackRig rig(bits, order);
    EXPECT_TRUE(rig.OpenNext());
    EXPECT_TRUE(rig.pack.PackGroups(groups.data(), count));
    EXPECT_TRUE(rig.pack.FlushBlock());
    EXPECT_TRUE(rig.pack.CloseTrackFile());
    return ReadBytes(rig.pack.GetPath());
}

}  // namespace

TEST(PackFile, GroupLayoutsInBothSourceOrders)
{
    struct Case {
        std::uint16_t bits;
        const std::uint32_t* samples;
        Bytes packed;
    };
    const Case cases[] = {
        {16, kCounting16, {0x04, 0x03, 0x02, 0x01, 0x08, 0x07, 0x06, 0x05, 0x0C, 0x0B, 0x0A, 0x09, 0x10, 0x0F, 0x0E, 0x0D}},
        {24, kTagged24, {0x21, 0x11, 0x20, 0x10, 0x23, 0x13, 0x22, 0x12, 0x33, 0x32, 0x31, 0x30,
                         0x25, 0x15, 0x24, 0x14, 0x27, 0x17, 0x26, 0x16, 0x37, 0x36, 0x35, 0x34}},
        // W4 = 0x12345678: the low nibbles of s0..s7 from the top down; the stray
        // bits 3..0 of the containers do not leak into the neighbours.
        {20, kTagged20, {0x21, 0x11, 0x20, 0x10, 0x23, 0x13, 0x22, 0x12, 0x25, 0x15,
                         0x24, 0x14, 0x27, 0x17, 0x26, 0x16, 0x78, 0x56, 0x34, 0x12}},
    };
    for (const auto& c : cases) {
        for (const auto order : {kLittle, kBig}) {
            SCOPED_TRACE(testing::Message() << c.bits << " bit, order " << int(order));
            const Bytes file = PackedBlock(c.bits, order, SourceGroup(c.samples, c.bits == 16 ? 2 : 3, order), 1);
            ASSERT_EQ(file.size(), kPackBlockSize);
            EXPECT_EQ(Bytes(file.begin(), file.begin() + c.packed.size()), c.packed);
            EXPECT_EQ(std::count(file.begin() + c.packed.size(), file.end(), 0),
                      static_cast<long>(kPackBlockSize - c.packed.size()));
        }
    }
}

TEST(PackFile, BlockHoldsWholeGroupsWithZerosAtTheEnd)
{
    struct Case {
        std::uint16_t bits;
        std::size_t sourceBytes;
        std::size_t packedBytes;
        std::size_t groupsPerBlock;
        std::size_t zeroTail;
    };
    const Case cases[] = {{16, 16, 16, 8192, 0}, {20, 24, 20, 6553, 12}, {24, 24, 24, 5461, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        const Bytes groups(c.sourceBytes * (c.groupsPerBlock + 1), 0xFF);  // packs to 0xFF bytes
        PackRig rig(c.bits);
        ASSERT_TRUE(rig.OpenNext());
        ASSERT_TRUE(rig.pack.PackGroups(groups.data(), c.groupsPerBlock - 1));
        EXPECT_FALSE(rig.pack.PackGroups(groups.data(), 2)) << "more than the block holds";
        ASSERT_TRUE(rig.pack.PackGroups(groups.data(), 1));
        EXPECT_FALSE(rig.pack.PackGroups(groups.data(), 1));
        ASSERT_TRUE(rig.pack.FlushBlock());
        EXPECT_EQ(rig.pack.GetFill(), 0u);
        ASSERT_TRUE(rig.pack.PackGroups(groups.data(), 1));  // the next block starts empty
        ASSERT_TRUE(rig.pack.FlushBlock());
        ASSERT_TRUE(rig.pack.CloseTrackFile());
        const Bytes file = ReadBytes(rig.pack.GetPath());
        ASSERT_EQ(file.size(), 2 * kPackBlockSize);
        const auto block = static_cast<long>(kPackBlockSize);
        const auto tail = block - static_cast<long>(c.zeroTail);
        const auto packed = static_cast<long>(c.packedBytes);
        EXPECT_EQ(std::count(file.begin(), file.begin() + tail, 0xFF), tail);
        EXPECT_EQ(std::count(file.begin() + tail, file.begin() + block, 0), block - tail);
        EXPECT_EQ(std::count(file.begin() + block, file.begin() + block + packed, 0xFF), packed);
        EXPECT_EQ(std::count(file.begin() + block + packed, file.end(), 0), block - packed);
    }
}

TEST(PackFile, UnsupportedWordLengthPacksNothing)
{
    PackRig rig(8);
    const Bytes group(24, 1);
    EXPECT_FALSE(rig.pack.PackGroups(group.data(), 1));
    EXPECT_EQ(rig.pack.GetFill(), 0u);
}

TEST(PackFile, NamesFollowTheSerial)
{
    PackRig rig(16);
    for (int serial = 0; serial < 41; ++serial)
        rig.text.AdvanceTrackSerial();
    ASSERT_TRUE(rig.OpenNext());
    EXPECT_EQ(std::filesystem::path(rig.pack.GetPath()).filename(), "8b320800.041");
    EXPECT_TRUE(rig.pack.CloseTrackFile());
    rig.text.AdvanceTrackSerial();
    EXPECT_EQ(rig.text.GetTrackSerial(), 42u);
    EXPECT_EQ(rig.text.GetTrackFileName(), "8b320800.042");
}

TEST(PackFile, FailuresAreReported)
{
    {
        PackRig rig(16);
        std::filesystem::create_directory(rig.disk.folder.File("8b320800.000"));  // a folder in the way
        EXPECT_FALSE(rig.OpenNext());
    }
    {
        PackRig rig(16);
        ASSERT_TRUE(rig.OpenNext());
#ifndef _WIN32  // a file size limit (setrlimit); WritesThroughItsFileSystem fails the flush there
        FileSizeLimit limit(kPackBlockSize / 2);
        EXPECT_FALSE(rig.pack.FlushBlock());
#endif
    }
}

TEST(PackFile, CreatedFilesAreRemovedOnRequest)
{
    PackRig rig(16);
    ASSERT_TRUE(rig.OpenNext());
    ASSERT_TRUE(rig.pack.FlushBlock());
    ASSERT_TRUE(rig.pack.CloseTrackFile());
    rig.text.AdvanceTrackSerial();
    COrvoPackFile partial(16, false);
    ASSERT_TRUE(rig.OpenNext(partial));
    EXPECT_EQ(FileNames(rig.disk.folder.Path()), (std::vector<std::string>{"8b320800.000", "8b320800.001", "FNB.TXT"}));
    partial.CloseTrackFile();  // as the import does before removing: Windows keeps an open file
    rig.text.RemoveCreatedFiles();
    EXPECT_EQ(FileNames(rig.disk.folder.Path()), std::vector<std::string>{"FNB.TXT"});
}

TEST(PackFile, WritesThroughItsFileSystem)
{
    testsupport::MemoryFileSystem memory;
    memory.AddFolder("/mo");
    testsupport::FaultyFileSystem files(memory);
    files.failWrites = [](const std::string& path, platform::WriteMode) { return path == "/mo/full"; };
    const Bytes group = SourceGroup(kCounting16, 2, kLittle);
    COrvoPackFile pack(16, false, files);
    ASSERT_TRUE(pack.OpenTrackFile("/mo/8b320800.000"));
    ASSERT_TRUE(pack.PackGroups(group.data(), 1));
    ASSERT_TRUE(pack.FlushBlock());
    ASSERT_TRUE(pack.CloseTrackFile());
    const Bytes file = memory.Bytes("/mo/8b320800.000");
    ASSERT_EQ(file.size(), kPackBlockSize);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), (Bytes{0x04, 0x03, 0x02, 0x01}));

    COrvoPackFile full(16, false, files);
    ASSERT_TRUE(full.OpenTrackFile("/mo/full"));
    EXPECT_FALSE(full.FlushBlock());
    EXPECT_FALSE(full.CloseTrackFile());
}
