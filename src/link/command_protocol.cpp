#include "link/command_protocol.h"

#include "link/comm_port_driver.h"
#include "link/link_indicators.h"
#include "link/link_messages.h"
#include "link/port_mapping.h"
#include "link/reply_match.h"
#include "user_interface/user_interface.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace vtr8 {

namespace {

constexpr int MaxAttempts = 3;

} // namespace

CommandProtocol::CommandProtocol(UserInterface& ui, QObject* parent)
    : QObject(parent), ui_(ui), serialDriver_(std::make_unique<TCommPortDriver>())
{
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

void CommandProtocol::setPortIndex(int index)
{
    if (index >= 0 && index < 8)
        portIndex_ = index;
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

void CommandProtocol::ReadVar(std::uint16_t address, std::uint8_t count)
{
    SendCommand("ReadRAM", address, count);
    WaitForReply();
}

void CommandProtocol::ReadKonst(std::uint16_t address, std::uint8_t count)
{
    SendCommand("ReadEEPROM", address, count);
    WaitForReply();
}

void CommandProtocol::ReadKonst2(std::uint16_t address, std::uint8_t count)
{
    SendCommand("ReadEEPROM2", address, count);
    WaitForReply();
}

void CommandProtocol::finishRefused()
{
    sendRefused_ = false;
    CommError = 1;
    refuse(LinkBusyMessage());
}

void CommandProtocol::refuse(const QString& text)
{
    if (refusalHandler_)
        refusalHandler_(text);
    else
        ui_.message(text);
}

void CommandProtocol::setRefusalHandler(std::function<void(const QString&)> handler)
{
    refusalHandler_ = std::move(handler);
}

void CommandProtocol::failAbandoned()
{
    CommError = 1;
    if (!abandonTold_ && !abandonMessage_.isEmpty()) {
        abandonTold_ = true;
        ui_.message(abandonMessage_);
    }
}

void CommandProtocol::requestAbandon(const QString& message)
{
    if (!abandoned_ || abandonMessage_.isEmpty())
        abandonMessage_ = message;
    abandoned_ = true;
}

QString CommandProtocol::portKey() const
{
    return devicePath_.isEmpty() ? ComPortSystemName(portIndex_) : devicePath_;
}

bool CommandProtocol::holdPort()
{
    // Only a real port is shared with other programs.
    if (transport_ != serialDriver_.get())
        return true;
    if (portHolds_ == 0) {
        const QString key = portKey();
        if (!key.isEmpty() && !portLock_.acquire(key)) {
            refuse(PortInUseMessage(devicePath_.isEmpty() ? ComPortItemText(portIndex_)
                                                          : devicePath_));
            return false;
        }
    }
    ++portHolds_;
    return true;
}

void CommandProtocol::releasePort()
{
    if (portHolds_ == 0)
        return;
    if (--portHolds_ == 0)
        portLock_.release();
}

bool CommandProtocol::beginSession(bool protectedFromClose)
{
    if (sessionActive() || busy_) {
        refuse(LinkBusyMessage());
        return false;
    }
    if (abandoned_) {
        failAbandoned();
        return false;
    }
    if (!holdPort())
        return false;
    sessionDepth_ = 1;
    sessionProtected_ = protectedFromClose;
    emit sessionChanged(true);
    return true;
}

void CommandProtocol::endSession()
{
    if (!sessionActive())
        return;
    sessionDepth_ = 0;
    sessionProtected_ = false;
    releasePort();
    emit sessionChanged(false);
}

void CommandProtocol::WaitForReply()
{
    // One command at a time: a second one started from inside this one's
    // event processing fails on its own and leaves the first untouched.
    if (busy_ || sendRefused_) {
        finishRefused();
        return;
    }
    if (abandoned_) {
        failAbandoned();
        return;
    }
    if (txFrame_.TxFrameLen == 0) {
        CommError = 1;
        ui_.message(CommunicationErrorMessage());
        return;
    }
    busy_ = true;

    parser_.Clear();
    ReplyData.fill(0);
    const auto wire = txFrame_.wire();
    const QByteArray frameText(reinterpret_cast<const char*>(wire.data()),
                               static_cast<qsizetype>(wire.size()));

    int attempt = 0;
    bool failedEarly = false;
    bool interrupted = false;
    for (;;) {
        parser_.StartAttempt();
        replyMatched_ = false;
        ++attempt;
        int writeResult = 0;
        if (!OpenAndSend(frameText, writeResult)) {
            failedEarly = true;
            break;
        }
        if (writeResult == 0) {
            listening_ = false;
            failedEarly = true;
            ui_.message(PortWriteErrorMessage());
            break;
        }

        if (!pause(timing_.sendPauseMs))
            interrupted = true;
        else if (!parser_.ReplyComplete && waitForReplyOrTimeout() == WaitEnd::Interrupted)
            interrupted = true;
        listening_ = false;

        if (indicators_)
            indicators_->setZPocPrij(QString::number(attempt));
        if (observer_ && !attemptBytes_.isEmpty())
            observer_(false, attemptBytes_);
        if (interrupted) {
            // The application is quitting: its event loops no longer wait, so
            // no further attempt could wait for its reply either.
            requestAbandon();
            break;
        }
        const bool invalid = parser_.ChecksumError || parser_.FrameError;
        if (parser_.ReplyComplete && (invalid || replyMatched_))
            break;
        // A missing reply, or one that answers another request: the request is
        // repeated, unless the session is being abandoned.
        if (attempt == MaxAttempts || abandoned_)
            break;
    }

    lastAttempt_ = attempt;
    const bool answered = !failedEarly && !interrupted && parser_.ReplyComplete && replyMatched_ &&
                          !parser_.ChecksumError && !parser_.FrameError;
    ReplyData = parser_.ReplyData;
    CommError = answered ? 0 : 1;
    busy_ = false;
    if (answered || failedEarly)
        return;
    if (abandoned_)
        failAbandoned();
    else
        ui_.message(CommunicationErrorMessage());
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

bool CommandProtocol::OpenAndSend(const QByteArray& frameText, int& writeResult)
{
    // Every attempt opens the port afresh, with the port chosen right now.
    transport_->ClosePort();
    transport_->prepare(portIndex_, devicePath_);
    if (!transport_->OpenPort()) {
        ui_.message(PortOpenErrorMessage(transport_->portDisplayName()));
        return false;
    }
    transport_->SetDtr(true);
    transport_->SetRts(true);
    // Lets the line settle after the control lines rise. A plain sleep: no
    // received byte may reach the parser before the ring buffer is reset.
    if (timing_.settleMs > 0)
        QThread::msleep(static_cast<unsigned long>(timing_.settleMs));
    // Whatever arrived before the request goes out belongs to no reply of it.
    if (transport_ == serialDriver_.get())
        serialDriver_->PurgeQueues(true, false);
    ring_.Reset();
    attemptBytes_.clear();
    listening_ = true;
    if (indicators_)
        indicators_->setPrenosByte(0);
    if (observer_)
        observer_(true, frameText);
    writeResult =
        transport_->WriteData(reinterpret_cast<const std::uint8_t*>(frameText.constData()),
                              static_cast<int>(frameText.size()));
    return true;
}

bool CommandProtocol::pause(int ms)
{
    if (ms <= 0)
        return true;
    bool elapsed = false;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, [&] {
        elapsed = true;
        loop.quit();
    });
    loop.exec();
    return elapsed;
}

void CommandProtocol::onReceive(const std::uint8_t* data, int size)
{
    // Nothing is listening between attempts, and the first complete reply of an
    // attempt is its answer: a duplicate right behind it cannot overwrite it.
    if (!listening_ || parser_.ReplyComplete)
        return;
    for (int i = 0; i < size && !parser_.ReplyComplete; ++i) {
        attemptBytes_.append(static_cast<char>(data[i]));
        ring_.Put(data[i]);
        while (!ring_.Empty()) {
            parser_.ProcessReplyByte(ring_.Get());
            if (indicators_)
                indicators_->setPrenosByte(100);
        }
    }
    if (!parser_.ReplyComplete)
        return;
    const int count = parser_.ByteCount;
    replyMatched_ =
        count <= ReplyParser::ReplyDataSize &&
        ReplyMatchesRequest(txFrame_, parser_.ReceivedCommand,
                            std::span<const std::uint8_t>(parser_.ReplyData.data() + 1,
                                                          static_cast<std::size_t>(count)));
    if (wake_)
        wake_();
}

} // namespace vtr8
