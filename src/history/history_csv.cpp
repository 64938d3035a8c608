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

} // namespace

QByteArray historyCsv(const std::vector<HistoryRecord>& records)
{
    QString out = QStringLiteral("id,start,end,program,port,operation,result,note,firmware,"
                                 "messages\n");
    for (const HistoryRecord& r : records) {
        const QStringList columns = {QString::number(r.id),
                                     r.started.toString(Qt::ISODateWithMs),
                                     r.ended.toString(Qt::ISODateWithMs),
                                     r.program,
                                     r.port,
                                     operationKey(r.operation),
                                     resultKey(r.result),
                                     r.note,
                                     r.firmware < 0 ? QString() : QString::number(r.firmware),
                                     r.messages.join(QLatin1Char('\n'))};
        QStringList quoted;
        for (const QString& c : columns)
            quoted << field(c);
        out += quoted.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return out.toUtf8();
}

} // namespace vtr8
