#pragma once

#include "link/circle_char_buffer.h"
#include "link/frame.h"
#include "link/link_result.h"
#include "link/link_timing.h"
#include "link/port_session.h"
#include "link/reply_parser.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace vtr8 {

class LinkIndicators;
class LinkTransport;
class TCommPortDriver;

// The command half of the port window: one command at a time, up to three
// attempts. Callers use the typed commands (readEeprom, writeEeprom, send);
// underneath, a command is SendCommand and WaitForReply over TransferBuffer,
// with the verdict in CommError and the reply in ReplyData[3..].
//
// A command succeeds only on a complete, valid reply that answers it (command
// byte and byte count, see ReplyMatchesRequest). Whatever else ends the wait
// (the application quitting, an abandoned session) fails it.
//
// Transfers run in sessions (PortSession): the port, its lock, refusals and
// abandoning belong to the session, the exchange of commands to this class.
class CommandProtocol : public QObject {
    Q_OBJECT
public:
    explicit CommandProtocol(QObject* parent = nullptr);
    ~CommandProtocol() override;

    // Typed commands: the bytes or the failure; the failure has been reported
    // (setFailureReporter) by the time the call returns. Reads give the command's
    // own data (the status bytes are not part of it).
    LinkResult<Bytes> readEeprom(std::uint16_t address, std::uint8_t count);
    LinkResult<Bytes> readEeprom2(std::uint16_t address, std::uint8_t count);
    LinkResult<Bytes> readRam(std::uint16_t address, std::uint8_t count); // the low byte goes out
    LinkStatus writeEeprom(std::uint16_t address, std::span<const std::uint8_t> bytes);
    // Any command of the table: `address` and `data` as its layout takes them.
    LinkResult<DeviceReply> send(Command command, std::uint16_t address = 0,
                                 std::span<const std::uint8_t> data = {});
    // The last command's failure (None after a success), and its reply (empty
    // after a failure).
    const LinkFailure& lastFailure() const { return lastFailure_; }
    // Bytes of the typed commands answered so far, as ExchangeLineBytes counts them.
    qint64 lineBytes() const { return lineBytes_; }
    const DeviceReply& lastReply() const { return lastReply_; }

    // Every failure of a command or a session goes here, once; the layer above makes its
    // message. Without a reporter failures are only returned.
    void setFailureReporter(std::function<void(const LinkFailure&)> reporter);

signals:
    // A typed command ended, answered or not.
    void commandDone();

public:
    void setIndicators(LinkIndicators* indicators);
    void setTiming(const LinkTiming& timing);
    const LinkTiming& timing() const { return timing_; }

    // The port, its lock and the transfer sessions on it.
    PortSession& session() { return session_; }
    const PortSession& session() const { return session_; }

    // Called with every frame sent (outgoing = true, once per attempt) and,
    // at the end of each attempt, with the bytes received during it.
    void setFrameObserver(std::function<void(bool outgoing, const QByteArray& bytes)> observer);

    // Replaces the serial port (not owned; nullptr restores the serial driver).
    // A transport set here must outlive the protocol or be replaced first.
    void setTransport(LinkTransport* transport);
    LinkTransport& transport() const { return *transport_; }
    // The serial driver the protocol uses unless a transport was set.
    TCommPortDriver& serialDriver() const { return *serialDriver_; }
    // Closes the port (the program does this at its end).
    void closePort();

    // The request last prepared by SendCommand.
    const vtr8::TxFrame& TxFrame() const { return txFrame_; }
    // Number of the attempt that ended the last WaitForReply (1..3; 0 if none).
    int lastAttempt() const { return lastAttempt_; }
    // True while a command is in progress.
    bool isBusy() const { return busy_; }
    // The parser's state after the last exchange (for diagnostics and tests).
    const ReplyParser& parser() const { return parser_; }

private:
    friend struct WireAccess; // the link's own tests drive the wire-level pattern

    // The wire-level calling pattern the typed commands are made of.
    std::array<std::uint8_t, 26> TransferBuffer{}; // positions 1..25
    std::array<std::uint8_t, 26> ReplyData{};      // positions 1..25; [1],[2] status, data from [3]
    std::uint8_t CommError = 0;                    // 1 = the last WaitForReply failed
    // Prepares the request; no input or output.
    void SendCommand(std::string_view name, std::uint16_t address = 0, std::uint8_t count = 0);
    // Performs the exchange for the prepared request. Synchronous for the
    // caller; the event loop keeps running meanwhile.
    void WaitForReply();

    enum class WaitEnd { Interrupted, Reply, Timeout };
    // What received bytes are taken for: nothing is expected between commands (Idle:
    // judged before the next request), the reply of the attempt (Reply), what follows
    // the accepted reply (Trailing).
    enum class Listening { Idle, Reply, Trailing };
    enum class SendEnd { Sent, PortFailed, Interrupted };

    void onReceive(const std::uint8_t* data, int size);
    // `reopen`: the port is opened afresh (the first command of a hold, a repeated attempt);
    // otherwise the open port and its raised control lines stay, and only the line's
    // turnaround is kept.
    [[nodiscard]] SendEnd OpenAndSend(const QByteArray& frameText, bool reopen, int& writeResult);
    // False when something other than its own timer ended the pause.
    bool pause(int ms);
    // Waits until the line has been quiet for `quietMs` since the last byte (and since
    // `notBefore`, a moment of the clock). False when interrupted.
    bool waitForQuiet(int quietMs, qint64 notBefore = 0);
    // Whether a matching reply stands: a read's reply that repeats a frame already seen
    // may be a copy, so the line must stay quiet until its true answer would have come.
    enum class Verdict { Stands, Doubted, Interrupted };
    Verdict judgeAnswer();
    // Bytes that came between commands: copies of frames already seen do no harm;
    // anything else leaves the line to drain. False when interrupted.
    bool judgeIdleBytes();
    void rememberFrame(std::span<const std::uint8_t> frame);
    bool seenBefore(std::span<const std::uint8_t> frame) const;
    bool seenLately() const;
    qint64 now() const { return clock_.elapsed(); }
    WaitEnd waitForReplyOrTimeout();
    void finishRefused();
    void failAbandoned();
    void report(const LinkFailure& failure);
    LinkError openFailure() const;
    LinkResult<DeviceReply> exchange(Command command, std::uint16_t address, std::uint8_t count,
                                     std::span<const std::uint8_t> data);

    LinkIndicators* indicators_ = nullptr;
    LinkTiming timing_;
    PortSession session_;
    std::function<void(bool, const QByteArray&)> observer_;

    std::unique_ptr<TCommPortDriver> serialDriver_;
    LinkTransport* transport_ = nullptr;

    vtr8::TxFrame txFrame_;
    LinkFailure lastFailure_;
    DeviceReply lastReply_;
    qint64 lineBytes_ = 0;
    bool sendRefused_ = false;
    ReplyParser parser_;
    TCircleCharBuffer ring_;
    QByteArray attemptBytes_;
    bool busy_ = false;
    bool waiting_ = false;
    int lastAttempt_ = 0;
    std::function<void()> wake_;
    // Bytes count for the attempt from the write of its request to the end of the attempt.
    Listening listening_ = Listening::Idle;
    bool replyMatched_ = false;
    QByteArray replyBytes_; // the frame being received, or the accepted reply as it came
    QByteArray idleBytes_;  // what came behind the accepted reply and between commands
    // Complete frames seen on the line (from the delimiter on) and when: a later copy of
    // one of them may stand before the true answer.
    struct SeenFrame {
        std::vector<std::uint8_t> frame;
        qint64 at = 0;
    };
    std::vector<SeenFrame> seen_;
    // The port answers faster than any line could (a simulator without pacing): no hold
    // waits for the line's time. Found afresh at every open.
    bool lineUnpaced_ = false;
    // Request and answer bytes of the typed command being exchanged (0: not known).
    int expectedLineBytes_ = 0;
    // The line's state between commands: an unexpected byte or frame was seen
    // (drain before anything is sent), or a request got no reply in time (its
    // answer may still come: drain before any other request).
    bool lineDirty_ = false;
    QByteArray unanswered_;
    QElapsedTimer clock_;
    qint64 lastByteAt_ = 0;
    qint64 lastRequestAt_ = 0;
};

} // namespace vtr8
