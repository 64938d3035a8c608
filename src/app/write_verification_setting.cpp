#include "app/write_verification_setting.h"

#include <QSettings>

namespace vtr8 {
namespace {

const QString Key = QStringLiteral("VerifyWrite");

} // namespace

bool LoadWriteVerification()
{
    const QSettings settings(QStringLiteral("ZN"), QStringLiteral("VTR8"));
    return settings.value(Key, false).toBool();
}

void SaveWriteVerification(bool on)
{
    QSettings settings(QStringLiteral("ZN"), QStringLiteral("VTR8"));
    settings.setValue(Key, on);
}

} // namespace vtr8
