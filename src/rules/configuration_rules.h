#pragma once

#include "configuration/configuration.h"
#include "rules/range_limits.h"
#include "rules/refusal.h"

#include <optional>

namespace vtr8 {

// The required outputs of the first and the last point of a "ze souboru" point set: the
// interval its range limits must lie in (falling when the outputs fall).
struct PointSetInterval {
    Extended first = 0;
    Extended last = 0;
};

// Where the range limits of `c` must lie: the point set's interval for "ze souboru" (in the
// configuration's unit), else the input type's table; nullopt where nothing is checked.
std::optional<RangeLimits> AllowedRange(const Configuration& c,
                                        std::optional<PointSetInterval> pointSet);

// The checks of a range limit whose text is a number, in the order they are shown: a current
// input without a shunt value (then nothing else), the transmitter's float, the allowed
// interval, the minimum span. `side` is RuleField::Start or RuleField::End; an empty
// other limit takes no part.
Refusals RangeLimitRefusals(const Configuration& c, RuleField side,
                            std::optional<PointSetInterval> pointSet);

std::optional<Refusal> DampingRefusal(Extended seconds);
Refusals ShuntRefusals(Extended ohms);
std::optional<Refusal> DividerRefusal(Extended ratio);
std::optional<Refusal> ParasiticRefusal(Extended ohms);
// The total value's own range (relative potentiometer, difference of currents).
std::optional<Refusal> TotalValueRefusal(InputType input, Extended totalValue,
                                         Extended shuntResistance);

// Every refusal of a configuration as a write or a save takes it: the first empty required
// field (as the completeness check orders them), texts that are no number, then each field's
// own rules. Empty when the configuration may be written and saved. `pointSet` is the chosen
// point set of a "ze souboru" configuration (nullopt: none chosen).
Refusals CheckConfiguration(const Configuration& c, std::optional<PointSetInterval> pointSet);

} // namespace vtr8
