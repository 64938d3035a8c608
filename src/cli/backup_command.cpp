// vtr8ctl backup: the whole memory into a file, and a readable description beside it.
#include "cli/cli_session.h"

#include "cli/terminal.h"
#include "configuration/file_io.h"
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
                writeText(
                    stderr,
                    QStringLiteral("\rČtení paměti: %1 %").arg(done * 100 / total, 3).toUtf8());
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
    QString failed;
    // The image and its description are one backup: both are replaced or neither.
    if (const int error = saveFilesTogether(
            {{path, raw},
             {txtPath, BackupDescription(image, QDateTime::currentDateTime()).toUtf8()}},
            &failed);
        error != 0) {
        ui_.message(QStringLiteral("Záloha nebyla uložena: soubor „%1“, chyba c. %2.")
                        .arg(failed)
                        .arg(error));
        return ExitEndedEarly;
    }
    return ExitDone;
}

} // namespace vtr8
