#include "model/linearization_error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <utility>

namespace vtr8 {
namespace {

// A point file's set of (input, output) points and a request for its error over the
// outputs' range.
struct PointFileCase {
    LinearizationPoints points;
    LinearizationErrorRequest request;

    PointFileCase(std::initializer_list<std::pair<Extended, Extended>> xy, PointFitMethod method)
    {
        for (const auto& [x, y] : xy) {
            ++points.PointCount;
            points.MeasuredInput[static_cast<std::size_t>(points.PointCount)] = x;
            points.RequiredOutput[static_cast<std::size_t>(points.PointCount)] = y;
        }
        request.linearization = Linearization::FromFile;
        request.points = &points;
        request.pointMethod = method;
        request.rangeStart = xy.begin()->second;
        request.rangeEnd = std::prev(xy.end())->second;
    }
    PointFileCase(const PointFileCase&) = delete;
};

// The chosen method first, the polynomial for comparison; the old firmware knows only the
// polynomial. (The window test checks the largest error against an independent scan.)
TEST(LinearizationError, Pt100OffersTheSplineAndComparesThePolynomial)
{
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
    PointFileCase f({{0, 0}, {100, 5.2L}, {200, 14.2L}, {300, 25.2L}, {400, 37.4L}, {500, 50}},
                    PointFitMethod::StraightLines);
    LinearizationErrorRequest& r = f.request;
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

// A point beyond the transmitter's float is refused as the write refuses it, by either method.
TEST(LinearizationError, APointBeyondTheTransmitterFloatIsRefused)
{
    for (const Extended beyond : {1e999L, -1e999L}) {
        for (const PointFitMethod method :
             {PointFitMethod::StraightLines, PointFitMethod::Polynomial}) {
            PointFileCase f({{0, 0}, {0.5L, beyond}, {1, 100}}, method);
            f.request.rangeStart = 0;
            f.request.rangeEnd = 100;
            const LinearizationErrorReport report = ComputeLinearizationError(f.request);
            EXPECT_FALSE(report.ok);
            EXPECT_TRUE(report.curves.empty());
            EXPECT_TRUE(report.message.startsWith(
                QStringLiteral("Koeficienty linearizace jsou mimo rozsah čísel převodníku")))
                << report.message.toStdString();
        }
    }
}

// Three points determine a parabola: the error is shown for the degree the write would use,
// whatever degree was asked for (the usual 6 used to be refused for lack of points).
TEST(LinearizationError, ThreePointsAreFittedWithTheDegreeTheyDetermine)
{
    PointFileCase f({{0, 0}, {50, 40}, {100, 100}}, PointFitMethod::Polynomial);
    for (const int asked : {2, 3, 6, 0}) {
        SCOPED_TRACE(asked);
        LinearizationErrorRequest r = f.request;
        r.pointDegree = asked;
        const LinearizationErrorReport report = ComputeLinearizationError(r);
        ASSERT_TRUE(report.ok) << report.message.toStdString();
        EXPECT_EQ(report.curves.front().name, QStringLiteral("polynom 2. stupně"));
    }
}

// The largest error is the one furthest from zero, with its sign: for these two sensors the
// worst sample of some curve lies below the reference, so a signed maximum would pick another.
TEST(LinearizationError, LargestErrorIsChosenBySizeAndKeepsItsSign)
{
    bool negative = false;
    for (const Characteristic sensor : {Characteristic::Pt100, Characteristic::TcK}) {
        LinearizationErrorRequest r;
        r.sensor = sensor;
        r.rangeStart = sensor == Characteristic::TcK ? 0 : -200;
        r.rangeEnd = sensor == Characteristic::TcK ? 1300 : 850;
        const LinearizationErrorReport report = ComputeLinearizationError(r);
        ASSERT_TRUE(report.ok) << report.message.toStdString();
        for (const ErrorCurve& curve : report.curves) {
            const auto worst = std::max_element(curve.samples.begin(), curve.samples.end(),
                                                [](const ErrorSample& a, const ErrorSample& b) {
                                                    return std::fabs(a.error) < std::fabs(b.error);
                                                });
            ASSERT_NE(worst, curve.samples.end());
            EXPECT_EQ(curve.largestError, worst->error) << curve.name.toStdString();
            EXPECT_EQ(curve.largestAt, worst->input) << curve.name.toStdString();
            negative = negative || curve.largestError < 0;
        }
    }
    EXPECT_TRUE(negative);
}

} // namespace
} // namespace vtr8
