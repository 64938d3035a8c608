#pragma once

#include "cli/cli_options.h"

namespace vtr8 {

// --since/--until: an ISO date. False for anything else.
bool SetHistoryDate(QString& out, const QString& text);
// --csv-separator: ",", ";" or "tab" (or a tab itself).
bool SetCsvSeparator(QChar& out, const QString& text);
// --at 0,50,100: per cent of the range, a point as the separator.
bool SetCheckPoints(CliOptions& o, const QString& text);

bool IsHistoryCommand(const QString& command);
// Empty when the arguments of history, check or report are complete.
QString HistoryCommandError(const CliOptions& o);

} // namespace vtr8
