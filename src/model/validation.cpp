#include "model/main_window_model.h"

#include "model/change_scope.h"

#include "configuration/number_format.h"
#include "device/choice_texts.h"
#include "device/constants.h"
#include "device/device_float.h"
#include "device/input_type_table.h"
#include "linearization/point_set.h"
#include "rules/range_limits.h"
#include "rules/refusal.h"

#include <algorithm>
#include <cmath>

// Field checks run when a field is left, and the completeness check before a
// save or a write. A failed field check only warns: the person may leave the
// field again; the completeness check is what stops a save or a write.
namespace vtr8 {

namespace {

Refusal refusal(Rule rule, RuleField field, int comparator = 0)
{
    return MakeRefusal(rule, field, comparator);
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

void MainWindowModel::refuse(const Refusal& r, Control& field)
{
    message(RefusalText(r));
    focus(field);
}

std::optional<PointSetInterval> MainWindowModel::pointSetInterval() const
{
    if (!isFromFile())
        return std::nullopt;
    return PointSetInterval{points_.RequiredOutput[1],
                            points_.RequiredOutput[std::size_t(
                                std::clamp(points_.PointCount, 1, LinearizationPoints::Capacity))]};
}

bool MainWindowModel::rangeFieldExit(bool start)
{
    Control& field = start ? Pocatek : Konec;
    const RuleField side = start ? RuleField::Start : RuleField::End;
    if (field.text.isEmpty())
        return true;
    setText(field, UpravaFormatu(field.text));
    bool accepted = true;

    if (Input && isShuntCurrent(*Input) && ShuntResistance == 0) {
        refuse(refusal(Rule::ShuntMissing, side), SnOdpor);
        return false;
    }

    if (const auto value = parseLocaleNumber(field.text)) {
        // A limit the transmitter's float cannot carry would be stored as another number.
        if (!FitsDeviceFloat(*value)) {
            refuse(refusal(Rule::BeyondDeviceFloat, side), field);
            return false;
        }
        // The field shows the limit as the file and the transmitter keep it, written as a
        // loaded file shows it.
        const Extended kept = keptRangeValue(*value, Input);
        (start ? RangeStart : RangeEnd) = kept;
        setText(field, formatGeneral(kept, 10));
    } else {
        refuse(refusal(Rule::NotANumber, side), field);
        accepted = false;
    }

    // The results of the checks stay readable: the interval, the unit and the three flags.
    TestMez();
    TestRozpeti();
    if (!Input)
        return accepted;
    // The value the rules judge: the numeric copies, whatever the other field's text.
    Configuration c;
    c.input = *Input;
    c.rangeStart = {RangeStart, Pocatek.text};
    c.rangeEnd = {RangeEnd, Konec.text};
    c.unitCode = UnitCode;
    if (isFromFile())
        c.linearization = Linearization::FromFile;
    c.dividerRatio.value = DividerRatio;
    c.shuntResistance.value = ShuntResistance;
    for (const Refusal& r : RangeLimitRefusals(c, side, pointSetInterval())) {
        Refusal shown = r;
        // The point file's unit is the one chosen for it, or none.
        if (r.rule == Rule::OutsideInterval || r.rule == Rule::SpanTooSmall)
            shown.unit = LimitUnitText;
        refuse(shown, field);
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
        refuse(refusal(Rule::NotANumber, RuleField::Damping), Tlumeni);
        accepted = false;
    }
    if (const auto r = DampingRefusal(DampingTime)) {
        refuse(*r, Tlumeni);
        accepted = false;
    }
    DampingTimeSingle = static_cast<float>(DampingTime);
    DampingCoefficient = dampingCoefficient(DampingTime);
    return accepted;
}

bool MainWindowModel::choiceFieldExit(Control& field, const QStringList& choices, const Refusal& r)
{
    ChangeScope scope(*this);
    if (field.text.isEmpty() || choices.contains(field.text))
        return true;
    message(RefusalText(r));
    setText(field, QString());
    focus(field);
    return false;
}

bool MainWindowModel::ChybProudExit()
{
    return choiceFieldExit(ChybProud,
                           {choice::Overcurrent, choice::Undercurrent, choice::ErrorCurrentOff},
                           refusal(Rule::NotAChoice, RuleField::ErrorCurrent));
}

bool MainWindowModel::VzdStKonExit()
{
    return choiceFieldExit(
        VzdStKon,
        {choice::InternalColdJunction, choice::NearColdJunction, choice::RemoteColdJunction},
        refusal(Rule::NotAChoice, RuleField::ColdJunction));
}

bool MainWindowModel::SnOdporExit()
{
    ChangeScope scope(*this);
    if (SnOdpor.text.isEmpty())
        return true;
    if (!numberFieldExit(SnOdpor, ShuntResistance,
                         RefusalText(refusal(Rule::NotANumber, RuleField::Shunt))))
        return false;
    const Refusals refused = ShuntRefusals(ShuntResistance);
    if (!refused.empty()) {
        refuse(refused.front(), SnOdpor);
        // A negative resistor ends here; without one the range still asks for it.
        if (refused.front().rule == Rule::ShuntNegative)
            return false;
    }
    const bool nonZero = refused.empty();
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
    return deferRangeCheck_ || (PocatekExit() && KonecExit());
}

bool MainWindowModel::DelPomerExit()
{
    ChangeScope scope(*this);
    if (DelPomer.text.isEmpty())
        return true;
    if (!numberFieldExit(DelPomer, DividerRatio,
                         RefusalText(refusal(Rule::NotANumber, RuleField::Divider))))
        return false;
    if (const auto r = DividerRefusal(DividerRatio)) {
        refuse(*r, DelPomer);
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
        // Beyond the transmitter's float it would be stored as another resistance.
        if (const auto r = ParasiticRefusal(*value)) {
            refuse(*r, korekcePV);
            return false;
        }
        ParasiticResistance = keptThreeDecimals(*value);
        if (ParasiticResistance != *value)
            setText(korekcePV, formatGeneral(ParasiticResistance, 10));
        return true;
    }
    message(RefusalText(refusal(Rule::NotANumber, RuleField::Parasitic)));
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
        refuse(refusal(Rule::NotANumber, RuleField::TotalValue), CelkovyOdpor);
        return false;
    }
    if (!Input)
        return true;
    if (const auto r = TotalValueRefusal(*Input, TotalValue, ShuntResistance)) {
        refuse(*r, CelkovyOdpor);
        return false;
    }
    return true;
}

void MainWindowModel::Testvyplneni()
{
    ChangeScope scope(*this);
    auto fail = [&](RuleField field, Control* focusControl) {
        Refusal missing = MakeRefusal(Rule::Missing, field);
        missing.input = Input;
        message(RefusalText(missing));
        if (focusControl)
            focus(*focusControl);
        ConfigIncomplete = true;
    };
    const std::optional<InputType> t = Input;
    using F = RuleField;

    if (t && hasSensorConnection(*t) && PripCidl.text.isEmpty())
        return fail(F::Connection, &PripCidl);
    if (t && isShuntCurrent(*t) && SnOdpor.text.isEmpty())
        return fail(F::Shunt, &SnOdpor);
    if (t && isThermocouple(*t) && VzdStKon.text.isEmpty())
        return fail(F::ColdJunction, &VzdStKon);
    if (Linearizace.text.isEmpty())
        return fail(F::Linearization, Linearizace.enabled ? &Linearizace : nullptr);
    if (Pocatek.text.isEmpty())
        return fail(F::Start, &Pocatek);
    if (Konec.text.isEmpty())
        return fail(F::End, &Konec);
    if (Tlumeni.text.isEmpty())
        return fail(F::Damping, &Tlumeni);
    if (ChybProud.text.isEmpty())
        return fail(F::ErrorCurrent, &ChybProud);
    if (isFromFile() && OpenDialog1FileName.isEmpty())
        return fail(F::PointFile, nullptr);
    if (isFromFile() && VolenaJednotka.text.isEmpty())
        return fail(F::Unit, &VolenaJednotka);
    if (t && inputTypeRow(*t).has(InputField::TotalValue) && CelkovyOdpor.text.isEmpty())
        return fail(F::TotalValue, &CelkovyOdpor);
    if (korekcePV.text.isEmpty()) {
        // An emptied parasitic resistance means none: fill in 0 silently, but still
        // stop this save or write so the person sees the value that will be used.
        setText(korekcePV, QStringLiteral("0"));
        ParasiticResistance = 0;
        ConfigIncomplete = true;
    }
}

Control& MainWindowModel::ruleControl(RuleField field)
{
    using F = RuleField;
    switch (field) {
    case F::Start:
        return Pocatek;
    case F::End:
        return Konec;
    case F::Damping:
        return Tlumeni;
    case F::ErrorCurrent:
        return ChybProud;
    case F::Connection:
        return PripCidl;
    case F::ColdJunction:
        return VzdStKon;
    case F::Linearization:
        return Linearizace;
    case F::Unit:
    case F::PointFile:
        return VolenaJednotka;
    case F::Shunt:
        return SnOdpor;
    case F::Divider:
        return DelPomer;
    case F::Parasitic:
        return korekcePV;
    case F::TotalValue:
        return CelkovyOdpor;
    case F::ComparatorOnLimit:
        return EMezsep1;
    case F::ComparatorOffLimit:
        return EMezroz1;
    case F::ComparatorOnDelay:
        return EZpoSep1;
    case F::ComparatorOffDelay:
        return EZpoRoz1;
    }
    return Pocatek;
}

bool MainWindowModel::configurationStands(const Configuration& c)
{
    for (const Refusal& r : CheckConfiguration(c, pointSetInterval())) {
        if (IsWarning(r.rule))
            continue;
        Refusal shown = r;
        if ((r.rule == Rule::OutsideInterval || r.rule == Rule::SpanTooSmall) && isFromFile())
            shown.unit = LimitUnitText;
        // A missing shunt is typed into its own field.
        refuse(shown, ruleControl(r.rule == Rule::ShuntMissing ? RuleField::Shunt : r.field));
        return false;
    }
    return true;
}

// --- Limit comparators ------------------------------------------------------------------

bool MainWindowModel::comparatorLimitExit(int comparator, bool switchOn)
{
    ChangeScope scope(*this);
    Control& field =
        comparator == 1 ? (switchOn ? EMezsep1 : EMezroz1) : (switchOn ? EMezsep2 : EMezroz2);
    ComparatorValues& values = comparator == 1 ? Comparator1 : Comparator2;
    Extended& limit = switchOn ? values.SwitchOnLimit : values.SwitchOffLimit;
    const RuleField rule = switchOn ? RuleField::ComparatorOnLimit : RuleField::ComparatorOffLimit;
    if (field.text.isEmpty())
        return true;
    setText(field, UpravaFormatu(field.text));
    bool accepted = true;
    if (const auto value = parseLocaleNumber(field.text)) {
        limit = *value;
    } else {
        refuse(refusal(Rule::NotANumber, rule, comparator), field);
        accepted = false;
    }
    const Extended other = switchOn ? values.SwitchOffLimit : values.SwitchOnLimit;
    for (const Refusal& r :
         ComparatorLimitRefusals(comparator, rule, limit, other, {RangeStart, RangeEnd})) {
        refuse(r, field);
        // Outside the measuring range only warns: the limit stays and a store goes on.
        accepted = accepted && IsWarning(r.rule);
    }
    return accepted;
}

bool MainWindowModel::comparatorDelayExit(int comparator, bool switchOn)
{
    ChangeScope scope(*this);
    Control& field =
        comparator == 1 ? (switchOn ? EZpoSep1 : EZpoRoz1) : (switchOn ? Ezposep2 : Ezporoz2);
    ComparatorValues& values = comparator == 1 ? Comparator1 : Comparator2;
    Extended& delay = switchOn ? values.SwitchOnDelay : values.SwitchOffDelay;
    const RuleField rule = switchOn ? RuleField::ComparatorOnDelay : RuleField::ComparatorOffDelay;
    if (field.text.isEmpty())
        return true;
    setText(field, UpravaFormatu(field.text));
    bool accepted = true;
    if (const auto value = parseLocaleNumber(field.text)) {
        delay = *value;
    } else {
        refuse(refusal(Rule::NotANumber, rule, comparator), field);
        accepted = false;
    }
    if (const auto r = ComparatorDelayRefusal(comparator, rule, delay)) {
        refuse(*r, field);
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
