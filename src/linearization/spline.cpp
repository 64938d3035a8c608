#include "linearization/spline.h"

#include "linearization/elimination.h"
#include "linearization/single_precision.h"
#include "linearization/workspace.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace vtr8 {

namespace {

constexpr int Intervals = SplineTable::MaxIntervals;
constexpr Extended SmallPivot = 0.1L;

struct SensorLimits {
    Extended lower;
    Extended upper;
};

// Temperatures the sensor's reference function is meant for.
std::optional<SensorLimits> sensorLimits(Characteristic c)
{
    switch (c) {
    case Characteristic::TcN:
        return SensorLimits{-270, 1300};
    case Characteristic::TcK:
        return SensorLimits{-200, 1370};
    case Characteristic::TcT:
        return SensorLimits{-200, 400};
    case Characteristic::TcJ:
        return SensorLimits{-100, 1200};
    case Characteristic::TcE:
        return SensorLimits{-200, 1000};
    case Characteristic::TcR:
    case Characteristic::TcS:
        return SensorLimits{0, 1760};
    case Characteristic::TcB:
        return SensorLimits{100, 1820};
    case Characteristic::TcL:
        return SensorLimits{-200, 900};
    case Characteristic::Pt100:
    case Characteristic::Pt1000:
        return SensorLimits{-200, 850};
    case Characteristic::Ni100:
    case Characteristic::Ni1000:
        return SensorLimits{-70, 250};
    default:
        return std::nullopt;
    }
}

bool parametersValid(LinearizationWorkspace& ws)
{
    bool valid = true;
    if (!(ws.RangeEnd - ws.RangeStart > 0)) {
        ws.message("Chyba poc.intervalu nebo teploty nebo kroku");
        valid = false;
    }
    if (const auto limits = sensorLimits(ws.CharacteristicIndex)) {
        if (limits->lower > ws.RangeStart) {
            ws.message("Prekrocena dolni mez");
            valid = false;
        }
        if (limits->upper < ws.RangeEnd) {
            ws.message("Prekrocena horni mez");
            valid = false;
        }
    }
    return valid;
}

// Builds the table into `table`; false with LinearizationError set on failure.
bool computeSpline(LinearizationWorkspace& ws, SplineTable& table)
{
    const Characteristic ch = ws.CharacteristicIndex;
    const Extended a = ws.RangeStart;
    const Extended b = ws.RangeEnd;
    auto eval = [&](Extended x) { return EvaluateCharacteristic(ws, ch, x); };

    std::array<Extended, Intervals + 1> w{};
    std::array<Extended, Intervals + 1>& u = table.u;
    const Extended step = (b - a) / Intervals;
    for (int i = 0; i <= Intervals; ++i) {
        w[i] = a + i * step;
        u[i] = eval(w[i]);
        if (ws.LinearizationError)
            return false;
    }
    std::array<Extended, Intervals> h{};
    for (int i = 0; i < Intervals; ++i) {
        h[i] = u[i + 1] - u[i];
        // The transmitter looks the signal up among rising knots; a falling or
        // flat stretch has no temperature-of-signal function to approximate.
        if (!(h[i] > 0)) {
            ws.message("Signál čidla v zadaném rozsahu neroste, spline nelze sestavit.");
            ws.LinearizationError = true;
            return false;
        }
    }

    // Clamped ends: the slopes of the inverse characteristic over 1 °C.
    const Extended s0 = ((a + 1) - a) / (eval(a + 1) - eval(a));
    const Extended sn = (b - (b - 1)) / (eval(b) - eval(b - 1));
    if (ws.LinearizationError)
        return false;

    EquationMatrix m{};
    EquationVector rhs{};
    m[0][0] = 2;
    m[0][1] = 1;
    rhs[0] = ((w[1] - w[0]) / h[0] - s0) * 6 / h[0];
    for (int i = 1; i < Intervals; ++i) {
        const Extended mu = h[i - 1] / (h[i - 1] + h[i]);
        m[i][i - 1] = mu;
        m[i][i] = 2;
        m[i][i + 1] = 1 - mu;
        rhs[i] = ((w[i + 1] - w[i]) / h[i] - (w[i] - w[i - 1]) / h[i - 1]) * 6 / (h[i - 1] + h[i]);
    }
    m[Intervals][Intervals - 1] = 1;
    m[Intervals][Intervals] = 2;
    rhs[Intervals] =
        (sn - (w[Intervals] - w[Intervals - 1]) / h[Intervals - 1]) * 6 / h[Intervals - 1];

    EquationVector moments{};
    const auto warnSmall = [&](int, int, Extended pivot) {
        if (std::fabs(pivot) <= SmallPivot)
            ws.message("Pozor mala cisla ve zbyvajici casti matice");
    };
    if (!solveCompletePivoting(m, rhs, Intervals + 1, moments, 0, warnSmall)) {
        ws.message("Soustavu rovnic pro spline nelze vyřešit.");
        ws.LinearizationError = true;
        return false;
    }

    SinglePrecisionCheck single;
    for (int i = 0; i < Intervals; ++i) {
        table.a[i] = w[i];
        table.b[i] = (w[i + 1] - w[i]) / h[i] - h[i] * (moments[i + 1] + 2 * moments[i]) / 6;
        table.c[i] = moments[i] / 2;
        table.d[i] = (moments[i + 1] - moments[i]) / (6 * h[i]);
        single.check(table.a[i]);
        single.check(table.b[i]);
        single.check(table.c[i]);
        single.check(table.d[i]);
    }
    if (single.overflow)
        ws.message("Doslo k preteceni");
    if (single.underflow)
        ws.message("Doslo k podteceni");
    return true;
}

} // namespace

void SplineApproximation(LinearizationWorkspace& ws)
{
    // A flag left over from an earlier computation must not fail this one.
    ws.LinearizationError = false;
    ws.Spline.IntervalCount = 0;
    if (!parametersValid(ws)) {
        ws.LinearizationError = true;
        return;
    }
    SplineTable table;
    if (!computeSpline(ws, table) || ws.LinearizationError) {
        ws.LinearizationError = true;
        ws.message("Chyba cteni v SPLUNIT1 prip.klonu,stiskni ENTER");
        return;
    }
    table.IntervalCount = Intervals;
    ws.Spline = table;
}

Extended EvaluateSpline(const SplineTable& table, Extended u)
{
    const int n = std::min(table.IntervalCount, SplineTable::MaxIntervals);
    if (n < 1)
        return 0;
    int i = 0;
    while (i <= n - 1 && table.u[i] <= u)
        ++i;
    // i == 0 also catches a NaN signal, which compares false with every knot.
    const int piece = (i == 0 || u < table.u[0]) ? 0 : i - 1;
    const Extended t = u - table.u[piece];
    return table.a[piece] + table.b[piece] * t + table.c[piece] * t * t +
           table.d[piece] * t * t * t;
}

} // namespace vtr8
