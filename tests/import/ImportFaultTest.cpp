// Every file operation of an import, made to fail in turn: the Nth open, read, write,
// flush, close or rename of the track data files, FNB.TXT, the temporary text and the
// sources, and a disk that fills after N bytes, on a file system in memory and on the
// real one. After each failure the disk folder is as it was, except that FNB.TXT and
// the complete data files stay once FNB.TXT is open for the new text; a run that
// succeeds despite a fault wrote what a clean run writes.

#include "import/InvertExchange.h"
#include "platform/Files.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/import/SlotPage.h"
#include "tests/import/WaveAiffBuilder.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/FnbTextFixture.h"
#include "tests/support/ScriptedUserInterface.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <set>

using namespace soundbytes;
using testsupport::FaultOp;
using testsupport::FaultyFileSystem;
using testsupport::NameContains;
using testsupport::PathFilter;

namespace {

constexpr const char* kFnbText = "FNB.TXT";
constexpr std::size_t kUnit16 = 131072;
constexpr FaultOp kOps[] = {FaultOp::Open, FaultOp::Read,  FaultOp::Write, FaultOp::Flush,
                            FaultOp::Sync, FaultOp::Close, FaultOp::Rename};

using Snapshot = std::map<std::string, Bytes>;

// Where one run's files live: the disk folder, the sources and the temporary files.
class Ground {
public:
    virtual ~Ground() = default;
    virtual platform::FileSystem& Base() = 0;
    virtual std::string Mo() const = 0;
    virtual std::string Sources() const = 0;
    virtual std::string Temporary() const = 0;

    void Put(const std::string& path, const Bytes& bytes)
    {
        const auto file = Base().OpenWrite(path, platform::WriteMode::Replace);
        ASSERT_TRUE(file && file->Write(bytes.data(), bytes.size()) && file->Close()) << path;
    }

    // Every file of a folder with its bytes.
    Snapshot Files(const std::string& folder)
    {
        Snapshot files;
        for (const auto& entry : Base().ListFolder(folder).value_or(std::vector<platform::FolderEntry>{})) {
            const std::string path = platform::JoinPath(folder, entry.name);
            Bytes bytes(static_cast<std::size_t>(Base().FileSize(path).value_or(0)));
            const auto source = Base().OpenRead(path);
            EXPECT_TRUE(source && source->ReadExactly(0, bytes.data(), bytes.size())) << path;
            files[entry.name] = WithoutTimeStamps(std::move(bytes));
        }
        return files;
    }

private:
    // Runs compared with each other need not start within the same second: the time
    // stamps of the blocks they write are set to one value before comparing.
    static Bytes WithoutTimeStamps(Bytes bytes)
    {
        static const std::string key = "BINUPDATE: ";
        constexpr std::size_t kStampLength = 19;  // "%Y/%m/%d %H:%M:%S"
        const auto found = [&](Bytes::iterator from) { return std::search(from, bytes.end(), key.begin(), key.end()); };
        for (auto at = found(bytes.begin()); at != bytes.end(); at = found(at)) {
            at += static_cast<std::ptrdiff_t>(key.size());
            const auto stampEnd = std::min(bytes.end(), at + static_cast<std::ptrdiff_t>(kStampLength));
            std::fill(at, stampEnd, static_cast<std::uint8_t>('0'));
            at = stampEnd;
        }
        return bytes;
    }
};

class MemoryGround : public Ground {
public:
    MemoryGround()
    {
        for (const char* folder : {"/mo", "/src", "/run-temp"})
            m_memory.AddFolder(folder);
    }
    platform::FileSystem& Base() override { return m_memory; }
    std::string Mo() const override { return "/mo"; }
    std::string Sources() const override { return "/src"; }
    std::string Temporary() const override { return "/run-temp"; }

private:
    testsupport::MemoryFileSystem m_memory;
};

class RealGround : public Ground {
public:
    platform::FileSystem& Base() override { return platform::RealFileSystem(); }
    std::string Mo() const override { return m_mo.Path(); }
    std::string Sources() const override { return m_sources.Path(); }
    std::string Temporary() const override { return m_temporary.Path(); }

private:
    testsupport::TempFolder m_mo;
    testsupport::TempFolder m_sources;
    testsupport::TempFolder m_temporary;
};

// The failing file system of a run, with the temporary files in the ground's own
// folder, so that a leftover can be seen.
class RunFileSystem : public FaultyFileSystem {
public:
    RunFileSystem(platform::FileSystem& inner, std::string temporary)
        : FaultyFileSystem(inner), m_temporary(std::move(temporary))
    {
    }
    std::string TemporaryFolder() override { return m_temporary; }

private:
    std::string m_temporary;
};

enum class GroundKind { Memory, Real };

std::unique_ptr<Ground> MakeGround(GroundKind kind, const Bytes& fnbText)
{
    std::unique_ptr<Ground> ground;
    if (kind == GroundKind::Memory)
        ground = std::make_unique<MemoryGround>();
    else
        ground = std::make_unique<RealGround>();
    ground->Put(platform::JoinPath(ground->Mo(), kFnbText), fnbText);
    // Track 1: two units of sound, one data file of two blocks; Track 3: one block.
    ground->Put(platform::JoinPath(ground->Sources(), "a.wav"),
                WaveFile(Cat({RiffChunk("fmt ", PlainFormat(kPcm, 1, 48000, 16)),
                              RiffChunk("data", Bytes(kUnit16 + 100, 0x11))})));
    ground->Put(platform::JoinPath(ground->Sources(), "b.aif"),
                AiffFile(Cat({AiffChunk("COMM", CommonBody(1, 16, ExtendedRate(48000))),
                              AiffChunk("SSND", SoundDataBody(0, Bytes(3000, 0x22)))})));
    return ground;
}

// One import on a ground, checked as the File->MO page checks it.
struct Run {
    explicit Run(Ground& ground) : files(ground.Base(), ground.Temporary()), checks(page, ui, ground.Sources(), files)
    {
        doc.SetMoFolder(ground.Mo());
        doc.SetNewProjectName("Faults");
        const auto refused = checks.Validate({"Faults", {"a.wav", "", "b.aif"}}, doc);
        EXPECT_FALSE(refused) << Explain(refused->refusal);
    }
    ImportResult Import() { return CInvertExchange(slots, doc, ui, files).Run(); }

    RunFileSystem files;
    testsupport::ScriptedUserInterface ui;
    TrackSlots slots = MakeTrackSlots(files);
    SlotPage page{slots};
    CImportChecks checks;
    COVFtoWAVEDoc doc;
};

struct Target {
    const char* what;
    PathFilter filter;
    bool written;  // the import writes these files
};

const Target kTargets[] = {
    // By the start of the name: the temporary text's random name may hold "8b32" too.
    {"track data files", [](const std::string& path) { return platform::NamePart(path).rfind("8b32", 0) == 0; }, true},
    {"FNB.TXT", NameContains(kFnbText), false},
    {"new FNB.TXT", NameContains(kNewFnbTextName), true},
    // Every file name here has a dot, no folder name does: only the disk folder is synced.
    {"disk folder", [](const std::string& path) { return platform::NamePart(path).find('.') == std::string::npos; },
     false},
    {"temporary text", NameContains(".tmp"), true},
    {"sources", [](const std::string& path) { return NameContains(".wav")(path) || NameContains(".aif")(path); },
     false},
};

struct Scenario {
    GroundKind ground;
    const char* what;
    Bytes fnbText;
};

// A fault that a run meets (a clean run gets that far).
struct Fault {
    std::function<void(FaultyFileSystem&)> arrange;
    bool mayBeOvercome;  // a temporary name that cannot be taken is tried again
};

// The byte counts at which a fill is worth trying for a clean run writing `total`
// bytes: the first few, and around every block and text-size boundary from both ends.
std::vector<std::uint64_t> FillPoints(std::uint64_t total)
{
    std::set<std::uint64_t> points = {0, 1, 2};
    for (std::uint64_t edge = kUnit16; edge <= total + kUnit16; edge += kUnit16) {
        for (const std::uint64_t at : {edge, total - std::min(total, edge)}) {
            for (const std::uint64_t near : {at - std::min<std::uint64_t>(at, 1), at, at + 1})
                points.insert(near);
        }
    }
    points.insert(total - std::min<std::uint64_t>(total, 1));
    std::vector<std::uint64_t> list;
    std::copy_if(points.begin(), points.end(), std::back_inserter(list), [&](std::uint64_t n) { return n < total; });
    return list;
}

class ImportFaults {
public:
    explicit ImportFaults(const Scenario& scenario) : m_scenario(scenario) {}

    // A clean run with `count` arranged to count; its disk folder afterwards.
    Snapshot Clean(const std::function<void(FaultyFileSystem&)>& count, const std::function<void(Run&)>& read)
    {
        const auto ground = MakeGround(m_scenario.ground, m_scenario.fnbText);
        Run run(*ground);
        count(run.files);
        EXPECT_TRUE(run.Import().succeeded);
        read(run);
        return ground->Files(ground->Mo());
    }

    // One run with `fault`: what it leaves must be what the failure promises.
    void Check(const std::string& what, const Fault& fault, const Snapshot& clean)
    {
        SCOPED_TRACE(what);
        const auto ground = MakeGround(m_scenario.ground, m_scenario.fnbText);
        const Snapshot before = ground->Files(ground->Mo());
        Run run(*ground);
        fault.arrange(run.files);
        const ImportResult result = run.Import();
        const Snapshot after = ground->Files(ground->Mo());
        EXPECT_TRUE(ground->Files(ground->Temporary()).empty()) << "a temporary text is left";
        if (result.succeeded) {
            EXPECT_TRUE(fault.mayBeOvercome) << "a failure went unnoticed";
            EXPECT_TRUE(after == clean) << "a run that succeeded wrote something else";
            return;
        }
        seen.insert(result.refusal.id);
        if (after != before)
            ExpectTextWriteBegun(result, before, clean, after);
    }

    std::set<MessageId> seen;

private:
    // Only once the new FNB.TXT has taken its name does the disk change: it is the
    // new text then, and the data files it names stay, complete; nothing else changes.
    static void ExpectTextWriteBegun(const ImportResult& result, const Snapshot& before, const Snapshot& clean,
                                     const Snapshot& after)
    {
        EXPECT_EQ(result.refusal.id, MessageId::FnbWriteFailed) << "the disk changed: " << Explain(result.refusal);
        EXPECT_EQ(result.refusal.reason, Reason::FnbTextMaybeRegistered) << Explain(result.refusal);
        EXPECT_TRUE(after.count(kFnbText) && after.at(kFnbText) == clean.at(kFnbText)) << "FNB.TXT is torn";
        for (const auto& [name, bytes] : clean) {
            if (name == kFnbText || before.count(name))
                continue;
            EXPECT_TRUE(after.count(name) && after.at(name) == bytes) << name << " is not complete";
        }
        for (const auto& [name, bytes] : after) {
            if (name != kFnbText && !clean.count(name)) {
                EXPECT_TRUE(before.count(name) && before.at(name) == bytes) << name << " changed";
            }
        }
    }

    const Scenario& m_scenario;
};

std::string Describe(const Target& target, const char* fault, std::uint64_t n)
{
    return std::string(target.what) + ": " + fault + " " + std::to_string(n);
}

const char* OpName(FaultOp op)
{
    static const char* const names[] = {"open", "read", "write", "flush", "sync", "close", "rename"};
    return names[static_cast<std::size_t>(op)];
}

// Every failure of `target` for one scenario; the messages the failures gave.
std::set<MessageId> FailEveryOperation(const Scenario& scenario, const Target& target)
{
    ImportFaults faults(scenario);
    for (const FaultOp op : kOps) {
        int count = 0;
        const Snapshot clean = faults.Clean([&](FaultyFileSystem& files) { files.FailNth(op, 0, target.filter); },
                                            [&](Run& run) { count = run.files.Count(op); });
        for (int n = 1; n <= count; ++n) {
            const bool firstTemporaryOpen = op == FaultOp::Open && n == 1 && std::string(target.what) == "temporary text";
            faults.Check(Describe(target, OpName(op), static_cast<std::uint64_t>(n)),
                         {[&](FaultyFileSystem& files) { files.FailNth(op, n, target.filter); }, firstTemporaryOpen},
                         clean);
        }
    }
    if (target.written) {
        std::uint64_t total = 0;
        const Snapshot clean = faults.Clean(
            [&](FaultyFileSystem& files) { files.FillAfter(std::numeric_limits<std::uint64_t>::max(), target.filter); },
            [&](Run& run) { total = run.files.BytesFilled(); });
        for (const std::uint64_t n : FillPoints(total))
            faults.Check(Describe(target, "disk full after", n),
                         {[&](FaultyFileSystem& files) { files.FillAfter(n, target.filter); }, false}, clean);
    }
    return faults.seen;
}

std::vector<Scenario> Scenarios()
{
    std::vector<Scenario> scenarios;
    for (const GroundKind ground : {GroundKind::Memory, GroundKind::Real}) {
        const char* place = ground == GroundKind::Memory ? "in memory" : "on disk";
        scenarios.push_back({ground, place, importtest::PaddedFnbText("SNGSERIAL: 07\r\n\r\n")});
        scenarios.push_back({ground, place, importtest::AsBytes("SNGSERIAL: 07\r\n")});
    }
    return scenarios;
}

}  // namespace

TEST(ImportFaults, EveryFailureLeavesTheDiskAsPromised)
{
    // The messages each target's failures must give between them, whatever else they give.
    const std::map<std::string, std::set<MessageId>> expected = {
        {"track data files", {MessageId::ConvertFailed}},
        {"FNB.TXT", {MessageId::FnbReadFailed, MessageId::FnbWriteFailed}},
        {"new FNB.TXT", {MessageId::FnbWriteFailed}},
        {"disk folder", {MessageId::FnbWriteFailed}},
        {"temporary text", {MessageId::InsideError, MessageId::ConvertFailed, MessageId::FnbWriteFailed}},
        {"sources", {MessageId::InsideError, MessageId::SampleReadFailed, MessageId::ConvertFailed}},
    };
    for (const Scenario& scenario : Scenarios()) {
        SCOPED_TRACE(std::string(scenario.what) + (scenario.fnbText.size() < kFnbTextSize ? ", short FNB.TXT" : ""));
        for (const Target& target : kTargets) {
            const std::set<MessageId> seen = FailEveryOperation(scenario, target);
            for (const MessageId id : expected.at(target.what))
                EXPECT_TRUE(seen.count(id)) << target.what << " never failed with " << MessageText(id);
        }
    }
}
