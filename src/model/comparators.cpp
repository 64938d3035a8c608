#include "model/comparators.h"

#include "configuration/number_format.h"
#include "device/choice_texts.h"
#include "model/editor_feedback.h"
#include "model/editor_transfer_context.h"
#include "rules/comparator_rules.h"
#include "rules/refusal.h"
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

// What the store sends is what the fields show: each text is parsed again, so a
// text that failed its exit check is never replaced by an older value behind it.
bool takeFieldValues(EditorTransferContext& ctx, ComparatorFields& f)
{
    MainWindowModel& m = ctx.model;
    const int n = f.number;
    using F = RuleField;
    struct FieldCheck {
        Control& control;
        RuleField field;
        Extended* value;
    };
    const FieldCheck checks[] = {
        {f.onLimit, F::ComparatorOnLimit, &f.values.SwitchOnLimit},
        {f.offLimit, F::ComparatorOffLimit, &f.values.SwitchOffLimit},
        {f.onDelay, F::ComparatorOnDelay, &f.values.SwitchOnDelay},
        {f.offDelay, F::ComparatorOffDelay, &f.values.SwitchOffDelay},
    };
    auto refuse = [&](Rule rule, const FieldCheck& check) {
        ctx.ui.message(RefusalText(MakeRefusal(rule, check.field, n)));
        m.focus(check.control);
        return false;
    };
    for (const FieldCheck& check : checks) {
        if (check.control.text.isEmpty())
            return refuse(Rule::Missing, check);
    }
    for (const FieldCheck& check : checks) {
        const auto value = parseLocaleNumber(UpravaFormatu(check.control.text));
        if (!value)
            return refuse(Rule::NotANumber, check);
        *check.value = *value;
    }
    return true;
}

// The store's own rules: a limit the transmitter's float cannot carry would be stored as
// another number, and a delay that does not fit a byte of seconds as another delay. Nothing
// is sent when one refuses.
bool storable(EditorTransferContext& ctx, const ComparatorFields& f, bool enabled)
{
    const ComparatorNumbers numbers{f.values.SwitchOnLimit, f.values.SwitchOffLimit,
                                    f.values.SwitchOnDelay, f.values.SwitchOffDelay};
    for (const Refusal& r : CheckComparator(f.number, numbers, enabled, std::nullopt)) {
        // Equal limits were told when a field was left; the store keeps them.
        if (r.rule == Rule::ComparatorEqualLimits)
            continue;
        ctx.ui.message(RefusalText(r));
        using F = RuleField;
        ctx.model.focus(r.field == F::ComparatorOnLimit    ? f.onLimit
                        : r.field == F::ComparatorOffLimit ? f.offLimit
                        : r.field == F::ComparatorOnDelay  ? f.onDelay
                                                           : f.offDelay);
        return false;
    }
    return true;
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

    if (!takeFieldValues(ctx, f) || !storable(ctx, f, f.enabled.checked))
        return false;

    ComparatorSettings settings;
    settings.enabled = f.enabled.checked;
    settings.window = f.mode.text != choice::Hysteresis;
    settings.switchOnLimit = f.values.SwitchOnLimit;
    settings.switchOffLimit = f.values.SwitchOffLimit;
    if (settings.enabled) {
        // A delay becomes one byte of whole seconds, the nearest with ties to even.
        settings.switchOnDelay = static_cast<std::uint8_t>(roundHalfEven(f.values.SwitchOnDelay));
        settings.switchOffDelay = static_cast<std::uint8_t>(roundHalfEven(f.values.SwitchOffDelay));
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
