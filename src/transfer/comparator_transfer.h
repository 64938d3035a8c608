#pragma once

#include "linearization/extended.h"

#include <cstdint>
#include <optional>

namespace vtr8 {

struct TransferContext;

// One limit comparator as the transmitter keeps it: the limits as floats (1040 or 1048), the
// delays as whole seconds (1072 or 1074), the mode byte's enable and window bits (1080, 1081).
struct ComparatorSettings {
    Extended switchOnLimit = 0;
    Extended switchOffLimit = 0;
    std::uint8_t switchOnDelay = 0;
    std::uint8_t switchOffDelay = 0;
    bool enabled = false;
    bool window = false; // otherwise hysteresis
};

enum class ComparatorStore {
    Stored,              // the final "Reset" succeeded
    Failed,              // a command failed, a No, or no relay outputs (said)
    SecondOutputMissing, // comparator 2 on a unit with one relay output (said)
};

// Stores comparator 1 or 2, within the caller's TransferSession. Enabled: the relay outputs
// are checked, the person confirms, then delays, limits and the mode byte (read, bits set);
// disabled: after a Yes only the mode byte's enable bit is cleared. "Reset" follows either
// (also after a No to switching off), for the transmitter takes the settings only then.
[[nodiscard]] ComparatorStore StoreComparator(TransferContext& ctx, int number,
                                              const ComparatorSettings& settings);

// Reads comparator 1 or 2 within the caller's TransferSession, progress 25..100; nullopt when a
// command failed or the unit has no relay outputs (said).
[[nodiscard]] std::optional<ComparatorSettings> ReadComparator(TransferContext& ctx, int number);

} // namespace vtr8
