#include "cli/ConsoleUserInterface.h"
#include "cli/ProgressBar.h"
#include "app/RegUserData.h"
#include "export/StereoType.h"
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

TEST(ConsoleUserInterface, StereoOutputIsReplacedOnlyWithYesAndNothingIsAsked)
{
    testsupport::TempFolder folder;
    std::FILE* sink = std::tmpfile();
    ASSERT_NE(sink, nullptr);
    testsupport::WriteBytes(folder.File("mix.wav"), {0});
    struct Case {
        std::string path;
        bool assumeYes;
        bool accepted;
    };
    const Case cases[] = {
        {folder.File("new.wav"), false, true},
        {folder.File("mix.wav"), false, false},  // exists, no --yes
        {folder.File("mix.wav"), true, true},
    };
    for (const auto& c : cases) {
        cli::ConsoleUserInterface ui(sink, c.assumeYes);
        CNoUserData settings;
        const auto kept = CStereoType(ui, settings).ConfirmReplacing(c.path);
        EXPECT_EQ(!kept, c.accepted) << c.path;
        EXPECT_EQ(kept.value_or(c.path), c.path);
    }
    // A question nobody could answer is not printed.
    EXPECT_EQ(std::ftell(sink), 0L);
    std::fclose(sink);
}
