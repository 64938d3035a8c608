#include "device/segment_table.h"
#include "linearization/characteristic.h"
#include "linearization/spline.h"
#include "linearization/workspace.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vtr8 {
namespace {

LinearizationPoints pointsOf(std::initializer_list<std::pair<Extended, Extended>> xy)
{
    LinearizationPoints p;
    int i = 0;
    for (const auto& [x, y] : xy) {
        ++i;
        p.MeasuredInput[i] = x;
        p.RequiredOutput[i] = y;
    }
    p.PointCount = i;
    return p;
}

TEST(SegmentTable, FivePointFileSegmentsAndCopies)
{
    const auto points = pointsOf({{0, 0}, {1, 10}, {2, 30}, {4, 40}, {5, 45}});
    const PointSegments s = PointFileSegmentTable(points);
    ASSERT_TRUE(s.ok);
    EXPECT_FALSE(s.nonMonotonicAt);
    EXPECT_EQ(s.table.records[0], (SegmentRecord{0, 0, 0, 10, 0}));
    EXPECT_EQ(s.table.records[1], (SegmentRecord{1, 0, 0, 20, 10}));
    EXPECT_EQ(s.table.records[2], (SegmentRecord{2, 0, 0, 5, 30}));
    EXPECT_EQ(s.table.records[3], (SegmentRecord{4, 0, 0, 5, 40}));
    for (int k = 4; k < 20; ++k)
        EXPECT_EQ(s.table.records[k], s.table.records[3]) << k;
    EXPECT_EQ(s.table.endAbscissa, 4);
    EXPECT_EQ(EvaluateSegmentTable(s.table, 1.5L), 20);
    EXPECT_EQ(EvaluateSegmentTable(s.table, 5), 45);
}

TEST(SegmentTable, FallingFileIsReversedFirst)
{
    const auto points = pointsOf({{5, 45}, {4, 40}, {2, 30}, {1, 10}, {0, 0}});
    const PointSegments s = PointFileSegmentTable(points);
    ASSERT_TRUE(s.ok);
    EXPECT_FALSE(s.nonMonotonicAt);
    EXPECT_EQ(s.table.records[0], (SegmentRecord{0, 0, 0, 10, 0}));
    EXPECT_EQ(points.MeasuredInput[1], 5); // the shared point set keeps the file's order
}

TEST(SegmentTable, TwentyOnePointsEndAtTheLastPoint)
{
    LinearizationPoints p;
    p.PointCount = 21;
    for (int i = 1; i <= 21; ++i) {
        p.MeasuredInput[i] = i * 2;
        p.RequiredOutput[i] = i * i;
    }
    const PointSegments s = PointFileSegmentTable(p);
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.table.records[19], (SegmentRecord{40, 0, 0, 20.5L, 400}));
    EXPECT_EQ(s.table.endAbscissa, 42);
}

TEST(SegmentTable, FallingStepIsReportedAndEqualNeighboursFail)
{
    const auto zigzag = pointsOf({{0, 0}, {2, 1}, {1.5L, 2}, {3, 3}, {2.5L, 4}, {4, 5}});
    const PointSegments s = PointFileSegmentTable(zigzag);
    EXPECT_TRUE(s.ok);
    ASSERT_TRUE(s.nonMonotonicAt);
    EXPECT_EQ(*s.nonMonotonicAt, 3); // the last point before a fall
    EXPECT_EQ(NonMonotonicText(QStringLiteral("3")),
              QString::fromUtf8("Průběh vstupní křivky není prostý v bodě 3.   Vstupní křivka "
                                "musí mít stále rostoucí charakteristiku !!!"));

    const auto repeated = pointsOf({{0, 0}, {1, 1}, {1, 2}, {2, 3}});
    EXPECT_FALSE(PointFileSegmentTable(repeated).ok);
    EXPECT_FALSE(PointFileSegmentTable(pointsOf({{0, 0}})).ok);
    LinearizationPoints tooMany;
    tooMany.PointCount = 22;
    for (int i = 1; i <= 22; ++i)
        tooMany.MeasuredInput[i] = i;
    EXPECT_FALSE(PointFileSegmentTable(tooMany).ok);
}

TEST(SegmentTable, SplineIntoRecordsHighestPowerFirst)
{
    LinearizationPoints points;
    LinearizationWorkspace ws(points);
    ws.CharacteristicIndex = Characteristic::Pt100;
    ws.RangeStart = 0;
    ws.RangeEnd = 100;
    SplineApproximation(ws);
    ASSERT_EQ(ws.Spline.IntervalCount, 20);

    SegmentTable table;
    ASSERT_TRUE(BuildSegmentTable(ws.Spline, table));
    EXPECT_EQ(table.records[3].x0, ws.Spline.u[3]);
    EXPECT_EQ(table.records[3].c3, ws.Spline.d[3]);
    EXPECT_EQ(table.records[3].c2, ws.Spline.c[3]);
    EXPECT_EQ(table.records[3].c1, ws.Spline.b[3]);
    EXPECT_EQ(table.records[3].c0, ws.Spline.a[3]);
    EXPECT_EQ(table.endAbscissa, ws.Spline.u[20]);
    for (int i = 0; i <= 20; ++i)
        EXPECT_NEAR(static_cast<double>(EvaluateSegmentTable(table, ws.Spline.u[i])), 5.0 * i,
                    1e-9);
}

TEST(SegmentTable, BadIntervalCountLeavesTheTable)
{
    SplineTable none;
    SegmentTable table;
    table.records[0].c0 = 7;
    const SegmentTable before = table;
    EXPECT_FALSE(BuildSegmentTable(none, table));
    none.IntervalCount = 21;
    EXPECT_FALSE(BuildSegmentTable(none, table));
    EXPECT_EQ(table, before);
    EXPECT_EQ(BadIntervalCountText(),
              QString::fromUtf8("Nepřípustný počet intervalů pro linearizační funkci."));
}

TEST(SegmentTable, ShortSplineRepeatsItsLastPiece)
{
    SplineTable s;
    s.IntervalCount = 2;
    s.u = {0, 1, 3};
    s.a = {0, 1};
    s.b = {1, 2};
    SegmentTable table;
    ASSERT_TRUE(BuildSegmentTable(s, table));
    EXPECT_EQ(table.records[19], table.records[1]);
    EXPECT_EQ(table.endAbscissa, 3);
}

TEST(SegmentTable, SquareRootLawWithinATenthOfAPercent)
{
    for (const auto& [lo, hi] : {std::pair<Extended, Extended>{4, 20}, {0, 0.5L}}) {
        const SegmentTable table = SquareRootSegmentTable(lo, hi);
        const Extended span = hi - lo;
        EXPECT_EQ(table.endAbscissa, hi);
        for (std::size_t k = 1; k < table.records.size(); ++k)
            EXPECT_LT(table.records[k - 1].x0, table.records[k].x0) << k;
        double worst = 0;
        for (int i = -200; i <= 1600; ++i) {
            const Extended x = lo + span * i / 1600;
            const Extended expected = x <= lo ? x : lo + span * std::sqrt((x - lo) / span);
            worst = std::max(
                worst,
                static_cast<double>(std::fabs(EvaluateSegmentTable(table, x) - expected) / span));
        }
        EXPECT_LT(worst, 0.001) << static_cast<double>(hi);
    }
}

TEST(SegmentTable, BlocksAtTheirAddresses)
{
    SegmentTable table;
    table.records[1] = {1, 0, 0, 2, 3};
    table.endAbscissa = 12;
    const auto blocks = SegmentTableBlocks(table);
    ASSERT_EQ(blocks.size(), 21u);
    EXPECT_EQ(blocks[0].address, 608);
    EXPECT_EQ(blocks[19].address, 988);
    EXPECT_EQ(blocks[20].address, 1008);
    ASSERT_EQ(blocks[1].data.size(), 20u);
    EXPECT_EQ(blocks[1].data[0], 0x81);  // x0 = 1.0
    EXPECT_EQ(blocks[1].data[4], 0x00);  // c3 = 0
    EXPECT_EQ(blocks[1].data[12], 0x82); // c1 = 2.0
    EXPECT_EQ(blocks[20].data, (std::vector<std::uint8_t>{0x84, 0x40, 0, 0}));
}

} // namespace
} // namespace vtr8
