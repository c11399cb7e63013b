// Renders every window and page of the desktop program to PNG files, offscreen:
//   wavelorn_screenshots DISK SOURCE.wav STEREO.wav OUTDIR
// DISK is a recorder disk (the demo disk), SOURCE.wav a mono file for the File->MO page,
// STEREO.wav a file of another format that the page converts.

#include "app/Document.h"
#include "app/RegUserData.h"
#include "gui/ArchiveResult.h"
#include "gui/GuiText.h"
#include "gui/MainFrame.h"
#include "gui/QtUserInterface.h"
#include "platform/Messages.h"
#include "recorder/Errors.h"
#include "recorder/ProjectName.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

constexpr int kPollMs = 20;
constexpr int kAnimationSteps = 4;
constexpr std::uint64_t kProgressTotal = 100;
constexpr std::uint64_t kProgressDone = 40;
constexpr const char* kArchiveFolder = "/home/me/mo-archive";

class Shooter {
public:
    explicit Shooter(const QString& folder) : m_folder(folder) {}

    bool Save(QWidget& widget, const char* name)
    {
        const QString path = m_folder.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
        const bool saved = widget.grab().save(path);
        std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
        m_failed |= !saved;
        return saved;
    }

    // Once a modal window is open, saves it and lets `finish` close it.
    void SaveNextModal(const char* name, std::function<void(QWidget&)> finish)
    {
        QTimer::singleShot(kPollMs, [this, name, finish] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) {
                SaveNextModal(name, finish);
                return;
            }
            Save(*modal, name);
            finish(*modal);
        });
    }

    bool Failed() const { return m_failed; }

private:
    QDir m_folder;
    bool m_failed = false;
};

template <class Widget>
Widget& Child(QWidget& parent, const char* name)
{
    auto* child = parent.findChild<Widget*>(QString::fromLatin1(name));
    if (!child) {
        std::fprintf(stderr, "no control %s\n", name);
        std::exit(1);
    }
    return *child;
}

void Click(QWidget& parent, const char* name)
{
    QTest::mouseClick(&Child<QAbstractButton>(parent, name), Qt::LeftButton);
}

void ClickButtonOf(QWidget& dialog, const char* name)
{
    Child<QAbstractButton>(dialog, name).click();
}

void ShootExportPage(Shooter& shooter, CMainFrame& frame)
{
    shooter.Save(frame, "mo-to-file-empty");
    shooter.SaveNextModal("project-dialog", [](QWidget& dialog) { ClickButtonOf(dialog, "selectButton"); });
    frame.View().OnSelectProject();
    Click(frame, "stereoButton");
    Click(frame, "trackBox1");
    Click(frame, "trackBox3");
    // Track 3 holds nothing on its first virtual track: Convert waits, saying why.
    shooter.Save(frame, "mo-to-file-empty-track");
    Click(frame, "trackBox3");
    Click(frame, "trackBox2");
    shooter.Save(frame, "mo-to-file-filled");
    // The File Type list open, then FLAC chosen.
    auto& types = Child<QComboBox>(frame, "fileTypeList");
    types.showPopup();
    shooter.Save(*types.view()->window(), "mo-to-file-file-types");
    types.hidePopup();
    const QString chosen = types.currentText();
    types.setCurrentText(QStringLiteral("FLAC"));
    shooter.Save(frame, "mo-to-file-flac");
    types.setCurrentText(chosen);
}

// Enters `name` into track `track`'s field, as typed.
void EnterTrack(CMainFrame& frame, int track, const QString& name)
{
    auto& field = Child<QLineEdit>(frame, QStringLiteral("trackEdit%1").arg(track).toLatin1().constData());
    field.setText(name);
    QTest::keyClick(&field, Qt::Key_Return);
}

void ShootImportPage(Shooter& shooter, CMainFrame& frame, const QString& source, const QString& stereo)
{
    frame.View().SelectPage(COVFtoWAVEView::FileToMo);
    shooter.Save(frame, "file-to-mo-empty");
    auto& track1 = Child<QLineEdit>(frame, "trackEdit1");
    track1.setText(source);
    QTest::keyClick(&track1, Qt::Key_Return);
    auto& track2 = Child<QLineEdit>(frame, "trackEdit2");
    track2.setText(source);
    QTest::keyClick(&track2, Qt::Key_Return);
    auto& name = Child<QLineEdit>(frame, "projectNameEdit");
    name.setText(QStringLiteral("Take Two"));
    shooter.Save(frame, "file-to-mo-filled");
    // A letter the recorder cannot hold: nothing inserted, the note says why.
    QTest::sendKeyEvent(QTest::Click, &name, Qt::Key_unknown, QStringLiteral("\u00e9"), Qt::NoModifier);
    shooter.Save(frame, "file-to-mo-name-refused");
    // A stereo Track 1 of another format: its channel, what the conversion does, and the
    // project's format as choices; Track 2 converted to it.
    EnterTrack(frame, 1, stereo);
    EnterTrack(frame, 2, source);
    shooter.Save(frame, "file-to-mo-converted");
    auto& rates = Child<QComboBox>(frame, "importRateChoice");
    rates.showPopup();
    shooter.Save(*rates.view()->window(), "file-to-mo-rate-choices");
    rates.hidePopup();
}

void ShootDialogs(Shooter& shooter, CMainFrame& frame, gui::QtUserInterface& ui)
{
    shooter.SaveNextModal("about-box", [](QWidget& about) { ClickButtonOf(about, "okButton"); });
    frame.findChild<QAction*>(QStringLiteral("aboutAction"))->trigger();

    shooter.SaveNextModal("message-box", [](QWidget& box) { static_cast<QDialog&>(box).accept(); });
    ui.ShowError(MessageId::NoDiskSpace);

    // A refusal with the engine's reason below the system's text.
    shooter.SaveNextModal("refusal-box", [](QWidget& box) { static_cast<QDialog&>(box).accept(); });
    ShowRefusal(ui, {MessageId::FormatUnknown, Reason::NotMono, "/home/me/stereo.wav", "2"});

    // The shortest system text with a reason: the box is still as wide as its caption.
    shooter.SaveNextModal("convert-failed-box", [](QWidget& box) { static_cast<QDialog&>(box).accept(); });
    ShowRefusal(ui, RefuseProjectName("SNGSERIAL:1").value());

    // An export's success: the files written, and the button that opens their folder.
    shooter.SaveNextModal("success-box", [](QWidget& box) { static_cast<QDialog&>(box).accept(); });
    ui.ShowInformation(MessageId::ConvertSucceeded, {"Written in /home/me:\r\ntake11.wav\r\ntake32.wav", "/home/me"});

    // A run's result with warnings below its text.
    shooter.SaveNextModal("warnings-box", [](QWidget& box) { static_cast<QDialog&>(box).accept(); });
    ui.ShowMessage(MessageText(MessageId::ConvertSucceeded), platform::MessageIcon::Information,
                   platform::MessageButtons::Ok,
                   {WarningsText({{WarningKind::SilentSourceLeftOut, "/home/me/quiet.wav", "Track 3"},
                                  {WarningKind::DiskNotLocked, "/media/mo", {}}}),
                    {}});

    shooter.SaveNextModal("folder-browser", [](QWidget& browser) { static_cast<QDialog&>(browser).reject(); });
    ui.BrowseForFolder("Select MO :", {});
    platform::FileDialogRequest save;
    save.defaultExtension = ".wav";
    save.filter = "WAVE File (*.wav)| *.wav|All Files (*.*)|*.*||";
    save.initialName = "Untitled";
    shooter.SaveNextModal("save-dialog", [](QWidget& dialog) { static_cast<QDialog&>(dialog).reject(); });
    ui.RunFileDialog(save);

    const auto progress = ui.CreateProgressWindow();
    progress->Show();
    for (int step = 0; step < kAnimationSteps; ++step)
        progress->StepAnimation();
    progress->SetTotal(kProgressTotal);
    progress->SetDone(kProgressDone);
    QTest::qWait(kPollMs);
    progress->StepAnimation();
    shooter.Save(*static_cast<QDialog*>(dynamic_cast<QDialog*>(progress.get())), "progress-window");
}

// The archive's dialog with a folder typed in, the Convert window once reads of the
// disk failed, and the result of an archive that left out a track and could not
// read bytes of a data file.
void ShootArchive(Shooter& shooter, CMainFrame& frame, gui::QtUserInterface& ui)
{
    QTimer::singleShot(kPollMs, [&shooter] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        Child<QLineEdit>(*dialog, "outdirEdit").setText(QString::fromLatin1(kArchiveFolder));
        shooter.Save(*dialog, "archive-dialog");
        dialog->reject();
    });
    frame.findChild<QAction*>(QStringLiteral("archiveDiskAction"))->trigger();

    {
        const auto progress = ui.CreateProgressWindow();
        progress->SetText("Now archive...");
        progress->Show();
        progress->SetTotal(kProgressTotal);
        progress->SetDone(kProgressDone);
        progress->SetDetail("read 12.3 MiB, unreadable 8.0 KiB, 6 failed reads");
        QTest::qWait(kPollMs);
        progress->StepAnimation();
        shooter.Save(*dynamic_cast<QDialog*>(progress.get()), "archive-progress");
    }

    const ArchiveResult result = SortArchiveLines(
        {"warning: 03 Chords: track 3 (virtual track 1) is silent at 0:00:01.486-0:00:01.579 (8b320300.005 bytes "
         "131072-139263), which could not be read from the disk",
         "left out: 01 Sine Demo: track 1 (virtual track 1): the data file 8b320100.000 cannot be opened",
         "unreadable: 8b320300.005: bytes 131072-139263 after 4 tries",
         "archived 3 projects: 4 track files, 9 disk files (0 kept from an earlier run); 2 left out"},
        false);
    CArchiveResultDlg dialog(result, kArchiveFolder, &frame);
    shooter.SaveNextModal("archive-result", [](QWidget& shown) { static_cast<QDialog&>(shown).accept(); });
    dialog.exec();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s DISK SOURCE.wav STEREO.wav OUTDIR\n", argv[0]);
        return 2;
    }
    const QString disk = QString::fromLocal8Bit(argv[1]);
    const QString source = QString::fromLocal8Bit(argv[2]);
    const QString stereo = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(QString::fromLocal8Bit(argv[4]));
    Shooter shooter(QString::fromLocal8Bit(argv[4]));

    COVFtoWAVEDoc doc;
    doc.SetMoFolder(disk.toStdString());
    CNoUserData settings;
    gui::QtUserInterface ui;
    CMainFrame frame(doc, ui, settings, QApplication::applicationDirPath().toStdString());
    ui.SetMainWindow(&frame);
    frame.show();
    QTest::qWait(kPollMs);

    ShootExportPage(shooter, frame);
    ShootImportPage(shooter, frame, source, stereo);
    ShootDialogs(shooter, frame, ui);
    ShootArchive(shooter, frame, ui);
    return shooter.Failed() ? 1 : 0;
}
