#pragma once

#include "link/port_listing.h"

#include <QList>
#include <QString>

namespace vtr8 {

class PortSession;

// One port the port window offers.
struct OfferedPort {
    int itemIndex = -1; // 0..7 for COM1..COM8; -1 for a port known by its name only
    QString name;       // "COM3", "ttyUSB0"
    QString device;     // what opens it
    QString details;    // description, maker, serial number, when the system lists it
    bool exists = true; // the device is there now
};

// COM1..COM8, then the listed ports that are none of the eight (a listed port that
// is the device of one of the eight lends it its details instead), then `chosenName`
// when it is set and not listed now (an adapter unplugged since it was chosen).
QList<OfferedPort> OfferedPorts(const PortListing& listing, const QString& chosenName = {});

// What a port known by its name opens: the listed port's location, else the
// device of that name where the system keeps its ports (an unplugged adapter:
// the open then fails with its usual message).
QString NamedPortDevice(const QString& name, const PortListing& listing);

// The port choice of the port window without the widgets: one of the eight items
// COM1..COM8 or a port the system lists, known by its name. Restored from the
// per-user store at creation and stored by OK only when changed. The store is
// QSettings organisation "ZN", application "VTR8", value "ComPort": "Com1".."Com8"
// for the eight, the port's name for any other.
class PortSelection {
public:
    // Restores the stored choice (FormCreate).
    PortSelection();

    int itemIndex() const { return itemIndex_; }
    // The chosen port's name when it is none of the eight, else empty.
    const QString& portName() const { return portName_; }
    // Live choice; the next command uses it whether or not OK follows.
    // Values outside 0..7 are ignored. Choosing an item forgets a named port.
    void setItemIndex(int index);
    // Chooses a port by its name; a name of the eight ("COM3") chooses that item.
    void setPortName(const QString& name);

    // "COM3" or "ttyUSB0": the choice as the person knows it.
    QString choiceText() const;
    // The choice as stored: "Com3" or the port's name.
    QString choiceStoredText() const;
    // Makes the session use the choice.
    void applyTo(PortSession& session, const PortListing& listing) const;

    // OK: stores the choice if it differs from the last stored one. True when
    // something was written.
    bool confirm();
    int lastStoredIndex() const { return lastStoredIndex_; }
    const QString& lastStoredName() const { return lastStoredName_; }

    static int itemCount();
    // "COM1".."COM8".
    static QString itemText(int index);
    // The device item index stands for ("COM3" on Windows, "/dev/ttyS2" ...).
    static QString itemPath(int index);
    // "Com1".."Com8", as stored.
    static QString storedText(int index);

private:
    int itemIndex_ = 0;
    QString portName_;
    int lastStoredIndex_ = 0;
    QString lastStoredName_;
};

} // namespace vtr8
