#include "cli/point_file_recovery.h"

#include "device/device_float.h"
#include "device/memory_map.h"

#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <utility>

namespace vtr8 {
namespace {

namespace e = eeprom;

float floatAt(const MemoryImage& image, int address)
{
    DeviceFloatBytes bytes{};
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = image.at(static_cast<e::Address>(address + i));
    return DecodeDeviceFloat(bytes);
}

// The shortest decimal text that reads back as this float.
std::string shortest(float value)
{
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

double number(const std::string& text);

// The value rounded to `digits` significant digits, in its shortest text.
std::string rounded(double value, int digits)
{
    char buffer[64];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                             digits - 1)
                   .ptr;
    const double near = number(std::string(buffer, end));
    end = std::to_chars(buffer, buffer + sizeof buffer, near).ptr;
    return std::string(buffer, end);
}

double number(const std::string& text)
{
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

struct Knot {
    float x, y, slope;
};

} // namespace

std::vector<ReadRun> PointFileRecoveryReads()
{
    return ReadsCovering({{e::SignalLimits, std::vector<std::uint8_t>(8), 0},
                          {e::UpperLimit, std::vector<std::uint8_t>(8), 0},
                          {e::LinearizationMethod, std::vector<std::uint8_t>(1), 0},
                          {e::SegmentTable, std::vector<std::uint8_t>(404), 0}});
}

std::vector<QByteArray> PointFileCandidates(const MemoryImage& image)
{
    if (image.at(e::LinearizationMethod) != 2)
        return {};
    // The write repeats the last segment into the unused records.
    std::vector<Knot> knots;
    for (int k = 0; k < e::SegmentCount; ++k) {
        const int at = e::SegmentRecord(k);
        if (k > 0 && image.bytes(static_cast<e::Address>(at), e::SegmentRecordLength) ==
                         image.bytes(static_cast<e::Address>(at - e::SegmentRecordLength),
                                     e::SegmentRecordLength))
            break;
        knots.push_back({floatAt(image, at), floatAt(image, at + 16), floatAt(image, at + 12)});
    }
    const Knot& last = knots.back();
    const double lower = floatAt(image, e::LowerLimit);
    const double upper = floatAt(image, e::UpperLimit);

    // Where the last point may lie: its input first, the output follows from the last slope.
    std::vector<double> ends;
    if (knots.size() == static_cast<std::size_t>(e::SegmentCount)) {
        const float end =
            floatAt(image, e::SegmentTable + e::SegmentCount * e::SegmentRecordLength);
        if (end != last.x)
            ends.push_back(end);
    }
    // The file's straight line (input from output) gave the signal limits: the lower one lies a
    // tenth of the span d below the start's signal, the upper a third above the end's.
    const double signalLow = floatAt(image, e::LowerSignalLimit);
    const double signalHigh = floatAt(image, e::LowerSignalLimit + 4);
    for (const bool rising : {true, false}) {
        const double d = (rising ? 1 : -1) * (signalHigh - signalLow) * 30 / 43;
        const double s0 = rising ? signalLow + d / 10 : signalLow - d / 3 - d;
        const double k = d / (upper - lower);
        // The line passes the first point (x = k·y + q); where it meets the last segment.
        const double q = knots.front().x - k * knots.front().y;
        const double denominator = 1 - k * last.slope;
        if (std::fabs(denominator) > 1e-9 && std::isfinite(s0)) {
            const double x = (k * (last.y - last.slope * last.x) + q) / denominator;
            if (std::isfinite(x) && x > last.x)
                ends.push_back(x);
        }
    }
    for (const double y : {upper, lower})
        if (last.slope != 0)
            ends.push_back(last.x + (y - last.y) / last.slope);

    QByteArray known;
    for (const Knot& knot : knots)
        known += QByteArray::fromStdString(shortest(knot.x) + ' ' + shortest(knot.y) + "\r\n");
    std::vector<std::pair<int, QByteArray>> ranked;
    for (const double x : ends) {
        if (!(x > last.x) || !std::isfinite(x))
            continue;
        // The previous point as the file will give it to the write.
        const double lastX = number(shortest(last.x));
        const double lastY = number(shortest(last.y));
        for (int xDigits = 1; xDigits <= 9; ++xDigits) {
            const std::string xText = rounded(x, xDigits);
            const double xn = number(xText);
            if (!(xn > lastX))
                continue;
            const double yExact = lastY + double(last.slope) * (xn - lastX);
            for (int yDigits = 1; yDigits <= 9; ++yDigits) {
                const std::string yText = rounded(yExact, yDigits);
                // The write's slope of the last segment must come out as the stored one.
                const double slope = (number(yText) - lastY) / (xn - lastX);
                if (static_cast<float>(slope) != last.slope)
                    continue;
                ranked.push_back({xDigits + yDigits,
                                  known + QByteArray::fromStdString(xText + ' ' + yText) + "\r\n"});
                break;
            }
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<QByteArray> texts;
    for (auto& [digits, text] : ranked)
        if (std::find(texts.begin(), texts.end(), text) == texts.end())
            texts.push_back(std::move(text));
    return texts;
}

QString PointFileNameFor(const QString& configurationPath)
{
    const QFileInfo info(configurationPath);
    const QString base = info.suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0
                             ? configurationPath.chopped(4)
                             : configurationPath;
    return base + QStringLiteral(".body.txt");
}

} // namespace vtr8
