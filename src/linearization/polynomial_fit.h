#pragma once

namespace vtr8 {

struct LinearizationWorkspace;

// Least-squares polynomial of degree ws.Degree giving the output value (w) as a
// function of the input signal (u), from ws.Source. Afterwards the caller reads
// ws.LinearizationError and, when it is clear, row ws.Degree of
// ws.FitCoefficients. Messages go through ws.Message in the order shown.
void PolynomialFit(LinearizationWorkspace& ws);

} // namespace vtr8
