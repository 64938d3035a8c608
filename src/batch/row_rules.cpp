#include "batch/row_rules.h"

#include "device/input_type_table.h"
#include "rules/configuration_rules.h"

#include <QRegularExpression>

namespace vtr8 {

namespace {

const QString ConnectionColumn = QStringLiteral("připojení čidla");

QString totalValueColumn(InputType input)
{
    QString column = QString::fromUtf16(inputTypeRow(input).totalValueFileKey);
    if (column.endsWith(QStringLiteral(": ")))
        column.chop(2);
    return column;
}

} // namespace

QString ruleFieldColumn(RuleField field, InputType input)
{
    using F = RuleField;
    switch (field) {
    case F::Start:
        return QStringLiteral("dolní mez");
    case F::End:
        return QStringLiteral("horní mez");
    case F::Damping:
        return QStringLiteral("tlumení");
    case F::ErrorCurrent:
        return QStringLiteral("chybový proud");
    case F::Connection:
        return ConnectionColumn;
    case F::ColdJunction:
        return QStringLiteral("vzdálenost st. konce");
    case F::Linearization:
        return QStringLiteral("linearizace");
    case F::PointFile:
        return list_column::Points;
    case F::Unit:
        return QStringLiteral("jednotka");
    case F::Shunt:
        return QStringLiteral("snímací odpor");
    case F::Divider:
        return QStringLiteral("zeslabení děličem");
    case F::Parasitic:
        return QStringLiteral("Parazitní odpor");
    case F::TotalValue:
        return totalValueColumn(input);
    case F::ComparatorOnLimit:
    case F::ComparatorOffLimit:
    case F::ComparatorOnDelay:
    case F::ComparatorOffDelay:
        break;
    }
    return {};
}

std::vector<RowProblem> rowRuleProblems(const Configuration& c, bool pointsGiven)
{
    std::vector<RowProblem> out;
    for (const Refusal& r : CheckConfiguration(c, std::nullopt)) {
        // The point set of a named file is not read here; "ze souboru" is refused below.
        if (r.field == RuleField::PointFile && pointsGiven)
            continue;
        if (!IsWarning(r.rule))
            out.push_back({ruleFieldColumn(r.field, c.input), RefusalText(r)});
    }
    const InputTypeRow& row = inputTypeRow(c.input);
    if (c.connection != ConnectionCode::None && row.connections != 0 && !row.allows(c.connection))
        out.push_back(
            {ConnectionColumn, QStringLiteral("Vstup „%1“ nemá připojení „%2“.")
                                   .arg(inputTypeText(c.input), connectionText(c.connection))});
    if (c.linearization == Linearization::FromFile)
        out.push_back({QStringLiteral("linearizace"),
                       QStringLiteral("Linearizaci ze souboru dávka nezapisuje; tento převodník "
                                      "zapište příkazem write --points.")});
    return out;
}

std::optional<QList<double>> checkPercents(const QString& text)
{
    QList<double> percents;
    for (const QString& part :
         text.split(QRegularExpression(QStringLiteral("[,; ]+")), Qt::SkipEmptyParts)) {
        bool ok = false;
        const double p = part.toDouble(&ok);
        if (!ok || p < -10 || p > 110)
            return std::nullopt;
        percents << p;
    }
    if (percents.isEmpty())
        return std::nullopt;
    return percents;
}

} // namespace vtr8
