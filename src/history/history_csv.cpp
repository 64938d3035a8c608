#include "history/history_csv.h"

namespace vtr8 {
namespace {

QString field(QString text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

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

QByteArray historyCsv(const std::vector<HistoryRecord>& records)
{
    QString out = QStringLiteral("id,start,end,program,port,operation,result,note,firmware,"
                                 "messages\n");
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
                                     oneLine(r.messages)};
        QStringList quoted;
        for (const QString& c : columns)
            quoted << field(c);
        out += quoted.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return out.toUtf8();
}

} // namespace vtr8
