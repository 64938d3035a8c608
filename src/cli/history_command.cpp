#include "cli/history_command.h"

#include "cli/cli_session.h"
#include "cli/terminal.h"
#include "configuration/file_io.h"
#include "history/history_csv.h"
#include "history/history_store.h"
#include "history/record_text.h"
#include "user_interface/user_interface.h"

#include <QIODevice>

namespace vtr8 {
namespace {

void writeBytes(QTextStream& out, const QByteArray& bytes)
{
    out.flush();
    out.device()->write(bytes);
}

HistoryFilter filterOf(const CliOptions& o)
{
    HistoryFilter f;
    f.note = o.noteFilter;
    if (!o.since.isEmpty())
        f.since = QDate::fromString(o.since, Qt::ISODate);
    if (!o.until.isEmpty())
        f.until = QDate::fromString(o.until, Qt::ISODate);
    return f;
}

int show(const CliOptions& o, HistoryStore& store, UserInterface& ui, QTextStream& out)
{
    const qint64 id = o.arguments[1].toLongLong();
    const std::optional<HistoryRecord> r = store.record(id);
    if (!r) {
        ui.message(QStringLiteral("Záznam %1 v historii „%2“ není.").arg(id).arg(store.path()));
        return ExitEndedEarly;
    }
    out << describeRecord(*r);
    out.flush();
    if (!o.saveFile.isEmpty()) {
        if (r->configuration.isEmpty()) {
            ui.message(QStringLiteral("Záznam %1 nemá konfiguraci. Soubor nebyl uložen.").arg(id));
            return ExitEndedEarly;
        }
        if (const int error = saveFileAtomically(o.saveFile, r->configuration); error != 0) {
            ui.message(QStringLiteral("Chyba c. ") + QString::number(error));
            return ExitEndedEarly;
        }
    }
    return ExitDone;
}

} // namespace

int RunHistoryCommand(const CliOptions& o, UserInterface& ui, QTextStream& out)
{
    HistoryStore store(historyPath(o.historyFile, false),
                       [&ui](const QString& text) { ui.message(text); });
    if (!o.arguments.isEmpty() && o.arguments[0] == QLatin1String("show"))
        return show(o, store, ui, out);

    const bool exporting = !o.arguments.isEmpty();
    std::vector<HistoryRecord> records;
    if (!store.records(exporting ? HistoryFilter{} : filterOf(o), records))
        return ExitEndedEarly;
    if (exporting) {
        if (const int error = saveFileAtomically(o.arguments[1], historyCsv(records)); error != 0) {
            ui.message(QStringLiteral("Chyba c. ") + QString::number(error));
            return ExitEndedEarly;
        }
        return ExitDone;
    }
    if (o.csv) {
        writeBytes(out, historyCsv(records));
        return ExitDone;
    }
    for (const HistoryRecord& r : records)
        out << QStringLiteral("%1  %2  %3  %4  %5  %6\n")
                   .arg(r.id, 5)
                   .arg(recordTime(r.started), operationText(r.operation), resultText(r.result),
                        r.port, r.note);
    out.flush();
    return ExitDone;
}

} // namespace vtr8
