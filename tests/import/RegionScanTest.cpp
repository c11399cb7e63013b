#include "import/RegionScan.h"

#include "recorder/Errors.h"
#include "recorder/PackFile.h"
#include "tests/support/FnbTextFixture.h"
#ifndef _WIN32
#include "tests/support/PackFileLimits.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <functional>
#include <optional>
#include <numeric>

using namespace importtest;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

static bool operator==(const SoundRegion& a, const SoundRegion& b)
{
    return a.startGroup == b.startGroup && a.endGroup == b.endGroup && a.lengthGroups == b.lengthGroups;
}

static std::ostream& operator<<(std::ostream& out, const SoundRegion& r)
{
    return out << "{" << r.startGroup << ".." << r.endGroup << ", " << r.lengthGroups << "}";
}

namespace {

constexpr std::uint32_t J16 = 8192;
constexpr std::size_t kUnit16 = 131072;

using Regions = std::vector<SoundRegion>;

// A 16-bit group whose 8 samples all hold `value` (0 is silence), little-endian.
void AppendGroups(Bytes& data, std::size_t count, std::uint16_t value)
{
    for (std::size_t i = 0; i < count * 8; ++i)
        AppendSample(data, value, 2, CPCSoundFile::kLittleEndian);
}

// Group g of a test signal: every group distinct and never silent.
std::uint16_t GroupValue(std::size_t g)
{
    return static_cast<std::uint16_t>(g % 65521 + 1);
}

Bytes CountingGroups(std::size_t count)
{
    Bytes data;
    data.reserve(count * 16);
    for (std::size_t g = 0; g < count; ++g)
        AppendGroups(data, 1, GroupValue(g));
    return data;
}

// How a 16-bit group of 8 equal samples `value` lies in a track data file.
Bytes Packed16(std::uint16_t value)
{
    Bytes packed;
    for (int i = 0; i < 8; ++i) {
        packed.push_back(static_cast<std::uint8_t>(value));
        packed.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    return packed;
}

Bytes GroupInFile(const Bytes& file, std::size_t block, std::size_t groupInBlock)
{
    const auto at = file.begin() + static_cast<long>(block * kPackBlockSize + groupInBlock * 16);
    return Bytes(at, at + 16);
}

// A source file of a header of `offset` bytes, `data` and `trailer`.
struct SourceRig {
    SourceRig(std::uint16_t bits, std::uint32_t rate, const Bytes& data, const Bytes& trailer = {},
              std::uint32_t offset = 44, std::optional<std::uint32_t> statedSize = std::nullopt)
        : source(CPCSoundFile::kLittleEndian, bits, rate, offset,
                 statedSize.value_or(static_cast<std::uint32_t>(data.size())), files)
    {
        Bytes file(offset + data.size() + trailer.size(), 'h');
        const auto dataAt = file.begin() + static_cast<long>(offset);
        std::copy(trailer.begin(), trailer.end(), std::copy(data.begin(), data.end(), dataAt));
        WriteBytes(sourceFolder.File("source.wav"), file);
        source.SetFileName(sourceFolder.File("source.wav"));
    }

    testsupport::TempFolder sourceFolder;
    testsupport::ScriptedUserInterface ui;
    testsupport::FaultyFileSystem files;
    FakeSoundFile source;
};

}  // namespace

TEST(RegionScan, EdgeSizes)
{
    struct Case {
        std::uint32_t rate;
        std::size_t e16, e20, e24;
    };
    const Case cases[] = {
        {32000, 6400, 8000, 9600},    {44056, 8812, 11014, 13217},  {44100, 8820, 11025, 13230},
        {47952, 9591, 11988, 14386},  {48000, 9600, 12000, 14400},  {88200, 17640, 22050, 26460},
        {96000, 19200, 24000, 28800},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        EXPECT_EQ(GetEdgeSize(c.rate, 16), c.e16);
        EXPECT_EQ(GetEdgeSize(c.rate, 20), c.e20);
        EXPECT_EQ(GetEdgeSize(c.rate, 24), c.e24);
    }
}

TEST(RegionScan, SilenceIsZeroBytesOnly)
{
    struct Case {
        Bytes bytes;
        bool silent;
    };
    Bytes oneAmongZeros(1000, 0);
    oneAmongZeros[517] = 1;
    Bytes lastByte(1000, 0);
    lastByte.back() = 0x80;
    const Case cases[] = {
        {{}, true}, {{0}, true}, {Bytes(1000, 0), true}, {{1}, false}, {{1, 1, 1}, false},
        {oneAmongZeros, false}, {lastByte, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSilent(c.bytes.data(), c.bytes.size()), c.silent) << c.bytes.size() << " bytes";
}

TEST(RegionScan, UnitFlags)
{
    constexpr std::size_t U = kUnit16;
    constexpr std::size_t E = 8820;
    struct Case {
        const char* name;
        std::size_t bytesRead;
        std::vector<std::size_t> soundAt;  // offsets of non-zero bytes
        std::uint8_t flags;
    };
    const Case cases[] = {
        {"full, silent", U, {}, 7},
        {"full, sound in the head", U, {E - 1}, 6},
        {"full, sound in the middle", U, {E, U - E - 1}, 5},
        {"full, sound in the tail", U, {U - E}, 3},
        {"full, sound everywhere", U, {0, U / 2, U - 1}, 0},
        {"short, silent", E, {}, 7},
        {"short, sound", E, {E - 1}, 6},
        {"partial, silent", U / 2, {}, 7},
        {"partial, sound after the head counts for the head", U / 2, {E + 5}, 4},
        {"partial, sound in the head only", U / 2, {0}, 6},
        {"partial into the tail, sound in the tail", U - E + 10, {U - E + 5}, 6},
        {"partial into the tail, sound in the middle", U - E + 10, {E}, 4},
        {"200000-byte file, second unit", 68928, {68927}, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes unit(U, 0);
        for (const auto at : c.soundAt)
            unit[at] = 1;
        EXPECT_EQ(int(UnitFlags(unit.data(), c.bytesRead, U, E)), int(c.flags));
    }
}

TEST(RegionScan, RegionsFromUnitFlags)
{
    constexpr std::uint32_t J = J16;
    struct Case {
        std::vector<std::uint8_t> flags;
        Regions regions;
    };
    const Case cases[] = {
        {{7, 3, 7, 7, 1, 7}, {{J, 3 * J - 1, 0}, {4 * J, 6 * J - 1, 0}}},
        {{6}, {{0, J - 1, 0}}},
        {{3}, {{0, 2 * J - 1, 0}}},
        {{0}, {{0, 2 * J - 1, 0}}},
        {{7}, {}},
        {{7, 7, 7}, {}},
        {{}, {}},
        {{7, 6}, {{J, 2 * J - 1, 0}}},         // a silent unit 0 never opens a region
        {{0, 7}, {{0, 2 * J - 1, 0}}},         // sound up to unit 0's end takes unit 1 along
        {{1, 7, 7}, {{0, 2 * J - 1, 0}}},
        {{6, 7, 3}, {{0, J - 1, 0}, {2 * J, 4 * J - 1, 0}}},
        {{6, 7, 4}, {{0, J - 1, 0}, {J, 3 * J - 1, 0}}},  // closed and opened again at unit 1
        {{7, 7, 1, 7, 7}, {{2 * J, 4 * J - 1, 0}}},
        {{7, 7, 6, 7, 7}, {{J, 3 * J - 1, 0}}},
        {{0, 0, 0, 6}, {{0, 4 * J - 1, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::vector<int>(c.flags.begin(), c.flags.end())));
        EXPECT_EQ(BuildRegions(c.flags, J), c.regions);
    }
    EXPECT_EQ(BuildRegions({3}, 5461), (Regions{{0, 2 * 5461 - 1, 0}}));
}

TEST(RegionScan, ProgressStepsAtMultiplesOf1024)
{
    struct Case {
        std::uint64_t first, last, steps;
    };
    const Case cases[] = {{0, 0, 1},       {1, 1023, 0},     {1023, 1024, 1},     {0, 16383, 16},
                          {8192, 16383, 8}, {1025, 2047, 0}, {2048, 2048, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(ProgressStepsIn(c.first, c.last), c.steps) << c.first << ".." << c.last;
}

TEST(RegionScan, ScanOfSourceFiles)
{
    struct Case {
        const char* name;
        std::uint16_t bits;
        Bytes data;
        Bytes trailer;
        Regions regions;
    };
    Bytes silentThenSound20(157272, 0);
    silentThenSound20.resize(157272 + 24, 0x11);
    const Case cases[] = {
        {"200000 bytes of sound: two units", 16, Bytes(200000, 0x55), {}, {{0, 2 * J16 - 1, 0}}},
        {"all zero", 16, Bytes(3 * kUnit16 + 100, 0), {}, {}},
        {"trailing chunk after the data is not sound", 16, Bytes(kUnit16, 0), AsBytes("LISTtrailing chunk"), {}},
        {"20-bit units of 157272 bytes", 20, silentThenSound20, {}, {{6553, 2 * 6553 - 1, 0}}},
        {"8193 groups", 16, Bytes(8193 * 16, 0x01), {}, {{0, 2 * J16 - 1, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SourceRig rig(c.bits, 44100, c.data, c.trailer);
        ASSERT_FALSE(rig.source.ScanRegions(nullptr));
        EXPECT_EQ(rig.source.GetRegions(), c.regions);
        EXPECT_EQ(rig.source.headerReads, 1);
    }
}

TEST(RegionScan, ScanFailures)
{
    SourceRig refused(16, 44100, Bytes(100, 1));
    refused.source.headerAccepted = false;
    EXPECT_TRUE(refused.source.ScanRegions(nullptr));

    SourceRig missing(16, 44100, Bytes(100, 1));
    missing.source.SetFileName(missing.sourceFolder.File("gone.wav"));
    EXPECT_TRUE(missing.source.ScanRegions(nullptr));

    SourceRig unreadable(16, 44100, Bytes(100, 1));
    unreadable.files.failReads = [](const std::string&, std::uint64_t) { return true; };  // opens, cannot be read
    EXPECT_EQ(RaisedMessage([&] { unreadable.source.ScanRegions(nullptr); }), MessageId::SampleReadFailed);
}

TEST(RegionScan, ConversionWritesWholeBlocksPerRegion)
{
    // Sound in the tail of unit 1 and from the middle of unit 4 on, of six units:
    // flags 7, 3, 7, 7, 1, 7 and the regions 8192..24575 and 32768..49151.
    constexpr std::size_t kTailSound = kUnit16 - 4992;
    constexpr std::size_t kMiddleSound = 20000;
    Bytes data(6 * kUnit16, 0);
    const Bytes sound = CountingGroups(6 * J16);
    for (const std::size_t from : {kUnit16 + kTailSound, 4 * kUnit16 + kMiddleSound}) {
        const auto to = (from / kUnit16 + 1) * kUnit16;
        std::copy(sound.begin() + static_cast<long>(from), sound.begin() + static_cast<long>(to),
                  data.begin() + static_cast<long>(from));
    }
    MoDisk disk;
    SourceRig rig(16, 44100, data);
    COrvoFnbTextFile text = TextFileOf(disk.doc);
    ASSERT_FALSE(rig.source.ScanRegions(nullptr));
    auto progress = rig.ui.CreateProgressWindow();
    ASSERT_FALSE(rig.source.ConvertRegions(2, text, progress.get()));

    EXPECT_EQ(rig.source.GetRegions(), (Regions{{J16, 3 * J16 - 1, 2 * J16}, {4 * J16, 6 * J16 - 1, 2 * J16}}));
    EXPECT_EQ(FileNames(disk.folder.Path()), (std::vector<std::string>{"8b320800.000", "8b320800.001", "FNB.TXT"}));
    EXPECT_EQ(text.GetTrackSerial(), 2u);
    EXPECT_EQ(rig.ui.Count(testsupport::UiEvent::Kind::ProgressStep), 32);
    for (const auto& [name, firstGroup] : {std::pair{"8b320800.000", J16}, std::pair{"8b320800.001", 4 * J16}}) {
        SCOPED_TRACE(name);
        Bytes expected;
        for (std::size_t g = firstGroup; g < firstGroup + 2 * J16; ++g) {
            const bool hasSound = (data[g * 16] | data[g * 16 + 1]) != 0;
            const Bytes packed = Packed16(hasSound ? GroupValue(g) : 0);
            expected.insert(expected.end(), packed.begin(), packed.end());
        }
        EXPECT_TRUE(ReadBytes(disk.folder.File(name)) == expected);
    }
    const std::string temp = AsText(ReadBytes(text.GetTempPath()));
    EXPECT_NE(temp.find("TRKSERIAL: 00000  8b320800.000\r\n"), std::string::npos);
    EXPECT_NE(temp.find("TRKSERIAL: 00001  8b320800.001\r\n"), std::string::npos);
    EXPECT_NE(temp.find("TRKNUMBER: 3\r\nBASEDTIME: 32768\r\nTRKSAMPLE: 16384\r\n"), std::string::npos);
}

TEST(RegionScan, PartialLastGroupIsCompletedWithZeros)
{
    Bytes data = CountingGroups(J16);
    data.insert(data.end(), 8, 0x77);  // four samples of group 8192
    MoDisk disk;
    SourceRig rig(16, 44100, data);
    COrvoFnbTextFile text = TextFileOf(disk.doc);
    ASSERT_FALSE(rig.source.ScanRegions(nullptr));
    ASSERT_FALSE(rig.source.ConvertRegions(0, text, nullptr));
    EXPECT_EQ(rig.source.GetRegions(), (Regions{{0, 2 * J16 - 1, 2 * J16}}));
    const Bytes file = ReadBytes(disk.folder.File("8b320800.000"));
    ASSERT_EQ(file.size(), 2 * kPackBlockSize);
    Bytes partial(8, 0x77);
    partial.resize(16, 0);
    EXPECT_EQ(GroupInFile(file, 1, 0), partial);
    EXPECT_EQ(std::count(file.begin() + kPackBlockSize + 16, file.end(), 0), long(kPackBlockSize - 16));
}

TEST(RegionScan, ConversionAtTheEndOfTheData)
{
    struct Case {
        const char* name;
        std::size_t groupsInFile;
        std::uint32_t statedSize;
        std::size_t blocks;
        std::size_t lastGroupsWithSound;  // groups of the last block that hold data
    };
    const Case cases[] = {
        // 8193 groups: the region reaches one unit beyond; the second block holds
        // group 8192 and one group of zeros.
        {"8193 groups", 8193, 8193 * 16, 2, 1},
        {"header claims half a group more", 8192, 8192 * 16 + 8, 2, 0},
        {"file shorter than its header", 100, 3 * 8192 * 16, 1, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MoDisk disk;
        SourceRig rig(16, 44100, CountingGroups(c.groupsInFile), {}, 44, c.statedSize);
        COrvoFnbTextFile text = TextFileOf(disk.doc);
        ASSERT_FALSE(rig.source.ScanRegions(nullptr));
        ASSERT_EQ(rig.source.GetRegions().size(), 1u);
        ASSERT_FALSE(rig.source.ConvertRegions(0, text, nullptr));
        EXPECT_EQ(rig.source.GetRegions()[0].lengthGroups, c.blocks * J16);
        const Bytes file = ReadBytes(disk.folder.File("8b320800.000"));
        ASSERT_EQ(file.size(), c.blocks * kPackBlockSize);
        const std::size_t last = c.blocks - 1;
        if (c.lastGroupsWithSound > 0) {
            EXPECT_EQ(GroupInFile(file, last, c.lastGroupsWithSound - 1),
                      Packed16(GroupValue(last * J16 + c.lastGroupsWithSound - 1)));
        }
        const auto dataEnd = static_cast<long>(last * kPackBlockSize + c.lastGroupsWithSound * 16);
        EXPECT_EQ(std::count(file.begin() + dataEnd, file.end(), 0), static_cast<long>(file.size()) - dataEnd);
    }
}

#ifndef _WIN32  // a file size limit (setrlimit); ImportFaults covers every failing write everywhere
TEST(RegionScan, FailedConversionKeepsTrackOfItsFiles)
{
    struct Case {
        const char* name;
        std::function<void(COrvoFnbTextFile&)> arrange;
        std::optional<rlim_t> sizeLimit;  // for the writes of the conversion
    };
    const Case cases[] = {
        {"data file cannot be written", [](COrvoFnbTextFile&) {}, kPackBlockSize + 1},
        {"track block cannot be written",
         [](COrvoFnbTextFile& text) {
             std::filesystem::remove(text.GetTempPath());
             std::filesystem::create_directory(text.GetTempPath());  // a folder in the way
         },
         std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MoDisk disk;
        SourceRig rig(16, 44100, CountingGroups(3 * J16));
        COrvoFnbTextFile text = TextFileOf(disk.doc);
        ASSERT_FALSE(rig.source.ScanRegions(nullptr));
        c.arrange(text);
        {
            std::optional<FileSizeLimit> limit;
            if (c.sizeLimit)
                limit.emplace(*c.sizeLimit);
            EXPECT_TRUE(rig.source.ConvertRegions(0, text, nullptr));
        }
        EXPECT_EQ(FileNames(disk.folder.Path()), (std::vector<std::string>{"8b320800.000", "FNB.TXT"}));
        text.RemoveCreatedFiles();
        EXPECT_EQ(FileNames(disk.folder.Path()), std::vector<std::string>{"FNB.TXT"});
        std::filesystem::remove_all(text.GetTempPath());
    }
}
#endif
