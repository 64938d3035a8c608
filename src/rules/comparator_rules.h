#pragma once

#include "rules/refusal.h"

#include <optional>

namespace vtr8 {

// The transmitter keeps each comparator delay in one byte of whole seconds: a delay is
// storable when it is not negative and rounds (ties to even) to at most 255.
inline constexpr int MaxComparatorDelaySeconds = 255;
bool ComparatorDelayStorable(Extended seconds);

// The measuring range a comparator's limits are compared with, as entered (a falling range
// has its start above its end).
struct MeasuringRange {
    Extended start = 0;
    Extended end = 0;
};

// The rules of a comparator limit as its field is left: outside the measuring range (between
// its smaller and its larger end; only a warning), then equal to the other limit. `field` is
// RuleField::ComparatorOnLimit or ComparatorOffLimit.
Refusals ComparatorLimitRefusals(int comparator, RuleField field, Extended limit,
                                 Extended otherLimit, const MeasuringRange& range);
// The rule of a typed delay (ComparatorOnDelay or ComparatorOffDelay).
std::optional<Refusal> ComparatorDelayRefusal(int comparator, RuleField field, Extended seconds);

// One comparator's four numbers as they are stored.
struct ComparatorNumbers {
    Extended switchOnLimit = 0;
    Extended switchOffLimit = 0;
    Extended switchOnDelay = 0;
    Extended switchOffDelay = 0;
};

// Every rule of a store, in the order a store tells them: the limits against the transmitter's
// float, equal limits, and (for an enabled comparator) the delays against a byte of seconds;
// with `range`, the limits outside it as warnings first.
Refusals CheckComparator(int comparator, const ComparatorNumbers& numbers, bool enabled,
                         std::optional<MeasuringRange> range);

} // namespace vtr8
