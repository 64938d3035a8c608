#pragma once

class QWidget;

namespace vtr8 {

// Puts the window in the middle of the primary screen's free area.
void centreOnScreen(QWidget* window);
// Puts the window in the middle of another one (the main window), kept on its screen.
void centreOn(QWidget* window, const QWidget* over);

} // namespace vtr8
