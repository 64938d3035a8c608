#pragma once

#include "batch/instrument_list.h"
#include "history/history_record.h"

#include <QDateTime>
#include <QString>

#include <vector>

namespace vtr8 {

enum class RowState { Done, Failed, Pending, Invalid };

struct RowStatus {
    const InstrumentRow* row = nullptr;
    RowState state = RowState::Pending;
    QDateTime time; // when it was done or failed
    QString why;    // a failure's messages, an invalid row's problems, a changed row
};

// Each row's state from the records of the history (oldest first, with their configurations):
// a row is done when the last commissioning recorded under its tag completed with the row's
// configuration as it is now, and, for a row with check points, a check after it completed too.
// Any computer's records count, so a batch goes on from whichever laptop shares the history.
std::vector<RowStatus> batchStatus(const InstrumentList& list,
                                   const std::vector<HistoryRecord>& records);

// The first row in the list's order that can be commissioned and is not done; null when none.
const InstrumentRow* nextRow(const std::vector<RowStatus>& statuses);

// "TT-101<TAB>hotovo<TAB>2026-12-08 20:49:13", "TT-102<TAB>selhalo<TAB>Chyba komunikace", ...
QString rowStatusLine(const RowStatus& status);

} // namespace vtr8
