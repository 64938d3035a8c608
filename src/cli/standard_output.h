#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QTextStream>

namespace vtr8 {

// vtr8ctl's standard output as a device that checks every write: a full disk,
// /dev/full or a closed pipe is remembered with its error number instead of
// being lost in a buffer, so the program can end with a message and exit 1. A Windows console
// gets the text through its wide-character write (cli/terminal.h).
class StandardOutput : public QIODevice {
public:
    StandardOutput();

    // The errno of the first failed write; 0 while everything was written.
    int error() const { return error_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    int error_ = 0;
    bool console_ = false; // a Windows console: written as wide characters
    QByteArray pending_;   // the start of a UTF-8 sequence the next write completes
};

// Flushes `out`, and the C library's stdout for anything written past it;
// returns `status`, or 1 after a message on stderr when any of the output
// could not be written.
int finishStandardOutput(QTextStream& out, const StandardOutput& device, int status);

} // namespace vtr8
