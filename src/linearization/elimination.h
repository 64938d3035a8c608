#pragma once

#include "linearization/extended.h"

#include <array>
#include <functional>

namespace vtr8 {

inline constexpr int MaxEquations = 21;
using EquationMatrix = std::array<std::array<Extended, MaxEquations>, MaxEquations>;
using EquationVector = std::array<Extended, MaxEquations>;

// Solves A·x = b for the first n rows and columns (indices 0..n-1) by
// Gauss-Jordan elimination with complete pivoting. The pivot is the element of
// largest magnitude among unused rows and columns, scanned row by row and
// column by column; a later element wins only if strictly larger, so ties go to
// the lower row, then the lower column. A and b are overwritten.
//
// onPivot, when set, sees each chosen pivot (its row, column and value)
// before it is used. A pivot whose
// magnitude is at most negligible (or is not finite) means the system has no
// usable solution: the function then returns false and leaves x untouched.
[[nodiscard]] bool
solveCompletePivoting(EquationMatrix& a, EquationVector& b, int n, EquationVector& x,
                      Extended negligible,
                      const std::function<void(int row, int col, Extended pivot)>& onPivot = {});

} // namespace vtr8
