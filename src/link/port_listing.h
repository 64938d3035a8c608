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

// The ports QSerialPortInfo lists now.
class SystemPortListing : public PortListing {
public:
    QList<SystemPort> ports() const override;
};

// The listing used where none is given: the system's.
const PortListing& DefaultPortListing();

// "USB Serial, FTDI, č. A1B2": what is known of a listed port besides its name.
QString PortDetails(const SystemPort& port);

} // namespace vtr8
