#include "model/point_file.h"

#include "configuration/file_io.h"

#include "linearization/extended_chars.h"
#include "linearization/point_set.h"
#include "user_interface/user_interface.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vtr8 {

namespace {

// Text-file number reading treats every control character and the blank as a
// separator, so CR LF, tabs and stray NULs all just separate numbers.
bool isSeparator(int c)
{
    return c >= 0 && c <= ' ';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Optional sign, digits with an optional point and fraction, optional
// exponent. "inf", "nan", hexadecimal and a decimal comma are refused.
std::optional<Extended> parseNumber(const std::string& token)
{
    std::size_t i = 0;
    const std::size_t n = token.size();
    if (i < n && (token[i] == '+' || token[i] == '-'))
        ++i;
    const std::size_t mantissaStart = i;
    std::size_t digits = 0;
    while (i < n && isDigit(token[i])) {
        ++i;
        ++digits;
    }
    if (i < n && token[i] == '.') {
        ++i;
        while (i < n && isDigit(token[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < n && (token[i] == '+' || token[i] == '-'))
            ++i;
        std::size_t exponentDigits = 0;
        while (i < n && isDigit(token[i])) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;

    // from_chars knows no leading plus; the sign is put back by hand.
    const bool negative = token[0] == '-';
    Extended value = 0;
    const char* first = token.data() + mantissaStart;
    const char* last = token.data() + n;
    const auto [end, error] = extendedFromChars(first, last, value);
    if (error != std::errc() || end != last)
        return std::nullopt; // out of the extended range, among others
    return negative ? -value : value;
}

class Scanner {
public:
    explicit Scanner(const std::function<int()>& nextByte) : next_(nextByte) {}

    // Skips separators; false when only separators were left.
    bool skipSeparators()
    {
        while (isSeparator(peek()))
            take();
        return peek() >= 0;
    }

    // The characters up to the next separator or the end.
    // nullopt when the token is longer than any number could sensibly be.
    std::optional<std::string> token()
    {
        std::string text;
        while (peek() >= 0 && !isSeparator(peek())) {
            if (text.size() >= MaxPointNumberLength)
                return std::nullopt;
            text.push_back(static_cast<char>(take()));
        }
        return text;
    }

    // Drops the rest of the line, including its CR LF, LF or lone CR.
    void skipLine()
    {
        while (peek() >= 0 && peek() != '\n' && peek() != '\r')
            take();
        if (peek() == '\r')
            take();
        if (peek() == '\n')
            take();
    }

private:
    int peek()
    {
        if (!buffered_) {
            lookahead_ = next_();
            buffered_ = true;
        }
        return lookahead_;
    }
    int take()
    {
        const int c = peek();
        buffered_ = false;
        return c;
    }

    const std::function<int()>& next_;
    int lookahead_ = -1;
    bool buffered_ = false;
};

std::optional<Extended> readNumber(Scanner& scanner)
{
    if (!scanner.skipSeparators())
        return std::nullopt; // a point broken off by the end of the file
    const auto token = scanner.token();
    if (!token)
        return std::nullopt;
    return parseNumber(*token);
}

struct EndPointLines {
    Extended lineSlope, lineOffset, inverseSlope, inverseOffset;
};

// The straight lines through the first and last point, output over input and
// input over output. They divide by the differences of the end values, so a set
// with fewer than two points, equal end values or end values too far apart for
// the extended range has no usable lines.
std::optional<EndPointLines> endPointLines(const std::vector<std::pair<Extended, Extended>>& points)
{
    if (points.size() < 2)
        return std::nullopt;
    const auto& [x1, y1] = points.front();
    const auto& [xn, yn] = points.back();
    const Extended dx = xn - x1;
    const Extended dy = yn - y1;
    if (dx == 0 || dy == 0 || !std::isfinite(dx) || !std::isfinite(dy))
        return std::nullopt;
    EndPointLines lines;
    lines.lineSlope = dy / dx;
    lines.lineOffset = y1 - lines.lineSlope * x1;
    lines.inverseSlope = dx / dy;
    lines.inverseOffset = x1 - lines.inverseSlope * y1;
    for (const Extended v :
         {lines.lineSlope, lines.lineOffset, lines.inverseSlope, lines.inverseOffset})
        if (!std::isfinite(v))
            return std::nullopt;
    return lines;
}

} // namespace

PointFileReading parsePointText(const std::function<int()>& nextByte)
{
    PointFileReading reading;
    Scanner scanner(nextByte);
    while (scanner.skipSeparators()) {
        const auto measured = readNumber(scanner);
        const auto required = measured ? readNumber(scanner) : std::nullopt;
        if (!measured || !required) {
            reading.outcome = PointFileReading::Outcome::BadValue;
            return reading;
        }
        reading.points.emplace_back(*measured, *required);
        if (reading.points.size() > static_cast<std::size_t>(LinearizationPoints::MaxPoints)) {
            reading.outcome = PointFileReading::Outcome::TooManyPoints;
            return reading;
        }
        scanner.skipLine();
    }
    if (!endPointLines(reading.points))
        reading.outcome = PointFileReading::Outcome::BadValue;
    return reading;
}

PointFileReading parsePointText(std::string_view text)
{
    std::size_t position = 0;
    const std::function<int()> next = [&]() -> int {
        if (position >= text.size())
            return -1;
        return static_cast<unsigned char>(text[position++]);
    };
    return parsePointText(next);
}

PointFileReading readPointFile(const QString& path)
{
    PointFileReading failed;
    failed.outcome = PointFileReading::Outcome::IoError;

    int openError = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openInputFile(path, openError),
                                                         &std::fclose);
    if (!file) {
        failed.errorNumber = openError;
        return failed;
    }

    int readError = 0;
    // A file far larger than any point file ends the reading like a read error
    // inside a line; blanks alone would otherwise keep the reader going forever.
    qsizetype taken = 0;
    bool tooLarge = false;
    const std::function<int()> next = [&]() -> int {
        errno = 0;
        const int c = std::getc(file.get());
        if (c == EOF && std::ferror(file.get()))
            readError = errno != 0 ? errno : EIO;
        if (c != EOF && ++taken > MaxInputFileSize) {
            tooLarge = true;
            return -1;
        }
        return c == EOF ? -1 : c;
    };
    PointFileReading reading = parsePointText(next);
    if (readError != 0) {
        failed.errorNumber = readError;
        return failed;
    }
    if (tooLarge) {
        reading.outcome = PointFileReading::Outcome::BadValue;
        reading.points.clear();
    }
    return reading;
}

bool applyPointFile(const PointFileReading& reading, LinearizationPoints& set, UserInterface& ui)
{
    switch (reading.outcome) {
    case PointFileReading::Outcome::IoError:
        ui.message(QStringLiteral("Chyba c. ") + QString::number(reading.errorNumber));
        return false;
    case PointFileReading::Outcome::BadValue:
        ui.message(QString::fromUtf8(kBadPointValueMessage));
        set.PointFileOk = false;
        return false;
    case PointFileReading::Outcome::TooManyPoints:
        ui.message(QString::fromUtf8(kTooManyPointsMessage));
        return false;
    case PointFileReading::Outcome::Ok:
        break;
    }

    if (reading.points.size() > static_cast<std::size_t>(LinearizationPoints::MaxPoints)) {
        ui.message(QString::fromUtf8(kTooManyPointsMessage));
        return false;
    }
    const auto lines = endPointLines(reading.points);
    if (!lines) {
        // A reading built by hand rather than by the parser; refuse it the same way.
        ui.message(QString::fromUtf8(kBadPointValueMessage));
        set.PointFileOk = false;
        return false;
    }
    const int n = static_cast<int>(reading.points.size());
    for (int i = 1; i <= n; ++i) {
        set.MeasuredInput[i] = reading.points[i - 1].first;
        set.RequiredOutput[i] = reading.points[i - 1].second;
    }
    set.PointCount = n;
    set.PointFileOk = true;
    set.LineSlope = lines->lineSlope;
    set.LineOffset = lines->lineOffset;
    set.InverseSlope = lines->inverseSlope;
    set.InverseOffset = lines->inverseOffset;
    return true;
}

} // namespace vtr8
