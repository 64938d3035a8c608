#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reading and atomic saving with the operating system's error number,
// which the messages "Chyba c. <n>" show.
namespace vtr8 {

struct FileRead {
    enum class Status { Ok, OpenFailed, ReadFailed };
    Status status = Status::Ok;
    int error = 0; // errno when not Ok
    QByteArray data;
};

FileRead readWholeFile(const QString& path);

// Writes `data` to a temporary file beside `path` and renames it over `path`, so
// an earlier file is either kept whole or replaced whole. Returns 0 or an error
// number (errno, or a close equivalent when the library reports none).
int saveFileAtomically(const QString& path, const QByteArray& data);

} // namespace vtr8
