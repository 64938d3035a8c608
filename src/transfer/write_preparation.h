#pragma once

#include "configuration/configuration.h"
#include "device/codes.h"
#include "device/constants.h"
#include "device/eeprom_block.h"
#include "device/front_end.h"
#include "device/segment_table.h"
#include "device/write_plan.h"
#include "linearization/point_set.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace vtr8 {

struct TransferContext;

// What the linearization data of a write is.
enum class LinearizationData { None, Polynomial, Segments };

// Everything the checks and computations before the confirmation derive; the transfer sends
// exactly this.
struct PreparedWrite {
    // The value confirmed; everything below is derived from it.
    Configuration configuration;
    InputType input = InputType::Pt100;
    Linearization linearization = Linearization::NotLinearized;
    PointFitMethod pointMethod = PointFitMethod::Polynomial;
    CharacteristicChoice characteristics;
    FrontEndChoice frontEnd;
    RangeUnitChoice rangeUnit;
    StoredLimits limits;
    // Smaller and larger limit; ohms or volts once converted through the sensor.
    Extended rangeMin = 0;
    Extended rangeMax = 0;
    bool rangeFalling = false;
    std::uint8_t firmware = 0;
    bool oldFirmware = false;
    std::optional<Extended> inputScaleFactor;

    LinearizationData data = LinearizationData::None;
    int polynomialDegree = 0;
    std::array<Extended, 21> polynomial{}; // [k] multiplies u^k
    SegmentTable segments;
    // Byte 606, when the write sets it.
    std::optional<LinearizationMethod> method;

    std::optional<ErrorCurrentCode> errorCurrent;
    ConnectionCode connection = ConnectionCode::None;
};

// Steps before the confirmation, on the value taken once from the editor or a file: damping
// and linearization checks, characteristic indices, front-end mode, stored limits,
// identification (two reads) and the linearization computation. nullopt ends the write; the
// person has been told why.
[[nodiscard]] std::optional<PreparedWrite> PrepareWrite(TransferContext& ctx,
                                                        const Configuration& configuration);
// The same steps without the confirmation, for a comparison that writes nothing.
[[nodiscard]] std::optional<PreparedWrite> ComputeWrite(TransferContext& ctx,
                                                        const Configuration& configuration);

// The refusal of a square-root write to the old polynomial firmware, which has no table to
// carry the law.
QString SquareRootOnOldFirmwareText();

// Steps after the confirmation: "Stop", every block in order, "Reset" and "Continue". Ends at
// the first failed command. True when all of it was acknowledged.
[[nodiscard]] bool TransferConfiguration(TransferContext& ctx, const PreparedWrite& write,
                                         int settleMs);
// The blocks TransferConfiguration would store, in order, computed by its own steps; only the
// calibration reads go to the transmitter. nullopt when a read failed.
[[nodiscard]] std::optional<std::vector<EepromBlock>>
PlanConfigurationBlocks(TransferContext& ctx, const PreparedWrite& write);

} // namespace vtr8
