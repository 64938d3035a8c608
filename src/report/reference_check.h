#pragma once

#include "history/history_record.h"

#include <QList>

#include <functional>
#include <optional>
#include <vector>

namespace vtr8 {

struct EditorTransferContext;

// Readings at reference inputs: reads the configuration, then for each share
// of the range (per cent) asks the person to set that input on the calibrator
// and takes one reading. `taken` hears each reading with the range unit. The
// readings taken, or nullopt when the configuration could not be read or had
// no usable range; a No or a failed reading ends the check with those taken. The
// configuration is read into a value of the check's own, never into the editor.
struct ReferenceCheck {
    bool completed = false;
    QString unit;
    std::vector<CheckReading> readings;
    // What was read from the transmitter: its configuration as its file would hold it, and its
    // note. The editor is left as it was.
    QByteArray configuration;
    QString note;
};
std::optional<ReferenceCheck>
runReferenceCheck(EditorTransferContext& ctx, const QList<double>& percents,
                  const std::function<void(const CheckReading&, const QString& unit)>& taken = {});

// "vstup 50.000 °C: údaj 50.020 °C, odchylka 0.020 °C (0.010 % rozpětí)"
QString checkReadingText(const CheckReading& reading, const QString& unit);

// "0,50,100" into per cent values -10..110; nullopt for anything else.
std::optional<QList<double>> parseCheckPoints(const QString& text);

} // namespace vtr8
