// The archive command on a disk that the operating system fails to read in places: the
// demo disk mounted through wavelorn_eio_fs, which fails chosen reads with EIO.

#include "archive/ArchiveFiles.h"
#include "platform/FileSystem.h"
#include "platform/Files.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/Process.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <sstream>
#include <thread>

using nlohmann::json;
using testsupport::ReadBytes;
using testsupport::RunCli;
using testsupport::TempFolder;

namespace {

constexpr const char* kFuseDevice = "/dev/fuse";
constexpr const char* kFusermount = "/usr/bin/fusermount3";
constexpr auto kMountWait = std::chrono::seconds(10);
constexpr auto kMountPoll = std::chrono::milliseconds(10);
constexpr std::uint64_t kBlock = 131072;  // what the archive reads of a disk file at once
constexpr std::uint64_t kPiece = archive::kRescuePieceBytes;

// Bytes of a disk file whose reads fail: always, or the first `times` reads.
struct Failure {
    std::string name;
    std::uint64_t offset;
    std::uint64_t length;
    std::optional<int> times;
};

std::vector<std::string> FailOptions(const std::vector<Failure>& failures)
{
    std::vector<std::string> options;
    for (const auto& failure : failures) {
        options.push_back("--fail");
        std::ostringstream range;
        range << failure.name << ':' << failure.offset << ':' << failure.length;
        if (failure.times)
            range << ':' << *failure.times;
        options.push_back(range.str());
    }
    return options;
}

// `source` mounted at `mount` (an empty folder) through wavelorn_eio_fs, which runs in
// the foreground and logs its failed reads into `log`; unmounted when destroyed.
class EioMount {
public:
    EioMount(const std::string& source, const std::string& mount, const std::vector<Failure>& failures,
             int blockSize, const std::string& log)
        : m_mount(mount), m_process(Request(source, mount, failures, blockSize, log))
    {
    }
    ~EioMount() { testsupport::RunProcess({kFusermount, {"-u", m_mount}, {}, "/dev/null", "/dev/null"}); }
    EioMount(const EioMount&) = delete;
    EioMount& operator=(const EioMount&) = delete;

    // Waits until the mount is there: false when the program ends or time runs out first.
    bool WaitUntilMounted()
    {
        for (const auto due = std::chrono::steady_clock::now() + kMountWait; std::chrono::steady_clock::now() < due;) {
            if (!m_process.Running())
                return false;
            if (Mounted())
                return true;
            std::this_thread::sleep_for(kMountPoll);
        }
        return false;
    }

private:
    static testsupport::ProcessRequest Request(const std::string& source, const std::string& mount,
                                               const std::vector<Failure>& failures, int blockSize,
                                               const std::string& log)
    {
        std::vector<std::string> arguments = {source, mount, "-f"};
        if (blockSize > 0)
            arguments.insert(arguments.end(), {"--block-size", std::to_string(blockSize)});
        const auto options = FailOptions(failures);
        arguments.insert(arguments.end(), options.begin(), options.end());
        return {WAVELORN_EIO_FS_PATH, arguments, {}, "/dev/null", log};
    }

    // True when the mount point lies on another device than the folder holding it.
    bool Mounted() const
    {
        auto& files = platform::RealFileSystem();
        const auto here = files.IdentityOf(m_mount);
        const auto holder = files.IdentityOf(std::filesystem::path(m_mount).parent_path().string());
        return here && holder && here->device != holder->device;
    }

    std::string m_mount;
    testsupport::RunningProcess m_process;
};

std::string Text(const std::string& path)
{
    const auto bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

// The names of the files in `folder`.
std::vector<std::string> FileNames(const std::string& folder)
{
    std::vector<std::string> names;
    const auto entries = platform::RealFileSystem().ListFolder(folder);
    for (const auto& entry : entries.value_or(std::vector<platform::FolderEntry>{}))
        names.push_back(entry.name);
    return names;
}

// The demo disk's track data files, the largest first.
std::vector<std::string> DataFilesBySize(const std::string& disk)
{
    std::vector<std::pair<std::uint64_t, std::string>> sized;
    for (const auto& name : FileNames(disk)) {
        if (name.starts_with("8b"))
            sized.emplace_back(ReadBytes(platform::JoinPath(disk, name)).size(), name);
    }
    std::sort(sized.rbegin(), sized.rend());
    std::vector<std::string> names;
    for (const auto& [size, name] : sized)
        names.push_back(name);
    return names;
}

// The preferred I/O size the mounted files report: the source's own, and a FAT
// cluster's, from which a buffered reader must not widen the reads of a piece.
constexpr int kOwnBlockSize = 0;
constexpr int kClusterBlockSize = 65536;

class FuseRescue : public testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(kFuseDevice) || !std::filesystem::exists(kFusermount))
            GTEST_SKIP() << "needs " << kFuseDevice << " and " << kFusermount;
        ASSERT_EQ(RunCli({"demo", Source()}).exitStatus, 0);
        const auto names = DataFilesBySize(Source());
        ASSERT_GE(names.size(), 2u);
        m_damaged = names[0];
        m_flaky = names[1];
        ASSERT_GT(ReadBytes(platform::JoinPath(Source(), m_damaged)).size(), kBlock + 3 * kPiece);
        std::filesystem::create_directory(Mount());
        // Across a piece boundary in the second block; at the start of the other file, once.
        const std::vector<Failure> failures = {{m_damaged, kBlock + 2 * kPiece - 3, 6, std::nullopt},
                                               {m_flaky, 100, 10, 1}};
        m_mount.emplace(Source(), Mount(), failures, GetParam(), Log());
        if (!m_mount->WaitUntilMounted())
            GTEST_SKIP() << "the FUSE mount did not come up (mounting may be forbidden here): " << Text(Log());
    }

    std::string Source() const { return m_folders.File("source"); }
    std::string Mount() const { return m_folders.File("mount"); }
    std::string Log() const { return m_folders.File("eio.log"); }
    std::string Out(const std::string& name) const { return m_folders.File(name); }

    std::string m_damaged;  // a range of it always fails
    std::string m_flaky;    // a range of it fails once

private:
    TempFolder m_folders;
    std::optional<EioMount> m_mount;  // unmounted before the folders go
};

// What stays unreadable is listed widened to its pieces and zero in the copy, what
// reads on a retry is whole; a run on the sound disk then makes the archive whole.
TEST_P(FuseRescue, ArchiveListsWhatStaysUnreadableAndARunOnTheSoundDiskMendsIt)
{
    const std::uint64_t lostOffset = kBlock + kPiece;  // the two pieces the range touches
    const std::uint64_t lostLength = 2 * kPiece;
    const int tries = archive::kReadTries + 1;
    const auto result = RunCli({"archive", Mount(), Out("a")});
    ASSERT_EQ(result.exitStatus, 1) << result.err;
    const auto lines = testsupport::Lines(result.err);
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "unreadable: " + m_damaged + ": bytes " + std::to_string(lostOffset) + "-" +
                            std::to_string(lostOffset + lostLength - 1) + " after " + std::to_string(tries) + " tries"),
              lines.end())
        << result.err;
    EXPECT_NE(Text(Log()).find("EIO: " + m_flaky + ":"), std::string::npos) << "the retried read never failed";

    const auto source = [this](const std::string& name) { return ReadBytes(platform::JoinPath(Source(), name)); };
    const json unreadable = {{{"offset", lostOffset}, {"length", lostLength}, {"tries", tries}}};
    const json files = {{{"name", m_damaged},
                         {"copy", "disk/" + m_damaged},
                         {"size", source(m_damaged).size()},
                         {"unreadable", unreadable}}};
    EXPECT_EQ(json::parse(Text(Out("a/rescue-map.json")))["files"], files);
    for (const auto& name : FileNames(Source())) {
        auto expected = source(name);
        if (name == m_damaged)
            std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>(lostOffset), lostLength, std::uint8_t{0});
        EXPECT_TRUE(ReadBytes(Out("a/disk/" + name)) == expected) << name;
    }

    ASSERT_EQ(RunCli({"archive", Source(), Out("a")}).exitStatus, 0);
    ASSERT_EQ(RunCli({"archive", Source(), Out("clean")}).exitStatus, 0);
    EXPECT_EQ(Text(Out("a/SHA256SUMS")), Text(Out("clean/SHA256SUMS")));
    EXPECT_FALSE(std::filesystem::exists(Out("a/rescue-map.json")));
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, FuseRescue, testing::Values(kOwnBlockSize, kClusterBlockSize));

}  // namespace
