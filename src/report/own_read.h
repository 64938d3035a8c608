#pragma once

#include "linearization/point_set.h"
#include "linearization/workspace.h"
#include "model/editor_transfer_context.h"
#include "model/main_window_model.h"

namespace vtr8 {

// A configuration value of the report's own: the transmitter is read into it with the
// editor's link, person and feedback, never into the editor, so unsaved edits stay as they are.
class OwnRead {
public:
    explicit OwnRead(EditorTransferContext& outer);

    EditorTransferContext& ctx() { return ctx_; }
    MainWindowModel& model() { return model_; }

private:
    LinearizationPoints points_;
    LinearizationWorkspace workspace_;
    MainWindowModel model_;
    EditorTransferContext ctx_;
};

} // namespace vtr8
