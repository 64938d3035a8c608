#include "cli/history_options.h"

#include "report/reference_check.h"

#include <QDate>

namespace vtr8 {
bool SetHistoryDate(QString& out, const QString& text)
{
    out = text;
    return QDate::fromString(text, Qt::ISODate).isValid();
}

bool SetCsvSeparator(QChar& out, const QString& text)
{
    if (text == QLatin1String("tab") || text == QLatin1String("\t"))
        out = QLatin1Char('\t');
    else if (text == QLatin1String(",") || text == QLatin1String(";"))
        out = text.front();
    else
        return false;
    return true;
}

bool SetCheckPoints(CliOptions& o, const QString& text)
{
    const std::optional<QList<double>> points = parseCheckPoints(text);
    o.checkAt = points.value_or(QList<double>());
    return points.has_value();
}

bool IsHistoryCommand(const QString& command)
{
    return command == QLatin1String("history") || command == QLatin1String("check") ||
           command == QLatin1String("report");
}

QString HistoryCommandError(const CliOptions& o)
{
    const QStringList& args = o.arguments;
    if (o.command == QLatin1String("history")) {
        if (o.noHistory)
            return QStringLiteral("history cannot be used with --no-history");
        if (args.isEmpty())
            return {};
        if (args[0] == QLatin1String("show")) {
            bool ok = false;
            if (args.size() != 2 || args[1].toLongLong(&ok) <= 0 || !ok)
                return QStringLiteral("history show needs a record number");
            return {};
        }
        if ((args[0] == QLatin1String("export") || args[0] == QLatin1String("import")) &&
            args.size() == 2)
            return {};
        return QStringLiteral("history [show ID | export FILE.csv | import OTHER.sqlite]");
    }
    if (o.command == QLatin1String("check")) {
        if (!args.isEmpty() || o.checkAt.isEmpty())
            return QStringLiteral("check needs --at with per cent values such as 0,50,100");
        return {};
    }
    if (args.size() != 1 || !args[0].endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return QStringLiteral("report needs one FILE.pdf");
    return {};
}

} // namespace vtr8
