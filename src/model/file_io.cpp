#include "model/file_io.h"

#include <QFile>

#include <cerrno>
#include <memory>

#ifdef _WIN32
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#else
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vtr8 {

FileRead readWholeFile(const QString& path, qsizetype limit)
{
    FileRead result;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openInputFile(path, result.error),
                                                         &std::fclose);
    if (!file) {
        result.status = FileRead::Status::OpenFailed;
        return result;
    }
    // Read up to one byte past the limit, which tells a file of exactly the limit
    // from a larger one; the size alone is not trusted (files under /proc report none).
    char buffer[8192];
    for (;;) {
        errno = 0;
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        if (result.data.size() + qsizetype(n) > limit) {
            result.status = FileRead::Status::TooLarge;
            result.data.clear();
            return result;
        }
        result.data.append(buffer, qsizetype(n));
        if (n < sizeof buffer) {
            if (std::ferror(file.get())) {
                result.status = FileRead::Status::ReadFailed;
                result.error = errno != 0 ? errno : EIO;
            }
            return result;
        }
    }
}

#ifdef _WIN32

// Windows: no FIFOs or device paths a person picks by accident in a dialog; Qt's
// classes, unbuffered so that every write reports its own failure.
int notRegularFileError(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return 0;
    return info.isDir() ? EISDIR : info.isFile() ? 0 : EINVAL;
}

std::FILE* openInputFile(const QString& path, int& error)
{
    if ((error = notRegularFileError(path)) != 0)
        return nullptr;
    errno = 0;
    std::FILE* file = _wfopen(reinterpret_cast<const wchar_t*>(path.utf16()), L"rb");
    if (file == nullptr)
        error = errno != 0 ? errno : ENOENT;
    return file;
}

int saveFileAtomically(const QString& path, const QByteArray& data)
{
    if (const int error = notRegularFileError(path); error != 0)
        return error;
    QSaveFile file(path);
    errno = 0;
    // QSaveFile leaves errno alone: a missing folder is told apart from a refusal here.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return errno != 0 ? errno : QFileInfo(path).absoluteDir().exists() ? EACCES : ENOENT;
    errno = 0;
    if (file.write(data) != data.size()) {
        const int error = errno != 0 ? errno : ENOSPC;
        file.cancelWriting();
        return error;
    }
    errno = 0;
    if (!file.commit())
        return errno != 0 ? errno : EIO;
    return 0;
}

#else

namespace {

int errorForMode(mode_t mode)
{
    if (S_ISREG(mode))
        return 0;
    return S_ISDIR(mode) ? EISDIR : EINVAL;
}

// Opens a regular file for reading without ever blocking on a FIFO or opening a
// device: the path is checked before the open and the descriptor after it, in
// case the path was swapped in between. -1 with `error` set otherwise.
int openRegularForReading(const QString& path, int& error)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat before {};
    if (::stat(native.constData(), &before) != 0) {
        error = errno;
        return -1;
    }
    if ((error = errorForMode(before.st_mode)) != 0)
        return -1;
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    struct stat after {};
    if (::fstat(fd, &after) != 0 || (error = errorForMode(after.st_mode)) != 0) {
        if (error == 0)
            error = errno;
        ::close(fd);
        return -1;
    }
    return fd;
}

std::ptrdiff_t writeSystem(int fd, const void* buffer, std::size_t count)
{
    return ::write(fd, buffer, count);
}

int syncSystem(int fd)
{
    return ::fsync(fd);
}

// The file a save replaces: the target of a symlink, so the link stays a link.
QByteArray saveTarget(const QByteArray& path)
{
    struct stat link {};
    if (::lstat(path.constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (::realpath(path.constData(), resolved) == nullptr)
        return path; // a dangling link is replaced itself
    return QByteArray(resolved);
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Every byte, or the error number of the write that failed.
int writeAll(int fd, const QByteArray& data)
{
    const char* p = data.constData();
    std::size_t left = static_cast<std::size_t>(data.size());
    while (left > 0) {
        errno = 0;
        const std::ptrdiff_t n = saveFileCalls().write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 && errno != 0 ? errno : EIO;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return 0;
}

void syncDirectoryOf(const QByteArray& target)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray dir = slash < 0    ? QByteArray(".")
                           : slash == 0 ? QByteArray("/")
                                        : target.left(slash);
    const int fd = ::open(dir.constData(), O_RDONLY | O_CLOEXEC | O_DIRECTORY);
    if (fd >= 0) {
        // Only makes the rename durable sooner; the save has succeeded either way.
        (void)::fsync(fd);
        ::close(fd);
    }
}

} // namespace

SaveFileCalls& saveFileCalls()
{
    static SaveFileCalls calls{&writeSystem, &syncSystem};
    return calls;
}

int notRegularFileError(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return errorForMode(st.st_mode);
}

std::FILE* openInputFile(const QString& path, int& error)
{
    const int fd = openRegularForReading(path, error);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        error = errno != 0 ? errno : ENOMEM;
        ::close(fd);
    }
    return file;
}

int saveFileAtomically(const QString& path, const QByteArray& data)
{
    const QByteArray target = saveTarget(QFile::encodeName(path));
    struct stat existing {};
    mode_t mode = 0;
    if (::stat(target.constData(), &existing) == 0) {
        if (const int error = errorForMode(existing.st_mode); error != 0)
            return error;
        mode = existing.st_mode & 07777;
    } else if (errno == ENOENT) {
        mode = newFileMode();
    } else {
        return errno;
    }

    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    // The copy keeps the permissions of the file it replaces; a failure here
    // leaves the stricter ones of the temporary file, which loses nothing.
    (void)::fchmod(fd, mode);

    int error = writeAll(fd, data);
    // Space on some file systems is only taken at the sync: the data is not
    // saved before the sync says so.
    if (error == 0 && saveFileCalls().sync(fd) != 0)
        error = errno != 0 ? errno : EIO;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        return error;
    }
    syncDirectoryOf(target);
    return 0;
}

#endif

} // namespace vtr8
