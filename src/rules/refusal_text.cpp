#include "rules/refusal.h"

#include "configuration/number_format.h"

// Every Czech text of a refused value, made from the typed refusal.
namespace vtr8 {

namespace {

QString fixed3(Extended value)
{
    return formatFixed(value, 3);
}

QString numbered(const QString& text, const Refusal& r)
{
    return text + QString::number(r.comparator);
}

bool switchOn(RuleField field)
{
    return field == RuleField::ComparatorOnLimit || field == RuleField::ComparatorOnDelay;
}

QString missingText(const Refusal& r)
{
    using F = RuleField;
    switch (r.field) {
    case F::Connection:
        return QStringLiteral("Není zadán způsob připojení čidla");
    case F::Shunt:
        return QStringLiteral("Není zadána hodnota měřicího odporu");
    case F::ColdJunction:
        return QStringLiteral("Není zadán způsob vyhodnocení komp. st. konce");
    case F::Linearization:
        return QStringLiteral("Není zadán způsob linearizace");
    case F::Start:
        return QStringLiteral("Není zadána dolní mez rozsahu");
    case F::End:
        return QStringLiteral("Není zadána horní mez rozsahu");
    case F::Damping:
        return QStringLiteral("Není zadána časová konstanta tlumení");
    case F::ErrorCurrent:
        return QStringLiteral("Není zadána volba chybového proudu");
    case F::PointFile:
        return QStringLiteral("Není vybrán soubor pro linearizaci.");
    case F::Unit:
        return QStringLiteral("Není zadaná jednotka.");
    case F::TotalValue:
        switch (r.input.value_or(InputType::PotentiometerRelative)) {
        case InputType::ResistorDifference:
            return QStringLiteral(
                "Není zadána hodnota maximálního odporu součtu měřených rezistorů.");
        case InputType::VoltageDifference:
            return QStringLiteral("Není zadána maximální hodnota měřených napětí.");
        case InputType::CurrentDifference:
            return QStringLiteral("Není zadána maximální hodnota měřených proudů.");
        default:
            return QStringLiteral("Není zadán celkový odpor potenciometru.");
        }
    case F::ComparatorOnLimit:
        return numbered(QStringLiteral("Není zadána mez sepnutí komparátoru "), r);
    case F::ComparatorOffLimit:
        return numbered(QStringLiteral("Není zadána mez rozepnutí komparátoru "), r);
    case F::ComparatorOnDelay:
        return numbered(QStringLiteral("Není zadán čas zpoždění sepnutí komparátoru "), r);
    case F::ComparatorOffDelay:
        return numbered(QStringLiteral("Není zadán čas zpoždění rozepnutí komparátoru "), r);
    case F::Divider:
    case F::Parasitic:
        break;
    }
    return QString();
}

QString notANumberText(const Refusal& r)
{
    using F = RuleField;
    switch (r.field) {
    case F::Start:
        return QStringLiteral("Špatně zadaná dolní mez.");
    case F::End:
        return QStringLiteral("Špatně zadaná horní mez");
    case F::Damping:
        return QStringLiteral("špatně zadaná časová konstanta tlumení");
    case F::Shunt:
        return QStringLiteral("Špatně zadaná hodnota snímacího odporu.");
    case F::Divider:
        return QStringLiteral("špatně zadaná hodnota dělícího poměru");
    case F::Parasitic:
        return QStringLiteral("Špatně zadaná hodnota korekce měřeného odporu.");
    case F::TotalValue:
        return QStringLiteral("Špatně zadaná hodnota celkového odporu potenciometru.");
    case F::ComparatorOnLimit:
        return numbered(QStringLiteral("špatně zadaná mez sepnutí komparátoru "), r);
    case F::ComparatorOffLimit:
        return numbered(QStringLiteral("špatně zadaná mez rozepnutí komparátoru "), r);
    case F::ComparatorOnDelay:
        return numbered(QStringLiteral("špatně zadaná mez zpoždění sepnutí komparátoru "), r);
    case F::ComparatorOffDelay:
        return numbered(QStringLiteral("špatně zadaná mez zpoždění rozepnutí komparátoru "), r);
    default:
        return QString();
    }
}

QString beyondFloatText(const Refusal& r)
{
    using F = RuleField;
    switch (r.field) {
    case F::Start:
        return QStringLiteral("Dolní mez je mimo rozsah čísel převodníku.");
    case F::End:
        return QStringLiteral("Horní mez je mimo rozsah čísel převodníku.");
    case F::Divider:
        return QStringLiteral(
            "Zeslabení přídavným děličem napětí je mimo rozsah čísel převodníku.");
    case F::Parasitic:
        return QStringLiteral("Hodnota korekce měřeného odporu je mimo rozsah čísel převodníku.");
    case F::ComparatorOnLimit:
    case F::ComparatorOffLimit:
        return QStringLiteral("Mez %1 komparátoru %2 je mimo rozsah čísel převodníku.")
            .arg(switchOn(r.field) ? QStringLiteral("sepnutí") : QStringLiteral("rozepnutí"))
            .arg(r.comparator);
    default:
        return QString();
    }
}

} // namespace

Refusal MakeRefusal(Rule rule, RuleField field, int comparator)
{
    Refusal r;
    r.rule = rule;
    r.field = field;
    r.comparator = comparator;
    return r;
}

bool IsWarning(Rule rule)
{
    return rule == Rule::ComparatorOutsideRange;
}

QString RefusalText(const Refusal& r)
{
    switch (r.rule) {
    case Rule::Missing:
        return missingText(r);
    case Rule::NotANumber:
        return notANumberText(r);
    case Rule::NotAChoice:
        return r.field == RuleField::ErrorCurrent
                   ? QStringLiteral("Špatně zadaná volba chybového proudu")
                   : QStringLiteral("Špatně zadaná volba vzdálenosti studeného konce.");
    case Rule::BeyondDeviceFloat:
        return beyondFloatText(r);
    case Rule::OutsideInterval:
        return (r.field == RuleField::Start
                    ? QStringLiteral("Dolní hodnota rozsahu musí být v intervalu ")
                    : QStringLiteral("Horní hodnota rozsahu musí být v intervalu ")) +
               fixed3(r.low) + QStringLiteral(" až ") + fixed3(r.high) +
               (r.unit.isEmpty() ? QString() : QLatin1Char(' ') + r.unit);
    case Rule::SpanTooSmall:
        return QStringLiteral("Povolené minimální rozpětí je ") + fixed3(r.low) + QLatin1Char(' ') +
               r.unit;
    case Rule::ShuntMissing:
        return QStringLiteral("Není zadána hodnota snímacího odporu.");
    case Rule::DampingOutOfRange:
        return QStringLiteral("Povolená mez pro konstantu tlumení je 0.1 až 100 s");
    case Rule::ShuntNegative:
        return QStringLiteral("Hodnota snímacího odporu musí být kladná.");
    case Rule::ShuntZero:
        return QStringLiteral("Zadana hodnota snímacího odporu nesmí být 0.");
    case Rule::DividerZero:
        return QStringLiteral("Zeslabení přídavným děličem napětí nesmí být 0.");
    case Rule::TotalValueOutOfRange:
        return QStringLiteral(
            "Hodnota celkového odporu potenciometru musí být v intervalu 0 až 4000 Ohm");
    case Rule::CurrentAboveMaximum:
        return QStringLiteral("Maximální hodnota proudu musí být v intervalu 0 až ") +
               formatGeneral(r.high, 10) + QStringLiteral(" mA");
    case Rule::ComparatorOutsideRange:
        return (switchOn(r.field) ? QStringLiteral("Mez sepnutí komparátoru ")
                                  : QStringLiteral("Mez rozepnutí komparátoru ")) +
               QString::number(r.comparator) + QStringLiteral(" mimo měřicí rozsah");
    case Rule::ComparatorEqualLimits:
        return QStringLiteral("Meze sepnutí a rozepnutí komparátoru ") +
               QString::number(r.comparator) + QStringLiteral(" nesmí být zcela shodné");
    case Rule::ComparatorDelayOutOfRange:
        return (switchOn(r.field)
                    ? QStringLiteral("Povolená mez pro zpoždění sepnutí komparátoru ")
                    : QStringLiteral("Povolená mez pro zpoždění rozepnutí komparátoru ")) +
               QString::number(r.comparator) + QStringLiteral(" je 0 až 255 s");
    case Rule::ComparatorDelayNotStorable:
        return QStringLiteral("Zpoždění %1 komparátoru %2 lze do převodníku uložit jen v "
                              "rozsahu 0 až 255 s.")
            .arg(switchOn(r.field) ? QStringLiteral("sepnutí") : QStringLiteral("rozepnutí"))
            .arg(r.comparator);
    }
    return QString();
}

} // namespace vtr8
