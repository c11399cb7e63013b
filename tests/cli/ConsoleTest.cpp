#include "cli/ConsoleUserInterface.h"
#include "cli/ProgressBar.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(WithDefaultExtension, OnlyANameWithoutDotGetsIt)
{
    EXPECT_EQ(cli::WithDefaultExtension("/out/take", ".wav"), "/out/take.wav");
    EXPECT_EQ(cli::WithDefaultExtension("/out/take.aif", ".wav"), "/out/take.aif");
    EXPECT_EQ(cli::WithDefaultExtension("/out.d/take", ".aif"), "/out.d/take.aif");
    EXPECT_EQ(cli::WithDefaultExtension("take.", ".wav"), "take.");
}

TEST(ProgressBar, RendersTheShareDone)
{
    EXPECT_EQ(cli::ProgressBar::Render(0, 10), "[                                        ]   0%");
    EXPECT_EQ(cli::ProgressBar::Render(5, 10), "[####################                    ]  50%");
    EXPECT_EQ(cli::ProgressBar::Render(12, 10), "[########################################] 100%");
}

TEST(ConsoleUserInterface, DialogAnswerPassesTheChecksOrCancels)
{
    testsupport::TempFolder folder;
    std::FILE* sink = std::tmpfile();
    ASSERT_NE(sink, nullptr);
    testsupport::WriteBytes(folder.File("mix.wav"), {0});
    struct Case {
        std::string answer;
        bool promptOverwrite;
        bool assumeYes;
        bool checkAccepts;
        std::optional<std::string> result;
    };
    const Case cases[] = {
        {folder.File("new"), true, false, true, folder.File("new.wav")},
        {folder.File("mix.wav"), true, false, true, std::nullopt},  // exists, no --yes
        {folder.File("mix.wav"), true, true, true, folder.File("mix.wav")},
        {folder.File("take.wav"), false, false, false, std::nullopt},  // the accept check says no
    };
    for (const auto& c : cases) {
        cli::ConsoleUserInterface ui(sink, c.assumeYes);
        ui.SetDialogAnswer(c.answer);
        platform::FileDialogRequest request;
        request.defaultExtension = ".wav";
        request.promptOverwrite = c.promptOverwrite;
        request.acceptCheck = [&c](const std::string&) { return c.checkAccepts; };
        EXPECT_EQ(ui.RunFileDialog(request), c.result) << c.answer;
        EXPECT_EQ(ui.RunFileDialog(request), std::nullopt) << "a second dialog has no answer";
    }
    std::fclose(sink);
}
