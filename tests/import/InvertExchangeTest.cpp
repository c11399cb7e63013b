#include "import/InvertExchange.h"

#include "recorder/TrackFile.h"
#include "tests/support/FnbTextFixture.h"
#include "tests/import/WaveAiffBuilder.h"
#include "tools/diskwriter/DiskWriter.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sndfile.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>

using namespace importtest;
using testsupport::ReadBytes;
using testsupport::UiEvent;
using testsupport::WriteBytes;

namespace {

constexpr std::size_t kGroups16 = 8192;
constexpr int kIntBits = 32;

// Sample i of a signal that never has a zero byte where it matters: every unit
// holds sound. `bits` is 16, 20 or 24; 20-bit values are left-justified in 24.
std::int32_t SignalSample(std::size_t i, int bits)
{
    const auto raw = static_cast<std::uint32_t>(i * 2654435761U) | 0x00808080U;
    const int width = bits == 20 ? 24 : bits;
    auto value = static_cast<std::int32_t>(raw << (kIntBits - width)) >> (kIntBits - width);
    if (bits == 20)
        value &= ~0xF;
    return value;
}

std::vector<std::int32_t> Signal(std::size_t count, int bits)
{
    std::vector<std::int32_t> samples(count);
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = SignalSample(i, bits);
    return samples;
}

Bytes Encoded(const std::vector<std::int32_t>& samples, int bits, CPCSoundFile::ByteOrder order)
{
    Bytes bytes;
    for (const auto sample : samples)
        AppendSample(bytes, static_cast<std::uint32_t>(sample), bits == 16 ? 2 : 3, order);
    return bytes;
}

Bytes WaveOf(const std::vector<std::int32_t>& samples, int bits, std::uint32_t rate = 48000)
{
    using namespace soundbytes;
    const Bytes format = bits == 20 ? ExtensibleFormat(1, rate, 24, 20) : PlainFormat(kPcm, 1, rate, static_cast<std::uint16_t>(bits));
    return WaveFile(Cat({RiffChunk("fmt ", format),
                         RiffChunk("data", Encoded(samples, bits, CPCSoundFile::kLittleEndian))}));
}

Bytes AiffOf(const std::vector<std::int32_t>& samples, int bits)
{
    using namespace soundbytes;
    const Bytes sound = Encoded(samples, bits, CPCSoundFile::kBigEndian);
    return AiffFile(Cat({AiffChunk("COMM", CommonBody(1, static_cast<std::uint16_t>(bits), ExtendedRate(44100),
                                                      static_cast<std::uint32_t>(samples.size()))),
                         AiffChunk("SSND", SoundDataBody(0, sound))}));
}

// The samples of a data file of the new project 08 as the recorder reader decodes them.
Bytes DecodedDataFile(const std::string& folder, std::uint16_t serial, std::uint8_t wordLength)
{
    sobinder song{};
    song.projectNumber = 8;
    song.wordLength = wordLength;
    soentry segment{};
    segment.fileSerial = serial;
    CTrackFile file(folder, song, segment);
    EXPECT_TRUE(file.OpenForRead());
    std::vector<std::uint8_t> block(static_cast<std::size_t>(file.GetDecodedBlockSize()) + 24);
    Bytes decoded;
    for (std::uint32_t n = 1; file.ReadBlock(n, block.data()); ++n) {
        const auto bytes = static_cast<long>(file.GetSamplesPerBlock()) * file.GetBytesPerSample();
        decoded.insert(decoded.end(), block.begin(), block.begin() + bytes);
    }
    return decoded;
}

// The data file of serial 0 holds `samples` from its start, then zeros.
void ExpectReadBack(const std::string& folder, std::uint8_t wordLength, const std::vector<std::int32_t>& samples,
                    int bits)
{
    const Bytes decoded = DecodedDataFile(folder, 0, wordLength);
    const Bytes expected = Encoded(samples, bits, CPCSoundFile::kBigEndian);
    ASSERT_GE(decoded.size(), expected.size());
    const auto end = decoded.begin() + static_cast<long>(expected.size());
    EXPECT_TRUE(Bytes(decoded.begin(), end) == expected);
    EXPECT_EQ(std::count(end, decoded.end(), 0), decoded.end() - end);
}

// Every file of a folder with its bytes; folders appear with no bytes.
std::map<std::string, Bytes> Snapshot(const std::string& folder)
{
    std::map<std::string, Bytes> files;
    for (const auto& name : FileNames(folder)) {
        const auto path = std::filesystem::path(folder) / name;
        files[name] = std::filesystem::is_regular_file(path) ? ReadBytes(path.string()) : Bytes{};
    }
    return files;
}

struct ImportRig {
    ImportRig() = default;
    explicit ImportRig(const Bytes& fnbText) : disk(fnbText) {}

    // Puts a file on track `index` as the File->MO page does after its checks.
    void Use(std::size_t index, const std::string& name, const Bytes& bytes)
    {
        const std::string path = sources.File(name);
        WriteBytes(path, bytes);
        ASSERT_TRUE(slots[index].SelectReader(path));
        ASSERT_FALSE(slots[index].ReadSourceHeader(path));
        slots[index].SetSourcePath(path);
    }

    ImportResult Import()
    {
        CInvertExchange exchange(slots, disk.doc, ui);
        return exchange.Run();
    }
    bool Run() { return Import().succeeded; }

    std::string FnbText() const { return AsText(ReadBytes(disk.FnbTextPath())); }

    // A recorder index listing one project `number` (with a data file of serial 0).
    void WriteBinder(std::uint16_t number)
    {
        diskwriter::Disk recorder;
        recorder.AddProject({.slot = 2, .number = number, .name = "On disk"})
            .AddSegment({.track = 1, .virtualTrack = 1, .lengthGroups = 8, .samples = std::vector<std::int32_t>(64, 9)});
        recorder.Write(disk.folder.Path());
    }

    MoDisk disk;
    testsupport::TempFolder sources;
    testsupport::ScriptedUserInterface ui;
    TrackSlots slots = MakeTrackSlots();
};

const std::string kOldText = "SNGSERIAL: 07\r\nSONGTITLE: Old\r\n\r\n";

std::string ProjectBlock(const std::string& stamp, int bitCode, int rateCode)
{
    return "SNGSERIAL: 08\r\nSONGTITLE: Untitled\r\nBINUPDATE: " + stamp + "\r\nBASEDTIME: 0\r\nRECORDBIT: " +
           std::to_string(bitCode) + "\r\nRECORDFSC: " + std::to_string(rateCode) + "\r\nFRAMERATE: 3\r\n\r\n";
}

std::string TrackBlock(const std::string& stamp, int serial, int track, std::uint32_t start, std::uint32_t length)
{
    const std::string digits = std::string(serial < 10 ? "0000" : "000") + std::to_string(serial);
    return "TRKSERIAL: " + digits + "  8b320800." + digits.substr(2) + "\r\nBINUPDATE: " + stamp +
           "\r\nVERTIALTR: 1\r\nTRKNUMBER: " + std::to_string(track) + "\r\nBASEDTIME: " + std::to_string(start) +
           "\r\nTRKSAMPLE: " + std::to_string(length) + "\r\n\r\n";
}

}  // namespace

TEST(InvertExchange, TrackOneOnly)
{
    ImportRig rig;
    rig.Use(0, "one.wav", WaveOf(Signal(2 * kGroups16 * 8, 16), 16));
    ASSERT_TRUE(rig.Run());

    const std::string stamp = rig.disk.doc.GetTimeStamp();
    EXPECT_EQ(rig.ui.Messages(), std::vector<std::string>{"Convert succeeded."});
    EXPECT_EQ(rig.ui.events.back().icon, platform::MessageIcon::Information);
    // Sound up to the end of the last unit: the region takes one more block.
    EXPECT_EQ(rig.FnbText(), AsText(PaddedFnbText(kOldText + ProjectBlock(stamp, 0, 3) +
                                                  TrackBlock(stamp, 0, 1, 0, 3 * kGroups16))));
    EXPECT_EQ(FileNames(rig.disk.folder.Path()), (std::vector<std::string>{"8b320800.000", "FNB.TXT"}));
    EXPECT_EQ(std::filesystem::file_size(rig.disk.folder.File("8b320800.000")), 3 * 131072u);
}

TEST(InvertExchange, UsedTracksOnlyInSlotOrder)
{
    const auto sound = WaveOf(Signal(1000, 24), 24);
    const auto silence = WaveOf(std::vector<std::int32_t>(100000, 0), 24);
    struct Case {
        const char* name;
        std::vector<std::pair<std::size_t, const Bytes*>> tracks;
        std::vector<int> trackNumbers;  // of the track blocks, in order
        int slotSteps;                  // animation steps of the two passes
    };
    const Case cases[] = {
        {"tracks 1 and 3", {{0, &sound}, {2, &sound}}, {1, 3}, 4},
        {"a silent track adds nothing", {{0, &sound}, {1, &silence}, {7, &sound}}, {1, 8}, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ImportRig rig;
        for (const auto& [index, bytes] : c.tracks)
            rig.Use(index, "track" + std::to_string(index) + ".wav", *bytes);
        ASSERT_TRUE(rig.Run());
        const std::string stamp = rig.disk.doc.GetTimeStamp();
        std::string expected = kOldText + ProjectBlock(stamp, 2, 3);
        std::vector<std::string> files;
        for (std::size_t i = 0; i < c.trackNumbers.size(); ++i) {
            expected += TrackBlock(stamp, static_cast<int>(i), c.trackNumbers[i], 0, 5461);
            files.push_back("8b320800.00" + std::to_string(i));
        }
        files.push_back("FNB.TXT");
        EXPECT_EQ(rig.FnbText(), AsText(PaddedFnbText(expected)));
        EXPECT_EQ(FileNames(rig.disk.folder.Path()), files);
        // Each used slot: one step per pass, and one per region at group 0.
        EXPECT_EQ(rig.ui.Count(UiEvent::Kind::ProgressStep), c.slotSteps + static_cast<int>(c.trackNumbers.size()));
        EXPECT_EQ(rig.ui.Count(UiEvent::Kind::ProgressDestroyed), 1);
        EXPECT_EQ(rig.ui.Messages(), std::vector<std::string>{"Convert succeeded."});
    }
}

TEST(InvertExchange, ASilentSourceIsLeftOutWithAWarningAndSilenceAloneIsRefused)
{
    const auto sound = WaveOf(Signal(1000, 24), 24);
    const auto silence = WaveOf(std::vector<std::int32_t>(100000, 0), 24);
    struct Case {
        const char* what;
        std::vector<std::pair<std::size_t, const Bytes*>> tracks;
        std::vector<std::string> silentTracks;  // named by the warnings, in order
        bool imports;
    };
    const Case cases[] = {
        {"sound on Track 1, silence on Track 2", {{0, &sound}, {1, &silence}}, {"Track 2"}, true},
        {"silence on Tracks 1 and 3", {{0, &silence}, {2, &silence}}, {"Track 1", "Track 3"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ImportRig rig;
        for (const auto& [index, bytes] : c.tracks)
            rig.Use(index, "track" + std::to_string(index) + ".wav", *bytes);
        const auto before = Snapshot(rig.disk.folder.Path());
        const ImportResult result = rig.Import();
        ASSERT_EQ(result.succeeded, c.imports);
        ASSERT_EQ(result.warnings.size(), c.silentTracks.size());
        for (std::size_t i = 0; i < c.silentTracks.size(); ++i) {
            EXPECT_EQ(result.warnings[i].kind, WarningKind::SilentSourceLeftOut);
            EXPECT_EQ(result.warnings[i].detail, c.silentTracks[i]);
            const std::size_t index = static_cast<std::size_t>(c.silentTracks[i].back() - '1');
            EXPECT_EQ(result.warnings[i].subject, rig.slots[index].GetSourcePath());
        }
        if (c.imports) {
            EXPECT_EQ(result.dataFiles.size(), 1u);
            continue;
        }
        EXPECT_EQ(result.refusal.id, MessageId::ConvertFailed);
        EXPECT_EQ(result.refusal.reason, Reason::NoSoundInSources);
        EXPECT_EQ(rig.ui.Messages(), std::vector<std::string>{"Convert failed."});
        EXPECT_TRUE(Snapshot(rig.disk.folder.Path()) == before);
    }
}

TEST(InvertExchange, RunsWithoutAnimationWhenNoWindowCanBeMade)
{
    ImportRig rig;
    rig.ui.progressCreationFails = true;
    rig.Use(0, "one.wav", WaveOf(Signal(5000, 16), 16));
    EXPECT_TRUE(rig.Run());
    EXPECT_EQ(rig.ui.Count(UiEvent::Kind::ProgressStep), 0);
    EXPECT_EQ(rig.ui.Count(UiEvent::Kind::WaitBegin), 1);
    EXPECT_EQ(rig.ui.Count(UiEvent::Kind::WaitEnd), 1);
}

TEST(InvertExchange, FailuresLeaveTheDiskAsItWas)
{
    const auto sound = WaveOf(Signal(1000, 16), 16);
    std::string nearlyFull = "SNGSERIAL: 07\r\n";
    nearlyFull.resize(131072 - 130 - 2 * 141 + 1, 'x');
    struct Case {
        const char* name;
        std::function<void(ImportRig&)> arrange;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"FNB.TXT full before any file is written",
         [&](ImportRig& rig) { WriteBytes(rig.disk.FnbTextPath(), PaddedFnbText(nearlyFull)); },
         {"FNB.TXT file is full."}},
        {"no FNB.TXT", [](ImportRig& rig) { std::filesystem::remove(rig.disk.FnbTextPath()); },
         {"FNB.TXT reading is failed."}},
        {"no project number left",
         [](ImportRig& rig) { WriteBytes(rig.disk.FnbTextPath(), PaddedFnbText("SNGSERIAL: 99\r\n")); },
         {"A project number is full."}},
        {"conversion fails on track 3",
         [](ImportRig& rig) { std::filesystem::create_directory(rig.disk.folder.File("8b320800.002")); },
         {"Convert failed."}},
        {"data file name taken by a listed project",
         [](ImportRig& rig) { rig.WriteBinder(8); },
         {"Convert failed."}},
        {"data file name taken, FNB.BIN unreadable",
         [](ImportRig& rig) { WriteBytes(rig.disk.folder.File("8B320800.001"), Bytes(100, 7)); },
         {"Convert failed."}},
        {"track 1 file damaged after its check",
         [](ImportRig& rig) { WriteBytes(rig.sources.File("track0.wav"), AsBytes("RIFF....JUNK")); },
         {"The file format is unknown.", "Inside error."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ImportRig rig;
        for (const std::size_t index : {0, 1, 2})
            rig.Use(index, "track" + std::to_string(index) + ".wav", sound);
        c.arrange(rig);
        const auto before = Snapshot(rig.disk.folder.Path());
        EXPECT_FALSE(rig.Run());
        EXPECT_EQ(rig.ui.Messages(), c.messages);
        EXPECT_EQ(rig.ui.events.back().icon, platform::MessageIcon::Exclamation);
        EXPECT_TRUE(Snapshot(rig.disk.folder.Path()) == before);
            EXPECT_EQ(rig.ui.Count(UiEvent::Kind::WaitEnd), 1);
    }
}

TEST(InvertExchange, DataFilesOnTheDiskRefuseWithTheStateOfTheProjectIndex)
{
    struct Case {
        const char* name;
        std::function<void(ImportRig&)> arrange;
        Reason reason;
        std::string subject;  // in the disk folder
        std::string detail;
    };
    const Case cases[] = {
        {"listed project", [](ImportRig& rig) { rig.WriteBinder(8); }, Reason::ListedProjectFiles, "", "08"},
        {"no FNB.BIN", [](ImportRig&) {}, Reason::ProjectIndexMissing, "FNB.BIN", ""},
        {"FNB.BIN unreadable", [](ImportRig& rig) { WriteBytes(rig.disk.folder.File("FNB.BIN"), Bytes(10, 1)); },
         Reason::ProjectIndexUnreadable, "FNB.BIN", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ImportRig rig;
        rig.Use(0, "one.wav", WaveOf(Signal(1000, 16), 16));
        c.arrange(rig);
        WriteBytes(rig.disk.folder.File("8b320800.000"), Bytes(100, 7));
        const ImportResult result = rig.Import();
        EXPECT_FALSE(result.succeeded);
        EXPECT_EQ(result.refusal.id, MessageId::ConvertFailed);
        EXPECT_EQ(result.refusal.reason, c.reason);
        EXPECT_EQ(result.refusal.subject, c.subject.empty() ? rig.disk.folder.Path() : rig.disk.folder.File(c.subject));
        EXPECT_EQ(result.refusal.detail, c.detail);
    }
}

TEST(InvertExchange, CursorComesBackBeforeTheWindowGoesAndTheMessageComesLast)
{
    using Kind = UiEvent::Kind;
    std::string full = "SNGSERIAL: 07\r\n";
    full.resize(131072 - 130, 'x');
    const std::vector<Kind> withWindow = {Kind::WaitBegin, Kind::ProgressCreated, Kind::WaitEnd,
                                          Kind::ProgressDestroyed, Kind::Message};
    struct Case {
        const char* name;
        std::string fnbText;
        std::vector<Kind> order;
    };
    const Case cases[] = {
        {"success", kOldText, withWindow},
        {"FNB.TXT full", full, withWindow},
        {"no project number left", "SNGSERIAL: 99\r\n", {Kind::WaitBegin, Kind::WaitEnd, Kind::Message}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ImportRig rig(PaddedFnbText(c.fnbText));
        rig.Use(0, "one.wav", WaveOf(Signal(1000, 16), 16));
        rig.Run();
        std::vector<Kind> order;
        for (const auto& event : rig.ui.events) {
            if (event.kind != Kind::ProgressStep && event.kind != Kind::ProgressShown)
                order.push_back(event.kind);
        }
        EXPECT_EQ(order, c.order);
    }
}

TEST(InvertExchange, LeftoversOfAnUnlistedProjectAreReplaced)
{
    ImportRig rig;
    rig.WriteBinder(5);
    WriteBytes(rig.disk.folder.File("8b320800.000"), Bytes(100, 7));
    const auto samples = Signal(1000, 16);
    rig.Use(0, "one.wav", WaveOf(samples, 16));
    ASSERT_TRUE(rig.Run());
    ExpectReadBack(rig.disk.folder.Path(), kWordLength16, samples, 16);
}

TEST(InvertExchange, ImportedSamplesReadBackThroughTheRecorderReader)
{
    struct Case {
        const char* name;
        int bits;
        std::uint8_t wordLength;
        std::size_t samples;
        std::function<Bytes(const std::vector<std::int32_t>&)> file;
    };
    const auto wave = [](int bits) { return [bits](const std::vector<std::int32_t>& s) { return WaveOf(s, bits); }; };
    const auto aiff = [](int bits) { return [bits](const std::vector<std::int32_t>& s) { return AiffOf(s, bits); }; };
    const Case cases[] = {
        {"one.wav", 16, kWordLength16, 3 * 65536 + 77, wave(16)},
        {"one.wav", 24, kWordLength24, 2 * 43688 + 5, wave(24)},
        {"one.wav", 20, kWordLength20, 2 * 52424 + 3, wave(20)},
        {"one.aif", 16, kWordLength16, 65536 + 1, aiff(16)},
        {"one.aif", 24, kWordLength24, 43688 * 2, aiff(24)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " " << c.bits << " bit");
        ImportRig rig;
        const auto samples = Signal(c.samples, c.bits);
        rig.Use(0, c.name, c.file(samples));
        ASSERT_TRUE(rig.Run());
        ExpectReadBack(rig.disk.folder.Path(), c.wordLength, samples, c.bits);
    }
}

#ifndef _WIN32  // files written by libsndfile and sox, on the host only
namespace {

void WriteWithSndfile(const std::string& path, int format, int bits, const std::vector<std::int32_t>& samples)
{
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = format | (bits == 16 ? SF_FORMAT_PCM_16 : SF_FORMAT_PCM_24);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    std::vector<int> scaled;
    for (const auto sample : samples)
        scaled.push_back(static_cast<int>(static_cast<std::uint32_t>(sample) << (kIntBits - bits)));
    const auto count = static_cast<sf_count_t>(scaled.size());
    ASSERT_EQ(sf_write_int(file, scaled.data(), count), count);
    ASSERT_EQ(sf_close(file), 0);
}

// Writes the samples with sox, with `comment` in the file's comment when given.
void WriteWithSox(const std::string& path, int bits, const std::vector<std::int32_t>& samples, const char* comment)
{
    const std::string raw = path + ".raw";
    WriteBytes(raw, Encoded(samples, bits, CPCSoundFile::kLittleEndian));
    const char* sox = std::getenv("WAVELORN_SOX");
    const std::string commentOption = comment ? std::string(" --comment '") + comment + "'" : std::string();
    const std::string command = std::string(sox ? sox : "sox") + " -t raw -r 44100 -e signed-integer -b " +
                                std::to_string(bits) + " -c 1 -L '" + raw + "'" + commentOption + " '" + path + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

}  // namespace

TEST(InvertExchange, FilesOfOtherProgramsImportWithTheirSamplesInPlace)
{
    constexpr int kSox = 0;  // written by sox instead of libsndfile
    struct Case {
        const char* name;
        int format;
        int bits;
        std::uint8_t wordLength;
        const char* comment = nullptr;  // given to sox
    };
    const Case cases[] = {
        {"take.wav", SF_FORMAT_WAV, 16, kWordLength16},   {"take.wav", SF_FORMAT_WAV, 24, kWordLength24},
        {"take.wav", SF_FORMAT_WAVEX, 24, kWordLength24}, {"take.aif", SF_FORMAT_AIFF, 16, kWordLength16},
        {"take.aif", SF_FORMAT_AIFF, 24, kWordLength24},  {"take.wav", kSox, 16, kWordLength16},
        {"take.wav", kSox, 24, kWordLength24},            {"take.aif", kSox, 16, kWordLength16},
        {"take.aif", kSox, 24, kWordLength24},
        // Chunk identifiers in a comment are not taken for the chunks themselves.
        {"take.aif", kSox, 24, kWordLength24, "SSND~~~~    take"},
        {"take.aif", kSox, 16, kWordLength16, "COMMENT: take 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " " << c.bits << " bit, format " << c.format << ", comment "
                                        << (c.comment ? c.comment : "none"));
        ImportRig rig;
        const auto samples = Signal(70000, c.bits);
        const std::string path = rig.sources.File(c.name);
        if (c.format == kSox)
            WriteWithSox(path, c.bits, samples, c.comment);
        else
            WriteWithSndfile(path, c.format, c.bits, samples);
        rig.Use(0, c.name, ReadBytes(path));
        ASSERT_TRUE(rig.Run());
        ExpectReadBack(rig.disk.folder.Path(), c.wordLength, samples, c.bits);
    }
}
#endif

TEST(InvertExchange, AStopRequestBeforeTheCommitLeavesTheDiskAsItWas)
{
    // Three sources of two blocks each: the scan and the conversion poll between units.
    const auto sound = WaveOf(Signal(2 * kGroups16 * 8, 16), 16);
    const auto prepare = [&](ImportRig& rig) {
        for (const std::size_t index : {0, 1, 2})
            rig.Use(index, "track" + std::to_string(index) + ".wav", sound);
    };
    ImportRig counting;
    prepare(counting);
    counting.ui.stopAtPoll = std::numeric_limits<int>::max();  // counts the polls, never stops
    ASSERT_TRUE(counting.Run());
    const int polls = counting.ui.stopPolls;
    ASSERT_GT(polls, 6);
    struct Case {
        const char* what;
        int stopAtPoll;
    };
    const Case cases[] = {
        {"at the first poll", 0}, {"during the scan", 2}, {"during the conversion", polls - 3},
        {"at the last poll before the commit", polls - 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ImportRig rig;
        prepare(rig);
        const auto before = Snapshot(rig.disk.folder.Path());
        rig.ui.stopAtPoll = c.stopAtPoll;
        const ImportResult result = rig.Import();
        EXPECT_FALSE(result.succeeded);
        EXPECT_EQ(result.refusal.reason, Reason::Interrupted);
        EXPECT_TRUE(rig.ui.Messages().empty()) << "no failure box";
        EXPECT_TRUE(Snapshot(rig.disk.folder.Path()) == before);
    }
}
