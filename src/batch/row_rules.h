#pragma once

#include "batch/instrument_list.h"

#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace vtr8 {

// What the editor's checks would say of a parsed configuration that no window has seen: the
// completeness check and the checks of the fields on leaving them, every one that fails (a
// list is corrected once, not message by message). `dampingText` is the damping as written,
// `pointsGiven` whether the row names a point file.
std::vector<RowProblem> rowRuleProblems(const Configuration& c, const QString& dampingText,
                                        bool pointsGiven);

// "0,50,100" (or with ';' or blanks between) as per cent of the range, each -10..110; nullopt
// for anything else.
std::optional<QList<double>> checkPercents(const QString& text);

} // namespace vtr8
