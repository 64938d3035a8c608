#include "model/measurement_input.h"

#include "model/main_window_model.h"

namespace vtr8 {

MeasurementModel::InputChoiceSource editorInputChoice(const MainWindowModel& mainWindow)
{
    return [&mainWindow] {
        return MeasurementModel::InputChoice{inputTypeFromText(mainWindow.Vstup.text),
                                             linearizationFromText(mainWindow.Linearizace.text)};
    };
}

} // namespace vtr8
