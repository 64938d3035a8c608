#pragma once

#include "cli/cli_options.h"

#include <QTextStream>

namespace vtr8 {

class MainWindowModel;
class TableWindowModel;
class TextUserInterface;

// `vtr8ctl linearization CONFIG`: loads the configuration (and point file) as a write would,
// then prints the error of what the transmitter will compute as CSV or draws it into a picture.
// Touches no port.
int RunLinearizationCommand(const CliOptions& options, TextUserInterface& ui, QTextStream& out,
                            MainWindowModel& model, TableWindowModel& table);

} // namespace vtr8
