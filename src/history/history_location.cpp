#include "history/history_location.h"

#include <QUrl>
#include <QUrlQuery>

namespace vtr8 {

bool isServerLocation(const QString& text)
{
    const QString t = text.trimmed();
    return t.startsWith(QLatin1String("postgresql:"), Qt::CaseInsensitive) ||
           t.startsWith(QLatin1String("postgres:"), Qt::CaseInsensitive);
}

HistoryLocation parseHistoryLocation(const QString& text)
{
    HistoryLocation l;
    if (!isServerLocation(text)) {
        l.file = text;
        return l;
    }
    l.server = true;
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    l.host = url.host();
    l.port = url.port(5432);
    l.user = url.userName();
    l.database = url.path().mid(1);
    if (!url.isValid() || l.host.isEmpty() || l.database.isEmpty() ||
        l.database.contains(QLatin1Char('/'))) {
        l.error = QStringLiteral("adresa databáze musí mít tvar "
                                 "postgresql://UŽIVATEL@SERVER:PORT/DATABÁZE");
        return l;
    }
    if (!url.password().isEmpty()) {
        // A password on a command line is seen by every user of the computer.
        l.error = QStringLiteral("heslo do adresy nepatří; program ho vezme z proměnné "
                                 "PGPASSWORD nebo ze souboru hesel PostgreSQL (.pgpass)");
        return l;
    }
    QStringList options;
    for (const auto& [name, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (name == QLatin1String("password")) {
            l.error = QStringLiteral("heslo do adresy nepatří; program ho vezme z proměnné "
                                     "PGPASSWORD nebo ze souboru hesel PostgreSQL (.pgpass)");
            return l;
        }
        if (name != QLatin1String("connect_timeout"))
            options << name + QLatin1Char('=') + value;
    }
    l.options = options.join(QLatin1Char(';'));
    return l;
}

QString HistoryLocation::display() const
{
    if (!server)
        return file;
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        text += user + QLatin1Char('@');
    return text + host + QLatin1Char(':') + QString::number(port) + QLatin1Char('/') + database;
}

QString HistoryLocation::key() const
{
    return display();
}

} // namespace vtr8
