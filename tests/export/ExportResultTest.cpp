// What an export run reports besides its message: why it failed, the files it
// completed, what it warns about, and how far it got. The disks and the output
// folder are held in memory.

#include "app/RegUserData.h"
#include "export/ChannelType.h"
#include "export/ExportRun.h"
#include "platform/Files.h"
#include "tests/support/MemoryFileSystem.h"
#include "recorder/TrackFileName.h"
#include "recorder/WordOrder.h"
#include "platform/TemporaryFile.h"
#include "tests/support/MemoryDisk.h"
#include "tests/support/ScriptedUserInterface.h"
#include "tools/diskwriter/DiskWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <tuple>

namespace {

using diskwriter::SegmentInfo;

constexpr std::uint16_t kProject = 5;
constexpr std::uint64_t kChunk = kExportChunkFrames;
const char* const kDiskFolder = "/mo";
const char* const kOutFolder = "/out";

// A file of the disk as the export names it: joined the platform's way.
std::string OnDisk(const std::string& name)
{
    return platform::JoinPath(kDiskFolder, name);
}

// The SetTotal and SetDone calls one progress window received.
struct ProgressLog {
    std::vector<std::uint64_t> totals;
    std::vector<std::uint64_t> dones;
};

class MeasuredWindow : public platform::ProgressWindow {
public:
    MeasuredWindow(std::unique_ptr<platform::ProgressWindow> inner, ProgressLog& log)
        : m_inner(std::move(inner)), m_log(log)
    {
    }
    void SetText(const std::string& text) override { m_inner->SetText(text); }
    void Show() override { m_inner->Show(); }
    void StepAnimation() override { m_inner->StepAnimation(); }
    void SetTotal(std::uint64_t total) override { m_log.totals.push_back(total); }
    void SetDone(std::uint64_t done) override { m_log.dones.push_back(done); }

private:
    std::unique_ptr<platform::ProgressWindow> m_inner;
    ProgressLog& m_log;
};

class MeasuringUserInterface : public testsupport::ScriptedUserInterface {
public:
    std::deque<ProgressLog> windows;  // one per window created, in order

    std::unique_ptr<platform::ProgressWindow> CreateProgressWindow() override
    {
        auto inner = ScriptedUserInterface::CreateProgressWindow();
        if (!inner)
            return nullptr;
        windows.emplace_back();
        return std::make_unique<MeasuredWindow>(std::move(inner), windows.back());
    }
};

// An output file whose bytes are lost when it is closed.
class LossyOutputFile : public platform::OutputFile {
public:
    explicit LossyOutputFile(std::unique_ptr<platform::OutputFile> inner) : m_inner(std::move(inner)) {}
    bool Write(const void* data, std::size_t count) override { return m_inner->Write(data, count); }
    bool Seek(std::uint64_t offset) override { return m_inner->Seek(offset); }
    bool Flush() override { return m_inner->Flush(); }
    bool Sync() override { return m_inner->Sync(); }
    bool Close() override
    {
        m_inner->Close();
        return false;
    }

private:
    std::unique_ptr<platform::OutputFile> m_inner;
};

// Loses the bytes of the file written for `lossyPath`, under that name or the
// temporary name that carries it.
class LossyFileSystem : public testsupport::MemoryFileSystem {
public:
    std::string lossyPath;

    std::unique_ptr<platform::OutputFile> OpenWrite(const std::string& path, platform::WriteMode mode) override
    {
        auto file = MemoryFileSystem::OpenWrite(path, mode);
        if (!file || lossyPath.empty() || platform::NamePart(path).find(platform::NamePart(lossyPath)) == std::string::npos)
            return file;
        return std::make_unique<LossyOutputFile>(std::move(file));
    }
};

SegmentInfo Segment(int track, std::uint32_t lengthGroups, std::uint16_t serial)
{
    return {.track = track, .lengthGroups = lengthGroups, .serial = serial,
            .samples = std::vector<std::int32_t>(std::size_t{lengthGroups} * 8, serial)};
}

std::string DataFile(std::uint16_t serial)
{
    return MakeTrackFileName(kProject, serial);
}

// A disk of one project in memory; tracks 1 and 2 are recorded (4 and 2 groups) and ticked.
struct Rig {
    explicit Rig(std::vector<SegmentInfo> segments = {Segment(1, 4, 1), Segment(2, 2, 2)}, bool omitHfs = false)
    {
        diskwriter::Disk disk;
        auto& project = disk.AddProject({.slot = 2, .number = kProject, .virtualTracks = 1});
        for (const auto& segment : segments)
            project.AddSegment(segment);
        if (omitHfs)
            disk.OmitHfs();
        testsupport::LoadDisk(disk, files, kDiskFolder);
        files.AddFolder(kOutFolder);
        selection.moFolder = kDiskFolder;
        selection.project = testsupport::ListedProject(files, kDiskFolder, kProject);
        selection.virtualTracks = {1, 1};
        ui.dialogAnswers.push_back(std::string(kOutFolder) + "/Take.wav");
    }

    ExportResult Run() { return RunExport(ui, settings, selection, files); }

    LossyFileSystem files;
    MeasuringUserInterface ui;
    CNoUserData settings;
    ExportSelection selection;
};

// Changes the chosen project's record on the disk as well, as a foreign or damaged disk holds it.
void ChangeProject(Rig& rig, const std::function<void(sobinder&)>& change)
{
    change(rig.selection.project);
    const std::string index = OnDisk("FNB.BIN");
    std::vector<std::uint8_t> bytes = rig.files.Bytes(index);
    wordorder::Encode(rig.selection.project, bytes.data() + rig.selection.project.slot * kSlotSize);
    rig.files.AddFile(index, bytes);
}

std::tuple<Reason, std::string, std::string> Why(const Refusal& refusal)
{
    return {refusal.reason, refusal.subject, refusal.detail};
}

std::vector<std::tuple<WarningKind, std::string, std::string>> Kinds(const std::vector<Warning>& warnings)
{
    std::vector<std::tuple<WarningKind, std::string, std::string>> kinds;
    for (const auto& warning : warnings)
        kinds.emplace_back(warning.kind, warning.subject, warning.detail);
    return kinds;
}

TEST(ExportResult, EveryRefusalSaysWhyAndAbout)
{
    struct Case {
        const char* what;
        std::function<void(Rig&)> damage;
        Reason reason;
        std::string subject;
        std::string detail;
    };
    const auto answer = [](std::optional<std::string> path) {
        return [path](Rig& rig) { rig.ui.dialogAnswers = {path}; };
    };
    const Case cases[] = {
        {"no FNB.BIN", [](Rig& rig) { rig.files.Remove(OnDisk("FNB.BIN")); }, Reason::ProjectIndexMissing, "/mo", ""},
        {"empty FNB.BIN", [](Rig& rig) { rig.files.AddFile(OnDisk("FNB.BIN"), {}); }, Reason::ProjectIndexUnreadable,
         OnDisk("FNB.BIN"), ""},
        {"track without recording", [](Rig& rig) { rig.selection.virtualTracks[2] = 1; }, Reason::TrackNotRecorded,
         "track 3 (virtual track 1)", ""},
        {"data file missing", [](Rig& rig) { rig.files.Remove(OnDisk(DataFile(2))); }, Reason::DataFileMissing,
         "track 2 (virtual track 1)", DataFile(2)},
        {"unknown word length", [](Rig& rig) { ChangeProject(rig, [](sobinder& r) { r.wordLength = 3; }); },
         Reason::UnknownWordLength, "track 1 (virtual track 1)", "3"},
        {"unknown rate", [](Rig& rig) { ChangeProject(rig, [](sobinder& r) { r.sampleRate = 9; }); },
         Reason::UnknownRate, "project 5", "9"},
        {"another disk since the project was chosen", [](Rig& rig) { rig.selection.project.projectNumber = 6; },
         Reason::ProjectNotOnDisk, "", ""},
        {"unknown type", [](Rig& rig) { rig.selection.fileType = "MP3"; }, Reason::UnknownFileType, "", "MP3"},
        {"no track ticked", [](Rig& rig) { rig.selection.virtualTracks = {}; }, Reason::NoTrackChosen, "", ""},
        {"dialog cancelled", answer(std::nullopt), Reason::NoFileName, "", ""},
        {"Mono name without extension", answer("/out/Take"), Reason::OutputNameWithoutDot, "/out/Take", ""},
        {"output folder missing", answer("/gone/Take.wav"), Reason::OutputFolderMissing, "/gone/Take11.wav", ""},
        {"folder in the way",
         [](Rig& rig) {
             rig.files.AddFolder("/out/Take11.wav");
             rig.ui.questionAnswers = {platform::Answer::Yes};
         },
         Reason::OutputWriteFailed, "/out/Take11.wav", ""},
        {"bytes lost at close", [](Rig& rig) { rig.files.lossyPath = "/out/Take21.wav"; }, Reason::OutputWriteFailed,
         "/out/Take21.wav", ""},
    };
    for (const Case& c : cases) {
        Rig rig;
        c.damage(rig);
        const ExportResult result = rig.Run();
        EXPECT_FALSE(result.succeeded) << c.what;
        ASSERT_TRUE(result.refusal) << c.what;
        EXPECT_EQ(Why(*result.refusal), std::make_tuple(c.reason, c.subject, c.detail)) << c.what;
        // A cancelled dialog ends the run without a message.
        EXPECT_EQ(rig.ui.Messages().empty() ? "" : rig.ui.Messages().back(),
                  c.reason == Reason::NoFileName ? "" : "Convert failed.")
            << c.what;
    }
}

TEST(ExportResult, ChunkBeyondTheHeaderLimitIsRefusedAsTooLarge)
{
    testsupport::MemoryFileSystem files;
    files.AddFolder(kOutFolder);
    const auto format = FormatOfCodes(kRate44100, kWordLength16);
    auto writer = FindSoundFileType("WAVE")->makeFactory()->CreateSoundFile("/out/Big.wav", *format, 1, files);
    ASSERT_TRUE(writer->OpenFile());
    const std::vector<std::uint8_t> chunk(2, 0);
    std::uint64_t written = writer->MaxDataBytes() - 1;
    try {
        CChannelType::AppendChunk(*writer, chunk, written);
        FAIL() << "the chunk was taken";
    } catch (const ExportError& error) {
        EXPECT_EQ(Why(error), std::make_tuple(Reason::OutputTooLarge, std::string("/out/Big.wav"), std::string()));
    }
}

TEST(ExportResult, WarningsNameTheTrackAndTheCause)
{
    using Expected = std::vector<std::tuple<WarningKind, std::string, std::string>>;
    SegmentInfo cut = Segment(1, 10000, 1);  // 80000 samples, of which the file holds one block
    cut.samples.resize(65536);
    SegmentInfo badLink = Segment(1, 4, 1);
    badLink.link = 5000;
    SegmentInfo missingLater = Segment(1, 2, 3);  // follows the first segment of track 1
    missingLater.startGroup = 4;
    missingLater.missingFile = true;
    struct Case {
        const char* what;
        std::vector<SegmentInfo> segments;
        bool omitHfs;
        Expected warnings;
    };
    const Case cases[] = {
        {"a sound disk", {Segment(1, 4, 1), Segment(2, 2, 2)}, false, {}},
        {"data file shorter than its segment", {cut, Segment(2, 2, 2)}, false,
         {{WarningKind::TrackEndedShortDataFile, "track 1 (virtual track 1)", DataFile(1)}}},
        {"link outside FNB.BIN", {badLink, Segment(2, 2, 2)}, false,
         {{WarningKind::TrackEndedBadLink, "track 1 (virtual track 1)", ""}}},
        {"a later segment's data file missing", {Segment(1, 4, 1), missingLater, Segment(2, 2, 2)}, false,
         {{WarningKind::TrackEndedMissingDataFile, "track 1 (virtual track 1)", DataFile(3)}}},
        {"no HFS.BIN: once for the run", {Segment(1, 4, 1), Segment(2, 2, 2)}, true,
         {{WarningKind::LeadInTableMissing, "/mo", ""}}},
    };
    for (const Case& c : cases) {
        Rig rig(c.segments, c.omitHfs);
        const ExportResult result = rig.Run();
        EXPECT_TRUE(result.succeeded) << c.what;
        EXPECT_EQ(Kinds(result.warnings), c.warnings) << c.what;
    }
}

TEST(ExportResult, NamesTheFilesItCompletedAlsoBeforeAFailurePartWay)
{
    struct Case {
        const char* what;
        bool stereo;
        const char* blocked;  // a folder in the way of this output name
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {"Mono", false, nullptr, {"/out/Take11.wav", "/out/Take21.wav", "/out/Take31.wav"}},
        {"Stereo", true, nullptr, {"/out/Take.wav"}},
        {"Mono with the second name taken by a folder", false, "/out/Take21.wav", {"/out/Take11.wav"}},
    };
    for (const Case& c : cases) {
        Rig rig({Segment(1, 4, 1), Segment(2, 2, 2), Segment(3, 1, 3)});
        rig.selection.virtualTracks = {1, 1, c.stereo ? 0 : 1};
        rig.selection.stereo = c.stereo;
        if (c.blocked) {
            rig.files.AddFolder(c.blocked);
            rig.ui.questionAnswers = {platform::Answer::Yes};
        }
        const ExportResult result = rig.Run();
        EXPECT_EQ(result.succeeded, c.blocked == nullptr) << c.what;
        std::vector<std::string> paths;
        for (const auto& file : result.files) {
            paths.push_back(file.path);
            EXPECT_EQ(file.frames, 2 * kChunk) << c.what << ": " << file.path;  // every track ends in the first chunk
        }
        EXPECT_EQ(paths, c.files) << c.what;
        for (const auto& file : c.files)
            EXPECT_GT(rig.files.Bytes(file).size(), 2 * kChunk) << c.what << ": " << file;
    }
}

// A power cut at any step of a Mono export over an older file: the output folder
// then holds each file as it was before (or not at all) or complete, and no temporary.
TEST(ExportResult, APowerCutLeavesEachOutputOldOrComplete)
{
    const std::vector<std::uint8_t> old = {1, 2, 3};
    const auto arrange = [&](Rig& rig) {
        rig.files.AddFile("/out/Take21.wav", old);
        rig.ui.questionAnswers = {platform::Answer::Yes};  // replace it
    };
    Rig clean;
    arrange(clean);
    const int start = clean.files.Steps();
    ASSERT_TRUE(clean.Run().succeeded);
    for (int cut = start + 1; cut <= clean.files.Steps() + 1; ++cut) {
        SCOPED_TRACE("cut at step " + std::to_string(cut));
        Rig rig;
        arrange(rig);
        rig.files.CutPowerAt(cut);
        rig.Run();
        rig.files.PowerCut();
        for (const auto& entry : rig.files.ListFolder(kOutFolder).value_or(std::vector<platform::FolderEntry>{})) {
            const std::string path = std::string(kOutFolder) + "/" + entry.name;
            const auto bytes = rig.files.Bytes(path);
            EXPECT_FALSE(platform::IsTemporaryName(entry.name)) << path;
            EXPECT_TRUE(bytes == clean.files.Bytes(path) || (entry.name == "Take21.wav" && bytes == old)) << path;
        }
        EXPECT_TRUE(rig.files.HasFile("/out/Take21.wav"));
    }
}

TEST(ExportResult, LastProgressReportEqualsTheTotal)
{
    SegmentInfo cut = Segment(1, 10000, 1);  // ends after 7 chunks instead of the 8 its chain says
    cut.samples.resize(65536);
    struct Case {
        const char* what;
        std::vector<SegmentInfo> segments;
        bool stereo;
        std::uint64_t total;
        std::size_t reports;  // one per chunk
    };
    const Case cases[] = {
        {"Mono", {Segment(1, 4, 1), Segment(2, 2, 2)}, false, 2 * 2 * kChunk, 4},
        {"Stereo", {Segment(1, 4, 1), Segment(2, 2, 2)}, true, 2 * kChunk, 2},
        {"Mono with a track ending early", {cut, Segment(2, 2, 2)}, false, 9 * kChunk + 2 * kChunk, 8 + 2},
        {"Stereo with a track ending early", {cut, Segment(2, 2, 2)}, true, 9 * kChunk, 8},
    };
    for (const Case& c : cases) {
        Rig rig(c.segments);
        rig.selection.stereo = c.stereo;
        ASSERT_TRUE(rig.Run().succeeded) << c.what;
        ASSERT_EQ(rig.ui.windows.size(), 2u) << c.what << ": the track check, then the conversion";
        EXPECT_TRUE(rig.ui.windows.front().totals.empty()) << c.what;
        const ProgressLog& log = rig.ui.windows.back();
        EXPECT_EQ(log.totals, std::vector<std::uint64_t>{c.total}) << c.what;
        ASSERT_EQ(log.dones.size(), c.reports) << c.what;
        EXPECT_TRUE(std::is_sorted(log.dones.begin(), log.dones.end())) << c.what;
        EXPECT_EQ(log.dones.back(), c.total) << c.what;
    }
}

}  // namespace
