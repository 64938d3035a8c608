#include "cli/standard_output.h"

#include "cli/terminal.h"

#include <QTextStream>

#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vtr8 {

StandardOutput::StandardOutput()
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    console_ = isConsole(stdout);
}

namespace {

// Where the last complete UTF-8 sequence of `bytes` ends.
qsizetype completeUtf8(const QByteArray& bytes)
{
    for (qsizetype back = 1; back <= 4 && back <= bytes.size(); ++back) {
        const auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((c & 0xC0) == 0x80)
            continue;
        const qsizetype length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? bytes.size() - back : bytes.size();
    }
    return bytes.size();
}

long long writeToStandardOutput(const char* data, qint64 size)
{
#ifdef _WIN32
    return _write(1, data, static_cast<unsigned>(qMin<qint64>(size, 1 << 30)));
#else
    return ::write(STDOUT_FILENO, data, static_cast<std::size_t>(size));
#endif
}

} // namespace

qint64 StandardOutput::writeData(const char* data, qint64 size)
{
    if (error_ != 0)
        return -1;
    if (console_) {
        pending_.append(data, size);
        const qsizetype complete = completeUtf8(pending_);
        writeText(stdout, pending_.left(complete));
        pending_.remove(0, complete);
        return size;
    }
    qint64 done = 0;
    while (done < size) {
        const long long n = writeToStandardOutput(data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : EIO;
            return -1;
        }
        done += n;
    }
    return done;
}

int finishStandardOutput(QTextStream& out, const StandardOutput& device, int status)
{
    out.flush();
    errno = 0;
    // ferror: a write through stdout that failed before this flush.
    const bool flushed = std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (device.error() == 0 && flushed)
        return status;
    const int error = device.error() != 0 ? device.error() : (errno != 0 ? errno : EIO);
    std::fprintf(stderr,
                 "vtr8ctl: Chyba c. %d při zápisu na standardní výstup, výstup není úplný.\n",
                 error);
    return 1;
}

} // namespace vtr8
