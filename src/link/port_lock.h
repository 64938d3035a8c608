#pragma once

#include "link/link_result.h"

#include <QString>

#include <memory>

class QLockFile;

namespace vtr8 {

// One program per port: a lock file named after the port's canonical device
// path, in a folder only this user can write (the session's runtime folder, or
// a private folder of the temporary one), so no other user can plant a file that
// blocks the port. A lock left by a process that no longer runs is taken over.
class PortLock {
public:
    enum class Result {
        Acquired,
        HeldByOther, // another program (or another copy of this one) has the port
        Unusable,    // the lock itself cannot be made: problem() says why
    };

    PortLock();
    ~PortLock();
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;

    // Takes the lock of `port` (a device path or a port name) without waiting.
    Result acquire(const QString& port);
    void release();
    bool held() const { return lock_ != nullptr; }
    // The lock file last asked for and, after Unusable, what is wrong with it.
    const QString& lockFile() const { return lockFile_; }
    LockProblem problem() const { return problem_; }

    // The path the lock is keyed by: symbolic links resolved when the port exists.
    static QString CanonicalPort(const QString& port);
    // The lock file of a port, and what makes its folder unusable (None if nothing).
    struct Place {
        QString file;
        LockProblem problem = LockProblem::None;
    };
    static Place LockPlace(const QString& port);
    static QString LockFilePath(const QString& port) { return LockPlace(port).file; }

private:
    std::unique_ptr<QLockFile> lock_;
    QString lockFile_;
    LockProblem problem_ = LockProblem::None;
};

} // namespace vtr8
