#pragma once

#include "link/link_transport.h"

#include <QObject>
#include <QSerialPort>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

namespace vtr8 {

enum TComPortNumber { pnCOM1, pnCOM2, pnCOM3, pnCOM4, pnCOM5, pnCOM6, pnCom7, pnCom8 };
enum TComPortBaudRate {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200
};
enum TComPortDataBits { db5BITS, db6BITS, db7BITS, db8BITS };
enum TComPortStopBits { sb1BITS, sb1HALFBITS, sb2BITS };
enum TComPortParity { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };
enum TComPortHwHandshaking { hhNONE, hhRTSCTS };
enum TComPortSwHandshaking { shNONE, shXONXOFF };

// The rate of each TComPortBaudRate, in baud.
int BaudRateOf(TComPortBaudRate rate);

// One serial port. Received bytes are handed to OnReceiveData as soon as the
// port reports them (readyRead); a timer on the UI thread still reads whatever
// is left every ComPortPollingDelay ms, so nothing waits on a missed
// notification. Writes wait at most OutputTimeout ms for progress.
class TCommPortDriver : public QObject, public LinkTransport {
    Q_OBJECT
public:
    using TComPortReceiveDataEvent =
        std::function<void(TCommPortDriver* sender, const std::uint8_t* DataPtr, int DataSize)>;

    explicit TCommPortDriver(QObject* parent = nullptr);
    ~TCommPortDriver() override;

    TComPortNumber ComPort() const { return comPort_; }
    // Only while closed.
    void setComPort(TComPortNumber port);
    // An explicit device opened instead of the ComPort item (only while closed).
    void setDevicePath(const QString& path);
    QString devicePath() const { return devicePath_; }
    // The name OpenPort opens.
    QString portSystemName() const;

    TComPortBaudRate ComPortSpeed() const { return speed_; }
    void setComPortSpeed(TComPortBaudRate value);
    TComPortDataBits ComPortDataBits() const { return dataBits_; }
    void setComPortDataBits(TComPortDataBits value);
    TComPortStopBits ComPortStopBits() const { return stopBits_; }
    void setComPortStopBits(TComPortStopBits value);
    TComPortParity ComPortParity() const { return parity_; }
    void setComPortParity(TComPortParity value);
    TComPortHwHandshaking ComPortHwHandshaking() const { return hw_; }
    void setComPortHwHandshaking(TComPortHwHandshaking value);
    TComPortSwHandshaking ComPortSwHandshaking() const { return sw_; }
    void setComPortSwHandshaking(TComPortSwHandshaking value);
    std::uint16_t ComPortInBufSize() const { return inBufSize_; }
    // Only while closed; the receive buffer is allocated anew.
    void setComPortInBufSize(std::uint16_t value);
    std::uint16_t ComPortOutBufSize() const { return outBufSize_; }
    // Only while open (the program never changes it).
    void setComPortOutBufSize(std::uint16_t value);
    std::uint16_t ComPortPollingDelay() const { return pollingDelay_; }
    void setComPortPollingDelay(std::uint16_t value);
    bool EnableDTROnOpen() const { return enableDtrOnOpen_; }
    void setEnableDTROnOpen(bool value) { enableDtrOnOpen_ = value; }
    std::uint16_t OutputTimeout() const { return outputTimeout_; }
    void setOutputTimeout(std::uint16_t value) { outputTimeout_ = value; }
    // false leaves reception to the polling timer alone (tests of the fallback).
    bool ReceiveOnArrival() const { return receiveOnArrival_; }
    void setReceiveOnArrival(bool value) { receiveOnArrival_ = value; }
    TComPortReceiveDataEvent OnReceiveData;

    [[nodiscard]] bool OpenPort() override;
    void ClosePort() override;
    bool IsPortOpen() const override;
    void ApplyPortSettings();
    void PurgeQueues(bool input, bool output);
    std::uint16_t OutputQueueFree() const;
    int WriteData(const std::uint8_t* data, int count) override;
    void SetDtr(bool on) override;
    void SetRts(bool on) override;

    // LinkTransport
    void setReceiveHandler(ReceiveHandler handler) override;
    void prepare(int portIndex, const QString& devicePath) override;
    QString portDisplayName() const override;
    void setPollingDelay(int ms) override;

    // The underlying port, for diagnostics and tests.
    const QSerialPort& serialPort() const { return port_; }

private:
    void PollReceive();
    // Hands one buffer of received bytes on; false when there was none.
    bool ReceiveOnce();
    void onReadyRead();
    void programLine();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    QTimer pollTimer_;
    std::vector<std::uint8_t> receiveBuffer_;
    ReceiveHandler transportHandler_;

    TComPortNumber comPort_ = pnCOM1;
    QString devicePath_;
    TComPortBaudRate speed_ = br9600;
    TComPortDataBits dataBits_ = db8BITS;
    TComPortStopBits stopBits_ = sb1BITS;
    TComPortParity parity_ = ptNONE;
    TComPortHwHandshaking hw_ = hhNONE;
    TComPortSwHandshaking sw_ = shNONE;
    std::uint16_t inBufSize_ = 2048;
    std::uint16_t outBufSize_ = 2048;
    std::uint16_t pollingDelay_ = 50;
    bool enableDtrOnOpen_ = true;
    bool receiveOnArrival_ = true;
    std::uint16_t outputTimeout_ = 4000;
};

} // namespace vtr8
