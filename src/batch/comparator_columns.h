#pragma once

#include "batch/instrument_list.h"
#include "transfer/comparator_transfer.h"

#include <QHash>
#include <QStringList>

#include <array>
#include <optional>

namespace vtr8 {

// The columns of comparator 1 and 2: "komparátor 1 sepnutí", "komparátor 1 rozepnutí",
// "komparátor 1 zpoždění sepnutí", "komparátor 1 zpoždění rozepnutí", "komparátor 1 režim".
QStringList comparatorColumns();

// The comparators a row sets, from its comparator columns (taken out of `values`): a comparator
// whose five columns are all empty is left as the transmitter has it; one with any of them is
// switched on with all five, checked as the comparator's fields are against the row's range.
std::array<std::optional<ComparatorSettings>, 2> takeComparators(QHash<QString, QString>& values,
                                                                 const Configuration* configuration,
                                                                 std::vector<RowProblem>& problems);

} // namespace vtr8
