#include "rules/configuration_rules.h"

#include "configuration/number_format.h"
#include "device/choice_texts.h"
#include "device/codes.h"
#include "device/device_float.h"
#include "device/input_type_table.h"

#include <cmath>

namespace vtr8 {

std::optional<RangeLimits> AllowedRange(const Configuration& c,
                                        std::optional<PointSetInterval> pointSet)
{
    if (c.linearization == Linearization::FromFile) {
        if (!pointSet)
            return std::nullopt;
        const QString unit = c.unitCode == unit_code::None ? QString() : unitText(c.unitCode);
        return RangeLimits{pointSet->first, pointSet->last, unit, 0};
    }
    return rangeLimits(c.input, c.dividerRatio.value, c.shuntResistance.value);
}

Refusals RangeLimitRefusals(const Configuration& c, RuleField side,
                            std::optional<PointSetInterval> pointSet)
{
    const ConfigurationNumber& own = side == RuleField::Start ? c.rangeStart : c.rangeEnd;
    if (isShuntCurrent(c.input) && c.shuntResistance.value == 0)
        return {Refusal{.rule = Rule::ShuntMissing, .field = side}};
    if (!FitsDeviceFloat(own.value))
        return {Refusal{.rule = Rule::BeyondDeviceFloat, .field = side, .value = own.value}};
    Refusals out;
    const std::optional<RangeLimits> allowed = AllowedRange(c, pointSet);
    if (allowed && outsideInterval(own.value, allowed->low, allowed->high)) {
        out.push_back({.rule = Rule::OutsideInterval,
                       .field = side,
                       .value = own.value,
                       .low = allowed->low,
                       .high = allowed->high,
                       .unit = allowed->unit});
    }
    if (c.rangeStart.text.isEmpty() || c.rangeEnd.text.isEmpty())
        return out;
    // The minimum span is the input type's whatever the linearization.
    if (const auto limits = rangeLimits(c.input, c.dividerRatio.value, c.shuntResistance.value)) {
        const Extended span = std::fabs(c.rangeEnd.value - c.rangeStart.value);
        if (span < limits->minimumSpan - 0.0000001L) {
            out.push_back({.rule = Rule::SpanTooSmall,
                           .field = side,
                           .value = span,
                           .low = limits->minimumSpan,
                           .unit = allowed ? allowed->unit : limits->unit});
        }
    }
    return out;
}

std::optional<Refusal> DampingRefusal(Extended seconds)
{
    if (seconds < 0.1L || seconds > 100)
        return Refusal{
            .rule = Rule::DampingOutOfRange, .field = RuleField::Damping, .value = seconds};
    return std::nullopt;
}

Refusals ShuntRefusals(Extended ohms)
{
    // The current bounds and the maximum current divide by it: a negative resistor turns them
    // inside out, and none at all divides by zero.
    if (ohms < 0)
        return {Refusal{.rule = Rule::ShuntNegative, .field = RuleField::Shunt, .value = ohms}};
    if (ohms == 0)
        return {Refusal{.rule = Rule::ShuntZero, .field = RuleField::Shunt}};
    return {};
}

std::optional<Refusal> DividerRefusal(Extended ratio)
{
    // A ratio of 0 would make every voltage bound 0 and the input scale divide by zero.
    if (ratio == 0)
        return Refusal{.rule = Rule::DividerZero, .field = RuleField::Divider};
    if (!FitsDeviceFloat(ratio))
        return Refusal{
            .rule = Rule::BeyondDeviceFloat, .field = RuleField::Divider, .value = ratio};
    return std::nullopt;
}

std::optional<Refusal> ParasiticRefusal(Extended ohms)
{
    if (!FitsDeviceFloat(ohms))
        return Refusal{
            .rule = Rule::BeyondDeviceFloat, .field = RuleField::Parasitic, .value = ohms};
    return std::nullopt;
}

std::optional<Refusal> TotalValueRefusal(InputType input, Extended totalValue,
                                         Extended shuntResistance)
{
    if (input == InputType::PotentiometerRelative && (totalValue < 0 || totalValue > 4000)) {
        return Refusal{.rule = Rule::TotalValueOutOfRange,
                       .field = RuleField::TotalValue,
                       .value = totalValue,
                       .low = 0,
                       .high = 4000};
    }
    // 128 mV across the shunt is the most the input stage takes. Without a shunt value there
    // is nothing to compare with; the range checks ask for it.
    if (input == InputType::CurrentDifference && shuntResistance != 0 &&
        totalValue > 0.128L / shuntResistance * 1000) {
        return Refusal{.rule = Rule::CurrentAboveMaximum,
                       .field = RuleField::TotalValue,
                       .value = totalValue,
                       .low = 0,
                       .high = roundHalfEven(128 / shuntResistance)};
    }
    return std::nullopt;
}

namespace {

std::optional<Refusal> firstMissing(const Configuration& c,
                                    std::optional<PointSetInterval> pointSet)
{
    const InputType t = c.input;
    const InputTypeRow& row = inputTypeRow(t);
    auto missing = [](RuleField field) { return Refusal{.rule = Rule::Missing, .field = field}; };
    if (hasSensorConnection(t) && c.connection == ConnectionCode::None)
        return missing(RuleField::Connection);
    if (isShuntCurrent(t) && c.shuntResistance.text.isEmpty())
        return missing(RuleField::Shunt);
    if (isThermocouple(t) && !c.coldJunction)
        return missing(RuleField::ColdJunction);
    if (!c.linearization)
        return missing(RuleField::Linearization);
    if (c.rangeStart.text.isEmpty())
        return missing(RuleField::Start);
    if (c.rangeEnd.text.isEmpty())
        return missing(RuleField::End);
    if (c.damping.text.isEmpty())
        return missing(RuleField::Damping);
    if (!c.errorCurrent)
        return missing(RuleField::ErrorCurrent);
    if (c.linearization == Linearization::FromFile && !pointSet)
        return missing(RuleField::PointFile);
    if (row.has(InputField::TotalValue) && c.totalValue.text.isEmpty()) {
        Refusal r = missing(RuleField::TotalValue);
        r.input = t;
        return r;
    }
    return std::nullopt;
}

} // namespace

Refusals CheckConfiguration(const Configuration& c, std::optional<PointSetInterval> pointSet)
{
    if (const auto missing = firstMissing(c, pointSet))
        return {*missing};
    const InputTypeRow& row = inputTypeRow(c.input);
    Refusals out;
    auto add = [&out](const std::optional<Refusal>& r) {
        if (r)
            out.push_back(*r);
    };
    // A text that is no number stands for no value at all, whatever its numeric copy holds.
    auto number = [&](const ConfigurationNumber& n, RuleField field) {
        if (!n.text.isEmpty() && !parseLocaleNumber(UpravaFormatu(n.text))) {
            out.push_back({.rule = Rule::NotANumber, .field = field});
            return false;
        }
        return true;
    };
    const bool startNumber = number(c.rangeStart, RuleField::Start);
    const bool endNumber = number(c.rangeEnd, RuleField::End);
    if (number(c.damping, RuleField::Damping))
        add(DampingRefusal(c.damping.value));
    if (row.has(InputField::Shunt) && number(c.shuntResistance, RuleField::Shunt)) {
        for (const Refusal& r : ShuntRefusals(c.shuntResistance.value))
            out.push_back(r);
    }
    if (row.has(InputField::Divider) && number(c.dividerRatio, RuleField::Divider))
        add(DividerRefusal(c.dividerRatio.value));
    if (row.has(InputField::Parasitic) && number(c.parasiticResistance, RuleField::Parasitic))
        add(ParasiticRefusal(c.parasiticResistance.value));
    if (row.has(InputField::TotalValue) && number(c.totalValue, RuleField::TotalValue))
        add(TotalValueRefusal(c.input, c.totalValue.value, c.shuntResistance.value));
    bool spanTold = false;
    for (const auto& [side, isNumber] :
         {std::pair{RuleField::Start, startNumber}, std::pair{RuleField::End, endNumber}}) {
        if (!isNumber)
            continue;
        for (const Refusal& r : RangeLimitRefusals(c, side, pointSet)) {
            // The span is one fact about both limits, and a missing shunt one about the input.
            const bool once = r.rule == Rule::SpanTooSmall || r.rule == Rule::ShuntMissing;
            if (once && spanTold)
                continue;
            spanTold = spanTold || once;
            out.push_back(r);
        }
    }
    return out;
}

} // namespace vtr8
