// What an export leaves behind when the disk is damaged or the output side fails:
// a file too large for its header is refused before anything is asked or written, a
// file being replaced stays whole until its successor is complete, and after any
// failure the output folder holds what it held plus the files completed before it.

#include "app/RegUserData.h"
#include "export/ExportProgress.h"
#include "export/ExportRun.h"
#include "export/WaveFile.h"
#include "platform/Files.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/MemoryDisk.h"
#include "tests/support/ScriptedUserInterface.h"
#include "tests/support/TempFolder.h"
#include "tools/diskwriter/DiskWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using diskwriter::SegmentInfo;
using testsupport::FaultOp;
using testsupport::FaultyFileSystem;
using testsupport::UiEvent;
using Bytes = std::vector<std::uint8_t>;
using Folder = std::map<std::string, Bytes>;  // file name -> bytes

const char* const kDiskFolder = "/mo";
const char* const kOutFolder = "/out";
const char* const kWorkPath = "/before/";
const Bytes kOldBytes = {'o', 'l', 'd'};
constexpr std::uint32_t kOldPermissions = 0600;

// A work folder setting that counts how often it was stored.
class CountingUserData : public CUserData {
public:
    bool GetWorkPath(std::string& path) const override
    {
        path = kWorkPath;
        return true;
    }
    bool SetWorkPath(const std::string&) override
    {
        ++stores;
        return true;
    }
    int stores = 0;
};

SegmentInfo Segment(int track, std::uint32_t startGroup, std::uint32_t lengthGroups, std::uint16_t serial)
{
    return {.track = track, .startGroup = startGroup, .lengthGroups = lengthGroups, .serial = serial,
            .samples = std::vector<std::int32_t>(std::size_t{lengthGroups} * 8, serial)};
}

// One segment of one group that ends the track at `endGroup`.
SegmentInfo EndingAt(int track, std::uint32_t endGroup)
{
    return Segment(track, endGroup - 1, 1, static_cast<std::uint16_t>(track));
}

bool InOutFolder(const std::string& path)
{
    return platform::FolderPart(path) == kOutFolder;
}

// A disk of one project in memory, seen through a failing file system, with the
// tracks of `segments` ticked and an output folder that may hold older files.
struct Rig {
    explicit Rig(const std::vector<SegmentInfo>& segments, std::uint8_t wordLength = kWordLength16)
    {
        diskwriter::Disk disk;
        auto& project = disk.AddProject({.slot = 2, .number = 5, .wordLength = wordLength, .virtualTracks = 1});
        for (const auto& segment : segments) {
            project.AddSegment(segment);
            selection.virtualTracks[static_cast<std::size_t>(segment.track - 1)] = 1;
        }
        testsupport::LoadDisk(disk, memory, kDiskFolder);
        memory.AddFolder(kOutFolder);
        selection.moFolder = kDiskFolder;
        selection.project = testsupport::ListedProject(memory, kDiskFolder, 5);
    }

    // An older file under an output name; the Mono overwrite question for it is answered Yes.
    void AddOldFile(const std::string& name)
    {
        memory.AddFile(platform::JoinPath(kOutFolder, name), kOldBytes);
        memory.SetPermissions(platform::JoinPath(kOutFolder, name), kOldPermissions);
        ui.questionAnswers.push_back(platform::Answer::Yes);
    }

    ExportResult Run(const std::string& chosenName)
    {
        ui.dialogAnswers.push_back(platform::JoinPath(kOutFolder, chosenName));
        return RunExport(ui, settings, selection, files);
    }

    Folder Output() const
    {
        Folder folder;
        for (const auto& path : memory.FilePaths()) {
            if (InOutFolder(path))
                folder[platform::NamePart(path)] = memory.Bytes(path);
        }
        return folder;
    }

    testsupport::MemoryFileSystem memory;
    FaultyFileSystem files{memory};
    testsupport::ScriptedUserInterface ui;
    CountingUserData settings;
    ExportSelection selection;
};

// The data length a WAVE header states.
std::uint64_t WaveDataLength(const Bytes& bytes)
{
    constexpr std::size_t kDataLengthAt = 40;
    std::uint64_t length = 0;
    for (std::size_t i = 4; i > 0; --i)
        length = length << 8 | bytes[kDataLengthAt + i - 1];
    return length;
}

std::vector<std::string> Names(const std::vector<ExportedFile>& files)
{
    std::vector<std::string> names;
    for (const auto& file : files)
        names.push_back(platform::NamePart(file.path));
    return names;
}

// After a failed run: the folder holds what it held, except the files the run completed,
// which hold what a run without the failure writes; no temporary is left.
void ExpectOnlyCompletedFilesChanged(const Folder& before, const Folder& clean, const ExportResult& result,
                                     const Folder& after)
{
    Folder expected = before;
    for (const auto& name : Names(result.files))
        expected[name] = clean.at(name);
    EXPECT_EQ(after, expected);
}

TEST(ExportSizeCheck, ADamagedStartIsRefusedBeforeTheDialog)
{
    struct Case {
        const char* what;
        std::vector<SegmentInfo> segments;
        bool stereo;
        const char* type;
        std::string subject;
    };
    const SegmentInfo damaged = Segment(1, 0xFFFFFF00, 1, 1);
    const Case cases[] = {
        {"Mono", {damaged}, false, "WAVE", "track 1 (virtual track 1)"},
        {"Mono AIFF", {damaged}, false, "AIFF", "track 1 (virtual track 1)"},
        {"Stereo: the track that reaches furthest", {Segment(2, 0, 1, 2), {damaged}}, true, "WAVE",
         "track 1 (virtual track 1)"},
        {"Mono: a later file is checked before the first is written", {Segment(1, 0, 1, 1), EndingAt(2, 0xFFFFFF00)},
         false, "WAVE", "track 2 (virtual track 1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig(c.segments);
        rig.selection.stereo = c.stereo;
        rig.selection.fileType = c.type;
        const ExportResult result = rig.Run("Take.wav");
        ASSERT_TRUE(result.refusal);
        EXPECT_EQ(result.refusal->reason, Reason::OutputTooLarge);
        EXPECT_EQ(result.refusal->subject, c.subject);
        EXPECT_EQ(rig.ui.Count(UiEvent::Kind::FileDialog), 0);
        EXPECT_EQ(rig.settings.stores, 0);
        EXPECT_TRUE(rig.Output().empty());
        EXPECT_EQ(rig.ui.Messages(), std::vector<std::string>{"Convert failed."});
    }
}

TEST(ExportSizeCheck, TheLimitLiesWhereTheHeaderStopsStatingTheLength)
{
    // The last group a track may end on: the file's whole chunks (up to the track's end,
    // then one silent chunk) must fit the header's 32-bit lengths. WAVE allows
    // 4294967259 data bytes, AIFF 4294967249: 209715 chunks of 20480 bytes (16-bit mono),
    // 104857 of 40960 (16-bit stereo), 139810 of 30720 (24-bit mono).
    struct Case {
        const char* what;
        std::uint32_t lastEndGroup;
        bool stereo;
        std::uint8_t wordLength;
        const char* type;
    };
    const Case cases[] = {
        {"16-bit Mono WAVE", 268433920, false, kWordLength16, "WAVE"},
        {"16-bit Mono AIFF", 268433920, false, kWordLength16, "AIFF"},
        {"16-bit Stereo", 134215680, true, kWordLength16, "WAVE"},
        {"24-bit Mono", 178955520, false, kWordLength24, "WAVE"},
    };
    for (const Case& c : cases) {
        for (const std::uint32_t endGroup : {c.lastEndGroup, c.lastEndGroup + 1}) {
            SCOPED_TRACE(std::string(c.what) + " ending at group " + std::to_string(endGroup));
            std::vector<SegmentInfo> segments = {EndingAt(1, endGroup)};
            if (c.stereo)
                segments.push_back(Segment(2, 0, 1, 2));
            Rig rig(segments, c.wordLength);
            rig.selection.stereo = c.stereo;
            rig.selection.fileType = c.type;
            rig.ui.dialogAnswers.push_back(std::nullopt);  // a file that fits gets as far as the dialog
            const ExportResult result = RunExport(rig.ui, rig.settings, rig.selection, rig.files);
            ASSERT_TRUE(result.refusal);
            const bool fits = endGroup == c.lastEndGroup;
            EXPECT_EQ(result.refusal->reason, fits ? Reason::NoFileName : Reason::OutputTooLarge);
            EXPECT_EQ(rig.ui.Count(UiEvent::Kind::FileDialog), fits ? 1 : 0);
        }
    }
}

TEST(ExportReplacement, AFailedRunKeepsTheFileItWasReplacing)
{
    struct Case {
        const char* what;
        std::function<void(FaultyFileSystem&)> fault;
    };
    const Case cases[] = {
        {"rename fails", [](FaultyFileSystem& f) { f.FailNth(FaultOp::Rename, 1); }},
        {"close fails", [](FaultyFileSystem& f) { f.FailNth(FaultOp::Close, 1); }},
        {"disk fills", [](FaultyFileSystem& f) { f.FillAfter(30000); }},
        {"a chunk cannot be written", [](FaultyFileSystem& f) { f.FailNth(FaultOp::Write, 2); }},
    };
    for (const bool stereo : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (stereo ? " in Stereo" : " in Mono"));
            Rig rig({Segment(1, 0, 4, 1)});
            rig.selection.stereo = stereo;
            const std::string name = stereo ? "Take.wav" : "Take11.wav";
            rig.AddOldFile(name);
            c.fault(rig.files);
            const ExportResult result = rig.Run("Take.wav");
            EXPECT_FALSE(result.succeeded);
            ASSERT_TRUE(result.refusal);
            EXPECT_EQ(result.refusal->reason, Reason::OutputWriteFailed);
            EXPECT_EQ(result.refusal->subject, platform::JoinPath(kOutFolder, name));
            EXPECT_EQ(rig.Output(), (Folder{{name, kOldBytes}}));
            EXPECT_EQ(rig.memory.Permissions(platform::JoinPath(kOutFolder, name)), kOldPermissions);
        }
    }
}

TEST(ExportReplacement, MonoKeepsTheFilesItCompletedAndTheOneItFailedToReplace)
{
    Rig rig({Segment(1, 0, 4, 1), Segment(2, 0, 2, 2)});
    rig.AddOldFile("Take11.wav");
    rig.AddOldFile("Take21.wav");
    rig.files.FailNth(FaultOp::Rename, 1, testsupport::NameContains("Take21"));
    const ExportResult result = rig.Run("Take.wav");
    EXPECT_EQ(Names(result.files), std::vector<std::string>{"Take11.wav"});
    const Folder after = rig.Output();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_GT(after.at("Take11.wav").size(), 2 * std::size_t{kExportChunkFrames});
    EXPECT_EQ(after.at("Take21.wav"), kOldBytes);
    EXPECT_EQ(rig.memory.Permissions(platform::JoinPath(kOutFolder, "Take11.wav")), kOldPermissions);
}

#ifdef __linux__
// The real file system: permission bits, links and the removal of a temporary that
// was really written.
struct RealRig {
    RealRig()
    {
        diskwriter::Disk disk;
        auto& project = disk.AddProject({.slot = 2, .number = 5, .virtualTracks = 1});
        project.AddSegment(Segment(1, 0, 4, 1));
        disk.Write(diskFolder.Path());
        selection.moFolder = diskFolder.Path();
        selection.project = testsupport::ListedProject(platform::RealFileSystem(), diskFolder.Path(), 5);
        selection.virtualTracks[0] = 1;
        selection.stereo = true;
        testsupport::WriteBytes(Out(), kOldBytes);
    }
    std::string Out() const { return outFolder.File("Take.wav"); }
    std::vector<std::string> OutNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(platform::PathFromUtf8(outFolder.Path())))
            names.push_back(platform::Utf8FromPath(entry.path().filename()));
        return names;
    }
    ExportResult Run(platform::FileSystem& files)
    {
        ui.dialogAnswers.push_back(Out());
        return RunExport(ui, settings, selection, files);
    }

    testsupport::TempFolder diskFolder;
    testsupport::TempFolder outFolder;
    testsupport::ScriptedUserInterface ui;
    CNoUserData settings;
    ExportSelection selection;
};

TEST(ExportReplacement, AReplacedFileKeepsItsPermissionBits)
{
    RealRig rig;
    const auto bits = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                      std::filesystem::perms::group_read;
    std::filesystem::permissions(platform::PathFromUtf8(rig.Out()), bits);
    ASSERT_TRUE(rig.Run(platform::RealFileSystem()).succeeded);
    EXPECT_GT(testsupport::ReadBytes(rig.Out()).size(), kOldBytes.size());
    EXPECT_EQ(std::filesystem::status(platform::PathFromUtf8(rig.Out())).permissions(), bits);
    EXPECT_EQ(rig.OutNames(), std::vector<std::string>{"Take.wav"});
}

TEST(ExportReplacement, ALinkIsWrittenThroughInPlace)
{
    RealRig rig;
    testsupport::TempFolder elsewhere;
    const std::string target = elsewhere.File("real.wav");
    testsupport::WriteBytes(target, kOldBytes);
    std::filesystem::remove(platform::PathFromUtf8(rig.Out()));
    std::filesystem::create_symlink(platform::PathFromUtf8(target), platform::PathFromUtf8(rig.Out()));
    ASSERT_TRUE(rig.Run(platform::RealFileSystem()).succeeded);
    EXPECT_TRUE(std::filesystem::is_symlink(platform::PathFromUtf8(rig.Out())));
    EXPECT_GT(testsupport::ReadBytes(target).size(), kOldBytes.size());
    EXPECT_EQ(rig.OutNames(), std::vector<std::string>{"Take.wav"});
}

TEST(ExportReplacement, AFullDiskLeavesNoTemporaryOnARealFolder)
{
    RealRig rig;
    FaultyFileSystem files(platform::RealFileSystem());
    files.FillAfter(30000);
    EXPECT_FALSE(rig.Run(files).succeeded);
    EXPECT_EQ(testsupport::ReadBytes(rig.Out()), kOldBytes);
    EXPECT_EQ(rig.OutNames(), std::vector<std::string>{"Take.wav"});
}
#endif

// Every output operation a clean run makes is made to fail in turn, in Mono (two
// files, both replacing older ones) and Stereo.
TEST(ExportFaults, EveryFailingOutputOperationKeepsThePromise)
{
    const std::vector<SegmentInfo> segments = {Segment(1, 0, 4, 1), Segment(2, 0, 2, 2)};
    for (const bool stereo : {false, true}) {
        const auto prepared = [&] {
            auto rig = std::make_unique<Rig>(segments);
            rig->selection.stereo = stereo;
            rig->AddOldFile(stereo ? "Take.wav" : "Take11.wav");
            if (!stereo)
                rig->AddOldFile("Take21.wav");
            return rig;
        };
        const auto clean = prepared();
        const Folder before = clean->Output();
        for (const FaultOp op : {FaultOp::Open, FaultOp::Write, FaultOp::Flush, FaultOp::Close, FaultOp::Rename})
            clean->files.FailNth(op, 0, InOutFolder);  // count only
        ASSERT_TRUE(clean->Run("Take.wav").succeeded);
        const Folder cleanOutput = clean->Output();
        std::uint64_t cleanBytes = 0;
        for (const auto& [name, bytes] : cleanOutput)
            cleanBytes += bytes.size();

        for (const FaultOp op : {FaultOp::Open, FaultOp::Write, FaultOp::Flush, FaultOp::Close, FaultOp::Rename}) {
            for (int n = 1; n <= clean->files.Count(op); ++n) {
                SCOPED_TRACE((stereo ? "Stereo, fault " : "Mono, fault ") + std::to_string(static_cast<int>(op)) +
                             " number " + std::to_string(n));
                const auto rig = prepared();
                rig->files.FailNth(op, n, InOutFolder);
                const ExportResult result = rig->Run("Take.wav");
                EXPECT_FALSE(result.succeeded);
                ExpectOnlyCompletedFilesChanged(before, cleanOutput, result, rig->Output());
            }
        }
        for (const std::uint64_t room : {std::uint64_t{0}, std::uint64_t{44}, cleanBytes / 2, cleanBytes - 1}) {
            SCOPED_TRACE("disk full after " + std::to_string(room) + " bytes");
            const auto rig = prepared();
            rig->files.FillAfter(room, InOutFolder);
            const ExportResult result = rig->Run("Take.wav");
            EXPECT_FALSE(result.succeeded);
            ExpectOnlyCompletedFilesChanged(before, cleanOutput, result, rig->Output());
        }
    }
}

// Reads of FNB.BIN, HFS.BIN and the track data files fail in turn. A run either stops
// before anything is written, or ends the affected track early and completes every file.
TEST(ExportFaults, FailingRecorderReadsNeverLeaveAPartialFile)
{
    const std::vector<SegmentInfo> segments = {Segment(1, 0, 20000, 1), Segment(2, 3, 2, 2)};
    const char* const recorderFiles[] = {"FNB.BIN", "HFS.BIN", "8b32"};
    for (const char* file : recorderFiles) {
        for (const FaultOp op : {FaultOp::Open, FaultOp::Read}) {
            Rig clean(segments);
            clean.AddOldFile("Take11.wav");
            clean.files.FailNth(op, 0, testsupport::NameContains(file));  // count only
            ASSERT_TRUE(clean.Run("Take.wav").succeeded);
            for (int n = 1; n <= clean.files.Count(op); ++n) {
                SCOPED_TRACE(std::string(file) + ", fault " + std::to_string(static_cast<int>(op)) + " number " +
                             std::to_string(n));
                Rig rig(segments);
                rig.AddOldFile("Take11.wav");
                const Folder before = rig.Output();
                rig.files.FailNth(op, n, testsupport::NameContains(file));
                const ExportResult result = rig.Run("Take.wav");
                if (!result.succeeded) {
                    EXPECT_TRUE(result.files.empty());
                    EXPECT_EQ(rig.Output(), before);
                    continue;
                }
                const Folder after = rig.Output();
                EXPECT_EQ(Names(result.files), (std::vector<std::string>{"Take11.wav", "Take21.wav"}));
                ASSERT_EQ(after.size(), 2u);
                for (const auto& [name, bytes] : after) {
                    // A whole file: its header states the data that follows it.
                    ASSERT_GT(bytes.size(), CWaveFile::kHeaderSize) << name;
                    EXPECT_EQ(WaveDataLength(bytes), bytes.size() - CWaveFile::kHeaderSize) << name;
                }
            }
        }
    }
}

}  // namespace

TEST(ExportStop, AStoppedRunKeepsTheFilesItCompletedAndRemovesTheRest)
{
    const std::vector<SegmentInfo> tracks = {Segment(1, 0, 4000, 1), Segment(2, 0, 4000, 2), Segment(3, 0, 4000, 3)};
    Rig clean(tracks);
    clean.ui.stopAtPoll = std::numeric_limits<int>::max();  // counts the polls, never stops
    ASSERT_TRUE(clean.Run("Take.wav").succeeded);
    // The track check asks once before it opens each track, the conversion between chunks.
    const int checkPolls = static_cast<int>(tracks.size());
    const int pollsPerFile = (clean.ui.stopPolls - checkPolls) / static_cast<int>(tracks.size());
    ASSERT_GT(pollsPerFile, 1);
    struct Case {
        const char* what;
        int stopAtPoll;
        std::size_t completed;
        std::size_t messages;  // the replace question, asked once the check has passed
    };
    const Case cases[] = {
        {"in the track check", 1, 0, 0},
        {"before the first chunk", checkPolls, 0, 1},
        {"inside the first file", checkPolls + 1, 0, 1},
        {"at the start of the second file", checkPolls + pollsPerFile, 1, 1},
        {"inside the last file", checkPolls + 2 * pollsPerFile + 1, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig(tracks);
        rig.AddOldFile("Take21.wav");
        const Folder before = rig.Output();
        rig.ui.stopAtPoll = c.stopAtPoll;
        const ExportResult result = rig.Run("Take.wav");
        ASSERT_TRUE(result.refusal);
        EXPECT_EQ(result.refusal->reason, Reason::Interrupted);
        EXPECT_EQ(result.files.size(), c.completed);
        ExpectOnlyCompletedFilesChanged(before, clean.Output(), result, rig.Output());
        const auto messages = rig.ui.Messages();
        EXPECT_EQ(messages.size(), c.messages) << "no failure box";
        EXPECT_EQ(std::count(messages.begin(), messages.end(), "Convert failed."), 0);
    }
}

TEST(ExportStop, OnlyOldTemporariesOfTheSameNameAreSweptAway)
{
    using namespace std::chrono_literals;
    struct Case {
        const char* name;
        std::chrono::minutes age;
        bool removed;
    };
    const Case cases[] = {
        {".Take11.wav.wavelorn-ab12cd34", 120min, true},
        {".Take11.wav.wavelorn-ab12cd34", 50min, false},      // perhaps a live run's
        {".Take21.wav.wavelorn-ab12cd34", 120min, false},     // another name
        {".Take11.wav.wavelorn-ab12cd34.x", 120min, false},   // not of our naming
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " aged " + std::to_string(c.age.count()) + " min");
        Rig rig({Segment(1, 0, 4, 1)});
        const std::string path = platform::JoinPath(kOutFolder, c.name);
        rig.memory.AddFile(path, kOldBytes);
        rig.memory.SetLastChanged(path, std::filesystem::file_time_type::clock::now() - c.age);
        ASSERT_TRUE(rig.Run("Take.wav").succeeded);
        EXPECT_EQ(rig.memory.HasFile(path), !c.removed);
    }
}
