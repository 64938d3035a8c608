#include "transfer/csv_cell.h"

#include <QLocale>
#include <QRegularExpression>

namespace vtr8 {
namespace {

bool plainNumber(const QString& text)
{
    static const QRegularExpression number(
        QStringLiteral("^[-+]?[0-9]+([.,][0-9]+)?([eE][-+]?[0-9]+)?$"));
    return number.match(text).hasMatch();
}

bool formulaStart(const QString& text)
{
    if (text.isEmpty() || plainNumber(text))
        return false;
    const QChar c = text.front();
    return c == QLatin1Char('=') || c == QLatin1Char('+') || c == QLatin1Char('-') ||
           c == QLatin1Char('@') || c == QLatin1Char('\t') || c == QLatin1Char('\r');
}

} // namespace

QString csvCell(const QString& text, QChar separator)
{
    const bool guard = formulaStart(text);
    if (!guard && !text.contains(separator) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + (guard ? QStringLiteral("'") : QString()) + quoted + QLatin1Char('"');
}

QChar localeCsvSeparator()
{
    return QLocale().decimalPoint() == QStringLiteral(",") ? QLatin1Char(';') : QLatin1Char(',');
}

} // namespace vtr8
