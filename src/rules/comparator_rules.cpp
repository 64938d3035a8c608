#include "rules/comparator_rules.h"

#include "configuration/number_format.h"
#include "device/device_float.h"

#include <algorithm>

namespace vtr8 {

bool ComparatorDelayStorable(Extended seconds)
{
    // A negative delay is refused even where it would round to 0 s: what was typed is no delay.
    return seconds >= 0 && roundHalfEven(seconds) <= MaxComparatorDelaySeconds;
}

Refusals ComparatorLimitRefusals(int comparator, RuleField field, Extended limit,
                                 Extended otherLimit, const MeasuringRange& range)
{
    Refusals out;
    // A falling range is compared between its ends all the same.
    const Extended low = std::min(range.start, range.end);
    const Extended high = std::max(range.start, range.end);
    if (limit < low || limit > high) {
        out.push_back({.rule = Rule::ComparatorOutsideRange,
                       .field = field,
                       .value = limit,
                       .low = low,
                       .high = high,
                       .comparator = comparator});
    }
    if (limit == otherLimit) {
        out.push_back({.rule = Rule::ComparatorEqualLimits,
                       .field = field,
                       .value = limit,
                       .comparator = comparator});
    }
    return out;
}

std::optional<Refusal> ComparatorDelayRefusal(int comparator, RuleField field, Extended seconds)
{
    if (ComparatorDelayStorable(seconds))
        return std::nullopt;
    return Refusal{.rule = Rule::ComparatorDelayOutOfRange,
                   .field = field,
                   .value = seconds,
                   .low = 0,
                   .high = MaxComparatorDelaySeconds,
                   .comparator = comparator};
}

Refusals CheckComparator(int comparator, const ComparatorNumbers& n, bool enabled,
                         std::optional<MeasuringRange> range)
{
    Refusals out;
    using F = RuleField;
    if (range) {
        for (const auto& [field, limit] : {std::pair{F::ComparatorOnLimit, n.switchOnLimit},
                                           std::pair{F::ComparatorOffLimit, n.switchOffLimit}}) {
            for (const Refusal& r :
                 ComparatorLimitRefusals(comparator, field, limit, limit, *range))
                if (r.rule == Rule::ComparatorOutsideRange)
                    out.push_back(r);
        }
    }
    for (const auto& [field, limit] : {std::pair{F::ComparatorOnLimit, n.switchOnLimit},
                                       std::pair{F::ComparatorOffLimit, n.switchOffLimit}}) {
        if (!FitsDeviceFloat(limit)) {
            out.push_back({.rule = Rule::BeyondDeviceFloat,
                           .field = field,
                           .value = limit,
                           .comparator = comparator});
        }
    }
    if (n.switchOnLimit == n.switchOffLimit) {
        out.push_back({.rule = Rule::ComparatorEqualLimits,
                       .field = F::ComparatorOnLimit,
                       .value = n.switchOnLimit,
                       .comparator = comparator});
    }
    if (enabled) {
        for (const auto& [field, delay] : {std::pair{F::ComparatorOnDelay, n.switchOnDelay},
                                           std::pair{F::ComparatorOffDelay, n.switchOffDelay}}) {
            if (!ComparatorDelayStorable(delay)) {
                out.push_back({.rule = Rule::ComparatorDelayNotStorable,
                               .field = field,
                               .value = delay,
                               .low = 0,
                               .high = MaxComparatorDelaySeconds,
                               .comparator = comparator});
            }
        }
    }
    return out;
}

} // namespace vtr8
