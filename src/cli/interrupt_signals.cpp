#include "cli/interrupt_signals.h"

#include <QSocketNotifier>

#include <atomic>
#include <csignal>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vtr8 {

namespace {

const char endedText[] = "vtr8ctl: ukončeno\n";
volatile std::sig_atomic_t signalled = 0;

} // namespace

void InterruptSignals::deliver()
{
    if (onInterrupt_)
        onInterrupt_();
}

#ifdef Q_OS_WIN

namespace {

std::atomic<InterruptSignals*> receiver{nullptr};

// Runs on a thread of its own that the system starts for the console event.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (signalled) {
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), endedText, sizeof endedText - 1, &written,
                  nullptr);
        ExitProcess(1);
    }
    signalled = 1;
    if (InterruptSignals* target = receiver.load())
        QMetaObject::invokeMethod(
            target, [target] { target->deliver(); }, Qt::QueuedConnection);
    // Closing the console ends the process as soon as this returns: give the command in
    // flight the few seconds the system waits instead.
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        Sleep(INFINITE);
    return TRUE;
}

} // namespace

InterruptSignals::InterruptSignals(std::function<void()> onInterrupt, QObject* parent)
    : QObject(parent), onInterrupt_(std::move(onInterrupt))
{
    receiver.store(this);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

InterruptSignals::~InterruptSignals()
{
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    receiver.store(nullptr);
}

#else

namespace {

int wakePipe[2] = {-1, -1};

void wake()
{
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(wakePipe[1], &byte, 1);
}

void onSignal(int)
{
    if (signalled) {
        [[maybe_unused]] const auto n = ::write(STDERR_FILENO, endedText, sizeof endedText - 1);
        ::_exit(1);
    }
    signalled = 1;
    wake();
}

void onBrokenPipe(int)
{
    if (signalled)
        return;
    signalled = 1;
    wake();
}

void setHandler(int signal, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

constexpr int endingSignals[] = {SIGINT, SIGTERM, SIGHUP};

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
        deliver();
    });
    for (const int signal : endingSignals)
        setHandler(signal, onSignal);
    setHandler(SIGPIPE, onBrokenPipe);
}

InterruptSignals::~InterruptSignals()
{
    for (const int signal : endingSignals)
        setHandler(signal, SIG_DFL);
    // Output written after the command (its result, the last message) must not kill the
    // process either: the failed write is reported instead.
    setHandler(SIGPIPE, SIG_IGN);
}

#endif

} // namespace vtr8
