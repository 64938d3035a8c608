#include "linearization/characteristic.h"

#include "linearization/single_precision.h"
#include "linearization/spline.h"
#include "linearization/thermocouple_sets.h"
#include "linearization/workspace.h"

#include <cmath>

namespace vtr8 {

namespace {

const char* const UnknownCharacteristicText = "Dany prubeh neni v programu jeste zadan";

// Callendar-Van Dusen constants of the industrial platinum thermometer (the
// 1983 edition) and the nickel constants of the German standard.
constexpr Extended PtA = 3.90802e-3L;
constexpr Extended PtB = -5.802e-7L;
constexpr Extended PtC = -4.2735e-12L;
constexpr Extended NiA = 5.485e-3L;
constexpr Extended NiB = 6.65e-6L;
constexpr Extended NiD = 2.805e-11L;
constexpr Extended NiF = -2.0e-17L;

Extended platinum(Extended r0, Extended x)
{
    const Extended x2 = x * x;
    if (x <= 0)
        return r0 * (1 + PtA * x + PtB * x2 + PtC * (x - 100) * x2 * x);
    return r0 * (1 + PtA * x + PtB * x2);
}

Extended nickel(Extended r0, Extended x)
{
    const Extended x2 = x * x;
    const Extended x4 = x2 * x2;
    return r0 * (1 + NiA * x + NiB * x2 + NiD * x4 + NiF * x4 * x2);
}

Extended thermocouple(LinearizationWorkspace& ws, Characteristic c, Extended x)
{
    const ThermocoupleSubRange set = thermocoupleSubRange(c, x);
    ws.Coefficients.fill(0);
    for (int i = 0; i < set.count; ++i)
        ws.Coefficients[static_cast<std::size_t>(i)] = set.coefficients[i];
    Extended y =
        EvaluateReferencePolynomial(ws.Coefficients, set.count - 1, set.offset, set.scale, x);
    if (c == Characteristic::TcK && x > 0) {
        // The nickel-alloy leg's magnetic ordering adds a Gaussian bump near 127 °C.
        const Extended z = (x - 127) / 65;
        y += 125 * std::exp(-0.5L * z * z) * 1e-6L;
    }
    return y;
}

Extended squareRoot(const LinearizationWorkspace& ws, Extended x)
{
    const Extended lo = ws.RangeStart;
    const Extended hi = ws.RangeEnd;
    if (x <= lo || x >= hi)
        return x;
    return std::sqrt(100 * (x - lo) / (hi - lo)) * (hi - lo) / 10 + lo;
}

struct SearchInterval {
    Extended start;
    Extended end;
};

SearchInterval searchInterval(Characteristic c)
{
    switch (c) {
    case Characteristic::TcN:
    case Characteristic::TcK:
        return {-50, 1370};
    case Characteristic::TcT:
        return {-50, 400};
    case Characteristic::TcJ:
        return {-50, 1200};
    case Characteristic::TcE:
        return {-50, 1000};
    case Characteristic::TcR:
    case Characteristic::TcS:
        return {0, 1760};
    case Characteristic::TcB:
        return {100, 1820};
    case Characteristic::TcL:
        return {-50, 900};
    case Characteristic::Pt100:
    case Characteristic::Pt1000:
        return {-200, 850};
    default:
        return {-70, 250};
    }
}

// Temperatures the sensor's reference function is defined for; wider than the
// search interval below 0 °C for most thermocouples.
SearchInterval referenceRange(Characteristic c)
{
    switch (c) {
    case Characteristic::TcN:
        return {-270, 1300};
    case Characteristic::TcK:
        return {-270, 1372};
    case Characteristic::TcT:
        return {-270, 400};
    case Characteristic::TcJ:
        return {-210, 1200};
    case Characteristic::TcE:
        return {-270, 1000};
    case Characteristic::TcR:
    case Characteristic::TcS:
        return {-50, 1767};
    case Characteristic::TcB:
        return {0, 1820};
    case Characteristic::TcL:
        return {-200, 900};
    default:
        return searchInterval(c);
    }
}

struct BisectionResult {
    Extended x;
    bool converged;
};

BisectionResult bisect(LinearizationWorkspace& ws, Characteristic c, Extended v,
                       SearchInterval interval, Extended tolerance)
{
    float lo = static_cast<float>(interval.start);
    float hi = static_cast<float>(interval.end);
    for (;;) {
        const Extended x = (static_cast<Extended>(hi) + lo) / 2;
        const Extended y = EvaluateCharacteristic(ws, c, x);
        if (std::fabs(v - y) < tolerance)
            return {x, true};
        // The bounds are floats: once they are neighbours the midpoint rounds
        // back onto one of them and the search can go no further.
        const float next = static_cast<float>(x);
        if (y >= v) {
            if (next == hi)
                return {x, false};
            hi = next;
        } else {
            if (next == lo)
                return {x, false};
            lo = next;
        }
    }
}

bool valueWithin(LinearizationWorkspace& ws, Characteristic c, Extended v, SearchInterval interval)
{
    return v >= EvaluateCharacteristic(ws, c, interval.start) &&
           v <= EvaluateCharacteristic(ws, c, interval.end);
}

Extended inverseOfSensor(LinearizationWorkspace& ws, Characteristic c, Extended v)
{
    const SearchInterval interval = searchInterval(c);
    // The stop rule compares a signal difference (volts or ohms) with a
    // fraction of the temperature interval. For thermocouples that is coarse
    // (about 3.5 °C for type K); ExactInverse searches to the float bounds.
    const Extended tolerance = (interval.end - interval.start) / 10000000;
    const BisectionResult result = bisect(ws, c, v, interval, tolerance);
    if (result.converged || valueWithin(ws, c, v, interval))
        return result.x;
    // A range may start below the search interval (type K from -200 °C, for
    // example); such a limit is looked for over the whole reference range, to
    // the resolution of the float bounds: the coarse rule would be off by up
    // to 10 °C where a thermocouple's sensitivity falls off.
    const SearchInterval wide = referenceRange(c);
    if (valueWithin(ws, c, v, wide))
        return bisect(ws, c, v, wide, 0).x;
    ws.message("Hodnota signálu leží mimo rozsah převodní charakteristiky čidla.");
    ws.LinearizationError = true;
    return result.x;
}

} // namespace

bool isSensorCharacteristic(Characteristic c)
{
    return static_cast<int>(c) <= static_cast<int>(Characteristic::Ni1000);
}

Extended EvaluateReferencePolynomial(const CoefficientTable& table, int highestIndex,
                                     Extended offset, Extended scale, Extended x)
{
    const CoefficientTable copy = table;
    const Extended u = (x - offset) / scale;
    Extended acc = 0;
    for (int i = highestIndex; i >= 0; --i)
        acc = acc * u + copy[static_cast<std::size_t>(i)];
    return acc * 1e-6L;
}

Extended EvaluateCharacteristic(LinearizationWorkspace& ws, Characteristic c, Extended x)
{
    Extended y = ws.CharacteristicValue;
    switch (c) {
    case Characteristic::TcN:
    case Characteristic::TcK:
    case Characteristic::TcT:
    case Characteristic::TcJ:
    case Characteristic::TcE:
    case Characteristic::TcR:
    case Characteristic::TcS:
    case Characteristic::TcB:
    case Characteristic::TcL:
        y = thermocouple(ws, c, x);
        break;
    case Characteristic::Pt100:
        y = platinum(100, x);
        break;
    case Characteristic::Pt1000:
        y = platinum(1000, x);
        break;
    case Characteristic::Ni100:
        y = nickel(100, x);
        break;
    case Characteristic::Ni1000:
        y = nickel(1000, x);
        break;
    case Characteristic::SplineFile:
        if (ws.SplineFileTable.IntervalCount < 1) {
            ws.message("Tabulka spline ze souboru není načtena.");
            ws.LinearizationError = true;
            return ws.CharacteristicValue;
        }
        y = EvaluateSpline(ws.SplineFileTable, x);
        break;
    case Characteristic::LinearFromFile:
        y = x * ws.Points->InverseSlope + ws.Points->InverseOffset;
        break;
    case Characteristic::SquareRoot:
        y = squareRoot(ws, x);
        break;
    case Characteristic::Identity:
        y = x;
        break;
    default:
        ws.message(UnknownCharacteristicText);
        ws.LinearizationError = true;
        return ws.CharacteristicValue;
    }
    ws.CharacteristicValue = y;
    return y;
}

float ZPPrepoc(LinearizationWorkspace& ws, float x)
{
    return toSingle(EvaluateCharacteristic(ws, ws.CharacteristicIndex, x));
}

Extended cutToThousandths(Extended t)
{
    return std::trunc(t * 1000) / 1000;
}

Extended vypocet_inverz(LinearizationWorkspace& ws, Characteristic c, Extended v)
{
    switch (c) {
    case Characteristic::Identity:
        return v;
    case Characteristic::LinearFromFile:
        return cutToThousandths(v * ws.Points->InverseSlope + ws.Points->InverseOffset);
    case Characteristic::SquareRoot: {
        // Closed-form inverse of the square-root law; at and beyond the range
        // ends the law is the identity, and so is its inverse.
        const Extended lo = ws.RangeStart;
        const Extended hi = ws.RangeEnd;
        if (v <= lo || v >= hi)
            return v;
        return lo + (v - lo) * (v - lo) / (hi - lo);
    }
    case Characteristic::SplineFile:
        ws.message("Pro průběh podle spline tabulky ze souboru nelze hodnotu přepočítat na "
                   "teplotu.");
        ws.LinearizationError = true;
        return v;
    default:
        break;
    }
    if (!isSensorCharacteristic(c)) {
        ws.message(UnknownCharacteristicText);
        ws.LinearizationError = true;
        return v;
    }
    return cutToThousandths(inverseOfSensor(ws, c, v));
}

Extended ExactInverse(LinearizationWorkspace& ws, Characteristic c, Extended v)
{
    if (!isSensorCharacteristic(c))
        return vypocet_inverz(ws, c, v);
    // The usual stop rule compares volts with a fraction of a temperature interval, which
    // leaves a thermocouple limit degrees away; here the search runs to the float bounds.
    for (const SearchInterval interval : {searchInterval(c), referenceRange(c)})
        if (valueWithin(ws, c, v, interval))
            return bisect(ws, c, v, interval, 0).x;
    return inverseOfSensor(ws, c, v);
}

} // namespace vtr8
