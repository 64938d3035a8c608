#include "transfer/read_configuration.h"

#include "configuration/number_format.h"
#include "device/choice_texts.h"
#include "device/codes.h"
#include "device/device_float.h"
#include "device/memory_map.h"
#include "linearization/characteristic.h"
#include "linearization/workspace.h"
#include "link/command_protocol.h"
#include "transfer/editor_feedback.h"
#include "transfer/sequence_support.h"
#include "transfer/transfer_context.h"
#include "transfer/transfer_session.h"
#include "transfer/user_note.h"

#include <cmath>
#include <utility>

namespace vtr8 {
namespace {

void showControl(Control& control, bool shown)
{
    control.visible = shown;
    control.enabled = shown;
}

void setUnitLabels(MainWindowModel& m, const QString& unit)
{
    for (Control* label : {&m.Label8, &m.Label9, &m.Label22, &m.Label24, &m.Label37, &m.Label38})
        label->caption = unit;
}

// Numbers put into fields use the person's decimal separator, so that the
// fields' own change and exit handlers read them back unchanged.
QString fixedForField(Extended value, int decimals)
{
    return UpravaFormatu(formatFixed(value, decimals));
}

bool isVoltageOrCurrent(const std::optional<InputType>& input)
{
    return input == InputType::Voltage || input == InputType::Current ||
           input == InputType::VoltageDifference || input == InputType::CurrentDifference;
}

// Step 3: input type, error current, front-end mode, connection, cold junction.
void applyInputDescription(TransferContext& ctx)
{
    MainWindowModel& m = ctx.model;
    const auto byte = [&](std::uint16_t address) {
        return ReplyByte(ctx.link, eeprom::InputCode, address);
    };

    if (const auto code = inputTypeFromCode(byte(eeprom::InputCode)))
        m.setText(m.Vstup, inputTypeText(*code));
    m.VstupChange();
    setUnitLabels(m, QString());

    if (const auto errorCode = byte(eeprom::ErrorCurrentCode); errorCode >= 1 && errorCode <= 3)
        m.setText(m.ChybProud, errorCurrentText(static_cast<ErrorCurrentCode>(errorCode)));

    ctx.state.FrontEndMode = byte(eeprom::FrontEndMode);

    const std::optional<InputType> input = m.Input;
    if (input && hasSensorConnection(*input)) {
        showControl(m.LabelPripCidl, true);
        showControl(m.PripCidl, true);
        const std::uint8_t connection = byte(eeprom::ConnectionCode);
        if (connection >= 2 && connection <= 4)
            m.setText(m.PripCidl, connectionText(static_cast<ConnectionCode>(connection)));
    } else {
        showControl(m.LabelPripCidl, false);
        showControl(m.PripCidl, false);
        m.setText(m.PripCidl, QString());
    }

    if (input && isThermocouple(*input)) {
        showControl(m.LabelVzdStKon, true);
        showControl(m.VzdStKon, true);
        const int mode = ctx.state.FrontEndMode;
        if (mode >= 29 && mode <= 32)
            m.setText(m.VzdStKon, choice::InternalColdJunction);
        else if (mode >= 33 && mode <= 36)
            m.setText(m.VzdStKon, choice::NearColdJunction);
        else if (mode >= 37 && mode <= 40)
            m.setText(m.VzdStKon, choice::RemoteColdJunction);
    } else {
        showControl(m.LabelVzdStKon, false);
        showControl(m.VzdStKon, false);
    }
    m.notifyChanged();
}

// Steps 4 to 6: the auxiliary values of the input type.
bool readAuxiliaryValues(TransferContext& ctx)
{
    MainWindowModel& m = ctx.model;
    const std::optional<InputType> input = m.Input;

    if (input && isShuntCurrent(*input)) {
        showControl(m.Label31, true);
        showControl(m.SnOdpor, true);
        showControl(m.Label32, true);
        if (!ReadBlock(ctx.link, eeprom::ShuntResistance, 4))
            return false;
        SetPrenos(m, 22);
        const float shunt =
            ReplyDeviceFloat(ctx.link, eeprom::ShuntResistance, eeprom::ShuntResistance);
        m.setText(m.SnOdpor, fixedForField(shunt, 5));
        m.ShuntResistance = shunt;
    } else {
        showControl(m.Label31, false);
        showControl(m.SnOdpor, false);
        showControl(m.Label32, false);
        m.setText(m.SnOdpor, QString());
    }

    if (input == InputType::PotentiometerRelative || input == InputType::ResistorDifference ||
        input == InputType::VoltageDifference || input == InputType::CurrentDifference) {
        if (!ReadBlock(ctx.link, eeprom::TotalValue, 4))
            return false;
        SetPrenos(m, 22);
        m.TotalValue = ReplyDeviceFloat(ctx.link, eeprom::TotalValue, eeprom::TotalValue);
        m.setText(m.CelkovyOdpor, fixedForField(m.TotalValue, 3));
    }

    if (input && isResistanceThermometer(*input)) {
        m.LabelKorekcePV.caption = QStringLiteral("Přídavný parazitní odpor čidla");
        showControl(m.LabelKorekcePV, true);
        showControl(m.LabelKorekcePVUnit, true);
        showControl(m.korekcePV, true);
        if (!ReadBlock(ctx.link, eeprom::ParasiticResistance, 4))
            return false;
        SetPrenos(m, 33);
        m.ParasiticResistance =
            ReplyDeviceFloat(ctx.link, eeprom::ParasiticResistance, eeprom::ParasiticResistance);
        m.setText(m.korekcePV, fixedForField(m.ParasiticResistance, 5));
    }
    m.notifyChanged();
    return true;
}

void applyLinearizationSettings(TransferContext& ctx)
{
    MainWindowModel& m = ctx.model;
    const auto byte = [&](std::uint16_t address) {
        return ReplyByte(ctx.link, eeprom::UnitCode, address);
    };
    m.UnitCode = byte(eeprom::UnitCode);
    ctx.state.LinearizationCharacteristic = byte(eeprom::LinearizationCharacteristic);
    ctx.state.RangeCharacteristic = byte(eeprom::RangeCharacteristic);
    ctx.state.LinearizationCode = byte(eeprom::LinearizationCode);

    switch (ctx.state.LinearizationCode) {
    case 0:
        m.setText(m.Linearizace, choice::NotLinearized);
        break;
    case 1:
    case 2:
        m.setText(m.Linearizace, choice::Linearized);
        break;
    case 3:
        m.setText(m.Linearizace, choice::SquareRoot);
        m.Label18.enabled = false;
        m.S_Dolmez.enabled = false;
        m.S_Hormez.enabled = false;
        break;
    case 4:
        m.setText(m.Linearizace, choice::FromFile);
        // The points behind the stored table are not in the transmitter: a later
        // write asks for the point file again.
        m.PointFileChosen = false;
        break;
    default:
        break;
    }

    switch (m.UnitCode) {
    case unit_code::Volt:
    case unit_code::DegreesCelsius:
    case unit_code::Milliampere:
    case unit_code::Ohm:
    case unit_code::Percent:
        m.UnitText = unitText(m.UnitCode);
        setUnitLabels(m, m.UnitText);
        break;
    case unit_code::None:
        m.UnitText.clear();
        setUnitLabels(m, QString());
        break;
    default:
        break;
    }
    m.notifyChanged();
}

// Limits stored as sensor signals come back through the inverse characteristic.
// The square-root law and the spline table leave the range ends where they are
// (the square-root law maps each end of its range onto itself), and an unknown
// index cannot be inverted: those limits are shown as stored.
bool limitsAreSignals(const TransferState& state)
{
    const int range = state.RangeCharacteristic;
    if (state.LinearizationCharacteristic == range)
        return false;
    return range <= 12 || range == 16;
}

} // namespace

bool cteni_mezi(TransferContext& ctx)
{
    MainWindowModel& m = ctx.model;
    if (!ReadBlock(ctx.link, eeprom::UpperLimit, 8))
        return false;
    Extended end = ReplyDeviceFloat(ctx.link, eeprom::UpperLimit, eeprom::UpperLimit);
    Extended start = ReplyDeviceFloat(ctx.link, eeprom::UpperLimit, eeprom::LowerLimit);

    // The float holds a few stray digits beyond what was entered; they are cut in the range's
    // own unit, after a limit stored as a sensor signal was turned back into it (a millivolt
    // of a thermocouple is tens of degrees).
    const int decimals = isVoltageOrCurrent(m.Input) ? 6 : 3;

    // The limits above are sorted; the entered start and end keep the direction of a falling
    // range, which a write of what was read must not turn round.
    if (!ReadBlock(ctx.link, eeprom::RangeEnd, 2 * eeprom::FloatLength))
        return false;
    const float enteredEnd = ReplyDeviceFloat(ctx.link, eeprom::RangeEnd, eeprom::RangeEnd);
    const float enteredStart = ReplyDeviceFloat(ctx.link, eeprom::RangeEnd, eeprom::RangeStart);
    if (std::isfinite(enteredStart) && std::isfinite(enteredEnd) && enteredStart > enteredEnd)
        std::swap(start, end);

    if (ctx.state.LinearizationCode == static_cast<std::uint8_t>(LinearizationCode::FromFile)) {
        if (!ReadBlock(ctx.link, eeprom::PointFileRange, eeprom::PointFileRangeLength))
            return false;
        LinearizationPoints& p = ctx.points;
        p.InverseSlope = ReplyReversedDeviceFloat(ctx.link, 0);
        p.InverseOffset = ReplyReversedDeviceFloat(ctx.link, 4);
        p.LineSlope = ReplyReversedDeviceFloat(ctx.link, 8);
        p.LineOffset = ReplyReversedDeviceFloat(ctx.link, 12);
    }

    // The program does not know the characteristic: it says so, and the limits are shown as
    // stored rather than passed through some other law.
    constexpr int LastCharacteristic = static_cast<int>(Characteristic::Identity);
    if (ctx.state.LinearizationCharacteristic > LastCharacteristic ||
        ctx.state.RangeCharacteristic > LastCharacteristic)
        ctx.ui.message(QStringLiteral("Dany prubeh neni v programu jeste zadan"));

    if (limitsAreSignals(ctx.state)) {
        const auto characteristic = static_cast<Characteristic>(ctx.state.RangeCharacteristic);
        start = ExactInverse(ctx.workspace, characteristic, start);
        end = ExactInverse(ctx.workspace, characteristic, end);
    }
    m.RangeStart = roundToDecimals(start, decimals);
    m.RangeEnd = roundToDecimals(end, decimals);
    m.setText(m.Pocatek, formatGeneral(m.RangeStart, 10));
    m.setText(m.Konec, formatGeneral(m.RangeEnd, 10));
    m.notifyChanged();
    return true;
}

bool ReadConfiguration(TransferContext& ctx)
{
    TransferSession session(ctx.link);
    if (!session.active())
        return false;
    MainWindowModel& m = ctx.model;
    DisabledButton busy(m, m.Precist);
    SetPrenos(m, 0);

    if (!ReadBlock(ctx.link, eeprom::FirmwareNumber, eeprom::FirmwareNumberReadLength))
        return false;
    const std::uint8_t firmware = ReplyDataByte(ctx.link, 0);
    ctx.state.FirmwareNumber = firmware;
    ctx.state.OldFirmware = eeprom::IsOldFirmware(firmware);
    if (ctx.feedback.firmwareShown)
        ctx.feedback.firmwareShown(eeprom::ShownFirmwareNumber(firmware));

    if (!ReadBlock(ctx.link, eeprom::InputCode, 4))
        return false;
    // A blank or foreign unit holds no input and error-current codes; the read goes on, so the
    // person sees what is there, but is told not to take it for a configuration.
    const std::uint8_t errorCode = ReplyByte(ctx.link, eeprom::InputCode, eeprom::ErrorCurrentCode);
    const bool validCodes =
        inputTypeFromCode(ReplyByte(ctx.link, eeprom::InputCode, eeprom::InputCode)) &&
        errorCode >= 1 && errorCode <= 3;
    ctx.state.ValidConfiguration = validCodes;
    applyInputDescription(ctx);
    // VstupChange has just reset the progress bars along with the window.
    SetPrenos(m, 11);
    if (!validCodes)
        ctx.ui.message(QString::fromUtf8("Převodník neobsahuje platnou konfiguraci."));

    if (!readAuxiliaryValues(ctx))
        return false;

    if (!ReadBlock(ctx.link, eeprom::DampingTime, 4))
        return false;
    SetPrenos(m, 44);
    const float damping = ReplyDeviceFloat(ctx.link, eeprom::DampingTime, eeprom::DampingTime);
    m.DampingTime = damping;
    m.DampingTimeSingle = damping;
    m.setText(m.Tlumeni, fixedForField(damping, 1));

    if (inputTypeFromText(m.Vstup.text)) {
        for (Control* c :
             {&m.Label4, &m.LabelPocatek, &m.LabelKonec, &m.Label8, &m.Label9, &m.LabelLinearizace,
              &m.Label18, &m.S_Dolmez, &m.S_Hormez, &m.Pocatek, &m.Konec})
            c->enabled = true;
    } else {
        m.setText(m.Vstup, QString());
    }
    m.notifyChanged();

    if (!ReadBlock(ctx.link, eeprom::LinearizationSettings, eeprom::LinearizationSettingsLength))
        return false;
    SetPrenos(m, 67);
    applyLinearizationSettings(ctx);

    if (!cteni_mezi(ctx))
        return false;
    SetPrenos(m, 78);

    if (!ReadBlock(ctx.link, eeprom::InputScaleFactor, 4))
        return false;
    SetPrenos(m, 89);
    const float divider =
        ReplyDeviceFloat(ctx.link, eeprom::InputScaleFactor, eeprom::InputScaleFactor);
    // A factor no write stores (0 on a blank unit, not a number, beyond the float) would make
    // every later write refuse its scale factor: the input's default stays instead.
    if (std::isfinite(divider) && divider != 0 && FitsDeviceFloat(divider)) {
        m.setText(m.DelPomer, formatGeneral(divider, 10));
        m.DividerRatio = divider;
    }

    const bool voltage = m.Input == InputType::Voltage || m.Input == InputType::VoltageDifference;
    showControl(m.Label10, voltage);
    showControl(m.DelPomer, voltage);
    showControl(m.Label11, voltage);
    m.notifyChanged();

    ctx.state.NoteProgress = false;
    if (!cteni_uz_pozn(ctx))
        return false;
    SetPrenos(m, 100);
    return true;
}

} // namespace vtr8
