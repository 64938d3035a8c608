#include "link/port_lock.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QMutex>
#include <QSet>
#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vtr8 {

namespace {

// Port names are the person's; a lock file name stays well within every file
// system's limit.
constexpr int LongestKey = 80;
// A lock file that says nothing readable was broken by a run of this user (only
// this user writes the folder); it is taken over once it is older than a lock
// file needs to be written.
constexpr qint64 UnreadableLockAgeMs = 5000;

// The lock files this process holds now.
QMutex heldMutex;
QSet<QString> heldFiles;

// A lock whose holder Qt takes for alive can still be a leftover. It is one when it names
// this very process on this machine but is not one this process holds: an earlier run's
// number has come round again (Wine numbers its processes afresh at every start, so the
// run after a killed one often gets its number). On Windows a holder keeps its lock file
// open without leave to delete it, so a file that can be deleted has no holder, whichever
// process now carries the number in it.
bool LeftBehind(const QString& file, qint64 pid, const QString& host)
{
    {
        const QMutexLocker locker(&heldMutex);
        if (heldFiles.contains(file))
            return false;
    }
    if (pid == QCoreApplication::applicationPid() && host == QSysInfo::machineHostName())
        return true;
#ifdef Q_OS_WIN
    return QFile::remove(file);
#else
    return false;
#endif
}

#ifdef Q_OS_UNIX
// None when `folder` is a real folder of this user that nobody else may write.
LockProblem PrivateFolderProblem(const QString& folder)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(folder).constData(), &st) != 0)
        return LockProblem::FolderMissing;
    if (!S_ISDIR(st.st_mode))
        return LockProblem::NotAFolder;
    if (st.st_uid != ::getuid())
        return LockProblem::FolderOfAnotherUser;
    if ((st.st_mode & 022) != 0)
        return LockProblem::FolderWritableByOthers;
    return LockProblem::None;
}
#endif

// The folder of the lock files; `problem` says what is wrong with it, if anything.
QString LockFolder(LockProblem* problem)
{
#ifdef Q_OS_UNIX
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) &&
        PrivateFolderProblem(runtime) == LockProblem::None)
        return runtime;
    // The shared temporary folder only through a folder of this user's own.
    const QString folder =
        QDir::tempPath() + QStringLiteral("/vtr8-%1").arg(static_cast<qulonglong>(::getuid()));
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    *problem = PrivateFolderProblem(folder);
    return folder;
#else
    // The temporary folder of a Windows user lies in the user's own profile.
    *problem = LockProblem::None;
    return QDir::tempPath();
#endif
}

} // namespace

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

PortLock::Place PortLock::LockPlace(const QString& port)
{
    Place place;
    const QString folder = LockFolder(&place.problem);
    QString key = CanonicalPort(port);
    if (key.size() > LongestKey)
        key = key.left(LongestKey / 2) +
              QString::fromLatin1(
                  QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex());
    for (QChar& c : key)
        if (!c.isLetterOrNumber() && c != QLatin1Char('.') && c != QLatin1Char('-'))
            c = QLatin1Char('_');
    place.file = QDir(folder).filePath(QStringLiteral("vtr8-port") + key + QStringLiteral(".lock"));
    return place;
}

PortLock::Result PortLock::acquire(const QString& port)
{
    release();
    const Place place = LockPlace(port);
    lockFile_ = place.file;
    problem_ = place.problem;
    if (problem_ != LockProblem::None)
        return Result::Unusable;
    auto lock = std::make_unique<QLockFile>(lockFile_);
    // Only a dead holder makes a lock stale; a long write must keep it.
    lock->setStaleLockTime(0);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (lock->tryLock(0)) {
            lock_ = std::move(lock);
            const QMutexLocker locker(&heldMutex);
            heldFiles.insert(lockFile_);
            return Result::Acquired;
        }
        if (lock->error() != QLockFile::LockFailedError)
            break;
        qint64 pid = 0;
        QString host;
        QString application;
        if (lock->getLockInfo(&pid, &host, &application)) {
            if (!LeftBehind(lockFile_, pid, host))
                return Result::HeldByOther;
        } else {
            // Empty or garbage: no holder can be named, so none can be waited for.
            const QFileInfo info(lockFile_);
            if (info.lastModified().msecsTo(QDateTime::currentDateTime()) < UnreadableLockAgeMs)
                return Result::HeldByOther;
        }
        if (QFile::exists(lockFile_) && !QFile::remove(lockFile_))
            break;
    }
    problem_ = lock->error() == QLockFile::PermissionError ? LockProblem::NoWritePermission
                                                           : LockProblem::CannotCreate;
    return Result::Unusable;
}

void PortLock::release()
{
    if (lock_) {
        lock_->unlock();
        const QMutexLocker locker(&heldMutex);
        heldFiles.remove(lockFile_);
    }
    lock_.reset();
}

} // namespace vtr8
