#include "device/constants.h"

#include "device/input_type_table.h"
#include "device/memory_map.h"

#include <algorithm>
#include <cmath>

namespace vtr8 {

namespace {

StoredLimits limitsFrom(Extended lower, Extended upper)
{
    StoredLimits limits;
    limits.lower = lower;
    limits.upper = upper;
    limits.minimumSpan = std::fabs(upper - lower) / 5;
    limits.upperOutput = upper + (upper - lower) / 20;
    limits.lowerOutput = lower - (upper - lower) / 20;
    return limits;
}

} // namespace

StoredLimits zadHodPuvodni(Extended rangeMin, Extended rangeMax, Extended rangeStart,
                           Extended rangeEnd)
{
    StoredLimits limits = limitsFrom(rangeMin, rangeMax);
    limits.rangeStart = rangeStart;
    limits.rangeEnd = rangeEnd;
    return limits;
}

StoredLimits zadHodPrepoc(const FloatSignal& toSignal, Extended& rangeMin, Extended& rangeMax,
                          Extended rangeStart, Extended rangeEnd)
{
    const Extended lower = toSignal(static_cast<float>(rangeMin));
    const Extended upper = toSignal(static_cast<float>(rangeMax));
    StoredLimits limits = limitsFrom(lower, upper);
    limits.rangeStart = toSignal(static_cast<float>(rangeStart));
    limits.rangeEnd = toSignal(static_cast<float>(rangeEnd));
    // Kept sorted like the entered limits: bytes 60/64 hold the smaller and larger value and a
    // falling range is told by the flag at 113, not by swapped limits.
    rangeMin = std::min(lower, upper);
    rangeMax = std::max(lower, upper);
    return limits;
}

EepromBlock rangeLimitsBlock(std::uint8_t rangeUnitCode, const StoredLimits& limits)
{
    EepromBlock block = zeroBlock(eeprom::RangeLimits, eeprom::RangeLimitsLength);
    block.data[0] = rangeUnitCode;
    PutDeviceFloat(block.data, limits.upper, 1);
    PutDeviceFloat(block.data, limits.lower, 5);
    PutDeviceFloat(block.data, limits.minimumSpan, 9);
    return block;
}

EepromBlock outputLimitsBlock(const StoredLimits& limits)
{
    return FloatBlock(eeprom::OutputLimits, {limits.upperOutput, limits.lowerOutput});
}

EepromBlock rangeValuesBlock(std::uint8_t rangeUnitCode, const StoredLimits& limits,
                             Extended dampingTime)
{
    EepromBlock block = zeroBlock(eeprom::RangeValues, eeprom::RangeValuesLength);
    block.data[0] = rangeUnitCode;
    PutDeviceFloat(block.data, limits.rangeEnd, 1);
    PutDeviceFloat(block.data, limits.rangeStart, 5);
    PutDeviceFloat(block.data, dampingTime, 9);
    return block;
}

SignalLimits ComputeSignalLimits(float s0, float s1, bool squareRoot)
{
    const Extended d = Extended{s1} - Extended{s0};
    const Extended a = squareRoot ? s0 - d / 100 : s0 - d / 10;
    const Extended b = squareRoot ? s1 + d / 100 : s1 + d / 3;
    return s1 > s0 ? SignalLimits{a, b} : SignalLimits{b, a};
}

QStringList CheckOutputCalibration(OutputCalibration& calibration)
{
    QStringList messages;
    // NaN read from a blank EEPROM fails both comparisons, so test for the band, not outside it.
    if (!(calibration.i1 >= 2 && calibration.i1 <= 6)) {
        messages << QString::fromUtf8("špatně přečtená konstanta I1 z převodníku");
        calibration.i1 = 4;
    }
    if (!(calibration.i2 >= 18 && calibration.i2 <= 22)) {
        messages << QString::fromUtf8("špatně přečtená konstanta I2 z převodníku");
        calibration.i2 = 20;
    }
    return messages;
}

OutputScaling ComputeOutputScaling(const OutputCalibration& c, Extended rangeMin, Extended rangeMax,
                                   const SignalLimits& signal)
{
    OutputScaling scaling;
    scaling.d4 = c.d1 + (c.d2 - c.d1) * (4 - c.i1) / (c.i2 - c.i1);
    scaling.rangeMin = static_cast<float>(rangeMin);
    scaling.rangeMax = static_cast<float>(rangeMax);
    scaling.dGain = (c.d2 - c.d1) / (Extended{scaling.rangeMax} - Extended{scaling.rangeMin}) * 16 /
                    (c.i2 - c.i1);
    scaling.signal = signal;
    return scaling;
}

std::vector<EepromBlock> OutputScalingBlocks(const OutputScaling& s)
{
    const Extended rangeMin = s.rangeMin;
    const Extended rangeMax = s.rangeMax;
    return {
        FloatBlock(eeprom::OutputScaling, {s.d4, s.dGain, rangeMin, rangeMax}),
        FloatBlock(eeprom::SignalLimits, {s.signal.lower, s.signal.upper}),
        FloatBlock(eeprom::InputScaling, {rangeMin, rangeMax, rangeMin, rangeMax - rangeMin}),
    };
}

std::optional<Extended> InputScaleFactor(InputType input, Extended rangeStart, Extended rangeEnd,
                                         Extended inputSignalMax, Extended totalValue,
                                         Extended dividerRatio)
{
    switch (input) {
    case InputType::PotentiometerRelative:
        return std::nullopt;
    case InputType::Current:
        // The signal was chosen from the larger magnitude of the two limits, so the same limit
        // gives mA per volt also for a range below zero.
        return std::max(std::fabs(rangeStart), std::fabs(rangeEnd)) / inputSignalMax;
    case InputType::CurrentDifference:
        return std::fabs(totalValue) / inputSignalMax;
    default:
        return dividerRatio;
    }
}

std::vector<EepromBlock> PolynomialBlocks(int degree, const std::array<Extended, 21>& coefficients)
{
    degree = std::clamp(degree, 0, 20);
    std::vector<EepromBlock> blocks;
    blocks.push_back(ByteBlock(eeprom::PolynomialDegree, {static_cast<std::uint8_t>(degree)}));
    for (int k = degree, slot = 0; k >= 0; --k, ++slot)
        blocks.push_back(
            FloatBlock(static_cast<eeprom::Address>(eeprom::PolynomialCoefficients + 4 * slot),
                       {coefficients[static_cast<std::size_t>(k)]}));
    return blocks;
}

namespace {

// EMF in volts of the thermocouple at the cold-junction temperature (°C), highest power first.
struct ThermocouplePolynomial {
    InputType input;
    std::uint8_t degree;
    std::array<float, 5> coefficients;
};

constexpr ThermocouplePolynomial ThermocouplePolynomials[] = {
    {InputType::ThermocoupleB, 2, {5.72773784e-09f, -2.4094939e-07f, 4.13590306e-25f}},
    {InputType::ThermocoupleE,
     4,
     {2.88822406e-13f, -8.29009014e-11f, 5.14754426e-08f, 5.85604757e-05f, -5.52342442e-07f}},
    {InputType::ThermocoupleJ,
     4,
     {1.08821589e-13f, -8.52170348e-11f, 3.04863974e-08f, 5.03715273e-05f, -2.12819806e-08f}},
    {InputType::ThermocoupleK,
     4,
     {2.8648206e-14f, -1.16069994e-10f, 2.6705175e-08f, 3.94146409e-05f, -3.01296183e-07f}},
    {InputType::ThermocoupleN,
     4,
     {-5.44024834e-14f, 2.97670985e-11f, 1.47109791e-08f, 2.60373909e-05f, -1.9934962e-06f}},
    {InputType::ThermocoupleL,
     4,
     {1.04584642e-13f, -7.97751726e-11f, 5.89408131e-08f, 6.32164447e-05f, -1.21084502e-08f}},
    {InputType::ThermocoupleR,
     4,
     {2.92855882e-14f, -2.37373454e-11f, 1.39152023e-08f, 5.28891042e-06f, -3.23583882e-10f}},
    {InputType::ThermocoupleS,
     4,
     {2.47661016e-14f, -2.23675019e-11f, 1.25287505e-08f, 5.39938173e-06f, -3.15633586e-09f}},
    {InputType::ThermocoupleT,
     4,
     {4.88330147e-14f, -2.33437662e-11f, 4.33965539e-08f, 3.8620874e-05f, -8.92272681e-07f}},
};

// Temperature (°C) of the cold-junction sensor from its resistance (ohms), highest power first.
constexpr std::array<float, 5> ColdJunctionSensor{1.33197569e-08f, -5.5825426e-06f, 0.00186899223f,
                                                  2.29917741f, -244.35788f};
constexpr std::uint8_t ColdJunctionSensorDegree = 4;

} // namespace

std::vector<EepromBlock> ColdJunctionBlocks(InputType thermocouple)
{
    const auto* entry = std::find_if(
        std::begin(ThermocouplePolynomials), std::end(ThermocouplePolynomials),
        [thermocouple](const ThermocouplePolynomial& p) { return p.input == thermocouple; });
    if (entry == std::end(ThermocouplePolynomials))
        return {};

    std::vector<EepromBlock> blocks;
    blocks.push_back(ByteBlock(eeprom::ColdJunctionDegree, {ColdJunctionSensorDegree}));
    blocks.push_back(
        FloatBlock(eeprom::ColdJunctionCoefficients,
                   {ColdJunctionSensor[0], ColdJunctionSensor[1], ColdJunctionSensor[2],
                    ColdJunctionSensor[3], ColdJunctionSensor[4]}));
    blocks.push_back(ByteBlock(eeprom::ThermocoupleDegree, {entry->degree}));
    EepromBlock coefficients{eeprom::ThermocoupleCoefficients, {}, 0};
    for (int i = 0; i <= entry->degree; ++i) {
        const DeviceFloatBytes bytes = EncodeDeviceFloat(entry->coefficients[i]);
        coefficients.data.insert(coefficients.data.end(), bytes.begin(), bytes.end());
    }
    blocks.push_back(coefficients);
    return blocks;
}

std::uint8_t ErrorCurrentFlags(std::optional<ErrorCurrentCode> errorCurrent, bool rangeFalling)
{
    std::uint8_t flags = 0;
    if (errorCurrent == ErrorCurrentCode::Upscale)
        flags = eeprom::ErrorFlagUpscale;
    else if (errorCurrent == ErrorCurrentCode::Downscale)
        flags = eeprom::ErrorFlagDownscale;
    if (rangeFalling)
        flags |= eeprom::ErrorFlagFallingRange;
    return flags;
}

EepromBlock LinearizationMethodBlock(LinearizationMethod method)
{
    return ByteBlock(eeprom::LinearizationMethod, {static_cast<std::uint8_t>(method)});
}

std::vector<EepromBlock> ConfigurationBlocks(const ConfigurationRecord& r)
{
    const InputTypeRow& row = inputTypeRow(r.input);
    const bool shunt = row.has(InputField::Shunt);
    const bool total = row.storesTotalValue;

    EepromBlock description =
        zeroBlock(eeprom::InputDescription, eeprom::InputDescriptionWriteLength);
    description.data[0] = static_cast<std::uint8_t>(r.input);
    description.data[1] = r.errorCurrentCode;
    description.data[2] = r.frontEndMode;
    description.data[3] = static_cast<std::uint8_t>(r.connection);
    PutDeviceFloat(description.data, shunt ? r.shuntResistance : 0, 4);

    return {
        FloatBlock(eeprom::ParasiticResistance, {r.parasiticResistance}),
        description,
        FloatBlock(eeprom::TotalValue, {total ? r.totalValue : 0}),
        rangeLimitsBlock(r.rangeUnitCode, r.limits),
        outputLimitsBlock(r.limits),
        rangeValuesBlock(r.rangeUnitCode, r.limits, r.dampingTime),
        ByteBlock(eeprom::LinearizationSettings,
                  {r.unitCode, static_cast<std::uint8_t>(r.linearizationCharacteristic),
                   static_cast<std::uint8_t>(r.rangeCharacteristic),
                   static_cast<std::uint8_t>(r.linearizationCode)}),
        ByteBlock(eeprom::RelativePotentiometerFlag,
                  {r.input == InputType::PotentiometerRelative ? eeprom::RelativePotentiometerMark
                                                               : std::uint8_t{0}}),
    };
}

float dampingCoefficient(Extended t)
{
    // The bands are tested on the time as entered (extended), not on its 32-bit
    // copy, so that 0.8 s itself still gets 0.5.
    Extended k = 0;
    if (t >= 0.8L)
        k = 1 / (-0.011217625L * t * t + 13.7776336L * t - 3.41301846L);
    if (t >= 0.5L && t <= 0.8L)
        k = 0.5L;
    if (t < 0.5L)
        k = 1.0L;
    if (k < 0.002L)
        k = 0.002L;
    if (k > 1.0L)
        k = 1.0L;
    return static_cast<float>(k);
}

} // namespace vtr8
