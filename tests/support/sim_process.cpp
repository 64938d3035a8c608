#include "support/sim_process.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <csignal>

namespace vtr8::test {

SimProcess::SimProcess(QStringList arguments) : arguments_(std::move(arguments)) {}

SimProcess::~SimProcess()
{
    if (running()) {
        stop(2000);
        if (running()) {
            process_.kill();
            process_.waitForFinished(2000);
        }
    }
}

QString SimProcess::executable()
{
    return QStringLiteral(VTR8_SIM_EXECUTABLE);
}

bool SimProcess::start(int timeoutMs)
{
    process_.setProgram(executable());
    process_.setArguments(arguments_);
    process_.start();
    if (!process_.waitForStarted(timeoutMs))
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    while (!process_.canReadLine()) {
        if (deadline.hasExpired() || process_.state() != QProcess::Running)
            return false;
        process_.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
    }
    devicePath_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    return !devicePath_.isEmpty();
}

bool SimProcess::stop(int timeoutMs)
{
    if (process_.state() == QProcess::NotRunning)
        return process_.exitStatus() == QProcess::NormalExit;
    ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
    if (!process_.waitForFinished(timeoutMs))
        return false;
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

bool SimProcess::running() const
{
    return process_.state() != QProcess::NotRunning;
}

QString SimProcess::errorOutput()
{
    stderr_ += process_.readAllStandardError();
    return QString::fromLocal8Bit(stderr_);
}

} // namespace vtr8::test
