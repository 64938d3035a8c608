#include "app/window_placement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace vtr8 {

void centreOnScreen(QWidget* window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(0, 0), window->size());
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void centreOn(QWidget* window, const QWidget* over)
{
    if (!over || !over->isVisible()) {
        centreOnScreen(window);
        return;
    }
    QRect frame = window->frameGeometry();
    frame.moveCenter(over->frameGeometry().center());
    if (const QScreen* screen = over->screen()) {
        const QRect free = screen->availableGeometry();
        frame.moveLeft(std::clamp(frame.left(), free.left(),
                                  std::max(free.left(), free.right() - frame.width())));
        frame.moveTop(std::clamp(frame.top(), free.top(),
                                 std::max(free.top(), free.bottom() - frame.height())));
    }
    window->move(frame.topLeft());
}

} // namespace vtr8
