#pragma once

#include "model/main_window_model.h"

namespace vtr8 {

// Emits changed() once, when the outermost handler of a nested chain returns,
// so the window refreshes once per person's action rather than per inner step.
class MainWindowModel::ChangeScope {
public:
    explicit ChangeScope(MainWindowModel& model) : model_(model) { ++model_.changeDepth_; }
    ~ChangeScope()
    {
        if (--model_.changeDepth_ == 0)
            emit model_.changed();
    }
    ChangeScope(const ChangeScope&) = delete;
    ChangeScope& operator=(const ChangeScope&) = delete;

private:
    MainWindowModel& model_;
};

} // namespace vtr8
