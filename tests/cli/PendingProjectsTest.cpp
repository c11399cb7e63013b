// The list shows what an import handed to the recorder and the recorder has not
// taken over yet, refuses to export it, tells of an index whose first project cannot
// be read, and lists recorded tracks on request.

#include "tests/cli/CliRunner.h"
#include "tests/cli/SoundCheck.h"
#include "tests/support/RecorderTakeover.h"
#include "tests/support/TempFolder.h"
#include "tools/diskwriter/DiskWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

using testsupport::Lines;
using testsupport::RunCli;
using testsupport::TempFolder;

namespace {

const std::vector<std::string> kDemoLines = {
    "01 : Sine Demo\t44.1KHz\t16bit",
    "02 : Twenty Bit\t32.0KHz\t20bit",
    "03 : Project 3\t48.0KHz\t24bit",
};

class CliPending : public testsupport::DemoDiskTest {
protected:
    void Import(const std::string& name, int rate, int bits)
    {
        const std::string path = Source(name + ".wav");
        ASSERT_NO_THROW(testsupport::WriteTone(path, rate, bits, 1, 0.2));
        const auto result = RunCli({"import", Disk(), "--name", name, path});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
    }
};

}  // namespace

TEST_F(CliPending, ImportedProjectsArePendingUntilTheRecorderTakesThemOver)
{
    Import("Back", 48000, 24);
    Import("High", 96000, 16);
    Import("Low", 32000, 16);
    auto expected = kDemoLines;
    expected.push_back("04 : Back\t48.0KHz\t24bit\tpending");
    expected.push_back("05 : High\tUnknown\t16bit\tpending");
    expected.push_back("06 : Low\t32.0KHz\t16bit\tpending");
    const auto listed = RunCli({"list", Disk()});
    EXPECT_EQ(listed.exitStatus, 0);
    EXPECT_EQ(Lines(listed.out), expected);
    EXPECT_EQ(listed.err, "");

    const auto refused = RunCli({"export", Disk(), "--project", "4", "--tracks", "1", "--out", Source("x.wav")});
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_EQ(refused.err, "wavelorn-cli: project 04 is waiting for the recorder to read the disk\n");
    EXPECT_EQ(RunCli({"export", Disk(), "--project", "06", "--tracks", "1", "--out", Source("x.wav")}).err,
              "wavelorn-cli: project 06 is waiting for the recorder to read the disk\n");

    // The recorder takes the last one over (and lists it alone); the others are no longer pending
    // once its own text starts with VERSIONID:.
    testsupport::TakeOver(Disk(), testsupport::ReadLastProject(Disk()));
    const auto afterTakeover = Lines(RunCli({"list", Disk()}).out);
    EXPECT_EQ(afterTakeover, (std::vector<std::string>{"06 : Low\t32.0KHz\t16bit", "04 : Back\t48.0KHz\t24bit\tpending",
                                                       "05 : High\tUnknown\t16bit\tpending"}));
    std::string text = "VERSIONID: 1.00\r\n";
    text.resize(131072, '\0');
    testsupport::WriteBytes(Disk() + "/FNB.TXT", std::vector<std::uint8_t>(text.begin(), text.end()));
    EXPECT_EQ(Lines(RunCli({"list", Disk()}).out), (std::vector<std::string>{"06 : Low\t32.0KHz\t16bit"}));
}

TEST_F(CliPending, AnIndexWhoseFirstProjectCannotBeReadIsToldOf)
{
    std::filesystem::resize_file(Disk() + "/FNB.BIN", 0x30);
    const auto result = RunCli({"list", Disk()});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("the first project of FNB.BIN"), std::string::npos) << result.err;

    std::filesystem::remove(Disk() + "/FNB.BIN");
    EXPECT_EQ(RunCli({"list", Disk()}).exitStatus, 2);
}

TEST_F(CliPending, TracksAreListedUnderTheirProjects)
{
    const auto result = RunCli({"list", "--tracks", Disk()});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(Lines(result.out), (std::vector<std::string>{
                                     kDemoLines[0], "  1:1\t2.000\t1", "  2:1\t2.500\t2", "  2:2\t2.000\t1",
                                     kDemoLines[1], "  1:1\t2.000\t1",
                                     kDemoLines[2], "  1:1\t2.000\t1", "  3:1\t2.000\t1",
                                 }));

    // Lead-ins move a segment's start, not its end; ends are in seconds of the project's rate.
    TempFolder disk;
    diskwriter::Disk description;
    auto& project = description.AddProject({.slot = 2, .number = 7, .name = "Lead", .rate = kRate32000,
                                            .virtualTracks = 8});
    project.AddSegment({.track = 4, .virtualTrack = 8, .startGroup = 4000, .lengthGroups = 4,
                        .leadIn = 3, .serial = 1, .samples = std::vector<std::int32_t>(56, 9)});
    project.AddSegment({.track = 4, .virtualTrack = 8, .startGroup = 100, .lengthGroups = 1, .serial = 2,
                        .samples = std::vector<std::int32_t>(8, 9)});
    description.Write(disk.Path());
    EXPECT_EQ(Lines(RunCli({"list", "--tracks", disk.Path()}).out),
              (std::vector<std::string>{"07 : Lead\t32.0KHz\t16bit", "  4:8\t1.001\t2"}));
}
