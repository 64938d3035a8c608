#include "transfer/measurement_log.h"

#include "transfer/csv_cell.h"

namespace vtr8 {

QByteArray ReadingsCsvHeader()
{
    return QByteArrayLiteral("time,value,unit\n");
}

QByteArray ReadingCsvLine(const MeasurementReading& r)
{
    const QDateTime local = r.time.toOffsetFromUtc(r.time.offsetFromUtc());
    QString unit = r.unit;
    // A unit never holds a comma, but a record must stay three columns whatever comes.
    unit.replace(QLatin1Char(','), QLatin1Char(' '));
    return (local.toString(Qt::ISODateWithMs) + QLatin1Char(',') + csvCell(r.text.trimmed()) +
            QLatin1Char(',') + csvCell(unit) + QLatin1Char('\n'))
        .toUtf8();
}

QByteArray ReadingsCsv(const std::vector<MeasurementReading>& readings)
{
    QByteArray out = ReadingsCsvHeader();
    for (const MeasurementReading& r : readings)
        out += ReadingCsvLine(r);
    return out;
}

} // namespace vtr8
