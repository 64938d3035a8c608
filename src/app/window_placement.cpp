#include "app/window_placement.h"

#include "link/port_lock.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLockFile>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace vtr8 {

namespace {

// Far enough that the title bar of the window beneath shows.
constexpr int SlotStep = 32;
constexpr int SlotCount = 8;

QPoint keptOn(QRect frame, const QRect& free)
{
    frame.moveLeft(
        std::clamp(frame.left(), free.left(), std::max(free.left(), free.right() - frame.width())));
    frame.moveTop(
        std::clamp(frame.top(), free.top(), std::max(free.top(), free.bottom() - frame.height())));
    return frame.topLeft();
}

// Past the screen's edge the steps go on from its other edge, so a window that nearly fills
// the screen still moves away from the one beneath.
int wrapped(int position, int first, int last)
{
    return last <= first ? first : first + (position - first) % (last - first + 1);
}

} // namespace

QPoint slotPosition(QSize size, const QRect& free, int slot)
{
    QRect frame(QPoint(0, 0), size);
    frame.moveCenter(free.center());
    const QPoint centred = keptOn(frame, free);
    const int step = slot * SlotStep;
    return {wrapped(centred.x() + step, free.left(), free.right() + 1 - size.width()),
            wrapped(centred.y() + step, free.top(), free.bottom() + 1 - size.height())};
}

void centreOnScreen(QWidget* window, int slot)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(slotPosition(window->size(), screen->availableGeometry(), slot));
}

WindowSlot takeWindowSlot()
{
    // Beside the port locks, in a folder only this user can write: a shared temporary folder
    // would let another user's windows (or planted files) take the slots.
    const PortLock::Place place = PortLock::LockPlace(QString());
    if (place.problem != LockProblem::None)
        return {};
    const QDir folder = QFileInfo(place.file).dir();
    for (int index = 0; index < SlotCount; ++index) {
        auto lock = std::make_unique<QLockFile>(
            folder.filePath(QStringLiteral("vtr8-window-%1.lock").arg(index)));
        lock->setStaleLockTime(0); // a lock is stale only when its program is gone
        if (lock->tryLock(0))
            return {index, std::move(lock)};
    }
    return {};
}

void centreOn(QWidget* window, const QWidget* over)
{
    if (!over || !over->isVisible()) {
        centreOnScreen(window);
        return;
    }
    QRect frame = window->frameGeometry();
    frame.moveCenter(over->frameGeometry().center());
    if (const QScreen* screen = over->screen())
        window->move(keptOn(frame, screen->availableGeometry()));
    else
        window->move(frame.topLeft());
}

} // namespace vtr8
