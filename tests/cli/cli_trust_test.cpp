// vtr8ctl against vtr8-sim over a pty where trust matters: replies that answer
// another request, interruptions, a second program on the same port, port names.
#include "support/core_application.h"
#include "support/sim_process.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

namespace {

using vtr8::test::SimProcess;

const QString Incomplete = QStringLiteral(
    "Zápis konfigurace nebyl dokončen, převodník je zastaven a jeho konfigurace je neúplná. "
    "Zapište konfiguraci znovu.");

struct CtlResult {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

CtlResult finish(QProcess& p)
{
    // False also when it had already ended unnoticed; the state tells.
    p.waitForFinished(120000);
    EXPECT_EQ(p.state(), QProcess::NotRunning);
    CtlResult r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

void start(QProcess& p, const QStringList& arguments, const QString& folder = {})
{
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.start(QStringLiteral(VTR8CTL_EXECUTABLE), arguments);
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForStarted());
}

CtlResult ctl(const QStringList& arguments, const QString& folder = {})
{
    QProcess p;
    start(p, arguments, folder);
    return finish(p);
}

QStringList on(const SimProcess& sim, QStringList arguments)
{
    return QStringList{QStringLiteral("--port"), sim.devicePath()} + arguments;
}

QString example(const char* name)
{
    return QStringLiteral(VTR8_EXAMPLES_DIR "/") + QString::fromUtf8(name);
}

int requestsSeen(SimProcess& sim, const QString& name = QStringLiteral("\\w+"))
{
    static QString log;
    log = sim.errorOutput();
    const QRegularExpression request(QStringLiteral("-> #\\d+ %1:").arg(name));
    int n = 0;
    for (auto it = request.globalMatch(log); it.hasNext(); it.next())
        ++n;
    return n;
}

class Trust : public ::testing::Test {
protected:
    void SetUp() override { vtr8::test::EnsureCoreApplication(); }
};

TEST_F(Trust, RepliesToOtherRequestsNeverGiveWrongDataWithSuccess)
{
    const QStringList commands[] = {{"read", "--utf8"}, {"note", "read"}, {"measure"}};
    // Each fault on one request of the command, and on every request.
    const char* faults[] = {"late", "late@2", "command@2", "command", "short@2", "short"};
    QTemporaryDir folder;
    const QString image = folder.filePath(QStringLiteral("eeprom.bin"));
    {
        SimProcess writer({QStringLiteral("--dump"), image});
        ASSERT_TRUE(writer.start());
        ASSERT_EQ(ctl(on(writer, {"--yes", "write", example("pt100-linearized.txt")})).exitCode, 0);
        ASSERT_TRUE(writer.stop());
    }
    const QStringList loaded = {QStringLiteral("--load"), image, QStringLiteral("--input"),
                                QStringLiteral("25")};
    for (const QStringList& command : commands) {
        SimProcess clean(loaded);
        ASSERT_TRUE(clean.start());
        const CtlResult right = ctl(on(clean, command));
        ASSERT_EQ(right.exitCode, 0) << right.err.toStdString();
        for (const char* fault : faults) {
            SimProcess sim(loaded +
                           QStringList{QStringLiteral("--fault"), QString::fromUtf8(fault)});
            ASSERT_TRUE(sim.start());
            const CtlResult r = ctl(on(sim, command));
            const std::string what = command.join(' ').toStdString() + " / " + fault;
            if (r.exitCode == 0) {
                EXPECT_EQ(r.out, right.out) << what;
            } else {
                EXPECT_EQ(r.exitCode, 1) << what;
                EXPECT_TRUE(r.err.contains(QStringLiteral("Chyba komunikace"))) << what;
            }
        }
    }
}

// Ctrl-C, a kill, the terminal going away (SIGHUP) and the reader of the output going away
// (SIGPIPE, as the system sends it on a write to a pipe nobody reads) all end a write the same
// way.
TEST_F(Trust, InterruptedWriteStopsAfterTheCommandInFlight)
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        SCOPED_TRACE(strsignal(signal));
        SimProcess sim({QStringLiteral("--pace"), QStringLiteral("--trace")});
        ASSERT_TRUE(sim.start());
        QProcess p;
        start(p, on(sim, {"--yes", "--trace", "write", example("pt100-linearized.txt")}));
        QThread::msleep(3000);
        ASSERT_EQ(p.state(), QProcess::Running);
        QCoreApplication::processEvents();
        const int sentBefore = static_cast<int>(p.readAllStandardError().count(" -> "));
        QElapsedTimer sinceSignal;
        sinceSignal.start();
        ::kill(static_cast<pid_t>(p.processId()), signal);
        const CtlResult r = finish(p);
        const qint64 ms = sinceSignal.elapsed();
        EXPECT_EQ(r.exitCode, 1);
        // The command in flight ends by its reply (a few hundred ms at 2400 baud).
        EXPECT_LT(ms, 1500);
        EXPECT_TRUE(r.err.contains(QStringLiteral("přerušen"))) << r.err.toStdString();
        EXPECT_TRUE(r.err.endsWith(Incomplete + QLatin1Char('\n'))) << r.err.toStdString();
        EXPECT_LE(static_cast<int>(r.err.count(QStringLiteral(" -> "))), 1) << sentBefore;
        ASSERT_TRUE(sim.stop());
        // The transmitter was never told to continue: the write stopped where it was.
        EXPECT_GT(requestsSeen(sim, QStringLiteral("Stop")), 0);
        EXPECT_EQ(requestsSeen(sim, QStringLiteral("Continue")), 0);
        EXPECT_EQ(requestsSeen(sim),
                  sentBefore + static_cast<int>(r.err.count(QStringLiteral(" -> "))));
    }
}

TEST_F(Trust, MeasureUntilInterruptedEndsCleanly)
{
    SimProcess sim({QStringLiteral("--input"), QStringLiteral("25")});
    ASSERT_TRUE(sim.start());
    QProcess p;
    start(p, on(sim, {"measure", "--count", "0"}));
    QThread::msleep(2000);
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    const CtlResult r = finish(p);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_GE(r.out.count('\n'), 2);
}

TEST_F(Trust, ASecondProgramOnThePortIsRefusedAndSendsNothing)
{
    SimProcess sim({QStringLiteral("--pace"), QStringLiteral("--trace")});
    ASSERT_TRUE(sim.start());
    QProcess write;
    start(write, on(sim, {"--yes", "write", example("pt100-linearized.txt")}));
    QThread::msleep(500);
    int refused = 0;
    // waitForFinished, not state(): the state is only updated when asked.
    for (int i = 0; i < 100 && !write.waitForFinished(100); ++i) {
        const CtlResult m = ctl(on(sim, {"measure"}));
        if (write.waitForFinished(0))
            break;
        EXPECT_EQ(m.exitCode, 1);
        EXPECT_EQ(m.err.toStdString(),
                  QStringLiteral("Port %1 používá jiný program, příkaz nebyl proveden.\n")
                      .arg(sim.devicePath())
                      .toStdString());
        ++refused;
    }
    const CtlResult w = finish(write);
    EXPECT_EQ(w.exitCode, 0) << w.err.toStdString();
    EXPECT_GT(refused, 5);
    ASSERT_TRUE(sim.stop());
    EXPECT_EQ(requestsSeen(sim, QStringLiteral("Continue")), 1);
    // A measure that started only after the write had let the port go may read; none before.
    const QString log = sim.errorOutput();
    const auto firstReading = log.indexOf(QStringLiteral(" ReadPV:"));
    EXPECT_TRUE(firstReading < 0 || firstReading > log.indexOf(QStringLiteral(" Continue:")));
}

TEST_F(Trust, PortNamesAreAPathOrAListedPort)
{
    const CtlResult bare = ctl({"--port", "tty0", "measure"});
    EXPECT_EQ(bare.exitCode, 1);
    EXPECT_EQ(bare.err.toStdString(), "Port tty0 neexistuje, příkaz nebyl proveden.\n");

    SimProcess sim({QStringLiteral("--input"), QStringLiteral("25")});
    ASSERT_TRUE(sim.start());
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::link(sim.devicePath(), folder.filePath(QStringLiteral("link"))));
    const CtlResult linked = ctl({"--port", "./link", "measure"}, folder.path());
    EXPECT_EQ(linked.exitCode, 0) << linked.err.toStdString();
    EXPECT_FALSE(linked.out.isEmpty());
}

TEST_F(Trust, StatusesOfComparatorDisableAndAdjust)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start());
    ASSERT_EQ(ctl(on(sim, {"--yes", "write", example("pt100-linearized.txt")})).exitCode, 0);
    // Without --yes a script declines: nothing was switched off, so no success.
    const CtlResult declined = ctl(on(sim, {"comparator", "1", "write", "--disable"}));
    EXPECT_EQ(declined.exitCode, 1) << declined.err.toStdString();
}

} // namespace
