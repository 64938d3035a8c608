#pragma once

#include "history/history_record.h"

#include <QList>

#include <functional>
#include <optional>
#include <vector>

namespace vtr8 {

struct TransferContext;

// Readings at reference inputs: reads the configuration, then for each share
// of the range (per cent) asks the person to set that input on the calibrator
// and takes one reading. `taken` hears each reading with the range unit. The
// readings taken, or nullopt when the configuration could not be read or had
// no usable range; a No or a failed reading ends the check with those taken.
struct ReferenceCheck {
    bool completed = false;
    QString unit;
    std::vector<CheckReading> readings;
};
std::optional<ReferenceCheck>
runReferenceCheck(TransferContext& ctx, const QList<double>& percents,
                  const std::function<void(const CheckReading&, const QString& unit)>& taken = {});

// "vstup 50.000 °C: údaj 50.020 °C, odchylka 0.020 °C (0.010 % rozpětí)"
QString checkReadingText(const CheckReading& reading, const QString& unit);

// "0,50,100" into per cent values -10..110; nullopt for anything else.
std::optional<QList<double>> parseCheckPoints(const QString& text);

} // namespace vtr8
