// Real processes of the desktop program: a second start ends at once while the
// first runs; after the first was killed, a new start runs.

#include "tests/support/TempFolder.h"

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
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
