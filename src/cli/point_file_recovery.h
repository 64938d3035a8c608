#pragma once

#include "device/memory_image.h"

#include <QByteArray>
#include <QString>

#include <vector>

// A "ze souboru" configuration keeps its points only as the straight segments of the segment
// table: the knots and their outputs are there, the last point only as the slope of the last
// segment and through the line the signal limits were computed with.
namespace vtr8 {

// The reads that give what PointFileCandidates needs.
std::vector<ReadRun> PointFileRecoveryReads();

// Point-file texts that may have written the table the image holds, the likeliest first: every
// knot with the shortest decimals that give its float back, and a last point rounded to ever
// more digits from where the last segment meets the file's straight line, or ends the range.
// Only a write of a candidate can tell which one gives the same memory. Empty when the image
// holds no segment table.
std::vector<QByteArray> PointFileCandidates(const MemoryImage& image);

// Where the points are saved beside a configuration: "a.txt" gives "a.body.txt".
QString PointFileNameFor(const QString& configurationPath);

} // namespace vtr8
