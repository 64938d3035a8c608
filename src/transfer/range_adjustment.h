#pragma once

#include "device/input_type.h"
#include "transfer/read_configuration.h"

#include <optional>

namespace vtr8 {

struct TransferContext;

enum class RangeLimit { Start, End };

// "Nastavení dolní meze" / "Nastavení horní meze" on the link: after a Yes the transmitter
// takes its present input as the range start ("NastOfs") or end ("NastFS"); when it accepts,
// the range is read back under the characteristic indices held in ctx.state, with the
// decimals of `input`. Runs within the caller's TransferSession; progress 0, 50, 100. nullopt
// on a No, a refusal (its message shown) or a failed command.
[[nodiscard]] std::optional<RangeRead> AdjustRange(TransferContext& ctx, RangeLimit limit,
                                                   std::optional<InputType> input);

} // namespace vtr8
