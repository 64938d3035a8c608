// Writes a linearized Pt100 configuration to vtr8-sim over a pty with the simulator pacing its
// reply bytes like a 2400 baud line, and compares the wall time with what the line itself
// needs: every request and reply byte at 11 bits, plus the pauses the link and the front end
// must wait.

#include "link/command_protocol.h"
#include "model/main_window_model.h"
#include "linearization/point_set.h"
#include "user_interface/scripted_user_interface.h"
#include "support/sim_process.h"
#include "transfer/transfer_context.h"
#include "linearization/workspace.h"
#include "transfer/write_configuration.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <sys/resource.h>

#include <algorithm>
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
    CommandProtocol link(ui);
    link.setDevicePath(sim.devicePath());
    MainWindowModel model(ui, points);
    TransferContext ctx(model, link, ui, points, workspace);

    long requestBytes = 0;
    long replyBytes = 0;
    int attempts = 0;
    // Per attempt, the request goes out during the send pause on a real line, so the line
    // cannot be faster than settle + max(send pause, request) + reply.
    double overlappedSeconds = 0;
    link.setFrameObserver([&](bool outgoing, const QByteArray& bytes) {
        const LinkTiming& t = link.timing();
        if (outgoing) {
            requestBytes += bytes.size();
            ++attempts;
            overlappedSeconds += t.settleMs / 1000.0 +
                                 std::max(t.sendPauseMs / 1000.0, bytes.size() * SecondsPerByte);
        } else {
            replyBytes += bytes.size();
            overlappedSeconds += bytes.size() * SecondsPerByte;
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
    QElapsedTimer clock;
    clock.start();
    const bool written = WriteConfiguration(ctx);
    const double wall = clock.elapsed() / 1000.0;
    const double cpu = cpuSeconds() - cpuBefore;
    link.closePort();
    sim.stop();

    if (!written) {
        std::fprintf(stderr, "write failed: %s\n", ui.messages.join('|').toUtf8().constData());
        return 1;
    }
    const LinkTiming timing = link.timing();
    const double settle = WriteTiming{}.frontEndSettleMs / 1000.0;
    const double pauses = attempts * (timing.settleMs + timing.sendPauseMs) / 1000.0 + settle;
    const double wire = (requestBytes + replyBytes) * SecondsPerByte + pauses;
    const double overlapped = overlappedSeconds + settle;
    std::printf("full Pt100 write, vtr8-sim paced at 2400 baud over a pty\n");
    std::printf("  commands (attempts)     %d\n", attempts);
    std::printf("  request / reply bytes   %ld / %ld\n", requestBytes, replyBytes);
    std::printf("  wall time               %.3f s\n", wall);
    std::printf("  wire-time lower bound   %.3f s (bytes %.3f s + pauses %.3f s)\n", wire,
                (requestBytes + replyBytes) * SecondsPerByte, pauses);
    std::printf("  ratio wall / bound      %.3f\n", wall / wire);
    std::printf("  bound with each request sent during its 40 ms pause %.3f s, ratio %.3f\n",
                overlapped, wall / overlapped);
    std::printf("  CPU time of the program %.3f s (%.1f %% of the wall time)\n", cpu,
                100.0 * cpu / wall);
    return 0;
}
