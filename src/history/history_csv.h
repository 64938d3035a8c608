#pragma once

#include "history/history_record.h"

#include <QByteArray>

#include <vector>

namespace vtr8 {

// Records as CSV (RFC 4180, UTF-8): one line each, oldest first; keys, not
// Czech texts, in the operation and result columns so that scripts can test them.
QByteArray historyCsv(const std::vector<HistoryRecord>& records);

} // namespace vtr8
