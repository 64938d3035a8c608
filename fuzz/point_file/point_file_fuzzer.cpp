// Arbitrary bytes as a point file: the reader must agree with an independent
// reading of the same text, and the point set and table window it fills must
// neither crash nor store anything unusable.
#include "linearization/point_set.h"
#include "model/main_window_model.h"
#include "model/point_file.h"
#include "model/table_window_model.h"
#include "user_interface/scripted_user_interface.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

using Outcome = vtr8::PointFileReading::Outcome;

// The point-file text read a second way: split into lines and tokens first,
// numbers by a regular expression and strtold. `unsure` when a number lies at
// the edge of the extended range, where the two conversions may round apart.
struct Independent {
    Outcome outcome = Outcome::Ok;
    std::vector<std::pair<long double, long double>> points;
    bool unsure = false;
};

Independent readIndependently(std::string_view text)
{
    static const std::regex number(R"([+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?)");
    Independent r;
    std::size_t i = 0;
    const auto separator = [&](std::size_t at) {
        return static_cast<unsigned char>(text[at]) <= ' ';
    };
    const auto nextToken = [&]() -> std::optional<std::string> {
        while (i < text.size() && separator(i))
            ++i;
        if (i == text.size())
            return std::nullopt;
        const std::size_t start = i;
        while (i < text.size() && !separator(i))
            ++i;
        return std::string(text.substr(start, i - start));
    };
    const auto value = [&](const std::optional<std::string>& token) -> std::optional<long double> {
        if (!token || token->size() > vtr8::MaxPointNumberLength ||
            !std::regex_match(*token, number))
            return std::nullopt;
        errno = 0;
        const long double v = std::strtold(token->c_str(), nullptr);
        if (errno == ERANGE || !std::isfinite(v) || (v != 0 && std::fabs(v) < 1e-4900L))
            r.unsure = true;
        return v;
    };
    for (;;) {
        const auto first = nextToken();
        if (!first)
            break;
        const auto x = value(first);
        const auto y = x ? value(nextToken()) : std::nullopt;
        if (!x || !y) {
            r.outcome = Outcome::BadValue;
            return r;
        }
        r.points.emplace_back(*x, *y);
        if (r.points.size() > 100) {
            r.outcome = Outcome::TooManyPoints;
            return r;
        }
        while (i < text.size() && text[i] != '\n' && text[i] != '\r')
            ++i;
        if (i < text.size() && text[i] == '\r')
            ++i;
        if (i < text.size() && text[i] == '\n')
            ++i;
    }
    // Usable end points: two or more points whose end values differ and give
    // finite lines both ways.
    bool usable = r.points.size() >= 2;
    if (usable) {
        const auto [x1, y1] = r.points.front();
        const auto [xn, yn] = r.points.back();
        const long double dx = xn - x1, dy = yn - y1;
        usable = dx != 0 && dy != 0 && std::isfinite(dx) && std::isfinite(dy);
        if (usable) {
            const long double s = dy / dx, t = dx / dy;
            usable = std::isfinite(s) && std::isfinite(t) && std::isfinite(y1 - s * x1) &&
                     std::isfinite(x1 - t * y1);
        }
    }
    if (!usable)
        r.outcome = Outcome::BadValue;
    return r;
}

void checkPointSet(const vtr8::LinearizationPoints& set)
{
    check(set.PointCount >= 0 && set.PointCount <= vtr8::LinearizationPoints::MaxPoints);
    if (!set.PointFileOk)
        return;
    check(set.PointCount >= 2);
    for (const vtr8::Extended v :
         {set.LineSlope, set.LineOffset, set.InverseSlope, set.InverseOffset})
        check(std::isfinite(v));
}

struct Scratch {
    Scratch()
    {
        static int argc = 1;
        static char name[] = "point_file_fuzzer";
        static char* argv[] = {name, nullptr};
        app = new QCoreApplication(argc, argv);
        path = dir.filePath(QStringLiteral("body.txt"));
    }
    QCoreApplication* app;
    QTemporaryDir dir;
    QString path;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Scratch scratch;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // The reader against the independent reading.
    const vtr8::PointFileReading reading = vtr8::parsePointText(text);
    const Independent expected = readIndependently(text);
    if (!expected.unsure) {
        check(reading.outcome == expected.outcome);
        if (reading.outcome != Outcome::BadValue) {
            check(reading.points.size() == expected.points.size());
            for (std::size_t k = 0; k < reading.points.size(); ++k) {
                check(reading.points[k].first == expected.points[k].first);
                check(reading.points[k].second == expected.points[k].second);
            }
        }
    }

    // The whole road: dialog, file, point set, grid, degree box, OK.
    {
        QFile file(scratch.path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(file.write(text.data(), static_cast<qint64>(size)) == static_cast<qint64>(size));
    }
    vtr8::ScriptedUserInterface ui;
    vtr8::LinearizationPoints points;
    vtr8::MainWindowModel model(ui, points);
    vtr8::TableWindowModel table(model);
    ui.openFileAnswers.push_back(scratch.path);
    table.vyber_souboru();
    checkPointSet(points);
    check(ui.messages.size() <= 1);
    check(table.shown == points.PointFileOk);
    check(points.PointFileOk == (reading.outcome == Outcome::Ok));
    for (int row = 1; row <= points.PointCount; ++row)
        check(!table.cell(0, row).isEmpty() && !table.cell(1, row).isEmpty());

    if (table.shown) {
        table.Zpus_linClick(size > 0 ? data[0] & 1 : 0);
        if (size > 1)
            table.stup_pChange(QString::fromLatin1(text.substr(size - 2).data(), 2));
        table.OKClick();
        checkPointSet(points);
    }
    return 0;
}
