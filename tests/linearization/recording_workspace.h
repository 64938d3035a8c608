#pragma once

#include "linearization/workspace.h"

#include <clocale>
#include <string>
#include <vector>

namespace vtr8::testing {

// A workspace whose messages are kept in order, as the window would show them.
struct RecordingWorkspace {
    LinearizationPoints points;
    std::vector<std::string> messages;
    LinearizationWorkspace ws{points,
                              [this](const std::string& text) { messages.push_back(text); }};
    // The suite runs under the locale CTest names, as the program under the person's.
    RecordingWorkspace() { ws.DecimalSeparator = std::localeconv()->decimal_point[0]; }
};

} // namespace vtr8::testing
