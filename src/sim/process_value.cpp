#include "process_value.h"

#include <algorithm>
#include <cmath>

namespace vtr8::sim {

namespace {

constexpr int UnitCodeAddress = 424;
constexpr int RangeEndAddress = 355;
constexpr int RangeStartAddress = 359;

}  // namespace

// First version: the process value is the simulated input itself, in the
// unit stored at 424. Without a fixed input it ramps up and down across the
// stored range (0..100 while no range is stored).
ProcessValue ComputeProcessValue(const EepromImage& eeprom, const SimulatedInput& input,
                                 double secondsSinceStart)
{
    ProcessValue pv;
    pv.unitCode = eeprom[UnitCodeAddress];
    if (input.fixed) {
        pv.value = static_cast<float>(*input.fixed);
        return pv;
    }
    double low = GetTransmitterFloat(eeprom, RangeStartAddress);
    double high = GetTransmitterFloat(eeprom, RangeEndAddress);
    if (!std::isfinite(low) || !std::isfinite(high) || low == high) {
        low = 0.0;
        high = 100.0;
    }
    const double period = input.rampPeriodSeconds > 0 ? input.rampPeriodSeconds : 60.0;
    const double phase = std::fmod(std::max(0.0, secondsSinceStart), period) / period;
    const double share = phase < 0.5 ? 2.0 * phase : 2.0 - 2.0 * phase;
    pv.value = static_cast<float>(low + (high - low) * share);
    return pv;
}

}  // namespace vtr8::sim
