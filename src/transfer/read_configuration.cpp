#include "transfer/read_configuration.h"

#include "configuration/number_format.h"
#include "device/codes.h"
#include "device/device_float.h"
#include "device/input_type_table.h"
#include "device/memory_map.h"
#include "linearization/characteristic.h"
#include "linearization/workspace.h"
#include "transfer/note_transfer.h"
#include "transfer/sequence_support.h"
#include "transfer/transfer_context.h"
#include "user_interface/user_interface.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace vtr8 {
namespace {

// One "ReadEEPROM" whose bytes go into the image at their addresses.
bool fetch(CommandProtocol& link, MemoryImage& image, std::uint16_t address, std::uint8_t count)
{
    if (!ReadBlock(link, address, count))
        return false;
    std::vector<std::uint8_t> bytes(count);
    for (int k = 0; k < count; ++k)
        bytes[static_cast<std::size_t>(k)] =
            ReplyByte(link, address, static_cast<std::uint16_t>(address + k));
    image.store(address, bytes);
    return true;
}

DeviceFloatBytes fourAt(const MemoryImage& image, std::uint16_t address)
{
    DeviceFloatBytes four{};
    const std::vector<std::uint8_t> bytes = image.bytes(address, 4);
    std::copy_n(bytes.begin(), 4, four.begin());
    return four;
}

float floatAt(const MemoryImage& image, std::uint16_t address)
{
    return DecodeDeviceFloat(fourAt(image, address));
}

float reversedFloatAt(const MemoryImage& image, std::uint16_t address)
{
    return DecodeReversedDeviceFloat(fourAt(image, address));
}

// Numbers put into fields use the person's decimal separator, so that the fields' own change
// and exit handlers read them back unchanged.
ConfigurationNumber fixedForField(float value, int decimals)
{
    return {value, UpravaFormatu(formatFixed(value, decimals))};
}

ConfigurationNumber generalForField(Extended value)
{
    return {value, formatGeneral(value, 10)};
}

bool hasTotalValue(const std::optional<InputType>& input)
{
    return input && inputTypeRow(*input).has(InputField::TotalValue);
}

bool isFromFile(const RangeEncoding& encoding)
{
    return encoding.linearizationCode == static_cast<std::uint8_t>(LinearizationCode::FromFile);
}

// Limits stored as sensor signals come back through the inverse characteristic. The
// square-root law and the spline table leave the range ends where they are (the square-root
// law maps each end of its range onto itself), and an unknown index cannot be inverted: those
// limits are shown as stored.
bool limitsAreSignals(const RangeEncoding& encoding)
{
    const int range = encoding.rangeCharacteristic;
    if (encoding.linearizationCharacteristic == range)
        return false;
    return range <= 12 || range == 16;
}

RangeEncoding rangeEncodingOf(const MemoryImage& image)
{
    return {image.at(eeprom::LinearizationCharacteristic), image.at(eeprom::RangeCharacteristic),
            image.at(eeprom::LinearizationCode)};
}

PointFileLine pointFileLineOf(const MemoryImage& image)
{
    constexpr std::uint16_t a = eeprom::PointFileRange;
    return {reversedFloatAt(image, a), reversedFloatAt(image, a + 4), reversedFloatAt(image, a + 8),
            reversedFloatAt(image, a + 12)};
}

std::optional<Linearization> linearizationOf(std::uint8_t code)
{
    switch (static_cast<LinearizationCode>(code)) {
    case LinearizationCode::NotLinearized:
        return Linearization::NotLinearized;
    case LinearizationCode::PolynomialLinearized:
    case LinearizationCode::SegmentLinearized:
        return Linearization::Linearized;
    case LinearizationCode::SquareRoot:
        return Linearization::SquareRoot;
    case LinearizationCode::FromFile:
        return Linearization::FromFile;
    }
    return std::nullopt;
}

// The front-end modes of a thermocouple tell where its cold junction is.
// A thermocouple's front end has four sub-range modes for each place of the cold junction, in
// the order of ColdJunction.
std::optional<ColdJunction> coldJunctionOf(InputType t, std::uint8_t frontEndMode)
{
    const int group = (frontEndMode - inputTypeRow(t).firstMode) / 4;
    if (frontEndMode < inputTypeRow(t).firstMode || group > static_cast<int>(ColdJunction::Remote))
        return std::nullopt;
    return static_cast<ColdJunction>(group);
}

bool holdsValidCodes(const MemoryImage& image)
{
    const std::uint8_t errorCode = image.at(eeprom::ErrorCurrentCode);
    return inputTypeFromCode(image.at(eeprom::InputCode)) && errorCode >= 1 && errorCode <= 3;
}

} // namespace

bool FetchRange(TransferContext& ctx, const RangeEncoding& encoding, MemoryImage& image)
{
    // The limits at 340 are sorted; the entered start and end at 355 keep the direction of a
    // falling range, which a write of what was read must not turn round.
    if (!fetch(ctx.link, image, eeprom::UpperLimit, 8) ||
        !fetch(ctx.link, image, eeprom::RangeEnd, 2 * eeprom::FloatLength))
        return false;
    if (isFromFile(encoding) &&
        !fetch(ctx.link, image, eeprom::PointFileRange, eeprom::PointFileRangeLength))
        return false;
    // The program does not know the characteristic: it says so, and the limits are shown as
    // stored rather than passed through some other law.
    constexpr int LastCharacteristic = static_cast<int>(Characteristic::Identity);
    if (encoding.linearizationCharacteristic > LastCharacteristic ||
        encoding.rangeCharacteristic > LastCharacteristic)
        ctx.ui.message(QStringLiteral("Dany prubeh neni v programu jeste zadan"));
    return true;
}

RangeRead DecodeRange(const MemoryImage& image, const RangeEncoding& encoding,
                      std::optional<InputType> input, LinearizationWorkspace& workspace)
{
    Extended end = floatAt(image, eeprom::UpperLimit);
    Extended start = floatAt(image, eeprom::LowerLimit);
    const float enteredEnd = floatAt(image, eeprom::RangeEnd);
    const float enteredStart = floatAt(image, eeprom::RangeStart);
    if (std::isfinite(enteredStart) && std::isfinite(enteredEnd) && enteredStart > enteredEnd)
        std::swap(start, end);

    if (limitsAreSignals(encoding)) {
        const auto characteristic = static_cast<Characteristic>(encoding.rangeCharacteristic);
        start = ExactInverse(workspace, characteristic, start);
        end = ExactInverse(workspace, characteristic, end);
    }
    // The float holds a few stray digits beyond what was entered; they are cut in the range's
    // own unit, after a limit stored as a sensor signal was turned back into it (a millivolt
    // of a thermocouple is tens of degrees).
    const int decimals = input ? inputTypeRow(*input).readDecimals : 3;
    RangeRead range;
    range.start = generalForField(roundToDecimals(start, decimals));
    range.end = generalForField(roundToDecimals(end, decimals));
    if (isFromFile(encoding))
        range.pointFileLine = pointFileLineOf(image);
    return range;
}

std::optional<Configuration> DecodeConfiguration(const MemoryImage& image,
                                                 LinearizationWorkspace& workspace)
{
    if (!holdsValidCodes(image))
        return std::nullopt;
    Configuration c;
    const InputType t = *inputTypeFromCode(image.at(eeprom::InputCode));
    c.input = t;
    c.errorCurrent = static_cast<ErrorCurrentCode>(image.at(eeprom::ErrorCurrentCode));
    if (hasSensorConnection(t)) {
        const std::uint8_t connection = image.at(eeprom::ConnectionCode);
        if (connection >= 2 && connection <= 4)
            c.connection = static_cast<ConnectionCode>(connection);
    }
    if (isThermocouple(t))
        c.coldJunction = coldJunctionOf(t, image.at(eeprom::FrontEndMode));
    if (isShuntCurrent(t))
        c.shuntResistance = fixedForField(floatAt(image, eeprom::ShuntResistance), 5);
    if (hasTotalValue(t))
        c.totalValue = fixedForField(floatAt(image, eeprom::TotalValue), 3);
    if (isResistanceThermometer(t))
        c.parasiticResistance = fixedForField(floatAt(image, eeprom::ParasiticResistance), 5);
    c.damping = fixedForField(floatAt(image, eeprom::DampingTime), 1);

    c.unitCode = image.at(eeprom::UnitCode);
    const RangeEncoding encoding = rangeEncodingOf(image);
    c.linearization = linearizationOf(encoding.linearizationCode);
    const RangeRead range = DecodeRange(image, encoding, t, workspace);
    c.rangeStart = range.start;
    c.rangeEnd = range.end;

    // A factor no write stores (0 on a blank unit, not a number, beyond the float) would make
    // every later write refuse its scale factor: the input's default stays instead (no text).
    const float divider = floatAt(image, eeprom::InputScaleFactor);
    if (std::isfinite(divider) && divider != 0 && FitsDeviceFloat(divider))
        c.dividerRatio = generalForField(divider);
    return c;
}

std::optional<ConfigurationRead> ReadConfiguration(TransferContext& ctx,
                                                   std::optional<InputType> shownInput)
{
    CommandProtocol& link = ctx.link;
    MemoryImage image;
    ShowProgress(ctx, 0);

    if (!fetch(link, image, eeprom::FirmwareNumber, eeprom::FirmwareNumberReadLength))
        return std::nullopt;
    ConfigurationRead read;
    read.firmwareNumber = image.at(eeprom::FirmwareNumber);
    ctx.state.FirmwareNumber = read.firmwareNumber;
    ctx.state.OldFirmware = eeprom::IsOldFirmware(read.firmwareNumber);
    if (ctx.feedback.firmwareShown)
        ctx.feedback.firmwareShown(eeprom::ShownFirmwareNumber(read.firmwareNumber));

    if (!fetch(link, image, eeprom::InputCode, 4))
        return std::nullopt;
    ShowProgress(ctx, 11);
    // A blank or foreign unit holds no input and error-current codes; the read goes on, so its
    // requests are those it always sent, but the person is told not to take it for a
    // configuration.
    ctx.state.ValidConfiguration = holdsValidCodes(image);
    if (!ctx.state.ValidConfiguration)
        ctx.ui.message(QString::fromUtf8("Převodník neobsahuje platnou konfiguraci."));

    // The auxiliary values of the input type.
    std::optional<InputType> input = inputTypeFromCode(image.at(eeprom::InputCode));
    if (!input)
        input = shownInput;
    if (input && isShuntCurrent(*input)) {
        if (!fetch(link, image, eeprom::ShuntResistance, 4))
            return std::nullopt;
        ShowProgress(ctx, 22);
    }
    if (hasTotalValue(input)) {
        if (!fetch(link, image, eeprom::TotalValue, 4))
            return std::nullopt;
        ShowProgress(ctx, 22);
    }
    if (input && isResistanceThermometer(*input)) {
        if (!fetch(link, image, eeprom::ParasiticResistance, 4))
            return std::nullopt;
        ShowProgress(ctx, 33);
    }

    if (!fetch(link, image, eeprom::DampingTime, 4))
        return std::nullopt;
    ShowProgress(ctx, 44);
    if (!fetch(link, image, eeprom::LinearizationSettings, eeprom::LinearizationSettingsLength))
        return std::nullopt;
    ShowProgress(ctx, 67);
    const RangeEncoding encoding = rangeEncodingOf(image);
    if (!FetchRange(ctx, encoding, image))
        return std::nullopt;
    ShowProgress(ctx, 78);
    if (!fetch(link, image, eeprom::InputScaleFactor, 4))
        return std::nullopt;
    ShowProgress(ctx, 89);

    // The note's own progress would disturb the read's.
    ctx.state.NoteProgress = false;
    const std::optional<QString> note = ReadNote(ctx);
    if (!note)
        return std::nullopt;
    read.note = *note;
    ShowProgress(ctx, 100);

    read.configuration = DecodeConfiguration(image, ctx.workspace);
    if (read.configuration) {
        ctx.state.FrontEndMode = image.at(eeprom::FrontEndMode);
        ctx.state.LinearizationCharacteristic = encoding.linearizationCharacteristic;
        ctx.state.RangeCharacteristic = encoding.rangeCharacteristic;
        ctx.state.LinearizationCode = encoding.linearizationCode;
        if (isFromFile(encoding))
            SetPointFileLine(ctx.points, pointFileLineOf(image));
    }
    return read;
}

void SetPointFileLine(LinearizationPoints& points, const PointFileLine& line)
{
    points.InverseSlope = line.inverseSlope;
    points.InverseOffset = line.inverseOffset;
    points.LineSlope = line.lineSlope;
    points.LineOffset = line.lineOffset;
}

} // namespace vtr8
