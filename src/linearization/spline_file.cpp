#include "linearization/spline.h"

#include "linearization/extended_chars.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

namespace vtr8 {

namespace {

std::string numberText(Extended value)
{
    // Shortest text that reads back to the same 80-bit value, always with a
    // point, whatever the locale.
    char buffer[64];
    const auto [end, ec] = extendedToChars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("nan");
}

} // namespace

bool saveSplineTableFile(const std::string& path, const SplineTable& table)
{
    const int n = table.IntervalCount;
    if (n < 1 || n > SplineTable::MaxIntervals)
        return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out << n << "\r\n";
    for (int i = 0; i <= n; ++i)
        out << numberText(table.u[i]) << "\r\n";
    for (int i = 0; i < n; ++i) {
        out << numberText(table.a[i]) << "\r\n"
            << numberText(table.b[i]) << "\r\n"
            << numberText(table.c[i]) << "\r\n"
            << numberText(table.d[i]) << "\r\n";
    }
    out.close();
    return static_cast<bool>(out);
}

bool loadSplineTableFile(const std::string& path, SplineTable& table)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::stringstream content;
    content << in.rdbuf();
    std::vector<std::string> tokens;
    for (std::string token; content >> token;)
        tokens.push_back(token);
    if (tokens.empty())
        return false;

    int n = 0;
    {
        const std::string& t = tokens[0];
        const auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
        if (ec != std::errc() || ptr != t.data() + t.size() || n < 1 ||
            n > SplineTable::MaxIntervals)
            return false;
    }
    const std::size_t expected = 1 + static_cast<std::size_t>(n + 1) + 4u * n;
    if (tokens.size() != expected)
        return false;

    std::vector<Extended> values;
    for (std::size_t k = 1; k < tokens.size(); ++k) {
        const std::string& t = tokens[k];
        Extended v = 0;
        const auto [ptr, ec] = extendedFromChars(t.data(), t.data() + t.size(), v);
        if (ec != std::errc() || ptr != t.data() + t.size() || !std::isfinite(v))
            return false;
        values.push_back(v);
    }

    SplineTable loaded;
    std::size_t k = 0;
    for (int i = 0; i <= n; ++i)
        loaded.u[i] = values[k++];
    for (int i = 0; i < n; ++i) {
        loaded.a[i] = values[k++];
        loaded.b[i] = values[k++];
        loaded.c[i] = values[k++];
        loaded.d[i] = values[k++];
    }
    // The piece lookup needs rising knots.
    for (int i = 0; i < n; ++i) {
        if (!(loaded.u[i] < loaded.u[i + 1]))
            return false;
    }
    loaded.IntervalCount = n;
    table = loaded;
    return true;
}

} // namespace vtr8
