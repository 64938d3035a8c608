#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace vtr8 {

// One program per port: a lock file named after the port's canonical device
// path, in the user's runtime folder (or the temporary one). A lock left by a
// process that no longer runs is taken over.
class PortLock {
public:
    PortLock();
    ~PortLock();
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;

    // Takes the lock of `port` (a device path or a port name) without waiting.
    // False when another program holds it.
    bool acquire(const QString& port);
    void release();
    bool held() const { return lock_ != nullptr; }

    // The path the lock is keyed by: symbolic links resolved when the port exists.
    static QString CanonicalPort(const QString& port);
    // The lock file of a port.
    static QString LockFilePath(const QString& port);

private:
    std::unique_ptr<QLockFile> lock_;
};

} // namespace vtr8
