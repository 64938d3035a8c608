#include "link/comm_port_driver.h"

#include "link/port_mapping.h"

#include <QElapsedTimer>

#include <algorithm>

namespace vtr8 {

int BaudRateOf(TComPortBaudRate rate)
{
    static constexpr int Rates[] = {110,   300,   600,   1200,  2400,  4800,  9600,
                                    14400, 19200, 38400, 56000, 57600, 115200};
    return Rates[static_cast<int>(rate)];
}

namespace {

QSerialPort::Parity QtParity(TComPortParity parity)
{
    switch (parity) {
    case ptODD:
        return QSerialPort::OddParity;
    case ptEVEN:
        return QSerialPort::EvenParity;
    case ptMARK:
        return QSerialPort::MarkParity;
    case ptSPACE:
        return QSerialPort::SpaceParity;
    case ptNONE:
        break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits QtStopBits(TComPortStopBits stopBits)
{
    switch (stopBits) {
    case sb1HALFBITS:
        return QSerialPort::OneAndHalfStop;
    case sb2BITS:
        return QSerialPort::TwoStop;
    case sb1BITS:
        break;
    }
    return QSerialPort::OneStop;
}

} // namespace

TCommPortDriver::TCommPortDriver(QObject* parent) : QObject(parent)
{
    receiveBuffer_.assign(inBufSize_, 0);
    connect(&pollTimer_, &QTimer::timeout, this, &TCommPortDriver::PollReceive);
    connect(&port_, &QSerialPort::readyRead, this, &TCommPortDriver::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &TCommPortDriver::onError);
}

TCommPortDriver::~TCommPortDriver()
{
    ClosePort();
}

void TCommPortDriver::setComPort(TComPortNumber port)
{
    if (!IsPortOpen())
        comPort_ = port;
}

void TCommPortDriver::setDevicePath(const QString& path)
{
    if (!IsPortOpen())
        devicePath_ = path;
}

QString TCommPortDriver::portSystemName() const
{
    return devicePath_.isEmpty() ? ComPortSystemName(comPort_) : devicePath_;
}

void TCommPortDriver::setComPortSpeed(TComPortBaudRate value)
{
    speed_ = value;
    if (IsPortOpen())
        ApplyPortSettings();
}

void TCommPortDriver::setComPortDataBits(TComPortDataBits value)
{
    dataBits_ = value;
    if (IsPortOpen())
        ApplyPortSettings();
}

void TCommPortDriver::setComPortStopBits(TComPortStopBits value)
{
    stopBits_ = value;
    if (IsPortOpen())
        ApplyPortSettings();
}

void TCommPortDriver::setComPortParity(TComPortParity value)
{
    parity_ = value;
    if (IsPortOpen())
        ApplyPortSettings();
}

void TCommPortDriver::setComPortHwHandshaking(TComPortHwHandshaking value)
{
    hw_ = value;
    if (IsPortOpen())
        ApplyPortSettings();
}

void TCommPortDriver::setComPortSwHandshaking(TComPortSwHandshaking value)
{
    sw_ = value;
    if (IsPortOpen())
        ApplyPortSettings();
}

void TCommPortDriver::setComPortInBufSize(std::uint16_t value)
{
    if (IsPortOpen())
        return;
    inBufSize_ = value;
    receiveBuffer_.assign(value, 0);
}

void TCommPortDriver::setComPortOutBufSize(std::uint16_t value)
{
    if (IsPortOpen()) {
        outBufSize_ = value;
        ApplyPortSettings();
    }
}

void TCommPortDriver::setComPortPollingDelay(std::uint16_t value)
{
    if (value == pollingDelay_)
        return;
    pollingDelay_ = value;
    if (IsPortOpen()) {
        pollTimer_.stop();
        pollTimer_.start(pollingDelay_);
    }
}

// QSerialPort takes the line settings while closed and programs them on
// open(); a pty refuses some of them (parity) once it is open, so the open
// port is reprogrammed only when a setting really changes.
void TCommPortDriver::programLine()
{
    port_.setBaudRate(BaudRateOf(speed_));
    port_.setDataBits(static_cast<QSerialPort::DataBits>(5 + static_cast<int>(dataBits_)));
    port_.setParity(QtParity(parity_));
    port_.setStopBits(QtStopBits(stopBits_));
    if (hw_ == hhRTSCTS)
        port_.setFlowControl(QSerialPort::HardwareControl);
    else if (sw_ == shXONXOFF)
        port_.setFlowControl(QSerialPort::SoftwareControl);
    else
        port_.setFlowControl(QSerialPort::NoFlowControl);
    // A refusal here must not leave the port in an error state: the bytes
    // still flow.
    port_.clearError();
}

bool TCommPortDriver::OpenPort()
{
    if (IsPortOpen())
        return true;
    port_.setPortName(portSystemName());
    programLine();
    if (!port_.open(QIODevice::ReadWrite)) {
        port_.clearError();
        return false;
    }
    // Right after open, never after a write: clearing then would drop the
    // unsent frame.
    PurgeQueues(true, true);
    port_.setReadBufferSize(inBufSize_);
    // DTR follows EnableDTROnOpen, RTS stays low until SetRts raises it;
    // ptys and some adapters refuse both, which is harmless.
    if (port_.isDataTerminalReady() != enableDtrOnOpen_)
        port_.setDataTerminalReady(enableDtrOnOpen_);
    if (hw_ == hhNONE && port_.isRequestToSend())
        port_.setRequestToSend(false);
    port_.clearError();
    pollTimer_.start(pollingDelay_);
    return true;
}

void TCommPortDriver::ClosePort()
{
    pollTimer_.stop();
    if (port_.isOpen())
        port_.close();
    port_.clearError();
}

bool TCommPortDriver::IsPortOpen() const
{
    return port_.isOpen();
}

void TCommPortDriver::ApplyPortSettings()
{
    if (!IsPortOpen())
        return;
    if (port_.baudRate() != BaudRateOf(speed_))
        port_.setBaudRate(BaudRateOf(speed_));
    const auto dataBits = static_cast<QSerialPort::DataBits>(5 + static_cast<int>(dataBits_));
    if (port_.dataBits() != dataBits)
        port_.setDataBits(dataBits);
    if (port_.parity() != QtParity(parity_))
        port_.setParity(QtParity(parity_));
    if (port_.stopBits() != QtStopBits(stopBits_))
        port_.setStopBits(QtStopBits(stopBits_));
    const auto flow = hw_ == hhRTSCTS    ? QSerialPort::HardwareControl
                      : sw_ == shXONXOFF ? QSerialPort::SoftwareControl
                                         : QSerialPort::NoFlowControl;
    if (port_.flowControl() != flow)
        port_.setFlowControl(flow);
    port_.clearError();
    PurgeQueues(true, true);
    port_.setReadBufferSize(inBufSize_);
}

void TCommPortDriver::PurgeQueues(bool input, bool output)
{
    if (!IsPortOpen())
        return;
    if (input && output)
        port_.clear(QSerialPort::AllDirections);
    else if (input)
        port_.clear(QSerialPort::Input);
    else if (output)
        port_.clear(QSerialPort::Output);
    port_.clearError();
}

std::uint16_t TCommPortDriver::OutputQueueFree() const
{
    if (!IsPortOpen())
        return 0xFFFF;
    const qint64 waiting = port_.bytesToWrite();
    return static_cast<std::uint16_t>(std::max<qint64>(0, outBufSize_ - waiting));
}

int TCommPortDriver::WriteData(const std::uint8_t* data, int count)
{
    if (!IsPortOpen())
        return 0;
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    qint64 accepted = 0;
    while (accepted < count) {
        if (OutputQueueFree() > 0) {
            const qint64 n =
                port_.write(reinterpret_cast<const char*>(data + accepted), count - accepted);
            if (n < 0)
                break;
            if (n > 0) {
                accepted += n;
                sinceProgress.restart();
                continue;
            }
        }
        const qint64 left = outputTimeout_ - sinceProgress.elapsed();
        if (left <= 0 || !IsPortOpen() || port_.bytesToWrite() == 0)
            break;
        port_.waitForBytesWritten(left);
    }
    // QSerialPort keeps what the driver has not taken yet; hand it over now,
    // waiting as long as there is progress.
    qint64 pending = port_.bytesToWrite();
    while (pending > 0 && IsPortOpen()) {
        const qint64 left = outputTimeout_ - sinceProgress.elapsed();
        if (left <= 0)
            break;
        port_.waitForBytesWritten(left);
        const qint64 now = port_.bytesToWrite();
        if (now < pending)
            sinceProgress.restart();
        pending = now;
    }
    if (!IsPortOpen())
        pending = accepted;
    const int written = static_cast<int>(accepted - pending);
    return pending > 0 ? -written : written;
}

void TCommPortDriver::SetDtr(bool on)
{
    if (!IsPortOpen())
        return;
    port_.setDataTerminalReady(on);
    port_.clearError();
}

void TCommPortDriver::SetRts(bool on)
{
    if (!IsPortOpen())
        return;
    port_.setRequestToSend(on);
    port_.clearError();
}

void TCommPortDriver::PollReceive()
{
    ReceiveOnce();
}

bool TCommPortDriver::ReceiveOnce()
{
    if (!IsPortOpen() || receiveBuffer_.empty())
        return false;
    const qint64 n = port_.read(reinterpret_cast<char*>(receiveBuffer_.data()),
                                static_cast<qint64>(receiveBuffer_.size()));
    if (n <= 0)
        return false;
    if (OnReceiveData)
        OnReceiveData(this, receiveBuffer_.data(), static_cast<int>(n));
    if (transportHandler_)
        transportHandler_(receiveBuffer_.data(), static_cast<int>(n));
    return true;
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

void TCommPortDriver::onError(QSerialPort::SerialPortError error)
{
    // When the far end vanishes Qt reports the same error again and again
    // from its read notifier; closing stops that. The next attempt reopens.
    if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError)
        ClosePort();
}

void TCommPortDriver::setReceiveHandler(ReceiveHandler handler)
{
    transportHandler_ = std::move(handler);
}

void TCommPortDriver::prepare(int portIndex, const QString& devicePath)
{
    if (IsPortOpen())
        return;
    setComPort(static_cast<TComPortNumber>(portIndex));
    setDevicePath(devicePath);
    setComPortSpeed(br2400);
    setComPortDataBits(db8BITS);
    setComPortStopBits(sb1BITS);
    setComPortParity(ptODD);
    setComPortHwHandshaking(hhNONE);
    setComPortSwHandshaking(shNONE);
}

QString TCommPortDriver::portDisplayName() const
{
    if (!devicePath_.isEmpty())
        return devicePath_;
    const QString item = ComPortItemText(comPort_);
    const QString system = ComPortSystemName(comPort_);
    return system == item ? item : QStringLiteral("%1 (%2)").arg(item, system);
}

void TCommPortDriver::setPollingDelay(int ms)
{
    setComPortPollingDelay(static_cast<std::uint16_t>(std::clamp(ms, 1, 65535)));
}

} // namespace vtr8
