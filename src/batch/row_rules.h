#pragma once

#include "batch/instrument_list.h"
#include "rules/refusal.h"

#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace vtr8 {

// What the configuration's rules say of a parsed row, as a write takes it: the first missing
// value, then every refused one; warnings are no problems. Besides them, a connection the input
// does not have and "ze souboru", whose point file this layer does not read. `pointsGiven`:
// the row names a point file.
std::vector<RowProblem> rowRuleProblems(const Configuration& c, bool pointsGiven);

// The list's column of a rule's field (a comparator's fields have their own columns).
QString ruleFieldColumn(RuleField field, InputType input);

// "0,50,100" (or with ';' or blanks between) as per cent of the range, each -10..110; nullopt
// for anything else.
std::optional<QList<double>> checkPercents(const QString& text);

} // namespace vtr8
