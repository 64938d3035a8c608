#include "model_fixture.h"

#include <cmath>
#include <vector>

namespace vtr8::test {
namespace {

namespace c = choice;

QString interval(const char* side, const char* low, const char* high, const char* unit)
{
    return QString::fromUtf8(side) + QStringLiteral(" hodnota rozsahu musí být v intervalu ") +
           QString::fromUtf8(low) + QStringLiteral(" až ") + QString::fromUtf8(high) +
           QLatin1Char(' ') + QString::fromUtf8(unit);
}

QString span(const char* value, const char* unit)
{
    return QStringLiteral("Povolené minimální rozpětí je ") + QString::fromUtf8(value) +
           QLatin1Char(' ') + QString::fromUtf8(unit);
}

// One row of the limits table, with the numbers as the person types them and as
// the messages show them.
struct LimitRow {
    InputType type;
    const char* low;
    const char* high;
    const char* unit;
    const char* span;
    const char* below;    // just below low
    const char* above;    // just above high
    const char* shortEnd; // low + span - a little
    const char* spanEnd;  // low + span
};

class RangeCheck : public ModelTest {
protected:
    void prepare(InputType type)
    {
        choose(type);
        if (type == InputType::Voltage || type == InputType::VoltageDifference)
            typeAndLeave(model.DelPomer, QStringLiteral("10"), &MainWindowModel::DelPomerExit);
        if (isShuntCurrent(type))
            typeAndLeave(model.SnOdpor, QStringLiteral("50"), &MainWindowModel::SnOdporExit);
        ui.clear();
    }
    QStringList leaveStart(const char* number)
    {
        ui.clear();
        typeAndLeave(model.Pocatek, local(number), &MainWindowModel::PocatekExit);
        return ui.messages;
    }
    QStringList leaveEnd(const char* number)
    {
        ui.clear();
        typeAndLeave(model.Konec, local(number), &MainWindowModel::KonecExit);
        return ui.messages;
    }
};

TEST_F(RangeCheck, EveryRowOfTheLimitsTable)
{
    using T = InputType;
    // clang-format off
    const std::vector<LimitRow> rows{
        {T::Pt100, "-200.000", "850.000", "°C", "25.000", "-200.1", "850.1", "-175.1", "-175"},
        {T::Pt1000, "-200.000", "850.000", "°C", "25.000", "-200.1", "850.1", "-175.1", "-175"},
        {T::Ni100, "-70.000", "250.000", "°C", "25.000", "-70.1", "250.1", "-45.1", "-45"},
        {T::Ni1000, "-70.000", "250.000", "°C", "25.000", "-70.1", "250.1", "-45.1", "-45"},
        {T::Rheostat, "0.000", "4000.000", "Ohm", "20.000", "-0.1", "4000.1", "19.9", "20"},
        {T::PotentiometerAbsolute, "0.000", "4000.000", "Ohm", "20.000", "-0.1", "4000.1",
         "19.9", "20"},
        {T::ResistorDifference, "-4000.000", "4000.000", "Ohm", "20.000", "-4000.1", "4000.1",
         "-3980.1", "-3980"},
        {T::PotentiometerRelative, "0.000", "100.000", "%", "5.000", "-0.1", "100.1", "4.9", "5"},
        {T::ThermocoupleB, "100.000", "1820.000", "°C", "500.000", "99", "1820.1", "599", "600"},
        {T::ThermocoupleE, "-200.000", "1000.000", "°C", "100.000", "-200.1", "1000.1", "-100.1",
         "-100"},
        {T::ThermocoupleJ, "-100.000", "1200.000", "°C", "100.000", "-100.1", "1200.1", "-0.1",
         "0"},
        {T::ThermocoupleK, "-200.000", "1370.000", "°C", "100.000", "-200.1", "1370.1", "-100.1",
         "-100"},
        {T::ThermocoupleN, "-200.000", "1300.000", "°C", "200.000", "-200.1", "1300.1", "-0.1",
         "0"},
        {T::ThermocoupleL, "-200.000", "900.000", "°C", "100.000", "-200.1", "900.1", "-100.1",
         "-100"},
        {T::ThermocoupleR, "-50.000", "1760.000", "°C", "500.000", "-50.1", "1760.1", "449.9",
         "450"},
        {T::ThermocoupleS, "-50.000", "1760.000", "°C", "500.000", "-50.1", "1760.1", "449.9",
         "450"},
        {T::ThermocoupleT, "-200.000", "400.000", "°C", "100.000", "-200.1", "400.1", "-100.1",
         "-100"},
        // Divider ratio 10.
        {T::Voltage, "-5.000", "10.000", "V", "0.030", "-5.001", "10.001", "-4.9701", "-4.97"},
        // Kept to 3 decimals, as the file keeps it.
        {T::VoltageDifference, "-5.000", "10.000", "V", "0.030", "-5.001", "10.001", "-4.971",
         "-4.97"},
        // Shunt 50 ohms.
        {T::Current, "-2.000", "2.000", "mA", "0.400", "-2.001", "2.001", "-1.6001", "-1.6"},
        {T::CurrentDifference, "-2.000", "2.000", "mA", "0.400", "-2.001", "2.001", "-1.6001",
         "-1.6"},
    };
    // clang-format on
    for (const LimitRow& r : rows) {
        SCOPED_TRACE(inputTypeText(r.type).toStdString());
        prepare(r.type);
        const QString low = QString::fromLatin1(r.low);
        const QString high = QString::fromLatin1(r.high);
        // The bounds themselves are inside.
        EXPECT_TRUE(leaveStart(r.low).isEmpty());
        EXPECT_TRUE(leaveEnd(r.high).isEmpty());
        EXPECT_EQ(leaveStart(r.below), QStringList{interval("Dolní", r.low, r.high, r.unit)});
        EXPECT_EQ(ui.focused, QStringLiteral("Pocatek"));
        EXPECT_TRUE(model.StartOutOfRange);
        EXPECT_TRUE(leaveStart(r.low).isEmpty());
        EXPECT_EQ(leaveEnd(r.above), QStringList{interval("Horní", r.low, r.high, r.unit)});
        EXPECT_EQ(ui.focused, QStringLiteral("Konec"));
        EXPECT_EQ(leaveEnd(r.shortEnd), QStringList{span(r.span, r.unit)});
        EXPECT_EQ(ui.focused, QStringLiteral("Konec"));
        EXPECT_TRUE(leaveEnd(r.spanEnd).isEmpty());
        EXPECT_FALSE(model.SpanTooSmall);
        (void)low;
        (void)high;
    }
}

TEST_F(RangeCheck, SpecialInputsAreNotChecked)
{
    for (InputType t :
         {InputType::Special0to10V, InputType::Special0to20mA, InputType::Special4to20mA}) {
        prepare(t);
        EXPECT_TRUE(leaveStart("-1000").isEmpty());
        EXPECT_TRUE(leaveEnd("-1000").isEmpty());
        EXPECT_EQ(model.RangeStart, -1000.0L);
    }
}

TEST_F(RangeCheck, Pt100SpanExample)
{
    prepare(InputType::Pt100);
    EXPECT_TRUE(leaveStart("0").isEmpty());
    EXPECT_EQ(leaveEnd("24.9"), QStringList{span("25.000", "°C")});
    EXPECT_TRUE(leaveEnd("25").isEmpty());
    // The span is checked from either field: leaving the start reports it too.
    leaveEnd("10");
    EXPECT_EQ(leaveStart("0"), QStringList{span("25.000", "°C")});
    EXPECT_EQ(ui.focused, QStringLiteral("Pocatek"));
}

TEST_F(RangeCheck, BothMessagesCanAppearOnOneExit)
{
    prepare(InputType::ThermocoupleB);
    leaveEnd("500");
    EXPECT_EQ(leaveStart("99"),
              (QStringList{interval("Dolní", "100.000", "1820.000", "°C"), span("500.000", "°C")}));
}

TEST_F(RangeCheck, CurrentWithoutShuntAsksOnlyForTheShunt)
{
    choose(InputType::Current);
    ui.clear();
    EXPECT_EQ(leaveStart("1"),
              QStringList{QStringLiteral("Není zadána hodnota snímacího odporu.")});
    EXPECT_EQ(ui.focused, QStringLiteral("SnOdpor"));
}

TEST_F(RangeCheck, NotANumberKeepsThePreviousValueAndStillChecksIt)
{
    prepare(InputType::Pt100);
    leaveEnd("100");
    leaveStart("10");
    EXPECT_EQ(leaveStart("1O"), QStringList{QStringLiteral("Špatně zadaná dolní mez.")});
    EXPECT_EQ(model.RangeStart, 10.0L);
    EXPECT_EQ(model.Pocatek.text, QStringLiteral("1O"));
    EXPECT_EQ(ui.focused, QStringLiteral("Pocatek"));
    EXPECT_EQ(leaveEnd("x"), QStringList{QStringLiteral("Špatně zadaná horní mez")});

    // The stale value is still range-checked after the conversion error.
    leaveStart("-300");
    EXPECT_EQ(leaveStart("?"), (QStringList{QStringLiteral("Špatně zadaná dolní mez."),
                                            interval("Dolní", "-200.000", "850.000", "°C")}));
}

TEST_F(RangeCheck, LeavingAFieldNormalisesItsSeparator)
{
    prepare(InputType::Pt100);
    model.userEdit(model.Pocatek, QStringLiteral("0.5"));
    model.PocatekExit();
    model.userEdit(model.Konec, QStringLiteral("100,25"));
    model.KonecExit();
    const QString sep = QString(localeDecimalSeparator());
    EXPECT_EQ(model.Pocatek.text, QStringLiteral("0") + sep + QStringLiteral("5"));
    EXPECT_EQ(model.Konec.text, QStringLiteral("100") + sep + QStringLiteral("25"));
    EXPECT_EQ(model.RangeStart, 0.5L);
    EXPECT_EQ(model.RangeEnd, 100.25L);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(RangeCheck, PointSetWithFallingOutputsReversesTheInterval)
{
    points.PointCount = 3;
    points.RequiredOutput[1] = 100;
    points.RequiredOutput[2] = 40;
    points.RequiredOutput[3] = 0;
    points.PointFileOk = true;
    model.setPointFileChooser([&] {
        model.OpenDialog1FileName = QStringLiteral("p.txt");
        return true;
    });
    prepare(InputType::Rheostat);
    model.userEdit(model.Linearizace, c::FromFile);
    ui.clear();
    EXPECT_TRUE(leaveStart("50").isEmpty());
    EXPECT_EQ(model.AllowedLow, 100.0L);
    EXPECT_EQ(model.AllowedHigh, 0.0L);
    const QStringList out = leaveStart("120");
    ASSERT_EQ(out.size(), 1);
    EXPECT_TRUE(out[0].startsWith(
        QStringLiteral("Dolní hodnota rozsahu musí být v intervalu 100.000 až 0.000")))
        << out[0].toStdString();
    EXPECT_FALSE(leaveStart("-0.5").isEmpty());
    EXPECT_TRUE(leaveStart("0").isEmpty());
    EXPECT_TRUE(leaveStart("100").isEmpty());
    // The span is still the input type's own: 20 ohms.
    leaveStart("0");
    EXPECT_FALSE(leaveEnd("19").isEmpty());
    EXPECT_TRUE(leaveEnd("20").isEmpty());
}

TEST_F(RangeCheck, PointFileRangeNamesTheFilesUnit)
{
    int chosen = 0;
    model.setPointFileChooser([&] {
        ++chosen;
        model.OpenDialog1FileName = QStringLiteral("p.txt");
        return true;
    });
    prepare(InputType::Pt100);
    EXPECT_FALSE(leaveStart("-300").isEmpty()); // the Pt100 interval, in °C

    points.PointCount = 2;
    points.RequiredOutput[1] = 0;
    points.RequiredOutput[2] = 100;
    points.PointFileOk = true;
    model.userEdit(model.Linearizace, c::FromFile);
    model.userEdit(model.VolenaJednotka, c::Percent);
    EXPECT_EQ(leaveStart("120"),
              QStringList{
                  QStringLiteral("Dolní hodnota rozsahu musí být v intervalu 0.000 až 100.000 %")});
    EXPECT_EQ(chosen, 1);
}

TEST_F(RangeCheck, ShuntExitWarnsAboutZeroAndRechecksTheEnd)
{
    prepare(InputType::Current); // shunt 50: end limit 2 mA
    leaveEnd("1.5");
    ui.clear();
    typeAndLeave(model.SnOdpor, QStringLiteral("100"), &MainWindowModel::SnOdporExit);
    EXPECT_EQ(ui.messages, QStringList{interval("Horní", "-1.000", "1.000", "mA")});

    ui.clear();
    typeAndLeave(model.SnOdpor, QStringLiteral("0"), &MainWindowModel::SnOdporExit);
    EXPECT_EQ(ui.messages,
              (QStringList{QStringLiteral("Zadana hodnota snímacího odporu nesmí být 0."),
                           QStringLiteral("Není zadána hodnota snímacího odporu.")}));
    EXPECT_EQ(ui.focused, QStringLiteral("SnOdpor"));
}

TEST_F(RangeCheck, ZeroDividerIsRefusedAndNeverDividesTheBounds)
{
    prepare(InputType::Voltage);
    typeAndLeave(model.DelPomer, QStringLiteral("0"), &MainWindowModel::DelPomerExit);
    EXPECT_EQ(ui.messages,
              QStringList{QStringLiteral("Zeslabení přídavným děličem napětí nesmí být 0.")});
    EXPECT_EQ(ui.focused, QStringLiteral("DelPomer"));
    EXPECT_EQ(model.DividerRatio, 0.0L);
    // With the refused ratio left in place there is no interval to check.
    EXPECT_TRUE(leaveStart("3").isEmpty());
    EXPECT_TRUE(leaveEnd("3").isEmpty());
    EXPECT_FALSE(model.SpanTooSmall);
}

// --- Damping -----------------------------------------------------------------------------

TEST_F(ModelTest, DampingCoefficientFollowsTheDampingTime)
{
    struct Case {
        const char* time;
        double coefficient;
        double tolerance;
    };
    const Case cases[] = {
        {"0.1", 1.0, 0},        {"0.5", 0.5, 0},   {"0.8", 0.5, 0},  {"0.81", 0.1292, 5e-5},
        {"1.0", 0.09659, 5e-6}, {"100", 0.002, 0}, {"0.49", 1.0, 0}, {"2", 1 / 24.097, 1e-4},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.time);
        ui.clear();
        typeAndLeave(model.Tlumeni, local(k.time), &MainWindowModel::TlumeniExit);
        EXPECT_TRUE(ui.messages.isEmpty());
        if (k.tolerance == 0) {
            EXPECT_EQ(model.DampingCoefficient, static_cast<float>(k.coefficient));
        } else
            EXPECT_NEAR(model.DampingCoefficient, k.coefficient, k.tolerance);
        EXPECT_EQ(model.DampingTimeSingle, static_cast<float>(model.DampingTime));
    }
}

TEST_F(ModelTest, DampingOutsideItsLimitsWarnsButStillDerivesTheCoefficient)
{
    const QString limits = QStringLiteral("Povolená mez pro konstantu tlumení je 0.1 až 100 s");
    typeAndLeave(model.Tlumeni, local("0.05"), &MainWindowModel::TlumeniExit);
    EXPECT_EQ(ui.messages, QStringList{limits});
    EXPECT_EQ(ui.focused, QStringLiteral("Tlumeni"));
    EXPECT_EQ(model.DampingCoefficient, 1.0f);
    ui.clear();
    typeAndLeave(model.Tlumeni, local("200"), &MainWindowModel::TlumeniExit);
    EXPECT_EQ(ui.messages, QStringList{limits});
    EXPECT_EQ(model.DampingCoefficient, 0.002f);

    // Not a number: the old time stays and is checked again.
    ui.clear();
    typeAndLeave(model.Tlumeni, QStringLiteral("pět"), &MainWindowModel::TlumeniExit);
    EXPECT_EQ(ui.messages,
              (QStringList{QStringLiteral("špatně zadaná časová konstanta tlumení"), limits}));
    EXPECT_EQ(model.DampingTime, 200.0L);
}

TEST_F(ModelTest, DampingTextTakesTheLocaleSeparator)
{
    typeAndLeave(model.Tlumeni, QStringLiteral("0.5"), &MainWindowModel::TlumeniExit);
    EXPECT_EQ(model.Tlumeni.text,
              QStringLiteral("0") + localeDecimalSeparator() + QStringLiteral("5"));
    typeAndLeave(model.Tlumeni, QStringLiteral("0,7"), &MainWindowModel::TlumeniExit);
    EXPECT_EQ(model.Tlumeni.text,
              QStringLiteral("0") + localeDecimalSeparator() + QStringLiteral("7"));
    EXPECT_EQ(model.DampingTime, 0.7L);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(ModelTest, BothSeparatorsInOneRun)
{
    for (QChar sep : {QLatin1Char('.'), QLatin1Char(',')}) {
        overrideLocaleDecimalSeparator(sep);
        typeAndLeave(model.Tlumeni, QStringLiteral("1.5"), &MainWindowModel::TlumeniExit);
        EXPECT_EQ(model.Tlumeni.text, QStringLiteral("1") + sep + QStringLiteral("5"));
        EXPECT_EQ(model.DampingTime, 1.5L);
        typeAndLeave(model.Tlumeni, QStringLiteral("2,5"), &MainWindowModel::TlumeniExit);
        EXPECT_EQ(model.DampingTime, 2.5L);
    }
    overrideLocaleDecimalSeparator(std::nullopt);
    EXPECT_TRUE(ui.messages.isEmpty());
}

// --- List and auxiliary fields -----------------------------------------------------------

TEST_F(ModelTest, ListFieldsAcceptOnlyTheirChoices)
{
    choose(InputType::ThermocoupleK);
    for (const QString& ok : {c::Overcurrent, c::Undercurrent, c::ErrorCurrentOff, QString()}) {
        typeAndLeave(model.ChybProud, ok, &MainWindowModel::ChybProudExit);
        EXPECT_EQ(model.ChybProud.text, ok);
    }
    for (const QString& ok :
         {c::InternalColdJunction, c::NearColdJunction, c::RemoteColdJunction, QString()}) {
        typeAndLeave(model.VzdStKon, ok, &MainWindowModel::VzdStKonExit);
        EXPECT_EQ(model.VzdStKon.text, ok);
    }
    EXPECT_TRUE(ui.messages.isEmpty());

    typeAndLeave(model.ChybProud, QStringLiteral("nad"), &MainWindowModel::ChybProudExit);
    EXPECT_TRUE(model.ChybProud.text.isEmpty());
    EXPECT_EQ(ui.focused, QStringLiteral("ChybProud"));
    typeAndLeave(model.VzdStKon, QStringLiteral("Interní studený konec"),
                 &MainWindowModel::VzdStKonExit);
    EXPECT_TRUE(model.VzdStKon.text.isEmpty());
    EXPECT_EQ(ui.focused, QStringLiteral("VzdStKon"));
    EXPECT_EQ(ui.messages,
              (QStringList{QStringLiteral("Špatně zadaná volba chybového proudu"),
                           QStringLiteral("Špatně zadaná volba vzdálenosti studeného konce.")}));
}

TEST_F(ModelTest, ParasiticResistanceIsParsedOrEmptied)
{
    choose(InputType::Pt100);
    typeAndLeave(model.korekcePV, local("1.25"), &MainWindowModel::korekcePVExit);
    EXPECT_EQ(model.ParasiticResistance, 1.25L);
    typeAndLeave(model.korekcePV, QStringLiteral("1..2"), &MainWindowModel::korekcePVExit);
    EXPECT_EQ(ui.messages,
              QStringList{QStringLiteral("Špatně zadaná hodnota korekce měřeného odporu.")});
    EXPECT_TRUE(model.korekcePV.text.isEmpty());
    EXPECT_EQ(model.ParasiticResistance, 1.25L);
}

TEST_F(ModelTest, TotalValueChecksByInputType)
{
    choose(InputType::PotentiometerRelative);
    typeAndLeave(model.CelkovyOdpor, QStringLiteral("4000"), &MainWindowModel::CelkovyOdporExit);
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(model.TotalValue, 4000.0L);
    typeAndLeave(model.CelkovyOdpor, QStringLiteral("4001"), &MainWindowModel::CelkovyOdporExit);
    typeAndLeave(model.CelkovyOdpor, QStringLiteral("-1"), &MainWindowModel::CelkovyOdporExit);
    const QString potentiometer =
        QStringLiteral("Hodnota celkového odporu potenciometru musí být v intervalu 0 až 4000 Ohm");
    EXPECT_EQ(ui.messages, (QStringList{potentiometer, potentiometer}));
    EXPECT_EQ(ui.focused, QStringLiteral("CelkovyOdpor"));

    ui.clear();
    typeAndLeave(model.CelkovyOdpor, QStringLiteral("x"), &MainWindowModel::CelkovyOdporExit);
    EXPECT_EQ(ui.messages,
              QStringList{QStringLiteral("Špatně zadaná hodnota celkového odporu potenciometru.")});
    EXPECT_EQ(model.TotalValue, -1.0L);

    // Current difference, shunt 50 ohms: the limit applied is 2.56 mA, the message
    // names the rounded 3 mA.
    ui.clear();
    choose(InputType::CurrentDifference);
    typeAndLeave(model.SnOdpor, QStringLiteral("50"), &MainWindowModel::SnOdporExit);
    typeAndLeave(model.CelkovyOdpor, local("2.56"), &MainWindowModel::CelkovyOdporExit);
    EXPECT_TRUE(ui.messages.isEmpty());
    typeAndLeave(model.CelkovyOdpor, QStringLiteral("3"), &MainWindowModel::CelkovyOdporExit);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral(
                               "Maximální hodnota proudu musí být v intervalu 0 až 3 mA")});

    // The other users of the field are not range-checked.
    ui.clear();
    choose(InputType::ResistorDifference);
    typeAndLeave(model.CelkovyOdpor, QStringLiteral("99999"), &MainWindowModel::CelkovyOdporExit);
    choose(InputType::VoltageDifference);
    typeAndLeave(model.CelkovyOdpor, QStringLiteral("-5"), &MainWindowModel::CelkovyOdporExit);
    EXPECT_TRUE(ui.messages.isEmpty());
}

// --- Completeness --------------------------------------------------------------------------

class Completeness : public ModelTest {
protected:
    // Runs the check as a save or a write does; returns the message shown (or "").
    QString check()
    {
        ui.clear();
        model.ConfigIncomplete = false;
        model.Testvyplneni();
        return ui.messages.isEmpty() ? QString() : ui.messages.join(QLatin1Char('|'));
    }
};

TEST_F(Completeness, ChecksRunInOrderAndStopAtTheFirstGap)
{
    choose(InputType::Pt100);
    model.setText(model.Tlumeni, QString());
    struct Step {
        const char* message;
        const char* focus;
        Control* field;
        QString value;
    };
    const std::vector<Step> steps{
        {"Není zadán způsob připojení čidla", "PripCidl", &model.PripCidl, c::ThreeWire},
        {"Není zadán způsob linearizace", "Linearizace", &model.Linearizace, c::Linearized},
        {"Není zadána dolní mez rozsahu", "Pocatek", &model.Pocatek, QStringLiteral("0")},
        {"Není zadána horní mez rozsahu", "Konec", &model.Konec, QStringLiteral("100")},
        {"Není zadána časová konstanta tlumení", "Tlumeni", &model.Tlumeni, QStringLiteral("1")},
        {"Není zadána volba chybového proudu", "ChybProud", &model.ChybProud, c::Overcurrent},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.message);
        EXPECT_EQ(check(), QString::fromUtf8(s.message));
        EXPECT_TRUE(model.ConfigIncomplete);
        EXPECT_EQ(ui.focused, QString::fromLatin1(s.focus));
        model.setText(*s.field, s.value);
    }
    EXPECT_EQ(check(), QString());
    EXPECT_FALSE(model.ConfigIncomplete);
}

TEST_F(Completeness, TypeSpecificGapsComeFirst)
{
    choose(InputType::Current);
    EXPECT_EQ(check(), QStringLiteral("Není zadána hodnota měřicího odporu"));
    EXPECT_EQ(ui.focused, QStringLiteral("SnOdpor"));

    choose(InputType::ThermocoupleJ);
    EXPECT_EQ(check(), QStringLiteral("Není zadán způsob vyhodnocení komp. st. konce"));
    EXPECT_EQ(ui.focused, QStringLiteral("VzdStKon"));

    // Without an input type the linearization box is disabled: no focus move.
    model.userEdit(model.Vstup, QStringLiteral("x"));
    EXPECT_EQ(check(), QStringLiteral("Není zadán způsob linearizace"));
    EXPECT_TRUE(ui.focused.isEmpty());
}

TEST_F(Completeness, TotalValueAndPointFileGaps)
{
    auto fill = [&] {
        model.setText(model.Pocatek, QStringLiteral("0"));
        model.setText(model.Konec, QStringLiteral("10"));
        model.setText(model.ChybProud, c::Undercurrent);
    };
    struct Case {
        InputType type;
        const char* message;
    };
    const Case cases[] = {
        {InputType::PotentiometerRelative, "Není zadán celkový odpor potenciometru."},
        {InputType::ResistorDifference,
         "Není zadána hodnota maximálního odporu součtu měřených rezistorů."},
        {InputType::VoltageDifference, "Není zadána maximální hodnota měřených napětí."},
        {InputType::CurrentDifference, "Není zadána maximální hodnota měřených proudů."},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.message);
        choose(k.type);
        fill();
        model.setText(model.PripCidl, c::ThreeWire);
        model.setText(model.Linearizace, c::NotLinearized);
        model.setText(model.SnOdpor, QStringLiteral("50"));
        EXPECT_EQ(check(), QString::fromUtf8(k.message));
        EXPECT_EQ(ui.focused, QStringLiteral("CelkovyOdpor"));
        model.setText(model.CelkovyOdpor, QStringLiteral("1"));
        EXPECT_EQ(check(), QString());
    }

    // "ze souboru" needs a chosen point file, then a unit.
    points.PointFileOk = true;
    choose(InputType::Rheostat);
    fill();
    model.setText(model.PripCidl, c::TwoWire);
    model.setText(model.Linearizace, c::FromFile); // as a reader sets it, no dialog
    EXPECT_EQ(check(), QStringLiteral("Není vybrán soubor pro linearizaci."));
    EXPECT_TRUE(ui.focused.isEmpty());
    model.OpenDialog1FileName = QStringLiteral("/tmp/body.txt");
    model.setText(model.VolenaJednotka, QString());
    EXPECT_EQ(check(), QStringLiteral("Není zadaná jednotka."));
    EXPECT_EQ(ui.focused, QStringLiteral("VolenaJednotka"));
}

TEST_F(Completeness, EmptyParasiticResistanceIsFilledInWithoutAMessage)
{
    choose(InputType::Pt100);
    model.setText(model.PripCidl, c::TwoWire);
    model.setText(model.Linearizace, c::Linearized);
    model.setText(model.Pocatek, QStringLiteral("0"));
    model.setText(model.Konec, QStringLiteral("100"));
    model.setText(model.ChybProud, c::Overcurrent);
    model.ParasiticResistance = 3;
    model.setText(model.korekcePV, QString());

    EXPECT_EQ(check(), QString());
    EXPECT_TRUE(model.ConfigIncomplete);
    EXPECT_EQ(model.korekcePV.text, QStringLiteral("0"));
    EXPECT_EQ(model.ParasiticResistance, 0.0L);

    EXPECT_EQ(check(), QString());
    EXPECT_FALSE(model.ConfigIncomplete);
}

// --- Comparator fields ------------------------------------------------------------------

TEST_F(ModelTest, ComparatorLimitsAreCheckedAgainstTheRange)
{
    model.RangeStart = 0;
    model.RangeEnd = 100;
    typeAndLeave(model.EMezsep1, local("12.5"), &MainWindowModel::EMezsep1Exit);
    EXPECT_EQ(model.Comparator1.SwitchOnLimit, 12.5L);
    EXPECT_TRUE(ui.messages.isEmpty());

    typeAndLeave(model.EMezroz1, QStringLiteral("150"), &MainWindowModel::EMezroz1Exit);
    EXPECT_EQ(ui.messages,
              QStringList{QStringLiteral("Mez rozepnutí komparátoru 1 mimo měřicí rozsah")});
    EXPECT_EQ(model.Comparator1.SwitchOffLimit, 150.0L); // a warning only: the value stays
    EXPECT_EQ(ui.focused, QStringLiteral("EMezroz1"));

    ui.clear();
    typeAndLeave(model.EMezroz1, local("12.5"), &MainWindowModel::EMezroz1Exit);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral(
                               "Meze sepnutí a rozepnutí komparátoru 1 nesmí být zcela shodné")});

    ui.clear();
    typeAndLeave(model.EMezsep2, QStringLiteral("a"), &MainWindowModel::EMezsep2Exit);
    EXPECT_EQ(ui.messages,
              (QStringList{QStringLiteral("špatně zadaná mez sepnutí komparátoru 2"),
                           QStringLiteral(
                               "Meze sepnutí a rozepnutí komparátoru 2 nesmí být zcela shodné")}));
    EXPECT_EQ(ui.focused, QStringLiteral("EMezsep2"));

    // A falling range is compared between its smaller and its larger end.
    ui.clear();
    model.RangeStart = 100;
    model.RangeEnd = 0;
    EXPECT_TRUE(typeAndLeave(model.EMezsep2, QStringLiteral("50"), &MainWindowModel::EMezsep2Exit));
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(
        typeAndLeave(model.EMezsep2, QStringLiteral("120"), &MainWindowModel::EMezsep2Exit));
    EXPECT_EQ(ui.messages,
              QStringList{QStringLiteral("Mez sepnutí komparátoru 2 mimo měřicí rozsah")});
}

TEST_F(ModelTest, ComparatorDelaysLieBetween0And255Seconds)
{
    // The same bounds as the store: whole seconds after rounding, one byte.
    typeAndLeave(model.EZpoSep1, local("255.4"), &MainWindowModel::EZpoSep1Exit);
    typeAndLeave(model.Ezporoz2, QStringLiteral("0"), &MainWindowModel::Ezporoz2Exit);
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(model.Comparator1.SwitchOnDelay, 255.4L);
    typeAndLeave(model.EZpoRoz1, QStringLiteral("256"), &MainWindowModel::EZpoRoz1Exit);
    typeAndLeave(model.Ezposep2, QStringLiteral("-1"), &MainWindowModel::Ezposep2Exit);
    typeAndLeave(model.Ezposep2, QStringLiteral("?"), &MainWindowModel::Ezposep2Exit);
    // Below zero even where the byte would round to 0 s.
    typeAndLeave(model.EZpoSep1, local("-0.4"), &MainWindowModel::EZpoSep1Exit);
    typeAndLeave(model.EZpoSep1, local("-0.5"), &MainWindowModel::EZpoSep1Exit);
    EXPECT_EQ(
        ui.messages,
        (QStringList{
            QStringLiteral("Povolená mez pro zpoždění rozepnutí komparátoru 1 je 0 až 255 s"),
            QStringLiteral("Povolená mez pro zpoždění sepnutí komparátoru 2 je 0 až 255 s"),
            QStringLiteral("špatně zadaná mez zpoždění sepnutí komparátoru 2"),
            QStringLiteral("Povolená mez pro zpoždění sepnutí komparátoru 2 je 0 až 255 s"),
            QStringLiteral("Povolená mez pro zpoždění sepnutí komparátoru 1 je 0 až 255 s"),
            QStringLiteral("Povolená mez pro zpoždění sepnutí komparátoru 1 je 0 až 255 s")}));
    EXPECT_EQ(model.Comparator2.SwitchOnDelay, -1.0L);
}

} // namespace
} // namespace vtr8::test
