#include "model/main_window_model.h"

#include "model/change_scope.h"

#include "configuration/number_format.h"
#include "device/choice_texts.h"
#include "device/constants.h"
#include "device/device_float.h"
#include "device/input_type_table.h"
#include "linearization/point_set.h"
#include "model/range_limits.h"

#include <algorithm>
#include <cmath>

// Field checks run when a field is left, and the completeness check before a
// save or a write. A failed field check only warns: the person may leave the
// field again; the completeness check is what stops a save or a write.
namespace vtr8 {

namespace {

QString fixed3(Extended value)
{
    return formatFixed(value, 3);
}

// The configuration file keeps these values with 3 decimals: the field shows and keeps what
// a save and a load give back.
Extended keptThreeDecimals(Extended value)
{
    return roundToDecimals(value, 3);
}

} // namespace

void MainWindowModel::TestMez()
{
    StartOutOfRange = false;
    EndOutOfRange = false;
    rangeCheckActive_ = false;
    if (isFromFile()) {
        // The interval is that of the required outputs of the point set, whatever
        // the input, in the unit chosen for them.
        LimitUnitText = VolenaJednotka.text == choice::NoUnit ? QString() : VolenaJednotka.text;
        AllowedLow = points_.RequiredOutput[1];
        AllowedHigh = points_.RequiredOutput[std::size_t(
            std::clamp(points_.PointCount, 1, LinearizationPoints::Capacity))];
        rangeCheckActive_ = true;
    } else if (Input) {
        if (const auto limits = rangeLimits(*Input, DividerRatio, ShuntResistance)) {
            AllowedLow = limits->low;
            AllowedHigh = limits->high;
            LimitUnitText = limits->unit;
            rangeCheckActive_ = true;
        }
    }
    TestMez1();
}

void MainWindowModel::TestMez1()
{
    if (!rangeCheckActive_)
        return;
    if (!Pocatek.text.isEmpty())
        StartOutOfRange = outsideInterval(RangeStart, AllowedLow, AllowedHigh);
    if (!Konec.text.isEmpty())
        EndOutOfRange = outsideInterval(RangeEnd, AllowedLow, AllowedHigh);
}

void MainWindowModel::TestRozpeti()
{
    SpanTooSmall = false;
    if (Pocatek.text.isEmpty() || Konec.text.isEmpty() || !Input)
        return;
    const auto limits = rangeLimits(*Input, DividerRatio, ShuntResistance);
    if (!limits)
        return;
    MinimumSpan = limits->minimumSpan;
    SpanTooSmall = std::fabs(RangeEnd - RangeStart) < MinimumSpan - 0.0000001L;
}

bool MainWindowModel::rangeFieldExit(bool start)
{
    Control& field = start ? Pocatek : Konec;
    if (field.text.isEmpty())
        return true;
    setText(field, UpravaFormatu(field.text));
    bool accepted = true;

    if (Input && isShuntCurrent(*Input) && ShuntResistance == 0) {
        message(QStringLiteral("Není zadána hodnota snímacího odporu."));
        focus(SnOdpor);
        return false;
    }

    if (const auto value = parseLocaleNumber(field.text)) {
        // A limit the transmitter's float cannot carry would be stored as another number.
        if (!FitsDeviceFloat(*value)) {
            message(start ? QStringLiteral("Dolní mez je mimo rozsah čísel převodníku.")
                          : QStringLiteral("Horní mez je mimo rozsah čísel převodníku."));
            focus(field);
            return false;
        }
        // The field shows the limit as the file and the transmitter keep it, written as a
        // loaded file shows it.
        const Extended kept = keptRangeValue(*value, Input);
        (start ? RangeStart : RangeEnd) = kept;
        setText(field, formatGeneral(kept, 10));
    } else {
        message(start ? QStringLiteral("Špatně zadaná dolní mez.")
                      : QStringLiteral("Špatně zadaná horní mez"));
        focus(field);
        accepted = false;
    }

    TestMez();
    if (start ? StartOutOfRange : EndOutOfRange) {
        message((start ? QStringLiteral("Dolní hodnota rozsahu musí být v intervalu ")
                       : QStringLiteral("Horní hodnota rozsahu musí být v intervalu ")) +
                fixed3(AllowedLow) + QStringLiteral(" až ") + fixed3(AllowedHigh) +
                (LimitUnitText.isEmpty() ? QString() : QLatin1Char(' ') + LimitUnitText));
        focus(field);
        accepted = false;
    }

    TestRozpeti();
    if (SpanTooSmall) {
        message(QStringLiteral("Povolené minimální rozpětí je ") + fixed3(MinimumSpan) +
                QLatin1Char(' ') + LimitUnitText);
        focus(field);
        accepted = false;
    }
    return accepted;
}

bool MainWindowModel::PocatekExit()
{
    ChangeScope scope(*this);
    return rangeFieldExit(true);
}

bool MainWindowModel::KonecExit()
{
    ChangeScope scope(*this);
    return rangeFieldExit(false);
}

bool MainWindowModel::TlumeniExit()
{
    ChangeScope scope(*this);
    if (Tlumeni.text.isEmpty())
        return true;
    setText(Tlumeni, UpravaFormatu(Tlumeni.text));
    bool accepted = true;
    if (const auto value = parseLocaleNumber(Tlumeni.text)) {
        DampingTime = *value;
    } else {
        message(QStringLiteral("špatně zadaná časová konstanta tlumení"));
        focus(Tlumeni);
        accepted = false;
    }
    if (DampingTime < 0.1L || DampingTime > 100) {
        message(QStringLiteral("Povolená mez pro konstantu tlumení je 0.1 až 100 s"));
        focus(Tlumeni);
        accepted = false;
    }
    DampingTimeSingle = static_cast<float>(DampingTime);
    DampingCoefficient = dampingCoefficient(DampingTime);
    return accepted;
}

bool MainWindowModel::choiceFieldExit(Control& field, const QStringList& choices,
                                      const QString& refusal)
{
    ChangeScope scope(*this);
    if (field.text.isEmpty() || choices.contains(field.text))
        return true;
    message(refusal);
    setText(field, QString());
    focus(field);
    return false;
}

bool MainWindowModel::ChybProudExit()
{
    return choiceFieldExit(ChybProud,
                           {choice::Overcurrent, choice::Undercurrent, choice::ErrorCurrentOff},
                           QStringLiteral("Špatně zadaná volba chybového proudu"));
}

bool MainWindowModel::VzdStKonExit()
{
    return choiceFieldExit(
        VzdStKon,
        {choice::InternalColdJunction, choice::NearColdJunction, choice::RemoteColdJunction},
        QStringLiteral("Špatně zadaná volba vzdálenosti studeného konce."));
}

bool MainWindowModel::SnOdporExit()
{
    ChangeScope scope(*this);
    if (SnOdpor.text.isEmpty())
        return true;
    if (!numberFieldExit(SnOdpor, ShuntResistance,
                         QStringLiteral("Špatně zadaná hodnota snímacího odporu.")))
        return false;
    if (ShuntResistance < 0) {
        // The current bounds and the maximum current divide by it: a negative resistor turns
        // them inside out.
        message(QStringLiteral("Hodnota snímacího odporu musí být kladná."));
        focus(SnOdpor);
        return false;
    }
    const bool nonZero = ShuntResistance != 0;
    if (!nonZero) {
        message(QStringLiteral("Zadana hodnota snímacího odporu nesmí být 0."));
        focus(SnOdpor);
    }
    if (!recheckRange())
        return false;
    // The largest current that the shunt admits moves with it too.
    if (Input == InputType::CurrentDifference && !CelkovyOdpor.text.isEmpty() &&
        !CelkovyOdporExit())
        return false;
    return nonZero;
}

// The bounds of a voltage or current range move with the divider ratio or the shunt: both
// limits are tested against the new ones (the start first, one message at a time), so no
// configuration the fields accept is one a loaded file would refuse.
bool MainWindowModel::recheckRange()
{
    return PocatekExit() && KonecExit();
}

bool MainWindowModel::DelPomerExit()
{
    ChangeScope scope(*this);
    if (DelPomer.text.isEmpty())
        return true;
    if (!numberFieldExit(DelPomer, DividerRatio,
                         QStringLiteral("špatně zadaná hodnota dělícího poměru")))
        return false;
    // A divider ratio of 0 would make every voltage bound 0 and the input scale
    // of the write divide by zero.
    if (DividerRatio == 0) {
        message(QStringLiteral("Zeslabení přídavným děličem napětí nesmí být 0."));
        focus(DelPomer);
        return false;
    }
    if (!FitsDeviceFloat(DividerRatio)) {
        message(
            QStringLiteral("Zeslabení přídavným děličem napětí je mimo rozsah čísel převodníku."));
        focus(DelPomer);
        return false;
    }
    return recheckRange();
}

bool MainWindowModel::korekcePVExit()
{
    ChangeScope scope(*this);
    if (korekcePV.text.isEmpty())
        return true;
    setText(korekcePV, UpravaFormatu(korekcePV.text));
    if (const auto value = parseLocaleNumber(korekcePV.text)) {
        ParasiticResistance = keptThreeDecimals(*value);
        if (ParasiticResistance != *value)
            setText(korekcePV, formatGeneral(ParasiticResistance, 10));
        return true;
    }
    message(QStringLiteral("Špatně zadaná hodnota korekce měřeného odporu."));
    setText(korekcePV, QString());
    return false;
}

bool MainWindowModel::CelkovyOdporExit()
{
    ChangeScope scope(*this);
    if (CelkovyOdpor.text.isEmpty())
        return true;
    setText(CelkovyOdpor, UpravaFormatu(CelkovyOdpor.text));
    if (const auto value = parseLocaleNumber(CelkovyOdpor.text)) {
        // The maximum current of "rozdíl dvou proudů" is saved as typed, the others rounded.
        const bool asTyped = Input && inputTypeRow(*Input).totalValueAsTyped;
        TotalValue = asTyped ? *value : keptThreeDecimals(*value);
        if (TotalValue != *value)
            setText(CelkovyOdpor, formatGeneral(TotalValue, 10));
    } else {
        message(QStringLiteral("Špatně zadaná hodnota celkového odporu potenciometru."));
        focus(CelkovyOdpor);
        return false;
    }
    bool accepted = true;
    if (Input == InputType::PotentiometerRelative && (TotalValue < 0 || TotalValue > 4000)) {
        message(QStringLiteral(
            "Hodnota celkového odporu potenciometru musí být v intervalu 0 až 4000 Ohm"));
        focus(CelkovyOdpor);
        accepted = false;
    }
    // 128 mV across the shunt is the most the input stage takes. Without a shunt
    // value there is nothing to compare with; the range exits ask for it.
    if (Input == InputType::CurrentDifference && ShuntResistance != 0) {
        const Extended maximum = 0.128L / ShuntResistance * 1000;
        if (TotalValue > maximum) {
            message(QStringLiteral("Maximální hodnota proudu musí být v intervalu 0 až ") +
                    formatGeneral(roundHalfEven(128 / ShuntResistance), 10) +
                    QStringLiteral(" mA"));
            focus(CelkovyOdpor);
            accepted = false;
        }
    }
    return accepted;
}

void MainWindowModel::Testvyplneni()
{
    ChangeScope scope(*this);
    auto fail = [&](const QString& text, Control* focusControl) {
        message(text);
        if (focusControl)
            focus(*focusControl);
        ConfigIncomplete = true;
    };
    const std::optional<InputType> t = Input;
    auto is = [&](InputType type) { return t == type; };

    if (t && hasSensorConnection(*t) && PripCidl.text.isEmpty())
        return fail(QStringLiteral("Není zadán způsob připojení čidla"), &PripCidl);
    if (t && isShuntCurrent(*t) && SnOdpor.text.isEmpty())
        return fail(QStringLiteral("Není zadána hodnota měřicího odporu"), &SnOdpor);
    if (t && isThermocouple(*t) && VzdStKon.text.isEmpty())
        return fail(QStringLiteral("Není zadán způsob vyhodnocení komp. st. konce"), &VzdStKon);
    if (Linearizace.text.isEmpty())
        return fail(QStringLiteral("Není zadán způsob linearizace"),
                    Linearizace.enabled ? &Linearizace : nullptr);
    if (Pocatek.text.isEmpty())
        return fail(QStringLiteral("Není zadána dolní mez rozsahu"), &Pocatek);
    if (Konec.text.isEmpty())
        return fail(QStringLiteral("Není zadána horní mez rozsahu"), &Konec);
    if (Tlumeni.text.isEmpty())
        return fail(QStringLiteral("Není zadána časová konstanta tlumení"), &Tlumeni);
    if (ChybProud.text.isEmpty())
        return fail(QStringLiteral("Není zadána volba chybového proudu"), &ChybProud);
    if (isFromFile() && OpenDialog1FileName.isEmpty())
        return fail(QStringLiteral("Není vybrán soubor pro linearizaci."), nullptr);
    if (isFromFile() && VolenaJednotka.text.isEmpty())
        return fail(QStringLiteral("Není zadaná jednotka."), &VolenaJednotka);
    if (is(InputType::PotentiometerRelative) && CelkovyOdpor.text.isEmpty())
        return fail(QStringLiteral("Není zadán celkový odpor potenciometru."), &CelkovyOdpor);
    if (is(InputType::ResistorDifference) && CelkovyOdpor.text.isEmpty())
        return fail(
            QStringLiteral("Není zadána hodnota maximálního odporu součtu měřených rezistorů."),
            &CelkovyOdpor);
    if (is(InputType::VoltageDifference) && CelkovyOdpor.text.isEmpty())
        return fail(QStringLiteral("Není zadána maximální hodnota měřených napětí."),
                    &CelkovyOdpor);
    if (is(InputType::CurrentDifference) && CelkovyOdpor.text.isEmpty())
        return fail(QStringLiteral("Není zadána maximální hodnota měřených proudů."),
                    &CelkovyOdpor);
    if (korekcePV.text.isEmpty()) {
        // An emptied parasitic resistance means none: fill in 0 silently, but still
        // stop this save or write so the person sees the value that will be used.
        setText(korekcePV, QStringLiteral("0"));
        ParasiticResistance = 0;
        ConfigIncomplete = true;
    }
}

// --- Limit comparators ------------------------------------------------------------------

bool MainWindowModel::comparatorLimitExit(int comparator, bool switchOn)
{
    ChangeScope scope(*this);
    Control& field =
        comparator == 1 ? (switchOn ? EMezsep1 : EMezroz1) : (switchOn ? EMezsep2 : EMezroz2);
    ComparatorValues& values = comparator == 1 ? Comparator1 : Comparator2;
    Extended& limit = switchOn ? values.SwitchOnLimit : values.SwitchOffLimit;
    const QString number = QString::number(comparator);
    if (field.text.isEmpty())
        return true;
    setText(field, UpravaFormatu(field.text));
    bool accepted = true;
    if (const auto value = parseLocaleNumber(field.text)) {
        limit = *value;
    } else {
        message((switchOn ? QStringLiteral("špatně zadaná mez sepnutí komparátoru ")
                          : QStringLiteral("špatně zadaná mez rozepnutí komparátoru ")) +
                number);
        focus(field);
        accepted = false;
    }
    // Compared with the range as entered: with a falling range (start above end)
    // every limit is outside.
    if (limit < RangeStart || limit > RangeEnd) {
        message((switchOn ? QStringLiteral("Mez sepnutí komparátoru ")
                          : QStringLiteral("Mez rozepnutí komparátoru ")) +
                number + QStringLiteral(" mimo měřicí rozsah"));
        focus(field);
        accepted = false;
    }
    if (values.SwitchOnLimit == values.SwitchOffLimit) {
        message(QStringLiteral("Meze sepnutí a rozepnutí komparátoru ") + number +
                QStringLiteral(" nesmí být zcela shodné"));
        focus(field);
        accepted = false;
    }
    return accepted;
}

bool ComparatorDelayStorable(Extended seconds)
{
    // A negative delay is refused even where it would round to 0 s: what was typed is no delay.
    return seconds >= 0 && roundHalfEven(seconds) <= MaxComparatorDelaySeconds;
}

bool MainWindowModel::comparatorDelayExit(int comparator, bool switchOn)
{
    ChangeScope scope(*this);
    Control& field =
        comparator == 1 ? (switchOn ? EZpoSep1 : EZpoRoz1) : (switchOn ? Ezposep2 : Ezporoz2);
    ComparatorValues& values = comparator == 1 ? Comparator1 : Comparator2;
    Extended& delay = switchOn ? values.SwitchOnDelay : values.SwitchOffDelay;
    const QString number = QString::number(comparator);
    if (field.text.isEmpty())
        return true;
    setText(field, UpravaFormatu(field.text));
    bool accepted = true;
    if (const auto value = parseLocaleNumber(field.text)) {
        delay = *value;
    } else {
        message((switchOn ? QStringLiteral("špatně zadaná mez zpoždění sepnutí komparátoru ")
                          : QStringLiteral("špatně zadaná mez zpoždění rozepnutí komparátoru ")) +
                number);
        focus(field);
        accepted = false;
    }
    if (!ComparatorDelayStorable(delay)) {
        message((switchOn ? QStringLiteral("Povolená mez pro zpoždění sepnutí komparátoru ")
                          : QStringLiteral("Povolená mez pro zpoždění rozepnutí komparátoru ")) +
                number + QStringLiteral(" je 0 až 255 s"));
        focus(field);
        accepted = false;
    }
    return accepted;
}

bool MainWindowModel::EMezsep1Exit()
{
    return comparatorLimitExit(1, true);
}
bool MainWindowModel::EMezroz1Exit()
{
    return comparatorLimitExit(1, false);
}
bool MainWindowModel::EZpoSep1Exit()
{
    return comparatorDelayExit(1, true);
}
bool MainWindowModel::EZpoRoz1Exit()
{
    return comparatorDelayExit(1, false);
}
bool MainWindowModel::EMezsep2Exit()
{
    return comparatorLimitExit(2, true);
}
bool MainWindowModel::EMezroz2Exit()
{
    return comparatorLimitExit(2, false);
}
bool MainWindowModel::Ezposep2Exit()
{
    return comparatorDelayExit(2, true);
}
bool MainWindowModel::Ezporoz2Exit()
{
    return comparatorDelayExit(2, false);
}

} // namespace vtr8
