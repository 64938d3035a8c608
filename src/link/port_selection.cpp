#include "link/port_selection.h"

#include "link/port_mapping.h"

#include <QSettings>

namespace vtr8 {

namespace {

const QString Organisation = QStringLiteral("ZN");
const QString Application = QStringLiteral("VTR8");
const QString ComPortKey = QStringLiteral("ComPort");

} // namespace

PortSelection::PortSelection()
{
    itemIndex_ = 0;
    const QSettings settings(Organisation, Application);
    const QString stored = settings.value(ComPortKey).toString();
    // Exact, case-sensitive: "COM3" is not a stored choice.
    for (int i = 0; i < ComPortCount; ++i)
        if (stored == storedText(i))
            itemIndex_ = i;
    lastStoredIndex_ = itemIndex_;
}

void PortSelection::setItemIndex(int index)
{
    if (index >= 0 && index < ComPortCount)
        itemIndex_ = index;
}

bool PortSelection::confirm()
{
    if (itemIndex_ == lastStoredIndex_)
        return false;
    lastStoredIndex_ = itemIndex_;
    QSettings settings(Organisation, Application);
    settings.setValue(ComPortKey, storedText(itemIndex_));
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
