#pragma once

#include "linearization/characteristic.h"
#include "linearization/extended.h"
#include "linearization/point_set.h"
#include "linearization/spline_table.h"

#include <array>
#include <functional>
#include <string>

namespace vtr8 {

// Where the sample pairs of a polynomial fit come from.
enum class FitSource { FromTable = 1, FromCharacteristic = 2 };

// Receives each message of the linearization mathematics, in order, as UTF-8.
// The window shows it as a modal box; tests record it.
using MessageSink = std::function<void(const std::string& utf8Text)>;

// The single shared working data of the linearization mathematics: inputs the
// caller sets before a computation, and the results it leaves for the writer.
// The main window owns one for the whole run; tests build their own.
struct LinearizationWorkspace {
    explicit LinearizationWorkspace(const LinearizationPoints& points, MessageSink sink = {})
        : Points(&points), Message(std::move(sink))
    {
    }

    // The point set of the point file; its InverseSlope and InverseOffset are the
    // k and q of the LinearFromFile characteristic.
    const LinearizationPoints* Points;
    MessageSink Message;
    // The decimal separator of the numbers in its messages; the program gives the person's.
    char DecimalSeparator = '.';

    // --- Inputs ---------------------------------------------------------------
    // The characteristic ZPPrepoc, PolynomialFit and SplineApproximation use.
    Characteristic CharacteristicIndex = Characteristic::Identity;
    // Measuring range (output units, °C for sensors); also the lo and hi of the
    // SquareRoot characteristic.
    Extended RangeStart = 0;
    Extended RangeEnd = 100;
    // Sampling step of FromCharacteristic fits; the writer passes span/100.
    Extended Step = 1;
    // Polynomial degree 0..20.
    int Degree = 4;
    FitSource Source = FitSource::FromCharacteristic;
    // The main window's linearization choice is "ze souboru": the fit reports
    // its maximum deviation.
    bool ReportDeviation = false;
    // Rereads the point file for the deviation pass of a FromTable fit. Returns
    // false when the file cannot be read; the pass then uses Points. Left empty,
    // the pass uses Points without trying a file.
    std::function<bool(LinearizationPoints& reread)> ReopenPointFile;
    // The table of the SplineFile characteristic (see loadSplineTableFile).
    SplineTable SplineFileTable;

    // --- Shared state and results ---------------------------------------------
    bool LinearizationError = false;
    CoefficientTable Coefficients{};
    // Last value EvaluateCharacteristic produced; an invalid index leaves it.
    Extended CharacteristicValue = 0;
    // Row d holds the coefficients of the last degree-d fit, column k for u^k.
    std::array<std::array<Extended, 21>, 21> FitCoefficients{};
    Extended MaxDeviation = 0;
    float MaxDeviationPercent = 0;
    SplineTable Spline;

    void message(const std::string& text) const
    {
        if (Message)
            Message(text);
    }
};

} // namespace vtr8
