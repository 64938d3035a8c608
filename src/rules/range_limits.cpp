#include "rules/range_limits.h"

#include "device/device_float.h"

#include "configuration/configuration.h"
#include "configuration/number_format.h"

#include "device/choice_texts.h"

namespace vtr8 {

std::optional<RangeLimits> rangeLimits(InputType type, Extended dividerRatio,
                                       Extended shuntResistance)
{
    using T = InputType;
    const QString& deg = choice::DegreesCelsius;
    switch (type) {
    case T::Pt100:
    case T::Pt1000:
        return RangeLimits{-200, 850, deg, 25};
    case T::Ni100:
    case T::Ni1000:
        return RangeLimits{-70, 250, deg, 25};
    case T::Rheostat:
    case T::PotentiometerAbsolute:
        return RangeLimits{0, 4000, choice::Ohm, 20};
    case T::ResistorDifference:
        return RangeLimits{-4000, 4000, choice::Ohm, 20};
    case T::PotentiometerRelative:
        return RangeLimits{0, 100, choice::Percent, 5};
    case T::ThermocoupleB:
        return RangeLimits{100, 1820, deg, 500};
    case T::ThermocoupleE:
        return RangeLimits{-200, 1000, deg, 100};
    case T::ThermocoupleJ:
        return RangeLimits{-100, 1200, deg, 100};
    case T::ThermocoupleK:
        return RangeLimits{-200, 1370, deg, 100};
    case T::ThermocoupleN:
        return RangeLimits{-200, 1300, deg, 200};
    case T::ThermocoupleL:
        return RangeLimits{-200, 900, deg, 100};
    case T::ThermocoupleR:
    case T::ThermocoupleS:
        return RangeLimits{-50, 1760, deg, 500};
    case T::ThermocoupleT:
        return RangeLimits{-200, 400, deg, 100};
    case T::Voltage:
    case T::VoltageDifference:
        // A refused ratio bounds nothing: its own check tells what is wrong with it.
        if (dividerRatio == 0 || !FitsDeviceFloat(dividerRatio))
            return std::nullopt;
        return RangeLimits{-0.5L * dividerRatio, 1.0L * dividerRatio, choice::Volt,
                           0.003L * dividerRatio};
    case T::Current:
    case T::CurrentDifference:
        // Neither does a refused shunt: none, or a negative one that turns the bounds round.
        if (shuntResistance <= 0)
            return std::nullopt;
        return RangeLimits{-100 / shuntResistance, 100 / shuntResistance, choice::Milliampere,
                           20 / shuntResistance};
    case T::Special0to10V:
    case T::Special0to20mA:
    case T::Special4to20mA:
        return std::nullopt;
    }
    return std::nullopt;
}

bool outsideInterval(Extended value, Extended low, Extended high)
{
    if (high < low)
        return value > low || value < high;
    return value < low || value > high;
}

int rangeDecimals(std::optional<InputType> type)
{
    return type ? rangeDecimals(*type) : 3;
}

Extended keptRangeValue(Extended value, std::optional<InputType> type)
{
    return roundToDecimals(static_cast<float>(value), rangeDecimals(type));
}

} // namespace vtr8
