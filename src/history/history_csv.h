#pragma once

#include "history/history_record.h"

#include <QByteArray>
#include <QChar>

#include <vector>

namespace vtr8 {

struct CsvFormat {
    QChar separator = QLatin1Char(',');
    // A byte order mark first, so that a spreadsheet takes the file as UTF-8.
    bool byteOrderMark = false;
};

// Records as CSV (RFC 4180, UTF-8): one line each, oldest first; keys, not Czech texts, in
// the operation and result columns so that scripts can test them. No cell is taken for a
// formula. Who and where come last, so that the columns before keep their places.
QByteArray historyCsv(const std::vector<HistoryRecord>& records, CsvFormat format = {});

// For a file a person opens in a spreadsheet: the separator of the locale unless one is
// given, and the byte order mark.
CsvFormat spreadsheetCsvFormat(QChar separator = QChar());

} // namespace vtr8
