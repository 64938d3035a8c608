#include "link/comm_port_driver.h"

#include "link/port_mapping.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace vtr8 {

namespace {

// The longest device name whose lock file the serial library can make (file names end at
// 255 bytes, and its lock file and the lock's temporary file add to the name).
[[maybe_unused]] constexpr qsizetype LongestLockedName = 200;

} // namespace

void TCommPortDriver::attachPort()
{
    connect(&port_, &QSerialPort::readyRead, this, &TCommPortDriver::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &TCommPortDriver::onError);
}

bool TCommPortDriver::openPort()
{
#ifdef Q_OS_UNIX
    // By the device itself: the serial library names its own lock file after the port, and
    // a long symbolic link (a by-id name) would give a lock file name too long to make, which
    // it reports as a port in use.
    const QString device = QFileInfo(portSystemName()).canonicalFilePath();
    port_.setPortName(device.isEmpty() ? portSystemName() : device);
#else
    port_.setPortName(portSystemName());
#endif
    // Set before open(): a pty refuses parity changes once it is open.
    port_.setBaudRate(BaudRate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::OddParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.clearError();
    if (!port_.open(QIODevice::ReadWrite)) {
        openProblem_ = problemOf(port_.error());
        port_.clearError();
        return false;
    }
    // Right after open, never after a write: clearing then would drop the
    // unsent frame.
    PurgeQueues(true, true);
    port_.setReadBufferSize(BufferSize);
    // DTR on with the line settings, RTS low until SetRts raises it; ptys and
    // some adapters refuse both, which is harmless.
    if (!port_.isDataTerminalReady())
        port_.setDataTerminalReady(true);
    if (port_.isRequestToSend())
        port_.setRequestToSend(false);
    port_.clearError();
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

void TCommPortDriver::PurgeQueues(bool input, bool output)
{
    if (!IsPortOpen() || (!input && !output))
        return;
    port_.clear(input && output ? QSerialPort::AllDirections
                : input         ? QSerialPort::Input
                                : QSerialPort::Output);
    port_.clearError();
}

int TCommPortDriver::WriteData(const std::uint8_t* data, int count)
{
    if (!IsPortOpen())
        return 0;
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    qint64 accepted = 0;
    while (accepted < count) {
        if (port_.bytesToWrite() < BufferSize) {
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
        const qint64 left = OutputTimeoutMs - sinceProgress.elapsed();
        if (left <= 0 || !IsPortOpen() || port_.bytesToWrite() == 0)
            break;
        port_.waitForBytesWritten(static_cast<int>(left));
    }
    // QSerialPort keeps what the driver has not taken yet; hand it over now,
    // waiting as long as there is progress.
    qint64 pending = port_.bytesToWrite();
    while (pending > 0 && IsPortOpen()) {
        const qint64 left = OutputTimeoutMs - sinceProgress.elapsed();
        if (left <= 0)
            break;
        port_.waitForBytesWritten(static_cast<int>(left));
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

bool TCommPortDriver::ReceiveOnce()
{
    if (!IsPortOpen())
        return false;
    const qint64 n = port_.read(reinterpret_cast<char*>(receiveBuffer_.data()),
                                static_cast<qint64>(receiveBuffer_.size()));
    if (n <= 0)
        return false;
    deliver(static_cast<int>(n));
    return true;
}

TCommPortDriver::OpenProblem TCommPortDriver::problemOf(QSerialPort::SerialPortError error) const
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return OpenProblem::Missing;
    case QSerialPort::PermissionError: {
#ifdef Q_OS_UNIX
        // Qt says the same when another program holds the port (its lock file, or an exclusive
        // open) and when the device's permissions keep this user out; only the latter fails
        // an access check. A device that vanished meanwhile is missing.
        const QByteArray path = QFile::encodeName(portSystemName());
        if (!QFileInfo::exists(portSystemName()))
            return OpenProblem::Missing;
        if (::access(path.constData(), R_OK | W_OK) != 0)
            return OpenProblem::Denied;
        // A device name too long for the library's lock file is no program holding the port.
        if (QFileInfo(port_.portName()).fileName().size() > LongestLockedName)
            return OpenProblem::Other;
#endif
        // Windows opens a port for one program only and says "access denied" to the next.
        return OpenProblem::InUse;
    }
    default:
        return OpenProblem::Other;
    }
}

void TCommPortDriver::onError(QSerialPort::SerialPortError error)
{
    // When the far end vanishes Qt reports the same error again and again
    // from its read notifier; closing stops that. The next attempt reopens.
    if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError)
        ClosePort();
}

} // namespace vtr8
