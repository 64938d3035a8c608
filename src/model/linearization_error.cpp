#include "model/linearization_error.h"

#include "device/device_float.h"

#include "configuration/number_format.h"
#include "device/choice_texts.h"
#include "device/input_type.h"
#include "device/segment_table.h"
#include "linearization/polynomial_fit.h"
#include "linearization/spline.h"
#include "linearization/workspace.h"
#include "model/main_window_model.h"
#include "model/point_file.h"
#include "rules/range_limits.h"
#include "transfer/csv_cell.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>

namespace vtr8 {
namespace {

constexpr int SensorPolynomialDegree = 4;

// The transmitter holds every coefficient as a 32-bit float.
Extended stored(Extended v)
{
    return static_cast<Extended>(static_cast<float>(v));
}

struct Polynomial {
    int degree = 0;
    std::array<Extended, 21> c{}; // [k] multiplies u^k, already as stored
    Extended operator()(Extended u) const
    {
        Extended sum = 0;
        for (int k = degree; k >= 0; --k)
            sum = sum * u + c[static_cast<std::size_t>(k)];
        return sum;
    }
};

Polynomial storedPolynomial(const LinearizationWorkspace& ws, int degree)
{
    Polynomial p;
    p.degree = degree;
    for (int k = 0; k <= degree; ++k)
        p.c[static_cast<std::size_t>(k)] = stored(
            ws.FitCoefficients[static_cast<std::size_t>(degree)][static_cast<std::size_t>(k)]);
    return p;
}

SegmentTable storedTable(SegmentTable t)
{
    for (SegmentRecord& r : t.records)
        for (Extended* v : {&r.x0, &r.c3, &r.c2, &r.c1, &r.c0})
            *v = stored(*v);
    t.endAbscissa = stored(t.endAbscissa);
    return t;
}

using Transfer = std::function<Extended(Extended input)>;

// Samples `transmitter` against `reference` over lo..hi.
ErrorCurve sampleCurve(const QString& name, bool chosen, Extended lo, Extended hi, int intervals,
                       const Transfer& reference, const Transfer& transmitter)
{
    ErrorCurve curve;
    curve.name = name;
    curve.chosen = chosen;
    const int n = std::max(1, intervals);
    curve.samples.reserve(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i <= n; ++i) {
        const Extended x = i == n ? hi : lo + (hi - lo) * i / n;
        ErrorSample s;
        s.input = x;
        s.reference = reference(x);
        s.value = transmitter(x);
        s.error = s.value - s.reference;
        if (i == 0 || std::fabs(s.error) > std::fabs(curve.largestError)) {
            curve.largestError = s.error;
            curve.largestAt = x;
        }
        curve.samples.push_back(s);
    }
    return curve;
}

QString polynomialName(int degree)
{
    return QStringLiteral("polynom %1. stupně").arg(degree);
}

void sensorCurves(const LinearizationErrorRequest& r, LinearizationErrorReport& report,
                  LinearizationWorkspace& ws)
{
    const Extended lo = r.rangeStart;
    const Extended hi = r.rangeEnd;
    ws.CharacteristicIndex = r.sensor;
    ws.Source = FitSource::FromCharacteristic;
    ws.RangeStart = lo;
    ws.RangeEnd = hi;
    ws.Step = std::fabs(hi - lo) / 100;
    const Transfer identity = [](Extended t) { return t; };
    auto signal = [&ws, &r](Extended t) { return EvaluateCharacteristic(ws, r.sensor, t); };

    auto addSpline = [&](bool chosen) {
        SplineApproximation(ws);
        SegmentTable table;
        if (ws.LinearizationError || !BuildSegmentTable(ws.Spline, table))
            return false;
        table = storedTable(table);
        report.curves.push_back(
            sampleCurve(QStringLiteral("spline (%1 úseků)").arg(ws.Spline.IntervalCount), chosen,
                        lo, hi, r.intervals, identity,
                        [&](Extended t) { return EvaluateSegmentTable(table, signal(t)); }));
        return true;
    };
    auto addPolynomial = [&](bool chosen) {
        ws.Degree = SensorPolynomialDegree;
        PolynomialFit(ws);
        if (ws.LinearizationError)
            return false;
        const Polynomial p = storedPolynomial(ws, SensorPolynomialDegree);
        report.curves.push_back(sampleCurve(polynomialName(SensorPolynomialDegree), chosen, lo, hi,
                                            r.intervals, identity,
                                            [&](Extended t) { return p(signal(t)); }));
        return true;
    };
    if (r.oldFirmware) {
        report.ok = addPolynomial(true);
        return;
    }
    report.ok = addSpline(true);
    if (report.ok)
        addPolynomial(false);
}

void pointFileCurves(const LinearizationErrorRequest& r, LinearizationErrorReport& report,
                     LinearizationWorkspace& ws)
{
    const LinearizationPoints& p = *r.points;
    const int n = p.PointCount;
    std::vector<std::pair<Extended, Extended>> line;
    for (int i = 1; i <= n; ++i)
        line.emplace_back(p.MeasuredInput[static_cast<std::size_t>(i)],
                          p.RequiredOutput[static_cast<std::size_t>(i)]);
    std::stable_sort(line.begin(), line.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    const Extended lo = line.front().first;
    const Extended hi = line.back().first;
    // The point-file line: straight between neighbouring points.
    const Transfer reference = [&line](Extended x) {
        std::size_t k = 1;
        while (k + 1 < line.size() && line[k].first < x)
            ++k;
        const auto& [x0, y0] = line[k - 1];
        const auto& [x1, y1] = line[k];
        return x1 == x0 ? y0 : y0 + (y1 - y0) * (x - x0) / (x1 - x0);
    };

    auto addPolynomial = [&](bool chosen) {
        ws.Degree = filePolynomialDegree(r.pointDegree, *r.points);
        ws.CharacteristicIndex = Characteristic::LinearFromFile;
        ws.Source = FitSource::FromTable;
        ws.RangeStart = r.rangeStart;
        ws.RangeEnd = r.rangeEnd;
        ws.Step = std::fabs(r.rangeEnd - r.rangeStart) / 100;
        PolynomialFit(ws);
        if (ws.LinearizationError)
            return false;
        const Polynomial poly = storedPolynomial(ws, ws.Degree);
        report.curves.push_back(
            sampleCurve(polynomialName(ws.Degree), chosen, lo, hi, r.intervals, reference, poly));
        return true;
    };
    auto addSegments = [&](bool chosen) {
        const PointSegments segments = PointFileSegmentTable(p);
        if (!segments.ok)
            return false;
        const SegmentTable table = storedTable(segments.table);
        report.curves.push_back(
            sampleCurve(QStringLiteral("lineární úseky"), chosen, lo, hi, r.intervals, reference,
                        [&table](Extended x) { return EvaluateSegmentTable(table, x); }));
        return true;
    };
    const bool polynomialChosen = r.pointMethod == PointFitMethod::Polynomial || r.oldFirmware;
    report.ok = polynomialChosen ? addPolynomial(true) : addSegments(true);
    if (report.ok && !r.oldFirmware)
        polynomialChosen ? addSegments(false) : addPolynomial(false);
}

QString measuredUnit(InputType type)
{
    if (type == InputType::Special0to10V)
        return choice::Volt;
    if (isSpecialInput(type))
        return choice::Milliampere;
    // Any non-zero divider and shunt: only the unit is wanted.
    const auto limits = rangeLimits(type, 1, 1);
    return limits ? limits->unit : QString();
}

} // namespace

LinearizationErrorReport ComputeLinearizationError(const LinearizationErrorRequest& r)
{
    LinearizationErrorReport report;
    report.unit = r.unit;
    LinearizationPoints none;
    QStringList messages;
    LinearizationWorkspace ws(r.points ? *r.points : none, [&messages](const std::string& text) {
        messages << QString::fromStdString(text);
    });
    ws.DecimalSeparator = localeDecimalSeparator().toLatin1();
    if (r.linearization == Linearization::FromFile) {
        if (!r.points || r.points->PointCount < 2) {
            report.message = QStringLiteral("Linearizační soubor nemá aspoň dva body.");
            return report;
        }
        report.inputUnit = r.inputUnit;
        pointFileCurves(r, report, ws);
        // A point beyond the transmitter's float gives coefficients a write refuses to store,
        // and an error that is no number.
        const bool storable =
            std::all_of(report.curves.begin(), report.curves.end(), [](const ErrorCurve& c) {
                return std::isfinite(c.largestError) && FitsDeviceFloat(c.largestError);
            });
        if (report.ok && !storable) {
            report.ok = false;
            report.curves.clear();
            messages = QStringList{QStringLiteral(
                "Koeficienty linearizace jsou mimo rozsah čísel převodníku, chybu linearizace "
                "nelze spočítat.")};
        }
    } else {
        report.inputUnit = r.unit;
        if (!(r.rangeStart < r.rangeEnd)) {
            report.message = QStringLiteral("Rozsah měření nemá kladnou šířku.");
            return report;
        }
        sensorCurves(r, report, ws);
    }
    if (!report.ok && messages.isEmpty())
        messages << QStringLiteral("Linearizaci nelze spočítat.");
    report.message = messages.join(QLatin1Char('\n'));
    return report;
}

std::optional<LinearizationErrorRequest>
LinearizationErrorRequestFor(const MainWindowModel& m, const LinearizationPoints& points,
                             bool oldFirmware, QString& why)
{
    LinearizationErrorRequest r;
    const auto linearization = linearizationFromText(m.Linearizace.text);
    const std::optional<InputType> input = m.Input;
    r.rangeStart = std::min(m.RangeStart, m.RangeEnd);
    r.rangeEnd = std::max(m.RangeStart, m.RangeEnd);
    r.oldFirmware = oldFirmware;
    r.unit = m.UnitText;
    if (linearization == Linearization::Linearized && input) {
        const auto sensor = sensorCharacteristic(*input);
        if (sensor) {
            r.linearization = Linearization::Linearized;
            r.sensor = *sensor;
            return r;
        }
    }
    if (linearization == Linearization::FromFile && m.PointFileChosen && points.PointCount >= 2) {
        r.linearization = Linearization::FromFile;
        r.points = &points;
        // The points map what the input type measures to the chosen unit.
        if (input)
            r.inputUnit = measuredUnit(*input);
        // The output range of "ze souboru" is that of the first and the last point.
        const Extended first = points.RequiredOutput[1];
        const Extended last = points.RequiredOutput[static_cast<std::size_t>(points.PointCount)];
        r.rangeStart = std::min(first, last);
        r.rangeEnd = std::max(first, last);
        r.pointMethod = points.Method;
        r.pointDegree = points.PolynomialDegree;
        return r;
    }
    why = QStringLiteral("Chybu linearizace lze zobrazit pro čidlo s volbou „linearizováno“ "
                         "nebo pro „ze souboru“ s načteným linearizačním souborem.");
    return std::nullopt;
}

QByteArray LinearizationErrorCsv(const ErrorCurve& curve)
{
    QByteArray out("input,reference,value,error\n");
    auto number = [&out](Extended v) {
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(v),
                                          std::chars_format::general, 10);
        // "-inf" or "nan" would be taken for a formula or a name.
        out += csvCell(QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer)))
                   .toLatin1();
    };
    for (const ErrorSample& s : curve.samples) {
        number(s.input);
        out += ',';
        number(s.reference);
        out += ',';
        number(s.value);
        out += ',';
        number(s.error);
        out += '\n';
    }
    return out;
}

} // namespace vtr8
