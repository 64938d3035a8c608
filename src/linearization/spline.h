#pragma once

#include "linearization/extended.h"
#include "linearization/spline_table.h"

#include <string>

namespace vtr8 {

struct LinearizationWorkspace;

// Clamped cubic spline of the temperature as a function of the sensor signal of
// ws.CharacteristicIndex over ws.RangeStart .. ws.RangeEnd, 20 pieces. On
// success ws.Spline holds the table with IntervalCount 20; otherwise
// ws.LinearizationError is set and ws.Spline.IntervalCount is 0.
void SplineApproximation(LinearizationWorkspace& ws);

// Value of the table at signal u; below the first knot the first piece and at or
// above the last knot the last piece extrapolate. A table without pieces gives 0.
Extended EvaluateSpline(const SplineTable& table, Extended u);

// Text file of a spline table for the SplineFile characteristic: the interval
// count, then the knots, then a, b, c, d of each piece, one number a line, with
// a decimal point and enough digits to restore every 80-bit value exactly.
[[nodiscard]] bool saveSplineTableFile(const std::string& path, const SplineTable& table);
// Reads such a file; false (table untouched) when it cannot be read or is malformed.
[[nodiscard]] bool loadSplineTableFile(const std::string& path, SplineTable& table);

} // namespace vtr8
