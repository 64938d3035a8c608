#pragma once

namespace vtr8 {

struct LinearizationWorkspace;
struct LinearizationPoints;

// Least-squares polynomial of degree ws.Degree giving the output value (w) as a
// function of the input signal (u), from ws.Source. Afterwards the caller reads
// ws.LinearizationError and, when it is clear, row ws.Degree of
// ws.FitCoefficients. Messages go through ws.Message in the order shown.
void PolynomialFit(LinearizationWorkspace& ws);

// The highest polynomial degree the points determine: one less than the number of distinct
// measured inputs (a least-squares fit of a higher degree has no unique solution).
int highestFittableDegree(const LinearizationPoints& set);

// The degree a polynomial through the point file is fitted with: the requested one when it
// lies in 2..8 (every degree the table window offers), otherwise 6, and never above what the points
// determine.
int filePolynomialDegree(int requested, const LinearizationPoints& set);

} // namespace vtr8
