#include "cli/interrupt_signals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace vtr8 {

namespace {

int wakePipe[2] = {-1, -1};
volatile std::sig_atomic_t signalled = 0;

void onSignal(int)
{
    if (signalled) {
        static const char text[] = "vtr8ctl: ukončeno\n";
        [[maybe_unused]] const auto n = ::write(STDERR_FILENO, text, sizeof text - 1);
        ::_exit(1);
    }
    signalled = 1;
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(wakePipe[1], &byte, 1);
}

void setHandler(int signal, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

} // namespace

InterruptSignals::InterruptSignals(std::function<void()> onInterrupt, QObject* parent)
    : QObject(parent), onInterrupt_(std::move(onInterrupt))
{
    if (wakePipe[0] < 0 && ::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        while (::read(wakePipe[0], &byte, 1) > 0) {
        }
        if (onInterrupt_)
            onInterrupt_();
    });
    setHandler(SIGINT, onSignal);
    setHandler(SIGTERM, onSignal);
}

InterruptSignals::~InterruptSignals()
{
    setHandler(SIGINT, SIG_DFL);
    setHandler(SIGTERM, SIG_DFL);
}

} // namespace vtr8
