#include "link/comm_port_driver.h"

#include "link/port_mapping.h"

#include <algorithm>

namespace vtr8 {

TCommPortDriver::TCommPortDriver(QObject* parent) : QObject(parent)
{
    receiveBuffer_.assign(BufferSize, 0);
    connect(&pollTimer_, &QTimer::timeout, this, [this] { ReceiveOnce(); });
    attachPort();
}

TCommPortDriver::~TCommPortDriver()
{
    ClosePort();
}

bool TCommPortDriver::OpenPort()
{
    if (IsPortOpen())
        return true;
    openProblem_ = OpenProblem::Other;
    // An item mapped to a name that is no port names nothing.
    if (portSystemName().isEmpty()) {
        openProblem_ = OpenProblem::Missing;
        return false;
    }
    // A terminal that is no serial line would show the frames on a screen.
    if (IsTerminalNotSerialPort(portSystemName()) || !openPort())
        return false;
    pollTimer_.start(pollingDelay_);
    return true;
}

void TCommPortDriver::setReceiveHandler(ReceiveHandler handler)
{
    handler_ = std::move(handler);
}

void TCommPortDriver::prepare(int portIndex, const QString& devicePath)
{
    if (IsPortOpen())
        return;
    portIndex_ = portIndex;
    devicePath_ = devicePath;
}

QString TCommPortDriver::portSystemName() const
{
    return devicePath_.isEmpty() ? ComPortSystemName(portIndex_) : devicePath_;
}

QString TCommPortDriver::portDisplayName() const
{
    if (!devicePath_.isEmpty())
        return devicePath_;
    const QString item = ComPortItemText(portIndex_);
    const QString system = ComPortSystemName(portIndex_);
    return system == item ? item : QStringLiteral("%1 (%2)").arg(item, system);
}

void TCommPortDriver::setPollingDelay(int ms)
{
    const int value = std::clamp(ms, 1, 65535);
    if (value == pollingDelay_)
        return;
    pollingDelay_ = value;
    if (IsPortOpen())
        pollTimer_.start(pollingDelay_);
}

void TCommPortDriver::deliver(int n)
{
    if (handler_)
        handler_(receiveBuffer_.data(), n);
}

void TCommPortDriver::onReadyRead()
{
    // The same path as the timer: whoever comes first takes the bytes, the
    // other finds nothing and raises nothing. More than one receive buffer
    // may be waiting; no further notification comes for what is left.
    if (!receiveOnArrival_)
        return;
    while (ReceiveOnce()) {
    }
}

} // namespace vtr8
