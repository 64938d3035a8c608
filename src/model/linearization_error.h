#pragma once

#include "device/codes.h"
#include "linearization/characteristic.h"
#include "linearization/extended.h"
#include "linearization/point_set.h"

#include <QString>

#include <optional>
#include <vector>

namespace vtr8 {

class MainWindowModel;

// What the transmitter will make of the linearization a write would store: the configuration
// part that decides it. Sensors are sampled over the range in °C; a point file over its inputs.
struct LinearizationErrorRequest {
    Linearization linearization = Linearization::Linearized; // Linearized or FromFile
    Characteristic sensor = Characteristic::Pt100;           // Linearized only
    Extended rangeStart = 0;                                 // smaller and larger range limit
    Extended rangeEnd = 100;
    bool oldFirmware = false;
    const LinearizationPoints* points = nullptr; // FromFile only
    PointFitMethod pointMethod = PointFitMethod::Polynomial;
    int pointDegree = 6;
    QString unit;         // the range unit, for captions
    QString inputUnit;    // the unit of a point file's inputs: what the input type measures
    int intervals = 2000; // samples - 1 over the input range
};

struct ErrorSample {
    Extended input = 0;     // °C for a sensor, the measured input for a point file
    Extended reference = 0; // what should come out
    Extended value = 0;     // what the transmitter computes from the stored floats
    Extended error = 0;     // value - reference
};

// One method of linearization and its error over the range.
struct ErrorCurve {
    QString name;        // "spline (20 úseků)", "polynom 4. stupně", "lineární úseky"
    bool chosen = false; // the method the write would store
    std::vector<ErrorSample> samples;
    Extended largestError = 0; // signed; the largest in magnitude
    Extended largestAt = 0;    // its input
};

struct LinearizationErrorReport {
    bool ok = false;
    QString message; // why nothing could be computed, or the messages of a method that failed
    QString inputUnit;
    QString unit;
    std::vector<ErrorCurve> curves; // the chosen method first
};

// Computes the chosen method and the others the firmware allows (the old firmware knows only
// the polynomial), with every coefficient rounded to the transmitter's float.
LinearizationErrorReport ComputeLinearizationError(const LinearizationErrorRequest& request);

// The request for the main window's configuration; nullopt with `why` when its linearization
// is neither "linearizováno" on a sensor nor "ze souboru" with a loaded point file.
std::optional<LinearizationErrorRequest>
LinearizationErrorRequestFor(const MainWindowModel& model, const LinearizationPoints& points,
                             bool oldFirmware, QString& why);

// "input,reference,value,error" and one line per sample, C locale.
QByteArray LinearizationErrorCsv(const ErrorCurve& curve);

} // namespace vtr8
