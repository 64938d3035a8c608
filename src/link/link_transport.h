#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace vtr8 {

// What the command protocol needs of a port. The serial driver TCommPortDriver
// is the real one; tests put an in-process simulated transmitter here.
class LinkTransport {
public:
    virtual ~LinkTransport() = default;

    // Called with every non-empty chunk of received bytes, on the UI thread.
    using ReceiveHandler = std::function<void(const std::uint8_t* data, int size)>;
    virtual void setReceiveHandler(ReceiveHandler handler) = 0;

    // Chooses the port for the next open: item 0..7 of the port window
    // (COM1..COM8), or an explicit device path that wins when not empty.
    // Also programs the link's line settings: 2400 baud, 8 data bits, odd
    // parity, 1 stop bit, no flow control. Ignored while open.
    virtual void prepare(int portIndex, const QString& devicePath) = 0;
    // The name of the prepared port for messages, e.g. "COM3 (/dev/ttyS2)".
    virtual QString portDisplayName() const = 0;

    [[nodiscard]] virtual bool OpenPort() = 0;
    // Why the last OpenPort failed, as far as the system tells.
    enum class OpenProblem { Missing, InUse, Denied, Other };
    virtual OpenProblem openProblem() const { return OpenProblem::Other; }
    virtual void ClosePort() = 0;
    virtual bool IsPortOpen() const = 0;
    virtual void SetDtr(bool on) = 0;
    virtual void SetRts(bool on) = 0;
    // Bytes written; 0 while closed; minus the bytes written so far when no
    // progress was possible within the output time-out.
    virtual int WriteData(const std::uint8_t* data, int count) = 0;
    virtual void setPollingDelay(int ms) = 0;
    // The answer to the request just written can be complete `inMs` from now at the
    // earliest (0: at any moment); -1: no answer is awaited any more. A port that must look
    // for arrivals itself looks often only while an answer is due.
    virtual void replyDue(int inMs) { (void)inMs; }
};

} // namespace vtr8
