#include "linearization/elimination.h"

#include <cmath>

namespace vtr8 {

bool solveCompletePivoting(EquationMatrix& a, EquationVector& b, int n, EquationVector& x,
                           Extended negligible,
                           const std::function<void(int row, int col, Extended pivot)>& onPivot)
{
    std::array<bool, MaxEquations> rowUsed{};
    std::array<bool, MaxEquations> colUsed{};
    // rowOfColumn[col] is the row that solves unknown col.
    std::array<int, MaxEquations> rowOfColumn{};

    for (int step = 0; step < n; ++step) {
        int r = -1;
        int col = -1;
        Extended largest = -1;
        for (int i = 0; i < n; ++i) {
            if (rowUsed[i])
                continue;
            for (int j = 0; j < n; ++j) {
                if (colUsed[j])
                    continue;
                const Extended magnitude = std::fabs(a[i][j]);
                if (r < 0 || magnitude > largest) {
                    largest = magnitude;
                    r = i;
                    col = j;
                }
            }
        }
        const Extended pivot = a[r][col];
        if (onPivot)
            onPivot(r, col, pivot);
        if (!std::isfinite(pivot) || std::fabs(pivot) <= negligible)
            return false;
        rowUsed[r] = true;
        colUsed[col] = true;
        rowOfColumn[col] = r;

        for (int i = 0; i < n; ++i) {
            if (i == r)
                continue;
            const Extended factor = -a[i][col] / pivot;
            a[i][col] = 0;
            for (int j = 0; j < n; ++j) {
                if (!colUsed[j])
                    a[i][j] += a[r][j] * factor;
            }
            b[i] += b[r] * factor;
        }
    }

    EquationVector solution{};
    for (int col = 0; col < n; ++col) {
        const int r = rowOfColumn[col];
        solution[col] = b[r] / a[r][col];
        if (!std::isfinite(solution[col]))
            return false;
    }
    for (int col = 0; col < n; ++col)
        x[col] = solution[col];
    return true;
}

} // namespace vtr8
