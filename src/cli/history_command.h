#pragma once

#include "cli/cli_options.h"

#include <QTextStream>

namespace vtr8 {

class UserInterface;

// vtr8ctl history [show ID | export FILE.csv]: the records, no port needed.
int RunHistoryCommand(const CliOptions& options, UserInterface& ui, QTextStream& out);

} // namespace vtr8
