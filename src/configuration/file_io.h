#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdio>
#include <utility>
#include <vector>

// Whole-file reading and atomic saving with the operating system's error number,
// which the messages "Chyba c. <n>" show.
namespace vtr8 {

// No configuration or point file comes near this; anything larger is not one
// and would only fill memory.
inline constexpr qsizetype MaxInputFileSize = 1024 * 1024;

struct FileRead {
    enum class Status {
        Ok,
        OpenFailed, // see error; a directory, FIFO or device is refused here too
        ReadFailed, // see error
        TooLarge    // more than the limit; nothing of it is kept
    };
    Status status = Status::Ok;
    int error = 0; // errno when OpenFailed or ReadFailed
    QByteArray data;
};

// Reads the file at `path`, at most `limit` bytes. Only a regular file (or a
// symlink to one) is opened at all: a FIFO would block, a device could be
// endless, a directory holds no text.
FileRead readWholeFile(const QString& path, qsizetype limit = MaxInputFileSize);

// The error number for a path that names something other than a regular file:
// EISDIR for a directory, EINVAL for a FIFO, device or socket; 0 for a regular
// file or a path that does not exist (yet).
int notRegularFileError(const QString& path);

// A symbolic link someone else put into a folder everyone may write to (such as /tmp):
// following it would hand them our file. Saves refuse such a path.
bool isForeignLinkInSharedFolder(const QString& path);

// Opens `path` for reading after the same check as readWholeFile; nullptr with
// `error` set otherwise. The caller closes the stream.
std::FILE* openInputFile(const QString& path, int& error);

// Writes `data` to a temporary file beside `path`, checks every write, syncs and
// closes it, and renames it over `path` only when all of that succeeded, so an
// earlier file is either kept whole or replaced whole. A path that names an
// existing directory, FIFO, device or socket is refused and left alone; a
// symlink to a regular file has its target replaced. Returns 0 or an error
// number (errno; 28 for a full disk).
int saveFileAtomically(const QString& path, const QByteArray& data);

// Saves files that belong together (a memory image and its description) so that all of them
// are replaced or none: every one is written and synced beside its target before the first is
// renamed into place, and should a rename still fail, those already renamed get their earlier
// content back. On failure `failed` names the file at fault. On POSIX systems a save refuses
// (EACCES) to follow a symlink that another user owns in a sticky folder everyone may write to.
int saveFilesTogether(const std::vector<std::pair<QString, QByteArray>>& files,
                      QString* failed = nullptr);

#ifndef _WIN32
// The system calls the save makes on its temporary file. Tests replace them to
// make a write or the sync fail where no small or full disk is at hand.
struct SaveFileCalls {
    std::ptrdiff_t (*write)(int fd, const void* buffer, std::size_t count);
    int (*sync)(int fd);
};
SaveFileCalls& saveFileCalls();
#endif

} // namespace vtr8
