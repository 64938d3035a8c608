#include "app/recent_configurations.h"

#include <QSettings>

namespace vtr8 {
namespace {

const QString Key = QStringLiteral("RecentConfigurations");

} // namespace

QStringList LoadRecentConfigurations()
{
    const QSettings settings(QStringLiteral("ZN"), QStringLiteral("VTR8"));
    return settings.value(Key).toStringList();
}

void SaveRecentConfigurations(const QStringList& files)
{
    QSettings settings(QStringLiteral("ZN"), QStringLiteral("VTR8"));
    settings.setValue(Key, files);
}

} // namespace vtr8
