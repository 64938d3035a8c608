#include "app/alt_key_guard.h"

#include <QKeyEvent>

namespace vtr8 {

bool AltKeyGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers();
        // Arrow keys and the like (Alt+Down opens a list) have no text and pass.
        if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier) && !key->text().isEmpty() &&
            key->text().at(0).isPrint())
            return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vtr8
