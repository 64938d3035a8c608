#include "linearization/polynomial_fit.h"

#include "linearization/elimination.h"
#include "linearization/number_text.h"
#include "linearization/point_set.h"
#include "linearization/single_precision.h"
#include "linearization/workspace.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace vtr8 {

namespace {

constexpr int MaxDegree = 20;
// More samples than this would mean a step too small for the range: a typing
// slip rather than a wish, and a fit that never ends.
constexpr Extended MaxSamplesPerRange = 1000000;

// Calls f(u, w) for every sample pair of the fit. Returns false when the
// characteristic could not be evaluated (LinearizationError is then set).
template <class F>
bool forEachPair(LinearizationWorkspace& ws, const LinearizationPoints& table, F&& f)
{
    if (ws.Source == FitSource::FromTable) {
        for (int i = 1; i <= table.PointCount; ++i)
            f(table.MeasuredInput[static_cast<std::size_t>(i)],
              table.RequiredOutput[static_cast<std::size_t>(i)]);
        return true;
    }
    // Repeated addition, not start + i·step: the sample temperatures (and so
    // the fitted coefficients) must match those of the transmitters already
    // configured, including the last point that rounding may push past the end.
    for (Extended x = ws.RangeStart; x <= ws.RangeEnd; x += ws.Step) {
        const Extended u = EvaluateCharacteristic(ws, ws.CharacteristicIndex, x);
        if (ws.LinearizationError)
            return false;
        f(u, x);
    }
    return true;
}

Extended polynomialValue(const std::array<Extended, 21>& c, int degree, Extended u)
{
    Extended sum = 0;
    Extended power = 1;
    for (int k = 0; k <= degree; ++k) {
        sum += c[static_cast<std::size_t>(k)] * power;
        power *= u;
    }
    return sum;
}

bool parametersValid(LinearizationWorkspace& ws)
{
    bool valid = true;
    const Extended span = ws.RangeEnd - ws.RangeStart;
    if (!(ws.Step > 0) || !(ws.Step <= span) || ws.Step * MaxSamplesPerRange < span) {
        ws.message("Chyba teploty");
        valid = false;
    }
    if (ws.Degree < 0 || ws.Degree > MaxDegree) {
        ws.message("Chyba stupne polynomu");
        valid = false;
    }
    return valid;
}

// The measuring range must lie within the output values of the point table. A
// falling table is as good as a rising one: only its smallest and largest
// output count.
bool tableCoversRange(LinearizationWorkspace& ws)
{
    const LinearizationPoints& table = *ws.Points;
    if (table.PointCount < 1 || table.PointCount > LinearizationPoints::Capacity) {
        ws.message("Tabulka bodů linearizace je prázdná.");
        return false;
    }
    const auto first = table.RequiredOutput.begin() + 1;
    const auto [low, high] = std::minmax_element(first, first + table.PointCount);
    bool covered = true;
    if (!(ws.RangeStart >= *low && ws.RangeStart <= *high)) {
        ws.message("Počátek měřicího rozsahu je mimo tabulku hodnot.");
        covered = false;
    }
    if (!(ws.RangeEnd >= *low && ws.RangeEnd <= *high)) {
        ws.message("Konec měřicího rozsahu je mimo tabulku hodnot.");
        covered = false;
    }
    return covered;
}

// Largest |w - P(u)| over the sample pairs. For a table fit the point file is
// read again so that the report refers to the file as it is now.
Extended maximumDeviation(LinearizationWorkspace& ws, const std::array<Extended, 21>& c)
{
    const LinearizationPoints* table = ws.Points;
    LinearizationPoints reread;
    if (ws.Source == FitSource::FromTable && ws.ReopenPointFile) {
        reread = *ws.Points;
        if (ws.ReopenPointFile(reread) && reread.PointCount >= 0 &&
            reread.PointCount <= LinearizationPoints::Capacity)
            table = &reread;
        else
            ws.message("Soubor nenalezen");
    }
    Extended largest = 0;
    forEachPair(ws, *table, [&](Extended u, Extended w) {
        largest = std::max(largest, std::fabs(w - polynomialValue(c, ws.Degree, u)));
    });
    return largest;
}

void reportDeviation(LinearizationWorkspace& ws)
{
    const Extended percent = ws.MaxDeviation / (ws.RangeEnd - ws.RangeStart) * 100;
    ws.MaxDeviationPercent = toSingle(percent);
    if (!ws.ReportDeviation)
        return;
    // nearbyint rounds half to even in the default rounding mode.
    const Extended rounded = std::nearbyint(Extended{ws.MaxDeviationPercent} * 1000) / 1000;
    ws.message("Max.odchylka v % =" + formatGeneral(rounded, 15, ws.DecimalSeparator));
}

// Informs about every fifth of the input range where the polynomial does not
// rise: the transmitter would map two inputs to one output there.
void checkRising(LinearizationWorkspace& ws, const std::array<Extended, 21>& c, Extended lo,
                 Extended hi)
{
    const Extended h = (hi - lo) / 5;
    Extended u = lo;
    for (int interval = 0; u < hi && interval < 10; ++interval) {
        const Extended v = polynomialValue(c, ws.Degree, u);
        const Extended next = u + h;
        if (!(next > u))
            break;
        const Extended slope = (polynomialValue(c, ws.Degree, next) - v) / (next - u);
        if (slope <= 0) {
            ws.message("fce neni v tomto bode prosta -\"vstup\",\"vystup\",\"smernice\"");
            const auto text = [&ws](Extended x) {
                return formatGeneral(x, 15, ws.DecimalSeparator);
            };
            ws.message(text(u) + "  " + text(v) + "  " + text(slope));
        }
        u = next;
    }
}

bool fit(LinearizationWorkspace& ws)
{
    const int d = ws.Degree;
    if (ws.Source == FitSource::FromTable && !tableCoversRange(ws))
        return false;

    std::array<Extended, 2 * MaxDegree + 1> s{};
    EquationVector b{};
    std::vector<Extended> inputs;
    const bool collected = forEachPair(ws, *ws.Points, [&](Extended u, Extended w) {
        inputs.push_back(u);
        Extended power = 1;
        for (int k = 0; k <= 2 * d; ++k) {
            if (k <= d)
                b[k] += w * power;
            s[k] += power;
            power *= u;
        }
    });
    if (!collected)
        return false;

    // The normal equations are singular exactly when fewer distinct inputs than
    // coefficients were sampled. Their pivots cannot tell: a sound fit of a
    // narrow resistance range has pivots as small as those of a singular one.
    std::sort(inputs.begin(), inputs.end());
    const auto distinct = std::unique(inputs.begin(), inputs.end()) - inputs.begin();
    if (distinct < d + 1) {
        ws.message("Pro polynom stupně " + std::to_string(d) + " je třeba aspoň " +
                   std::to_string(d + 1) + " bodů s různou vstupní hodnotou.");
        return false;
    }

    EquationMatrix a{};
    for (int i = 0; i <= d; ++i)
        for (int j = 0; j <= d; ++j)
            a[i][j] = s[i + j];
    EquationVector c{};
    // What remains is a zero pivot or sums beyond the extended range.
    if (!solveCompletePivoting(a, b, d + 1, c, 0)) {
        ws.message("Soustavu rovnic pro polynom nelze vyřešit.");
        return false;
    }

    auto& row = ws.FitCoefficients[static_cast<std::size_t>(d)];
    std::copy(c.begin(), c.begin() + d + 1, row.begin());
    SinglePrecisionCheck single;
    for (int k = 0; k <= d; ++k)
        single.check(row[static_cast<std::size_t>(k)]);
    if (single.overflow)
        ws.message("Doslo k preteceni");
    if (single.underflow)
        ws.message("Doslo k podteceni");

    ws.MaxDeviation = maximumDeviation(ws, row);
    if (ws.LinearizationError)
        return false;
    reportDeviation(ws);

    const Extended lo = EvaluateCharacteristic(ws, ws.CharacteristicIndex, ws.RangeStart);
    const Extended hi = EvaluateCharacteristic(ws, ws.CharacteristicIndex, ws.RangeEnd);
    if (ws.LinearizationError)
        return false;
    checkRising(ws, row, lo, hi);
    return true;
}

} // namespace

void PolynomialFit(LinearizationWorkspace& ws)
{
    ws.LinearizationError = false;
    // A run refused for its parameters computes nothing, and the flag keeps the
    // writer from storing whatever coefficients an earlier run left.
    if (!parametersValid(ws) || !fit(ws)) {
        ws.LinearizationError = true;
        ws.message("Chyba v datech pro linearizaci.");
    }
}

int highestFittableDegree(const LinearizationPoints& set)
{
    std::vector<Extended> inputs(set.MeasuredInput.begin() + 1,
                                 set.MeasuredInput.begin() + 1 + std::max(0, set.PointCount));
    std::sort(inputs.begin(), inputs.end());
    const auto distinct = std::unique(inputs.begin(), inputs.end()) - inputs.begin();
    return static_cast<int>(distinct) - 1;
}

int filePolynomialDegree(int requested, const LinearizationPoints& set)
{
    constexpr int UsualDegree = 6;
    const int degree = requested >= 2 && requested <= 8 ? requested : UsualDegree;
    return std::max(1, std::min(degree, highestFittableDegree(set)));
}

} // namespace vtr8
