#pragma once

#include "transfer/transfer_context.h"

namespace vtr8 {

class MainWindowModel;

// A transfer context whose feedback goes to the main window's progress bar, firmware label
// and write button, for the buttons that apply what a transfer returns to the editor's
// controls (read, comparators, note buttons, zero and span).
struct EditorTransferContext : TransferContext {
    EditorTransferContext(MainWindowModel& model_, CommandProtocol& link_, UserInterface& ui_,
                          LinearizationPoints& points_, LinearizationWorkspace& workspace_);

    MainWindowModel& model;
};

} // namespace vtr8
