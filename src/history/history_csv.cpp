#include "history/history_csv.h"

#include "transfer/csv_cell.h"

namespace vtr8 {
namespace {

// Local time with its offset from UTC, so that a record keeps its moment anywhere.
QString withOffset(const QDateTime& t)
{
    return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

// One line a record, so that line tools read the file too: the messages
// are joined by " | " and their own line breaks become spaces.
QString oneLine(const QStringList& messages)
{
    QString text = messages.join(QStringLiteral(" | "));
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

} // namespace

QByteArray historyCsv(const std::vector<HistoryRecord>& records, CsvFormat format)
{
    const QChar sep = format.separator;
    QString out = QStringList{QStringLiteral("id"),       QStringLiteral("start"),
                              QStringLiteral("end"),      QStringLiteral("program"),
                              QStringLiteral("port"),     QStringLiteral("operation"),
                              QStringLiteral("result"),   QStringLiteral("note"),
                              QStringLiteral("firmware"), QStringLiteral("messages"),
                              QStringLiteral("operator"), QStringLiteral("computer")}
                      .join(sep) +
                  QLatin1Char('\n');
    for (const HistoryRecord& r : records) {
        const QStringList columns = {QString::number(r.id),
                                     withOffset(r.started),
                                     withOffset(r.ended),
                                     r.program,
                                     r.port,
                                     operationKey(r.operation),
                                     resultKey(r.result),
                                     r.note,
                                     r.firmware < 0 ? QString() : QString::number(r.firmware),
                                     oneLine(r.messages),
                                     r.operatorName,
                                     r.computer};
        QStringList cells;
        for (const QString& c : columns)
            cells << csvCell(c, sep);
        out += cells.join(sep) + QLatin1Char('\n');
    }
    QByteArray bytes = format.byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    return bytes + out.toUtf8();
}

CsvFormat spreadsheetCsvFormat(QChar separator)
{
    return {separator.isNull() ? localeCsvSeparator() : separator, true};
}

} // namespace vtr8
