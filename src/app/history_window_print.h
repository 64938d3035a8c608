#pragma once

#include "history/history_record.h"

#include <QString>

#include <vector>

namespace vtr8 {

// The list of records as the history window shows it, on A4 pages of a PDF: date, note,
// operation, result, port, who and where. Empty, or the Czech reason it failed.
QString printHistoryList(const std::vector<HistoryRecord>& records, const QString& heading,
                         const QString& path);

} // namespace vtr8
