#include "model/comparators.h"

#include "configuration/number_format.h"
#include "device/choice_texts.h"
#include "device/device_float.h"
#include "model/editor_feedback.h"
#include "model/editor_transfer_context.h"
#include "transfer/comparator_transfer.h"
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
};

ComparatorFields fields(MainWindowModel& m, int number)
{
    if (number == 1) {
        return {1,          m.PovolKompar1, m.EMezsep1,  m.EMezroz1,  m.EZpoSep1,
                m.EZpoRoz1, m.RezimRele1,   m.Preckomp1, m.Ulozkomp1, m.Comparator1};
    }
    return {2,          m.PovolKompar2, m.EMezsep2,  m.EMezroz2,  m.Ezposep2,
            m.Ezporoz2, m.RezimRele2,   m.Preckomp2, m.Ulozkomp2, m.Comparator2};
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

bool takeFieldValues(EditorTransferContext& ctx, ComparatorFields& f)
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
         numbered(QStringLiteral("špatně zadaná mez zpoždění sepnutí komparátoru "), n),
         &f.values.SwitchOnDelay},
        {f.offDelay, numbered(QStringLiteral("Není zadán čas zpoždění rozepnutí komparátoru "), n),
         numbered(QStringLiteral("špatně zadaná mez zpoždění rozepnutí komparátoru "), n),
         &f.values.SwitchOffDelay},
    };
    for (const FieldCheck& check : checks) {
        if (check.control.text.isEmpty()) {
            ctx.ui.message(check.missing);
            m.focus(check.control);
            return false;
        }
    }
    for (const FieldCheck& check : checks) {
        const auto value = parseLocaleNumber(UpravaFormatu(check.control.text));
        if (!value) {
            ctx.ui.message(check.invalid);
            m.focus(check.control);
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
        m.focus(switchOn ? f.onLimit : f.offLimit);
        return false;
    }
    return true;
}

// A delay becomes one byte of whole seconds, the nearest with ties to even. One
// that does not fit a byte is refused rather than stored as a different delay.
std::optional<std::uint8_t> delayByte(EditorTransferContext& ctx, Control& field, Extended delay,
                                      bool switchOn, int number)
{
    if (ComparatorDelayStorable(delay))
        return static_cast<std::uint8_t>(roundHalfEven(delay));
    ctx.ui.message(QStringLiteral("Zpoždění %1 komparátoru %2 lze do převodníku uložit jen v "
                                  "rozsahu 0 až 255 s.")
                       .arg(switchOn ? QStringLiteral("sepnutí") : QStringLiteral("rozepnutí"))
                       .arg(number));
    ctx.model.focus(field);
    return std::nullopt;
}

bool storeComparator(EditorTransferContext& ctx, int number)
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

    ComparatorSettings settings;
    settings.enabled = f.enabled.checked;
    settings.window = f.mode.text != choice::Hysteresis;
    settings.switchOnLimit = f.values.SwitchOnLimit;
    settings.switchOffLimit = f.values.SwitchOffLimit;
    if (settings.enabled) {
        // Both delays are checked before anything goes to the transmitter.
        const auto onDelay = delayByte(ctx, f.onDelay, f.values.SwitchOnDelay, true, number);
        if (!onDelay)
            return false;
        const auto offDelay = delayByte(ctx, f.offDelay, f.values.SwitchOffDelay, false, number);
        if (!offDelay)
            return false;
        settings.switchOnDelay = *onDelay;
        settings.switchOffDelay = *offDelay;
    }
    const ComparatorStore stored = StoreComparator(ctx, number, settings);
    if (stored == ComparatorStore::SecondOutputMissing) {
        f.enabled.checked = false;
        m.notifyChanged();
    }
    return stored == ComparatorStore::Stored;
}

bool readComparator(EditorTransferContext& ctx, int number)
{
    TransferSession session(ctx.link);
    if (!session.active())
        return false;
    MainWindowModel& m = ctx.model;
    ComparatorFields f = fields(m, number);
    DisabledButton busy(m, f.readButton);
    SetPrenos(m, 0);
    for (Control* field : {&f.onLimit, &f.offLimit, &f.onDelay, &f.offDelay})
        m.setText(*field, QString());
    m.notifyChanged();

    const std::optional<ComparatorSettings> read = ReadComparator(ctx, number);
    if (!read)
        return false;
    f.values.SwitchOnLimit = read->switchOnLimit;
    f.values.SwitchOffLimit = read->switchOffLimit;
    f.values.SwitchOnDelay = read->switchOnDelay;
    f.values.SwitchOffDelay = read->switchOffDelay;
    m.setText(f.onLimit, formatGeneral(f.values.SwitchOnLimit, 10));
    m.setText(f.offLimit, formatGeneral(f.values.SwitchOffLimit, 10));
    m.setText(f.onDelay, formatGeneral(f.values.SwitchOnDelay, 10));
    m.setText(f.offDelay, formatGeneral(f.values.SwitchOffDelay, 10));
    f.enabled.checked = read->enabled;
    m.setText(f.mode, read->window ? choice::Window : choice::Hysteresis);
    m.notifyChanged();
    return true;
}

} // namespace

bool Ulozkomp1Click(EditorTransferContext& ctx)
{
    return storeComparator(ctx, 1);
}

bool Ulozkomp2Click(EditorTransferContext& ctx)
{
    return storeComparator(ctx, 2);
}

bool Preckomp1Click(EditorTransferContext& ctx)
{
    return readComparator(ctx, 1);
}

bool Preckomp2Click(EditorTransferContext& ctx)
{
    return readComparator(ctx, 2);
}

} // namespace vtr8
