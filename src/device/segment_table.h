#pragma once

#include "device/eeprom_block.h"
#include "linearization/extended.h"
#include "linearization/point_set.h"
#include "linearization/spline_table.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace vtr8 {

// One piece of the transmitter's linearization: from knot x0 (an input-signal value) the output
// is c0 + c1·t + c2·t² + c3·t³ with t = x − x0. Stored highest power first.
struct SegmentRecord {
    Extended x0 = 0;
    Extended c3 = 0;
    Extended c2 = 0;
    Extended c1 = 0;
    Extended c0 = 0;

    bool operator==(const SegmentRecord&) const = default;
};

struct SegmentTable {
    static constexpr int Count = 20;
    std::array<SegmentRecord, Count> records{};
    Extended endAbscissa = 0; // end of the last segment

    bool operator==(const SegmentTable&) const = default;
};

// The output of the table at x, as the transmitter would compute it: the last record whose knot
// is not above x (the first record below the first knot).
Extended EvaluateSegmentTable(const SegmentTable& table, Extended x);

// The spline's pieces into a table. A spline with fewer than 20 intervals fills the remaining
// records with copies of its last piece and ends at its last knot. False (table untouched) when
// the interval count is outside 1..20.
[[nodiscard]] bool BuildSegmentTable(const SplineTable& spline, SegmentTable& table);
QString BadIntervalCountText(); // "Nepřípustný počet intervalů pro linearizační funkci."

// Straight segments through the points of a point file (at most 21 points).
struct PointSegments {
    bool ok = false;
    // The input value after which the curve falls, when it does somewhere (the last such one).
    std::optional<Extended> nonMonotonicAt;
    SegmentTable table;
};
PointSegments PointFileSegmentTable(const LinearizationPoints& points);
// The warning for a falling curve; x comes formatted by the caller.
QString NonMonotonicText(const QString& formattedX);
QString
PointSegmentsFailureText(); // "Nelze provést výpočet linearizace proložením lineárních úseků."

// The square-root law y = lo + (hi − lo)·sqrt((x − lo)/(hi − lo)) over lo..hi in 19 cubic
// pieces, closer together where the root bends, after a first record y = x for below lo.
SegmentTable SquareRootSegmentTable(Extended lo, Extended hi);

// The 20 record blocks at 608 + 20k and the end abscissa at 1008.
std::vector<EepromBlock> SegmentTableBlocks(const SegmentTable& table);

} // namespace vtr8
