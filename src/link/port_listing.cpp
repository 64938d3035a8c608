#include "link/port_listing.h"

#include <QSerialPortInfo>
#include <QStringList>

namespace vtr8 {

QList<SystemPort> SystemPortListing::ports() const
{
    QList<SystemPort> result;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        result.push_back({info.portName(), info.systemLocation(), info.description(),
                          info.manufacturer(), info.serialNumber()});
    result += ExtraPorts(qEnvironmentVariable("VTR8_EXTRA_PORTS"));
    return result;
}

QList<SystemPort> ExtraPorts(const QString& setting)
{
    QList<SystemPort> result;
    for (const QString& entry : setting.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype equals = entry.indexOf(QLatin1Char('='));
        const QString name = entry.left(equals).trimmed();
        const QString location = entry.mid(equals + 1).trimmed();
        if (equals <= 0 || name.isEmpty() || location.isEmpty())
            continue;
        result.push_back({name, location, QStringLiteral("zadán ve VTR8_EXTRA_PORTS"), {}, {}});
    }
    return result;
}

const PortListing& DefaultPortListing()
{
    static const SystemPortListing listing;
    return listing;
}

QString PortDetails(const SystemPort& port)
{
    QStringList parts;
    if (!port.description.isEmpty())
        parts << port.description;
    if (!port.manufacturer.isEmpty() && port.manufacturer != port.description)
        parts << port.manufacturer;
    if (!port.serialNumber.isEmpty())
        parts << QStringLiteral("č. ") + port.serialNumber;
    return parts.join(QStringLiteral(", "));
}

} // namespace vtr8
