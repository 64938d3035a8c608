// The record of every vtr8ctl transfer: vtr8ctl against vtr8-sim, then its history.
#include "history/history_store.h"
#include "support/core_application.h"
#include "support/sim_process.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

namespace {

using vtr8::test::SimProcess;

struct CtlOutcome {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

CtlOutcome finish(QProcess& p)
{
    p.waitForFinished(120000);
    CtlOutcome r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

class CliHistory : public ::testing::Test {
protected:
    void SetUp() override
    {
        vtr8::test::EnsureCoreApplication();
        ASSERT_TRUE(dir.isValid());
        history = dir.filePath(QStringLiteral("h.sqlite"));
    }
    void start(QProcess& p, const QStringList& arguments) const
    {
        // The spool of records that could not be written stays in the test's folder.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VTR8CTL_EXECUTABLE),
                QStringList{QStringLiteral("--history"), history} + arguments);
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForStarted());
    }
    CtlOutcome ctl(const QStringList& arguments) const
    {
        QProcess p;
        start(p, arguments);
        return finish(p);
    }
    static QStringList on(const SimProcess& sim, const QStringList& arguments)
    {
        return QStringList{QStringLiteral("--port"), sim.devicePath()} + arguments;
    }
    // operation,result,note of every record, oldest first.
    QStringList records() const
    {
        const CtlOutcome r = ctl({QStringLiteral("history"), QStringLiteral("--csv")});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        QStringList lines = QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        EXPECT_EQ(lines.value(0), QStringLiteral("id,start,end,program,port,operation,result,"
                                                 "note,firmware,messages,operator,computer"));
        QStringList out;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QStringList c = lines[i].split(QLatin1Char(','));
            out << c.mid(5, 3).join(QLatin1Char(','));
        }
        return out;
    }
    static QByteArray fileBytes(const QString& path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        return f.readAll();
    }

    QTemporaryDir dir;
    QString history;
    const QString config = QStringLiteral(VTR8_EXAMPLES_DIR "/pt100-linearized.txt");
};

TEST_F(CliHistory, CommissioningOfThreeTransmittersIsListedInOrder)
{
    QStringList expected;
    for (const char* note : {"Kotel 1", "Kotel 2", "Kotel 3"}) {
        SimProcess sim;
        ASSERT_TRUE(sim.start());
        EXPECT_EQ(ctl(on(sim, {"--yes", "write", config})).exitCode, 0);
        EXPECT_EQ(ctl(on(sim, {"--yes", "note", "write", note})).exitCode, 0);
        EXPECT_EQ(ctl(on(sim, {"verify", config})).exitCode, 0);
        EXPECT_EQ(ctl(on(sim, {"read", "--save", dir.filePath("read.txt")})).exitCode, 0);
        expected << "write,completed," << QStringLiteral("note,completed,%1").arg(note)
                 << "verify,completed," << QStringLiteral("read,completed,%1").arg(note);
    }
    EXPECT_EQ(records(), expected);

    // The read's configuration comes back exactly as the read saved it, and the
    // write's as the file it was given.
    for (const auto& [id, original] :
         {std::pair{"12", dir.filePath("read.txt")}, std::pair{"9", config}}) {
        const QString saved = dir.filePath(QStringLiteral("back%1.txt").arg(id));
        const CtlOutcome show = ctl({"history", "show", id, "--save", saved});
        ASSERT_EQ(show.exitCode, 0) << show.err.toStdString();
        EXPECT_EQ(fileBytes(saved), fileBytes(original)) << id;
    }
    const CtlOutcome show = ctl({"history", "show", "9"});
    EXPECT_TRUE(show.out.contains("operace: z\xc3\xa1pis\n"));
    EXPECT_TRUE(show.out.contains("firmware: 14\n"));
    EXPECT_TRUE(show.out.contains("424: 20 09 09 02\n")) << show.out.constData();

    const CtlOutcome filtered = ctl({"history", "--csv", "--note", "kotel 2"});
    EXPECT_EQ(filtered.out.count('\n'), 3); // header, note and read
    const CtlOutcome none = ctl({"history", "--csv", "--until", "2000-01-01"});
    EXPECT_EQ(none.out.count('\n'), 1);
    const CtlOutcome exported = ctl({"history", "export", dir.filePath("all.csv")});
    EXPECT_EQ(exported.exitCode, 0);
    EXPECT_EQ(fileBytes(dir.filePath("all.csv")).count('\n'), 13);
}

// Two vtr8ctl, each storing notes into its own transmitter, and a window's store add 300
// records to one file at the same time; none is lost and each writer's keep their order.
TEST_F(CliHistory, TwoVtr8ctlAndAWindowWritingAtOnceLoseNoRecord)
{
    constexpr int perWriter = 100;
    SimProcess first;
    SimProcess second;
    ASSERT_TRUE(first.start());
    ASSERT_TRUE(second.start());
    std::atomic<int> failed{0};
    const auto notes = [&](const SimProcess& sim, const char* prefix) {
        for (int i = 0; i < perWriter; ++i) {
            QProcess p;
            start(p, on(sim, {"--yes", "note", "write",
                              QStringLiteral("%1-%2").arg(prefix).arg(i, 3, 10, QChar('0'))}));
            if (finish(p).exitCode != 0)
                ++failed;
        }
    };
    std::thread a(notes, std::cref(first), "a");
    std::thread b(notes, std::cref(second), "b");
    {
        vtr8::HistoryStore window(history, [&failed](const QString&) { ++failed; });
        for (int i = 0; i < perWriter; ++i) {
            vtr8::HistoryRecord r;
            r.started = r.ended = QDateTime::currentDateTime();
            r.program = QStringLiteral("vtr8");
            r.operation = vtr8::HistoryOperation::Read;
            r.result = vtr8::HistoryResult::Completed;
            r.note = QStringLiteral("w-%1").arg(i, 3, 10, QChar('0'));
            window.add(std::move(r));
            QThread::msleep(100); // spread over the time the other two run
        }
        EXPECT_EQ(window.pendingCount(), 0);
    }
    a.join();
    b.join();
    EXPECT_EQ(failed, 0);

    const QStringList all = records();
    ASSERT_EQ(all.size(), 3 * perWriter);
    for (const char* prefix : {"note,completed,a-", "note,completed,b-", "read,completed,w-"}) {
        QStringList mine = all.filter(QLatin1String(prefix));
        QStringList sorted = mine;
        sorted.sort();
        EXPECT_EQ(mine.size(), perWriter) << prefix;
        EXPECT_EQ(mine, sorted) << prefix;
    }
}

TEST_F(CliHistory, FailedAndInterruptedWritesAreRecordedAsSuch)
{
    {
        // The transmitter goes away in the middle of the write.
        SimProcess sim({QStringLiteral("--pace")});
        ASSERT_TRUE(sim.start());
        QProcess p;
        start(p, on(sim, {"--yes", "write", config}));
        QThread::msleep(2500);
        ASSERT_EQ(p.state(), QProcess::Running);
        ASSERT_TRUE(sim.stop());
        EXPECT_EQ(finish(p).exitCode, 1);
    }
    {
        SimProcess sim({QStringLiteral("--pace")});
        ASSERT_TRUE(sim.start());
        QProcess p;
        start(p, on(sim, {"--yes", "write", config}));
        QThread::msleep(3000);
        ASSERT_EQ(p.state(), QProcess::Running);
        ::kill(static_cast<pid_t>(p.processId()), SIGINT);
        EXPECT_EQ(finish(p).exitCode, 1);
    }
    EXPECT_EQ(records(), (QStringList{"write,failed,", "write,interrupted,"}));
    // The messages the person saw come with the record.
    const QString failed = QString::fromUtf8(ctl({"history", "show", "1"}).out);
    // The port vanished with the transmitter; the blocks it took before are listed.
    static const QRegularExpression told(
        QStringLiteral("zprávy:\n  (Nejde inicializovat \\S+ port[^\n]*|Chyba "
                       "komunikace[^\n]*|Chyba na portu PC, nelze "
                       "poslat data pres port !)\n  Zápis konfigurace nebyl "
                       "dokončen"));
    EXPECT_TRUE(told.match(failed).hasMatch()) << failed.toStdString();
    EXPECT_TRUE(failed.contains(QStringLiteral("zapsané bloky (adresa: bajty):\n  52: ")))
        << failed.toStdString();
    const QString interrupted = QString::fromUtf8(ctl({"history", "show", "2"}).out);
    EXPECT_TRUE(interrupted.contains(QStringLiteral("výsledek: přerušeno\n")));
    EXPECT_TRUE(interrupted.contains(QStringLiteral("  Zápis konfigurace nebyl dokončen")))
        << interrupted.toStdString();
}

TEST_F(CliHistory, DamagedOrUnwritableHistoryLeavesTheTransferWorking)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start());
    // A configured transmitter: the read of a blank one ends with 1.
    const QString config = QStringLiteral(VTR8_EXAMPLES_DIR "/pt100-linearized.txt");
    ASSERT_EQ(ctl(on(sim, {"--no-history", "--yes", "write", config})).exitCode, 0);
    {
        QFile f(history);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(1000, 'x'));
    }
    const CtlOutcome damaged = ctl(on(sim, {"read"}));
    EXPECT_EQ(damaged.exitCode, 0);
    EXPECT_EQ(damaged.err.count(QStringLiteral("je poškozen")), 1) << damaged.err.toStdString();
    EXPECT_EQ(records(), QStringList{"read,completed,"});

    // A plain file where the history's folder should be.
    const QString blocked = dir.filePath(QStringLiteral("read.txt"));
    QFile(blocked).open(QIODevice::WriteOnly);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.path());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VTR8CTL_EXECUTABLE),
            on(sim, {"--history", blocked + QStringLiteral("/h.sqlite"), "read"}));
    const CtlOutcome unwritable = finish(p);
    EXPECT_EQ(unwritable.exitCode, 0);
    EXPECT_TRUE(unwritable.out.startsWith("Konfigura"));
    EXPECT_EQ(unwritable.err.count(QStringLiteral("Do historie převodů")), 1)
        << unwritable.err.toStdString();
    // The record waited in the spool, and the next program delivers it once the folder can be.
    EXPECT_TRUE(unwritable.err.contains(QStringLiteral("záznam čeká v souboru")));
    ASSERT_TRUE(QFile::remove(blocked));
    for (int run = 0; run < 2; ++run) {
        QProcess later;
        later.setProcessEnvironment(env);
        later.start(QStringLiteral(VTR8CTL_EXECUTABLE),
                    {"--history", blocked + QStringLiteral("/h.sqlite"), "history", "--csv"});
        const CtlOutcome listed = finish(later);
        EXPECT_EQ(listed.exitCode, 0);
        EXPECT_EQ(listed.out.count("\nread,completed") + listed.out.count(",read,completed"), 1)
            << run << listed.out.constData();
    }

    QProcess none;
    none.start(QStringLiteral(VTR8CTL_EXECUTABLE),
               on(sim, {"--history", dir.filePath("none.sqlite"), "--no-history", "read"}));
    EXPECT_EQ(finish(none).exitCode, 0);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("none.sqlite"))));
}

// A note a transmitter holds reaches the terminal as symbols and a spreadsheet as text; a
// file-size limit below the store's needs leaves the transfer done and the record kept.
TEST_F(CliHistory, NotesReachTerminalsAndSpreadsheetsHarmlessly)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start());
    ASSERT_EQ(ctl(on(sim, {"--yes", "note", "write", "--", "=1+2"})).exitCode, 0);
    {
        // As a read of a transmitter holding such a note records it.
        vtr8::HistoryStore window(history, {});
        vtr8::HistoryRecord r;
        r.started = r.ended = QDateTime::currentDateTime();
        r.note = QStringLiteral("\x1b]0;x\x07\x1b[2J\rA\bB");
        window.add(r);
    }
    for (const QStringList& command :
         {QStringList{"history"}, QStringList{"history", "show", "2"}}) {
        const CtlOutcome shown = ctl(command);
        EXPECT_EQ(shown.exitCode, 0);
        EXPECT_FALSE(shown.out.contains('\x1b') || shown.out.contains('\r') ||
                     shown.out.contains('\b') || shown.out.contains('\x07'))
            << command.join(' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(shown.out).contains(QStringLiteral("␛]0;x␇␛[2J␍A␈B")))
            << shown.out.constData();
    }
    const QString csv = dir.filePath(QStringLiteral("h.csv"));
    ASSERT_EQ(ctl({"history", "export", csv, "--csv-separator", ";"}).exitCode, 0);
    const QByteArray bytes = fileBytes(csv);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBFid;start;end;program;port;")) << bytes.constData();
    EXPECT_TRUE(bytes.contains(";note;completed;\"'=1+2\";;")) << bytes.constData();

    // The limit of a shell's "ulimit -f" (1 KiB blocks); vtr8ctl used to die of SIGXFSZ.
    QProcess limited;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("limited")));
    limited.setProcessEnvironment(env);
    limited.start(QStringLiteral("bash"),
                  {QStringLiteral("-c"), QStringLiteral("ulimit -f 8; exec \"$0\" \"$@\""),
                   QStringLiteral(VTR8CTL_EXECUTABLE), QStringLiteral("--history"),
                   dir.filePath(QStringLiteral("limited.sqlite")), QStringLiteral("--port"),
                   sim.devicePath(), QStringLiteral("--yes"), QStringLiteral("note"),
                   QStringLiteral("write"), QStringLiteral("omezeno")});
    const CtlOutcome outcome = finish(limited);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err.count(QStringLiteral("Do historie převodů")), 1)
        << outcome.err.toStdString();
}

TEST_F(CliHistory, ReportOfACommissioningShowsNoteConfigurationVerdictAndReadings)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftotext.isEmpty() || pdftoppm.isEmpty())
        GTEST_SKIP() << "poppler-utils not installed";
    SimProcess sim({QStringLiteral("--input"), QStringLiteral("20")});
    ASSERT_TRUE(sim.start());
    EXPECT_EQ(ctl(on(sim, {"--yes", "note", "write", "Kotel 9"})).exitCode, 0);
    EXPECT_EQ(ctl(on(sim, {"--yes", "write", config})).exitCode, 0);
    const CtlOutcome check = ctl(on(sim, {"--yes", "check", "--at", "0,50,100"}));
    ASSERT_EQ(check.exitCode, 0) << check.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(check.out),
              QStringLiteral("vstup -50.000 °C: údaj 20.000 °C, odchylka 70.000 °C (35.000 % "
                             "rozpětí)\n"
                             "vstup 50.000 °C: údaj 20.000 °C, odchylka -30.000 °C (-15.000 % "
                             "rozpětí)\n"
                             "vstup 150.000 °C: údaj 20.000 °C, odchylka -130.000 °C (-65.000 % "
                             "rozpětí)\n"));
    const QString pdf = dir.filePath(QStringLiteral("protokol.pdf"));
    const CtlOutcome report = ctl(on(sim, {"report", pdf}));
    ASSERT_EQ(report.exitCode, 0) << report.err.toStdString();

    QProcess text;
    text.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString shown = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* expected : {"Kotel 9", "odporový teploměr Pt100", "-50", "150", "VYHOVUJE",
                                 "20.000", "-130.000", "-65.000", "Podpis", "0d f9"})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                 << shown.toStdString();

    QProcess render;
    render.start(pdftoppm,
                 {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-png"),
                  QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("page"))});
    ASSERT_TRUE(render.waitForFinished(30000));
    const QImage page(dir.filePath(QStringLiteral("page.png")));
    ASSERT_FALSE(page.isNull());
    int dark = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            dark += qGray(page.pixel(x, y)) < 128;
    EXPECT_GT(dark, page.width() * page.height() / 100);
}

} // namespace
