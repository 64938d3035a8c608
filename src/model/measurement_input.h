#pragma once

#include "transfer/measurement_model.h"

#include <QList>
#include <QString>

#include <optional>

namespace vtr8 {

class MainWindowModel;

// The measurement's input choice taken from the main window's Vstup and Linearizace at
// each reading.
MeasurementModel::InputChoiceSource editorInputChoice(const MainWindowModel& mainWindow);

// The reference points of "Kontrola měřením", in % of the range (-10 to 110), as typed with
// the locale's decimal separator: with a comma ("12,5") the points are separated by ';' or
// spaces, with a point by ',', ';' or spaces. nullopt for anything else or no point at all.
std::optional<QList<double>> parseCheckPointsText(const QString& text, QChar decimalSeparator);
// The question's text and its first answer for that separator.
QString checkPointsPrompt(QChar decimalSeparator);
QString checkPointsDefault(QChar decimalSeparator);

} // namespace vtr8
