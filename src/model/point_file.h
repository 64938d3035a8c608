#pragma once

#include "linearization/extended.h"
#include "linearization/polynomial_fit.h"

#include <QString>

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace vtr8 {

struct LinearizationPoints;
class UserInterface;

// What reading a point file gave. The file is read completely before anything
// is stored, so a refused file never leaves half of its points mixed into the
// point set of an earlier good one.
struct PointFileReading {
    enum class Outcome {
        Ok,           // two or more points with distinct end values
        IoError,      // the file could not be opened or read; see errorNumber
        BadValue,     // a value that is not a number, or an unusable point set
        TooManyPoints // more than 100 points
    };

    Outcome outcome = Outcome::Ok;
    // Points in file order: measured input first, required output second.
    // For TooManyPoints the reading stops after point 101.
    std::vector<std::pair<Extended, Extended>> points;
    // The operating system's error number for IoError.
    int errorNumber = 0;
};

// The longest text accepted as one number; anything longer is not a number a
// person wrote into a point file and would only make the reader buffer it.
inline constexpr std::size_t MaxPointNumberLength = 256;

// Parses point-file text: two numbers per point with a decimal point (optional
// sign, digits, optional fraction, optional exponent), separated by blanks,
// tabs or line ends; the rest of the line after the second number is ignored.
// `nextByte` returns the next byte (0..255) or -1 at the end of the text.
PointFileReading parsePointText(const std::function<int()>& nextByte);
PointFileReading parsePointText(std::string_view text);

// Reads the file at `path`. Open and read errors come back as IoError with errno.
PointFileReading readPointFile(const QString& path);

// Texts shown for a refused point file.
inline constexpr const char* kBadPointValueMessage = "Špatně zadaná hodnota k linearizaci.";
inline constexpr const char* kTooManyPointsMessage = "Maximální počet bodů pro linearizaci je 100.";

// Tells the person what went wrong (if anything) and stores a good reading
// into `set`: points 1..n, PointCount, the four end-point lines and PointFileOk.
// Higher entries of an earlier, longer file stay in the arrays.
// A bad value clears PointFileOk; an I/O error and too many points leave the
// point set and PointFileOk as they were. Returns true when the set was replaced.
[[nodiscard]] bool applyPointFile(const PointFileReading& reading, LinearizationPoints& set,
                                  UserInterface& ui);

} // namespace vtr8
