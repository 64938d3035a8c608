#pragma once

#include "history/history_record.h"

#include <QString>

namespace vtr8 {

// A record for reading: when, where, what, the verdict, the messages, the
// blocks written and the configuration, one "name: value" line each.
QString describeRecord(const HistoryRecord& record);

// Two records' configurations field by field, or why they cannot be compared.
QString compareRecords(const HistoryRecord& before, const HistoryRecord& after);

// "novak@LAPTOP-3": who on which computer, "-" for a record from before they were kept.
QString recordWho(const HistoryRecord& record);

// "2026-03-10 12:00:05"
QString recordTime(const QDateTime& time);

} // namespace vtr8
