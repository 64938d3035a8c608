#include "cli/standard_output.h"

#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace vtr8 {

StandardOutput::StandardOutput()
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 StandardOutput::writeData(const char* data, qint64 size)
{
    if (error_ != 0)
        return -1;
    qint64 done = 0;
    while (done < size) {
        const ssize_t n =
            ::write(STDOUT_FILENO, data + done, static_cast<std::size_t>(size - done));
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
    const bool flushed = std::fflush(stdout) == 0;
    if (device.error() == 0 && flushed)
        return status;
    const int error = device.error() != 0 ? device.error() : (errno != 0 ? errno : EIO);
    std::fprintf(stderr,
                 "vtr8ctl: Chyba c. %d při zápisu na standardní výstup, výstup není úplný.\n",
                 error);
    return 1;
}

} // namespace vtr8
