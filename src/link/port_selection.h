#pragma once

#include <QString>

namespace vtr8 {

// The port choice of the port window without the widgets: eight items
// COM1..COM8, restored from the per-user store at creation and stored by OK
// only when changed. The store is QSettings organisation "ZN", application
// "VTR8", value "ComPort" = "Com1".."Com8".
class PortSelection {
public:
    // Restores the stored choice (FormCreate).
    PortSelection();

    int itemIndex() const { return itemIndex_; }
    // Live choice; the next command uses it whether or not OK follows.
    // Values outside 0..7 are ignored.
    void setItemIndex(int index);

    // OK: stores the choice if it differs from the last stored one. True when
    // something was written.
    bool confirm();
    int lastStoredIndex() const { return lastStoredIndex_; }

    static int itemCount();
    // "COM1".."COM8".
    static QString itemText(int index);
    // The device item index stands for ("COM3" on Windows, "/dev/ttyS2" ...).
    static QString itemPath(int index);
    // "Com1".."Com8", as stored.
    static QString storedText(int index);

private:
    int itemIndex_ = 0;
    int lastStoredIndex_ = 0;
};

} // namespace vtr8
