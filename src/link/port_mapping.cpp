#include "link/port_mapping.h"

#include <QSettings>
#include <QtGlobal>

namespace vtr8 {

QString ComPortItemText(int index)
{
    return QStringLiteral("COM%1").arg(index + 1);
}

QString ComPortSystemName(int index)
{
#ifdef Q_OS_WIN
    return ComPortItemText(index);
#else
    const int n = index + 1;
    const QString fromEnvironment =
        qEnvironmentVariable(qPrintable(QStringLiteral("VTR8_COM%1").arg(n)));
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QSettings settings(QStringLiteral("ZN"), QStringLiteral("VTR8"));
    const QString fromSettings = settings.value(QStringLiteral("Devices/Com%1").arg(n)).toString();
    if (!fromSettings.isEmpty())
        return fromSettings;
    return QStringLiteral("/dev/ttyS%1").arg(index);
#endif
}

} // namespace vtr8
