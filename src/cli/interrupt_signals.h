#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace vtr8 {

// Interruptions of vtr8ctl: SIGINT, SIGTERM, SIGHUP (the terminal went away) and SIGPIPE (the
// reader of the output went away) on POSIX systems; Ctrl-C, Ctrl-Break and closing the console
// on Windows. The first one is handed to `onInterrupt` from the event loop (never from inside
// the handler), so the command in flight can end properly; a second Ctrl-C, SIGINT, SIGTERM or
// SIGHUP ends the process at once with status 1. SIGPIPE comes again with every write to the
// dead pipe, so it never counts as the second one.
class InterruptSignals : public QObject {
public:
    explicit InterruptSignals(std::function<void()> onInterrupt, QObject* parent = nullptr);
    ~InterruptSignals() override;
    InterruptSignals(const InterruptSignals&) = delete;
    InterruptSignals& operator=(const InterruptSignals&) = delete;

    // Hands an interruption to `onInterrupt`; called in the event loop's thread.
    void deliver();

private:
    std::function<void()> onInterrupt_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace vtr8
