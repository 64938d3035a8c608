#pragma once

#include <memory>

#include <QPoint>
#include <QRect>
#include <QSize>

class QLockFile;
class QWidget;

namespace vtr8 {

// Puts the window in the middle of the primary screen's free area, moved down and right by
// `slot` steps (kept on the screen).
void centreOnScreen(QWidget* window, int slot = 0);
// Where centreOnScreen puts a window of that size.
QPoint slotPosition(QSize size, const QRect& free, int slot);

// The place of one main window among those of every vtr8 running for this user: the first free
// of a few numbered places, held by a lock file until the returned lock goes (a crashed
// program's lock is taken over). With every place taken, place 0 without a lock.
struct WindowSlot {
    int index = 0;
    std::unique_ptr<QLockFile> lock;
};
WindowSlot takeWindowSlot();

// Puts the window in the middle of another one (the main window), kept on its screen.
void centreOn(QWidget* window, const QWidget* over);

} // namespace vtr8
