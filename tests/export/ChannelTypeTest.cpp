// Mono and Stereo export runs end to end: recorder disks built by the disk writer,
// opened tracks, the scripted user interface, and the files the runs leave behind.

#include "app/RegUserData.h"
#include "export/MonoType.h"
#include "export/StereoType.h"
#include "export/WaveFile.h"
#include "export/AIFFFile.h"
#include "recorder/Track.h"
#include "tests/support/ScriptedUserInterface.h"
#include "tests/support/TempFolder.h"
#include "tools/diskwriter/DiskWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Kind = testsupport::UiEvent::Kind;
using testsupport::ReadBytes;
using testsupport::TempFolder;

constexpr std::size_t kChunk = CChannelType::kChunkFrames;

// A recognisable 16-bit value for sample `index` of `track`.
std::int32_t TrackValue(int track, std::uint64_t index)
{
    return static_cast<std::int32_t>((track * 4099 + static_cast<int>(index % 5000) * 37) % 60000) - 30000;
}

std::uint32_t LittleEndian32(const Bytes& bytes, std::size_t at)
{
    return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 | std::uint32_t{bytes[at + 2]} << 16 |
           std::uint32_t{bytes[at + 3]} << 24;
}

// One track of a fixture disk: where its only segment starts and how many groups it holds.
struct TrackInfo {
    int track;
    int virtualTrack = 1;
    std::uint32_t startGroup = 0;
    std::uint32_t lengthGroups = 1;
};

class ExportRun : public testing::Test {
protected:
    void MakeDisk(const std::vector<TrackInfo>& infos, std::uint8_t wordLength = kWordLength16)
    {
        diskwriter::Disk disk;
        auto& project = disk.AddProject({.slot = 2, .number = 5, .name = "Demo", .rate = kRate44100,
                                         .wordLength = wordLength});
        std::uint16_t serial = 1;
        for (const auto& info : infos) {
            diskwriter::SegmentInfo segment{.track = info.track, .virtualTrack = info.virtualTrack,
                                            .startGroup = info.startGroup, .lengthGroups = info.lengthGroups,
                                            .serial = serial++};
            const int track = info.track;
            segment.generator = [track](std::uint64_t index) { return TrackValue(track, index); };
            segment.generatedSamples = std::uint64_t{info.lengthGroups} * 8;
            project.AddSegment(segment);
        }
        disk.Write(m_disk.Path());
        m_record = project.Record();
        for (const auto& info : infos) {
            m_owned.push_back(std::make_unique<CTrack>(m_disk.Path(), m_record, info.track, info.virtualTrack));
            ASSERT_EQ(m_owned.back()->Open(), std::nullopt) << "track " << info.track;
            m_tracks.push_back(m_owned.back().get());
        }
    }

    // Back to position 0 for another run over the same tracks.
    void ReopenTracks()
    {
        for (auto* track : m_tracks)
            ASSERT_EQ(track->Open(), std::nullopt);
    }

    // True when the run was checked, a path chosen and every file written.
    bool Run(CChannelType&& mode, const std::string& type, const std::optional<std::string>& chosen)
    {
        m_ui.dialogAnswers.push_back(chosen);
        if (mode.Check(type, m_record, static_cast<int>(m_tracks.size()), m_tracks.data()))
            return false;
        const auto path = mode.AskForPath();
        return path && !mode.Convert(*path);
    }
    bool RunMono(const std::string& chosen, const std::string& type = "WAVE")
    {
        return Run(CMonoType(m_ui, m_settings), type, m_out.File(chosen));
    }
    bool RunStereo(const std::string& chosen, const std::string& type = "WAVE")
    {
        return Run(CStereoType(m_ui, m_settings), type, m_out.File(chosen));
    }

    std::vector<std::string> OutputFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_out.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string StoredWorkPath() const
    {
        std::string path;
        CRegUserData(m_config.File("Wavlrn.ini")).GetWorkPath(path);
        return path;
    }

    TempFolder m_disk;
    TempFolder m_out;
    TempFolder m_config;
    testsupport::ScriptedUserInterface m_ui;
    CRegUserData m_settings{m_config.File("Wavlrn.ini")};
    std::vector<std::unique_ptr<CTrack>> m_owned;
    std::vector<CTrack*> m_tracks;
    sobinder m_record{};
};

// The data part of a 16-bit WAVE file holding `tracks` interleaved, each a single
// segment as in `infos`, for `frames` frames.
Bytes ExpectedWaveData(const std::vector<TrackInfo>& infos, std::size_t frames)
{
    Bytes data;
    for (std::size_t frame = 0; frame < frames; ++frame) {
        for (const auto& info : infos) {
            const std::uint64_t first = std::uint64_t{info.startGroup} * 8;
            const std::uint64_t end = first + std::uint64_t{info.lengthGroups} * 8;
            const auto value = frame >= first && frame < end ? TrackValue(info.track, frame - first) : 0;
            data.push_back(static_cast<std::uint8_t>(value));
            data.push_back(static_cast<std::uint8_t>(value >> 8));
        }
    }
    return data;
}

TEST_F(ExportRun, FilesEndWithOneSilentChunkAfterTheLastDeliveredFrame)
{
    struct Case {
        const char* name;
        TrackInfo info;
        std::size_t chunks;
    };
    const Case cases[] = {
        {"one group", {1, 1, 0, 1}, 2},
        {"exactly one chunk", {1, 1, 0, 1280}, 2},
        {"one chunk and one group", {1, 1, 0, 1281}, 3},
        {"silence before the segment counts", {1, 1, 1279, 1}, 2},
        {"silence reaching into the next chunk", {1, 1, 1280, 1}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_owned.clear();
        m_tracks.clear();
        m_ui.events.clear();
        MakeDisk({c.info});
        const std::string name = std::string("Take") + std::to_string(&c - cases) + ".wav";
        ASSERT_TRUE(RunMono(name));
        const std::string output = m_out.File("Take" + std::to_string(&c - cases) + "11.wav");
        const Bytes bytes = ReadBytes(output);
        const std::size_t dataBytes = c.chunks * kChunk * 2;
        ASSERT_EQ(bytes.size(), CWaveFile::kHeaderSize + dataBytes);
        EXPECT_EQ(LittleEndian32(bytes, 40), dataBytes);
        EXPECT_EQ(LittleEndian32(bytes, 4), 36 + dataBytes);
        EXPECT_TRUE(std::equal(bytes.begin() + CWaveFile::kHeaderSize, bytes.end(),
                               ExpectedWaveData({c.info}, c.chunks * kChunk).begin()));
        // The animation steps after every chunk that more data follows.
        EXPECT_EQ(m_ui.Count(Kind::ProgressStep), static_cast<int>(c.chunks) - 1);
    }
}

TEST_F(ExportRun, TrackThatDeliversNothingGivesOneSilentChunk)
{
    MakeDisk({{1, 1, 0, 1}});
    ASSERT_TRUE(RunMono("First.wav"));
    m_ui.events.clear();
    // The track has ended: every read of the second run returns false.
    ASSERT_TRUE(RunMono("Again.wav"));
    const Bytes bytes = ReadBytes(m_out.File("Again11.wav"));
    ASSERT_EQ(bytes.size(), CWaveFile::kHeaderSize + kChunk * 2);
    EXPECT_EQ(LittleEndian32(bytes, 40), kChunk * 2);
    EXPECT_TRUE(std::all_of(bytes.begin() + CWaveFile::kHeaderSize, bytes.end(), [](auto b) { return b == 0; }));
    EXPECT_EQ(m_ui.Count(Kind::ProgressStep), 0);
}

TEST_F(ExportRun, MonoNamesCarryTrackAndVirtualTrack)
{
    const std::vector<TrackInfo> infos = {{1, 1, 0, 10}, {5, 2, 3, 20}};
    MakeDisk(infos);
    ASSERT_TRUE(RunMono("Take.wav"));
    EXPECT_EQ(OutputFiles(), (std::vector<std::string>{"Take11.wav", "Take52.wav"}));
    for (std::size_t i = 0; i < infos.size(); ++i) {
        const Bytes bytes = ReadBytes(m_out.File(i == 0 ? "Take11.wav" : "Take52.wav"));
        ASSERT_EQ(bytes.size(), CWaveFile::kHeaderSize + 2 * kChunk * 2);
        EXPECT_EQ(bytes[22], 1) << "one channel";
        EXPECT_TRUE(std::equal(bytes.begin() + CWaveFile::kHeaderSize, bytes.end(),
                               ExpectedWaveData({infos[i]}, 2 * kChunk).begin()));
    }
    // Progress: created and shown first, one step per track, destroyed at the end.
    std::vector<Kind> progress;
    for (const auto& event : m_ui.events) {
        if (event.kind != Kind::FileDialog && event.kind != Kind::Message)
            progress.push_back(event.kind);
    }
    EXPECT_EQ(progress, (std::vector<Kind>{Kind::ProgressCreated, Kind::ProgressShown, Kind::ProgressStep,
                                           Kind::ProgressStep, Kind::ProgressDestroyed}));
    EXPECT_TRUE(m_ui.Messages().empty());
}

TEST_F(ExportRun, StereoPutsTheLowerTrackInChannelOne)
{
    const std::vector<TrackInfo> infos = {{2, 1, 0, 1300}, {7, 3, 5, 10}};
    MakeDisk(infos);
    ASSERT_TRUE(RunStereo("Mix.wav"));
    EXPECT_EQ(OutputFiles(), std::vector<std::string>{"Mix.wav"});
    const Bytes bytes = ReadBytes(m_out.File("Mix.wav"));
    const std::size_t frames = 3 * kChunk;  // the longer track decides
    ASSERT_EQ(bytes.size(), CWaveFile::kHeaderSize + frames * 4);
    EXPECT_EQ(bytes[22], 2);
    EXPECT_EQ(bytes[32], 4) << "block align";
    EXPECT_TRUE(std::equal(bytes.begin() + CWaveFile::kHeaderSize, bytes.end(),
                           ExpectedWaveData(infos, frames).begin()));
    EXPECT_EQ(m_ui.Count(Kind::ProgressStep), 2);
}

TEST_F(ExportRun, StereoWithOneTrackWritesOneChannelUnderTheChosenName)
{
    const std::vector<TrackInfo> infos = {{4, 2, 0, 8}};
    MakeDisk(infos);
    ASSERT_TRUE(RunStereo("Solo.aif.bak"));
    EXPECT_EQ(OutputFiles(), std::vector<std::string>{"Solo.aif.bak"});
    const Bytes bytes = ReadBytes(m_out.File("Solo.aif.bak"));
    ASSERT_EQ(bytes.size(), CWaveFile::kHeaderSize + 2 * kChunk * 2);
    EXPECT_EQ(bytes[22], 1);
}

TEST_F(ExportRun, AiffKeepsTheRecordersByteOrder)
{
    const std::vector<TrackInfo> infos = {{1, 1, 0, 2}};
    MakeDisk(infos, kWordLength24);
    ASSERT_TRUE(RunMono("Take.aif", "AIFF"));
    const Bytes bytes = ReadBytes(m_out.File("Take11.aif"));
    ASSERT_EQ(bytes.size(), CAIFFFile::kHeaderSize + 2 * kChunk * 3);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "FORM");
    for (std::uint64_t i = 0; i < 16; ++i) {
        const Bytes expected = diskwriter::DecodedSample(TrackValue(1, i), kWordLength24);
        EXPECT_EQ(Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(CAIFFFile::kHeaderSize + i * 3),
                        bytes.begin() + static_cast<std::ptrdiff_t>(CAIFFFile::kHeaderSize + i * 3 + 3)),
                  expected)
            << "sample " << i;
    }
}

TEST_F(ExportRun, ExtensionIsTheOneTheUserGave)
{
    MakeDisk({{1, 1, 0, 1}});
    ASSERT_TRUE(RunMono("Song.aif"));
    EXPECT_EQ(OutputFiles(), std::vector<std::string>{"Song11.aif"});
    const Bytes bytes = ReadBytes(m_out.File("Song11.aif"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
}

TEST_F(ExportRun, DialogRequestsAndWorkFolder)
{
    MakeDisk({{1, 1, 0, 1}});
    ASSERT_TRUE(m_settings.SetWorkPath("/stored/folder/"));
    ASSERT_TRUE(RunMono("Song.wav"));
    ASSERT_TRUE(RunStereo("Mix.aif", "AIFF"));
    const auto requests = m_ui.DialogRequests();
    ASSERT_EQ(requests.size(), 2u);
    struct Expected {
        const char* extension;
        const char* filter;
        bool prompt;
        bool check;
    };
    const Expected expected[] = {
        {".wav", "WAVE File (*.wav)| *.wav|All Files (*.*)|*.*||", false, true},
        {".aif", "AIFF File (*.aif)| *.aif|All Files (*.*)|*.*||", true, false},
    };
    for (std::size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].kind, platform::FileDialogRequest::Kind::Save);
        EXPECT_EQ(requests[i].title, "Export Track 1 as");
        EXPECT_EQ(requests[i].initialName, "Untitled");
        EXPECT_EQ(requests[i].defaultExtension, expected[i].extension);
        EXPECT_EQ(requests[i].filter, expected[i].filter);
        EXPECT_EQ(requests[i].promptOverwrite, expected[i].prompt);
        EXPECT_EQ(static_cast<bool>(requests[i].acceptCheck), expected[i].check);
    }
    EXPECT_EQ(requests[0].initialFolder, "/stored/folder/");
    EXPECT_EQ(requests[1].initialFolder, m_out.File(""));
    EXPECT_EQ(StoredWorkPath(), m_out.File(""));
}

TEST_F(ExportRun, MonoDialogAsksBeforeReplacing)
{
    MakeDisk({{1, 1, 0, 1}, {2, 1, 0, 1}});
    testsupport::WriteBytes(m_out.File("Old21.wav"), {9});
    m_ui.dialogAnswers.push_back(m_out.File("Old.wav"));  // refused: No
    m_ui.questionAnswers = {platform::Answer::No, platform::Answer::Yes};
    ASSERT_TRUE(RunMono("Old.wav"));  // second attempt: Yes
    EXPECT_EQ(m_ui.Messages(), (std::vector<std::string>{"Old21.wav\r\n" + MessageText(MessageId::FileExists),
                                                         "Old21.wav\r\n" + MessageText(MessageId::FileExists)}));
    EXPECT_EQ(ReadBytes(m_out.File("Old21.wav")).size(), CWaveFile::kHeaderSize + 2 * kChunk * 2);
}

TEST_F(ExportRun, RefusedRunsTouchNothing)
{
    struct Case {
        const char* name;
        const char* type;
        std::uint8_t rate, width;
        bool cancel;
        bool dialogShown;
    };
    const Case cases[] = {
        {"lower-case type", "wave", kRate44100, kWordLength16, false, false},
        {"unknown type", "MP3", kRate44100, kWordLength16, false, false},
        {"unknown rate code", "WAVE", 4, kWordLength16, false, false},
        {"rate code zero", "WAVE", 0, kWordLength16, false, false},
        {"unknown word length", "WAVE", kRate44100, 3, false, false},
        {"cancelled", "WAVE", kRate44100, kWordLength16, true, true},
    };
    MakeDisk({{1, 1, 0, 1}});
    const sobinder good = m_record;
    ASSERT_TRUE(m_settings.SetWorkPath("/kept/"));
    for (const auto& c : cases) {
        for (const bool mono : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (mono ? " mono" : " stereo"));
            m_ui.events.clear();
            m_ui.dialogAnswers.clear();
            m_record = good;
            m_record.sampleRate = c.rate;
            m_record.wordLength = c.width;
            const std::optional<std::string> chosen =
                c.cancel ? std::nullopt : std::optional<std::string>(m_out.File("x.wav"));
            const bool result = mono ? Run(CMonoType(m_ui, m_settings), c.type, chosen)
                                    : Run(CStereoType(m_ui, m_settings), c.type, chosen);
            EXPECT_FALSE(result);
            EXPECT_EQ(m_ui.Count(Kind::FileDialog), c.dialogShown ? 1 : 0);
            EXPECT_EQ(m_ui.Count(Kind::ProgressCreated), 0);
            EXPECT_TRUE(OutputFiles().empty());
            EXPECT_EQ(StoredWorkPath(), "/kept/");
        }
    }
}

TEST_F(ExportRun, MonoNameWithoutDotFailsAfterStoringTheFolder)
{
    MakeDisk({{1, 1, 0, 1}});
    std::filesystem::create_directory(m_out.File("my.dir"));
    ASSERT_FALSE(RunMono("my.dir/Song"));
    EXPECT_EQ(OutputFiles(), std::vector<std::string>{"my.dir"});
    EXPECT_TRUE(std::filesystem::is_empty(m_out.File("my.dir")));
    EXPECT_EQ(StoredWorkPath(), m_out.File("my.dir/"));
}

TEST_F(ExportRun, DotInFolderNameStaysInTheFolder)
{
    MakeDisk({{1, 1, 0, 1}});
    std::filesystem::create_directory(m_out.File("my.dir"));
    ASSERT_TRUE(RunMono("my.dir/Song.wav"));
    EXPECT_EQ(OutputFiles(), std::vector<std::string>{"my.dir"});
    EXPECT_TRUE(std::filesystem::exists(m_out.File("my.dir/Song11.wav")));
}

TEST_F(ExportRun, SecondMonoFileBlockedLeavesTheFirstComplete)
{
    MakeDisk({{1, 1, 0, 1}, {2, 1, 0, 1}, {3, 1, 0, 1}});
    std::filesystem::create_directory(m_out.File("Take21.wav"));
    m_ui.questionAnswers = {platform::Answer::Yes};
    ASSERT_FALSE(RunMono("Take.wav"));
    EXPECT_EQ(OutputFiles(), (std::vector<std::string>{"Take11.wav", "Take21.wav"}));
    const Bytes first = ReadBytes(m_out.File("Take11.wav"));
    ASSERT_EQ(first.size(), CWaveFile::kHeaderSize + 2 * kChunk * 2);
    EXPECT_EQ(LittleEndian32(first, 40), 2 * kChunk * 2);
    EXPECT_TRUE(std::filesystem::is_directory(m_out.File("Take21.wav")));
    EXPECT_EQ(m_ui.Count(Kind::ProgressDestroyed), 1);
    EXPECT_EQ(m_ui.Messages(), std::vector<std::string>{"Take21.wav\r\n" + MessageText(MessageId::FileExists)});
}

#ifndef _WIN32  // /dev/full; ExportFaults fails the close of every output everywhere
TEST_F(ExportRun, WriteLostAtCloseFailsTheRun)
{
    MakeDisk({{1, 1, 0, 1}});
    EXPECT_FALSE(Run(CStereoType(m_ui, m_settings), "WAVE", std::string("/dev/full")));
    EXPECT_EQ(m_ui.Count(Kind::ProgressDestroyed), m_ui.Count(Kind::ProgressCreated));
}
#endif

TEST_F(ExportRun, RunsWithoutAProgressWindow)
{
    MakeDisk({{1, 1, 0, 1281}});
    m_ui.progressCreationFails = true;
    ASSERT_TRUE(RunStereo("Mix.wav"));
    ReopenTracks();
    ASSERT_TRUE(RunMono("Take.wav"));
    EXPECT_EQ(ReadBytes(m_out.File("Mix.wav")).size(), CWaveFile::kHeaderSize + 3 * kChunk * 2);
    EXPECT_EQ(ReadBytes(m_out.File("Take11.wav")).size(), CWaveFile::kHeaderSize + 3 * kChunk * 2);
    EXPECT_EQ(m_ui.Count(Kind::ProgressStep), 0);
}

}  // namespace
