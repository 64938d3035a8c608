#pragma once

#include "report/commissioning_report.h"

#include <optional>

namespace vtr8 {

class HistoryStore;
struct EditorTransferContext;

// Reads the transmitter's configuration, compares its memory with what was
// last written to it (or, with no write in the history, with its own
// configuration), and gathers the linearization error and the readings of the
// history. nullopt, with the person told, when the configuration cannot be read.
// The configuration is read into a value of the report's own (readConfiguration), never into
// the editor.
std::optional<CommissioningReport> assembleReport(EditorTransferContext& ctx, HistoryStore& history,
                                                  const QString& port);

} // namespace vtr8
