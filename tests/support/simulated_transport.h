#pragma once

#include "link/command_protocol.h"
#include "link/link_timing.h"
#include "link/link_transport.h"
#include "sim/transmitter.h"
#include "user_interface/scripted_user_interface.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

#include <array>
#include <vector>

namespace vtr8::test {

// An in-process simulated transmitter where the serial port would be. Written
// requests go straight into a sim::Transmitter; its replies wait out their
// delay and are handed over by a polling timer, like the serial driver does.
class SimulatedTransport : public QObject, public LinkTransport {
public:
    explicit SimulatedTransport(const sim::SimOptions& options = {});

    sim::Transmitter& transmitter() { return transmitter_; }

    // Which port items exist (all eight by default). Explicit device paths
    // open unless they are listed in missingPaths.
    std::array<bool, 8> portExists{true, true, true, true, true, true, true, true};
    QList<QString> missingPaths;
    // WriteData transfers nothing (a dead port).
    bool writeFails = false;

    // What happened, for the tests.
    int openCount = 0;
    int lastPortIndex = -1;
    QString lastDevicePath;
    bool dtr = false;
    bool rts = false;
    QList<QByteArray> writes;

    void setReceiveHandler(ReceiveHandler handler) override { handler_ = std::move(handler); }
    void prepare(int portIndex, const QString& devicePath) override;
    QString portDisplayName() const override;
    bool OpenPort() override;
    void ClosePort() override;
    bool IsPortOpen() const override { return open_; }
    void SetDtr(bool on) override;
    void SetRts(bool on) override;
    int WriteData(const std::uint8_t* data, int count) override;
    void setPollingDelay(int ms) override;

private:
    void poll();

    sim::Transmitter transmitter_;
    ReceiveHandler handler_;
    QTimer pollTimer_;
    QByteArray received_;
    bool open_ = false;
    int preparedIndex_ = 0;
    QString preparedPath_;
    int generation_ = 0; // replies scheduled before a close are lost with it
};

// A failure as the link's tests compare it: its kind, and the port where one is named
// ("NoReply COM1", "PortOpen COM3"); an abandon gives its own words. The texts the person
// sees are made above the link.
QString FailureName(const LinkFailure& failure);
// Puts every failure `protocol` reports into `ui`'s messages by FailureName.
void RecordFailures(CommandProtocol& protocol, ScriptedUserInterface& ui);

// Short pauses and time-outs so the suites stay fast.
LinkTiming FastTiming();
// FastTiming for tests in which no reply is meant to go missing: a loaded machine (both
// cores busy, sanitizers) must not turn a late reply into a communication error.
LinkTiming SteadyTiming();

// A command protocol wired to an in-process simulated transmitter and a
// scripted user interface.
struct SimulatedLink {
    explicit SimulatedLink(const sim::SimOptions& options = {},
                           const LinkTiming& timing = FastTiming());
    ScriptedUserInterface ui;
    SimulatedTransport transport;
    CommandProtocol protocol;

    sim::Transmitter& transmitter() { return transport.transmitter(); }
    // Commands the transmitter received, as (command number, data bytes).
    std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>> commands() const;
};

} // namespace vtr8::test
