#include "rules/comparator_rules.h"
#include "rules/configuration_rules.h"

#include "device/choice_texts.h"

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

using T = InputType;

struct LimitsRow {
    InputType input;
    Extended low, high, span;
    QString unit;
};

// Every row of the table of allowed intervals and minimum spans (divider 10, shunt 50 Ohm).
TEST(Rules, EveryInputTypeHasItsIntervalAndMinimumSpan)
{
    const QString deg = choice::DegreesCelsius;
    const LimitsRow rows[] = {
        {T::Pt100, -200, 850, 25, deg},
        {T::Pt1000, -200, 850, 25, deg},
        {T::Ni100, -70, 250, 25, deg},
        {T::Ni1000, -70, 250, 25, deg},
        {T::Rheostat, 0, 4000, 20, choice::Ohm},
        {T::PotentiometerAbsolute, 0, 4000, 20, choice::Ohm},
        {T::ResistorDifference, -4000, 4000, 20, choice::Ohm},
        {T::PotentiometerRelative, 0, 100, 5, choice::Percent},
        {T::ThermocoupleB, 100, 1820, 500, deg},
        {T::ThermocoupleE, -200, 1000, 100, deg},
        {T::ThermocoupleJ, -100, 1200, 100, deg},
        {T::ThermocoupleK, -200, 1370, 100, deg},
        {T::ThermocoupleN, -200, 1300, 200, deg},
        {T::ThermocoupleL, -200, 900, 100, deg},
        {T::ThermocoupleR, -50, 1760, 500, deg},
        {T::ThermocoupleS, -50, 1760, 500, deg},
        {T::ThermocoupleT, -200, 400, 100, deg},
        {T::Voltage, -5, 10, 0.03L, choice::Volt},
        {T::VoltageDifference, -5, 10, 0.03L, choice::Volt},
        {T::Current, -2, 2, 0.4L, choice::Milliampere},
        {T::CurrentDifference, -2, 2, 0.4L, choice::Milliampere},
    };
    for (const LimitsRow& row : rows) {
        SCOPED_TRACE(inputTypeText(row.input).toStdString());
        const auto limits = rangeLimits(row.input, 10, 50);
        ASSERT_TRUE(limits);
        EXPECT_NEAR(double(limits->low), double(row.low), 1e-12);
        EXPECT_NEAR(double(limits->high), double(row.high), 1e-12);
        EXPECT_NEAR(double(limits->minimumSpan), double(row.span), 1e-12);
        EXPECT_EQ(limits->unit, row.unit);
    }
    // No check: the special inputs, a voltage without a usable divider, a current without shunt.
    for (const InputType special : {T::Special0to10V, T::Special0to20mA, T::Special4to20mA})
        EXPECT_FALSE(rangeLimits(special, 10, 50));
    EXPECT_FALSE(rangeLimits(T::Voltage, 0, 50));
    EXPECT_FALSE(rangeLimits(T::Voltage, 1e39L, 50)); // a refused divider bounds nothing
    EXPECT_FALSE(rangeLimits(T::Current, 10, 0));
    EXPECT_FALSE(rangeLimits(T::Current, 10, -50));
}

Configuration pt100(const char* start, const char* end)
{
    Configuration c;
    c.input = T::Pt100;
    c.rangeStart = {QString::fromLatin1(start).toDouble(), QString::fromLatin1(start)};
    c.rangeEnd = {QString::fromLatin1(end).toDouble(), QString::fromLatin1(end)};
    c.unitCode = unit_code::DegreesCelsius;
    c.linearization = Linearization::Linearized;
    c.damping = {0.5L, QStringLiteral("0.5")};
    c.errorCurrent = ErrorCurrentCode::Upscale;
    c.connection = ConnectionCode::ThreeWire;
    c.parasiticResistance = {0, QStringLiteral("0.000")};
    return c;
}

QStringList texts(const Refusals& refusals)
{
    QStringList out;
    for (const Refusal& r : refusals)
        out << RefusalText(r);
    return out;
}

struct ConfigurationCase {
    const char* name;
    void (*change)(Configuration&);
    QStringList expected;
};

// Every refusal of a configuration value, with the text it is shown with.
TEST(Rules, AConfigurationIsRefusedWithEveryRuleItBreaks)
{
    const ConfigurationCase cases[] = {
        {"stands", [](Configuration&) {}, {}},
        {"start and end outside",
         [](Configuration& c) { c = pt100("-500", "2000"); },
         {QStringLiteral("Dolní hodnota rozsahu musí být v intervalu -200.000 až 850.000 °C"),
          QStringLiteral("Horní hodnota rozsahu musí být v intervalu -200.000 až 850.000 °C")}},
        {"span once",
         [](Configuration& c) { c = pt100("0", "24.9"); },
         {QStringLiteral("Povolené minimální rozpětí je 25.000 °C")}},
        {"falling range inside", [](Configuration& c) { c = pt100("150", "-50"); }, {}},
        {"start no number",
         [](Configuration& c) { c.rangeStart.text = QStringLiteral("1x"); },
         {QStringLiteral("Špatně zadaná dolní mez.")}},
        {"start beyond the float",
         [](Configuration& c) {
             c.rangeStart = {1e39L, QStringLiteral("1e39")};
         },
         {QStringLiteral("Dolní mez je mimo rozsah čísel převodníku.")}},
        {"damping",
         [](Configuration& c) {
             c.damping = {500, QStringLiteral("500")};
         },
         {QStringLiteral("Povolená mez pro konstantu tlumení je 0.1 až 100 s")}},
        {"parasitic beyond the float",
         [](Configuration& c) {
             c.parasiticResistance = {1e999L, QStringLiteral("1e999")};
         },
         {QStringLiteral("Hodnota korekce měřeného odporu je mimo rozsah čísel převodníku.")}},
        {"missing connection",
         [](Configuration& c) { c.connection = ConnectionCode::None; },
         {QStringLiteral("Není zadán způsob připojení čidla")}},
        {"missing end",
         [](Configuration& c) { c.rangeEnd = {}; },
         {QStringLiteral("Není zadána horní mez rozsahu")}},
        {"missing error current",
         [](Configuration& c) { c.errorCurrent.reset(); },
         {QStringLiteral("Není zadána volba chybového proudu")}},
        {"point set missing",
         [](Configuration& c) { c.linearization = Linearization::FromFile; },
         {QStringLiteral("Není vybrán soubor pro linearizaci.")}},
        {"refused divider bounds nothing",
         [](Configuration& c) {
             c.input = T::Voltage;
             c.connection = ConnectionCode::None;
             c.rangeStart = {0, QStringLiteral("0")};
             c.rangeEnd = {2, QStringLiteral("2")};
             c.dividerRatio = {1e999L, QStringLiteral("1e999")};
         },
         {QStringLiteral("Zeslabení přídavným děličem napětí je mimo rozsah čísel převodníku.")}},
        {"divider zero",
         [](Configuration& c) {
             c.input = T::Voltage;
             c.connection = ConnectionCode::None;
             c.dividerRatio = {0, QStringLiteral("0")};
         },
         {QStringLiteral("Zeslabení přídavným děličem napětí nesmí být 0.")}},
        {"shunt zero",
         [](Configuration& c) {
             c.input = T::Current;
             c.connection = ConnectionCode::None;
             c.shuntResistance = {0, QStringLiteral("0")};
         },
         {QStringLiteral("Zadana hodnota snímacího odporu nesmí být 0."),
          QStringLiteral("Není zadána hodnota snímacího odporu.")}},
        {"negative shunt",
         [](Configuration& c) {
             c.input = T::Current;
             c.connection = ConnectionCode::None;
             c.rangeStart = {-1, QStringLiteral("-1")};
             c.rangeEnd = {1, QStringLiteral("1")};
             c.shuntResistance = {-50, QStringLiteral("-50")};
         },
         {QStringLiteral("Hodnota snímacího odporu musí být kladná.")}},
        {"potentiometer total",
         [](Configuration& c) {
             c.input = T::PotentiometerRelative;
             c.rangeStart = {0, QStringLiteral("0")};
             c.rangeEnd = {100, QStringLiteral("100")};
             c.totalValue = {5000, QStringLiteral("5000")};
         },
         {QStringLiteral(
             "Hodnota celkového odporu potenciometru musí být v intervalu 0 až 4000 Ohm")}},
        {"current difference maximum",
         [](Configuration& c) {
             c.input = T::CurrentDifference;
             c.connection = ConnectionCode::None;
             c.rangeStart = {-1, QStringLiteral("-1")};
             c.rangeEnd = {1, QStringLiteral("1")};
             c.shuntResistance = {50, QStringLiteral("50")};
             c.totalValue = {3, QStringLiteral("3")};
         },
         {QStringLiteral("Maximální hodnota proudu musí být v intervalu 0 až 3 mA")}},
        {"missing total value",
         [](Configuration& c) {
             c.input = T::VoltageDifference;
             c.connection = ConnectionCode::None;
         },
         {QStringLiteral("Není zadána maximální hodnota měřených napětí.")}},
    };
    for (const ConfigurationCase& test : cases) {
        SCOPED_TRACE(test.name);
        Configuration c = pt100("-50", "150");
        test.change(c);
        EXPECT_EQ(texts(CheckConfiguration(c, std::nullopt)), test.expected);
    }
}

TEST(Rules, APointSetBoundsTheRangeEitherWay)
{
    Configuration c = pt100("50", "120");
    c.linearization = Linearization::FromFile;
    c.unitCode = unit_code::Percent;
    EXPECT_EQ(texts(CheckConfiguration(c, PointSetInterval{100, 0})),
              QStringList{QStringLiteral("Horní hodnota rozsahu musí být v intervalu 100.000 až "
                                         "0.000 %")});
    c.rangeEnd = {80, QStringLiteral("80")};
    EXPECT_TRUE(CheckConfiguration(c, PointSetInterval{100, 0}).empty());
}

TEST(Rules, ComparatorLimitsAndDelays)
{
    using F = RuleField;
    // A falling range is compared between its ends, and outside it only warns.
    const MeasuringRange falling{100, 0};
    EXPECT_TRUE(ComparatorLimitRefusals(1, F::ComparatorOnLimit, 50, 60, falling).empty());
    const Refusals outside = ComparatorLimitRefusals(2, F::ComparatorOffLimit, 120, 60, falling);
    ASSERT_EQ(outside.size(), 1U);
    EXPECT_TRUE(IsWarning(outside[0].rule));
    EXPECT_EQ(RefusalText(outside[0]),
              QStringLiteral("Mez rozepnutí komparátoru 2 mimo měřicí rozsah"));
    EXPECT_EQ(texts(ComparatorLimitRefusals(1, F::ComparatorOnLimit, 50, 50, {0, 100})),
              QStringList{
                  QStringLiteral("Meze sepnutí a rozepnutí komparátoru 1 nesmí být zcela shodné")});
    EXPECT_EQ(texts({*ComparatorDelayRefusal(1, F::ComparatorOffDelay, 255.5L)}),
              QStringList{QStringLiteral(
                  "Povolená mez pro zpoždění rozepnutí komparátoru 1 je 0 až 255 s")});
    EXPECT_FALSE(ComparatorDelayRefusal(1, F::ComparatorOnDelay, 254.5L)); // ties to even: 254
    EXPECT_TRUE(ComparatorDelayRefusal(1, F::ComparatorOnDelay, -0.1L));

    // A store: the range warnings first, then the float, equal limits and (enabled) the delays.
    EXPECT_EQ(
        texts(CheckComparator(1, {1e39L, 20, 300, 1}, true, MeasuringRange{0, 100})),
        (QStringList{QStringLiteral("Mez sepnutí komparátoru 1 mimo měřicí rozsah"),
                     QStringLiteral("Mez sepnutí komparátoru 1 je mimo rozsah čísel převodníku."),
                     QStringLiteral("Zpoždění sepnutí komparátoru 1 lze do převodníku uložit "
                                    "jen v rozsahu 0 až 255 s.")}));
    EXPECT_TRUE(CheckComparator(2, {50, 60, 300, 300}, false, MeasuringRange{100, 0}).empty());
    EXPECT_EQ(texts(CheckComparator(2, {50, 50, 1, 1}, false, std::nullopt)),
              QStringList{
                  QStringLiteral("Meze sepnutí a rozepnutí komparátoru 2 nesmí být zcela shodné")});
}

} // namespace
} // namespace vtr8
