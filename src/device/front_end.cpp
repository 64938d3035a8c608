#include "device/front_end.h"

#include "device/choice_texts.h"
#include "device/input_type_table.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace vtr8 {

QString coldJunctionText(ColdJunction place)
{
    switch (place) {
    case ColdJunction::Internal:
        return choice::InternalColdJunction;
    case ColdJunction::Near:
        return choice::NearColdJunction;
    case ColdJunction::Remote:
        return choice::RemoteColdJunction;
    }
    return {};
}

std::optional<ColdJunction> coldJunctionFromText(const QString& text)
{
    for (auto place : {ColdJunction::Internal, ColdJunction::Near, ColdJunction::Remote})
        if (text == coldJunctionText(place))
            return place;
    return std::nullopt;
}

namespace {

using SubRange = std::pair<Extended, int>; // limit, mode

// Four sub-ranges of 16, 32, 64 and 128 mV, or of 200, 400, 2000 and 4000 ohms.
constexpr std::array<Extended, 4> MillivoltLimits{0.016L, 0.032L, 0.064L, 0.128L};
constexpr std::array<Extended, 4> OhmLimits{200.0L, 400.0L, 2000.0L, 4000.0L};

std::vector<SubRange> fourModes(const std::array<Extended, 4>& limits, int firstMode)
{
    std::vector<SubRange> ranges;
    for (int i = 0; i < 4; ++i)
        ranges.emplace_back(limits[i], firstMode + i);
    return ranges;
}

Extended signalOf(const FrontEndRequest& request, Characteristic characteristic, Extended x)
{
    return request.signal ? request.signal(characteristic, x) : x;
}

Extended largerLimit(const FrontEndRequest& request)
{
    return std::max(request.rangeStart, request.rangeEnd);
}

// A voltage or current signal "ze souboru" goes through the point file's straight line first.
Extended throughFileLine(const FrontEndRequest& request, Extended value)
{
    return request.fromFile ? signalOf(request, Characteristic::LinearFromFile, value) : value;
}

std::vector<SubRange> subRanges(const FrontEndRequest& request)
{
    const InputTypeRow& row = inputTypeRow(request.input);
    int first =
        request.connection == ConnectionCode::FourWire ? row.firstModeFourWire : row.firstMode;
    if (row.has(InputField::ColdJunction)) {
        // Three groups of four, one per place of the cold junction.
        if (!request.coldJunction)
            return {};
        first += 4 * static_cast<int>(*request.coldJunction);
    }
    switch (row.scale) {
    case SubRangeScale::Ohms:
        return fourModes(OhmLimits, first);
    case SubRangeScale::Millivolts:
        return fourModes(MillivoltLimits, first);
    case SubRangeScale::MillivoltsAndVolts: {
        auto ranges = fourModes(MillivoltLimits, first);
        ranges.emplace_back(0.5L, 52);
        ranges.emplace_back(1.0L, 53);
        return ranges;
    }
    case SubRangeScale::FixedMode:
        break;
    }
    return {};
}

} // namespace

Extended InputSignalMax(const FrontEndRequest& request)
{
    const InputType input = request.input;
    if (isResistanceThermometer(input) || isThermocouple(input)) {
        // The sensor's own characteristic whatever the linearization: the stage sees the sensor.
        const auto own = sensorCharacteristic(input);
        return signalOf(request, *own, largerLimit(request));
    }
    switch (input) {
    case InputType::Rheostat:
        return signalOf(request, Characteristic::Identity, largerLimit(request));
    case InputType::PotentiometerAbsolute:
        return largerLimit(request);
    case InputType::PotentiometerRelative:
    case InputType::ResistorDifference:
        // The whole track (or the sum of both resistors) can appear across the input.
        return request.totalValue;
    case InputType::Voltage: {
        // The file's line gives the voltage in front of the divider.
        const Extended a = throughFileLine(request, request.rangeStart) / request.dividerRatio;
        const Extended b = throughFileLine(request, request.rangeEnd) / request.dividerRatio;
        return std::max(std::fabs(a), std::fabs(b));
    }
    case InputType::VoltageDifference:
        return std::fabs(request.totalValue / request.dividerRatio);
    case InputType::Current: {
        // "ze souboru": the range is in the file's output unit; the current is the file's input.
        if (request.fromFile)
            return std::fabs(request.fileInputMax) * request.shuntResistance / 1000;
        // Limits in mA, shunt in ohms: volts across the shunt.
        const Extended a = request.rangeStart * request.shuntResistance / 1000;
        const Extended b = request.rangeEnd * request.shuntResistance / 1000;
        return std::max(std::fabs(a), std::fabs(b));
    }
    case InputType::CurrentDifference:
        return std::fabs(request.totalValue) * request.shuntResistance / 1000;
    default:
        return 0;
    }
}

FrontEndChoice SelectFrontEndMode(const FrontEndRequest& request)
{
    const InputTypeRow& row = inputTypeRow(request.input);
    if (row.scale == SubRangeScale::FixedMode)
        return {FrontEndStatus::Found, row.firstMode, 0};
    if (isThermocouple(request.input) && !request.coldJunction)
        return {FrontEndStatus::NoSettings, 0, 0};

    const Extended signal = InputSignalMax(request);
    for (const auto& [limit, mode] : subRanges(request)) {
        // Equality selects the smaller sub-range; NaN (a zero divider over zero) never fits.
        if (signal <= limit) {
            const bool known = FrontEndTable(mode).has_value();
            return {known ? FrontEndStatus::Found : FrontEndStatus::NoSettings,
                    static_cast<std::uint8_t>(mode), signal};
        }
    }
    return {FrontEndStatus::Overdriven, 0, signal};
}

QString FrontEndRefusalText(FrontEndStatus status)
{
    switch (status) {
    case FrontEndStatus::Overdriven:
        return QString::fromUtf8("Přebuzen vstup");
    case FrontEndStatus::NoSettings:
        return QString::fromUtf8("Pro zvolený vstup nejsou známa nastavení vstupního obvodu "
                                 "převodníku, konfiguraci nelze zapsat.");
    case FrontEndStatus::Found:
        break;
    }
    return {};
}

bool LoadFrontEndSettings(int mode, FrontEndImage& image)
{
    const auto row = FrontEndTable(mode);
    if (!row)
        return false;
    image = *row;
    return true;
}

std::vector<EepromBlock> FrontEndBlocks(const FrontEndImage& image)
{
    std::vector<EepromBlock> blocks;
    for (int half = 0; half < 2; ++half) {
        EepromBlock words =
            zeroBlock(static_cast<eeprom::Address>(eeprom::FrontEndWords + 12 * half), 12);
        for (std::size_t i = 0; i < 6; ++i)
            putWord(words.data, image.words[static_cast<std::size_t>(half) * 6 + i], 2 * i);
        blocks.push_back(std::move(words));
    }
    blocks.back().pauseAfterMs = FrontEndSettleMs;

    EepromBlock bytes24{eeprom::FrontEndBytesA, {image.bytes24.begin(), image.bytes24.end()}, 0};
    blocks.push_back(bytes24);
    blocks.push_back(
        FloatBlock(eeprom::FrontEndFloats, {image.scaleFactor, image.parasiticResistance}));
    blocks.push_back(
        {eeprom::FrontEndBytesB, {image.bytes96.begin(), image.bytes96.begin() + 4}, 0});
    blocks.push_back({eeprom::FrontEndBytesC, {image.bytes96.begin() + 4, image.bytes96.end()}, 0});
    blocks.push_back({eeprom::FrontEndBytesD, {image.bytes112.begin(), image.bytes112.end()}, 0});
    blocks.push_back(
        FloatBlock(eeprom::OverloadLimits, {image.upperOverload, image.lowerOverload}));
    return blocks;
}

} // namespace vtr8
