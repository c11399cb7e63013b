// The archive run inside the test process, on disks from the disk writer, with a
// file system that fails or corrupts on purpose where a test needs it.

#include "archive/ArchiveCheck.h"
#include "archive/ArchiveManifest.h"
#include "archive/ArchiveRun.h"
#include "convert/FlacFile.h"
#include "platform/Files.h"
#include "platform/Sha256.h"
#include "tests/archive/ArchiveFixture.h"
#include "tests/cli/SoundCheck.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <iterator>

using archive::ArchiveFormat;
using nlohmann::json;
using testsupport::FaultOp;
using testsupport::NameContains;
using testsupport::RecordingConsole;
using testsupport::TempFolder;

namespace {

constexpr int kGroup = 8;
constexpr int kChunkFrames = 10240;

class ArchiveRun : public testing::Test {
protected:
    void Write(const diskwriter::Disk& disk) { disk.Write(m_disk.Path()); }

    int Archive(const std::string& outdir, ArchiveFormat format = ArchiveFormat::Wave, bool verify = false,
                platform::FileSystem& files = platform::RealFileSystem())
    {
        console = RecordingConsole{};
        archive::ArchiveOptions options{m_disk.Path(), outdir, format, verify};
        options.retries.pause = {};  // the failing reads of the tests need no pause
        return archive::RunArchive(options, files, console);
    }

    std::string Out(const std::string& name) const { return m_out.File(name); }
    std::string Disk(const std::string& name) const { return m_disk.File(name); }

    static json Manifest(const std::string& outdir)
    {
        return json::parse(testsupport::ArchiveTree(outdir).at("manifest.json"));
    }

    RecordingConsole console;

private:
    TempFolder m_disk;
    TempFolder m_out;
};

std::string FileSha(const std::string& path)
{
    const auto bytes = testsupport::ReadBytes(path);
    return platform::Sha256Hex(bytes.data(), bytes.size());
}

// What the disk description says about one track, as the manifest must give it.
struct ExpectedTrack {
    std::string folder;
    int track;
    int virtualTrack;
    std::vector<std::uint32_t> starts;
    std::vector<std::uint32_t> lengths;
    std::vector<int> leadIns;
    std::vector<std::string> dataFiles;
    std::uint64_t samples;
};

TEST_F(ArchiveRun, ManifestStatesTheFactsOfTheDiskAndTheFilesWritten)
{
    Write(testsupport::ArchiveDisk());
    ASSERT_EQ(Archive(Out("a")), 0) << testing::PrintToString(console.warnings);
    const json manifest = Manifest(Out("a"));
    EXPECT_TRUE(manifest["complete"]);
    EXPECT_EQ(manifest["format"], "wav");
    EXPECT_EQ(manifest["leftOut"], json::array());

    const json& projects = manifest["projects"];
    ASSERT_EQ(projects.size(), 3u);
    struct ExpectedProject {
        int number;
        std::string name, nameBytes, folder;
        int rate, bits;
    };
    const ExpectedProject expectedProjects[] = {
        {1, "Caf\xc3\xa9 <1>", "436166e9203c313e000000000000", "01 Caf\xc3\xa9 _1_", 44100, 16},
        {2, "Project 2", "0000000000000000000000000000", "02 Project 2", 32000, 20},
        {1, "Caf\xc3\xa9 <1>", "436166e9203c313e000000000000", "01 Caf\xc3\xa9 _1_ (2)", 48000, 24},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& expected = expectedProjects[i];
        EXPECT_EQ(projects[i]["number"], expected.number);
        EXPECT_EQ(projects[i]["name"], expected.name);
        EXPECT_EQ(projects[i]["nameBytes"], expected.nameBytes);
        EXPECT_EQ(projects[i]["folder"], expected.folder);
        EXPECT_EQ(projects[i]["rate"], expected.rate);
        EXPECT_EQ(projects[i]["bits"], expected.bits);
    }

    const ExpectedTrack expectedTracks[] = {
        {"01 Caf\xc3\xa9 _1_", 1, 1, {0}, {3000}, {0}, {"8b320100.000"}, 3000 * kGroup},
        {"01 Caf\xc3\xa9 _1_", 2, 1, {100, 4000}, {1500, 700}, {20, 0}, {"8b320100.001", "8b320100.002"},
         4700 * kGroup},
        {"01 Caf\xc3\xa9 _1_", 2, 3, {0}, {900}, {0}, {"8b320100.003"}, 900 * kGroup},
        {"02 Project 2", 8, 8, {50}, {2000}, {0}, {"8b320200.010"}, 2050 * kGroup},
        {"01 Caf\xc3\xa9 _1_ (2)", 1, 1, {0, 2000}, {1000, 1000}, {0, 5}, {"8b320100.020", "8b320100.021"},
         3000 * kGroup},
    };
    std::vector<json> tracks;
    for (const auto& project : projects) {
        for (const auto& track : project["tracks"])
            tracks.push_back(track);
    }
    ASSERT_EQ(tracks.size(), std::size(expectedTracks));
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const auto& expected = expectedTracks[i];
        const json& track = tracks[i];
        SCOPED_TRACE(track.dump());
        EXPECT_EQ(track["track"], expected.track);
        EXPECT_EQ(track["virtualTrack"], expected.virtualTrack);
        ASSERT_EQ(track["segments"].size(), expected.starts.size());
        for (std::size_t s = 0; s < expected.starts.size(); ++s) {
            EXPECT_EQ(track["segments"][s]["startGroup"], expected.starts[s]);
            EXPECT_EQ(track["segments"][s]["lengthGroups"], expected.lengths[s]);
            EXPECT_EQ(track["segments"][s]["leadInGroups"], expected.leadIns[s]);
            EXPECT_EQ(track["segments"][s]["dataFile"], expected.dataFiles[s]);
        }
        EXPECT_EQ(track["samples"], expected.samples);
        const std::string file = expected.folder + "/T" + std::to_string(expected.track) + "V" +
                                 std::to_string(expected.virtualTrack) + ".wav";
        ASSERT_EQ(track["file"], file);
        const std::string path = Out("a/" + file);
        const std::uint64_t frames = (expected.samples + kChunkFrames - 1) / kChunkFrames * kChunkFrames + kChunkFrames;
        EXPECT_EQ(track["fileSamples"], frames);
        EXPECT_EQ(track["size"], testsupport::ReadBytes(path).size());
        EXPECT_EQ(track["sha256"], FileSha(path));
    }

    std::vector<std::string> diskNames;
    for (const auto& disk : manifest["diskFiles"]) {
        diskNames.push_back(disk["name"]);
        EXPECT_EQ(disk["sha256"], FileSha(Disk(disk["name"])));
        EXPECT_EQ(testsupport::ReadBytes(Out("a/disk/" + disk["name"].get<std::string>())),
                  testsupport::ReadBytes(Disk(disk["name"])));
    }
    EXPECT_EQ(diskNames, (std::vector<std::string>{"8b320100.000", "8b320100.001", "8b320100.002", "8b320100.003",
                                                    "8b320100.020", "8b320100.021", "8b320200.010", "FNB.BIN",
                                                    "HFS.BIN"}));
    // One bar over the whole work, forward only, ending full.
    EXPECT_GT(console.total, 0u);
    EXPECT_EQ(console.done, console.total);
    EXPECT_FALSE(console.backwards);
}

#ifdef WAVELORN_TEST_SNDFILE  // the FLAC is read back through the host's libsndfile
TEST_F(ArchiveRun, FlacHoldsTheSamplesOfTheWave)
{
    Write(testsupport::ArchiveDisk());
    ASSERT_EQ(Archive(Out("wav")), 0);
    ASSERT_EQ(Archive(Out("flac"), ArchiveFormat::Flac, true), 0) << testing::PrintToString(console.warnings);
    struct Case {
        std::string file;
        int subtype;
    };
    const Case cases[] = {
        {"01 Caf\xc3\xa9 _1_/T2V1", testsupport::kSoundPcm16},
        {"02 Project 2/T8V8", testsupport::kSoundPcm24},
        {"01 Caf\xc3\xa9 _1_ (2)/T1V1", testsupport::kSoundPcm24},
    };
    for (const auto& c : cases) {
        const auto wave = testsupport::ReadSound(Out("wav/" + c.file + ".wav"));
        const auto flac = testsupport::ReadSound(Out("flac/" + c.file + ".flac"));
        EXPECT_EQ(flac.format, testsupport::kSoundFlac | c.subtype) << c.file;
        EXPECT_EQ(flac.rate, wave.rate) << c.file;
        EXPECT_EQ(flac.channelSamples, wave.channelSamples) << c.file;
    }
    EXPECT_EQ(Manifest(Out("flac"))["format"], "flac");
}
#endif

TEST_F(ArchiveRun, DamagedProjectsAreSalvagedAndTheRestIsComplete)
{
    Write(testsupport::DamagedDisk());
    EXPECT_EQ(Archive(Out("a"), ArchiveFormat::Wave, true), 1);
    const json manifest = Manifest(Out("a"));
    EXPECT_TRUE(manifest["complete"]);
    EXPECT_EQ(manifest["leftOut"],
              json({"02 Odd Rate: project 2: rate code 9 has no defined rate",
                    "03 Broken: track 1 (virtual track 1): the data file 8b320300.020 cannot be opened",
                    "03 Broken: track 2 (virtual track 1) ended early: a link in FNB.BIN leads outside the file"}));
    for (const auto& text : manifest["leftOut"])
        EXPECT_TRUE(console.Warned(text.get<std::string>())) << text;
    EXPECT_FALSE(console.Warned("verify:"));

    const json& broken = manifest["projects"][2]["tracks"];
    EXPECT_EQ(broken[0]["error"], "track 1 (virtual track 1): the data file 8b320300.020 cannot be opened");
    EXPECT_FALSE(broken[0].contains("file"));
    EXPECT_EQ(broken[1]["file"], "03 Broken/T2V1.wav");  // what could be read of it
    EXPECT_EQ(broken[2]["file"], "03 Broken/T3V1.wav");
    EXPECT_EQ(manifest["projects"][0]["tracks"].size(), 3u);
    for (const auto& track : manifest["projects"][0]["tracks"])
        EXPECT_TRUE(track.contains("file")) << track.dump();
    EXPECT_EQ(manifest["projects"][1]["rate"], nullptr);
}

// The bytes of a WAVE track file with the samples of `silent` (a manifest's spans) zero.
std::string WithSilence(std::string wave, const json& silent, std::size_t width)
{
    const std::size_t data = wave.find("data") + 8;
    for (const auto& span : silent) {
        const auto first = span["first"].get<std::size_t>();
        const auto samples = span["samples"].get<std::size_t>();
        std::fill_n(wave.begin() + static_cast<std::ptrdiff_t>(data + first * width), samples * width, '\0');
    }
    return wave;
}

// Reads of disk files that fail at chosen offsets, some for a while, some always: the
// raw copies equal the disk but for what stays unreadable, which is zero there and
// listed exactly, in the manifest and in the rescue map; the tracks of the damaged
// data file are silent for exactly the groups those bytes held, say so, and equal the
// sound archive elsewhere. A re-run reads only the holes and counts their tries on;
// one of the sound disk makes the archive whole, redoing only the damaged file's tracks.
TEST_F(ArchiveRun, ReadsAroundUnreadableRangesAndListsExactlyWhatStaysLost)
{
    constexpr std::uint64_t kBlock = 131072;
    constexpr std::uint64_t kPiece = archive::kRescuePieceBytes;
    constexpr int kTries = archive::kReadTries;
    Write(testsupport::LongTrackDisk());
    ASSERT_EQ(Archive(Out("whole")), 0);
    const auto whole = testsupport::ArchiveTree(Out("whole"));
    const json wholeManifest = Manifest(Out("whole"));
    // The largest data file (several blocks) is damaged; another one only reads late.
    std::string damaged;
    std::string late;
    for (const auto& project : wholeManifest["projects"]) {
        for (const auto& track : project["tracks"]) {
            for (const auto& segment : track["segments"]) {
                const std::string name = segment["dataFile"];
                if (damaged.empty() || whole.at("disk/" + name).size() > whole.at("disk/" + damaged).size())
                    damaged = name;
            }
        }
    }
    for (const auto& [file, bytes] : whole) {
        if (file.starts_with("disk/8b") && file != "disk/" + damaged)
            late = file.substr(std::string("disk/").size());
    }
    const std::uint64_t size = whole.at("disk/" + damaged).size();
    ASSERT_GT(size, 2 * kBlock + kPiece);
    ASSERT_FALSE(late.empty());
    const auto onDisk = [this](const std::string& name) {
        return [path = Disk(name)](const std::string& read) { return read == path; };
    };
    const auto fail = [&](testsupport::FaultyFileSystem& faulty) {
        constexpr int kAlways = testsupport::FaultyFileSystem::kAlways;
        faulty.FailRange(5000, 10, kAlways, onDisk(damaged));
        faulty.FailRange(kBlock + 3 * kPiece - 1, 2, kAlways, onDisk(damaged));  // across two pieces
        faulty.FailRange(size - 1, 1, kAlways, onDisk(damaged));                  // in the short last piece
        faulty.FailRange(2 * kBlock + 100, 10, 1, onDisk(damaged));
        faulty.FailRange(0, 1, kTries, onDisk(late));  // all the block's tries: its pieces read
    };
    const std::uint64_t lastPiece = (size - 1) / kPiece * kPiece;
    const std::vector<std::pair<std::uint64_t, std::uint64_t>> lost = {
        {kPiece, kPiece}, {kBlock + 2 * kPiece, 2 * kPiece}, {lastPiece, size - lastPiece}};
    std::string copy = whole.at("disk/" + damaged);
    for (const auto& [offset, length] : lost)
        std::fill_n(copy.begin() + static_cast<std::ptrdiff_t>(offset), length, '\0');

    for (const int run : {1, 2}) {
        SCOPED_TRACE(run);
        const int tries = run * (kTries + 1);
        json ranges = json::array();
        std::vector<std::string> lines;
        for (const auto& [offset, length] : lost) {
            ranges.push_back({{"offset", offset}, {"length", length}, {"tries", tries}});
            lines.push_back("unreadable: " + damaged + ": bytes " + std::to_string(offset) + "-" +
                            std::to_string(offset + length - 1) + " after " + std::to_string(tries) + " tries");
        }
        testsupport::FaultyFileSystem faulty;
        fail(faulty);
        std::vector<std::uint64_t> reads;  // of the damaged file, from where
        faulty.failReads = [&, path = Disk(damaged)](const std::string& read, std::uint64_t position) {
            if (read == path)
                reads.push_back(position);
            return false;
        };
        EXPECT_EQ(Archive(Out("damaged"), ArchiveFormat::Wave, false, faulty), 1)
            << testing::PrintToString(console.warnings);
        if (run == 2) {
            for (const std::uint64_t position : reads)
                EXPECT_TRUE(std::any_of(lost.begin(), lost.end(), [&](const auto& range) {
                    return position >= range.first && position < range.first + range.second;
                })) << "a re-run read byte " << position << " again";
        }
        const auto tree = testsupport::ArchiveTree(Out("damaged"));
        EXPECT_TRUE(tree.at("disk/" + damaged) == copy);
        EXPECT_EQ(tree.at("disk/" + late), whole.at("disk/" + late));
        const json manifest = Manifest(Out("damaged"));
        for (const auto& line : lines) {
            EXPECT_TRUE(console.Warned(line)) << line;
            const json& leftOut = manifest["leftOut"];
            EXPECT_NE(std::find(leftOut.begin(), leftOut.end(), line), leftOut.end()) << line;
        }
        for (const auto& disk : manifest["diskFiles"])
            EXPECT_EQ(disk.value("unreadable", json::array()), disk["name"] == damaged ? ranges : json::array())
                << disk;
        const json map = {{"program", "wavelorn-cli"},
                          {"version", manifest["version"]},
                          {"files",
                           {{{"name", damaged}, {"copy", "disk/" + damaged}, {"size", size}, {"unreadable", ranges}}}}};
        EXPECT_EQ(json::parse(tree.at("rescue-map.json")), map);
        for (std::size_t p = 0; p < manifest["projects"].size(); ++p) {
            const json& project = manifest["projects"][p];
            for (std::size_t t = 0; t < project["tracks"].size(); ++t) {
                const json& track = project["tracks"][t];
                const json& sound = wholeManifest["projects"][p]["tracks"][t];
                const bool usesDamaged = track["segments"].dump().find(damaged) != std::string::npos;
                EXPECT_EQ(track.contains("silent"), usesDamaged) << track;
                if (!usesDamaged) {
                    EXPECT_EQ(track.value("sha256", ""), sound.value("sha256", "")) << track;
                    continue;
                }
                const std::string file = project["folder"].get<std::string>() + "/T" +
                                         std::to_string(track["track"].get<int>()) + "V" +
                                         std::to_string(track["virtualTrack"].get<int>()) + ".wav";
                const std::size_t width = project["bits"] == 16 ? 2 : 3;
                EXPECT_EQ(tree.at(file), WithSilence(whole.at(file), track["silent"], width)) << file;
                EXPECT_NE(tree.at(file), whole.at(file)) << file;
                for (const auto& span : track["silent"]) {
                    EXPECT_EQ(span["dataFile"], damaged);
                    EXPECT_TRUE(console.Warned(" is silent at ")) << track;
                }
            }
        }
    }
    // --check holds the damaged archive to its map: the silent spans decode as archived.
    const std::string mapPath = platform::JoinPath(Out("damaged"), archive::kRescueMapName);
    for (const bool mapIntact : {true, false}) {
        const std::string emptyMap = R"({"program": "wavelorn-cli", "files": []})";
        if (!mapIntact)
            testsupport::WriteBytes(mapPath, std::vector<std::uint8_t>(emptyMap.begin(), emptyMap.end()));
        console = RecordingConsole{};
        EXPECT_EQ(archive::CheckArchive(Out("damaged"), platform::RealFileSystem(), console), mapIntact ? 0 : 1)
            << testing::PrintToString(console.warnings);
        EXPECT_TRUE(console.Warned("16384 bytes of 1 disk files could not be read from the disk"));
        EXPECT_EQ(console.Warned("rescue-map.json: lists other unreadable ranges"), !mapIntact);
    }
    EXPECT_EQ(Archive(Out("damaged")), 0);
    EXPECT_TRUE(console.Warned("retried: " + damaged + ": "));
    EXPECT_FALSE(console.Warned("redone: 01 "));  // the projects that do not play the damaged file
    EXPECT_EQ(testsupport::ArchiveTree(Out("damaged")), whole);
}

namespace {

// Takes the bytes written to a file and keeps none.
class DiscardingOutputFile : public platform::OutputFile {
public:
    explicit DiscardingOutputFile(std::unique_ptr<platform::OutputFile> inner) : m_inner(std::move(inner)) {}
    bool Write(const void*, std::size_t) override { return true; }
    bool Seek(std::uint64_t) override { return true; }
    bool Flush() override { return m_inner->Flush(); }
    bool Sync() override { return m_inner->Sync(); }
    bool Close() override { return m_inner->Close(); }

private:
    std::unique_ptr<platform::OutputFile> m_inner;
};

// Real files, of which those whose name holds `discarded` keep no byte: an archive of
// hours of silence that takes no room.
class DiscardingFileSystem : public testsupport::FaultyFileSystem {
public:
    explicit DiscardingFileSystem(std::string discarded) : m_discarded(std::move(discarded)) {}
    std::unique_ptr<platform::OutputFile> OpenWrite(const std::string& path, platform::WriteMode mode) override
    {
        auto file = FaultyFileSystem::OpenWrite(path, mode);
        if (!file || !NameContains(m_discarded)(path))
            return file;
        return std::make_unique<DiscardingOutputFile>(std::move(file));
    }

private:
    std::string m_discarded;
};

}  // namespace

TEST_F(ArchiveRun, TheManifestKeepsTheWarningOfMoreThanAnHourOfSilence)
{
    constexpr std::uint32_t kHourAndTwelveSecondGroups = (3600 + 12) * 44100 / 8;
    diskwriter::Disk disk;
    disk.AddProject({.slot = 2, .number = 1, .name = "Late", .virtualTracks = 1})
        .AddSegment({.startGroup = kHourAndTwelveSecondGroups, .lengthGroups = 2, .samples = std::vector<std::int32_t>(16, 5)});
    Write(disk);
    DiscardingFileSystem files("T1V1.wav");
    ASSERT_EQ(Archive(Out("a"), ArchiveFormat::Wave, false, files), 0) << testing::PrintToString(console.warnings);
    const std::string warning =
        "track 1 (virtual track 1) is silent for 1:00:12 from 0:00:00, more than an hour before or between its recordings";
    EXPECT_EQ(Manifest(Out("a"))["projects"][0]["tracks"][0]["warnings"], json({warning}));
    EXPECT_TRUE(console.Warned(warning)) << testing::PrintToString(console.warnings);
}

TEST_F(ArchiveRun, WhatAnInterruptedImportLeftIsLeftAndNamedInTheManifest)
{
    Write(testsupport::ArchiveDisk());
    const std::string leftovers[] = {Disk("FNBTXT.NEW"), Disk("A0100005.OLD")};
    for (const auto& path : leftovers)
        testsupport::WriteBytes(path, std::vector<std::uint8_t>(16, 1));
    ASSERT_EQ(Archive(Out("a")), 0) << testing::PrintToString(console.warnings);
    const json warnings = Manifest(Out("a"))["warnings"];
    ASSERT_EQ(warnings.size(), 2u) << warnings;
    EXPECT_EQ(warnings[0], Disk("FNBTXT.NEW") + " was left by an interrupted import; the next import finishes or removes it");
    EXPECT_NE(warnings[1].get<std::string>().find("8b320100.005, moved aside by an import"), std::string::npos) << warnings;
    for (const auto& path : leftovers)
        EXPECT_EQ(testsupport::ReadBytes(path), std::vector<std::uint8_t>(16, 1));
}

TEST_F(ArchiveRun, ARunStoppedByAFailureAndResumedEndsAsAnUninterruptedOne)
{
    Write(testsupport::ArchiveDisk());
    // FLAC where the build has an encoder: its writes are the most varied.
    const ArchiveFormat format = convert::FlacAvailable() ? ArchiveFormat::Flac : ArchiveFormat::Wave;
    ASSERT_EQ(Archive(Out("whole"), format), 0);
    const auto whole = testsupport::ArchiveTree(Out("whole"));
    std::uint64_t copiedBytes = 0;
    for (const auto& [file, bytes] : whole)
        copiedBytes += file.starts_with("disk/") ? bytes.size() : 0;
    // The disk fills while the first output files are written.
    const std::uint64_t fullAt = copiedBytes + 30'000;

    struct Case {
        const char* name;
        std::function<void(testsupport::FaultyFileSystem&)> fault;
    };
    const Case cases[] = {
        {"raw copy write", [](auto& f) { f.FailNth(FaultOp::Write, 1, NameContains("8b320100.002")); }},
        {"output write", [](auto& f) { f.FailNth(FaultOp::Write, 3, NameContains("T2V1")); }},
        {"output rename", [](auto& f) { f.FailNth(FaultOp::Rename, 1, NameContains("T8V8")); }},
        {"manifest after a project", [](auto& f) { f.FailNth(FaultOp::Rename, 3, NameContains("manifest")); }},
        {"checksum list", [](auto& f) { f.FailNth(FaultOp::Close, 1, NameContains("SHA256SUMS")); }},
        {"disk full", [fullAt](auto& f) { f.FillAfter(fullAt); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder out;
        testsupport::FaultyFileSystem faulty;
        c.fault(faulty);
        EXPECT_EQ(Archive(out.Path(), format, false, faulty), 1);
        EXPECT_TRUE(console.Warned("archive stopped: "));
        for (const auto& [file, bytes] : testsupport::ArchiveTree(out.Path()))
            EXPECT_FALSE(platform::IsTemporaryName(platform::NamePart(file))) << file;
        ASSERT_EQ(Archive(out.Path(), format), 0);
        EXPECT_EQ(testsupport::ArchiveTree(out.Path()), whole);
        EXPECT_FALSE(console.Warned("(0 kept from an earlier run)")) << testing::PrintToString(console.warnings);
    }
}

// A re-run that stops, at its first change or at its last file, leaves a manifest that
// no longer says "complete", and the next run ends as a clean one.
TEST_F(ArchiveRun, AStoppedReRunNeverLeavesACompleteManifest)
{
    Write(testsupport::ArchiveDisk());
    ASSERT_EQ(Archive(Out("a")), 0);
    const auto whole = testsupport::ArchiveTree(Out("a"));
    struct Case {
        const char* damaged;  // redone by the re-run
        const char* failing;  // the file whose commit fails
        FaultOp op;
    };
    const Case cases[] = {
        {"disk/HFS.BIN", "HFS.BIN", FaultOp::Rename},
        {"02 Project 2/T8V8.wav", "SHA256SUMS", FaultOp::Close},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        testsupport::WriteBytes(Out(std::string("a/") + c.damaged), {0});
        testsupport::FaultyFileSystem faulty;
        faulty.FailNth(c.op, 1, NameContains(c.failing));
        EXPECT_EQ(Archive(Out("a"), ArchiveFormat::Wave, false, faulty), 1);
        EXPECT_EQ(Manifest(Out("a"))["complete"], false);
        ASSERT_EQ(Archive(Out("a")), 0);
        EXPECT_EQ(testsupport::ArchiveTree(Out("a")), whole);
    }
}

TEST_F(ArchiveRun, AResumedRunKeepsIntactFilesAndRedoesDamagedOnes)
{
    Write(testsupport::ArchiveDisk());
    ASSERT_EQ(Archive(Out("a")), 0);
    const auto first = testsupport::ArchiveTree(Out("a"));
    const std::string damaged = Out("a/02 Project 2/T8V8.wav");
    auto bytes = testsupport::ReadBytes(damaged);
    bytes[bytes.size() / 2] ^= 1;
    testsupport::WriteBytes(damaged, bytes);
    testsupport::WriteBytes(Out("a/02 Project 2/.T8V8.wav.wavelorn-stale"), {1, 2, 3});

    ASSERT_EQ(Archive(Out("a")), 0);
    EXPECT_EQ(testsupport::ArchiveTree(Out("a")), first);
    EXPECT_TRUE(console.Warned("(13 kept from an earlier run)")) << testing::PrintToString(console.warnings);
}

// Writes every byte as asked except one of one file, as a failing medium might.
class CorruptingFileSystem : public testsupport::FaultyFileSystem {
public:
    CorruptingFileSystem(std::string namePart, std::uint64_t offset) : m_namePart(std::move(namePart)), m_offset(offset) {}

    std::unique_ptr<platform::OutputFile> OpenWrite(const std::string& path, platform::WriteMode mode) override
    {
        auto file = FaultyFileSystem::OpenWrite(path, mode);
        if (!file || platform::NamePart(path).find(m_namePart) == std::string::npos)
            return file;
        return std::make_unique<Corrupting>(std::move(file), m_offset);
    }

private:
    class Corrupting : public platform::OutputFile {
    public:
        Corrupting(std::unique_ptr<platform::OutputFile> inner, std::uint64_t offset)
            : m_inner(std::move(inner)), m_offset(offset)
        {
        }
        bool Write(const void* data, std::size_t count) override
        {
            std::vector<std::uint8_t> bytes(static_cast<const std::uint8_t*>(data),
                                            static_cast<const std::uint8_t*>(data) + count);
            if (m_offset >= m_position && m_offset < m_position + count)
                bytes[m_offset - m_position] ^= 0x10;
            m_position += count;
            return m_inner->Write(bytes.data(), count);
        }
        bool Seek(std::uint64_t offset) override
        {
            m_position = offset;
            return m_inner->Seek(offset);
        }
        bool Flush() override { return m_inner->Flush(); }
        bool Sync() override { return m_inner->Sync(); }
        bool Close() override { return m_inner->Close(); }

    private:
        std::unique_ptr<platform::OutputFile> m_inner;
        std::uint64_t m_offset;
        std::uint64_t m_position = 0;
    };

    std::string m_namePart;
    std::uint64_t m_offset;
};

TEST_F(ArchiveRun, VerifyNamesAFlippedByteInAnOutputAndInARawCopy)
{
    Write(testsupport::ArchiveDisk());
    struct Case {
        std::string namePart;
        ArchiveFormat format;
        std::string mismatch;
        long mismatches;
    };
    const Case cases[] = {
        {"T2V1.wav", ArchiveFormat::Wave,
         "verify: 01 Caf\xc3\xa9 _1_/T2V1.wav: sample 2978 differs from the disk", 1},  // (6000 - 44) / 2
        // The tracks are decoded from the copies: the one that reads it differs too.
        {"8b320100.001", ArchiveFormat::Wave, "verify: disk/8b320100.001: its SHA-256 differs from the manifest's", 2},
#ifdef WAVELORN_TEST_SNDFILE
        {"T2V3.flac", ArchiveFormat::Flac, "verify: 01 Caf\xc3\xa9 _1_/T2V3.flac: ", 1},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.namePart);
        TempFolder out;
        CorruptingFileSystem corrupting(c.namePart, 6000);
        EXPECT_EQ(Archive(out.Path(), c.format, true, corrupting), 1);
        EXPECT_TRUE(console.Warned(c.mismatch)) << testing::PrintToString(console.warnings);
        EXPECT_EQ(std::count_if(console.warnings.begin(), console.warnings.end(),
                                [](const std::string& text) { return text.rfind("verify:", 0) == 0; }),
                  c.mismatches);
    }
}

}  // namespace

namespace {

namespace fs = std::filesystem;

void FlipByte(const std::string& path, std::size_t offset)
{
    auto bytes = testsupport::ReadBytes(path);
    bytes.at(offset) ^= 1;
    testsupport::WriteBytes(path, bytes);
}

// Replaces every `from` in a text file by `to`.
void Rewrite(const std::string& path, const std::string& from, const std::string& to)
{
    const auto bytes = testsupport::ReadBytes(path);
    std::string text(bytes.begin(), bytes.end());
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    testsupport::WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

const std::string kFirst = "01 Caf\xc3\xa9 _1_";

TEST_F(ArchiveRun, AnArchiveOfOtherDiskContentsIsRefusedOrMovedAsideWhole)
{
    struct Case {
        const char* change;
        std::function<void(const std::string& disk)> apply;
        std::string difference;
    };
    const Case cases[] = {
        {"recorder rewrote HFS.BIN", [](auto& d) { FlipByte(platform::JoinPath(d, "HFS.BIN"), 0); }, "HFS.BIN differs"},
        {"data file gone", [](auto& d) { fs::remove(platform::PathFromUtf8(platform::JoinPath(d, "8b320100.003"))); },
         "8b320100.003 is not on the disk"},
        {"data file added",
         [](auto& d) {
             fs::copy_file(platform::PathFromUtf8(platform::JoinPath(d, "8b320100.003")),
                           platform::PathFromUtf8(platform::JoinPath(d, "8b320100.004")));
         },
         "8b320100.004 is not in the earlier archive"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        TempFolder disk;
        TempFolder out;
        testsupport::ArchiveDisk().Write(disk.Path());
        ASSERT_EQ(archive::RunArchive({disk.Path(), out.Path()}, platform::RealFileSystem(), console), 0);
        const auto earlier = testsupport::ArchiveTree(out.Path());
        c.apply(disk.Path());

        console = RecordingConsole{};
        EXPECT_EQ(archive::RunArchive({disk.Path(), out.Path()}, platform::RealFileSystem(), console), 2);
        EXPECT_EQ(testsupport::ArchiveTree(out.Path()), earlier);
        EXPECT_TRUE(console.listed.empty());
        EXPECT_TRUE(console.Warned("other disk contents (" + c.difference + "); nothing was changed"));
        EXPECT_TRUE(console.Warned(": " + kFirst + ", 02 Project 2, " + kFirst + " (2)"));

        archive::ArchiveOptions replace{disk.Path(), out.Path()};
        replace.replace = true;
        console = RecordingConsole{};
        EXPECT_LE(archive::RunArchive(replace, platform::RealFileSystem(), console), 1);
        EXPECT_TRUE(console.Warned("replaced: the earlier archive (" + c.difference + ") moved into previous-"));
        std::map<std::string, std::string> moved;
        for (const auto& [file, bytes] : testsupport::ArchiveTree(out.Path())) {
            if (file.starts_with("previous-"))
                moved[file.substr(file.find('/') + 1)] = bytes;
        }
        EXPECT_EQ(moved, earlier);
        EXPECT_TRUE(Manifest(out.Path())["complete"]);
    }
}

TEST_F(ArchiveRun, ARerunNamesEveryFileItRedoesAndVerifyCountsThem)
{
    Write(testsupport::ArchiveDisk());
    ASSERT_EQ(Archive(Out("a")), 0);
    const auto first = testsupport::ArchiveTree(Out("a"));
    struct Case {
        std::string file;
        std::function<void(const std::string& path)> damage;
        bool verify;
        std::string reason;
    };
    const Case cases[] = {
        {"02 Project 2/T8V8.wav", [](auto& p) { FlipByte(p, 5000); }, false, "checksum differs from the manifest"},
        {"02 Project 2/T8V8.wav", [](auto& p) { FlipByte(p, 5000); }, true, "checksum differs from the manifest"},
        {kFirst + "/T1V1.wav", [](auto& p) { fs::resize_file(platform::PathFromUtf8(p), 100); }, true,
         "size differs from the manifest"},
        {"disk/HFS.BIN", [](auto& p) { fs::remove(platform::PathFromUtf8(p)); }, true, "missing from the archive"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        c.damage(Out("a/" + c.file));
        EXPECT_EQ(Archive(Out("a"), ArchiveFormat::Wave, c.verify), c.verify ? 1 : 0);
        std::vector<std::string> expected = {"redone: " + c.file + ": " + c.reason};
        if (c.verify)
            expected.push_back("verify: " + c.file + ": " + c.reason + "; redone");
        std::vector<std::string> named;
        for (const auto& text : console.warnings) {
            if (text.starts_with("redone: ") || text.starts_with("verify: "))
                named.push_back(text);
        }
        EXPECT_EQ(named, expected);
        EXPECT_NE(std::find(console.listed.begin(), console.listed.end(), c.file), console.listed.end());
        EXPECT_EQ(testsupport::ArchiveTree(Out("a")), first);
    }
}

TEST_F(ArchiveRun, CheckVerifiesAnArchiveWithoutItsDisk)
{
    Write(testsupport::ArchiveDisk());
    ASSERT_EQ(Archive(Out("a")), 0);
    const std::string track = kFirst + "/T2V1.wav";
    struct Case {
        const char* damage;
        std::function<void(const std::string& out)> apply;
        int status;
        std::vector<std::string> mismatches;
    };
    const Case cases[] = {
        {"none", [](auto&) {}, 0, {}},
        {"flipped sample", [&](auto& o) { FlipByte(platform::JoinPath(o, track), 6000); }, 1,
         {"check: " + track + ": its SHA-256 differs from the manifest's"}},
        // Checksums made to fit: only the decode of the copies finds it.
        {"flipped sample, checksums rewritten",
         [&](auto& o) {
             const std::string path = platform::JoinPath(o, track);
             const std::string before = FileSha(path);
             FlipByte(path, 6000);
             Rewrite(platform::JoinPath(o, "manifest.json"), before, FileSha(path));
             Rewrite(platform::JoinPath(o, "SHA256SUMS"), before, FileSha(path));
         },
         1, {"check: " + track + ": sample 2978 differs from the disk"}},
        {"checksum list edited",
         [&](auto& o) {
             Rewrite(platform::JoinPath(o, "SHA256SUMS"), FileSha(platform::JoinPath(o, track)), std::string(64, '0'));
         },
         1, {"check: " + track + ": SHA256SUMS and the manifest give different checksums"}},
        {"checksum list garbled", [](auto& o) { Rewrite(platform::JoinPath(o, "SHA256SUMS"), "  disk/HFS.BIN", " HFS"); },
         1, {"check: SHA256SUMS: line 9 is not \"SHA-256  FILE\"", "check: disk/HFS.BIN: not in SHA256SUMS"}},
        {"checksum list gone", [](auto& o) { fs::remove(platform::PathFromUtf8(platform::JoinPath(o, "SHA256SUMS"))); },
         1, {"check: SHA256SUMS: missing or unreadable"}},
        {"stopped run", [](auto& o) { Rewrite(platform::JoinPath(o, "manifest.json"), "\"complete\": true", "\"complete\": false"); },
         1, {"check: manifest.json: the archive is incomplete (its last run stopped)"}},
        {"no manifest", [](auto& o) { fs::remove(platform::PathFromUtf8(platform::JoinPath(o, "manifest.json"))); }, 2,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.damage);
        TempFolder out;
        // Copied into a new folder: not every system's copy merges into an existing one.
        const std::string copy = out.File("a");
        fs::copy(platform::PathFromUtf8(Out("a")), platform::PathFromUtf8(copy), fs::copy_options::recursive);
        c.apply(copy);
        console = RecordingConsole{};
        EXPECT_EQ(archive::CheckArchive(copy, platform::RealFileSystem(), console), c.status);
        std::vector<std::string> mismatches;
        std::copy_if(console.warnings.begin(), console.warnings.end(), std::back_inserter(mismatches),
                     [](const std::string& text) {
                         return text.starts_with("check: ") && text.find("holds no archive") == std::string::npos;
                     });
        EXPECT_EQ(mismatches, c.mismatches);
        EXPECT_EQ(console.Warned("checked 14 files; mismatches: " + std::to_string(c.mismatches.size())), c.status != 2);
    }
}

}  // namespace
