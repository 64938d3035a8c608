#include "history/history_identity.h"

#include "history/history_location.h"

#include <QSettings>
#include <QSysInfo>
#include <QUrl>
#include <QUrlQuery>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace vtr8 {
namespace {

const QString Organisation = QStringLiteral("ZN");
const QString Application = QStringLiteral("VTR8");

} // namespace

QString historyOperator()
{
    const QString entered =
        QSettings(Organisation, Application).value(QStringLiteral("HistorieObsluha")).toString();
    if (!entered.trimmed().isEmpty())
        return entered.trimmed();
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    if (user.isEmpty())
        user = qEnvironmentVariable("LOGNAME");
#ifndef _WIN32
    if (user.isEmpty())
        if (const passwd* entry = ::getpwuid(::geteuid()))
            user = QString::fromLocal8Bit(entry->pw_name);
#endif
    return user;
}

void setHistoryOperator(const QString& name)
{
    QSettings(Organisation, Application)
        .setValue(QStringLiteral("HistorieObsluha"), name.trimmed());
}

QString historyComputer()
{
    return QSysInfo::machineHostName();
}

QString savedHistoryLocation()
{
    return QSettings(Organisation, Application)
        .value(QStringLiteral("HistorieDatabaze"))
        .toString();
}

void setSavedHistoryLocation(const QString& location)
{
    QString kept = location.trimmed();
    if (isServerLocation(kept)) {
        // A password never reaches the settings file.
        QUrl url(kept);
        url.setPassword({});
        QUrlQuery query(url);
        query.removeAllQueryItems(QStringLiteral("password"));
        url.setQuery(query);
        kept = url.toString();
    }
    QSettings(Organisation, Application).setValue(QStringLiteral("HistorieDatabaze"), kept);
}

} // namespace vtr8
