#pragma once

#include "linearization/extended.h"

#include <array>
#include <cstdint>

namespace vtr8 {

struct LinearizationWorkspace;

// Index of a reference characteristic, stored as one byte in the transmitter
// (two such bytes: the linearization and the range characteristic). A byte read
// from a transmitter may hold any value, so code must not assume 0..16.
enum class Characteristic : std::uint8_t {
    TcN = 0,
    TcK = 1,
    TcT = 2,
    TcJ = 3,
    TcE = 4,
    TcR = 5,
    TcS = 6,
    TcB = 7,
    TcL = 8,
    Pt100 = 9,
    Pt1000 = 10,
    Ni100 = 11,
    Ni1000 = 12,
    SplineFile = 13,
    LinearFromFile = 14,
    SquareRoot = 15,
    Identity = 16,
};

inline constexpr int CharacteristicCount = 17;

// True for the sensor characteristics 0..12 (thermocouples and resistance
// thermometers), the ones with a temperature argument.
bool isSensorCharacteristic(Characteristic c);

// Polynomial coefficients in microvolts, slot i multiplying u^i.
using CoefficientTable = std::array<Extended, 21>;

// Horner sum of table[0..highestIndex] at u = (x - offset)/scale, in volts.
Extended EvaluateReferencePolynomial(const CoefficientTable& table, int highestIndex,
                                     Extended offset, Extended scale, Extended x);

// Value of characteristic c at x: EMF in volts, resistance in ohms, or the
// input quantity for the non-sensor characteristics. No range check: an argument
// outside the reference range is evaluated with the sub-range the tests select.
// An index outside 0..16 shows "Dany prubeh neni v programu jeste zadan", sets
// ws.LinearizationError and returns the previous result unchanged.
Extended EvaluateCharacteristic(LinearizationWorkspace& ws, Characteristic c, Extended x);

// EvaluateCharacteristic for ws.CharacteristicIndex, rounded to the nearest
// 32-bit float: the values the write sequence stores for the transmitter.
float ZPPrepoc(LinearizationWorkspace& ws, float x);

// The argument at which characteristic c takes the value v, cut toward zero to
// three decimals (Identity: v itself).
Extended vypocet_inverz(LinearizationWorkspace& ws, Characteristic c, Extended v);
// The same argument to the resolution of the float search bounds and uncut, for limits stored
// as sensor signals and read back as temperatures: the caller rounds it in the range's unit,
// so that writing what was read stores the same signal again. Other characteristics as
// vypocet_inverz.
Extended ExactInverse(LinearizationWorkspace& ws, Characteristic c, Extended v);

// t cut toward zero to three decimals.
Extended cutToThousandths(Extended t);

} // namespace vtr8
