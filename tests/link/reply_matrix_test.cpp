// Every vtr8ctl command that reads, against vtr8-sim with replies that come late, copies of
// earlier replies and stale replies, at the line's pace and unpaced: the command prints what
// the transmitter holds, or fails with a communication error, never anything else.
#include "support/core_application.h"
#include "support/sim_process.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using vtr8::test::SimProcess;

struct CtlRun {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

CtlRun ctl(const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess p;
    p.setProcessEnvironment(environment);
    p.start(QStringLiteral(VTR8CTL_EXECUTABLE), arguments);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    CtlRun r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString Example(const char* name)
{
    return QStringLiteral(VTR8_EXAMPLES_DIR "/") + QString::fromUtf8(name);
}

// A transmitter holding a configuration, a note of four different blocks and both
// comparators, as an EEPROM image.
class Image {
public:
    static const Image& get()
    {
        static Image image;
        return image;
    }
    QString path() const { return folder_.filePath(QStringLiteral("eeprom.bin")); }

private:
    Image()
    {
        SimProcess sim({QStringLiteral("--dump"), path()});
        EXPECT_TRUE(sim.start());
        const QStringList port = {QStringLiteral("--port"), sim.devicePath(),
                                  QStringLiteral("--yes")};
        const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        EXPECT_EQ(ctl(port + QStringList{"write", Example("pt100-linearized.txt")}, env).exitCode,
                  0);
        EXPECT_EQ(ctl(port + QStringList{"note", "write",
                                         "AAAAAAAAAAAAAAABBBBBBBBBBBBBBBCCCCCCCCCCCCCCCDDDDDDDDDDDD"
                                         "DDD"},
                      env)
                      .exitCode,
                  0);
        for (const char* n : {"1", "2"})
            EXPECT_EQ(
                ctl(port + QStringList{"comparator", n, "write", "--on", n[0] == '1' ? "40" : "45",
                                       "--off", "50", "--on-delay", "1", "--off-delay", "2",
                                       "--mode", "HYSTEREZE", "--enable"},
                    env)
                    .exitCode,
                0);
        EXPECT_TRUE(sim.stop());
    }
    QTemporaryDir folder_;
};

struct Cell {
    const char* name;
    QStringList arguments; // FILE stands for a file of the run
};

const Cell Commands[] = {
    {"read", {"read", "--utf8"}},
    {"note_read", {"note", "read"}},
    {"comparator_read", {"comparator", "2", "read"}},
    {"backup", {"backup", "FILE"}},
    {"verify", {"verify", VTR8_EXAMPLES_DIR "/pt100-linearized.txt"}},
    {"write_verify", {"--yes", "write", VTR8_EXAMPLES_DIR "/pt100-linearized.txt", "--verify"}},
    {"find", {"find"}},
};

struct Fault {
    const char* name;
    QStringList rules;
};

// A reply after its time-out (it lands on the repeat); a copy of the previous reply before
// each answer; copies of earlier replies landing in later exchanges.
const Fault Faults[] = {
    {"late", {"slow=1200@3"}},
    {"duplicate", {"duplicate"}},
    {"stale", {"late=300@2-4"}},
};

class ReplyMatrix : public ::testing::TestWithParam<std::tuple<int, bool>> {
protected:
    void SetUp() override { vtr8::test::EnsureCoreApplication(); }

    // The command against a simulator with `rules`; what it printed, the backup's bytes after
    // its output.
    CtlRun run(const Cell& cell, const QStringList& rules, bool paced, bool warm = false)
    {
        QStringList simArguments = {QStringLiteral("--load"), Image::get().path()};
        if (paced)
            simArguments << QStringLiteral("--pace");
        for (const QString& rule : rules)
            simArguments << QStringLiteral("--fault") << rule;
        SimProcess sim(simArguments);
        EXPECT_TRUE(sim.start());
        QTemporaryDir folder;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        QStringList arguments;
        if (QLatin1String(cell.name) == QLatin1String("find")) {
            // The first of the eight ports is the simulator, the others are not there.
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.path());
            for (int n = 2; n <= 8; ++n)
                env.insert(QStringLiteral("VTR8_COM%1").arg(n),
                           QStringLiteral("/nonexistent/vtr8-port%1").arg(n));
            env.insert(QStringLiteral("VTR8_COM1"), sim.devicePath());
        } else {
            arguments = {QStringLiteral("--port"), sim.devicePath()};
        }
        const QString file = folder.filePath(QStringLiteral("backup.bin"));
        for (const QString& a : cell.arguments)
            arguments << (a == QLatin1String("FILE") ? file : a);
        // The transmitter's previous reply went to an earlier run: its copy is the first
        // thing this run sees.
        if (warm)
            ctl({QStringLiteral("--port"), sim.devicePath(), QStringLiteral("note"),
                 QStringLiteral("read")},
                env);
        CtlRun r = ctl(arguments, env);
        QFile backup(file);
        if (backup.open(QIODevice::ReadOnly))
            r.out += backup.readAll();
        if (QLatin1String(cell.name) == QLatin1String("find"))
            r.out.replace(sim.devicePath().toUtf8(), "DEVICE");
        EXPECT_TRUE(sim.stop());
        return r;
    }
};

TEST_P(ReplyMatrix, NoOtherDataWithSuccess)
{
    const auto [index, paced] = GetParam();
    const Cell& cell = Commands[index];
    const CtlRun right = run(cell, {}, false);
    ASSERT_EQ(right.exitCode, 0) << right.err.toStdString();
    ASSERT_FALSE(right.out.isEmpty() && QLatin1String(cell.name) != QLatin1String("write_verify"));
    for (const Fault& fault : Faults) {
        SCOPED_TRACE(fault.name);
        const CtlRun r = run(cell, fault.rules, paced, QLatin1String(fault.name) == "duplicate");
        if (r.exitCode == 0) {
            EXPECT_EQ(r.out, right.out);
        } else {
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(r.err.contains(QStringLiteral("Chyba komunikace"))) << r.err.toStdString();
        }
    }
}

// The identification read answered, every read of the note unanswered.
TEST(FindCommand, ANoteThatCouldNotBeReadIsSaidSo)
{
    vtr8::test::EnsureCoreApplication();
    SimProcess sim({QStringLiteral("--fault"), QStringLiteral("no-reply@2-")});
    ASSERT_TRUE(sim.start());
    QTemporaryDir folder;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.path());
    for (int n = 2; n <= 8; ++n)
        env.insert(QStringLiteral("VTR8_COM%1").arg(n),
                   QStringLiteral("/nonexistent/port%1").arg(n));
    env.insert(QStringLiteral("VTR8_COM1"), sim.devicePath());
    const CtlRun r = ctl({QStringLiteral("find")}, env);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("COM1: převodník VTR8, firmware 14, poznámku nelze "
                                              "přečíst\n")))
        << r.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryCommandThatReads, ReplyMatrix,
                         ::testing::Combine(::testing::Range(0, int(std::size(Commands))),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(Commands[std::get<0>(info.param)].name) +
                                    (std::get<1>(info.param) ? "_paced" : "_unpaced");
                         });

} // namespace
