#pragma once

#include "device/input_type.h"
#include "linearization/extended.h"

#include <QString>

#include <optional>
#include <vector>

namespace vtr8 {

// The value a rule looks at: a field of the configuration or of a limit comparator.
enum class RuleField {
    Start,
    End,
    Damping,
    ErrorCurrent,
    Connection,
    ColdJunction,
    Linearization,
    PointFile,
    Unit,
    Shunt,
    Divider,
    Parasitic,
    TotalValue,
    ComparatorOnLimit,
    ComparatorOffLimit,
    ComparatorOnDelay,
    ComparatorOffDelay,
};

// Why a value does not stand.
enum class Rule {
    Missing,           // the field is empty
    NotANumber,        // its text is no number
    NotAChoice,        // its text is none of the list's items
    BeyondDeviceFloat, // the transmitter's 32-bit float cannot carry it
    OutsideInterval,   // a range limit outside [low, high] of the input type or point set
    SpanTooSmall,      // |end - start| below `low` (the minimum span)
    ShuntMissing,      // a current range with no shunt value to bound it
    DampingOutOfRange,
    ShuntNegative,
    ShuntZero,
    DividerZero,
    TotalValueOutOfRange,   // relative potentiometer: 0..4000 Ohm
    CurrentAboveMaximum,    // difference of currents above 128 mV across the shunt; `high` = 128/Rs
    ComparatorOutsideRange, // a warning: the limit stays and the store goes on
    ComparatorEqualLimits,
    ComparatorDelayOutOfRange,  // a typed delay that cannot become a byte of seconds
    ComparatorDelayNotStorable, // the same found when storing
};

// One refused value: which rule, which field and the numbers the rule compared. `comparator`
// is 1 or 2 for a comparator's fields; `input` says which input type a missing total value
// belongs to.
struct Refusal {
    Rule rule = Rule::Missing;
    RuleField field = RuleField::Start;
    Extended value = 0;
    Extended low = 0;
    Extended high = 0;
    QString unit;
    int comparator = 0;
    std::optional<InputType> input;

    bool operator==(const Refusal&) const = default;
};

using Refusals = std::vector<Refusal>;

// A refusal that carries no numbers.
Refusal MakeRefusal(Rule rule, RuleField field, int comparator = 0);

// True for the rules that only warn: the value is kept and an operation goes on.
bool IsWarning(Rule rule);

// The Czech text shown for a refusal: the one place where these texts are made.
QString RefusalText(const Refusal& refusal);

} // namespace vtr8
