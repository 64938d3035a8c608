#include "link/port_session.h"

#include "link/link_messages.h"
#include "link/port_mapping.h"
#include "user_interface/user_interface.h"

namespace vtr8 {

PortSession::PortSession(UserInterface& ui, QObject* parent) : QObject(parent), ui_(ui) {}

bool PortSession::setPortIndex(int index)
{
    if (index < 0 || index >= ComPortCount)
        return false;
    if (!portFree()) {
        choiceWaits_ = true;
        waitingIndex_ = index;
        waitingPath_ = devicePath_;
        return false;
    }
    portIndex_ = index;
    return true;
}

bool PortSession::setDevicePath(const QString& path)
{
    if (!portFree()) {
        choiceWaits_ = true;
        waitingIndex_ = portIndex_;
        waitingPath_ = path;
        return false;
    }
    devicePath_ = path;
    return true;
}

bool PortSession::setChoice(int index, const QString& path)
{
    if (index < 0 || index >= ComPortCount)
        return false;
    if (!portFree()) {
        choiceWaits_ = true;
        waitingIndex_ = index;
        waitingPath_ = path;
        return false;
    }
    portIndex_ = index;
    devicePath_ = path;
    return true;
}

void PortSession::setExchangeBusy(bool busy)
{
    exchangeBusy_ = busy;
    applyWaitingChoice();
}

void PortSession::applyWaitingChoice()
{
    if (!choiceWaits_ || !portFree())
        return;
    choiceWaits_ = false;
    portIndex_ = waitingIndex_;
    devicePath_ = waitingPath_;
}

QString PortSession::portKey() const
{
    return devicePath_.isEmpty() ? ComPortSystemName(portIndex_) : devicePath_;
}

QString PortSession::portName() const
{
    return devicePath_.isEmpty() ? ComPortItemText(portIndex_) : devicePath_;
}

bool PortSession::holdPort()
{
    if (holds_ == 0 && locking_) {
        const QString key = portKey();
        if (IsTerminalNotSerialPort(key)) {
            refuse(NotSerialPortMessage(portName()));
            return false;
        }
        // An unmapped item names nothing to lock; its open fails with its own message.
        if (!key.isEmpty()) {
            switch (lock_.acquire(key)) {
            case PortLock::Result::Acquired:
                break;
            case PortLock::Result::HeldByOther:
                refuse(PortInUseMessage(portName()));
                return false;
            case PortLock::Result::Unusable:
                refuse(PortLockProblemMessage(lock_.lockFile(), lock_.problem()));
                return false;
            }
        }
    }
    ++holds_;
    return true;
}

void PortSession::releasePort()
{
    if (holds_ == 0)
        return;
    if (--holds_ == 0) {
        lock_.release();
        applyWaitingChoice();
    }
}

bool PortSession::begin(bool protectedFromClose)
{
    if (active_ || exchangeBusy_) {
        refuse(LinkBusyMessage());
        return false;
    }
    if (abandoned_) {
        tellAbandoned();
        return false;
    }
    if (!holdPort())
        return false;
    active_ = true;
    protected_ = protectedFromClose;
    emit changed(true);
    return true;
}

void PortSession::end()
{
    if (!active_)
        return;
    active_ = false;
    protected_ = false;
    releasePort();
    applyWaitingChoice();
    emit changed(false);
}

void PortSession::requestAbandon(const QString& message)
{
    if (!abandoned_ || abandonMessage_.isEmpty())
        abandonMessage_ = message;
    abandoned_ = true;
}

void PortSession::tellAbandoned()
{
    if (!abandonTold_ && !abandonMessage_.isEmpty()) {
        abandonTold_ = true;
        ui_.message(abandonMessage_);
    }
}

void PortSession::setRefusalHandler(std::function<void(const QString&)> handler)
{
    refusalHandler_ = std::move(handler);
}

void PortSession::refuse(const QString& text)
{
    if (refusalHandler_)
        refusalHandler_(text);
    else
        ui_.message(text);
}

} // namespace vtr8
