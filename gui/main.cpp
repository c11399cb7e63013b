// wavelorn: the desktop program. One instance at a time; `wavelorn [FOLDER]` takes an
// existing FOLDER as the MO disk instead of asking with the folder browser.

#include "app/Document.h"
#include "app/RegUserData.h"
#include "gui/GuiText.h"
#include "gui/MainFrame.h"
#include "gui/QtUserInterface.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace {

constexpr const char* kLockFileVariable = "WAVELORN_LOCK_FILE";
constexpr const char* kLockFileName = "wavelorn.lock";

QString LockFilePath()
{
    const QString named = qEnvironmentVariable(kLockFileVariable);
    if (!named.isEmpty())
        return named;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
        .filePath(QString::fromLatin1(kLockFileName));
}

// The MO disk at start-up: an existing folder named on the command line, else the browser.
void ChooseStartDisk(COVFtoWAVEDoc& doc, platform::UserInterface& ui, const QStringList& arguments)
{
    if (arguments.size() > 1 && QFileInfo(arguments.at(1)).isDir()) {
        doc.SetMoFolder(ToEngine(QDir::toNativeSeparators(QDir(arguments.at(1)).absolutePath())));
        return;
    }
    doc.BrowseMoFolder(ui);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("wavelorn"));

    // A lock whose owner is gone is taken over at once, so a crash never locks the program out.
    QLockFile lock(LockFilePath());
    lock.setStaleLockTime(0);
    if (!lock.tryLock())
        return 0;

    COVFtoWAVEDoc doc;
    CRegUserData settings(DefaultSettingsPath());
    gui::QtUserInterface ui(doc);
    ChooseStartDisk(doc, ui, QApplication::arguments());

    CMainFrame frame(doc, ui, settings, ToEngine(QApplication::applicationDirPath()));
    ui.SetMainWindow(&frame);
    frame.show();
    return QApplication::exec();
}
