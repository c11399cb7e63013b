// wavelorn: the desktop program. One instance at a time: a second start brings the
// running window forward, handing it its FOLDER, and ends. `wavelorn [FOLDER]` takes
// an existing FOLDER as the MO disk instead of asking with the folder browser.
// `wavelorn --help` and `wavelorn --version` answer without a display.

#include "app/Document.h"
#include "app/RegUserData.h"
#include "gui/GuiText.h"
#include "gui/InstanceHandOver.h"
#include "gui/MainFrame.h"
#include "gui/QtUserInterface.h"
#include "platform/InstanceChannel.h"
#include "platform/Terminal.h"
#include "platform/Version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <cstdio>
#include <optional>
#include <vector>

namespace {

constexpr const char* kProgramName = "wavelorn";
constexpr const char* kLockFileVariable = "WAVELORN_LOCK_FILE";
constexpr const char* kLockFileName = "wavelorn.lock";
// The running instance listens beside its lock file.
constexpr const char* kChannelSuffix = ".socket";

QString LockFilePath()
{
    const QString named = qEnvironmentVariable(kLockFileVariable);
    if (!named.isEmpty())
        return named;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
        .filePath(QString::fromLatin1(kLockFileName));
}

// The existing folder named on the command line, as the engine spells paths; empty for none.
std::string StartFolder(const QStringList& arguments)
{
    if (arguments.size() > 1 && QFileInfo(arguments.at(1)).isDir())
        return ToEngine(QDir::toNativeSeparators(QDir(arguments.at(1)).absolutePath()));
    return {};
}

// The MO disk at start-up: an existing folder named on the command line, else the browser.
void ChooseStartDisk(COVFtoWAVEDoc& doc, platform::UserInterface& ui, const QStringList& arguments)
{
    const std::string folder = StartFolder(arguments);
    if (!folder.empty()) {
        doc.SetMoFolder(folder);
        return;
    }
    doc.BrowseMoFolder(ui);
}

void Print(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
}

// --help and --version, answered before any window, display or lock: the exit status
// when one of them was asked for. Qt's own options (-platform, -style ...) and anything
// else are left to the application.
std::optional<int> AnswerInformationRequest(int argc, char** argv)
{
    // A copy of the arguments: the application that follows gets them untouched.
    std::vector<char*> arguments(argv, argv + argc);
    arguments.push_back(nullptr);
    int count = argc;
    QCoreApplication core(count, arguments.data());
    QCoreApplication::setApplicationName(QString::fromLatin1(kProgramName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kProgramVersion));

    QCommandLineParser parser;
    // -reverse is one of Qt's options, not -r -e -v ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Moves audio between the disk of an eight-track recorder (a folder holding the\n"
        "recorder's files) and PC sound files: the MO->File page exports tracks of a\n"
        "project as WAVE, AIFF or FLAC, the File->MO page imports mono WAVE or AIFF\n"
        "files as a new project. Only one instance runs at a time: a second start\n"
        "brings the running window forward, opens its FOLDER there, and ends. The\n"
        "options of Qt's applications, such as -platform NAME or -style NAME, are\n"
        "taken as well."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the program's name and version and exits."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("FOLDER"),
                                 QStringLiteral("The folder of a recorder disk to open. Without it, or when it is not "
                                                "an existing folder, the folder browser asks for the disk."),
                                 QStringLiteral("[FOLDER]"));
    static_cast<void>(parser.parse(QCoreApplication::arguments()));  // unknown options are Qt's

    if (parser.isSet(help) || parser.isSet(version))
        platform::UseStarterConsole();
    if (parser.isSet(help)) {
        Print(parser.helpText());
        return 0;
    }
    if (parser.isSet(version)) {
        Print(QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion()));
        return 0;
    }
    return std::nullopt;
}

// Takes the program's lock. One left by a killed instance whose process number this
// process now has (Windows hands numbers out again, wine right after its start) names
// a running program, but it is this one: such a lock is stale.
bool TakeLock(QLockFile& lock)
{
    if (lock.tryLock())
        return true;
    qint64 owner = 0;
    QString host;
    QString application;
    if (!lock.getLockInfo(&owner, &host, &application) || owner != QCoreApplication::applicationPid())
        return false;
    return lock.removeStaleLockFile() && lock.tryLock();
}

}  // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> status = AnswerInformationRequest(argc, argv))
        return *status;

    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kProgramName));

    // A lock whose owner is gone is taken over at once, so a crash never locks the program out.
    QLockFile lock(LockFilePath());
    lock.setStaleLockTime(0);
    const std::string channel = ToEngine(LockFilePath() + QString::fromLatin1(kChannelSuffix));
    if (!TakeLock(lock)) {
        // The running window comes forward, with the disk named here; when it is just
        // ending and no longer listens, this start still ends.
        platform::SendToInstance(channel, StartFolder(QApplication::arguments()));
        return 0;
    }

    COVFtoWAVEDoc doc;
    CRegUserData settings(DefaultSettingsPath());
    gui::QtUserInterface ui;
    ChooseStartDisk(doc, ui, QApplication::arguments());

    CMainFrame frame(doc, ui, settings, ToEngine(QApplication::applicationDirPath()));
    ui.SetMainWindow(&frame);
    gui::InstanceHandOver handOver(frame, [&ui] { return ui.Busy(); }, platform::ListenForInstances(channel));
    frame.show();
    return QApplication::exec();
}
