#pragma once

#include "cli/cli_options.h"

#include <QTextStream>

namespace vtr8 {

class UserInterface;

// Empty when the arguments of batch are complete: one list and exactly one of --check, --tag,
// --next, --status; --protocols only where a row is commissioned.
QString BatchCommandError(const CliOptions& options);

// vtr8ctl batch LIST.csv --check | --status | --tag TAG | --next [--protocols DIR]
int RunBatchCommand(const CliOptions& options, UserInterface& ui, QTextStream& out);

} // namespace vtr8
