#pragma once

#include <cstdint>
#include <optional>

namespace vtr8::sim {

// What the simulated transmitter is at power-up.
struct SimOptions {
    // Byte 262; 0 and 255 mark the old polynomial firmware.
    std::uint8_t firmware = 14;
    // Byte 1084: relay outputs fitted; byte 1085 bit 0: second relay fitted.
    bool relays = true;
    bool secondRelay = true;
    // Response code of "NastOfs" and "NastFS" (0 = accepted).
    std::uint8_t nastResponseCode = 0;
    // The simulated input in its physical quantity; empty = a slow ramp.
    std::optional<double> input;
};

} // namespace vtr8::sim
