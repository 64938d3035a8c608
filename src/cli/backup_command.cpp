// vtr8ctl backup: the whole memory into a file, and a readable description beside it.
#include "cli/cli_session.h"

#include "cli/terminal.h"
#include "model/file_io.h"
#include "transfer/memory_backup.h"
#include "transfer/memory_fetch.h"

#include <cstdio>

namespace vtr8 {

int CliSession::backup()
{
    const QString path = options_.arguments[0];
    const bool terminal = isTerminal(stderr);
    MemoryImage image;
    const bool read =
        FetchMemory(link_, ui_, WholeMemoryReads(), image, [terminal](int done, int total) {
            if (terminal) {
                std::fprintf(stderr, "\rČtení paměti: %3d %%", done * 100 / total);
                std::fflush(stderr);
            }
        });
    if (terminal)
        std::fputc('\n', stderr);
    if (!read)
        return ExitEndedEarly;

    const auto& all = image.all();
    const QByteArray raw(reinterpret_cast<const char*>(all.data()),
                         static_cast<qsizetype>(all.size()));
    const QString txtPath = path + QStringLiteral(".txt");
    for (const auto& [file, bytes] :
         {std::pair{path, raw},
          std::pair{txtPath, BackupDescription(image, QDateTime::currentDateTime()).toUtf8()}}) {
        if (const int error = saveFileAtomically(file, bytes); error != 0) {
            ui_.message(QStringLiteral("Chyba c. ") + QString::number(error));
            return ExitEndedEarly;
        }
    }
    return ExitDone;
}

} // namespace vtr8
