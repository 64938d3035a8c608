#include "batch/row_rules.h"

#include "configuration/number_format.h"
#include "device/choice_texts.h"
#include "device/input_type_table.h"

#include <QRegularExpression>

#include <cmath>

namespace vtr8 {

namespace {

struct RangeRule {
    Extended low = 0;
    Extended high = 0;
    Extended minimumSpan = 0;
    QString unit;
};

// The interval the range limits must lie in and their smallest distance, per input type. None
// for the special inputs, for a voltage input without a divider ratio and a current input without
// a shunt (their bounds would collapse to a point or divide by zero).
std::optional<RangeRule> rangeRule(const Configuration& c)
{
    using I = InputType;
    const QString celsius = choice::DegreesCelsius;
    switch (c.input) {
    case I::Pt100:
    case I::Pt1000:
        return RangeRule{-200, 850, 25, celsius};
    case I::Ni100:
    case I::Ni1000:
        return RangeRule{-70, 250, 25, celsius};
    case I::Rheostat:
    case I::PotentiometerAbsolute:
        return RangeRule{0, 4000, 20, choice::Ohm};
    case I::ResistorDifference:
        return RangeRule{-4000, 4000, 20, choice::Ohm};
    case I::PotentiometerRelative:
        return RangeRule{0, 100, 5, choice::Percent};
    case I::ThermocoupleB:
        return RangeRule{100, 1820, 500, celsius};
    case I::ThermocoupleE:
        return RangeRule{-200, 1000, 100, celsius};
    case I::ThermocoupleJ:
        return RangeRule{-100, 1200, 100, celsius};
    case I::ThermocoupleK:
        return RangeRule{-200, 1370, 100, celsius};
    case I::ThermocoupleN:
        return RangeRule{-200, 1300, 200, celsius};
    case I::ThermocoupleL:
        return RangeRule{-200, 900, 100, celsius};
    case I::ThermocoupleR:
    case I::ThermocoupleS:
        return RangeRule{-50, 1760, 500, celsius};
    case I::ThermocoupleT:
        return RangeRule{-200, 400, 100, celsius};
    case I::Voltage:
    case I::VoltageDifference: {
        const Extended d = c.dividerRatio.value;
        if (d == 0)
            return std::nullopt;
        return RangeRule{-0.5L * d, 1.0L * d, 0.003L * d, choice::Volt};
    }
    case I::Current:
    case I::CurrentDifference: {
        const Extended rs = c.shuntResistance.value;
        if (rs == 0)
            return std::nullopt;
        return RangeRule{-100 / rs, 100 / rs, 20 / rs, choice::Milliampere};
    }
    case I::Special0to10V:
    case I::Special0to20mA:
    case I::Special4to20mA:
        break;
    }
    return std::nullopt;
}

QString columnOf(const QString& fileKey)
{
    QString column = fileKey;
    if (column.endsWith(QStringLiteral(": ")))
        column.chop(2);
    return column;
}

const QString ConnectionColumn = QStringLiteral("připojení čidla");
const QString ShuntColumn = QStringLiteral("snímací odpor");

void completeness(const Configuration& c, const QString& dampingText, bool pointsGiven,
                  std::vector<RowProblem>& out)
{
    const InputTypeRow& row = inputTypeRow(c.input);
    if (hasSensorConnection(c.input) && c.connection == ConnectionCode::None)
        out.push_back({ConnectionColumn, QStringLiteral("Není zadán způsob připojení čidla")});
    if (isShuntCurrent(c.input) && c.shuntResistance.text.isEmpty())
        out.push_back({ShuntColumn, QStringLiteral("Není zadána hodnota měřicího odporu")});
    if (isThermocouple(c.input) && !c.coldJunction)
        out.push_back({QStringLiteral("vzdálenost st. konce"),
                       QStringLiteral("Není zadán způsob vyhodnocení komp. st. konce")});
    if (!c.linearization)
        out.push_back(
            {QStringLiteral("linearizace"), QStringLiteral("Není zadán způsob linearizace")});
    if (dampingText.trimmed().isEmpty())
        out.push_back(
            {QStringLiteral("tlumení"), QStringLiteral("Není zadána časová konstanta tlumení")});
    if (!c.errorCurrent)
        out.push_back({QStringLiteral("chybový proud"),
                       QStringLiteral("Není zadána volba chybového proudu")});
    if (c.linearization == Linearization::FromFile && !pointsGiven)
        out.push_back({list_column::Points, QStringLiteral("Není vybrán soubor pro linearizaci.")});
    if (c.linearization == Linearization::FromFile && c.unitCode == unit_code::None)
        out.push_back({QStringLiteral("jednotka"), QStringLiteral("Není zadaná jednotka.")});
    if (row.has(InputField::TotalValue) && c.totalValue.text.isEmpty()) {
        const QString column = columnOf(QString::fromUtf16(row.totalValueFileKey));
        switch (c.input) {
        case InputType::PotentiometerRelative:
            out.push_back({column, QStringLiteral("Není zadán celkový odpor potenciometru.")});
            break;
        case InputType::ResistorDifference:
            out.push_back({column, QStringLiteral("Není zadána hodnota maximálního odporu součtu "
                                                  "měřených rezistorů.")});
            break;
        case InputType::VoltageDifference:
            out.push_back(
                {column, QStringLiteral("Není zadána maximální hodnota měřených napětí.")});
            break;
        case InputType::CurrentDifference:
            out.push_back(
                {column, QStringLiteral("Není zadána maximální hodnota měřených proudů.")});
            break;
        default:
            break;
        }
    }
}

void fieldChecks(const Configuration& c, const QString& dampingText, std::vector<RowProblem>& out)
{
    const InputTypeRow& row = inputTypeRow(c.input);
    if (c.connection != ConnectionCode::None && row.connections != 0 && !row.allows(c.connection))
        out.push_back(
            {ConnectionColumn, QStringLiteral("Vstup „%1“ nemá připojení „%2“.")
                                   .arg(inputTypeText(c.input), connectionText(c.connection))});
    if (c.linearization == Linearization::FromFile)
        out.push_back({QStringLiteral("linearizace"),
                       QStringLiteral("Linearizaci ze souboru dávka nezapisuje; tento převodník "
                                      "zapište příkazem write --points.")});
    if (!dampingText.trimmed().isEmpty() && (c.damping.value < 0.1L || c.damping.value > 100))
        out.push_back({QStringLiteral("tlumení"),
                       QStringLiteral("Povolená mez pro konstantu tlumení je 0.1 až 100 s")});
    if (isShuntCurrent(c.input) && !c.shuntResistance.text.isEmpty() &&
        c.shuntResistance.value == 0)
        out.push_back(
            {ShuntColumn, QStringLiteral("Zadana hodnota snímacího odporu nesmí být 0.")});
    const QString totalColumn = columnOf(QString::fromUtf16(row.totalValueFileKey));
    if (c.input == InputType::PotentiometerRelative && !c.totalValue.text.isEmpty() &&
        (c.totalValue.value < 0 || c.totalValue.value > 4000))
        out.push_back({totalColumn, QStringLiteral("Hodnota celkového odporu potenciometru musí "
                                                   "být v intervalu 0 až 4000 Ohm")});
    if (c.input == InputType::CurrentDifference && !c.totalValue.text.isEmpty() &&
        c.shuntResistance.value != 0 &&
        c.totalValue.value > 0.128L / c.shuntResistance.value * 1000)
        out.push_back(
            {totalColumn,
             QStringLiteral("Maximální hodnota proudu musí být v intervalu 0 až ") +
                 formatGeneral(roundHalfEven(128 / c.shuntResistance.value), 10, QLatin1Char('.')) +
                 QStringLiteral(" mA")});

    const std::optional<RangeRule> rule = rangeRule(c);
    if (!rule)
        return;
    const auto outside = [&rule](Extended v) { return v < rule->low || v > rule->high; };
    const QString interval = formatFixed(rule->low, 3) + QStringLiteral(" až ") +
                             formatFixed(rule->high, 3) + QLatin1Char(' ') + rule->unit;
    if (outside(c.rangeStart.value))
        out.push_back({QStringLiteral("dolní mez"),
                       QStringLiteral("Dolní hodnota rozsahu musí být v intervalu ") + interval});
    if (outside(c.rangeEnd.value))
        out.push_back({QStringLiteral("horní mez"),
                       QStringLiteral("Horní hodnota rozsahu musí být v intervalu ") + interval});
    if (std::fabs(c.rangeEnd.value - c.rangeStart.value) < rule->minimumSpan - 0.0000001L)
        out.push_back({QStringLiteral("horní mez"),
                       QStringLiteral("Povolené minimální rozpětí je ") +
                           formatFixed(rule->minimumSpan, 3) + QLatin1Char(' ') + rule->unit});
}

} // namespace

std::vector<RowProblem> rowRuleProblems(const Configuration& c, const QString& dampingText,
                                        bool pointsGiven)
{
    std::vector<RowProblem> out;
    completeness(c, dampingText, pointsGiven, out);
    fieldChecks(c, dampingText, out);
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
