#include "link/port_lock.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace vtr8 {

PortLock::PortLock() = default;

PortLock::~PortLock()
{
    release();
}

QString PortLock::CanonicalPort(const QString& port)
{
    const QString canonical = QFileInfo(port).canonicalFilePath();
    return canonical.isEmpty() ? port : canonical;
}

QString PortLock::LockFilePath(const QString& port)
{
    // The runtime folder only when the session has one: asking Qt for it otherwise
    // prints a warning into vtr8ctl's messages.
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::tempPath();
    QString key = CanonicalPort(port);
    for (QChar& c : key)
        if (!c.isLetterOrNumber() && c != QLatin1Char('.') && c != QLatin1Char('-'))
            c = QLatin1Char('_');
    return folder + QStringLiteral("/vtr8-port") + key + QStringLiteral(".lock");
}

bool PortLock::acquire(const QString& port)
{
    release();
    auto lock = std::make_unique<QLockFile>(LockFilePath(port));
    // Only a dead holder makes a lock stale; a long write must keep it.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    lock_ = std::move(lock);
    return true;
}

void PortLock::release()
{
    if (lock_)
        lock_->unlock();
    lock_.reset();
}

} // namespace vtr8
