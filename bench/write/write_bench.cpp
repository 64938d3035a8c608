// Writes a linearized Pt100 configuration to vtr8-sim over a pty with the simulator pacing both
// directions like a 2400 baud line, and compares the wall time with what the line itself needs:
// every request and reply byte (preambles included) at 11 bits, the 20 ms settle before each
// attempt and the front end's settle pause. The 40 ms pause after sending is not counted: the
// request is still on the line while it runs.

#include "linearization/point_set.h"
#include "linearization/workspace.h"
#include "link/command_protocol.h"
#include "model/main_window_model.h"
#include "support/sim_process.h"
#include "transfer/link_failure_report.h"
#include "transfer/transfer_context.h"
#include "transfer/write_configuration.h"
#include "user_interface/scripted_user_interface.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <sys/resource.h>

#include <cstdio>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

constexpr double SecondsPerByte = 11.0 / 2400.0; // start, 8 data, parity, stop

} // namespace

int main(int argc, char** argv)
{
    using namespace vtr8;
    QCoreApplication app(argc, argv);

    test::SimProcess sim({QStringLiteral("--pace")});
    if (!sim.start()) {
        std::fprintf(stderr, "vtr8-sim did not start\n");
        return 1;
    }

    ScriptedUserInterface ui;
    LinearizationPoints points;
    LinearizationWorkspace workspace(points);
    CommandProtocol link;
    ReportLinkFailures(link, ui);
    link.session().setDevicePath(sim.devicePath());
    MainWindowModel model(ui, points);
    TransferContext ctx(link, ui, points, workspace);

    long requestBytes = 0;
    long replyBytes = 0;
    int attempts = 0;
    // Where the time beyond the line goes: from sending a request to the end of its reply, and
    // from the end of one attempt to the next request.
    QElapsedTimer clock;
    double sentAt = -1;
    double endedAt = -1;
    qsizetype lastRequest = 0;
    double exchangeOver = 0;
    double betweenOver = 0;
    link.setFrameObserver([&](bool outgoing, const QByteArray& bytes) {
        const double now = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        if (outgoing) {
            requestBytes += bytes.size();
            ++attempts;
            if (endedAt >= 0)
                betweenOver += now - endedAt - link.timing().settleMs / 1000.0;
            sentAt = now;
            lastRequest = bytes.size();
        } else {
            replyBytes += bytes.size();
            exchangeOver +=
                now - sentAt - static_cast<double>(lastRequest + bytes.size()) * SecondsPerByte;
            endedAt = now;
        }
    });

    const std::pair<const char*, const char*> fields[] = {
        {"Vstup", "odporový teploměr Pt100"},
        {"PripCidl", "čtyřvodičově"},
        {"Linearizace", "linearizováno"},
        {"Pocatek", "-50"},
        {"Konec", "150"},
        {"Tlumeni", "1"},
        {"ChybProud", "nadproud"},
    };
    for (const auto& [name, value] : fields)
        model.userEdit(*model.control(QString::fromUtf8(name)), QString::fromUtf8(value));
    model.PocatekExit();
    model.KonecExit();
    model.TlumeniExit();
    ui.confirmAnswers = {true};

    const double cpuBefore = cpuSeconds();
    clock.start();
    const auto configuration = model.configurationForTransfer();
    const bool written = configuration && WriteConfiguration(ctx, *configuration);
    const double wall = clock.elapsed() / 1000.0;
    const double cpu = cpuSeconds() - cpuBefore;
    link.closePort();
    sim.stop();

    if (!written) {
        std::fprintf(stderr, "write failed: %s\n", ui.messages.join('|').toUtf8().constData());
        return 1;
    }
    const double settle = link.timing().settleMs / 1000.0;
    const double frontEnd = WriteTiming{}.frontEndSettleMs / 1000.0;
    const double bytesTime = static_cast<double>(requestBytes + replyBytes) * SecondsPerByte;
    const double bound = bytesTime + attempts * settle + frontEnd;
    std::printf("full Pt100 write, vtr8-sim paced at 2400 baud both ways over a pty\n");
    std::printf("  commands (attempts)     %d\n", attempts);
    std::printf("  request / reply bytes   %ld / %ld\n", requestBytes, replyBytes);
    std::printf("  wall time               %.3f s\n", wall);
    std::printf(
        "  line-time bound         %.3f s (bytes %.3f s + settles %.3f s + front end %.3f s)\n",
        bound, bytesTime, attempts * settle, frontEnd);
    std::printf("  ratio wall / bound      %.3f\n", wall / bound);
    std::printf("  beyond the line: %.3f s from request to reply end, %.3f s between attempts "
                "(front end excluded)\n",
                exchangeOver, betweenOver - frontEnd);
    std::printf("  CPU time of the program %.3f s (%.1f %% of the wall time)\n", cpu,
                100.0 * cpu / wall);
    return 0;
}
