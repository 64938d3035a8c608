#pragma once

#include <QList>
#include <QString>

namespace vtr8 {

// A serial port the system lists (a built-in port, a USB adapter).
struct SystemPort {
    QString name;     // "ttyUSB0", "COM12"
    QString location; // what opens it: "/dev/ttyUSB0", "\\.\COM12"
    QString description;
    QString manufacturer;
    QString serialNumber;
};

// Where the port window and the search take the system's ports from; tests give
// their own list.
class PortListing {
public:
    virtual ~PortListing() = default;
    virtual QList<SystemPort> ports() const = 0;
};

// The ports QSerialPortInfo lists now, then those named in VTR8_EXTRA_PORTS.
class SystemPortListing : public PortListing {
public:
    QList<SystemPort> ports() const override;
};

// Ports the system cannot list (a pseudo-terminal, a port forwarded over the network), named
// as NAME=DEVICE entries separated by ';'; an entry without both halves is left out.
QList<SystemPort> ExtraPorts(const QString& setting);

// The listing used where none is given: the system's.
const PortListing& DefaultPortListing();

// "USB Serial, FTDI, č. A1B2": what is known of a listed port besides its name.
QString PortDetails(const SystemPort& port);

} // namespace vtr8
