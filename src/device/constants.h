#pragma once

#include "device/codes.h"
#include "device/eeprom_block.h"
#include "linearization/extended.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// The constants a write derives from the configuration: stored range limits, output scaling
// from the factory calibration, signal limits, input scale factor, polynomial blocks,
// cold-junction polynomials and error-current flags. Pure computations; the write sequence
// sends the blocks.
namespace vtr8 {

// The range as stored at 339..366 and 416..423, in the unit of RangeUnitCode.
struct StoredLimits {
    Extended upper = 0;
    Extended lower = 0;
    Extended minimumSpan = 0;
    Extended upperOutput = 0;
    Extended lowerOutput = 0;
    Extended rangeEnd = 0;
    Extended rangeStart = 0;
};

// The stored limits as entered.
StoredLimits zadHodPuvodni(Extended rangeMin, Extended rangeMax, Extended rangeStart,
                           Extended rangeEnd);

// The sensor signal (ohms, volts) of a value, rounded to a 32-bit float as the transmitter gets it.
using FloatSignal = std::function<float(float)>;

// The stored limits converted through the sensor's characteristic. rangeMin and rangeMax become
// the converted smaller and larger limit, so that later steps work in ohms or volts.
StoredLimits zadHodPrepoc(const FloatSignal& toSignal, Extended& rangeMin, Extended& rangeMax,
                          Extended rangeStart, Extended rangeEnd);

// Block 339 (unit, upper, lower, minimum span), block 416 (output limits) and block 354 (unit,
// end, start, damping time).
EepromBlock rangeLimitsBlock(std::uint8_t rangeUnitCode, const StoredLimits& limits);
EepromBlock outputLimitsBlock(const StoredLimits& limits);
EepromBlock rangeValuesBlock(std::uint8_t rangeUnitCode, const StoredLimits& limits,
                             Extended dampingTime);

// Valid band of the input signal around the range: a tenth below and a third above, or a
// hundredth on both sides for the square-root law. Swapped for a falling signal.
struct SignalLimits {
    Extended lower = 0;
    Extended upper = 0;
};
SignalLimits ComputeSignalLimits(float s0, float s1, bool squareRoot);

// Factory calibration of the current output: D/A values D1, D2 that gave I1, I2 mA.
struct OutputCalibration {
    Extended d1 = 0;
    Extended d2 = 0;
    Extended i1 = 0;
    Extended i2 = 0;
};
// Replaces a current outside its plausible band by the nominal one and returns the messages
// to show, in order.
QStringList CheckOutputCalibration(OutputCalibration& calibration);

struct OutputScaling {
    Extended d4 = 0;    // D/A value for 4 mA
    Extended dGain = 0; // D/A units per unit of the measured value over 16 mA
    float rangeMin = 0;
    float rangeMax = 0;
    SignalLimits signal;
};
OutputScaling ComputeOutputScaling(const OutputCalibration& calibration, Extended rangeMin,
                                   Extended rangeMax, const SignalLimits& signal);
// Blocks 52, 387 and 1568.
std::vector<EepromBlock> OutputScalingBlocks(const OutputScaling& scaling);

// Factor from the measured signal back to the input quantity (block 28); nullopt for
// "potenciometr relativní", which keeps the front end's 1.0. For a current input it is
// milliamperes per volt across the shunt whatever the sign of the range.
[[nodiscard]] std::optional<Extended> InputScaleFactor(InputType input, Extended rangeStart,
                                                       Extended rangeEnd, Extended inputSignalMax,
                                                       Extended totalValue, Extended dividerRatio);

// Block 127 (degree) and one 4-byte block per coefficient, highest power first.
// coefficients[k] multiplies u^k.
std::vector<EepromBlock> PolynomialBlocks(int degree, const std::array<Extended, 21>& coefficients);

// Blocks 171, 172, 207, 208 for a thermocouple; empty for any other input.
std::vector<EepromBlock> ColdJunctionBlocks(InputType thermocouple);

// Byte 113.
std::uint8_t ErrorCurrentFlags(std::optional<ErrorCurrentCode> errorCurrent, bool rangeFalling);

EepromBlock LinearizationMethodBlock(LinearizationMethod method);

// The configuration record of ZapisKonfigurace.
struct ConfigurationRecord {
    Extended parasiticResistance = 0;
    InputType input = InputType::Pt100;
    std::uint8_t errorCurrentCode = 0;
    std::uint8_t frontEndMode = 0;
    ConnectionCode connection = ConnectionCode::None;
    Extended shuntResistance = 0;
    Extended totalValue = 0;
    std::uint8_t rangeUnitCode = 0;
    StoredLimits limits;
    Extended dampingTime = 0;
    std::uint8_t unitCode = 0;
    Characteristic linearizationCharacteristic = Characteristic::Identity;
    Characteristic rangeCharacteristic = Characteristic::Identity;
    LinearizationCode linearizationCode = LinearizationCode::NotLinearized;
};
// Blocks 32, 400, 408, 339, 416, 354, 424, 114 in that order.
std::vector<EepromBlock> ConfigurationBlocks(const ConfigurationRecord& record);

// The damping coefficient the transmitter filters with, from the damping time in
// seconds: 1.0 below 0.5 s, 0.5 from 0.5 s to 0.8 s, above that the transmitter's
// fitted curve, kept within 0.002..1.0.
float dampingCoefficient(Extended dampingTime);

} // namespace vtr8
