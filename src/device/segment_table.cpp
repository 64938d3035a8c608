#include "device/segment_table.h"

#include "device/memory_map.h"

#include <algorithm>
#include <cmath>

namespace vtr8 {

Extended EvaluateSegmentTable(const SegmentTable& table, Extended x)
{
    std::size_t piece = 0;
    for (std::size_t k = 1; k < table.records.size(); ++k)
        if (table.records[k].x0 <= x)
            piece = k;
    const SegmentRecord& r = table.records[piece];
    const Extended t = x - r.x0;
    return ((r.c3 * t + r.c2) * t + r.c1) * t + r.c0;
}

bool BuildSegmentTable(const SplineTable& spline, SegmentTable& table)
{
    const int m = spline.IntervalCount;
    if (m < 1 || m > SegmentTable::Count)
        return false;
    for (int j = 0; j < m; ++j)
        table.records[j] = {spline.u[j], spline.d[j], spline.c[j], spline.b[j], spline.a[j]};
    for (int j = m; j < SegmentTable::Count; ++j)
        table.records[j] = table.records[m - 1];
    table.endAbscissa = spline.u[m];
    return true;
}

QString BadIntervalCountText()
{
    return QString::fromUtf8("Nepřípustný počet intervalů pro linearizační funkci.");
}

PointSegments PointFileSegmentTable(const LinearizationPoints& points)
{
    PointSegments result;
    const int n = points.PointCount;
    if (n < 2 || n > SegmentTable::Count + 1)
        return result;

    // A working copy, 1-based like the point set: the shared points keep the file's order.
    std::array<Extended, SegmentTable::Count + 2> x{}, y{};
    for (int i = 1; i <= n; ++i) {
        x[i] = points.MeasuredInput[i];
        y[i] = points.RequiredOutput[i];
    }
    if (x[2] < x[1]) {
        std::reverse(x.begin() + 1, x.begin() + n + 1);
        std::reverse(y.begin() + 1, y.begin() + n + 1);
    }
    for (int i = 2; i <= n; ++i)
        if (x[i] < x[i - 1])
            result.nonMonotonicAt = x[i - 1];

    for (int k = 1; k <= n - 1; ++k) {
        const Extended dx = x[k + 1] - x[k];
        if (dx == 0)
            return PointSegments{false, result.nonMonotonicAt, {}};
        const Extended slope = (y[k + 1] - y[k]) / dx;
        if (!std::isfinite(slope))
            return PointSegments{false, result.nonMonotonicAt, {}};
        result.table.records[k - 1] = {x[k], 0, 0, slope, y[k]};
    }
    for (int k = n - 1; k < SegmentTable::Count; ++k)
        result.table.records[k] = result.table.records[n - 2];
    result.table.endAbscissa =
        n == SegmentTable::Count + 1 ? x[n] : result.table.records[SegmentTable::Count - 1].x0;
    result.ok = true;
    return result;
}

QString NonMonotonicText(const QString& formattedX)
{
    return QString::fromUtf8("Průběh vstupní křivky není prostý v bodě ") + formattedX +
           QString::fromUtf8(".   Vstupní křivka musí mít stále rostoucí charakteristiku !!!");
}

QString PointSegmentsFailureText()
{
    return QString::fromUtf8("Nelze provést výpočet linearizace proložením lineárních úseků.");
}

SegmentTable SquareRootSegmentTable(Extended lo, Extended hi)
{
    const Extended span = hi - lo;
    const auto law = [&](Extended x) {
        return lo + span * std::sqrt(std::max(Extended{0}, (x - lo) / span));
    };
    SegmentTable table;
    // Below the start the law is the identity. The transmitter uses the first record below the
    // first knot, so that record is the straight line y = x, its knot a span below the start so
    // the knots still rise.
    table.records[0] = {lo - span, 0, 0, 1, lo - span};
    // The other 19 pieces cover the range. Their knots lie at the fourth powers of equal steps,
    // (j/19)^4 of the span: the root bends hardest at the start, and a cubic through the law
    // there stays within 0.03 % of the span only when the first piece is that short.
    constexpr int Pieces = SegmentTable::Count - 1;
    const auto knot = [&](int j) {
        const Extended s = Extended(j) / Pieces;
        return j == Pieces ? hi : lo + span * s * s * s * s;
    };
    for (int j = 0; j < Pieces; ++j) {
        const Extended x0 = knot(j);
        const Extended x1 = knot(j + 1);
        const Extended h = x1 - x0;
        // Cubic through the law at 0, h/3, 2h/3 and h (Newton forward differences in u = 3t/h).
        const Extended v0 = law(x0), v1 = law(x0 + h / 3), v2 = law(x0 + 2 * h / 3), v3 = law(x1);
        const Extended d1 = v1 - v0;
        const Extended d2 = v2 - 2 * v1 + v0;
        const Extended d3 = v3 - 3 * v2 + 3 * v1 - v0;
        const Extended scale = 3 / h;
        SegmentRecord& r = table.records[j + 1];
        r.x0 = x0;
        r.c0 = v0;
        r.c1 = (d1 - d2 / 2 + d3 / 3) * scale;
        r.c2 = (d2 / 2 - d3 / 2) * scale * scale;
        r.c3 = d3 / 6 * scale * scale * scale;
    }
    table.endAbscissa = hi;
    return table;
}

std::vector<EepromBlock> SegmentTableBlocks(const SegmentTable& table)
{
    std::vector<EepromBlock> blocks;
    for (int k = 0; k < SegmentTable::Count; ++k) {
        const SegmentRecord& r = table.records[k];
        blocks.push_back(FloatBlock(eeprom::SegmentRecord(k), {r.x0, r.c3, r.c2, r.c1, r.c0}));
    }
    blocks.push_back(FloatBlock(eeprom::SegmentEndAbscissa, {table.endAbscissa}));
    return blocks;
}

} // namespace vtr8
