#include "link/command_protocol.h"

#include "link/comm_port_driver.h"
#include "link/link_indicators.h"
#include "link/port_mapping.h"
#include "link/reply_match.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <optional>

namespace vtr8 {

namespace {

constexpr int MaxAttempts = 3;

} // namespace

CommandProtocol::CommandProtocol(QObject* parent)
    : QObject(parent), serialDriver_(std::make_unique<TCommPortDriver>())
{
    clock_.start();
    // The port is closed before its lock is let go, so that whoever takes the lock next
    // finds the port free.
    connect(&session_, &PortSession::portReleased, this, [this] {
        if (!busy_)
            transport_->ClosePort();
    });
    ring_.onReset = [this] { parser_.ResetCount(); };
    ring_.Reset();
    setTransport(nullptr);
}

CommandProtocol::~CommandProtocol()
{
    if (transport_)
        transport_->setReceiveHandler({});
}

void CommandProtocol::setIndicators(LinkIndicators* indicators)
{
    indicators_ = indicators;
}

void CommandProtocol::setTiming(const LinkTiming& timing)
{
    timing_ = timing;
    transport_->setPollingDelay(timing_.pollMs);
}

void CommandProtocol::setFrameObserver(
    std::function<void(bool outgoing, const QByteArray& bytes)> observer)
{
    observer_ = std::move(observer);
}

void CommandProtocol::setTransport(LinkTransport* transport)
{
    if (busy_)
        return;
    if (transport_) {
        transport_->ClosePort();
        transport_->setReceiveHandler({});
    }
    transport_ = transport ? transport : serialDriver_.get();
    session_.setLocking(transport_ == serialDriver_.get());
    transport_->setReceiveHandler(
        [this](const std::uint8_t* data, int size) { onReceive(data, size); });
    transport_->setPollingDelay(timing_.pollMs);
}

void CommandProtocol::closePort()
{
    transport_->ClosePort();
}

void CommandProtocol::SendCommand(std::string_view name, std::uint16_t address, std::uint8_t count)
{
    // The waiting command retries from its own copy of the frame, but a new
    // frame here would still belong to a command that cannot run now.
    if (busy_) {
        sendRefused_ = true;
        return;
    }
    sendRefused_ = false;
    txFrame_ = BuildTxFrame(name, address, count, TransferBuffer);
}

void CommandProtocol::finishRefused()
{
    sendRefused_ = false;
    CommError = 1;
    lastFailure_ = {LinkError::Busy, transport_->portDisplayName()};
    report(lastFailure_);
}

void CommandProtocol::failAbandoned()
{
    CommError = 1;
    lastFailure_ = {LinkError::Abandoned, transport_->portDisplayName()};
    report(lastFailure_);
}

void CommandProtocol::setFailureReporter(std::function<void(const LinkFailure&)> reporter)
{
    session_.setFailureReporter(std::move(reporter));
}

void CommandProtocol::report(const LinkFailure& failure)
{
    // An abandon is reported once for the whole run, with the abandoning party's words.
    if (failure.error == LinkError::Abandoned)
        session_.tellAbandoned();
    else
        session_.report(failure);
}

LinkError CommandProtocol::openFailure() const
{
    switch (transport_->openProblem()) {
    case LinkTransport::OpenProblem::Missing:
        return LinkError::PortMissing;
    case LinkTransport::OpenProblem::InUse:
        return LinkError::PortInUse;
    case LinkTransport::OpenProblem::Denied:
        return LinkError::PortDenied;
    case LinkTransport::OpenProblem::Other:
        break;
    }
    return LinkError::PortOpen;
}

void CommandProtocol::WaitForReply()
{
    // One command at a time: a second one started from inside this one's
    // event processing fails on its own and leaves the first untouched.
    if (busy_ || sendRefused_) {
        finishRefused();
        return;
    }
    if (session_.abandoned()) {
        failAbandoned();
        return;
    }
    if (txFrame_.TxFrameLen == 0) {
        CommError = 1;
        lastFailure_ = {LinkError::Communication, transport_->portDisplayName()};
        report(lastFailure_);
        return;
    }
    busy_ = true;
    session_.setExchangeBusy(true);

    parser_.Clear();
    ReplyData.fill(0);
    const auto wire = txFrame_.wire();
    const QByteArray frameText(reinterpret_cast<const char*>(wire.data()),
                               static_cast<qsizetype>(wire.size()));

    int attempt = 0;
    bool failedEarly = false;
    bool interrupted = false;
    bool answered = false;
    bool anyReply = false; // some attempt got bytes: the transmitter (or something) is there
    for (;;) {
        parser_.StartAttempt();
        replyMatched_ = false;
        ++attempt;
        int writeResult = 0;
        // The port a session holds stays open from command to command; a repeated attempt
        // opens it afresh.
        const bool reopen = attempt > 1 || !session_.portHeld() || !transport_->IsPortOpen();
        const SendEnd sent = OpenAndSend(frameText, reopen, writeResult);
        if (sent == SendEnd::PortFailed) {
            failedEarly = true;
            lastFailure_ = {openFailure(), transport_->portDisplayName()};
            break;
        }
        if (sent == SendEnd::Interrupted) {
            session_.requestAbandon();
            interrupted = true;
            break;
        }
        if (writeResult == 0) {
            listening_ = Listening::Idle;
            transport_->replyDue(-1);
            failedEarly = true;
            lastFailure_ = {LinkError::PortWrite, transport_->portDisplayName()};
            break;
        }

        if (!pause(timing_.sendPauseMs))
            interrupted = true;
        else if (!parser_.ReplyComplete && waitForReplyOrTimeout() == WaitEnd::Interrupted)
            interrupted = true;
        const bool invalid = parser_.ChecksumError || parser_.FrameError;
        const bool complete = parser_.ReplyComplete;
        // A read's reply that repeats an earlier frame counts only once its true answer
        // would have come.
        bool doubted = false;
        if (!interrupted && complete && replyMatched_ && !invalid) {
            const Verdict verdict = judgeAnswer();
            doubted = verdict == Verdict::Doubted;
            interrupted = verdict == Verdict::Interrupted;
        }
        if (listening_ == Listening::Reply)
            listening_ = Listening::Idle;
        transport_->replyDue(-1);

        anyReply = anyReply || !attemptBytes_.isEmpty();
        if (indicators_)
            indicators_->setZPocPrij(QString::number(attempt));
        if (observer_ && !attemptBytes_.isEmpty())
            observer_(false, attemptBytes_);
        if (interrupted) {
            // The application is quitting: its event loops no longer wait, so
            // no further attempt could wait for its reply either.
            session_.requestAbandon();
            break;
        }
        if (!complete) {
            // Its answer may still come, to whatever is sent next.
            unanswered_ = frameText;
            if (!attemptBytes_.isEmpty())
                lineDirty_ = true;
        } else if (invalid || !replyMatched_ || doubted) {
            lineDirty_ = true;
        }
        if (complete && (invalid || (replyMatched_ && !doubted))) {
            answered = !invalid;
            break;
        }
        // A missing reply, one that answers another request, or two answers: the
        // request is repeated, unless the session is being abandoned.
        if (attempt >= std::clamp(timing_.attempts, 1, MaxAttempts) || session_.abandoned())
            break;
    }

    lastAttempt_ = attempt;
    ReplyData = parser_.ReplyData;
    CommError = answered ? 0 : 1;
    busy_ = false;
    session_.setExchangeBusy(false);
    // A command outside any hold of the port (a single reading) lets the port go at once.
    if (!session_.portHeld())
        transport_->ClosePort();
    lastReply_ = {};
    if (answered) {
        lastFailure_ = {};
        lastReply_.responseCode = ReplyData[1];
        lastReply_.deviceStatus = ReplyData[2];
        const std::span<const std::uint8_t> data = parser_.payload();
        lastReply_.data.assign(data.begin(), data.end());
    } else if (!failedEarly) {
        const LinkError error = session_.abandoned() ? LinkError::Abandoned
                                : anyReply           ? LinkError::Communication
                                                     : LinkError::NoReply;
        lastFailure_ = {error, transport_->portDisplayName()};
    }
    report(lastFailure_);
}

LinkResult<DeviceReply> CommandProtocol::exchange(Command command, std::uint16_t address,
                                                  std::uint8_t count,
                                                  std::span<const std::uint8_t> data)
{
    LinkResult<DeviceReply> result;
    // A command asked for while another waits leaves that one's frame alone.
    sendRefused_ = busy_;
    if (!busy_) {
        TransferBuffer.fill(0);
        if (data.size() < TransferBuffer.size()) {
            std::copy(data.begin(), data.end(), TransferBuffer.begin() + 1);
            txFrame_ = BuildTxFrame(SpecOf(command).name, address, count, TransferBuffer);
        } else {
            txFrame_ = {}; // more than a request carries: nothing is sent
        }
    }
    expectedLineBytes_ = ExchangeLineBytes(command, count);
    WaitForReply();
    expectedLineBytes_ = 0;
    result.failure = lastFailure_;
    if (result.ok()) {
        result.value = lastReply_;
        lineBytes_ += ExchangeLineBytes(command, count);
    }
    emit commandDone();
    return result;
}

namespace {

LinkResult<Bytes> DataOf(LinkResult<DeviceReply>&& reply)
{
    return {std::move(reply.value.data), reply.failure};
}

} // namespace

LinkResult<Bytes> CommandProtocol::readEeprom(std::uint16_t address, std::uint8_t count)
{
    return DataOf(exchange(Command::ReadEEPROM, address, count, {}));
}

LinkResult<Bytes> CommandProtocol::readEeprom2(std::uint16_t address, std::uint8_t count)
{
    return DataOf(exchange(Command::ReadEEPROM2, address, count, {}));
}

LinkResult<Bytes> CommandProtocol::readRam(std::uint16_t address, std::uint8_t count)
{
    return DataOf(exchange(Command::ReadRAM, address, count, {}));
}

LinkStatus CommandProtocol::writeEeprom(std::uint16_t address, std::span<const std::uint8_t> bytes)
{
    const auto reply =
        exchange(Command::WriteEEPROM, address,
                 static_cast<std::uint8_t>(std::min<std::size_t>(bytes.size(), 255)), bytes);
    return {{}, reply.failure};
}

LinkResult<DeviceReply> CommandProtocol::send(Command command, std::uint16_t address,
                                              std::span<const std::uint8_t> data)
{
    return exchange(command, address,
                    static_cast<std::uint8_t>(std::min<std::size_t>(data.size(), 255)), data);
}

namespace {

std::span<const std::uint8_t> BytesOf(const QByteArray& a)
{
    return {reinterpret_cast<const std::uint8_t*>(a.constData()),
            static_cast<std::size_t>(a.size())};
}

// The frame parsed as the reply of an attempt, when it answers `request`.
std::optional<ReplyParser> AnswerIn(const TxFrame& request, std::span<const std::uint8_t> frame)
{
    ReplyParser parser;
    parser.Clear();
    parser.ProcessReplyByte(0xFF); // the first byte is always preamble
    for (std::uint8_t b : frame)
        parser.ProcessReplyByte(b);
    if (!parser.ReplyComplete || parser.ChecksumError || parser.FrameError ||
        parser.ByteCount > ReplyParser::ReplyDataSize ||
        !ReplyMatchesRequest(
            request, parser.ReceivedCommand,
            std::span<const std::uint8_t>(parser.ReplyData.data() + 1, parser.ByteCount)))
        return std::nullopt;
    return parser;
}

} // namespace

void CommandProtocol::rememberFrame(std::span<const std::uint8_t> frame)
{
    if (frame.empty())
        return;
    const qint64 at = now();
    std::erase_if(seen_, [&](const SeenFrame& f) { return f.at < at - timing_.drainQuietMs; });
    seen_.push_back({{frame.begin(), frame.end()}, at});
}

bool CommandProtocol::seenLately() const
{
    const qint64 since = now() - timing_.drainQuietMs;
    return std::any_of(seen_.begin(), seen_.end(),
                       [&](const SeenFrame& f) { return f.at >= since; });
}

bool CommandProtocol::seenBefore(std::span<const std::uint8_t> frame) const
{
    const qint64 since = now() - timing_.drainQuietMs;
    return std::any_of(seen_.begin(), seen_.end(), [&](const SeenFrame& f) {
        return f.at >= since &&
               std::equal(f.frame.begin(), f.frame.end(), frame.begin(), frame.end());
    });
}

CommandProtocol::Verdict CommandProtocol::judgeAnswer()
{
    const std::vector<std::uint8_t> frame = FrameOf(BytesOf(replyBytes_));
    // Writes prove their request by their echo. What comes behind them is judged before the
    // next request.
    if (ReplyProvesItsRequest(txFrame_)) {
        rememberFrame(frame);
        return Verdict::Stands;
    }
    // A read's answer repeating a frame seen before may be the same answer again, or a copy
    // (a repeater, an adapter's buffer) standing before the true one. A true answer is
    // complete only once the request and the answer have passed the line byte by byte: a
    // repeat is held until then, and the line has to stay quiet behind it (the next
    // request's settle runs meanwhile). With nothing seen lately, the transmitter's previous
    // reply went unseen (to another program, or before the port was opened): the first
    // answer is held the same way.
    const auto bytesMs = [this](qint64 bytes) { return bytes * timing_.byteTimeUs / 1000; };
    const qint64 completedAt = lastByteAt_;
    const bool repeat = seenBefore(frame);
    // A fresh answer complete before its request could have left the wire (with a few bytes
    // to spare for the clock) comes over no line at all: a simulator without pacing, whose
    // answers are there at once. Nothing then is held for the line's time.
    if (!repeat && completedAt < lastRequestAt_ + bytesMs(txFrame_.TxFrameLen - 4))
        lineUnpaced_ = true;
    const qint64 due =
        lineUnpaced_ ? 0 : lastRequestAt_ + bytesMs(txFrame_.TxFrameLen + replyBytes_.size());
    // A repeat complete well before a true answer could be is a copy for certain: its true
    // answer gets a longer quiet to show itself.
    const bool early = completedAt < due - bytesMs(2);
    const bool copy = repeat || !seenLately();
    if (copy && !waitForQuiet(timing_.answerGuardMs * (early ? 4 : 1), due))
        return Verdict::Interrupted;
    bool noise = false;
    std::optional<ReplyParser> answer;
    std::vector<std::uint8_t> answerFrame;
    for (const LineFrame& behind : SplitFrames(BytesOf(idleBytes_), &noise)) {
        if (behind.bytes == frame)
            continue;
        if (!behind.valid) {
            noise = true;
            continue;
        }
        std::optional<ReplyParser> other = AnswerIn(txFrame_, behind.bytes);
        if (!other)
            continue; // a copy of another request's answer
        // Two different answers: no telling which is this request's, unless the first
        // repeats a frame seen before and the second is the only other one.
        if (!repeat || (answer && answerFrame != behind.bytes))
            return Verdict::Doubted;
        answer = std::move(other);
        answerFrame = behind.bytes;
    }
    rememberFrame(frame);
    if (!copy)
        return Verdict::Stands;
    // What came behind it is judged here; noise still leaves the line to drain.
    for (const LineFrame& behind : SplitFrames(BytesOf(idleBytes_)))
        if (behind.valid)
            rememberFrame(behind.bytes);
    if (!noise)
        idleBytes_.clear();
    if (answer)
        parser_ = *answer;
    return Verdict::Stands;
}

bool CommandProtocol::judgeIdleBytes()
{
    if (idleBytes_.isEmpty())
        return true;
    if (!waitForQuiet(timing_.answerGuardMs))
        return false;
    bool incomplete = false;
    bool harmless = true;
    for (const LineFrame& frame : SplitFrames(BytesOf(idleBytes_), &incomplete)) {
        harmless = harmless && frame.valid && seenBefore(frame.bytes);
        if (frame.valid)
            rememberFrame(frame.bytes);
    }
    idleBytes_.clear();
    if (incomplete || !harmless)
        lineDirty_ = true;
    return true;
}

bool CommandProtocol::waitForQuiet(int quietMs, qint64 notBefore)
{
    for (;;) {
        const qint64 left = std::max(lastByteAt_, notBefore) + quietMs - now();
        if (left <= 0)
            return true;
        if (!pause(static_cast<int>(left)))
            return false;
    }
}

CommandProtocol::WaitEnd CommandProtocol::waitForReplyOrTimeout()
{
    WaitEnd end = WaitEnd::Interrupted;
    QEventLoop loop;
    QTimer timer2;
    timer2.setSingleShot(true);
    timer2.setTimerType(Qt::PreciseTimer);
    connect(&timer2, &QTimer::timeout, &loop, [&] {
        end = WaitEnd::Timeout;
        loop.quit();
    });
    wake_ = [&] {
        end = WaitEnd::Reply;
        loop.quit();
    };
    timer2.start(timing_.replyTimeoutMs);
    loop.exec();
    wake_ = nullptr;
    timer2.stop();
    // A reply that completed as the loop was told to end still counts.
    if (end == WaitEnd::Interrupted && parser_.ReplyComplete)
        end = WaitEnd::Reply;
    return end;
}

CommandProtocol::SendEnd CommandProtocol::OpenAndSend(const QByteArray& frameText, bool reopen,
                                                      int& writeResult)
{
    listening_ = Listening::Idle;
    if (reopen) {
        // Opened afresh, with the port chosen right now.
        transport_->ClosePort();
        idleBytes_.clear();
        lineUnpaced_ = false;
        transport_->prepare(session_.portIndex(), session_.devicePath());
        if (!transport_->OpenPort())
            return SendEnd::PortFailed;
        transport_->SetDtr(true);
        transport_->SetRts(true);
        // Lets the line settle after the control lines rise.
        lastByteAt_ = now();
        if (!pause(timing_.settleMs))
            return SendEnd::Interrupted;
    } else if (!waitForQuiet(timing_.settleMs, lastRequestAt_)) {
        // The line turns around: the settle time after its last byte.
        return SendEnd::Interrupted;
    }
    // Whatever arrived since the last answer answers no request that could still be asked:
    // copies of frames already seen do no harm, anything else dirties the line.
    if (!judgeIdleBytes())
        return SendEnd::Interrupted;
    // A reply may come late, and a ReadEEPROM reply does not say which address
    // it answers: after anything unexpected nothing goes out until the line has
    // been quiet longer than a reply comes late. The repeat of an unanswered
    // request needs no wait, since a late answer to it answers the repeat too.
    if (lineDirty_ || (!unanswered_.isEmpty() && unanswered_ != frameText)) {
        if (!waitForQuiet(timing_.drainQuietMs, lastRequestAt_))
            return SendEnd::Interrupted;
        lineDirty_ = false;
        unanswered_.clear();
    }
    if (session_.abandoned())
        return SendEnd::Interrupted;
    // Whatever arrived before the request goes out belongs to no reply of it.
    if (transport_ == serialDriver_.get())
        serialDriver_->PurgeQueues(true, false);
    ring_.Reset();
    attemptBytes_.clear();
    replyBytes_.clear();
    idleBytes_.clear();
    listening_ = Listening::Reply;
    if (indicators_)
        indicators_->setPrenosByte(0);
    if (observer_)
        observer_(true, frameText);
    writeResult =
        transport_->WriteData(reinterpret_cast<const std::uint8_t*>(frameText.constData()),
                              static_cast<int>(frameText.size()));
    lastRequestAt_ = now();
    // The shortest answer the command can have: one preamble byte instead of five.
    transport_->replyDue(expectedLineBytes_ > 4
                             ? int(qint64(expectedLineBytes_ - 4) * timing_.byteTimeUs / 1000)
                             : 0);
    return SendEnd::Sent;
}

bool CommandProtocol::pause(int ms)
{
    if (ms <= 0)
        return true;
    bool elapsed = false;
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, [&] {
        elapsed = true;
        loop.quit();
    });
    loop.exec();
    return elapsed;
}

void CommandProtocol::onReceive(const std::uint8_t* data, int size)
{
    if (size <= 0)
        return;
    lastByteAt_ = now();
    const auto bytes = QByteArray(reinterpret_cast<const char*>(data), size);
    switch (listening_) {
    case Listening::Trailing:
        attemptBytes_.append(bytes);
        idleBytes_.append(bytes);
        return;
    case Listening::Idle:
        idleBytes_.append(bytes);
        return;
    case Listening::Reply:
        break;
    }
    int i = 0;
    while (i < size) {
        const std::uint8_t b = data[i++];
        attemptBytes_.append(static_cast<char>(b));
        replyBytes_.append(static_cast<char>(b));
        ring_.Put(b);
        while (!ring_.Empty()) {
            parser_.ProcessReplyByte(ring_.Get());
            if (indicators_)
                indicators_->setPrenosByte(100);
        }
        if (!parser_.ReplyComplete)
            continue;
        const bool invalid = parser_.ChecksumError || parser_.FrameError;
        const int count = parser_.ByteCount;
        const bool matched =
            !invalid && count <= ReplyParser::ReplyDataSize &&
            ReplyMatchesRequest(txFrame_, parser_.ReceivedCommand,
                                std::span<const std::uint8_t>(parser_.ReplyData.data() + 1,
                                                              static_cast<std::size_t>(count)));
        if (!invalid && !matched) {
            // A whole frame that answers another request (a copy of an earlier reply, a
            // late answer): passed over, the answer may still come behind it.
            rememberFrame(FrameOf(BytesOf(replyBytes_)));
            replyBytes_.clear();
            ring_.Reset();
            parser_.StartAttempt();
            continue;
        }
        // The attempt's reply; what follows it in the same chunk is judged with whatever
        // else comes behind it.
        replyMatched_ = matched;
        listening_ = Listening::Trailing;
        idleBytes_ = bytes.mid(i);
        attemptBytes_.append(idleBytes_);
        if (wake_)
            wake_();
        return;
    }
}

} // namespace vtr8
