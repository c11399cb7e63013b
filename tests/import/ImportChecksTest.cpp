#include "app/Document.h"
#include "import/ImportChecks.h"
#include "platform/Messages.h"
#include "tests/import/WaveAiffBuilder.h"
#include "tests/support/FnbTextFixture.h"
#include "tests/support/ScriptedUserInterface.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

using namespace soundbytes;
using testsupport::ScriptedUserInterface;
using testsupport::TempFolder;

namespace {

// The page as the checks see it: the eight slots and a log of what they asked of it.
class FakePage : public CImportPage {
public:
    FakePage() : slots(MakeTrackSlots()) {}
    COrvoTrack& GetTrackSlot(std::uint8_t index) override { return slots.at(index); }
    void EnableInputs(bool enable) override { calls.push_back(enable ? "EnableInputs(true)" : "EnableInputs(false)"); }
    void ShowFormat(bool show) override { calls.push_back(show ? "ShowFormat(true)" : "ShowFormat(false)"); }

    TrackSlots slots;
    std::vector<std::string> calls;
};

const std::vector<std::string> kNoCalls;
const std::vector<std::string> kUnlocked = {"EnableInputs(true)", "ShowFormat(true)"};
const std::vector<std::string> kLocked = {"ShowFormat(false)", "EnableInputs(false)"};

std::string Text(MessageId id)
{
    return MessageText(id);
}

Bytes Wave(const Bytes& format)
{
    return WaveFile(Cat({RiffChunk("fmt ", format), RiffChunk("data", {1, 2, 3, 4, 5, 6})}));
}

// Source files of every kind the checks tell apart, in one folder.
class ImportChecksTest : public ::testing::Test {
protected:
    ImportChecksTest()
    {
        Put("t1.wav", Wave(PlainFormat(kPcm, 1, 48000, 24)));
        Put("t2.wav", Wave(PlainFormat(kPcm, 1, 48000, 24)));
        Put("r441.wav", Wave(PlainFormat(kPcm, 1, 44100, 24)));
        Put("b16.wav", Wave(PlainFormat(kPcm, 1, 48000, 16)));
        Put("p20.wav", Wave(PlainFormat(kPcm, 1, 48000, 20)));
        Put("e20.wav", Wave(ExtensibleFormat(1, 48000, 24, 20)));
        Put("stereo.wav", Wave(PlainFormat(kPcm, 2, 48000, 24)));
        Put("good.aif", AiffFile(Cat({AiffChunk("COMM", CommonBody(1, 24, ExtendedRate(48000))),
                                      AiffChunk("SSND", SoundDataBody(0, {1, 2, 3}))})));
        Put("bad.aif", AiffFile(AiffChunk("COMM", CommonBody(1, 24, ExtendedRate(96000)))));
        Put("notes.txt", {1});
        Put("take.wave", {1});
    }

    void Put(const std::string& name, const Bytes& bytes) { testsupport::WriteBytes(m_folder.File(name), bytes); }
    std::string Path(const std::string& name) const { return m_folder.File(name); }
    std::uint64_t Size(const std::string& name) const { return std::filesystem::file_size(Path(name)); }

    TempFolder m_folder;
    ScriptedUserInterface m_ui;
    FakePage m_page;
    testsupport::FaultyFileSystem m_files;
    CImportChecks m_checks{m_page, m_ui, m_folder.Path(), m_files};
};

}  // namespace

TEST_F(ImportChecksTest, CheckFileNameInItsOrderWithItsMessages)
{
    struct Case {
        std::string track1;  // checked first for Track 1, when not empty
        std::uint8_t track;
        std::string name;
        bool accepted;
        std::vector<std::string> messages;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"", 0, "t1.wav", true, {}, kUnlocked},
        {"", 0, "T1.WAV", true, {}, kUnlocked},  // found as spelt on disk
        {"", 0, "p20.wav", true, {}, kUnlocked},
        {"", 0, "good.aif", true, {}, kUnlocked},
        {"", 0, "missing.wav", false, {Text(MessageId::FileNotFound)}, kLocked},
        {"", 0, "notes.txt", false, {Text(MessageId::FormatUnknown)}, kLocked},
        {"", 0, "take.wave", false, {Text(MessageId::FormatUnknown)}, kLocked},
        {"", 0, "stereo.wav", false, {Text(MessageId::FormatUnknown)}, kLocked},  // the reader's own message
        {"", 0, "bad.aif", false, {Text(MessageId::FormatUnknown)}, kLocked},
        {"t1.wav", 0, "r441.wav", true, {}, kUnlocked},  // another Track 1 replaces the reference
        {"t1.wav", 0, "missing.wav", false, {Text(MessageId::FileNotFound)}, kLocked},
        {"t1.wav", 1, "t2.wav", true, {}, kNoCalls},
        {"t1.wav", 7, "good.aif", true, {}, kNoCalls},
        {"t1.wav", 1, "r441.wav", false, {Text(MessageId::DifferentFormat)}, kNoCalls},
        {"t1.wav", 2, "b16.wav", false, {Text(MessageId::DifferentFormat)}, kNoCalls},
        {"t1.wav", 3, "e20.wav", false, {Text(MessageId::DifferentFormat)}, kNoCalls},
        {"p20.wav", 3, "e20.wav", true, {}, kNoCalls},  // 20-bit sources match whatever their container
        {"t1.wav", 1, "missing.wav", false, {Text(MessageId::FileNotFound)}, kNoCalls},
        {"t1.wav", 1, "bad.aif", false, {Text(MessageId::FormatUnknown)}, kNoCalls},
        {"", 1, "t2.wav", true, {}, kNoCalls},  // no Track 1 format to compare with
    };
    for (const auto& c : cases) {
        for (auto& slot : m_page.slots)
            slot.Reset();
        if (!c.track1.empty()) {
            ASSERT_FALSE(m_checks.CheckFileName(0, c.track1)) << c.track1;
        }
        m_ui.events.clear();
        m_page.calls.clear();
        const std::string what = std::to_string(c.track) + " " + c.name;
        const auto refused = m_checks.CheckFileName(c.track, c.name);
        EXPECT_EQ(!refused, c.accepted) << what;
        EXPECT_EQ(m_ui.Messages(), c.messages) << what;
        if (!c.accepted) {
            EXPECT_TRUE(refused && refused->shown) << what;
        }
        EXPECT_EQ(m_page.calls, c.calls) << what;
    }
}

TEST_F(ImportChecksTest, NamesWithoutFolderAreTakenFromTheBaseFolder)
{
    TempFolder elsewhere;
    CImportChecks checks(m_page, m_ui, elsewhere.Path());
    EXPECT_TRUE(checks.CheckFileName(0, "t1.wav"));
    EXPECT_FALSE(checks.CheckFileName(0, Path("t1.wav")));
    EXPECT_EQ(checks.ResolvePath("t1.wav"), elsewhere.File("t1.wav"));
    EXPECT_EQ(m_checks.ResolvePath("T1.WAV"), Path("t1.wav"));
    EXPECT_EQ(m_checks.ResolvePath(Path("missing.wav")), Path("missing.wav"));
}

TEST_F(ImportChecksTest, ValidateInItsOrderWithItsMessages)
{
    const std::uint64_t pair = Size("t1.wav") + Size("t2.wav");
    struct Case {
        std::string what;
        std::array<std::string, kTrackCount> tracks;
        std::uint64_t freeBytes;
        bool accepted;
        std::vector<std::string> messages;
    };
    const std::uint64_t plenty = 1U << 30;
    const Case cases[] = {
        {"Track 1 empty", {"", "t2.wav"}, plenty, false, {Text(MessageId::Track1NameWrong)}},
        {"Track 1 not a sound file", {"t1.mp3", "t2.wav"}, plenty, false, {Text(MessageId::Track1NameWrong)}},
        {"Track 1 refused WAVE", {"stereo.wav"}, plenty, false, {Text(MessageId::FormatUnknown)}},
        {"Track 1 missing", {"missing.wav"}, plenty, false, {Text(MessageId::FileNotFound)}},
        {"Track 1 refused AIFF", {"bad.aif"}, plenty, false, {}},
        {"other rate on Track 3", {"t1.wav", "t2.wav", "r441.wav"}, plenty, false,
         {Text(MessageId::DifferentFormat)}},
        {"first difference wins", {"t1.wav", "", "b16.wav", "bad.aif"}, plenty, false,
         {Text(MessageId::DifferentFormat)}},
        {"Track 2 of another extension", {"t1.wav", "t2.mp3", "notes.txt"}, plenty, false,
         {Text(MessageId::FormatUnknown)}},
        {"Tracks 1 and 8", {"t1.wav", "", "", "", "", "", "", "t2.wav"}, plenty, true, {}},
        {"room: sum plus reserve equals free space", {"t1.wav", "t2.wav"}, pair + kFreeSpaceReserve, false,
         {Text(MessageId::NoDiskSpace)}},
        {"room: one byte more", {"t1.wav", "t2.wav"}, pair + kFreeSpaceReserve + 1, true, {}},
        {"room: unmeasured", {"t1.wav"}, 0, false, {Text(MessageId::NoDiskSpace)}},
    };
    for (const auto& c : cases) {
        COVFtoWAVEDoc doc;
        doc.SetMoFolder(m_folder.Path());
        m_files.freeSpace = c.freeBytes;
        m_ui.events.clear();
        const auto refused = m_checks.Validate({"Demo", c.tracks}, doc);
        EXPECT_EQ(!refused, c.accepted) << c.what;
        EXPECT_EQ(m_ui.Messages(), c.messages) << c.what;
        if (refused) {
            EXPECT_EQ(refused->shown, !c.messages.empty()) << c.what;
        }
        EXPECT_EQ(doc.GetNewProjectName(), "Demo") << c.what;  // handed over even when the checks fail
        EXPECT_TRUE(m_page.calls.empty()) << c.what;
    }
}

TEST_F(ImportChecksTest, AStopRequestEndsTheHeaderChecksAtTheirNextRead)
{
    // The walk misses SSND, which lies inside another chunk: the file is searched block by block.
    Put("long.aif", AiffFile(Cat({AiffChunk("COMM", CommonBody(1, 24, ExtendedRate(48000))),
                                  AiffChunk("ANNO", Cat({Zeros(1 << 20), AiffChunk("SSND", SoundDataBody(0, {1, 2, 3}))}))})));
    COVFtoWAVEDoc doc;
    doc.SetMoFolder(m_folder.Path());
    m_files.freeSpace = 1U << 30;
    const ImportInputs inputs{"Demo", {"t1.wav", "long.aif"}};
    m_ui.stopAtPoll = std::numeric_limits<int>::max();  // counts the polls, never stops
    ASSERT_FALSE(m_checks.Validate(inputs, doc));
    const int polls = m_ui.stopPolls;
    ASSERT_GT(polls, 16);  // one at least for each block of the search
    for (const int stopAt : {0, polls / 2, polls - 1}) {
        SCOPED_TRACE(stopAt);
        m_ui.events.clear();
        m_ui.stopPolls = 0;
        m_ui.stopAtPoll = stopAt;
        const auto refused = m_checks.Validate(inputs, doc);
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->refusal.reason, Reason::Interrupted);
        EXPECT_EQ(refused->track, stopAt == 0 ? 0 : 1);
        EXPECT_TRUE(refused->shown);
        EXPECT_TRUE(m_ui.Messages().empty());
    }
}

TEST_F(ImportChecksTest, ValidateLeavesEachSlotWithItsPathOrEmpty)
{
    ASSERT_FALSE(m_checks.CheckFileName(1, Path("t2.wav")));  // a reader that an empty field drops
    COVFtoWAVEDoc doc;
    doc.SetMoFolder(m_folder.Path());
    m_files.freeSpace = 1U << 30;
    ASSERT_FALSE(m_checks.Validate({"", {"t1.wav", "", "T2.WAV", "", "good.aif"}}, doc));
    EXPECT_EQ(doc.GetNewProjectName(), kUntitled);
    const std::array<std::string, kTrackCount> expected = {Path("t1.wav"), "", Path("t2.wav"), "", Path("good.aif")};
    for (std::uint8_t i = 0; i < kTrackCount; ++i) {
        EXPECT_EQ(m_page.slots[i].GetSourcePath(), expected[i]) << int{i};
        EXPECT_EQ(m_page.slots[i].GetReader() != nullptr, !expected[i].empty()) << int{i};
    }
}

TEST(ProjectName, PrintableSingleBytesUpToTwelveWithoutTheSerialKey)
{
    struct Case {
        std::string name;
        std::optional<Reason> refused;
    };
    const Case cases[] = {
        {"", std::nullopt},
        {"Untitled", std::nullopt},
        {"My Song 12!~", std::nullopt},
        {"Thirteen char", Reason::ProjectNameRefused},
        {"tab\there", Reason::ProjectNameRefused},
        {"caf\xE9", Reason::ProjectNameRefused},
        {"line\r\n", Reason::ProjectNameRefused},
        {std::string("a\0b", 3), Reason::ProjectNameRefused},
        {"\x7F", Reason::ProjectNameRefused},
        {" ", std::nullopt},
        {"SNGSERIAL:07", Reason::ProjectNameHoldsSerialKey},
        {"sngserial:", Reason::ProjectNameHoldsSerialKey},
        {"a SngSerial:", Reason::ProjectNameHoldsSerialKey},
        {"SNGSERIAL 07", std::nullopt},
        {"SNGSERIAL", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto refusal = RefuseProjectName(c.name);
        EXPECT_EQ(IsAcceptableProjectName(c.name), !c.refused) << c.name;
        ASSERT_EQ(refusal.has_value(), c.refused.has_value()) << c.name;
        if (refusal) {
            EXPECT_EQ(refusal->reason, *c.refused) << c.name;
            EXPECT_EQ(refusal->subject, c.name);
        }
    }
}
