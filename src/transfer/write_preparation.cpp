#include "transfer/write_preparation.h"

#include "configuration/number_format.h"
#include "device/choice_texts.h"
#include "device/device_float.h"
#include "device/memory_map.h"
#include "linearization/characteristic.h"
#include "linearization/polynomial_fit.h"
#include "linearization/spline.h"
#include "linearization/workspace.h"
#include "link/command_protocol.h"
#include "transfer/sequence_support.h"
#include "transfer/transfer_context.h"

#include <algorithm>
#include <cmath>

namespace vtr8 {
namespace {

constexpr int SensorPolynomialDegree = 4;

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

Extended largestMeasuredInput(const LinearizationPoints& points)
{
    Extended largest = 0;
    for (int i = 1; i <= std::min(points.PointCount, LinearizationPoints::Capacity); ++i)
        largest = std::max(largest, std::fabs(points.MeasuredInput[static_cast<std::size_t>(i)]));
    return largest;
}

SignalFunction characteristicOf(LinearizationWorkspace& ws)
{
    return [&ws](Characteristic c, Extended x) { return EvaluateCharacteristic(ws, c, x); };
}

// The linearization data, computed while nothing has been sent. False ends the write.
bool computeLinearizationData(TransferContext& ctx, PreparedWrite& w, Extended lo, Extended hi)
{
    LinearizationWorkspace& ws = ctx.workspace;
    // The fits need a rising interval; the direction of the range is told by byte 113.
    ws.RangeStart = lo;
    ws.RangeEnd = hi;
    ws.Step = std::fabs(hi - lo) / 100;
    ws.ReportDeviation = w.linearization == Linearization::FromFile;

    switch (w.linearization) {
    case Linearization::Linearized:
        ws.CharacteristicIndex = w.characteristics.linearizationCharacteristic;
        ws.Source = FitSource::FromCharacteristic;
        if (w.oldFirmware) {
            ws.Degree = SensorPolynomialDegree;
            PolynomialFit(ws);
            if (ws.LinearizationError)
                return false;
            w.data = LinearizationData::Polynomial;
            w.polynomialDegree = SensorPolynomialDegree;
            w.polynomial = ws.FitCoefficients[SensorPolynomialDegree];
            w.method = LinearizationMethod::Polynomial;
            return true;
        }
        SplineApproximation(ws);
        if (ws.LinearizationError)
            return false;
        if (!BuildSegmentTable(ws.Spline, w.segments)) {
            ctx.ui.message(BadIntervalCountText());
            return false;
        }
        w.data = LinearizationData::Segments;
        w.method = LinearizationMethod::SegmentTable;
        return true;

    case Linearization::FromFile:
        if (w.pointMethod == PointFitMethod::Polynomial) {
            ws.Degree = filePolynomialDegree(ctx.points.PolynomialDegree, ctx.points);
            ws.CharacteristicIndex = Characteristic::LinearFromFile;
            ws.Source = FitSource::FromTable;
            PolynomialFit(ws);
            if (ws.LinearizationError)
                return false;
            w.data = LinearizationData::Polynomial;
            w.polynomialDegree = ws.Degree;
            w.polynomial = ws.FitCoefficients[static_cast<std::size_t>(ws.Degree)];
            w.method = LinearizationMethod::Polynomial;
            return true;
        } else {
            const PointSegments segments = PointFileSegmentTable(ctx.points);
            if (segments.nonMonotonicAt)
                ctx.ui.message(NonMonotonicText(formatGeneral(*segments.nonMonotonicAt, 10)));
            if (!segments.ok) {
                ctx.ui.message(PointSegmentsFailureText());
                return false;
            }
            w.data = LinearizationData::Segments;
            w.segments = segments.table;
            w.method = LinearizationMethod::SegmentTable;
            return true;
        }

    case Linearization::SquareRoot:
        // The law itself goes to the segment table, never a table some earlier write left.
        // A polynomial-only transmitter has no such table, and no polynomial follows the root
        // near the start of the range: the write is refused rather than stored without its law.
        if (w.oldFirmware) {
            ctx.ui.message(SquareRootOnOldFirmwareText());
            return false;
        }
        w.data = LinearizationData::Segments;
        w.segments = SquareRootSegmentTable(lo, hi);
        w.method = LinearizationMethod::SegmentTable;
        return true;

    case Linearization::NotLinearized:
        w.method = LinearizationMethod::None;
        return true;
    }
    return false;
}

// Every number of the linearization data must survive the transmitter's float format; a fit
// that overflowed it would otherwise be stored as some other number.
bool linearizationStorable(const PreparedWrite& w)
{
    switch (w.data) {
    case LinearizationData::Polynomial:
        for (int k = 0; k <= w.polynomialDegree; ++k)
            if (!FitsDeviceFloat(w.polynomial[static_cast<std::size_t>(k)]))
                return false;
        return true;
    case LinearizationData::Segments:
        for (const SegmentRecord& r : w.segments.records)
            for (Extended v : {r.x0, r.c3, r.c2, r.c1, r.c0})
                if (!FitsDeviceFloat(v))
                    return false;
        return FitsDeviceFloat(w.segments.endAbscissa);
    case LinearizationData::None:
        break;
    }
    return true;
}

bool computeLinearization(TransferContext& ctx, PreparedWrite& w, Extended lo, Extended hi)
{
    if (!computeLinearizationData(ctx, w, lo, hi))
        return false;
    if (linearizationStorable(w))
        return true;
    ctx.ui.message(QString::fromUtf8("Koeficienty linearizace jsou mimo rozsah čísel převodníku, "
                                     "konfiguraci nelze zapsat."));
    return false;
}

void rememberDerivedValues(TransferState& state, const PreparedWrite& w)
{
    state.LinearizationCharacteristic =
        static_cast<std::uint8_t>(w.characteristics.linearizationCharacteristic);
    state.RangeCharacteristic = static_cast<std::uint8_t>(w.characteristics.rangeCharacteristic);
    state.LinearizationCode = static_cast<std::uint8_t>(w.characteristics.code);
    state.FrontEndMode = w.frontEnd.mode;
    state.FrontEndModeFound = w.frontEnd.status == FrontEndStatus::Found;
    state.InputSignalMax = w.frontEnd.inputSignalMax;
    state.RangeUnitCode = w.rangeUnit.rangeUnitCode;
    state.RangeMin = w.rangeMin;
    state.RangeMax = w.rangeMax;
    state.RangeFalling = w.rangeFalling;
}

} // namespace

std::optional<PreparedWrite> ComputeWrite(TransferContext& ctx, const Configuration& c)
{
    UserInterface& ui = ctx.ui;
    LinearizationWorkspace& ws = ctx.workspace;
    PreparedWrite w;
    w.configuration = c;

    if (!(c.damping.value >= 0.1L && c.damping.value <= 100)) {
        ui.message(text("Povolená mez pro konstantu tlumení je 0.1 až 100 s"));
        return std::nullopt;
    }
    if (!c.linearization) {
        ui.message(text("Není zadán způsob linearizace"));
        return std::nullopt;
    }
    w.input = c.input;
    w.linearization = *c.linearization;
    w.pointMethod = ctx.points.Method;

    const Extended start = c.rangeStart.value;
    const Extended end = c.rangeEnd.value;
    const Extended lo = std::min(start, end);
    const Extended hi = std::max(start, end);
    w.rangeMin = lo;
    w.rangeMax = hi;
    w.rangeFalling = start >= end;

    const auto characteristics = ChooseCharacteristics(w.input, w.linearization, false);
    if (!characteristics) {
        ui.message(UnsupportedLinearizationText(w.input, w.linearization));
        return std::nullopt;
    }
    w.characteristics = *characteristics;
    w.connection = c.connection;
    w.errorCurrent = c.errorCurrent;

    FrontEndRequest request;
    request.input = w.input;
    request.connection = w.connection;
    request.coldJunction = c.coldJunction;
    request.rangeStart = start;
    request.rangeEnd = end;
    request.dividerRatio = c.dividerRatio.value;
    request.shuntResistance = c.shuntResistance.value;
    request.totalValue = c.totalValue.value;
    request.fromFile = w.linearization == Linearization::FromFile;
    request.fileInputMax = largestMeasuredInput(ctx.points);
    request.signal = characteristicOf(ws);
    w.frontEnd = SelectFrontEndMode(request);
    ctx.state.FrontEndModeFound = w.frontEnd.status == FrontEndStatus::Found;
    if (w.frontEnd.status != FrontEndStatus::Found) {
        ui.message(FrontEndRefusalText(w.frontEnd.status));
        return std::nullopt;
    }

    w.rangeUnit = ChooseRangeUnit(w.input, w.linearization, c.unitCode);
    if (w.rangeUnit.convertThroughSensor) {
        ws.CharacteristicIndex = *sensorCharacteristic(w.input);
        w.limits = zadHodPrepoc([&ws](float x) { return ZPPrepoc(ws, x); }, w.rangeMin, w.rangeMax,
                                start, end);
    } else {
        w.limits = zadHodPuvodni(w.rangeMin, w.rangeMax, start, end);
    }
    // The output gain divides by the span: a range without one cannot be scaled.
    if (!(static_cast<float>(w.rangeMax) > static_cast<float>(w.rangeMin))) {
        ui.message(text("Počátek a konec rozsahu se musí lišit."));
        return std::nullopt;
    }
    // A current "ze souboru" is measured in the file's input unit (mA), not the range's.
    const bool currentFromFile = w.input == InputType::Current && request.fromFile;
    w.inputScaleFactor =
        InputScaleFactor(w.input, currentFromFile ? request.fileInputMax : start,
                         currentFromFile ? request.fileInputMax : end, w.frontEnd.inputSignalMax,
                         c.totalValue.value, c.dividerRatio.value);
    if (w.inputScaleFactor && (!std::isfinite(*w.inputScaleFactor) || *w.inputScaleFactor == 0)) {
        ui.message(text("Převodní konstantu vstupu nelze z daných hodnot vypočítat."));
        return std::nullopt;
    }

    if (!ReadBlock(ctx.link, eeprom::DeviceTypeBytes, eeprom::DeviceTypeBytesLength))
        return std::nullopt;
    if (ReplyDataByte(ctx.link, 0) != eeprom::DeviceTypeFirst ||
        ReplyDataByte(ctx.link, 1) != eeprom::DeviceTypeSecond) {
        ui.message(text("Typ převodníku není VTR8."));
        return std::nullopt;
    }
    if (!ReadBlock(ctx.link, eeprom::FirmwareNumber, eeprom::FirmwareNumberReadLength))
        return std::nullopt;
    w.firmware = ReplyDataByte(ctx.link, 0);
    w.oldFirmware = eeprom::IsOldFirmware(w.firmware);
    ctx.state.FirmwareNumber = w.firmware;
    ctx.state.OldFirmware = w.oldFirmware;
    if (ctx.feedback.firmwareShown)
        ctx.feedback.firmwareShown(eeprom::ShownFirmwareNumber(w.firmware));
    w.characteristics = *ChooseCharacteristics(w.input, w.linearization, w.oldFirmware);

    if (!computeLinearization(ctx, w, lo, hi))
        return std::nullopt;
    rememberDerivedValues(ctx.state, w);
    return w;
}

QString SquareRootOnOldFirmwareText()
{
    return text("Převodník se starým firmware neumí linearizaci druhou odmocninou, "
                "konfiguraci nelze zapsat.");
}

std::optional<PreparedWrite> PrepareWrite(TransferContext& ctx, const Configuration& c)
{
    std::optional<PreparedWrite> w = ComputeWrite(ctx, c);
    if (!w)
        return std::nullopt;
    QString question = text("Opravdu se má zapsat konfigurace ?");
    if (ctx.feedback.writeTarget)
        question += ctx.feedback.writeTarget(eeprom::ShownFirmwareNumber(w->firmware));
    if (!ctx.ui.confirm(question))
        return std::nullopt;
    return w;
}

} // namespace vtr8
