// The import as the File->MO page runs it, on a disk and sources held in memory:
// why it refuses, what it reports when it succeeds, what it warns about, and how
// its progress adds up.

#include "import/ImportChecks.h"
#include "import/InvertExchange.h"
#include "platform/Files.h"
#include "recorder/FnbTextFile.h"
#include "recorder/TrackFileName.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/import/SlotPage.h"
#include "tests/import/WaveAiffBuilder.h"
#include "tests/support/FnbTextFixture.h"
#include "tests/support/MemoryDisk.h"
#include "tools/diskwriter/DiskWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>

using namespace soundbytes;
using importtest::AsBytes;
using importtest::PaddedFnbText;

namespace {

constexpr const char* kMo = "/mo";
constexpr const char* kSources = "/src";
constexpr const char* kTemporaryFile = "(the temporary file)";
constexpr std::uint32_t kWaveDataOffset = 44;

std::string Mo(const std::string& name)
{
    return platform::JoinPath(kMo, name);
}

std::string Source(const std::string& name)
{
    return platform::JoinPath(kSources, name);
}

Bytes Sound(std::size_t bytes)
{
    return Bytes(bytes, 0x11);
}

Bytes Wave(std::uint32_t rate, std::uint16_t bits, const Bytes& samples,
           std::optional<std::uint32_t> statedSize = std::nullopt, std::uint16_t channels = 1)
{
    return WaveFile(Cat({RiffChunk("fmt ", PlainFormat(kPcm, channels, rate, bits)),
                         RiffChunk("data", samples, statedSize)}));
}

// What a progress window was told; `atEnd` runs at the first look for a stop request
// once the conversion has reached the total: just before the commit.
struct ProgressLog {
    std::vector<std::uint64_t> totals;
    std::vector<std::uint64_t> dones;
    std::function<void()> atEnd;
};

class LoggingWindow : public platform::ProgressWindow {
public:
    explicit LoggingWindow(ProgressLog& log) : m_log(log) {}
    void SetText(const std::string&) override {}
    void Show() override {}
    void StepAnimation() override {}
    void SetTotal(std::uint64_t total) override { m_log.totals.push_back(total); }
    void SetDone(std::uint64_t done) override { m_log.dones.push_back(done); }
    bool StopRequested() const override
    {
        if (m_log.atEnd && !m_log.dones.empty() && m_log.dones.back() == m_log.totals.back())
            std::exchange(m_log.atEnd, nullptr)();
        return false;
    }

private:
    ProgressLog& m_log;
};

class LoggingUserInterface : public testsupport::ScriptedUserInterface {
public:
    std::unique_ptr<platform::ProgressWindow> CreateProgressWindow() override
    {
        return std::make_unique<LoggingWindow>(progress);
    }
    ProgressLog progress;
};

// An MO folder whose FNB.TXT names project 07 last, and a folder of sources, in
// memory; the checks and the import run on them as the File->MO page runs them.
struct MemoryImport {
    MemoryImport()
    {
        memory.AddFolder(kMo);
        memory.AddFolder(kSources);
        memory.AddFile(Mo("FNB.TXT"), PaddedFnbText("SNGSERIAL: 07\r\n\r\n"));
        Put("a.wav", Wave(48000, 24, Sound(3000)));
        Put("b.wav", Wave(44100, 16, Sound(3000)));
        Put("stereo.wav", Wave(48000, 24, Sound(3000), std::nullopt, 2));
        Put("hi.aif", AiffFile(Cat({AiffChunk("COMM", CommonBody(1, 24, ExtendedRate(96000))),
                                    AiffChunk("SSND", SoundDataBody(0, Sound(3000)))})));
        doc.SetMoFolder(kMo);
    }

    void Put(const std::string& name, Bytes bytes) { memory.AddFile(Source(name), std::move(bytes)); }
    // FNB.BIN listing project `number` (and its data file), beside the FNB.TXT.
    void ListProject(std::uint16_t number)
    {
        diskwriter::Disk recorder;
        recorder.AddProject({.slot = 2, .number = number, .name = "On disk"})
            .AddSegment({.track = 1, .virtualTrack = 1, .lengthGroups = 8, .samples = std::vector<std::int32_t>(64, 9)});
        testsupport::LoadDisk(recorder, memory, kMo);
    }
    // Every file of the disk folder with its bytes.
    std::map<std::string, Bytes> Disk() const
    {
        std::map<std::string, Bytes> files;
        for (const auto& path : memory.FilePaths()) {
            if (platform::FolderPart(path) == kMo)
                files[path] = memory.Bytes(path);
        }
        return files;
    }
    bool Check(const std::array<std::string, kTrackCount>& tracks)
    {
        refused = checks.Validate({"Demo", tracks}, doc);
        return !refused;
    }
    ImportResult Import() { return CInvertExchange(slots, doc, ui, files).Run(); }

    testsupport::MemoryFileSystem memory;
    testsupport::FaultyFileSystem files{memory};
    LoggingUserInterface ui;
    TrackSlots slots = MakeTrackSlots(files);
    SlotPage page{slots};
    CImportChecks checks{page, ui, kSources, files};
    std::optional<ImportRefusal> refused;  // by the last Check
    COVFtoWAVEDoc doc;
};

bool SubjectMatches(const std::string& expected, const std::string& subject)
{
    if (expected == kTemporaryFile)
        return platform::FolderPart(subject) == testsupport::MemoryFileSystem().TemporaryFolder();
    return subject == expected;
}

}  // namespace

TEST(ImportRun, EveryRefusalNamesItsReasonAndSubject)
{
    enum class When { BeforeChecks, BeforeRun };
    struct Row {
        const char* what;
        std::array<std::string, kTrackCount> tracks;
        When when;
        std::function<void(MemoryImport&)> arrange;
        MessageId message;
        Reason reason;
        std::string subject;
        std::optional<std::string> detail;  // nothing: not looked at
    };
    const auto nothing = [](MemoryImport&) {};
    const auto fnbText = [](const std::string& text) {
        return [text](MemoryImport& rig) { rig.memory.AddFile(Mo("FNB.TXT"), PaddedFnbText(text)); };
    };
    std::string nearlyFull = "SNGSERIAL: 07\r\n";
    nearlyFull.resize(kFnbTextSize - kProjectBlockReserve - kTrackBlockReserve + 1, 'x');
    const Row rows[] = {
        {"Track 1 empty", {"", "a.wav"}, When::BeforeChecks, nothing, MessageId::Track1NameWrong,
         Reason::Track1Missing, "Track 1", std::nullopt},
        {"Track 1 neither .wav nor .aif", {"a.mp3"}, When::BeforeChecks, nothing, MessageId::Track1NameWrong,
         Reason::UnknownExtension, "a.mp3", std::nullopt},
        {"Track 1 not found", {"gone.wav"}, When::BeforeChecks, nothing, MessageId::FileNotFound,
         Reason::FileNotFound, "gone.wav", std::nullopt},
        {"stereo source", {"stereo.wav"}, When::BeforeChecks, nothing, MessageId::FormatUnknown, Reason::NotMono,
         "stereo.wav", "2"},
        {"AIFF at 96000 Hz", {"a.wav", "hi.aif"}, When::BeforeChecks, nothing, MessageId::FormatUnknown,
         Reason::UnsupportedRate, "hi.aif", "96000"},
        {"format differs from Track 1", {"a.wav", "", "b.wav"}, When::BeforeChecks, nothing,
         MessageId::DifferentFormat, Reason::FormatMismatch, "b.wav", "44100 Hz 16 bit, Track 1 is 48000 Hz 24 bit"},
        {"disk full", {"a.wav"}, When::BeforeChecks, [](MemoryImport& rig) { rig.files.freeSpace = 1000; },
         MessageId::NoDiskSpace, Reason::NoDiskSpace, kMo, std::nullopt},
        {"no FNB.TXT", {"a.wav"}, When::BeforeRun, [](MemoryImport& rig) { rig.memory.Remove(Mo("FNB.TXT")); },
         MessageId::FnbReadFailed, Reason::FnbTextMissing, kMo, std::nullopt},
        {"FNB.TXT unreadable", {"a.wav"}, When::BeforeRun,
         [](MemoryImport& rig) {
             rig.files.failReads = [](const std::string& path, std::uint64_t) { return path == Mo("FNB.TXT"); };
         },
         MessageId::FnbReadFailed, Reason::FnbTextUnreadable, Mo("FNB.TXT"), std::nullopt},
        {"no serial line", {"a.wav"}, When::BeforeRun, fnbText("SONGTITLE: x\r\n"), MessageId::FnbReadFailed,
         Reason::NoSerialLine, Mo("FNB.TXT"), std::nullopt},
        {"project numbers used up", {"a.wav"}, When::BeforeRun, fnbText("SNGSERIAL: 99\r\n"),
         MessageId::ProjectNumberFull, Reason::ProjectNumbersUsedUp, Mo("FNB.TXT"), "99"},
        {"no temporary folder", {"a.wav"}, When::BeforeRun,
         [](MemoryImport& rig) { rig.files.noTemporaryFolder = true; }, MessageId::InsideError,
         Reason::TemporaryFileFailed, "", std::nullopt},
        {"project name FNB.TXT cannot carry", {"a.wav"}, When::BeforeRun,
         [](MemoryImport& rig) { rig.doc.SetNewProjectName("Thirteen char"); }, MessageId::ConvertFailed,
         Reason::ProjectNameRefused, "Thirteen char", std::nullopt},
        {"project name holding the serial key", {"a.wav"}, When::BeforeRun,
         [](MemoryImport& rig) { rig.doc.SetNewProjectName("SNGSERIAL:07"); }, MessageId::ConvertFailed,
         Reason::ProjectNameHoldsSerialKey, "SNGSERIAL:07", std::nullopt},
        {"FNB.TXT full", {"a.wav", "a.wav"}, When::BeforeRun, fnbText(nearlyFull), MessageId::FnbFull,
         Reason::FnbTextFull, kMo, std::nullopt},
        {"source changed after its check", {"a.wav"}, When::BeforeRun,
         [](MemoryImport& rig) { rig.Put("a.wav", AsBytes("RIFF....JUNK")); }, MessageId::InsideError,
         Reason::NotWave, Source("a.wav"), std::nullopt},
        {"samples cannot be read", {"a.wav"}, When::BeforeRun,
         [](MemoryImport& rig) {
             rig.files.failReads = [](const std::string& path, std::uint64_t at) {
                 return path == Source("a.wav") && at >= kWaveDataOffset;
             };
         },
         MessageId::SampleReadFailed, Reason::SourceReadFailed, Source("a.wav"), std::nullopt},
        {"samples cannot be read during the conversion", {"a.wav"}, When::BeforeRun,
         [](MemoryImport& rig) {
             // The data file is made before its first samples are read.
             rig.files.failReads = [&rig](const std::string& path, std::uint64_t) {
                 return path == Source("a.wav") && rig.memory.HasFile(Mo("8b320800.000"));
             };
         },
         MessageId::ConvertFailed, Reason::SourceReadFailed, Source("a.wav"), std::nullopt},
        {"data file cannot be written", {"a.wav", "a.wav"}, When::BeforeRun,
         [](MemoryImport& rig) {
             rig.files.failWrites = [](const std::string& path, platform::WriteMode) {
                 return path == Mo("8b320800.001");
             };
         },
         MessageId::ConvertFailed, Reason::DataFileWriteFailed, Mo("8b320800.001"), std::nullopt},
        {"track block cannot be written", {"a.wav"}, When::BeforeRun,
         [](MemoryImport& rig) {
             rig.files.failWrites = [](const std::string&, platform::WriteMode mode) {
                 return mode == platform::WriteMode::Append;
             };
         },
         MessageId::ConvertFailed, Reason::TemporaryFileFailed, kTemporaryFile, std::nullopt},
        {"source cut while it is converted", {"a.wav"}, When::BeforeRun,
         [](MemoryImport& rig) {
             rig.files.cutReads = [&rig](const std::string& path) -> std::optional<std::uint64_t> {
                 if (path == Source("a.wav") && rig.memory.HasFile(Mo("8b320800.000")))
                     return kWaveDataOffset + 1000;
                 return std::nullopt;
             };
         },
         MessageId::ConvertFailed, Reason::SourceChanged, Source("a.wav"), "3044 bytes when scanned, 1044 bytes now"},
        {"source of another size at its conversion", {"a.wav", "a.wav"}, When::BeforeRun,
         [](MemoryImport& rig) {
             // Once Track 1's data file is made, the file grows before Track 2 opens it again.
             rig.files.failReads = [&rig](const std::string& path, std::uint64_t) {
                 if (path == Source("a.wav") && rig.memory.HasFile(Mo("8b320800.000")))
                     rig.Put("a.wav", Wave(48000, 24, Sound(4000)));
                 return false;
             };
         },
         MessageId::ConvertFailed, Reason::SourceChanged, Source("a.wav"), "3044 bytes when scanned, 4044 bytes now"},
        {"FNB.TXT cannot be written", {"a.wav"}, When::BeforeRun,
         [](MemoryImport& rig) {
             rig.files.failWrites = [](const std::string& path, platform::WriteMode) { return path == Mo("FNB.TXT"); };
         },
         MessageId::FnbWriteFailed, Reason::FnbTextWriteFailed, Mo("FNB.TXT"), std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryImport rig;
        if (row.when == When::BeforeChecks)
            row.arrange(rig);
        Refusal refusal;
        if (!rig.Check(row.tracks)) {
            refusal = rig.refused->refusal;
        } else {
            ASSERT_EQ(row.when, When::BeforeRun) << "the checks passed";
            row.arrange(rig);
            const auto textOf = [&rig] {
                return rig.memory.HasFile(Mo("FNB.TXT")) ? rig.memory.Bytes(Mo("FNB.TXT")) : Bytes{};
            };
            const Bytes text = textOf();
            const ImportResult result = rig.Import();
            ASSERT_FALSE(result.succeeded);
            refusal = result.refusal;
            EXPECT_EQ(rig.ui.Messages().back(), MessageText(row.message));
            // Nothing committed: FNB.TXT as it was, no data file left.
            EXPECT_EQ(textOf(), text);
            EXPECT_FALSE(rig.memory.HasFile(Mo("8b320800.000")));
        }
        EXPECT_EQ(refusal.id, row.message);
        EXPECT_EQ(refusal.reason, row.reason);
        EXPECT_TRUE(SubjectMatches(row.subject, refusal.subject)) << refusal.subject;
        if (row.detail) {
            EXPECT_EQ(refusal.detail, *row.detail);
        }
    }
}

TEST(ImportRun, ChecksNameTheRefusedTrack)
{
    const std::pair<std::array<std::string, kTrackCount>, std::optional<std::uint8_t>> cases[] = {
        {{"", "a.wav"}, 0}, {{"a.wav", "", "b.wav"}, 2}, {{"a.wav", "", "", "stereo.wav"}, 3}};
    for (const auto& [tracks, refused] : cases) {
        MemoryImport rig;
        EXPECT_FALSE(rig.Check(tracks));
        EXPECT_EQ(rig.refused->track, refused);
    }
    MemoryImport full;
    full.files.freeSpace = 0;
    EXPECT_FALSE(full.Check({"a.wav"}));
    EXPECT_EQ(full.refused->track, std::nullopt);
}

TEST(ImportRun, ResultNamesTheNewProjectAndItsDataFiles)
{
    MemoryImport rig;
    ASSERT_TRUE(rig.Check({"a.wav", "", "a.wav"}));
    const ImportResult result = rig.Import();
    ASSERT_TRUE(result.succeeded);
    EXPECT_EQ(result.projectNumber, "08");
    EXPECT_EQ(result.dataFiles, (std::vector<std::string>{Mo("8b320800.000"), Mo("8b320800.001")}));
    for (const auto& file : result.dataFiles)
        EXPECT_TRUE(rig.memory.HasFile(file)) << file;
    EXPECT_TRUE(result.warnings.empty());

    MemoryImport failed;
    ASSERT_TRUE(failed.Check({"a.wav"}));
    failed.memory.Remove(Mo("FNB.TXT"));
    const ImportResult refused = failed.Import();
    EXPECT_EQ(refused.projectNumber, "");
    EXPECT_TRUE(refused.dataFiles.empty());
}

TEST(ImportRun, WarningsOfAShortSourceAndOfRatesTheExportCannotWrite)
{
    struct Row {
        const char* what;
        Bytes source;
        std::vector<std::pair<WarningKind, std::string>> warnings;  // with their details
        const char* name = "take.wav";
    };
    const auto aiff = [](std::uint32_t frames, std::size_t bytes) {
        return AiffFile(Cat({AiffChunk("COMM", CommonBody(1, 16, ExtendedRate(48000), frames)),
                             AiffChunk("SSND", SoundDataBody(0, Sound(bytes)))}));
    };
    const Row rows[] = {
        {"whole file at 48000 Hz", Wave(48000, 16, Sound(3000)), {}},
        {"32000 Hz", Wave(32000, 16, Sound(3000)), {}},
        {"file shorter than its header", Wave(48000, 16, Sound(3000), 10000),
         {{WarningKind::SourceShorterThanHeader, "7000"}}},
        {"88200 Hz", Wave(88200, 16, Sound(3000)), {{WarningKind::RateNotExportable, "88200"}}},
        {"96000 Hz", Wave(96000, 16, Sound(3000)), {{WarningKind::RateNotExportable, "96000"}}},
        {"44056 Hz", Wave(44056, 16, Sound(3000)), {{WarningKind::RateNotExportable, "44056"}}},
        {"47952 Hz, short", Wave(47952, 16, Sound(3000), 3002),
         {{WarningKind::RateNotExportable, "47952"}, {WarningKind::SourceShorterThanHeader, "2"}}},
        {"AIFF whose frames fill its sound data", aiff(1500, 3000), {}, "take.aif"},
        {"AIFF of more frames than its sound data", aiff(2000, 3000), {{WarningKind::SourceShorterThanHeader, "1000"}},
         "take.aif"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryImport rig;
        rig.Put(row.name, row.source);
        ASSERT_TRUE(rig.Check({row.name}));
        const ImportResult result = rig.Import();
        ASSERT_TRUE(result.succeeded);
        ASSERT_EQ(result.warnings.size(), row.warnings.size());
        for (std::size_t i = 0; i < row.warnings.size(); ++i) {
            const Warning& warning = result.warnings[i];
            EXPECT_EQ(warning.kind, row.warnings[i].first);
            EXPECT_EQ(warning.detail, row.warnings[i].second);
            EXPECT_EQ(warning.subject,
                      warning.kind == WarningKind::RateNotExportable ? "project 08" : Source(row.name));
        }
    }
}

TEST(ImportRun, ProgressCountsEverySourceTwiceAndEndsAtItsTotal)
{
    constexpr std::size_t kUnit16 = 131072;
    struct Row {
        const char* what;
        std::vector<Bytes> sources;  // on Tracks 1, 2, ...
        std::uint64_t statedBytes;   // of all sources together
    };
    const Row rows[] = {
        {"three units and a bit", {Wave(48000, 16, Sound(3 * kUnit16 + 100))}, 3 * kUnit16 + 100},
        {"sound and silence", {Wave(48000, 16, Sound(kUnit16 + 6)), Wave(48000, 16, Bytes(2 * kUnit16, 0))},
         3 * kUnit16 + 6},
        {"shorter than its header", {Wave(48000, 16, Sound(kUnit16 + 10), 5 * kUnit16)}, 5 * kUnit16},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryImport rig;
        std::array<std::string, kTrackCount> tracks;
        for (std::size_t i = 0; i < row.sources.size(); ++i) {
            tracks[i] = std::to_string(i + 1) + ".wav";
            rig.Put(tracks[i], row.sources[i]);
        }
        ASSERT_TRUE(rig.Check(tracks));
        ASSERT_TRUE(rig.Import().succeeded);
        const ProgressLog& log = rig.ui.progress;
        ASSERT_EQ(log.totals, std::vector<std::uint64_t>{2 * row.statedBytes});
        ASSERT_FALSE(log.dones.empty());
        EXPECT_TRUE(std::is_sorted(log.dones.begin(), log.dones.end()));
        EXPECT_EQ(log.dones.back(), log.totals[0]);
        // The scan of Track 1 reports its units as it reads them.
        const std::uint64_t firstShare = rig.slots[0].GetReader()->GetDataSize();
        EXPECT_TRUE(std::any_of(log.dones.begin(), log.dones.end(),
                                [&](std::uint64_t done) { return done > 0 && done < firstShare; }));
    }
}

TEST(ImportRun, DataFilesStayOnlyOnceTheNewTextHasTakenItsName)
{
    using testsupport::FaultOp;
    using testsupport::NameContains;
    const Bytes paddedText = PaddedFnbText("SNGSERIAL: 07\r\n\r\n");
    const Bytes shortText = AsBytes("SNGSERIAL: 07\r\n");
    const std::vector<std::string> dataFiles = {Mo("8b320800.000"), Mo("8b320800.001")};
    const testsupport::PathFilter diskFolder = [](const std::string& path) { return path == kMo; };
    struct Row {
        const char* what;
        Bytes fnbText;
        // Arranges the failure; `fnbOpens` is the number of opens of FNB.TXT in a clean run.
        std::function<void(testsupport::FaultyFileSystem&, int fnbOpens)> arrange;
        bool filesStay;
        Reason reason = Reason::FnbTextWriteFailed;
    };
    const Row rows[] = {
        {"FNB.TXT cannot be opened for writing", paddedText,
         [](auto& files, int fnbOpens) { files.FailNth(FaultOp::Open, fnbOpens, NameContains("FNB.TXT")); }, false},
        {"short FNB.TXT cannot be opened for writing", shortText,
         [](auto& files, int fnbOpens) { files.FailNth(FaultOp::Open, fnbOpens, NameContains("FNB.TXT")); }, false},
        {"FNB.TXT opens but takes no byte", paddedText,
         [](auto& files, int) {
             files.failWrites = [](const std::string& path, platform::WriteMode) { return path == Mo("FNB.TXT"); };
         },
         false},
        {"the data files' names cannot be synced", paddedText,
         [&](auto& files, int) { files.FailNth(FaultOp::Sync, 1, diskFolder); }, false, Reason::DataFileWriteFailed},
        {"the new text cannot be created", shortText,
         [](auto& files, int) { files.FailNth(FaultOp::Open, 1, NameContains(kNewFnbTextName)); }, false},
        {"the disk fills as the new text is written", shortText,
         [](auto& files, int) { files.FillAfter(100, NameContains(kNewFnbTextName)); }, false},
        {"the disk fills a byte before the new text's end", paddedText,
         [](auto& files, int) { files.FillAfter(kFnbTextSize - 1, NameContains(kNewFnbTextName)); }, false},
        {"the new text cannot be synced", paddedText,
         [](auto& files, int) { files.FailNth(FaultOp::Sync, 1, NameContains(kNewFnbTextName)); }, false},
        {"the new text cannot be closed", shortText,
         [](auto& files, int) { files.FailNth(FaultOp::Close, 1, NameContains(kNewFnbTextName)); }, false},
        {"the new text cannot take the name", paddedText,
         [](auto& files, int) { files.FailNth(FaultOp::Rename, 1, NameContains("FNB.TXT")); }, false},
        {"the folder cannot be synced after the rename", paddedText,
         [&](auto& files, int) { files.FailNth(FaultOp::Sync, 2, diskFolder); }, true, Reason::FnbTextMaybeRegistered},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryImport clean;
        clean.memory.AddFile(Mo("FNB.TXT"), row.fnbText);
        clean.files.FailNth(FaultOp::Open, 0, NameContains("FNB.TXT"));
        ASSERT_TRUE(clean.Check({"a.wav", "", "a.wav"}));
        ASSERT_TRUE(clean.Import().succeeded);

        MemoryImport rig;
        rig.memory.AddFile(Mo("FNB.TXT"), row.fnbText);
        ASSERT_TRUE(rig.Check({"a.wav", "", "a.wav"}));
        row.arrange(rig.files, clean.files.Count(FaultOp::Open));
        const ImportResult result = rig.Import();
        ASSERT_FALSE(result.succeeded);
        EXPECT_EQ(result.refusal.id, MessageId::FnbWriteFailed);
        EXPECT_EQ(result.refusal.reason, row.reason);
        EXPECT_FALSE(rig.memory.HasFile(Mo(kNewFnbTextName)));
        for (const auto& file : dataFiles) {
            EXPECT_EQ(rig.memory.HasFile(file), row.filesStay) << file;
            if (row.filesStay) {
                EXPECT_EQ(rig.memory.Bytes(file), clean.memory.Bytes(file)) << file;
            }
        }
        if (!row.filesStay) {
            EXPECT_EQ(rig.memory.Bytes(Mo("FNB.TXT")), row.fnbText);
        }
    }
}

namespace {

// `text` with its time stamp `from` written as `to`.
Bytes WithStamp(const Bytes& text, const std::string& from, const std::string& to)
{
    std::string changed(text.begin(), text.end());
    for (auto at = changed.find(from); !from.empty() && at != std::string::npos; at = changed.find(from, at + to.size()))
        changed.replace(at, from.size(), to);
    return Bytes(changed.begin(), changed.end());
}

}  // namespace

// A power cut at any step of an import, data writes and syncs included, and the next
// import's first look: the disk holds the old text, or the new one with every data
// file it names whole. Never a new text beside missing or short data files. A file of
// an unlisted project under a new name is back as it was with the old text, gone with
// the new one.
TEST(ImportRun, APowerCutLeavesTheOldProjectsOrTheNewOneWhole)
{
    const Bytes leftover(100, 7);
    const std::string leftoverPath = Mo("8b320800.001");
    struct Start {
        Bytes text;
        bool leftover;
    };
    const Start starts[] = {
        {PaddedFnbText("SNGSERIAL: 07\r\n\r\n"), false},
        {AsBytes("SNGSERIAL: 07\r\n"), false},
        {PaddedFnbText("SNGSERIAL: 07\r\n\r\n"), true},
    };
    for (const Start& begin : starts) {
        const Bytes& oldText = begin.text;
        const auto arrange = [&](MemoryImport& rig) {
            rig.memory.AddFile(Mo("FNB.TXT"), oldText);
            if (begin.leftover) {
                rig.ListProject(5);
                rig.memory.AddFile(leftoverPath, leftover);
            }
        };
        MemoryImport clean;
        arrange(clean);
        ASSERT_TRUE(clean.Check({"a.wav", "", "a.wav"}));
        const int start = clean.memory.Steps();
        const ImportResult done = clean.Import();
        ASSERT_TRUE(done.succeeded);
        int newOnes = 0;
        int oldOnes = 0;
        for (int cut = start + 1; cut <= clean.memory.Steps() + 1; ++cut) {
            SCOPED_TRACE("cut at step " + std::to_string(cut) + " of a text of " + std::to_string(oldText.size()) +
                         (begin.leftover ? ", a leftover in the way" : ""));
            MemoryImport rig;
            arrange(rig);
            ASSERT_TRUE(rig.Check({"a.wav", "", "a.wav"}));
            rig.memory.CutPowerAt(cut);
            rig.Import();
            rig.memory.PowerCut();
            FinishInterruptedCommit(rig.memory, kMo);
            EXPECT_FALSE(rig.memory.HasFile(Mo(kNewFnbTextName)));
            EXPECT_FALSE(rig.memory.HasFile(Mo(MovedAsideName("8b320800.001"))));
            const Bytes text = rig.memory.Bytes(Mo("FNB.TXT"));
            if (text == oldText) {
                ++oldOnes;
                if (begin.leftover) {
                    EXPECT_EQ(rig.memory.Bytes(leftoverPath), leftover);
                }
                continue;
            }
            ++newOnes;
            // The two runs may have stamped their projects a second apart.
            EXPECT_EQ(WithStamp(text, rig.doc.GetTimeStamp(), clean.doc.GetTimeStamp()),
                      clean.memory.Bytes(Mo("FNB.TXT")));
            for (const auto& file : done.dataFiles) {
                EXPECT_EQ(rig.memory.Bytes(file), clean.memory.Bytes(file)) << file;
            }
        }
        EXPECT_GT(oldOnes, 0);
        EXPECT_GT(newOnes, 0);
    }
}

TEST(ImportRun, ImportsOntoATextWhoseLastLineHasNoLineEndNumberOn)
{
    MemoryImport rig;
    rig.memory.AddFile(Mo("FNB.TXT"), PaddedFnbText("SNGSERIAL: 07\r\nSONGTITLE: Old"));
    ASSERT_TRUE(rig.Check({"a.wav"}));
    const ImportResult first = rig.Import();
    ASSERT_TRUE(first.succeeded);
    const Bytes firstData = rig.memory.Bytes(Mo("8b320800.000"));
    const ImportResult second = rig.Import();
    ASSERT_TRUE(second.succeeded) << Explain(second.refusal);
    EXPECT_EQ(first.projectNumber, "08");
    EXPECT_EQ(second.projectNumber, "09");
    EXPECT_EQ(rig.memory.Bytes(Mo("8b320800.000")), firstData);
}

TEST(ImportRun, OneImportWritesToADiskAtATime)
{
    using platform::FolderLockState;
    struct Row {
        const char* what;
        std::function<platform::FolderLocking(MemoryImport&)> arrange;  // what the test holds
        bool succeeds;
        std::optional<FolderLockState> duringRun;  // a lock tried while the sources are read
        std::vector<WarningKind> warnings;
    };
    const auto holdIt = [](MemoryImport& rig) { return rig.memory.LockFolder(kMo); };
    const auto nothing = [](MemoryImport&) { return platform::FolderLocking{}; };
    const Row rows[] = {
        {"a free disk", nothing, true, FolderLockState::HeldElsewhere, {}},
        {"another import holds the disk", holdIt, false, std::nullopt, {}},
        {"a disk that cannot be locked",
         [](MemoryImport& rig) {
             rig.memory.RefuseLocks(kMo);
             return platform::FolderLocking{};
         },
         true, FolderLockState::Unsupported, {WarningKind::DiskNotLocked}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryImport rig;
        ASSERT_TRUE(rig.Check({"a.wav"}));
        const platform::FolderLocking held = row.arrange(rig);
        std::optional<FolderLockState> duringRun;
        rig.files.failReads = [&](const std::string& path, std::uint64_t) {
            if (path == Source("a.wav"))
                duringRun = rig.memory.LockFolder(kMo).state;
            return false;
        };
        const auto before = rig.Disk();
        const ImportResult result = rig.Import();
        EXPECT_EQ(result.succeeded, row.succeeds);
        EXPECT_EQ(duringRun, row.duringRun);
        std::vector<WarningKind> warnings;
        for (const auto& warning : result.warnings)
            warnings.push_back(warning.kind);
        EXPECT_EQ(warnings, row.warnings);
        if (!row.succeeds) {
            EXPECT_EQ(rig.ui.Messages(), std::vector<std::string>{MessageText(MessageId::ConvertFailed)});
            EXPECT_EQ(Explain(result.refusal), std::string(kMo) + ": another import is writing to this disk; wait for "
                                                                  "it to finish, then import again");
            EXPECT_EQ(rig.Disk(), before);
        } else {
            EXPECT_NE(rig.memory.LockFolder(kMo).state, FolderLockState::HeldElsewhere);  // let go at the end
        }
    }
}

// Another disk put in during the import (or the import's own files changed) fails it
// before the commit; only files that are still the ones the import wrote are removed.
TEST(ImportRun, ADiskChangedBeforeTheCommitFailsAndLeavesItsFilesAlone)
{
    const Bytes otherText = PaddedFnbText("SNGSERIAL: 07\r\nSONGTITLE: Other\r\n\r\n");
    const Bytes otherData(300, 5);
    const std::vector<std::string> written = {Mo("8b320800.000"), Mo("8b320800.001")};
    // Replaces the disk's files by another disk's.
    const auto swapTo = [](MemoryImport& rig, std::map<std::string, Bytes> other) {
        for (const auto& [path, bytes] : rig.Disk())
            rig.memory.Remove(path);
        for (auto& [path, bytes] : other)
            rig.memory.AddFile(path, std::move(bytes));
    };
    struct Row {
        const char* what;
        std::function<void(MemoryImport&)> change;
        std::string subject;
        std::vector<std::string> left;  // the import's files it cannot remove
    };
    const Row rows[] = {
        {"another disk with files of its own under the new names",
         [&](MemoryImport& rig) {
             swapTo(rig, {{Mo("FNB.TXT"), otherText}, {written[0], otherData}, {written[1], otherData}});
         },
         Mo("FNB.TXT"), written},
        {"a copy of the disk as it was before the import",
         [&](MemoryImport& rig) { swapTo(rig, {{Mo("FNB.TXT"), PaddedFnbText("SNGSERIAL: 07\r\n\r\n")}}); },
         written[0], written},
        {"a new data file cut short on the same disk",
         [&](MemoryImport& rig) { rig.memory.Resize(written[1], 10); }, written[1], {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryImport rig;
        ASSERT_TRUE(rig.Check({"a.wav", "a.wav"}));
        std::map<std::string, Bytes> changed;
        rig.ui.progress.atEnd = [&] {
            row.change(rig);
            changed = rig.Disk();
        };
        const ImportResult result = rig.Import();
        ASSERT_FALSE(result.succeeded);
        EXPECT_EQ(result.refusal.id, MessageId::ConvertFailed);
        EXPECT_EQ(result.refusal.reason, Reason::DiskChanged);
        EXPECT_EQ(result.refusal.subject, row.subject);
        std::vector<std::string> left;
        for (const auto& warning : result.warnings) {
            EXPECT_EQ(warning.kind, WarningKind::CreatedFileLeft);
            left.push_back(warning.subject);
        }
        EXPECT_EQ(left, row.left);
        if (row.left.empty()) {
            EXPECT_EQ(rig.Disk(), (std::map<std::string, Bytes>{{Mo("FNB.TXT"), PaddedFnbText("SNGSERIAL: 07\r\n\r\n")}}));
        } else {
            EXPECT_EQ(rig.Disk(), changed);
        }
    }
}

// A data file of an unlisted project under a name the import writes: moved aside while
// the import runs, removed once the commit is through, put back as it was otherwise.
TEST(ImportRun, AFileUnderANewNameIsMovedAsideUntilTheCommit)
{
    const Bytes leftover(100, 7);
    const std::string aside = Mo("A0800001.OLD");
    struct Row {
        const char* what;
        std::function<void(MemoryImport&)> arrange;
        bool succeeds;
    };
    const Row rows[] = {
        {"the import succeeds", [](MemoryImport&) {}, true},
        {"a data file cannot be written", [](MemoryImport& rig) {
             rig.files.failWrites = [](const std::string& path, platform::WriteMode) { return path == Mo("8b320800.001"); };
         }, false},
        {"the commit fails", [](MemoryImport& rig) {
             rig.files.failWrites = [](const std::string& path, platform::WriteMode) { return path == Mo("FNB.TXT"); };
         }, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryImport rig;
        rig.ListProject(5);
        rig.memory.AddFile(Mo("8B320800.001"), leftover);
        ASSERT_TRUE(rig.Check({"a.wav", "a.wav"}));
        row.arrange(rig);
        Bytes asideDuringRun;
        rig.ui.progress.atEnd = [&] { asideDuringRun = rig.memory.Bytes(aside); };
        const auto before = rig.Disk();
        const ImportResult result = rig.Import();
        ASSERT_EQ(result.succeeded, row.succeeds);
        EXPECT_TRUE(result.warnings.empty());
        EXPECT_FALSE(rig.memory.HasFile(aside));
        if (row.succeeds) {
            EXPECT_EQ(asideDuringRun, leftover);
            EXPECT_FALSE(rig.memory.HasFile(Mo("8B320800.001")));
            EXPECT_TRUE(rig.memory.HasFile(Mo("8b320800.001")));
        } else {
            EXPECT_EQ(rig.Disk(), before);
        }
    }
}

// What an interrupted import left, as the next one finds it: the moved-aside file goes
// when FNB.TXT lists its project (the commit went through), else takes its name back.
TEST(ImportRun, TheNextImportPutsBackOrRemovesWhatAnInterruptedOneMovedAside)
{
    const Bytes earlier(100, 7);
    const Bytes partial(50, 8);
    const Bytes listsUpTo07 = PaddedFnbText("SNGSERIAL: 07\r\n\r\n");
    const Bytes listsUpTo08 = PaddedFnbText("SNGSERIAL: 07\r\n\r\nSNGSERIAL: 08\r\n\r\n");
    using Files = std::map<std::string, Bytes>;
    struct Row {
        const char* what;
        Files before;
        Files after;
        std::size_t warned;  // moved-aside files the read-only commands warn of
    };
    const Row rows[] = {
        {"the commit did not go through",
         {{Mo("FNB.TXT"), listsUpTo07}, {Mo("A0800000.OLD"), earlier}, {Mo("8b320800.000"), partial}},
         {{Mo("FNB.TXT"), listsUpTo07}, {Mo("8b320800.000"), earlier}}, 1},
        {"cut before the new file was made",
         {{Mo("FNB.TXT"), listsUpTo07}, {Mo("a0800003.old"), earlier}},
         {{Mo("FNB.TXT"), listsUpTo07}, {Mo("8b320800.003"), earlier}}, 1},
        {"the commit went through",
         {{Mo("FNB.TXT"), listsUpTo08}, {Mo("A0800000.OLD"), earlier}, {Mo("8b320800.000"), partial}},
         {{Mo("FNB.TXT"), listsUpTo08}, {Mo("8b320800.000"), partial}}, 1},
        {"names only like moved-aside ones stay",
         {{Mo("FNB.TXT"), listsUpTo07}, {Mo("A080000.OLD"), earlier}, {Mo("A08x0000.OLD"), earlier},
          {Mo("B0800000.OLD"), earlier}, {Mo("A0800000.NEW"), earlier}},
         {{Mo("FNB.TXT"), listsUpTo07}, {Mo("A080000.OLD"), earlier}, {Mo("A08x0000.OLD"), earlier},
          {Mo("B0800000.OLD"), earlier}, {Mo("A0800000.NEW"), earlier}},
         0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryImport rig;
        for (const auto& [path, bytes] : row.before)
            rig.memory.AddFile(path, bytes);
        const auto warnings = InterruptedImportWarnings(rig.memory, kMo);
        EXPECT_EQ(warnings.size(), row.warned);
        for (const auto& warning : warnings)
            EXPECT_EQ(warning.kind, WarningKind::MovedAsideLeft);
        FinishInterruptedCommit(rig.memory, kMo);
        EXPECT_EQ(rig.Disk(), row.after);
    }
}
