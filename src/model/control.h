#pragma once

#include <QString>
#include <QStringList>

namespace vtr8 {

// The widget that shows a control. Window is the window's own caption.
enum class ControlKind { Window, Label, Image, Edit, ComboBox, CheckBox, Button, ProgressBar };

// One control of the main window as the editor model sees it. Edit fields and
// combo boxes use `text`; labels, buttons and check boxes use `caption`; combo
// boxes also have `items`; check boxes `checked`; progress bars `position`.
// The window copies these into its widgets and never keeps state of its own.
struct Control {
    QString text;
    QStringList items;
    int itemIndex = -1;
    bool visible = true;
    bool enabled = true;
    QString caption;
    bool checked = false;
    int position = 0;
};

} // namespace vtr8
