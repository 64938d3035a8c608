#include "model/file_io.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <memory>

namespace vtr8 {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::FILE* openForReading(const QString& path)
{
#ifdef _WIN32
    return _wfopen(reinterpret_cast<const wchar_t*>(path.utf16()), L"rb");
#else
    return std::fopen(QFile::encodeName(path).constData(), "rb");
#endif
}

// QSaveFile does not report errno; when the C library left none behind, take
// the nearest number for the kind of failure.
int errorNumberFor(QFileDevice::FileError error, int savedErrno)
{
    if (savedErrno != 0)
        return savedErrno;
    switch (error) {
    case QFileDevice::PermissionsError:
        return EACCES;
    case QFileDevice::OpenError:
        return ENOENT;
    case QFileDevice::ResourceError:
        return ENOSPC;
    default:
        return EIO;
    }
}

} // namespace

FileRead readWholeFile(const QString& path)
{
    FileRead result;
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(openForReading(path));
    if (!file) {
        result.status = FileRead::Status::OpenFailed;
        result.error = errno != 0 ? errno : ENOENT;
        return result;
    }
    char buffer[8192];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        result.data.append(buffer, qsizetype(n));
        if (n < sizeof buffer) {
            if (std::ferror(file.get())) {
                result.status = FileRead::Status::ReadFailed;
                result.error = errno != 0 ? errno : EIO;
            }
            break;
        }
    }
    return result;
}

int saveFileAtomically(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return errorNumberFor(file.error(), errno);
    errno = 0;
    if (file.write(data) != data.size()) {
        const int error = errorNumberFor(file.error(), errno);
        file.cancelWriting();
        return error;
    }
    errno = 0;
    if (!file.commit())
        return errorNumberFor(file.error(), errno);
    return 0;
}

} // namespace vtr8
