#pragma once

#include "model/main_window_model.h"

// The transfer buttons of the main window (read, comparators, note, zero and span) disable
// themselves and reset the progress bar here; the sequences report through TransferFeedback.
namespace vtr8 {

// Disables a button of the main window for the life of a transfer and enables it
// again on every way out, so no early return can leave it dead.
class DisabledButton {
public:
    DisabledButton(MainWindowModel& model, Control& button);
    ~DisabledButton();
    DisabledButton(const DisabledButton&) = delete;
    DisabledButton& operator=(const DisabledButton&) = delete;

private:
    MainWindowModel& model_;
    Control& button_;
};

// The progress bar Prenos, shown at once.
void SetPrenos(MainWindowModel& model, int position);

} // namespace vtr8
