#include "model/main_window_model.h"

#include "model/change_scope.h"

#include "configuration/number_format.h"
#include "device/choice_texts.h"
#include "device/input_type_table.h"

// The one place where the main window's controls become a Configuration and a Configuration
// becomes the controls.
namespace vtr8 {

namespace {

ConfigurationNumber numberOf(Extended value, const Control& field)
{
    return {value, field.text};
}

} // namespace

std::optional<Configuration> MainWindowModel::toConfiguration(QString* refusal) const
{
    if (!Input) {
        if (refusal)
            *refusal = QStringLiteral("Není zadán typ vstupu.");
        return std::nullopt;
    }
    Configuration c;
    c.input = *Input;
    c.rangeStart = numberOf(RangeStart, Pocatek);
    c.rangeEnd = numberOf(RangeEnd, Konec);
    c.unitCode = UnitCode;
    c.linearization = linearizationFromText(Linearizace.text);
    // The damping text is what the person sees; its copy follows only the field's exit check.
    c.damping = {parseLocaleNumber(UpravaFormatu(Tlumeni.text)).value_or(DampingTime),
                 Tlumeni.text};
    c.errorCurrent = errorCurrentFromText(ChybProud.text);
    c.connection = connectionFromText(PripCidl.text);
    c.coldJunction = coldJunctionFromText(VzdStKon.text);
    c.parasiticResistance = numberOf(ParasiticResistance, korekcePV);
    c.totalValue = numberOf(TotalValue, CelkovyOdpor);
    c.dividerRatio = numberOf(DividerRatio, DelPomer);
    c.shuntResistance = numberOf(ShuntResistance, SnOdpor);
    return c;
}

std::optional<Configuration> MainWindowModel::configurationForTransfer()
{
    ChangeScope scope(*this);
    // A refused damping has told the person what is wrong with it.
    const bool dampingStands = TlumeniExit();
    ConfigIncomplete = false;
    Testvyplneni();
    if (ConfigIncomplete || !dampingStands)
        return std::nullopt;
    QString refusal;
    std::optional<Configuration> c = toConfiguration(&refusal);
    if (!c) {
        message(refusal);
        return std::nullopt;
    }
    if (!c->linearization) {
        message(QStringLiteral("Není zadán způsob linearizace"));
        return std::nullopt;
    }
    // "ze souboru" needs the points behind it, which a read does not bring: choose them first.
    if (c->linearization == Linearization::FromFile && !PointFileChosen) {
        LinearizaceChange();
        Prenos.position = 0;
        return std::nullopt;
    }
    // Every rule, not only those of the fields left last: a value refused when it was typed
    // or loaded is never written.
    if (!configurationStands(*c))
        return std::nullopt;
    return c;
}

// Every value goes through the handler a typed one passes, in the order of the file's lines,
// so that a loaded configuration is checked and shaped exactly like a typed one.
bool MainWindowModel::applyConfiguration(const Configuration& c)
{
    ChangeScope scope(*this);
    bool accepted = true;
    Vstup.text = inputTypeText(c.input);
    Vstup.itemIndex = int(Vstup.items.indexOf(Vstup.text));
    VstupChange();

    // Both limits first: the span check at the end compares the two new ones.
    RangeStart = c.rangeStart.value;
    RangeEnd = c.rangeEnd.value;
    setText(Pocatek, c.rangeStart.text);
    setText(Konec, c.rangeEnd.text);

    if (c.linearization) {
        Linearizace.text = linearizationText(*c.linearization);
        Linearizace.itemIndex = int(Linearizace.items.indexOf(Linearizace.text));
    }
    LinearizaceChange();
    // "ze souboru" whose points were refused or not chosen falls back.
    if (c.linearization && Linearizace.text != linearizationText(*c.linearization))
        accepted = false;
    // A point file's unit is the configuration's own: choosing the point file resets the unit
    // box, so the unit is applied after it, as if chosen by hand.
    if (isFromFile()) {
        VolenaJednotka.text = c.unitCode == unit_code::None ? choice::NoUnit : unitText(c.unitCode);
        VolenaJednotkaChange();
    }

    setText(Tlumeni, UpravaFormatu(c.damping.text));
    accepted = TlumeniExit() && accepted;
    setText(ChybProud, c.errorCurrent ? errorCurrentText(*c.errorCurrent) : QString());
    accepted = ChybProudExit() && accepted;

    // The input type's own fields in the file's order, each through its check; the range is
    // checked once below against the bounds they end with.
    deferRangeCheck_ = true;
    for (const InputField field : inputTypeRow(c.input).fields) {
        switch (field) {
        case InputField::Connection:
            PripCidl.text = connectionText(c.connection);
            PripCidlChange();
            // A connection the input cannot have is cleared with its message.
            accepted = !PripCidl.text.isEmpty() && accepted;
            break;
        case InputField::Parasitic:
            setText(korekcePV, c.parasiticResistance.text);
            accepted = korekcePVExit() && accepted;
            break;
        case InputField::TotalValue:
            setText(CelkovyOdpor, c.totalValue.text);
            accepted = CelkovyOdporExit() && accepted;
            break;
        case InputField::ColdJunction:
            setText(VzdStKon, c.coldJunction ? coldJunctionText(*c.coldJunction) : QString());
            accepted = VzdStKonExit() && accepted;
            break;
        case InputField::Divider:
            setText(DelPomer, c.dividerRatio.text);
            accepted = DelPomerExit() && accepted;
            break;
        case InputField::Shunt:
            setText(SnOdpor, c.shuntResistance.text);
            accepted = SnOdporExit() && accepted;
            break;
        case InputField::None:
            break;
        }
    }
    deferRangeCheck_ = false;

    accepted = PocatekExit() && accepted;
    accepted = KonecExit() && accepted;
    return accepted;
}

// What a read brings is shown as the transmitter holds it. VstupChange shapes the window for
// the input type (which fields and units it has, their defaults); the texts of the read then
// replace the fields' own, and a value the read did not take keeps that default.
void MainWindowModel::applyReadConfiguration(const Configuration& c)
{
    ChangeScope scope(*this);
    const int progress = Prenos.position;
    setText(Vstup, inputTypeText(c.input));
    VstupChange();
    // VstupChange starts the progress bars over, as for a person's new choice.
    Prenos.position = progress;

    if (c.errorCurrent)
        setText(ChybProud, errorCurrentText(*c.errorCurrent));
    const InputType t = c.input;
    if (!hasSensorConnection(t))
        setText(PripCidl, QString());
    else if (c.connection != ConnectionCode::None)
        setText(PripCidl, connectionText(c.connection));
    if (isThermocouple(t) && c.coldJunction)
        setText(VzdStKon, coldJunctionText(*c.coldJunction));

    if (isShuntCurrent(t)) {
        setText(SnOdpor, c.shuntResistance.text);
        ShuntResistance = c.shuntResistance.value;
    }
    if (inputTypeRow(t).has(InputField::TotalValue)) {
        TotalValue = c.totalValue.value;
        setText(CelkovyOdpor, c.totalValue.text);
    }
    if (isResistanceThermometer(t)) {
        ParasiticResistance = c.parasiticResistance.value;
        setText(korekcePV, c.parasiticResistance.text);
    }
    DampingTime = c.damping.value;
    DampingTimeSingle = static_cast<float>(c.damping.value);
    setText(Tlumeni, c.damping.text);

    UnitCode = c.unitCode;
    setUnitLabels(unitText(c.unitCode));
    if (c.linearization) {
        setText(Linearizace, linearizationText(*c.linearization));
        if (c.linearization == Linearization::SquareRoot) {
            for (Control* button : {&Label18, &S_Dolmez, &S_Hormez})
                button->enabled = false;
        }
        // The points behind a stored table are not in the transmitter: a later write asks for
        // the point file again.
        if (c.linearization == Linearization::FromFile)
            PointFileChosen = false;
    }
    showReadRange(c.rangeStart, c.rangeEnd);
    if (!c.dividerRatio.text.isEmpty()) {
        setText(DelPomer, c.dividerRatio.text);
        DividerRatio = c.dividerRatio.value;
    }
}

void MainWindowModel::showReadRange(const ConfigurationNumber& start,
                                    const ConfigurationNumber& end)
{
    ChangeScope scope(*this);
    RangeStart = start.value;
    RangeEnd = end.value;
    setText(Pocatek, start.text);
    setText(Konec, end.text);
}

} // namespace vtr8
