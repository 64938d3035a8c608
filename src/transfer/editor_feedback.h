#pragma once

#include "model/main_window_model.h"

// The sequences that still show their state in the main window's controls directly (read,
// comparators, note, zero and span); the write goes through TransferFeedback only.
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
