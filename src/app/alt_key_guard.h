#pragma once

#include <QObject>

namespace vtr8 {

// Alt with a letter is meant for a button. When no enabled button took it, Qt hands the key to
// the widget with the focus, where a line edit types the letter and a list box picks the item
// it starts; in "Vstup" that empties the whole form. Installed on the application, this drops
// such keys. AltGr combinations (Ctrl+Alt on some systems) type real characters and pass.
class AltKeyGuard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace vtr8
