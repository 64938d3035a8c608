// Runs the long transfers of vtr8ctl (write, write --verify, read, verify, backup) against
// vtr8-sim pacing both directions like a 2400 baud line, and prints each one's time against
// what the line itself needs: every request and reply byte at 11 bits, the 20 ms settle before
// each attempt and, for a write, the front end's settle pause. The time runs from the first
// request to the end of the last attempt, as vtr8ctl's --trace stamps them; the program's start
// and end are not counted. Exit 1 when a transfer fails or a ratio exceeds --limit (default
// 1.05); --only NAME runs one of them.

#include "link/link_timing.h"
#include "support/sim_process.h"
#include "transfer/write_configuration.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTime>

#include <cstdio>

namespace {

constexpr double SecondsPerByte = 11.0 / 2400.0; // start, 8 data, parity, stop

struct Transfer {
    const char* name;
    QStringList arguments;
    bool writes;
};

struct Measured {
    bool ok = false;
    int attempts = 0;
    long bytes = 0;
    double wall = 0;
    double bound = 0;
};

Measured run(const QString& device, const Transfer& transfer)
{
    QProcess ctl;
    ctl.start(QStringLiteral(VTR8CTL_EXECUTABLE),
              QStringList{QStringLiteral("--port"), device, QStringLiteral("--yes"),
                          QStringLiteral("--trace")} +
                  transfer.arguments);
    ctl.closeWriteChannel();
    Measured m;
    if (!ctl.waitForFinished(600000) || ctl.exitStatus() != QProcess::NormalExit ||
        ctl.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", transfer.name,
                     ctl.readAllStandardError().right(400).constData());
        return m;
    }
    const QString trace = QString::fromUtf8(ctl.readAllStandardError());
    static const QRegularExpression line(
        QStringLiteral("^(\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d) (->|<-) ([0-9A-F ]+)$"),
        QRegularExpression::MultilineOption);
    QTime first;
    QTime last;
    for (auto it = line.globalMatch(trace); it.hasNext();) {
        const auto match = it.next();
        const QTime at = QTime::fromString(match.captured(1), QStringLiteral("HH:mm:ss.zzz"));
        const bool outgoing = match.captured(2) == QLatin1String("->");
        if (outgoing)
            ++m.attempts;
        if (!first.isValid())
            first = at;
        last = at;
        m.bytes += (match.captured(3).size() + 1) / 3;
    }
    const double settle = vtr8::LinkTiming{}.settleMs / 1000.0;
    // The first request's own settle came before its stamp.
    m.wall = first.msecsTo(last) / 1000.0 + settle;
    m.bound = static_cast<double>(m.bytes) * SecondsPerByte + m.attempts * settle +
              (transfer.writes ? vtr8::WriteTiming{}.frontEndSettleMs / 1000.0 : 0.0);
    m.ok = m.attempts > 0;
    return m;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    double limit = 1.05;
    const QStringList args = app.arguments();
    if (const auto at = args.indexOf(QStringLiteral("--limit")); at > 0 && at + 1 < args.size())
        limit = args[at + 1].toDouble();
    QString only; // --only NAME: that transfer alone
    if (const auto at = args.indexOf(QStringLiteral("--only")); at > 0 && at + 1 < args.size())
        only = args[at + 1];

    QTemporaryDir folder;
    const QString config = QStringLiteral(VTR8_EXAMPLES_DIR "/pt100-linearized.txt");
    const Transfer transfers[] = {
        {"write", {QStringLiteral("write"), config}, true},
        {"write --verify", {QStringLiteral("write"), config, QStringLiteral("--verify")}, true},
        {"read", {QStringLiteral("read")}, false},
        {"verify", {QStringLiteral("verify"), config}, false},
        {"backup",
         {QStringLiteral("backup"), folder.filePath(QStringLiteral("memory.bin"))},
         false},
    };

    vtr8::test::SimProcess sim({QStringLiteral("--pace")});
    if (!sim.start()) {
        std::fprintf(stderr, "vtr8-sim did not start\n");
        return 1;
    }
    std::printf("vtr8ctl against vtr8-sim paced at 2400 baud both ways over a pty\n");
    std::printf("%-16s %8s %8s %9s %9s %7s\n", "transfer", "attempts", "bytes", "wall s", "bound s",
                "ratio");
    bool within = true;
    for (const Transfer& t : transfers) {
        if (!only.isEmpty() && only != QLatin1String(t.name))
            continue;
        const Measured m = run(sim.devicePath(), t);
        if (!m.ok) {
            within = false;
            continue;
        }
        const double ratio = m.wall / m.bound;
        within = within && ratio <= limit;
        std::printf("%-16s %8d %8ld %9.3f %9.3f %7.3f\n", t.name, m.attempts, m.bytes, m.wall,
                    m.bound, ratio);
        std::fflush(stdout);
    }
    sim.stop();
    return within ? 0 : 1;
}
