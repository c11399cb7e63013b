// The failing file system that the fault-injection tests stand on must fail exactly
// where it is told to, and nowhere else.

#include "tests/support/MemoryFileSystem.h"
#include "tests/support/FaultyFileSystem.h"

#include <gtest/gtest.h>

using platform::WriteMode;
using testsupport::FaultOp;
using testsupport::FaultyFileSystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Writes three pieces of two bytes to `name`; which steps succeeded, and the bytes stored.
struct WriteOutcome {
    bool opened = false;
    std::vector<bool> writes;
    bool closed = false;
    Bytes stored;
};

WriteOutcome WriteThreePieces(FaultyFileSystem& files, testsupport::MemoryFileSystem& memory, const std::string& name)
{
    WriteOutcome outcome;
    const auto file = files.OpenWrite("d/" + name, WriteMode::Replace);
    outcome.opened = file != nullptr;
    if (file) {
        const Bytes piece = {1, 2};
        for (int i = 0; i < 3; ++i)
            outcome.writes.push_back(file->Write(piece.data(), piece.size()));
        outcome.closed = file->Close();
    }
    outcome.stored = memory.Bytes("d/" + name);
    return outcome;
}

}  // namespace

TEST(FaultyFileSystem, FailsTheChosenOperationOnTheChosenPaths)
{
    struct Case {
        const char* name;
        std::function<void(FaultyFileSystem&)> arrange;
        const char* file;
        bool opened;
        std::vector<bool> writes;
        bool closed;
        std::size_t stored;
    };
    const Case cases[] = {
        {"no fault", [](FaultyFileSystem&) {}, "a.wav", true, {true, true, true}, true, 6},
        {"second write", [](FaultyFileSystem& f) { f.FailNth(FaultOp::Write, 2); }, "a.wav", true, {true, false, false},
         false, 4},
        {"open", [](FaultyFileSystem& f) { f.FailNth(FaultOp::Open, 1); }, "a.wav", false, {}, false, 0},
        {"close", [](FaultyFileSystem& f) { f.FailNth(FaultOp::Close, 1); }, "a.wav", true, {true, true, true}, false,
         6},
        {"disk full after 3 bytes", [](FaultyFileSystem& f) { f.FillAfter(3); }, "a.wav", true, {true, false, false},
         false, 3},
        {"other names untouched",
         [](FaultyFileSystem& f) { f.FailNth(FaultOp::Write, 1, testsupport::NameContains("FNB")); }, "a.wav", true,
         {true, true, true}, true, 6},
        {"names matched without case",
         [](FaultyFileSystem& f) { f.FailNth(FaultOp::Write, 1, testsupport::NameContains("FNB")); }, "fnb.txt", true,
         {false, false, false}, false, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::MemoryFileSystem memory;
        memory.AddFolder("d");
        FaultyFileSystem files(memory);
        c.arrange(files);
        const WriteOutcome outcome = WriteThreePieces(files, memory, c.file);
        EXPECT_EQ(outcome.opened, c.opened);
        EXPECT_EQ(outcome.writes, c.writes);
        EXPECT_EQ(outcome.closed, c.closed);
        EXPECT_EQ(outcome.stored.size(), c.stored);
    }
}

TEST(FaultyFileSystem, ReadsAndRenamesFailToo)
{
    testsupport::MemoryFileSystem memory;
    memory.AddFolder("d");
    memory.AddFile("d/x", {1, 2, 3});
    FaultyFileSystem files(memory);
    files.FailNth(FaultOp::Read, 2);
    files.FailNth(FaultOp::Rename, 1);
    const auto source = files.OpenRead("d/x");
    ASSERT_TRUE(source);
    std::uint8_t byte = 0;
    EXPECT_EQ(source->ReadAt(0, &byte, 1), 1u);
    EXPECT_FALSE(source->ReadAt(0, &byte, 1).has_value());
    EXPECT_EQ(source->ReadAt(0, &byte, 1), 1u);
    EXPECT_FALSE(files.Rename("d/x", "d/y"));
    EXPECT_TRUE(files.Rename("d/x", "d/y"));
    EXPECT_EQ(files.Count(FaultOp::Rename), 2);
}
