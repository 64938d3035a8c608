#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace vtr8 {

// SIGINT and SIGTERM for vtr8ctl. The first one is handed to `onInterrupt` from
// the event loop (never from inside the handler), so the command in flight can
// end properly; a second one ends the process at once with status 1.
class InterruptSignals : public QObject {
public:
    explicit InterruptSignals(std::function<void()> onInterrupt, QObject* parent = nullptr);
    ~InterruptSignals() override;
    InterruptSignals(const InterruptSignals&) = delete;
    InterruptSignals& operator=(const InterruptSignals&) = delete;

private:
    std::function<void()> onInterrupt_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace vtr8
