#pragma once

class QWidget;

namespace vtr8 {

// Puts the window in the middle of the primary screen's free area.
void centreOnScreen(QWidget* window);

} // namespace vtr8
