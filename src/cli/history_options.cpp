#include "cli/history_options.h"

#include <QDate>

namespace vtr8 {
namespace {

bool isDate(const QString& text)
{
    return QDate::fromString(text, Qt::ISODate).isValid();
}

} // namespace

OptionMatch ParseHistoryOption(const QStringList& arguments, int& i, CliOptions& o, QString& error)
{
    const QString& a = arguments.at(i);
    auto value = [&](QString& out, const char* need) {
        if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty()) {
            error = QString::fromLatin1(need);
            return OptionMatch::Error;
        }
        out = arguments.at(++i);
        return OptionMatch::Taken;
    };
    if (a == QLatin1String("--no-history")) {
        o.noHistory = true;
        return OptionMatch::Taken;
    }
    if (a == QLatin1String("--history"))
        return value(o.historyFile, "--history needs a file");
    if (a == QLatin1String("--note"))
        return value(o.noteFilter, "--note needs a text");
    if (a == QLatin1String("--since") || a == QLatin1String("--until")) {
        QString& date = a == QLatin1String("--since") ? o.since : o.until;
        if (value(date, "--since and --until need a date YYYY-MM-DD") == OptionMatch::Error ||
            !isDate(date)) {
            error = QStringLiteral("--since and --until need a date YYYY-MM-DD");
            return OptionMatch::Error;
        }
        return OptionMatch::Taken;
    }
    if (a == QLatin1String("--at")) {
        QString list;
        if (value(list, "--at needs per cent values such as 0,50,100") == OptionMatch::Error)
            return OptionMatch::Error;
        o.checkAt.clear();
        for (const QString& part : list.split(QLatin1Char(','))) {
            bool ok = false;
            const double p = part.trimmed().toDouble(&ok); // C locale: a point, always
            if (!ok || p < -10 || p > 110) {
                error = QStringLiteral("--at needs per cent values -10..110 such as 0,50,100");
                return OptionMatch::Error;
            }
            o.checkAt << p;
        }
        return OptionMatch::Taken;
    }
    return OptionMatch::No;
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
        if (args[0] == QLatin1String("export") && args.size() == 2)
            return {};
        return QStringLiteral("history [show ID | export FILE.csv]");
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
