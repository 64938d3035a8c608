#pragma once

#include "cli/cli_options.h"

namespace vtr8 {

enum class OptionMatch { No, Taken, Error };

// The options of the history, check and report commands and of the history
// file. Taken moves `i` past a value; Error puts the usage text in `error`.
OptionMatch ParseHistoryOption(const QStringList& arguments, int& i, CliOptions& o, QString& error);

bool IsHistoryCommand(const QString& command);
// Empty when the arguments of history, check or report are complete.
QString HistoryCommandError(const CliOptions& o);

} // namespace vtr8
