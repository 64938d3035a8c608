// vtr8ctl batch against vtr8-sim executables: a commissioned row leaves the memory a plain write
// and note write leave, and the history tells any computer which rows are done.
#include "support/core_application.h"
#include "support/sim_process.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using vtr8::test::SimProcess;

struct CtlRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CtlRun vtr8ctl(const QStringList& arguments)
{
    QProcess p;
    p.start(QStringLiteral(VTR8CTL_EXECUTABLE), arguments);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(120000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QString example(const char* name)
{
    return QStringLiteral(VTR8_EXAMPLES_DIR "/") + QString::fromUtf8(name);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// The memory a simulator holds after `runs`, each given the simulator's port first.
QByteArray memoryAfter(const QString& dump, const std::vector<QStringList>& runs)
{
    SimProcess sim({QStringLiteral("--dump"), dump});
    EXPECT_TRUE(sim.start());
    for (const QStringList& run : runs) {
        const CtlRun r = vtr8ctl(QStringList{"--port", sim.devicePath(), "--yes"} + run);
        EXPECT_EQ(r.exitCode, 0) << run.join(' ').toStdString() << '\n' << r.err.toStdString();
    }
    EXPECT_TRUE(sim.stop());
    return readAll(dump);
}

// "address: batch plain" for every byte that differs.
std::string differences(const QByteArray& a, const QByteArray& b)
{
    std::string out;
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            out += QStringLiteral("%1: %2 %3\n")
                       .arg(i)
                       .arg(quint8(a[i]), 2, 16, QLatin1Char('0'))
                       .arg(quint8(b[i]), 2, 16, QLatin1Char('0'))
                       .toStdString();
    return out;
}

class Vtr8ctlBatch : public ::testing::Test {
protected:
    void SetUp() override { vtr8::test::EnsureCoreApplication(); }
    QTemporaryDir dir;
    QString history() const { return dir.filePath(QStringLiteral("history.sqlite")); }
    QStringList status(const QString& list)
    {
        const CtlRun r = vtr8ctl({"--history", history(), "batch", list, "--status"});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (QString& line : lines) // the time of a done row varies
            if (line.contains(QStringLiteral("\thotovo\t")))
                line = line.section(QLatin1Char('\t'), 0, 1);
        return lines;
    }
};

TEST_F(Vtr8ctlBatch, ACommissionedRowHoldsWhatAPlainWriteAndNoteWriteHold)
{
    const QString list = example("instrument-list.csv");
    // The first row also switches comparator 1 on.
    const QStringList comparator{"--no-history", "comparator", "1",      "write",      "--on",
                                 "120",          "--off",      "110",    "--on-delay", "2",
                                 "--off-delay",  "2",          "--mode", "HYSTEREZE",  "--enable"};
    const struct {
        const char* tag;
        const char* file;
        QStringList comparator;
    } rows[] = {{"TT-101", "pt100-linearized.txt", comparator},
                {"TT-102", "thermocouple-k-near-cold-junction.txt", {}},
                {"PT-301", "voltage-divider.txt", {}}};
    const QString protocols = dir.filePath(QStringLiteral("protokoly"));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.tag);
        const QByteArray batch = memoryAfter(
            dir.filePath(QStringLiteral("batch.bin")),
            {{"--history", history(), "batch", list, "--tag", row.tag, "--protocols", protocols}});
        std::vector<QStringList> plainRuns{{"--no-history", "write", example(row.file)},
                                           {"--no-history", "note", "write", row.tag}};
        if (!row.comparator.isEmpty())
            plainRuns.push_back(row.comparator);
        const QByteArray plain = memoryAfter(dir.filePath(QStringLiteral("plain.bin")), plainRuns);
        ASSERT_EQ(batch.size(), 2048);
        EXPECT_TRUE(batch == plain) << differences(batch, plain);
        EXPECT_GT(QFileInfo(QDir(protocols).filePath(QString::fromUtf8(row.tag) + ".pdf")).size(),
                  0);
    }
    EXPECT_EQ(status(list),
              (QStringList{"TT-101\thotovo", "TT-102\thotovo", "PT-301\thotovo", "FT-201\tčeká"}));
}

// A batch broken off by a transmitter that stops answering goes on from the history: the
// failed row is told with its reason, and --next takes it up again, then the next pending row.
TEST_F(Vtr8ctlBatch, StatusAfterAnInterruptionAndNext)
{
    const QString list = dir.filePath(QStringLiteral("seznam.csv"));
    QFile f(list);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("tag,vstup,doln\xED mez,horn\xED mez,linearizace,tlumen\xED,chybov\xFD proud,"
            "p\xF8ipojen\xED \xE8idla\r\n"
            "R-1,reostat,0,100,nelinearizov\xE1no,1,nadproud,dvouvodi\xE8ov\xEC\r\n"
            "R-2,reostat,0,200,nelinearizov\xE1no,1,nadproud,dvouvodi\xE8ov\xEC\r\n"
            "R-3,reostat,0,300,nelinearizov\xE1no,1,nadproud,dvouvodi\xE8ov\xEC\r\n");
    f.close();
    const QStringList base{"--history", history(), "--yes", "batch", list};

    SimProcess good;
    ASSERT_TRUE(good.start());
    CtlRun r = vtr8ctl(QStringList{"--port", good.devicePath()} + base + QStringList{"--next"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("R-1: hotovo\n"))) << r.out.toStdString();

    SimProcess silent({QStringLiteral("--fault"), QStringLiteral("no-reply@3-")});
    ASSERT_TRUE(silent.start());
    r = vtr8ctl(QStringList{"--port", silent.devicePath()} + base + QStringList{"--next"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("R-2: nedokončeno\n"))) << r.out.toStdString();
    const QStringList broken = status(list);
    ASSERT_EQ(broken.size(), 3);
    EXPECT_EQ(broken[0], QStringLiteral("R-1\thotovo"));
    // Why: the messages the failed run showed (after its question).
    QStringList shown = r.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(shown.size(), 2);
    EXPECT_EQ(shown.takeFirst(), QStringLiteral("Opravdu se má zapsat konfigurace ? ano"));
    EXPECT_EQ(broken[1], QStringLiteral("R-2\tselhalo\t") + shown.join(QLatin1Char(' ')));
    EXPECT_EQ(broken[2], QStringLiteral("R-3\tčeká"));

    for (const char* tag : {"R-2", "R-3"}) {
        r = vtr8ctl(QStringList{"--port", good.devicePath()} + base + QStringList{"--next"});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith(QString::fromUtf8(tag) + QStringLiteral(": ")))
            << r.out.toStdString();
    }
    EXPECT_EQ(status(list), (QStringList{"R-1\thotovo", "R-2\thotovo", "R-3\thotovo"}));
    r = vtr8ctl(QStringList{"--port", good.devicePath()} + base + QStringList{"--next"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("V seznamu už není žádný řádek k uvedení do provozu.\n"));
}

TEST_F(Vtr8ctlBatch, CheckNamesTheBadRowsAndUsageIsTwo)
{
    CtlRun r = vtr8ctl({"batch", example("instrument-list.csv"), "--check"});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    const QString list = dir.filePath(QStringLiteral("zly.csv"));
    QFile f(list);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("tag;vstup;dolní mez;horní mez;linearizace;tlumení;chybový proud\n"
                           "U-1;napětí;0;1;nelinearizováno;200;nadproud\n")
                .toUtf8());
    f.close();
    r = vtr8ctl({"batch", list, "--check"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, QStringLiteral("řádek 2, U-1, sloupec „tlumení“: Povolená mez pro konstantu "
                                    "tlumení je 0.1 až 100 s\n"));
    for (const QStringList& wrong :
         {QStringList{"batch", list}, QStringList{"batch", list, "--check", "--status"},
          QStringList{"batch", list, "--status", "--protocols", "p"}})
        EXPECT_EQ(vtr8ctl(wrong).exitCode, 2) << wrong.join(' ').toStdString();
}

} // namespace
