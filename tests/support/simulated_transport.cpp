#include "support/simulated_transport.h"

#include "link/port_mapping.h"

namespace vtr8::test {

SimulatedTransport::SimulatedTransport(const sim::SimOptions& options) : transmitter_(options)
{
    pollTimer_.setInterval(50);
    connect(&pollTimer_, &QTimer::timeout, this, [this] { poll(); });
}

void SimulatedTransport::prepare(int portIndex, const QString& devicePath)
{
    if (open_)
        return;
    preparedIndex_ = portIndex;
    preparedPath_ = devicePath;
}

QString SimulatedTransport::portDisplayName() const
{
    return preparedPath_.isEmpty() ? ComPortItemText(preparedIndex_) : preparedPath_;
}

bool SimulatedTransport::OpenPort()
{
    if (open_)
        return true;
    lastPortIndex = preparedIndex_;
    lastDevicePath = preparedPath_;
    const bool exists = preparedPath_.isEmpty()
                            ? preparedIndex_ >= 0 && preparedIndex_ < 8 &&
                                  portExists[static_cast<std::size_t>(preparedIndex_)]
                            : !missingPaths.contains(preparedPath_);
    if (!exists)
        return false;
    ++openCount;
    open_ = true;
    received_.clear();
    dtr = true; // the line settings raise DTR
    rts = false;
    pollTimer_.start();
    return true;
}

void SimulatedTransport::ClosePort()
{
    pollTimer_.stop();
    open_ = false;
    ++generation_;
    received_.clear();
}

void SimulatedTransport::SetDtr(bool on)
{
    if (open_)
        dtr = on;
}

void SimulatedTransport::SetRts(bool on)
{
    if (open_)
        rts = on;
}

int SimulatedTransport::WriteData(const std::uint8_t* data, int count)
{
    if (!open_ || writeFails)
        return 0;
    writes.append(QByteArray(reinterpret_cast<const char*>(data), count));
    const auto responses = transmitter_.feed({data, static_cast<std::size_t>(count)});
    for (const sim::Response& response : responses) {
        const QByteArray bytes(reinterpret_cast<const char*>(response.bytes.data()),
                               static_cast<qsizetype>(response.bytes.size()));
        const int generation = generation_;
        auto arrive = [this, bytes, generation] {
            if (generation == generation_ && open_)
                received_.append(bytes);
        };
        if (response.delayMs > 0)
            QTimer::singleShot(response.delayMs, this, arrive);
        else
            arrive();
    }
    return count;
}

void SimulatedTransport::setPollingDelay(int ms)
{
    pollTimer_.setInterval(ms);
}

void SimulatedTransport::poll()
{
    if (received_.isEmpty() || !handler_)
        return;
    const QByteArray chunk = received_;
    received_.clear();
    handler_(reinterpret_cast<const std::uint8_t*>(chunk.constData()),
             static_cast<int>(chunk.size()));
}

QString FailureName(const LinkFailure& failure)
{
    static const char* const names[] = {"None",     "PortMissing",   "PortInUse",    "PortDenied",
                                        "PortOpen", "NotSerialPort", "LockUnusable", "PortWrite",
                                        "NoReply",  "Communication", "Busy",         "Abandoned"};
    if (failure.error == LinkError::Abandoned)
        return failure.detail;
    const QString name = QString::fromLatin1(names[static_cast<int>(failure.error)]);
    switch (failure.error) {
    case LinkError::PortMissing:
    case LinkError::PortOpen:
    case LinkError::PortInUse:
    case LinkError::NoReply:
        return name + QLatin1Char(' ') + failure.portName;
    default:
        return name;
    }
}

void RecordFailures(CommandProtocol& protocol, ScriptedUserInterface& ui)
{
    protocol.setFailureReporter([&ui](const LinkFailure& f) { ui.message(FailureName(f)); });
}

LinkTiming FastTiming()
{
    LinkTiming timing;
    timing.settleMs = 0;
    timing.sendPauseMs = 0;
    timing.replyTimeoutMs = 150;
    timing.pollMs = 2;
    timing.answerGuardMs = 3;
    timing.drainQuietMs = 30;
    return timing;
}

LinkTiming SteadyTiming()
{
    LinkTiming timing = FastTiming();
    timing.replyTimeoutMs = 2000;
    return timing;
}

SimulatedLink::SimulatedLink(const sim::SimOptions& options, const LinkTiming& timing)
    : transport(options)
{
    RecordFailures(protocol, ui);
    protocol.setTransport(&transport);
    protocol.setTiming(timing);
}

std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>> SimulatedLink::commands() const
{
    std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>> result;
    for (const auto& r : const_cast<SimulatedTransport&>(transport).transmitter().requests())
        result.emplace_back(r.command, r.data);
    return result;
}

} // namespace vtr8::test
