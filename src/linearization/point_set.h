#pragma once

#include "linearization/extended.h"

#include <array>

namespace vtr8 {

// How the points of a point file are approximated when the configuration is
// written: a least-squares polynomial or straight segments through the points.
enum class PointFitMethod { Polynomial = 0, StraightLines = 1 };

// The point set of the user's linearization file and its companions. Arrays are
// indexed from 1 (index 0 unused) so the arithmetic reads like the point
// numbers a technician sees in the table window. They are not cleared between
// loads; only 1..PointCount are meaningful.
struct LinearizationPoints {
    static constexpr int Capacity = 1000;
    static constexpr int MaxPoints = 100;

    std::array<Extended, Capacity + 1> MeasuredInput{};
    std::array<Extended, Capacity + 1> RequiredOutput{};
    int PointCount = 0;

    // Straight lines through the first and last point (output as a function of
    // input, and its inverse: the k and q of the "ze souboru" characteristic).
    Extended LineSlope = 0;
    Extended LineOffset = 0;
    Extended InverseSlope = 0;
    Extended InverseOffset = 0;

    PointFitMethod Method = PointFitMethod::Polynomial;
    int PolynomialDegree = 6;
    // True when the last file operation (point file, configuration file) succeeded.
    bool PointFileOk = false;
};

} // namespace vtr8
