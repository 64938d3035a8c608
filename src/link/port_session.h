#pragma once

#include "link/port_lock.h"

#include <QObject>
#include <QString>

#include <functional>

namespace vtr8 {

class UserInterface;

// Who may use the port, and which port it is. Transfers run in sessions: one at
// a time owns the link, and a session started while another runs (or while a
// command is exchanged) is refused before it touches anything. A session on the
// serial port holds the port's lock file, so another program cannot open the port
// between the attempts of a transfer; holds are counted (a continuous measurement
// or a whole vtr8ctl run holds it across its sessions). A port chosen while the
// port is held or a command runs takes effect when it is let go: a transfer keeps
// the port it locked.
class PortSession : public QObject {
    Q_OBJECT
public:
    explicit PortSession(UserInterface& ui, QObject* parent = nullptr);

    // Port choice: the SetCom item index 0..7, or an explicit device path
    // (vtr8ctl --port) that wins when not empty. False when the change waits for
    // the port to be let go, or the index is out of range.
    bool setPortIndex(int index);
    bool setDevicePath(const QString& path);
    // Both at once (the port window's choice: an item, or a port by its device).
    bool setChoice(int index, const QString& path);
    int portIndex() const { return portIndex_; }
    QString devicePath() const { return devicePath_; }

    // Whether holding the port takes its lock: only a real port is shared with
    // other programs (not the in-process transports of tests and verify --image).
    void setLocking(bool locking) { locking_ = locking; }
    // The port's lock, counted. Refused (false, with the person told) when another
    // program holds the port, the lock cannot be made, or the device is a terminal
    // that is no serial line.
    bool holdPort();
    void releasePort();
    bool portHeld() const { return holds_ > 0; }

    // Starts a transfer session. Refused (false, with the person told) while
    // another session runs or a command is exchanged, after the link was
    // abandoned, or when the port cannot be held. `protectedFromClose`: the
    // program must not end during it (a configuration write).
    bool begin(bool protectedFromClose = false);
    void end();
    bool active() const { return active_; }
    bool isProtected() const { return active_ && protected_; }
    // Set by the command exchange while a command is exchanged: its attempts all
    // go to the port it started on.
    void setExchangeBusy(bool busy);

    // Ends the running transfer at the next command boundary: the command in
    // flight gets its reply or its time-out but no further attempt, and every
    // later command and session fails at once. `message` (if any) is told once.
    // Lasts for the rest of the run.
    void requestAbandon(const QString& message = {});
    bool abandoned() const { return abandoned_; }
    // Tells the abandon message, the first time only.
    void tellAbandoned();

    // Where refusals (busy link, port in use) go instead of a modal message;
    // the window shows them without stopping the transfer that runs.
    void setRefusalHandler(std::function<void(const QString&)> handler);
    void refuse(const QString& text);

signals:
    void changed(bool active);

private:
    bool portFree() const { return holds_ == 0 && !active_ && !exchangeBusy_; }
    void applyWaitingChoice();
    QString portKey() const;
    QString portName() const;

    UserInterface& ui_;
    int portIndex_ = 0;
    QString devicePath_;
    bool choiceWaits_ = false;
    int waitingIndex_ = 0;
    QString waitingPath_;

    bool locking_ = true;
    int holds_ = 0;
    PortLock lock_;
    bool active_ = false;
    bool protected_ = false;
    bool exchangeBusy_ = false;
    bool abandoned_ = false;
    QString abandonMessage_;
    bool abandonTold_ = false;
    std::function<void(const QString&)> refusalHandler_;
};

} // namespace vtr8
