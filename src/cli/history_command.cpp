#include "cli/history_command.h"

#include "cli/cli_session.h"
#include "cli/terminal.h"
#include "configuration/file_io.h"
#include "history/history_csv.h"
#include "history/history_store.h"
#include "history/record_text.h"
#include "transfer/note_codec.h"
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

int import(const CliOptions& o, HistoryStore& store, UserInterface& ui)
{
    HistoryStore::ImportResult result;
    if (!store.import(o.arguments[1], result))
        return ExitEndedEarly;
    ui.message(QStringLiteral("Do historie „%1“ přidáno %2 záznamů, %3 už v ní bylo.")
                   .arg(store.path())
                   .arg(result.added)
                   .arg(result.known));
    return ExitDone;
}

} // namespace

int RunHistoryCommand(const CliOptions& o, UserInterface& ui, QTextStream& out)
{
    HistoryStore store(historyPath(o.historyFile, false),
                       [&ui](const QString& text) { ui.message(text); });
    const QString sub = o.arguments.value(0);
    if (sub == QLatin1String("show"))
        return show(o, store, ui, out);
    if (sub == QLatin1String("import"))
        return import(o, store, ui);

    const bool exporting = sub == QLatin1String("export");
    std::vector<HistoryRecord> records;
    if (!store.records(exporting ? HistoryFilter{} : filterOf(o), records))
        return ExitEndedEarly;
    store.tellWaiting();
    if (exporting) {
        const QByteArray csv = historyCsv(records, spreadsheetCsvFormat(o.csvSeparator));
        if (const int error = saveFileAtomically(o.arguments[1], csv); error != 0) {
            ui.message(QStringLiteral("Chyba c. ") + QString::number(error));
            return ExitEndedEarly;
        }
        return ExitDone;
    }
    if (o.csv) {
        // For scripts: a comma unless asked otherwise, and no byte order mark.
        CsvFormat format;
        if (!o.csvSeparator.isNull())
            format.separator = o.csvSeparator;
        writeBytes(out, historyCsv(records, format));
        return ExitDone;
    }
    for (const HistoryRecord& r : records)
        out << QStringLiteral("%1  %2  %3  %4  %5  %6  %7\n")
                   .arg(r.id, 5)
                   .arg(recordTime(r.started), operationText(r.operation), resultText(r.result),
                        visibleControlCharacters(r.port), recordWho(r),
                        visibleControlCharacters(r.note));
    out.flush();
    return ExitDone;
}

} // namespace vtr8
