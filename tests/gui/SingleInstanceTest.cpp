// Real processes of the desktop program: a second start ends at once while the
// first runs; after the first was killed, a new start runs; --help and --version
// answer without a display, also while an instance runs. In this process: what a
// second start hands over brings the window forward and opens its disk there.

#include "gui/GuiText.h"
#include "gui/InstanceHandOver.h"
#include "gui/MainFrame.h"
#include "platform/InstanceChannel.h"
#include "tests/gui/GuiRig.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <QMessageBox>

#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

namespace {

constexpr int kStartMs = 10000;
constexpr int kEndMs = 10000;
// A program that is still running after this long has passed its instance check.
constexpr int kSettleMs = 1500;

class Program {
public:
    Program(const QString& lockFile, const QString& disk)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("WAVELORN_LOCK_FILE"), lockFile);
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(WAVELORN_GUI_PATH), {disk});
    }
    ~Program()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kEndMs);
        }
    }

    QProcess& Process() { return m_process; }
    // Running after the settling time: the program got past its instance check.
    bool StaysUp() { return m_process.waitForStarted(kStartMs) && !m_process.waitForFinished(kSettleMs); }

private:
    QProcess m_process;
};

enum class Screen { None, Offscreen };

// Runs the program with `arguments` to its end, with no display of any kind or on the
// offscreen platform; its standard output, or why it failed.
QString RunToEnd(const QString& lockFile, const QStringList& arguments, Screen screen = Screen::None)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    if (screen == Screen::Offscreen)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("WAVELORN_LOCK_FILE"), lockFile);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(WAVELORN_GUI_PATH), arguments);
    if (!process.waitForFinished(kEndMs) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
    // A text stream: on Windows its lines end in CR LF.
    QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return output.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void secondStartEndsAtOnceAndAKilledFirstLocksNothing()
    {
        testsupport::TempFolder folder;
        const QString lock = QString::fromStdString(folder.File("wavelorn.lock"));
        const QString disk = QString::fromStdString(folder.Path());

        Program first(lock, disk);
        QVERIFY(first.StaysUp());
        // Listening where a second start hands over (a socket file, on Windows a named pipe).
        QVERIFY(platform::SendToInstance(ToEngine(lock + QStringLiteral(".socket")), ""));

        Program second(lock, disk);
        QVERIFY(second.Process().waitForFinished(kEndMs));
        QCOMPARE(second.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.Process().exitCode(), 0);
        QVERIFY(second.Process().readAllStandardOutput().isEmpty());
        QCOMPARE(first.Process().state(), QProcess::Running);

        first.Process().kill();  // SIGKILL: the lock file stays behind
        QVERIFY(first.Process().waitForFinished(kEndMs));
        Program third(lock, disk);
        QVERIFY(third.StaysUp());
    }

    void helpAndVersionAnswerWithoutDisplayWhileAnInstanceRuns()
    {
        testsupport::TempFolder folder;
        const QString lock = QString::fromStdString(folder.File("wavelorn.lock"));
        Program first(lock, QString::fromStdString(folder.Path()));
        QVERIFY(first.StaysUp());

        for (const char* option : {"--version", "-v"})
            QCOMPARE(RunToEnd(lock, {QString::fromLatin1(option)}), QStringLiteral("wavelorn " WAVELORN_VERSION "\n"));
        for (const char* option : {"--help", "-h"}) {
            const QString help = RunToEnd(lock, {QString::fromLatin1(option)});
            QVERIFY2(help.startsWith(QStringLiteral("Usage: ")), qPrintable(help));
            QVERIFY2(help.contains(QStringLiteral("[FOLDER]")), qPrintable(help));
            QVERIFY2(help.contains(QStringLiteral("--version")), qPrintable(help));
        }
        // Qt's own options are Qt's: -reverse is not -r -e -v ..., so this start meets the
        // lock and ends silently.
        QCOMPARE(RunToEnd(lock, {QStringLiteral("-reverse")}, Screen::Offscreen), QString());
        QCOMPARE(first.Process().state(), QProcess::Running);
    }

    // The folder a second start names opens in the running window, once no message
    // box holds it; an empty hand-over only brings the window forward.
    void folderOfASecondStartReachesTheRunningWindow()
    {
        testsupport::TempFolder folder;
        const std::string channel = folder.File("wavelorn.lock.socket");
        guitest::DiskFolder first(guitest::DiskWith({{1, 1, guitest::Signal(64, 1)}}, "First"));
        guitest::DiskFolder second(guitest::DiskWith({{1, 1, guitest::Signal(64, 2)}}, "Second"));
        guitest::GuiRig rig(first.Path());
        gui::InstanceHandOver handOver(*rig.frame, [] { return false; }, platform::ListenForInstances(channel));
        const auto titleNames = [&](const std::string& disk) {
            return rig.frame->windowTitle().startsWith(QDir::toNativeSeparators(QString::fromStdString(disk)));
        };

        QVERIFY(platform::SendToInstance(channel, ""));
        QTest::qWait(500);
        QVERIFY(titleNames(first.Path()));

        QMessageBox box(rig.frame.get());
        box.setModal(true);
        box.show();
        QVERIFY(platform::SendToInstance(channel, second.Path()));
        QTest::qWait(500);
        QVERIFY(titleNames(first.Path()));  // waits while the box is open
        box.close();
        QTRY_VERIFY(titleNames(second.Path()));
        QCOMPARE(rig.doc.m_strMoFolder, second.Path());
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
