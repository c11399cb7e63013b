// The Qt user-interface port: its filters, the real save dialog with its question,
// message boxes and the wait cursor, and the "Convert" window.

#include "gui/ConvStatAnimDlg.h"
#include "gui/Drawings.h"
#include "gui/GuiText.h"
#include "gui/QtUserInterface.h"
#include "platform/Messages.h"
#include "tests/gui/GuiRig.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QLineEdit>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

namespace {

constexpr int kFramesPerCycle = kAnimationFrameCount;
// Each reason of the message box table fills at most this many line heights of its
// label (its margins take about one) once the box is wide enough to read it.
constexpr int kReadableReasonLines = 3;

QImage Frame(int index)
{
    return MakeAnimationFrames()[static_cast<std::size_t>(index)];
}

// The pixels of `frame` that are not its key colour, laid over `under`.
QImage Over(QImage under, const QImage& frame)
{
    const QRgb key = frame.pixel(0, 0);
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            if (frame.pixel(x, y) != key)
                under.setPixel(x, y, frame.pixel(x, y));
    return under;
}

}  // namespace

// Takes the file manager's place: records the folders the port asks it to open.
class FolderOpener : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened << url; }
};

class QtPortTest : public QObject {
    Q_OBJECT

private slots:
    void nameFilters_data()
    {
        QTest::addColumn<QString>("classic");
        QTest::addColumn<QStringList>("qt");
        QTest::newRow("save WAVE") << "WAVE File (*.wav)| *.wav|All Files (*.*)|*.*||"
                                   << QStringList{"WAVE File (*.wav)", "All Files (*)"};
        QTest::newRow("save AIFF") << "AIFF File (*.aif)| *.aif|All Files (*.*)|*.*||"
                                   << QStringList{"AIFF File (*.aif)", "All Files (*)"};
        QTest::newRow("save FLAC") << "FLAC File (*.flac)|*.flac|All Files (*.*)|*.*||"
                                   << QStringList{"FLAC File (*.flac)", "All Files (*)"};
        QTest::newRow("empty") << "" << QStringList{};
    }

    void nameFilters()
    {
        QFETCH(QString, classic);
        QTEST(QtNameFilters(classic.toStdString()), "qt");
    }

    void recorderText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Latin-1") << QByteArray("Caf\xe9") << QStringLiteral("Caf\u00e9");
        QTest::newRow("up to the NUL") << QByteArray("ab\0cd", 5) << QStringLiteral("ab");
        QTest::newRow("control bytes") << QByteArray("a\tb\x7f\x85") << QStringLiteral("a?b??");
    }

    void recorderText()
    {
        QFETCH(QByteArray, bytes);
        QTEST(RecorderText(bytes.toStdString()), "shown");
    }

    // The folder browser opens where it is asked to, or at home when that folder is gone.
    void folderBrowserOpensAtItsStartFolder_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("atHome");
        QTest::newRow("a folder") << "folder" << false;
        QTest::newRow("none") << "" << true;
        QTest::newRow("gone") << "gone" << true;
    }

    void folderBrowserOpensAtItsStartFolder()
    {
        QFETCH(QString, start);
        QFETCH(bool, atHome);
        testsupport::TempFolder folder;
        const std::string startFolder = start == "folder" ? folder.Path()
                                        : start == "gone" ? folder.File("gone")
                                                          : std::string();
        gui::QtUserInterface ui;
        QString opened;
        QString title;
        guitest::OnNextModal([&](QDialog& dialog) {
            opened = QDir::cleanPath(static_cast<QFileDialog&>(dialog).directory().absolutePath());
            title = dialog.windowTitle();
            dialog.reject();
        });
        QVERIFY(!ui.BrowseForFolder("Select MO :", startFolder));
        QCOMPARE(title, QStringLiteral("Select MO :"));
        QCOMPARE(opened, QDir::cleanPath(atHome ? QDir::homePath() : QString::fromStdString(startFolder)));
    }

    // No, the default, keeps the save dialog open; Yes closes it with the name and its default extension.
    void saveDialogAsksBeforeItCloses()
    {
        testsupport::TempFolder folder;
        testsupport::WriteBytes(folder.File("mix.wav"), {1});
        gui::QtUserInterface ui;
        platform::FileDialogRequest request;
        request.initialFolder = folder.Path();
        request.defaultExtension = ".wav";
        request.filter = "WAVE File (*.wav)| *.wav|All Files (*.*)|*.*||";
        request.promptOverwrite = true;

        QStringList questions;
        QList<bool> stayedOpen;
        guitest::OnNextModal([&](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("mix"));
            for (const auto button : {QMessageBox::No, QMessageBox::Yes}) {
                guitest::OnNextModal([&, button](QDialog& box) {
                    questions << static_cast<QMessageBox&>(box).text();
                    QCOMPARE(box.parentWidget(), &dialog);
                    QCOMPARE(static_cast<QMessageBox&>(box).defaultButton(),
                             static_cast<QMessageBox&>(box).button(QMessageBox::No));
                    static_cast<QMessageBox&>(box).button(button)->click();
                });
                dialog.accept();
                stayedOpen << dialog.isVisible();
            }
        });
        const auto path = ui.RunFileDialog(request);
        const QString question = QStringLiteral("mix.wav\n") + MessageBoxText(MessageText(MessageId::FileExists));
        QCOMPARE(questions, (QStringList{question, question}));
        QCOMPARE(stayedOpen, (QList<bool>{true, false}));
        QVERIFY(path.has_value());
        QCOMPARE(QString::fromStdString(*path), QString::fromStdString(folder.File("mix.wav")));
    }

    // The system's text stays the box's text and the detail is its informative text; a
    // folder adds a button that closes the box and opens the folder.
    void messageBoxShowsTheDetail_data()
    {
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("press");  // "ok", "folder" or Escape
        QTest::addColumn<bool>("opened");
        QTest::newRow("a reason") << "take.wav: 2 channels; only mono files can be imported" << "" << "escape" << false;
        QTest::newRow("the files, OK") << "Written in /out:\r\ntake11.wav" << "/out" << "ok" << false;
        QTest::newRow("the files, Escape") << "Written in /out:\r\ntake11.wav" << "/out" << "escape" << false;
        QTest::newRow("the files, Open Folder") << "Written in /out:\r\ntake11.wav" << "/out" << "folder" << true;
    }

    void messageBoxShowsTheDetail()
    {
        QFETCH(QString, detail);
        QFETCH(QString, folder);
        QFETCH(QString, press);
        gui::QtUserInterface ui;
        FolderOpener opener;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opener, "Open");
        QString text;
        QString informative;
        bool okIsDefault = false;
        bool readable = false;
        guitest::OnNextModal([&](QDialog& dialog) {
            auto& box = static_cast<QMessageBox&>(dialog);
            text = box.text();
            informative = box.informativeText();
            okIsDefault = box.defaultButton() == box.button(QMessageBox::Ok);
            // A reason reads as lines, not as a column of words, and the caption has room.
            const auto* reason = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
            const int lines = reason->height() / reason->fontMetrics().lineSpacing();
            readable = lines <= kReadableReasonLines && box.width() > box.fontMetrics().horizontalAdvance(box.windowTitle());
            if (press == "ok")
                box.button(QMessageBox::Ok)->click();
            else if (press == "folder")
                box.findChild<QAbstractButton*>(QStringLiteral("openFolderButton"))->click();
            else
                QTest::keyClick(&box, Qt::Key_Escape);
        });
        ui.ShowInformation(MessageId::ConvertSucceeded, {detail.toStdString(), folder.toStdString()});
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(text, QString::fromStdString(MessageText(MessageId::ConvertSucceeded)));
        QCOMPARE(informative, MessageBoxText(detail.toStdString()));
        QVERIFY(okIsDefault);
        QVERIFY(readable);
        QFETCH(bool, opened);
        QCOMPARE(opener.opened, opened ? QList<QUrl>{QUrl::fromLocalFile(folder)} : QList<QUrl>{});
    }

    void questionAnswersNoOnEscapeAndLiftsTheWaitCursor()
    {
        gui::QtUserInterface ui;
        ui.BeginWaitCursor();
        bool cursorLifted = false;
        guitest::OnNextModal([&](QDialog& box) {
            cursorLifted = QGuiApplication::overrideCursor() == nullptr;
            QTest::keyClick(&box, Qt::Key_Escape);
        });
        QVERIFY(!ui.AskYesNo("Replace?"));
        QVERIFY(cursorLifted);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        ui.EndWaitCursor();
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    // What Windows shows of the program: read back by Qt's own icon reader, every size
    // with the pixels the window's icon has.
    void iconFileHoldsEverySize()
    {
        QByteArray bytes = ProgramIconFile();
        QBuffer file(&bytes);
        QImageReader reader(&file, "ico");
        QCOMPARE(reader.imageCount(), static_cast<int>(kProgramIconSizes.size()));
        for (const int size : kProgramIconSizes) {
            const QImage image = reader.read();
            QCOMPARE(image.convertToFormat(QImage::Format_ARGB32),
                     MakeProgramIconImage(size).convertToFormat(QImage::Format_ARGB32));
            reader.jumpToNextImage();
        }
    }

    void animationCyclesThroughSevenFrames()
    {
        QWidget owner;
        CConvStatAnimDlg window(&owner);
        window.Show();
        QImage expected = window.AnimationImage();
        for (int step = 0; step < kFramesPerCycle + 1; ++step) {
            QCOMPARE(window.NextFrame() % kFramesPerCycle, step % kFramesPerCycle);
            window.StepAnimation();
            expected = Over(expected, Frame(step % kFramesPerCycle));
            QCOMPARE(window.AnimationImage(), expected);
        }
        QCOMPARE(window.NextFrame(), 1);  // the eighth step drew the first frame again
    }

    void manyStepsBetweenRepaintsDrawTheSameImage_data()
    {
        QTest::addColumn<int>("steps");
        QTest::newRow("3") << 3;
        QTest::newRow("7") << 7;
        QTest::newRow("10") << 10;
        QTest::newRow("23") << 23;
    }

    void manyStepsBetweenRepaintsDrawTheSameImage()
    {
        QFETCH(int, steps);
        QWidget owner;
        CConvStatAnimDlg window(&owner);
        QImage expected = window.AnimationImage();
        for (int step = 0; step < steps; ++step) {
            window.StepAnimation();
            expected = Over(expected, Frame(step % kFramesPerCycle));
        }
        QCOMPARE(window.AnimationImage(), expected);
    }

    void framesShareTheirKeyColourAndDiffer()
    {
        const auto frames = MakeAnimationFrames();
        for (int i = 0; i < kAnimationFrameCount; ++i) {
            QCOMPARE(frames[static_cast<std::size_t>(i)].size(), QSize(kAnimationFrameSize, kAnimationFrameSize));
            QCOMPARE(QColor(frames[static_cast<std::size_t>(i)].pixel(0, 0)), AnimationKeyColour());
            if (i > 0)
                QVERIFY(frames[static_cast<std::size_t>(i)] != frames[static_cast<std::size_t>(i - 1)]);
        }
    }

    void percentBar_data()
    {
        QTest::addColumn<qulonglong>("total");
        QTest::addColumn<qulonglong>("done");
        QTest::addColumn<int>("percent");
        QTest::newRow("start") << qulonglong(200) << qulonglong(0) << 0;
        QTest::newRow("half") << qulonglong(200) << qulonglong(100) << 50;
        QTest::newRow("beyond the total") << qulonglong(10) << qulonglong(11) << 100;
        QTest::newRow("all done") << qulonglong(1) << qulonglong(1) << 100;
        QTest::newRow("6 GiB of 8 GiB") << qulonglong(8) << qulonglong(6) << 75;
    }

    void percentBar()
    {
        QFETCH(qulonglong, total);
        QFETCH(qulonglong, done);
        QWidget owner;
        CConvStatAnimDlg window(&owner);
        window.SetText("Track check...");
        window.Show();
        auto* bar = window.findChild<QProgressBar*>(QStringLiteral("percentBar"));
        QVERIFY(bar->isHidden());  // no total known yet
        window.SetTotal(total << 30);
        window.SetDone(done << 30);
        QTest::qWait(20);
        window.StepAnimation();
        QVERIFY(!bar->isHidden());
        QTEST(bar->value(), "percent");
    }

    // A window asked for only when slow stays hidden through quick work and appears once
    // the work lasts; one shown at once is there at once.
    void windowShownWhenSlowWaitsForSlowWork_data()
    {
        QTest::addColumn<bool>("whenSlow");
        QTest::addColumn<int>("workMs");
        QTest::addColumn<bool>("shown");
        QTest::newRow("at once") << false << 0 << true;
        QTest::newRow("when slow, quick work") << true << 50 << false;
        QTest::newRow("when slow, slow work") << true << 700 << true;
    }

    void windowShownWhenSlowWaitsForSlowWork()
    {
        QFETCH(bool, whenSlow);
        QFETCH(int, workMs);
        QWidget owner;
        CConvStatAnimDlg window(&owner);
        window.SetText("Track check...");
        if (whenSlow)
            window.ShowWhenSlow();
        else
            window.Show();
        QTest::qWait(workMs);
        window.StepAnimation();
        QTEST(window.isVisible(), "shown");
    }

    // While the window exists, clicks, keys and close requests of other windows are
    // dropped and never delivered later; Esc and close leave the window itself.
    void inputIsDroppedDuringARun()
    {
        QWidget owner;
        auto* button = new QPushButton(QStringLiteral("&Go"), &owner);
        int clicks = 0;
        connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
        owner.show();
        {
            CConvStatAnimDlg window(&owner);
            window.Show();
            QTest::mouseClick(button, Qt::LeftButton);
            QTest::keyClick(button, Qt::Key_Space);
            QVERIFY(!owner.close());
            QTest::keyClick(&window, Qt::Key_Escape);
            QVERIFY(!window.close());
            QVERIFY(window.isVisible());
            QVERIFY(owner.isVisible());
        }
        QCoreApplication::processEvents();
        QCOMPARE(clicks, 0);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks, 1);
    }

    // Cancel gets through the filter that holds other input back and asks the run to
    // stop; Esc and close still leave the window standing.
    void cancelAsksTheRunToStop()
    {
        QWidget owner;
        owner.show();
        CConvStatAnimDlg window(&owner);
        window.Show();
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.close());
        QVERIFY(!window.StopRequested());
        auto* cancel = window.findChild<QPushButton*>(QStringLiteral("cancelButton"));
        QVERIFY(cancel);
        QTest::mouseClick(cancel, Qt::LeftButton);
        QVERIFY(window.StopRequested());
        QVERIFY(window.isVisible());
    }
};

QTEST_MAIN(QtPortTest)
#include "QtPortTest.moc"
