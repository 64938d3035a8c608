#include "link/port_selection.h"

#include "link/port_mapping.h"
#include "link/port_session.h"

#include <QFileInfo>
#include <QSettings>

namespace vtr8 {

namespace {

const QString Organisation = QStringLiteral("ZN");
const QString Application = QStringLiteral("VTR8");
const QString ComPortKey = QStringLiteral("ComPort");

// Index of "COM1".."COM8" in any case, else -1: these names are the eight items.
int ItemOfName(const QString& name)
{
    for (int i = 0; i < ComPortCount; ++i)
        if (name.compare(ComPortItemText(i), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool DeviceExists(const QString& device, const QList<SystemPort>& listed)
{
    if (device.isEmpty())
        return false;
    for (const SystemPort& port : listed)
        if (port.location == device || port.name == device)
            return true;
#ifdef Q_OS_WIN
    return false;
#else
    return QFileInfo::exists(device);
#endif
}

QString Canonical(const QString& device)
{
    const QString canonical = QFileInfo(device).canonicalFilePath();
    return canonical.isEmpty() ? device : canonical;
}

} // namespace

QList<OfferedPort> OfferedPorts(const PortListing& listing, const QString& chosenName)
{
    const QList<SystemPort> listed = listing.ports();
    QList<OfferedPort> offered;
    for (int i = 0; i < ComPortCount; ++i) {
        const QString device = ComPortSystemName(i);
        offered.push_back({i, ComPortItemText(i), device, {}, DeviceExists(device, listed)});
    }
    bool chosenListed = false;
    for (const SystemPort& port : listed) {
        if (port.name == chosenName)
            chosenListed = true;
        bool isItem = false;
        for (qsizetype i = 0; i < ComPortCount; ++i) {
            OfferedPort& item = offered[i];
            if (!item.device.isEmpty() &&
                (item.device == port.name || Canonical(item.device) == Canonical(port.location))) {
                item.details = PortDetails(port);
                isItem = true;
            }
        }
        if (isItem || ItemOfName(port.name) >= 0)
            continue;
        offered.push_back(
            {-1, port.name, NamedPortDevice(port.name, listing), PortDetails(port), true});
    }
    if (!chosenName.isEmpty() && !chosenListed) {
        const QString device = NamedPortDevice(chosenName, listing);
        offered.push_back({-1, chosenName, device, {}, DeviceExists(device, listed)});
    }
    return offered;
}

QString NamedPortDevice(const QString& name, const PortListing& listing)
{
    QList<ListedPort> listed;
    for (const SystemPort& port : listing.ports())
        listed.push_back({port.name, port.location});
#ifdef Q_OS_WIN
    // Windows opens a port by its name; the location "\\.\COM12" says no more.
    if (!name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')))
        return name;
    return ResolvePortName(name, listed).value_or(name);
#else
    return ResolvePortName(name, listed).value_or(QStringLiteral("/dev/") + name);
#endif
}

PortSelection::PortSelection()
{
    const QSettings settings(Organisation, Application);
    const QString stored = settings.value(ComPortKey).toString();
    // Exact, case-sensitive: "COM3" is not a stored choice of the eight, and as a
    // name it would be one of the eight, so it leaves COM1 as it always did.
    for (int i = 0; i < ComPortCount; ++i)
        if (stored == storedText(i))
            itemIndex_ = i;
    if (itemIndex_ == 0 && stored != storedText(0) && !stored.trimmed().isEmpty() &&
        ItemOfName(stored) < 0)
        portName_ = stored;
    lastStoredIndex_ = itemIndex_;
    lastStoredName_ = portName_;
}

void PortSelection::setItemIndex(int index)
{
    if (index >= 0 && index < ComPortCount) {
        itemIndex_ = index;
        portName_.clear();
    }
}

void PortSelection::setPortName(const QString& name)
{
    if (name.trimmed().isEmpty())
        return;
    if (const int item = ItemOfName(name); item >= 0) {
        setItemIndex(item);
        return;
    }
    itemIndex_ = 0;
    portName_ = name;
}

QString PortSelection::choiceText() const
{
    return portName_.isEmpty() ? itemText(itemIndex_) : portName_;
}

QString PortSelection::choiceStoredText() const
{
    return portName_.isEmpty() ? storedText(itemIndex_) : portName_;
}

void PortSelection::applyTo(PortSession& session, const PortListing& listing) const
{
    session.setChoice(itemIndex_,
                      portName_.isEmpty() ? QString() : NamedPortDevice(portName_, listing));
}

bool PortSelection::confirm()
{
    if (itemIndex_ == lastStoredIndex_ && portName_ == lastStoredName_)
        return false;
    lastStoredIndex_ = itemIndex_;
    lastStoredName_ = portName_;
    QSettings settings(Organisation, Application);
    settings.setValue(ComPortKey, choiceStoredText());
    settings.sync();
    return true;
}

int PortSelection::itemCount()
{
    return ComPortCount;
}

QString PortSelection::itemText(int index)
{
    return ComPortItemText(index);
}

QString PortSelection::itemPath(int index)
{
    return ComPortSystemName(index);
}

QString PortSelection::storedText(int index)
{
    return QStringLiteral("Com%1").arg(index + 1);
}

} // namespace vtr8
