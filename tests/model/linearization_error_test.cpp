#include "model/linearization_error.h"

#include "linearization/characteristic.h"
#include "linearization/spline.h"
#include "linearization/workspace.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vtr8 {
namespace {

// The spline the writer stores, evaluated here from its own pieces (not through the segment
// table) on a grid of its own, with every number rounded to the transmitter's float first.
TEST(LinearizationError, Pt100SplineLargestErrorMatchesAnIndependentScan)
{
    LinearizationPoints none;
    LinearizationWorkspace ws(none);
    ws.CharacteristicIndex = Characteristic::Pt100;
    ws.RangeStart = -200;
    ws.RangeEnd = 850;
    ws.Step = 10.5L;
    SplineApproximation(ws);
    ASSERT_FALSE(ws.LinearizationError);
    const SplineTable& s = ws.Spline;
    auto f = [](Extended v) { return static_cast<Extended>(static_cast<float>(v)); };
    long double largest = 0;
    for (int i = 0; i <= 105000; ++i) {
        const Extended t = -200 + i * 0.01L;
        const Extended u = EvaluateCharacteristic(ws, Characteristic::Pt100, t);
        int k = 0;
        while (k + 1 < s.IntervalCount && f(s.u[k + 1]) <= u)
            ++k;
        const Extended x = u - f(s.u[k]);
        const Extended value = ((f(s.d[k]) * x + f(s.c[k])) * x + f(s.b[k])) * x + f(s.a[k]);
        largest = std::max(largest, std::fabs(value - t));
    }

    LinearizationErrorRequest r;
    r.sensor = Characteristic::Pt100;
    r.rangeStart = -200;
    r.rangeEnd = 850;
    const LinearizationErrorReport report = ComputeLinearizationError(r);
    ASSERT_TRUE(report.ok) << report.message.toStdString();
    ASSERT_EQ(report.curves.size(), 2u);
    EXPECT_TRUE(report.curves[0].chosen);
    EXPECT_EQ(report.curves[0].name, QStringLiteral("spline (20 úseků)"));
    EXPECT_EQ(report.curves[1].name, QStringLiteral("polynom 4. stupně"));
    EXPECT_GT(largest, 1e-4L); // the float storage alone makes it visible
    EXPECT_NEAR(static_cast<double>(std::fabs(report.curves[0].largestError)),
                static_cast<double>(largest), 0.001);
    // The polynomial over 1050 °C is the worse choice; the comparison must show that.
    EXPECT_GT(std::fabs(report.curves[1].largestError), std::fabs(report.curves[0].largestError));

    r.oldFirmware = true;
    const LinearizationErrorReport old = ComputeLinearizationError(r);
    ASSERT_EQ(old.curves.size(), 1u);
    EXPECT_EQ(old.curves[0].name, QStringLiteral("polynom 4. stupně"));
}

// Straight segments through the points reproduce the point-file line up to float rounding;
// the CSV has a header and a line per sample.
TEST(LinearizationError, PointFileSegmentsFollowTheLineAndTheCsvHasEverySample)
{
    LinearizationPoints p;
    const Extended xs[] = {0, 100, 200, 300, 400, 500};
    const Extended ys[] = {0, 5.2L, 14.2L, 25.2L, 37.4L, 50};
    p.PointCount = 6;
    for (int i = 0; i < 6; ++i) {
        p.MeasuredInput[static_cast<std::size_t>(i + 1)] = xs[i];
        p.RequiredOutput[static_cast<std::size_t>(i + 1)] = ys[i];
    }
    LinearizationErrorRequest r;
    r.linearization = Linearization::FromFile;
    r.points = &p;
    r.pointMethod = PointFitMethod::StraightLines;
    r.rangeStart = 0;
    r.rangeEnd = 50;
    r.pointDegree = 3;
    r.intervals = 250;
    const LinearizationErrorReport report = ComputeLinearizationError(r);
    ASSERT_TRUE(report.ok) << report.message.toStdString();
    ASSERT_EQ(report.curves.size(), 2u);
    EXPECT_EQ(report.curves[0].name, QStringLiteral("lineární úseky"));
    EXPECT_LT(std::fabs(report.curves[0].largestError), 1e-4L);
    EXPECT_GT(std::fabs(report.curves[1].largestError), 1e-3L);
    const QByteArray csv = LinearizationErrorCsv(report.curves[0]);
    EXPECT_TRUE(csv.startsWith("input,reference,value,error\n"));
    EXPECT_EQ(csv.count('\n'), 252);
    EXPECT_FALSE(csv.contains(';'));
}

} // namespace
} // namespace vtr8
