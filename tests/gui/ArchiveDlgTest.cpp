// "&Archive Disk..." through its menu entry, its dialog and its result, with the
// scripted port answering: the archive equals the engine's own on the same disk, and
// a damaged disk, an archive of other disk contents and Cancel end as the person
// needs to know.

#include "tests/gui/GuiRig.h"

#include "archive/ArchiveRun.h"
#include "convert/FlacFile.h"
#include "gui/ConvStatAnimDlg.h"
#include "gui/DiskArchive.h"
#include "recorder/TrackFile.h"
#include "tests/archive/ArchiveFixture.h"
#include "tests/support/FaultyFileSystem.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <filesystem>

using guitest::DiskFolder;
using guitest::GuiRig;

namespace {

constexpr int kPollMs = 10;
constexpr std::size_t kOtherDiskSamples = 4 * kSamplesPerGroup;

// Something to do on the next modal window of a name.
struct Step {
    QString window;
    std::function<void(QDialog& window)> action;
};

// Runs the steps in turn, each once its window is the modal one.
void Play(std::vector<Step> steps)
{
    if (steps.empty())
        return;
    QTimer::singleShot(kPollMs, [steps] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!modal || modal->objectName() != steps.front().window) {
            Play(steps);
            return;
        }
        Play({steps.begin() + 1, steps.end()});  // the action may keep its window open
        steps.front().action(*modal);
    });
}

template <class Widget>
Widget* Child(QWidget& window, const char* name)
{
    auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

// The folder typed, the format chosen by its mnemonic and the arrow keys, Enter: the default button.
Step FillDialog(const std::string& outdir, archive::ArchiveFormat format, QString* shownFolder = nullptr)
{
    return {QStringLiteral("archiveDialog"), [=](QDialog& dialog) {
                auto* folder = Child<QLineEdit>(dialog, "outdirEdit");
                if (shownFolder)
                    *shownFolder = folder->text();
                folder->clear();
                QTest::keyClicks(folder, QString::fromStdString(outdir));
                QTest::keyClick(&dialog, Qt::Key_F, Qt::AltModifier);
                // The keys go where the mnemonic put the focus.
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
                for (int down = 0; down < static_cast<int>(format); ++down)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
                QTest::keyClick(&dialog, Qt::Key_Return);
            }};
}

Step CancelDialog()
{
    return {QStringLiteral("archiveDialog"), [](QDialog& dialog) { dialog.reject(); }};
}

// What the question about the archive of other disk contents said, and the answer.
Step AnswerReplace(QMessageBox::StandardButton answer, QString& text, bool& defaultNo)
{
    return {QStringLiteral("replaceQuestion"), [answer, &text, &defaultNo](QDialog& window) {
                auto& box = static_cast<QMessageBox&>(window);
                text = box.text();
                defaultNo = box.defaultButton() == box.button(QMessageBox::No);
                box.button(answer)->click();
            }};
}

struct Result {
    bool shown = false;
    QString heading;
    QStringList details;
    bool rescueNote = false;
};

Step ReadResult(Result& result, bool openFolder = false)
{
    return {QStringLiteral("archiveResult"), [&result, openFolder](QDialog& dialog) {
                result.shown = true;
                result.heading = Child<QLabel>(dialog, "headingText")->text();
                const auto* details = Child<QPlainTextEdit>(dialog, "detailsText");
                if (!details->isHidden())
                    result.details = details->toPlainText().split(QLatin1Char('\n'));
                result.rescueNote = !Child<QLabel>(dialog, "rescueNote")->isHidden();
                auto* open = dialog.findChild<QPushButton*>(QStringLiteral("openFolderButton"));
                if (openFolder && open)
                    open->click();
                QTest::keyClick(&dialog, Qt::Key_Return);
            }};
}

bool AnyContains(const QStringList& lines, const QString& part)
{
    return std::any_of(lines.begin(), lines.end(), [&](const QString& line) { return line.contains(part); });
}

// The first track data file of a disk folder.
std::string FirstDataFile(const std::string& disk)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(disk)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("8b"))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names.empty() ? std::string() : names.front();
}

}  // namespace

// Where "Open Folder" sends the file manager.
class FileUrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};

class ArchiveDlgTest : public QObject {
    Q_OBJECT

private slots:
    void menuEntryFollowsSelectProject()
    {
        GuiRig rig("");
        const QList<QAction*> actions = rig.Get<QMenu>("selectMenu")->actions();
        const auto project = actions.indexOf(rig.Get<QAction>("selectProjectAction"));
        QCOMPARE(actions.indexOf(rig.Get<QAction>("archiveDiskAction")), project + 1);
        QCOMPARE(rig.Get<QAction>("archiveDiskAction")->text(), QStringLiteral("&Archive Disk..."));
    }

    void sameFilesAsTheEngine_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("WAVE") << static_cast<int>(archive::ArchiveFormat::Wave);
        QTest::newRow("FLAC") << static_cast<int>(archive::ArchiveFormat::Flac);
    }

    void sameFilesAsTheEngine()
    {
        QFETCH(int, format);
        const auto chosen = static_cast<archive::ArchiveFormat>(format);
        if (chosen == archive::ArchiveFormat::Flac && !convert::FlacAvailable())
            QSKIP("this build cannot write FLAC");
        DiskFolder disk(testsupport::ArchiveDisk());
        testsupport::TempFolder out;
        GuiRig rig(disk.Path());
        Result result;
        Play({FillDialog(out.File("window"), chosen), ReadResult(result)});
        rig.Get<QAction>("archiveDiskAction")->trigger();

        testsupport::RecordingConsole console;
        QCOMPARE(archive::RunArchive({.disk = disk.Path(), .outdir = out.File("engine"), .format = chosen},
                                     platform::RealFileSystem(), console),
                 0);
        QVERIFY(testsupport::ArchiveTree(out.File("window")) == testsupport::ArchiveTree(out.File("engine")));
        QCOMPARE(result.heading, QString::fromStdString(console.warnings.back()));
        QVERIFY(result.details.isEmpty());
        QVERIFY(!result.rescueNote);
    }

    void outcomes_data()
    {
        QTest::addColumn<QString>("disk");
        QTest::addColumn<int>("replace");  // the answer to the question, NoButton: none asked
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QStringList>("details");
        QTest::addColumn<bool>("rescueNote");
        QTest::addColumn<QStringList>("messages");
        const int none = QMessageBox::NoButton;
        const QString archived = QStringLiteral("archived 3 projects: ");
        QTest::newRow("no disk open") << "none" << none << "" << QStringList{} << false
                                      << QStringList{"Convert failed.\nno disk is chosen"};
        QTest::newRow("folder inside the disk")
            << "inside" << none << "" << QStringList{} << false << QStringList{"Convert failed.\n", "lies inside the disk"};
        QTest::newRow("unreadable bytes")
            << "unreadable" << none << archived << QStringList{"unreadable: ", " is silent at "} << true << QStringList{};
        QTest::newRow("missing data file") << "missing" << none << "archived "
                                           << QStringList{"left out: "} << false << QStringList{};
        QTest::newRow("other disk contents, No") << "other" << static_cast<int>(QMessageBox::No) << "" << QStringList{}
                                                 << false << QStringList{};
        QTest::newRow("other disk contents, Yes")
            << "other" << static_cast<int>(QMessageBox::Yes) << archived
            << QStringList{"replaced: the earlier archive"} << false << QStringList{};
        QTest::newRow("folder that cannot be made")
            << "blocked" << none << "archive stopped: " << QStringList{} << false
            << QStringList{};
        QTest::newRow("Cancel") << "cancel" << none << "The archive stopped. The next run on this disk into the same "
                                                       "folder continues where it stopped."
                                << QStringList{} << false << QStringList{};
    }

    void outcomes()
    {
        QFETCH(QString, disk);
        QFETCH(int, replace);
        QFETCH(QString, heading);
        QFETCH(QStringList, details);
        QFETCH(bool, rescueNote);
        QFETCH(QStringList, messages);
        DiskFolder sound(disk == "missing" ? testsupport::DamagedDisk() : testsupport::ArchiveDisk());
        testsupport::TempFolder out;
        const std::string outdir = disk == "inside"    ? sound.File("archive")
                                   : disk == "blocked" ? out.File("file/archive")
                                                       : out.File("archive");
        if (disk == "blocked")  // a file stands where a folder of the path must be
            testsupport::WriteBytes(out.File("file"), {1});
        CRegUserData settings(out.File("Wavlrn.ini"));
        settings.SetArchivePath("/earlier");
        testsupport::FaultyFileSystem faulty;
        if (disk == "unreadable")
            faulty.FailRange(0, 1, testsupport::FaultyFileSystem::kAlways,
                             testsupport::NameContains(FirstDataFile(sound.Path())));
        if (disk == "other") {
            DiskFolder other(guitest::DiskWith({{1, 1, guitest::Signal(kOtherDiskSamples, 1)}}));
            testsupport::RecordingConsole console;
            QCOMPARE(archive::RunArchive({.disk = other.Path(), .outdir = outdir}, platform::RealFileSystem(), console),
                     0);
        }
        const auto before = testsupport::ArchiveTree(outdir);
        GuiRig rig(disk == "none" ? std::string() : sound.Path());
        if (disk == "cancel")
            rig.ui.stopAtPoll = 0;
        QString shownFolder;
        QString question;
        bool defaultNo = false;
        Result result;
        std::vector<Step> steps{FillDialog(outdir, archive::ArchiveFormat::Wave, &shownFolder)};
        if (disk == "inside")
            steps.push_back(CancelDialog());
        if (replace != QMessageBox::NoButton)
            steps.push_back(AnswerReplace(static_cast<QMessageBox::StandardButton>(replace), question, defaultNo));
        FileUrlCatcher files;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &files, "open");
        if (!heading.isEmpty())
            steps.push_back(ReadResult(result, true));
        if (disk != "none")
            Play(steps);
        CDiskArchive(rig.doc, rig.ui, settings, rig.frame.get(), faulty).Run();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

        // Each message's text and, below it, its reason.
        const QStringList texts = guitest::Messages(rig.ui);
        const QStringList reasons = guitest::Details(rig.ui);
        const QString shown = texts.isEmpty() ? QString() : texts.front() + QLatin1Char('\n') + reasons.front();
        QCOMPARE(texts.size(), messages.isEmpty() ? 0 : 1);
        for (const QString& part : messages)
            QVERIFY2(shown.contains(part), qPrintable(shown));
        QCOMPARE(result.shown, !heading.isEmpty());
        if (result.shown)
            QVERIFY2(result.heading.startsWith(heading), qPrintable(result.heading));
        for (const auto& part : details)
            QVERIFY2(AnyContains(result.details, part), qPrintable(result.details.join('\n')));
        QCOMPARE(result.rescueNote, rescueNote);
        if (result.shown)
            QCOMPARE(files.opened, disk == "blocked" ? QList<QUrl>{}
                                                     : QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(outdir))});
        if (disk != "none") {
            QCOMPARE(shownFolder, QStringLiteral("/earlier"));
            std::string remembered;
            settings.GetArchivePath(remembered);
            QCOMPARE(remembered, disk == "inside" ? std::string("/earlier") : outdir);
        }
        if (replace != QMessageBox::NoButton) {
            QVERIFY2(question.contains("holds an archive of other disk contents") &&
                         question.contains("Yes moves the earlier archive into"),
                     qPrintable(question));
            QVERIFY(defaultNo);
        }
        if (replace == QMessageBox::No)
            QVERIFY(testsupport::ArchiveTree(outdir) == before);
    }

    void progressWindowShowsTheReadFiguresOnceSet()
    {
        CConvStatAnimDlg window(nullptr);
        window.Show();
        auto* detail = Child<QLabel>(window, "detailText");
        QVERIFY(detail->isHidden());
        window.SetDetail("read 12.3 MiB, unreadable 8.0 KiB, 6 failed reads");
        QVERIFY(!detail->isHidden());
        QCOMPARE(detail->text(), QStringLiteral("read 12.3 MiB, unreadable 8.0 KiB, 6 failed reads"));
    }
};

QTEST_MAIN(ArchiveDlgTest)
#include "ArchiveDlgTest.moc"
