#pragma once

#include "transfer/measurement_model.h"

namespace vtr8 {

class MainWindowModel;

// The measurement's input choice taken from the main window's Vstup and Linearizace at
// each reading.
MeasurementModel::InputChoiceSource editorInputChoice(const MainWindowModel& mainWindow);

} // namespace vtr8
