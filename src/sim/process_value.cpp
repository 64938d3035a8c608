#include "sim/process_value.h"

#include "linearization/characteristic.h"
#include "linearization/point_set.h"
#include "linearization/workspace.h"

#include <cmath>
#include <optional>

namespace vtr8::sim {
namespace {

// Addresses of the fields the input stage uses.
constexpr int InputScaleFactorAddress = 28;
constexpr int PolynomialDegreeAddress = 127;
constexpr int PolynomialAddress = 128;
constexpr int ColdJunctionDegreeAddress = 171;
constexpr int ColdJunctionAddress = 172;
constexpr int ThermocoupleDegreeAddress = 207;
constexpr int ThermocoupleAddress = 208;
constexpr int SignalLimitsAddress = 387;
constexpr int InputCodeAddress = 400;
constexpr int ShuntAddress = 404;
constexpr int TotalValueAddress = 408;
constexpr int UnitCodeAddress = 424;
constexpr int LinearizationCharacteristicAddress = 425;
constexpr int RangeCharacteristicAddress = 426;
constexpr int LinearizationCodeAddress = 427;
constexpr int LinearizationMethodAddress = 606;
constexpr int SegmentTableAddress = 608;
constexpr int SegmentCount = 20;
constexpr int SegmentRecordLength = 20;
constexpr int InputScalingAddress = 1568;

enum class Family { Rtd, Thermocouple, Resistance, RelativePotentiometer, Shunt, Special, Plain };

Family familyOf(std::uint8_t code)
{
    if (code >= 1 && code <= 4)
        return Family::Rtd;
    if (code >= 8 && code <= 16)
        return Family::Thermocouple;
    if (code == 5 || code == 6 || code == 19)
        return Family::Resistance;
    if (code == 7)
        return Family::RelativePotentiometer;
    if (code == 18 || code == 21)
        return Family::Shunt;
    if (code >= 22 && code <= 24)
        return Family::Special;
    return Family::Plain;
}

// The sensor's own characteristic. The program stores it in 425 or 426 (the
// other one may be the identity or the point-file line), so a stored byte of the
// input's own family decides; the input code backs it up.
std::optional<Characteristic> sensorOf(const EepromImage& e, Family family)
{
    const int lowest = family == Family::Rtd ? 9 : 0;
    const int highest = family == Family::Rtd ? 12 : 8;
    for (int address : {RangeCharacteristicAddress, LinearizationCharacteristicAddress}) {
        const int stored = e[static_cast<std::size_t>(address)];
        if (stored >= lowest && stored <= highest)
            return static_cast<Characteristic>(stored);
    }
    // Input codes 1..16; thermocouple L is 12 and N is 13.
    static constexpr Characteristic byCode[] = {
        Characteristic::Pt100,    Characteristic::Pt1000,   Characteristic::Ni100,
        Characteristic::Ni1000,   Characteristic::Identity, Characteristic::Identity,
        Characteristic::Identity, Characteristic::TcB,      Characteristic::TcE,
        Characteristic::TcJ,      Characteristic::TcK,      Characteristic::TcL,
        Characteristic::TcN,      Characteristic::TcR,      Characteristic::TcS,
        Characteristic::TcT};
    const std::uint8_t code = e[InputCodeAddress];
    if (code >= 1 && code <= 16 && byCode[code - 1] != Characteristic::Identity)
        return byCode[code - 1];
    return std::nullopt;
}

double storedFloat(const EepromImage& e, int address)
{
    return GetTransmitterFloat(e, address);
}

bool usable(double v)
{
    return std::isfinite(v) && std::fabs(v) < 1e30;
}

// A stored polynomial, highest power first, at x.
double storedPolynomial(const EepromImage& e, int address, int degree, double x)
{
    double sum = 0;
    for (int i = 0; i <= degree; ++i)
        sum = sum * x + storedFloat(e, address + 4 * i);
    return sum;
}

struct Characteristics {
    LinearizationPoints points;
    LinearizationWorkspace workspace{points};

    double at(Characteristic c, double x)
    {
        return static_cast<double>(EvaluateCharacteristic(workspace, c, x));
    }
};

// EMF the transmitter adds back for its cold junction: it measures the
// junction's Pt100, turns the resistance into a temperature and that into the
// thermocouple's EMF with the two stored polynomials. A transmitter whose
// polynomials were never written adds nothing.
double coldJunctionEmf(const EepromImage& e, Characteristics& ch, double junctionCelsius)
{
    const int junctionDegree = e[ColdJunctionDegreeAddress];
    const int thermocoupleDegree = e[ThermocoupleDegreeAddress];
    if (junctionDegree != 4 || (thermocoupleDegree != 2 && thermocoupleDegree != 4))
        return 0;
    const double resistance = ch.at(Characteristic::Pt100, junctionCelsius);
    const double temperature = storedPolynomial(e, ColdJunctionAddress, junctionDegree, resistance);
    return storedPolynomial(e, ThermocoupleAddress, thermocoupleDegree, temperature);
}

// The measured quantity after the input scale factor, from the physical input.
double signalOf(const EepromImage& e, Characteristics& ch, double input, double junctionCelsius)
{
    const std::uint8_t code = e[InputCodeAddress];
    switch (familyOf(code)) {
    case Family::Rtd:
        if (const auto sensor = sensorOf(e, Family::Rtd))
            return ch.at(*sensor, input);
        return input;
    case Family::Thermocouple:
        if (const auto sensor = sensorOf(e, Family::Thermocouple)) {
            // The junction's own EMF is lost in the measurement; the transmitter
            // puts back its estimate of it.
            return ch.at(*sensor, input) - ch.at(*sensor, junctionCelsius) +
                   coldJunctionEmf(e, ch, junctionCelsius);
        }
        return input;
    case Family::RelativePotentiometer: {
        const double total = storedFloat(e, TotalValueAddress);
        return usable(total) && total > 0 ? 100.0 * input / total : input;
    }
    case Family::Shunt: {
        // The input stage sees the voltage across the shunt; the scale factor
        // (milliamperes per volt) brings it back to milliamperes.
        const double shunt = storedFloat(e, ShuntAddress);
        const double scale = storedFloat(e, InputScaleFactorAddress);
        if (!usable(shunt) || !usable(scale) || shunt <= 0)
            return input;
        return input * shunt / 1000.0 * scale;
    }
    case Family::Resistance:
    case Family::Special:
    case Family::Plain:
        break;
    }
    // A divider in front of a voltage input is what the scale factor undoes, so
    // the simulated wiring always matches the stored factor.
    return input;
}

// The stored linearization of byte 606 applied to the measured quantity.
double linearize(const EepromImage& e, double signal)
{
    switch (e[LinearizationMethodAddress]) {
    case 1: {
        const int degree = e[PolynomialDegreeAddress];
        if (degree > 20)
            return signal;
        return storedPolynomial(e, PolynomialAddress, degree, signal);
    }
    case 2: {
        // The last record whose knot is not above the signal; below the first
        // knot the first record, above the last the last (both extrapolate).
        int k = 0;
        for (int i = 1; i < SegmentCount; ++i) {
            if (storedFloat(e, SegmentTableAddress + SegmentRecordLength * i) <= signal)
                k = i;
            else
                break;
        }
        const int record = SegmentTableAddress + SegmentRecordLength * k;
        const double t = signal - storedFloat(e, record);
        return ((storedFloat(e, record + 4) * t + storedFloat(e, record + 8)) * t +
                storedFloat(e, record + 12)) *
                   t +
               storedFloat(e, record + 16);
    }
    default:
        return signal;
    }
}

// The input scaling at 1568: range minimum and maximum, input offset and span.
// For most inputs the offset and span repeat the range and this is the
// identity; the special U/I inputs map their fixed 0..10 V, 0..20 mA or
// 4..20 mA onto the output range here.
double scaleToRange(const EepromImage& e, double value)
{
    const double rangeMin = storedFloat(e, InputScalingAddress);
    const double rangeMax = storedFloat(e, InputScalingAddress + 4);
    const double offset = storedFloat(e, InputScalingAddress + 8);
    const double span = storedFloat(e, InputScalingAddress + 12);
    if (!usable(rangeMin) || !usable(rangeMax) || !usable(offset) || !usable(span) || span == 0)
        return value;
    return rangeMin + (value - offset) / span * (rangeMax - rangeMin);
}

// The measured quantity at the two range ends, backed out of the stored signal
// limits (387, 391), which widen the range by a tenth below and a third above,
// or by a hundredth on both sides for the square root.
std::optional<std::pair<double, double>> storedSignalRange(const EepromImage& e)
{
    const double lower = storedFloat(e, SignalLimitsAddress);
    const double upper = storedFloat(e, SignalLimitsAddress + 4);
    if (!usable(lower) || !usable(upper) || lower == upper)
        return std::nullopt;
    const bool squareRoot = e[LinearizationCodeAddress] == 3;
    const double below = squareRoot ? 0.01 : 0.1;
    const double above = squareRoot ? 0.01 : 1.0 / 3.0;
    const double d = (upper - lower) / (1.0 + below + above);
    const double s0 = lower + below * d;
    return std::pair{s0, s0 + d};
}

} // namespace

double RampPosition(double secondsSinceStart, double periodSeconds)
{
    if (!(periodSeconds > 0))
        return 0.5;
    const double phase = std::fmod(std::fabs(secondsSinceStart), periodSeconds) / periodSeconds;
    return phase < 0.5 ? 2.0 * phase : 2.0 - 2.0 * phase;
}

double MeasuredSignal(const EepromImage& eeprom, const SimulatedInput& input,
                      double secondsSinceStart)
{
    Characteristics characteristics;
    if (input.fixed)
        return signalOf(eeprom, characteristics, *input.fixed, input.coldJunctionCelsius);
    const double f = RampPosition(secondsSinceStart, input.rampPeriodSeconds);
    const std::uint8_t code = eeprom[InputCodeAddress];
    if (familyOf(code) == Family::Special) {
        // The special inputs ramp across their fixed input span.
        const double offset = storedFloat(eeprom, InputScalingAddress + 8);
        const double span = storedFloat(eeprom, InputScalingAddress + 12);
        if (usable(offset) && usable(span))
            return offset + f * span;
    } else if (const auto range = storedSignalRange(eeprom)) {
        return range->first + f * (range->second - range->first);
    }
    return 100.0 * f;
}

ProcessValue ComputeProcessValue(const EepromImage& eeprom, const SimulatedInput& input,
                                 double secondsSinceStart)
{
    const double signal = MeasuredSignal(eeprom, input, secondsSinceStart);
    const double value = scaleToRange(eeprom, linearize(eeprom, signal));
    return {eeprom[UnitCodeAddress], static_cast<float>(value)};
}

} // namespace vtr8::sim
