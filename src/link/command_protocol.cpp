#include "link/command_protocol.h"

#include "link/comm_port_driver.h"
#include "link/link_indicators.h"
#include "link/link_messages.h"
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
    ui_.message(LinkBusyMessage());
}

void CommandProtocol::WaitForReply()
{
    // One command at a time: a second one started from inside this one's
    // event processing fails on its own and leaves the first untouched.
    if (busy_ || sendRefused_) {
        finishRefused();
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
    bool timedOut = false;
    bool failedEarly = false;
    for (;;) {
        timedOut = false;
        parser_.StartAttempt();
        ++attempt;
        int writeResult = 0;
        if (!OpenAndSend(frameText, writeResult)) {
            failedEarly = true;
            break;
        }
        if (writeResult == 0) {
            failedEarly = true;
            ui_.message(PortWriteErrorMessage());
            break;
        }

        pause(timing_.sendPauseMs);
        if (!parser_.ReplyComplete) {
            QEventLoop loop;
            QTimer timer2;
            timer2.setSingleShot(true);
            timer2.setTimerType(Qt::PreciseTimer);
            connect(&timer2, &QTimer::timeout, &loop, [&] {
                timedOut = true;
                loop.quit();
            });
            wake_ = [&loop] { loop.quit(); };
            timer2.start(timing_.replyTimeoutMs);
            loop.exec();
            wake_ = nullptr;
            timer2.stop();
        }

        if (indicators_)
            indicators_->setZPocPrij(QString::number(attempt));
        if (observer_ && !attemptBytes_.isEmpty())
            observer_(false, attemptBytes_);
        if (parser_.ReplyComplete || attempt == MaxAttempts)
            break;
    }

    lastAttempt_ = attempt;
    bool failed = failedEarly;
    if (!failedEarly) {
        if (!parser_.ReplyComplete && timedOut)
            failed = true;
        if (parser_.ChecksumError || parser_.FrameError)
            failed = true;
        if (failed)
            ui_.message(CommunicationErrorMessage());
    }
    ReplyData = parser_.ReplyData;
    CommError = failed ? 1 : 0;
    busy_ = false;
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
    ring_.Reset();
    attemptBytes_.clear();
    if (indicators_)
        indicators_->setPrenosByte(0);
    if (observer_)
        observer_(true, frameText);
    writeResult =
        transport_->WriteData(reinterpret_cast<const std::uint8_t*>(frameText.constData()),
                              static_cast<int>(frameText.size()));
    return true;
}

void CommandProtocol::pause(int ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void CommandProtocol::onReceive(const std::uint8_t* data, int size)
{
    for (int i = 0; i < size; ++i) {
        attemptBytes_.append(static_cast<char>(data[i]));
        ring_.Put(data[i]);
        while (!ring_.Empty()) {
            parser_.ProcessReplyByte(ring_.Get());
            if (indicators_)
                indicators_->setPrenosByte(100);
        }
    }
    if (parser_.ReplyComplete && wake_)
        wake_();
}

} // namespace vtr8
