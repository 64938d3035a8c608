#pragma once

#include "link/link_transport.h"

#include <QObject>
#include <QTimer>
#ifndef Q_OS_WIN
#include <QSerialPort>
#endif

#include <cstdint>
#include <memory>
#include <vector>

namespace vtr8 {

// The serial port of the link: 2400 baud, 8 data bits, odd parity, 1 stop bit,
// no flow control. Received bytes are handed on as soon as the port reports them;
// a timer on the UI thread still reads whatever is left every polling period, so
// nothing waits on a missed notification. Writes wait at most the output time-out
// for progress.
//
// Elsewhere QSerialPort carries the port (comm_port_driver_qt.cpp). On Windows
// the port is a plain synchronous handle whose input is looked at every couple
// of milliseconds (comm_port_driver_win.cpp): one request, one short reply at
// 2400 baud needs no overlapped I/O, and QSerialPort's chain of overlapped
// waits and reads lost replies under Wine, where this is tested.
class TCommPortDriver : public QObject, public LinkTransport {
    Q_OBJECT
public:
    static constexpr int BaudRate = 2400;
    static constexpr int BufferSize = 2048;      // receive buffer and transmit queue
    static constexpr int OutputTimeoutMs = 4000; // a write's longest wait for progress
    static constexpr int DefaultPollingMs = 50;

    explicit TCommPortDriver(QObject* parent = nullptr);
    ~TCommPortDriver() override;

    // LinkTransport
    void setReceiveHandler(ReceiveHandler handler) override;
    void prepare(int portIndex, const QString& devicePath) override;
    QString portDisplayName() const override;
    [[nodiscard]] bool OpenPort() override;
    OpenProblem openProblem() const override { return openProblem_; }
    void ClosePort() override;
    bool IsPortOpen() const override;
    void SetDtr(bool on) override;
    void SetRts(bool on) override;
    int WriteData(const std::uint8_t* data, int count) override;
    void setPollingDelay(int ms) override;
#ifdef Q_OS_WIN
    void replyDue(int inMs) override;
#endif

    // Discards what waits to be read and/or written.
    void PurgeQueues(bool input, bool output);
    // The name OpenPort opens.
    QString portSystemName() const;
    int pollingDelay() const
    {
        return pollingDelay_;
    }
    // false leaves reception to the polling timer alone (tests of the fallback).
    void setReceiveOnArrival(bool value)
    {
        receiveOnArrival_ = value;
    }

#ifndef Q_OS_WIN
    // The underlying port, for diagnostics and tests.
    const QSerialPort& serialPort() const
    {
        return port_;
    }
#endif

private:
    // The platform's half: connects the port's notifications; opens the prepared port with
    // the line settings (false with openProblem_ set when it cannot).
    void attachPort();
    bool openPort();
    // Hands one buffer of received bytes on; false when there was none.
    bool ReceiveOnce();
    // Hands the first n bytes of the receive buffer on.
    void deliver(int n);
    void onReadyRead();
#ifdef Q_OS_WIN
    static constexpr int ArrivalCheckMs = 2;
    // How long before an answer can be complete the quick look for it starts.
    static constexpr int ArrivalLeadMs = 6;
    QTimer arrivalStart_;
    void* handle_ = nullptr; // the port's HANDLE, null while closed
    struct FoundSettings;
    std::shared_ptr<FoundSettings> found_; // shared_ptr: complete only in the Windows file
    QTimer arrivalTimer_;
#else
    void onError(QSerialPort::SerialPortError error);
    OpenProblem problemOf(QSerialPort::SerialPortError error) const;
    QSerialPort port_;
#endif
    QTimer pollTimer_;
    std::vector<std::uint8_t> receiveBuffer_;
    ReceiveHandler handler_;
    int portIndex_ = 0;
    QString devicePath_;
    int pollingDelay_ = DefaultPollingMs;
    bool receiveOnArrival_ = true;
    OpenProblem openProblem_ = OpenProblem::Other;
};

} // namespace vtr8
