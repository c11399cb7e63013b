// The Mono save dialog's overwrite check and the Mono output names.

#include "export/MonoFileDialog.h"
#include "platform/Messages.h"
#include "recorder/Track.h"
#include "tests/support/ScriptedUserInterface.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using platform::Answer;
using testsupport::ScriptedUserInterface;
using testsupport::TempFolder;

std::string Question(const std::string& name)
{
    return name + "\r\n" + MessageText(MessageId::FileExists);
}

TEST(MonoOutputPath, CutsAtTheLastDotOfTheFileName)
{
    struct Case {
        const char* path;
        const char* base;
        const char* extension;
        bool hasDot;
    };
    const Case cases[] = {
        {"/snd/Song.wav", "/snd/Song", "wav", true},
        {"/snd/Song.tar.wave", "/snd/Song.tar", "wave", true},
        {"/snd/Song.", "/snd/Song", "", true},
        {"/snd/my.dir/Song", "/snd/my.dir/Song", "", false},
        {"/snd/Song", "/snd/Song", "", false},
        {"Song.aif", "Song", "aif", true},
    };
    for (const auto& c : cases) {
        const MonoOutputPath split = SplitMonoPath(c.path);
        EXPECT_EQ(split.base, c.base) << c.path;
        EXPECT_EQ(split.extension, c.extension) << c.path;
        EXPECT_EQ(split.hasDot, c.hasDot) << c.path;
    }
    EXPECT_EQ(MonoOutputName(SplitMonoPath("/out/Untitled.wav"), 3, 1), "/out/Untitled31.wav");
    EXPECT_EQ(MonoOutputName(SplitMonoPath("/out/Take.wav"), 5, 2), "/out/Take52.wav");
}

struct CheckCase {
    const char* name;
    std::vector<std::string> existing;  // files in the output folder
    std::vector<std::pair<int, int>> tracks;
    std::string chosen;  // file name inside the output folder
    std::vector<Answer> answers;
    std::vector<std::string> askedAbout;
    bool accepted;
};

TEST(MonoFileDialog, AsksPerTrackAboutItsExistingOutputFile)
{
    const CheckCase cases[] = {
        {"nothing there", {"Song.wav", "Other11.wav"}, {{1, 1}, {2, 1}}, "Song.wav", {}, {}, true},
        {"other extension stays", {"Song21.aif"}, {{1, 1}, {2, 1}}, "Song.wav", {}, {}, true},
        {"other extension of the output, no", {"Song21.aif"}, {{1, 1}, {2, 1}}, "Song.aif", {Answer::No},
         {"Song21.aif"}, false},
        {"a short look-alike of a long extension stays", {"Take11.mp3"}, {{1, 1}}, "Take.flac", {}, {}, true},
        {"long extension of the output", {"take11.flac"}, {{1, 1}}, "take.flac", {Answer::No}, {"take11.flac"},
         false},
        {"questions in track order", {"Song11.wav", "Song52.wav"}, {{1, 1}, {5, 2}}, "Song.wav",
         {Answer::Yes, Answer::Yes}, {"Song11.wav", "Song52.wav"}, true},
        {"no stops at once", {"Song11.wav", "Song52.wav"}, {{1, 1}, {5, 2}}, "Song.wav", {Answer::No},
         {"Song11.wav"}, false},
        {"yes then no", {"Song11.wav", "Song52.wav"}, {{1, 1}, {5, 2}}, "Song.wav", {Answer::Yes, Answer::No},
         {"Song11.wav", "Song52.wav"}, false},
        {"long extension is the output", {"Song11.wave"}, {{1, 1}}, "Song.wave", {Answer::No}, {"Song11.wave"},
         false},
        {"long extension elsewhere does not count", {"Song11.wave", "Song11", "Song111.wav"}, {{1, 1}}, "Song.wav",
         {}, {}, true},
        {"output name among look-alikes", {"Song11.aif", "Song11.wav"}, {{1, 1}}, "Song.wav", {Answer::Yes},
         {"Song11.wav"}, true},
        {"letter case does not matter", {"SONG11.WAV"}, {{1, 1}}, "song.wav", {Answer::Yes}, {"SONG11.WAV"}, true},
        {"wildcards are literal", {"Song11.wav", "Sa11.wav"}, {{1, 1}}, "S*.wav", {}, {}, true},
        {"virtual track in the name", {"Song18.wav"}, {{1, 1}, {1, 8}}, "Song.wav", {Answer::Yes}, {"Song18.wav"},
         true},
#ifndef _WIN32  // Windows drops a trailing dot from a file name and allows no * or ? in one
        {"empty extension stays", {"Song11."}, {{1, 1}}, "Song.wav", {}, {}, true},
        {"empty extension of the output", {"Song11."}, {{1, 1}}, "Song.", {Answer::Yes}, {"Song11."}, true},
        {"wildcard names are found", {"S*11.wav"}, {{1, 1}}, "S*.wav", {Answer::Yes}, {"S*11.wav"}, true},
        {"question mark and bracket", {"S?[1]11.w"}, {{1, 1}}, "S?[1].w", {Answer::Yes}, {"S?[1]11.w"}, true},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        for (const auto& name : c.existing)
            testsupport::WriteBytes(folder.File(name), {1});
        std::vector<std::unique_ptr<CTrack>> owned;
        std::vector<CTrack*> tracks;
        for (const auto& [track, virtualTrack] : c.tracks) {
            owned.push_back(std::make_unique<CTrack>(folder.Path(), sobinder{}, track, virtualTrack));
            tracks.push_back(owned.back().get());
        }
        ScriptedUserInterface ui;
        ui.questionAnswers.assign(c.answers.begin(), c.answers.end());
        const CMonoFileDialog dialog(ui, static_cast<int>(tracks.size()), tracks.data());
        std::vector<std::string> paths;
        for (const auto& name : c.askedAbout)
            paths.push_back(folder.File(name));
        if (c.accepted) {
            EXPECT_EQ(dialog.ExistingFiles(folder.File(c.chosen)), paths);
        }
        EXPECT_EQ(dialog.CheckExistingFiles(folder.File(c.chosen)), c.accepted);
        std::vector<std::string> expected;
        for (const auto& name : c.askedAbout)
            expected.push_back(Question(name));
        EXPECT_EQ(ui.Messages(), expected);
        for (const auto& event : ui.events) {
            EXPECT_EQ(event.buttons, platform::MessageButtons::YesNo);
            EXPECT_EQ(event.icon, platform::MessageIcon::Exclamation);
        }
    }
}

// The whole path is the base and the output name ends in a bare dot: a file with an
// extension is not that name.
TEST(MonoFileDialog, PathWithoutDotChecksTheWholePathAsBase)
{
    TempFolder folder;
    testsupport::WriteBytes(folder.File("Song11.wav"), {1});
    CTrack track(folder.Path(), sobinder{}, 1, 1);
    CTrack* tracks[] = {&track};
    ScriptedUserInterface ui;
    const CMonoFileDialog dialog(ui, 1, tracks);
    EXPECT_TRUE(dialog.CheckExistingFiles(folder.File("Song")));
    EXPECT_TRUE(ui.Messages().empty());
}

}  // namespace
