#include "configuration/file_io.h"

#include <QFile>

#include <cerrno>
#include <memory>
#include <utility>
#include <vector>

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

bool isForeignLinkInSharedFolder(const QString&)
{
    return false;
}

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

// QSaveFile commits each file on its own: the files are saved one after another and the first
// failure stops the rest, so there FILE may be new while FILE.txt is not.
int saveFilesTogether(const std::vector<std::pair<QString, QByteArray>>& files, QString* failed)
{
    for (const auto& [path, data] : files) {
        if (const int error = saveFileAtomically(path, data); error != 0) {
            if (failed)
                *failed = path;
            return error;
        }
    }
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

QByteArray directoryOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// A link that someone else put into a folder everyone may write to, where its owner could point
// it at any file of ours: the kernel's own rule for such folders, whether or not it is enforced.
bool foreignLinkInSharedFolder(const QByteArray& path, const struct stat& link)
{
    struct stat folder {};
    if (::stat(directoryOf(path).constData(), &folder) != 0)
        return false;
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return shared && link.st_uid != ::geteuid() && link.st_uid != folder.st_uid;
}

// The file a save replaces: the target of a symlink, so the link stays a link. Empty when the
// link must not be followed.
QByteArray saveTarget(const QByteArray& path)
{
    struct stat link {};
    if (::lstat(path.constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    if (foreignLinkInSharedFolder(path, link))
        return {};
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
    const int fd = ::open(directoryOf(target).constData(), O_RDONLY | O_CLOEXEC | O_DIRECTORY);
    if (fd >= 0) {
        // Only makes the rename durable sooner; the save has succeeded either way.
        (void)::fsync(fd);
        ::close(fd);
    }
}

// A file written beside its target, synced and closed, ready to be renamed over it.
struct PreparedFile {
    QByteArray target;
    QByteArray temporary;
};

// 0 and the prepared file, or an error number and nothing left behind.
int prepareFile(const QString& path, const QByteArray& data, PreparedFile& prepared)
{
    const QByteArray target = saveTarget(QFile::encodeName(path));
    if (target.isEmpty())
        return EACCES;
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
    if (error != 0) {
        ::unlink(temporary.constData());
        return error;
    }
    prepared = {target, temporary};
    return 0;
}

} // namespace

bool isForeignLinkInSharedFolder(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat link {};
    return ::lstat(name.constData(), &link) == 0 && S_ISLNK(link.st_mode) &&
           foreignLinkInSharedFolder(name, link);
}

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
    return saveFilesTogether({{path, data}});
}

int saveFilesTogether(const std::vector<std::pair<QString, QByteArray>>& files, QString* failed)
{
    std::vector<PreparedFile> prepared;
    const auto discard = [&prepared] {
        for (const PreparedFile& file : prepared)
            ::unlink(file.temporary.constData());
    };
    for (const auto& [path, data] : files) {
        PreparedFile file;
        if (const int error = prepareFile(path, data, file); error != 0) {
            discard();
            if (failed)
                *failed = path;
            return error;
        }
        prepared.push_back(file);
    }

    // Every file is written; the renames follow. With several files the earlier content of
    // each target stays reachable under a second name (a hard link) until all are in place, so
    // that a rename that fails can be undone.
    struct Earlier {
        bool existed = false;
        QByteArray kept; // empty: nothing to restore from
    };
    std::vector<Earlier> earlier(prepared.size());
    for (std::size_t i = 0; i < prepared.size(); ++i) {
        const QByteArray& target = prepared[i].target;
        if (prepared.size() > 1 && ::access(target.constData(), F_OK) == 0) {
            earlier[i].existed = true;
            QByteArray kept = target + ".old-XXXXXX";
            const int fd = ::mkostemp(kept.data(), O_CLOEXEC);
            if (fd >= 0) {
                ::close(fd);
                ::unlink(kept.constData());
                if (::link(target.constData(), kept.constData()) == 0)
                    earlier[i].kept = kept;
            }
        }
        if (::rename(prepared[i].temporary.constData(), target.constData()) != 0) {
            const int error = errno;
            for (std::size_t j = 0; j < i; ++j) {
                if (!earlier[j].kept.isEmpty())
                    ::rename(earlier[j].kept.constData(), prepared[j].target.constData());
                else if (!earlier[j].existed)
                    ::unlink(prepared[j].target.constData());
            }
            for (std::size_t j = i; j < prepared.size(); ++j)
                ::unlink(prepared[j].temporary.constData());
            if (!earlier[i].kept.isEmpty())
                ::unlink(earlier[i].kept.constData());
            if (failed)
                *failed = files[i].first;
            return error;
        }
    }
    for (const Earlier& e : earlier)
        if (!e.kept.isEmpty())
            ::unlink(e.kept.constData());
    for (const PreparedFile& file : prepared)
        syncDirectoryOf(file.target);
    return 0;
}

#endif

} // namespace vtr8
