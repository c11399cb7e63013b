// Times an export and an import started from the window (real Qt port, offscreen)
// against the same work through wavelorn-cli, on one disk from the disk writer.
//   wavelorn_gui_bench [SECONDS_OF_AUDIO]
// Prints the best of three runs of each and the window's time as a share of the tool's.

#include "app/Document.h"
#include "app/RegUserData.h"
#include "gui/MainFrame.h"
#include "gui/QtUserInterface.h"
#include "recorder/TrackFile.h"
#include "tests/gui/GuiRig.h"
#include "tests/support/FnbTextFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <unistd.h>

namespace {

constexpr int kRuns = 3;
constexpr int kTracks = 4;
constexpr std::uint32_t kRate = 48000;
constexpr int kDefaultSeconds = 120;
constexpr int kToolTimeoutMs = 600000;

diskwriter::Disk BenchDisk(std::uint64_t samples)
{
    diskwriter::Disk disk;
    auto& project = disk.AddProject({.slot = 2, .number = 1, .name = "Bench", .rate = kRate48000,
                                     .wordLength = kWordLength24});
    for (int track = 1; track <= kTracks; ++track) {
        project.AddSegment({.track = track,
                            .virtualTrack = 1,
                            .startGroup = 0,
                            .lengthGroups = static_cast<std::uint32_t>(samples / kSamplesPerGroup),
                            .serial = static_cast<std::uint16_t>(track),
                            .generator = [track](std::uint64_t i) {
                                return static_cast<std::int32_t>((i * 2654435761U + static_cast<unsigned>(track)) %
                                                                 8000000U) + 1;
                            },
                            .generatedSamples = samples});
    }
    disk.SetFnbText(importtest::AsText(importtest::PaddedFnbText("SNGSERIAL: 01\r\nSONGTITLE: Bench\r\n\r\n")));
    return disk;
}

template <class Widget>
Widget* Child(QWidget& parent, const char* name)
{
    return parent.findChild<Widget*>(QString::fromLatin1(name));
}

// Looks for the run's dialogs at once, so that waiting for them adds nothing to the times.
constexpr int kPollMs = 0;

// Presses the OK of the outcome's message box once it is open; any other outcome ends the benchmark.
void AcceptOutcome()
{
    guitest::OnNextModal(
        [](QDialog& box) {
            if (static_cast<QMessageBox&>(box).text() != QStringLiteral("Convert succeeded.")) {
                std::fprintf(stderr, "the run failed: %s\n", qPrintable(static_cast<QMessageBox&>(box).text()));
                std::exit(1);
            }
            box.accept();
        },
        kPollMs);
}

qint64 TimeTool(const QStringList& arguments)
{
    QElapsedTimer timer;
    timer.start();
    QProcess tool;
    tool.start(QStringLiteral(WAVELORN_CLI_PATH), arguments);
    if (!tool.waitForFinished(kToolTimeoutMs) || tool.exitCode() != 0) {
        std::fprintf(stderr, "wavelorn-cli %s failed\n", qPrintable(arguments.join(' ')));
        std::exit(1);
    }
    return timer.elapsed();
}

qint64 TimeClick(QAbstractButton* button)
{
    QElapsedTimer timer;
    timer.start();
    button->click();
    return timer.elapsed();
}

struct Times {
    qint64 window = -1;
    qint64 tool = -1;
};

// Runs the window's and the tool's work in turns, each after the written data has
// reached the disk and with `cleanUp` after it, and keeps the best time of each.
Times BestInTurns(const std::function<qint64(int run)>& window, const std::function<qint64(int run)>& tool,
                  const std::function<void()>& cleanUp)
{
    Times best;
    const auto keep = [](qint64& kept, qint64 ms) { kept = kept < 0 ? ms : std::min(kept, ms); };
    for (int run = 0; run < kRuns; ++run) {
        ::sync();
        keep(best.window, window(run));
        cleanUp();
        ::sync();
        keep(best.tool, tool(run));
        cleanUp();
    }
    return best;
}

void RemoveFilesNamed(const std::string& folder, const std::set<std::string>& keep)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (keep.count(entry.path().filename().string()) == 0)
            std::filesystem::remove(entry.path());
    }
}

std::set<std::string> FileNames(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

void Report(const char* work, const Times& times)
{
    std::printf("%-7s window %6lld ms   wavelorn-cli %6lld ms   window/cli %.3f\n", work,
                static_cast<long long>(times.window), static_cast<long long>(times.tool),
                static_cast<double>(times.window) / static_cast<double>(times.tool));
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : kDefaultSeconds;
    const guitest::DiskFolder disk(BenchDisk(static_cast<std::uint64_t>(seconds) * kRate));
    testsupport::TempFolder out;
    const QString diskPath = QString::fromStdString(disk.Path());

    COVFtoWAVEDoc doc;
    doc.SetMoFolder(disk.Path());
    CNoUserData settings;
    gui::QtUserInterface ui;
    CMainFrame frame(doc, ui, settings, QApplication::applicationDirPath().toStdString());
    ui.SetMainWindow(&frame);
    frame.show();

    guitest::OnNextModal([](QDialog& dialog) { Child<QPushButton>(dialog, "selectButton")->click(); });
    frame.View().OnSelectProject();
    for (int track = 1; track <= kTracks; ++track)
        Child<QCheckBox>(frame, QStringLiteral("trackBox%1").arg(track).toLatin1())->click();

    // The window's first export stays as the import's sources.
    const auto windowExport = [&](int run) {
        const QString name = QString::fromStdString(out.File(run == 0 ? "source.wav" : "window.wav"));
        guitest::OnNextModal(
            [name](QDialog& dialog) {
                Child<QLineEdit>(dialog, "fileNameEdit")->setText(name);
                AcceptOutcome();
                dialog.accept();
            },
            kPollMs);
        return TimeClick(Child<QPushButton>(frame, "convertButton"));
    };
    const auto toolExport = [&](int) {
        return TimeTool({QStringLiteral("export"), diskPath, QStringLiteral("--project"), QStringLiteral("1"),
                         QStringLiteral("--tracks"), QStringLiteral("1,2,3,4"), QStringLiteral("--out"),
                         QString::fromStdString(out.File("tool.wav")), QStringLiteral("--yes")});
    };
    std::set<std::string> sourceFiles;
    const Times exportTimes = BestInTurns(windowExport, toolExport, [&] {
        if (sourceFiles.empty())
            sourceFiles = FileNames(out.Path());
        RemoveFilesNamed(out.Path(), sourceFiles);
    });

    frame.View().SelectPage(COVFtoWAVEView::FileToMo);
    QStringList sources;
    for (int track = 1; track <= kTracks; ++track) {
        sources << QString::fromStdString(out.File("source" + std::to_string(track) + "1.wav"));
        auto* field = Child<QLineEdit>(frame, QStringLiteral("trackEdit%1").arg(track).toLatin1());
        field->setText(sources.last());
        QTest::keyClick(field, Qt::Key_Return);
    }
    const std::set<std::string> diskFiles = FileNames(disk.Path());
    const std::string fnbText = disk.File(kFnbTextFileName);
    const auto originalText = testsupport::ReadBytes(fnbText);
    const auto windowImport = [&](int) {
        AcceptOutcome();
        return TimeClick(Child<QPushButton>(frame, "importConvertButton"));
    };
    const auto toolImport = [&](int) { return TimeTool(QStringList{QStringLiteral("import"), diskPath} + sources); };
    // Every import starts from the same disk: the new project's files go again.
    const Times importTimes = BestInTurns(windowImport, toolImport, [&] {
        RemoveFilesNamed(disk.Path(), diskFiles);
        testsupport::WriteBytes(fnbText, originalText);
    });

    std::printf("%d tracks of %d s, 24 bit at 48 kHz; best of %d runs\n", kTracks, seconds, kRuns);
    Report("export", exportTimes);
    Report("import", importTimes);
    return 0;
}
