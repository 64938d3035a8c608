#include "transfer/comparators.h"

#include "configuration/number_format.h"
#include "device/choice_texts.h"
#include "device/device_float.h"
#include "device/memory_map.h"
#include "link/command_protocol.h"
#include "transfer/editor_feedback.h"
#include "transfer/sequence_support.h"
#include "transfer/transfer_context.h"
#include "transfer/transfer_session.h"

#include <optional>

namespace vtr8 {
namespace {

struct ComparatorFields {
    int number;
    Control& enabled;
    Control& onLimit;
    Control& offLimit;
    Control& onDelay;
    Control& offDelay;
    Control& mode;
    Control& readButton;
    Control& storeButton;
    ComparatorValues& values;
    std::uint16_t limitsAddress;
    std::uint16_t delaysAddress;
    std::uint16_t modeAddress;
};

ComparatorFields fields(MainWindowModel& m, int number)
{
    if (number == 1) {
        return {1,
                m.PovolKompar1,
                m.EMezsep1,
                m.EMezroz1,
                m.EZpoSep1,
                m.EZpoRoz1,
                m.RezimRele1,
                m.Preckomp1,
                m.Ulozkomp1,
                m.Comparator1,
                eeprom::Comparator1Limits,
                eeprom::Comparator1Delays,
                eeprom::Comparator1Mode};
    }
    return {2,
            m.PovolKompar2,
            m.EMezsep2,
            m.EMezroz2,
            m.Ezposep2,
            m.Ezporoz2,
            m.RezimRele2,
            m.Preckomp2,
            m.Ulozkomp2,
            m.Comparator2,
            eeprom::Comparator2Limits,
            eeprom::Comparator2Delays,
            eeprom::Comparator2Mode};
}

QString numbered(const QString& text, int number)
{
    return text + QString::number(number);
}

// What the store sends is what the fields show: each text is parsed again, so a
// text that failed its exit check is never replaced by an older value behind it.
struct FieldCheck {
    Control& control;
    QString missing;
    QString invalid;
    Extended* value;
};

bool takeFieldValues(TransferContext& ctx, ComparatorFields& f)
{
    MainWindowModel& m = ctx.model;
    const int n = f.number;
    FieldCheck checks[] = {
        {f.onLimit, numbered(QStringLiteral("Není zadána mez sepnutí komparátoru "), n),
         numbered(QStringLiteral("špatně zadaná mez sepnutí komparátoru "), n),
         &f.values.SwitchOnLimit},
        {f.offLimit, numbered(QStringLiteral("Není zadána mez rozepnutí komparátoru "), n),
         numbered(QStringLiteral("špatně zadaná mez rozepnutí komparátoru "), n),
         &f.values.SwitchOffLimit},
        {f.onDelay, numbered(QStringLiteral("Není zadán čas zpoždění sepnutí komparátoru "), n),
         QStringLiteral("špatně zadaná mez zpoždění sepnutí"), &f.values.SwitchOnDelay},
        {f.offDelay, numbered(QStringLiteral("Není zadán čas zpoždění rozepnutí komparátoru "), n),
         QStringLiteral("špatně zadaná mez zpoždění rozepnutí"), &f.values.SwitchOffDelay},
    };
    for (const FieldCheck& check : checks) {
        if (check.control.text.isEmpty()) {
            ctx.ui.message(check.missing);
            m.focus(m.controlName(check.control));
            return false;
        }
    }
    for (const FieldCheck& check : checks) {
        const auto value = parseLocaleNumber(UpravaFormatu(check.control.text));
        if (!value) {
            ctx.ui.message(check.invalid);
            m.focus(m.controlName(check.control));
            return false;
        }
        *check.value = *value;
    }
    // A limit the transmitter's float cannot carry would be stored as another number.
    for (const bool switchOn : {true, false}) {
        if (FitsDeviceFloat(switchOn ? f.values.SwitchOnLimit : f.values.SwitchOffLimit))
            continue;
        ctx.ui.message(QStringLiteral("Mez %1 komparátoru %2 je mimo rozsah čísel převodníku.")
                           .arg(switchOn ? QStringLiteral("sepnutí") : QStringLiteral("rozepnutí"))
                           .arg(n));
        m.focus(m.controlName(switchOn ? f.onLimit : f.offLimit));
        return false;
    }
    return true;
}

// A delay becomes one byte of whole seconds, the nearest with ties to even. One
// that does not fit a byte is refused rather than stored as a different delay.
std::optional<std::uint8_t> delayByte(TransferContext& ctx, Control& field, Extended delay,
                                      bool switchOn, int number)
{
    if (ComparatorDelayStorable(delay))
        return static_cast<std::uint8_t>(roundHalfEven(delay));
    ctx.ui.message(QStringLiteral("Zpoždění %1 komparátoru %2 lze do převodníku uložit jen v "
                                  "rozsahu 0 až 255 s.")
                       .arg(switchOn ? QStringLiteral("sepnutí") : QStringLiteral("rozepnutí"))
                       .arg(number));
    ctx.model.focus(ctx.model.controlName(field));
    return std::nullopt;
}

bool writeEnabledComparator(TransferContext& ctx, ComparatorFields& f, std::uint8_t onDelay,
                            std::uint8_t offDelay)
{
    MainWindowModel& m = ctx.model;
    CommandProtocol& link = ctx.link;

    if (f.number == 1) {
        if (!ReadBlock(link, eeprom::RelayOutputsPresent, 1))
            return false;
        SetPrenos(m, 25);
        if (ReplyDataByte(link, 0) != 1) {
            ctx.ui.message(QStringLiteral("Připojený převodník neobsahuje spínací výstupy"));
            return false;
        }
    } else {
        if (!ReadBlock(link, eeprom::RelayOutputsPresent, 2))
            return false;
        SetPrenos(m, 20);
        if ((ReplyDataByte(link, 1) & 1) == 0) {
            ctx.ui.message(QStringLiteral("Připojený převodník neobsahuje spínací výstup 2"));
            f.enabled.checked = false;
            m.notifyChanged();
            return false;
        }
    }

    if (!ctx.ui.confirm(
            numbered(QStringLiteral("Opravdu se má zapsat konfigurace Relé "), f.number) +
            QStringLiteral(" ?")))
        return false;

    const std::uint8_t delays[eeprom::ComparatorDelaysLength] = {onDelay, offDelay};
    if (!WriteBlock(link, f.delaysAddress, delays))
        return false;
    SetPrenos(m, 40);

    TransferBuffer limits{};
    PutDeviceFloat(limits, static_cast<float>(f.values.SwitchOnLimit), 1);
    PutDeviceFloat(limits, static_cast<float>(f.values.SwitchOffLimit), 5);
    if (!WriteBlock(
            link, f.limitsAddress,
            std::span<const std::uint8_t>(limits).subspan(1, eeprom::ComparatorLimitsLength)))
        return false;
    SetPrenos(m, 60);

    if (!ReadBlock(link, f.modeAddress, 1))
        return false;
    std::uint8_t mode = ReplyDataByte(link, 0) | eeprom::ComparatorModeEnabled;
    if (f.mode.text == choice::Hysteresis)
        mode &= static_cast<std::uint8_t>(~eeprom::ComparatorModeWindow);
    else
        mode |= eeprom::ComparatorModeWindow;
    if (!WriteBlock(link, f.modeAddress, std::span<const std::uint8_t>(&mode, 1)))
        return false;
    SetPrenos(m, 80);
    return true;
}

bool storeComparator(TransferContext& ctx, int number)
{
    TransferSession session(ctx.link);
    if (!session.active())
        return false;
    MainWindowModel& m = ctx.model;
    ComparatorFields f = fields(m, number);
    DisabledButton busy(m, f.storeButton);
    SetPrenos(m, 0);

    if (!takeFieldValues(ctx, f))
        return false;

    if (f.enabled.checked) {
        // Both delays are checked before anything goes to the transmitter.
        const auto onDelay = delayByte(ctx, f.onDelay, f.values.SwitchOnDelay, true, number);
        if (!onDelay)
            return false;
        const auto offDelay = delayByte(ctx, f.offDelay, f.values.SwitchOffDelay, false, number);
        if (!offDelay)
            return false;
        if (!writeEnabledComparator(ctx, f, *onDelay, *offDelay))
            return false;
    } else if (ctx.ui.confirm(
                   numbered(QStringLiteral("Opravdu se má vypnout mezní komparátor "), number) +
                   QStringLiteral(" ?"))) {
        if (!ReadBlock(ctx.link, f.modeAddress, 1))
            return false;
        const std::uint8_t mode =
            ReplyDataByte(ctx.link, 0) & static_cast<std::uint8_t>(~eeprom::ComparatorModeEnabled);
        if (!WriteBlock(ctx.link, f.modeAddress, std::span<const std::uint8_t>(&mode, 1)))
            return false;
        SetPrenos(m, 80);
    }

    // The transmitter takes the new settings only after a reset.
    if (!SendSimpleCommand(ctx.link, Command::Reset))
        return false;
    SetPrenos(m, 100);
    return true;
}

bool readComparator(TransferContext& ctx, int number)
{
    TransferSession session(ctx.link);
    if (!session.active())
        return false;
    MainWindowModel& m = ctx.model;
    CommandProtocol& link = ctx.link;
    ComparatorFields f = fields(m, number);
    DisabledButton busy(m, f.readButton);
    SetPrenos(m, 0);
    for (Control* field : {&f.onLimit, &f.offLimit, &f.onDelay, &f.offDelay})
        m.setText(*field, QString());
    m.notifyChanged();

    if (!ReadBlock(link, eeprom::RelayOutputsPresent, 1))
        return false;
    SetPrenos(m, 25);
    if (ReplyDataByte(link, 0) != 1) {
        ctx.ui.message(QStringLiteral("Připojený převodník neobsahuje spínací výstupy"));
        return false;
    }

    const std::uint16_t limits = f.limitsAddress;
    if (!ReadBlock(link, limits, 4))
        return false;
    SetPrenos(m, 25);
    f.values.SwitchOnLimit = ReplyDeviceFloat(link, limits, limits);
    m.setText(f.onLimit, formatGeneral(f.values.SwitchOnLimit, 10));

    if (!ReadBlock(link, static_cast<std::uint16_t>(limits + 4), 4))
        return false;
    SetPrenos(m, 50);
    f.values.SwitchOffLimit = ReplyDeviceFloat(link, static_cast<std::uint16_t>(limits + 4),
                                               static_cast<std::uint16_t>(limits + 4));
    m.setText(f.offLimit, formatGeneral(f.values.SwitchOffLimit, 10));

    if (!ReadBlock(link, f.delaysAddress, eeprom::ComparatorDelaysLength))
        return false;
    SetPrenos(m, 75);
    f.values.SwitchOnDelay = ReplyDataByte(link, 0);
    f.values.SwitchOffDelay = ReplyDataByte(link, 1);
    m.setText(f.onDelay, formatGeneral(f.values.SwitchOnDelay, 10));
    m.setText(f.offDelay, formatGeneral(f.values.SwitchOffDelay, 10));

    if (!ReadBlock(link, f.modeAddress, 1))
        return false;
    SetPrenos(m, 100);
    const std::uint8_t mode = ReplyDataByte(link, 0);
    f.enabled.checked = (mode & eeprom::ComparatorModeEnabled) != 0;
    m.setText(f.mode,
              (mode & eeprom::ComparatorModeWindow) != 0 ? choice::Window : choice::Hysteresis);
    m.notifyChanged();
    return true;
}

} // namespace

bool Ulozkomp1Click(TransferContext& ctx)
{
    return storeComparator(ctx, 1);
}

bool Ulozkomp2Click(TransferContext& ctx)
{
    return storeComparator(ctx, 2);
}

bool Preckomp1Click(TransferContext& ctx)
{
    return readComparator(ctx, 1);
}

bool Preckomp2Click(TransferContext& ctx)
{
    return readComparator(ctx, 2);
}

} // namespace vtr8
