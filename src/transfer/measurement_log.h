#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

namespace vtr8 {

// One reading of the process value as a record keeps it.
struct MeasurementReading {
    QDateTime time;
    float value = 0;
    QString text; // the value as the window shows it (fixed decimals, a point)
    QString unit;
};

// "time,value,unit"
QByteArray ReadingsCsvHeader();
// Local time in ISO 8601 with milliseconds and the offset, the value with a point, the unit
// (UTF-8); ends with a line feed.
QByteArray ReadingCsvLine(const MeasurementReading& reading);
QByteArray ReadingsCsv(const std::vector<MeasurementReading>& readings);

} // namespace vtr8
