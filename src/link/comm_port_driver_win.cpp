#include "link/comm_port_driver.h"

#include "link/port_mapping.h"

#include <windows.h>

#include <algorithm>

namespace vtr8 {

namespace {

HANDLE handleOf(void* handle)
{
    return static_cast<HANDLE>(handle);
}

// "COM1" and "COM12" alike need the device namespace; a name given with a
// prefix already is taken as it stands.
std::wstring devicePathOf(const QString& name)
{
    const QString path =
        name.startsWith(QLatin1String("\\\\")) ? name : QStringLiteral("\\\\.\\") + name;
    return path.toStdWString();
}

LinkTransport::OpenProblem problemOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return LinkTransport::OpenProblem::Missing;
    // Windows opens a port for one program only and says "access denied" to the next.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return LinkTransport::OpenProblem::InUse;
    default:
        return LinkTransport::OpenProblem::Other;
    }
}

} // namespace

// The port's settings as this program found them, put back when it closes the
// port: the next program (or the next open of this one) starts from them.
struct TCommPortDriver::FoundSettings {
    DCB dcb{};
    COMMTIMEOUTS timeouts{};
};

namespace {

bool setLineSettings(HANDLE port, DCB dcb)
{
    dcb.BaudRate = TCommPortDriver::BaudRate;
    dcb.ByteSize = 8;
    dcb.Parity = ODDPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = TRUE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    // The control lines are no handshake here; they are set one by one after
    // the line settings, since a pty (Wine's COM port over one) refuses them and
    // SetCommState would fail as a whole.
    if (dcb.fDtrControl == DTR_CONTROL_HANDSHAKE)
        dcb.fDtrControl = DTR_CONTROL_DISABLE;
    if (dcb.fRtsControl != RTS_CONTROL_DISABLE)
        dcb.fRtsControl = RTS_CONTROL_DISABLE;
    if (!::SetCommState(port, &dcb))
        return false;
    // A read returns at once with what is there; a write waits for progress
    // at most the output time-out.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = TCommPortDriver::OutputTimeoutMs;
    return ::SetCommTimeouts(port, &timeouts) != 0;
}

} // namespace

// A read of a port costs a call into the system (under Wine a round trip to its server): the
// port is looked at every ArrivalCheckMs only from just before an answer can be complete until
// the attempt ends, and at the polling delay otherwise.
void TCommPortDriver::attachPort()
{
    arrivalTimer_.setTimerType(Qt::PreciseTimer);
    connect(&arrivalTimer_, &QTimer::timeout, this, &TCommPortDriver::onReadyRead);
    arrivalStart_.setSingleShot(true);
    arrivalStart_.setTimerType(Qt::PreciseTimer);
    connect(&arrivalStart_, &QTimer::timeout, this, [this] {
        onReadyRead();
        arrivalTimer_.start(ArrivalCheckMs);
    });
}

void TCommPortDriver::replyDue(int inMs)
{
    arrivalStart_.stop();
    arrivalTimer_.stop();
    if (!IsPortOpen())
        return;
    if (inMs < 0) {
        pollTimer_.start(pollingDelay_);
        return;
    }
    // The polling delay's own timer has nothing to add meanwhile.
    pollTimer_.stop();
    arrivalStart_.start(std::max(0, inMs - ArrivalLeadMs));
}

bool TCommPortDriver::openPort()
{
    const std::wstring path = devicePathOf(portSystemName());
    HANDLE port = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        openProblem_ = problemOf(::GetLastError());
        return false;
    }
    auto found = std::make_shared<FoundSettings>();
    found->dcb.DCBlength = sizeof found->dcb;
    if (!::GetCommState(port, &found->dcb) || !::GetCommTimeouts(port, &found->timeouts) ||
        !setLineSettings(port, found->dcb)) {
        ::SetCommState(port, &found->dcb);
        ::SetCommTimeouts(port, &found->timeouts);
        ::CloseHandle(port);
        return false;
    }
    ::PurgeComm(port, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    handle_ = port;
    found_ = std::move(found);
    // DTR on with the line settings, RTS low until SetRts raises it.
    SetDtr(true);
    SetRts(false);
    return true;
}

void TCommPortDriver::ClosePort()
{
    pollTimer_.stop();
    arrivalTimer_.stop();
    arrivalStart_.stop();
    if (!handle_)
        return;
    if (found_) {
        ::SetCommState(handleOf(handle_), &found_->dcb);
        ::SetCommTimeouts(handleOf(handle_), &found_->timeouts);
        found_.reset();
    }
    ::CloseHandle(handleOf(handle_));
    handle_ = nullptr;
}

bool TCommPortDriver::IsPortOpen() const
{
    return handle_ != nullptr;
}

void TCommPortDriver::PurgeQueues(bool input, bool output)
{
    if (!IsPortOpen() || (!input && !output))
        return;
    DWORD flags = 0;
    if (input)
        flags |= PURGE_RXABORT | PURGE_RXCLEAR;
    if (output)
        flags |= PURGE_TXABORT | PURGE_TXCLEAR;
    ::PurgeComm(handleOf(handle_), flags);
}

int TCommPortDriver::WriteData(const std::uint8_t* data, int count)
{
    if (!IsPortOpen())
        return 0;
    int accepted = 0;
    while (accepted < count) {
        DWORD n = 0;
        const BOOL ok = ::WriteFile(handleOf(handle_), data + accepted,
                                    static_cast<DWORD>(count - accepted), &n, nullptr);
        accepted += static_cast<int>(n);
        // Nothing more within the output time-out, or the device is gone.
        if (!ok || n == 0)
            break;
    }
    return accepted < count ? -accepted : accepted;
}

void TCommPortDriver::SetDtr(bool on)
{
    // Ptys and some adapters refuse the control lines, which is harmless.
    if (IsPortOpen())
        ::EscapeCommFunction(handleOf(handle_), on ? SETDTR : CLRDTR);
}

void TCommPortDriver::SetRts(bool on)
{
    if (IsPortOpen())
        ::EscapeCommFunction(handleOf(handle_), on ? SETRTS : CLRRTS);
}

bool TCommPortDriver::ReceiveOnce()
{
    if (!IsPortOpen())
        return false;
    DWORD n = 0;
    if (!::ReadFile(handleOf(handle_), receiveBuffer_.data(),
                    static_cast<DWORD>(receiveBuffer_.size()), &n, nullptr)) {
        // The device vanished (an adapter pulled out): the next attempt reopens.
        ClosePort();
        return false;
    }
    if (n == 0)
        return false;
    deliver(static_cast<int>(n));
    return true;
}

} // namespace vtr8
