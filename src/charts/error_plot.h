#pragma once

#include "charts/plot.h"
#include "model/linearization_error.h"

namespace vtr8 {

// The error curves of a report as a chart: the chosen method bold, its largest error marked.
Plot ErrorPlot(const LinearizationErrorReport& report);

// "Největší chyba 0.012 °C při 412.5 °C" for a curve.
QString LargestErrorText(const ErrorCurve& curve, const QString& unit, const QString& inputUnit);

} // namespace vtr8
