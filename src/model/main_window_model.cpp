#include "model/main_window_model.h"

#include "model/change_scope.h"
#include "model/choice_completion.h"

#include "configuration/configuration_file.h"
#include "configuration/number_format.h"
#include "device/choice_texts.h"
#include "device/codes.h"
#include "device/input_type_table.h"
#include "linearization/point_set.h"
#include "user_interface/user_interface.h"

#include <algorithm>
#include <cstdlib>

namespace vtr8 {

namespace {

void show(Control& c, bool on)
{
    c.visible = on;
    c.enabled = on;
}

const QString RangeCaption = QStringLiteral("Měřicí rozsah");
const QString OutputRangeCaption = QStringLiteral("Měřicí rozsah výstupu");
const QString FileRangeCaption = QStringLiteral("Měřicí rozsah po linearizaci");

} // namespace

MainWindowModel::MainWindowModel(UserInterface& ui, LinearizationPoints& points, QObject* parent)
    : QObject(parent), ui_(ui), points_(points)
{
    initialiseControls();
    registerControls();
    comparatorBasis_[0] = comparatorBasis_[1] = rangeBasis();
    markKept();
}

MainWindowModel::~MainWindowModel() = default;

void MainWindowModel::initialiseControls()
{
    auto button = [](Control& c, const char* caption) { c.caption = QString::fromUtf8(caption); };

    Caption.text = QStringLiteral(" Ovládací program   VTR8 a KDM");
    button(Poslat, "&Uložit vše do převodníku");
    button(Precist, "&Přečíst z převodníku");
    button(Button1, "&Komunikace");
    button(Mereni, "&Měření");
    button(Informace, "I&nformace"); // Alt+I is the second comparator's "Uložit"
    button(Label23, "verze 16.0");
    button(Label13, "č. firmware");
    button(Label14, "0");
    button(Label19, "Přenos");
    button(Konfigurace, "Konfigurace");
    button(Label12, "Konfigurace ze souboru");
    button(Ulosoub, "U&ložit");
    button(ctisoub, "Př&ečíst");
    button(Firma, "KALMERO");
    button(ButtonVE, "VE");
    button(ButtonKA, "KA");

    button(LabelVstup, "Vstup");
    Vstup.items = vstupListItems();

    button(LabelPripCidl, "Připojení čidla");
    show(LabelPripCidl, false);
    show(PripCidl, false);
    PripCidl.items = QStringList{choice::TwoWire, choice::ThreeWire, choice::FourWire};

    Label4.caption = RangeCaption;
    Label4.enabled = false;
    button(LabelPocatek, "Počátek");
    LabelPocatek.enabled = false;
    Pocatek.enabled = false;
    button(LabelKonec, "Konec");
    LabelKonec.enabled = false;
    Konec.enabled = false;

    button(LabelLinearizace, "Linearizace");
    LabelLinearizace.enabled = false;
    Linearizace.items = QStringList{choice::Linearized, choice::NotLinearized, choice::FromFile};
    Linearizace.enabled = false;

    button(LabelVolenaJednotka, "Jednotka");
    show(LabelVolenaJednotka, false);
    show(VolenaJednotka, false);
    VolenaJednotka.items = QStringList{choice::DegreesCelsius, choice::Ohm,     choice::Volt,
                                       choice::Milliampere,    choice::Percent, choice::NoUnit};

    button(LabelTlumeni, "Tlumení");
    Tlumeni.text = QStringLiteral("0.5");
    button(LabelTlumeniUnit, "s");

    button(LabelChybProud, "Chybový proud");
    ChybProud.items =
        QStringList{choice::Overcurrent, choice::Undercurrent, choice::ErrorCurrentOff};

    button(LabelVzdStKon, "Vzdálenost studeného konce termočlánku");
    show(LabelVzdStKon, false);
    show(VzdStKon, false);
    VzdStKon.items = QStringList{choice::InternalColdJunction, choice::NearColdJunction,
                                 choice::RemoteColdJunction};

    button(Label10, "Zeslabení přídavným děličem napětí");
    button(Label11, "krát");
    DelPomer.text = QStringLiteral("1");
    for (Control* c : {&Label10, &DelPomer, &Label11})
        show(*c, false);

    button(Label31, "Snímací odpor při měř. proudu");
    button(Label32, "Ohm");
    for (Control* c : {&Label31, &SnOdpor, &Label32})
        show(*c, false);

    button(LabelKorekcePV, "Přídavný parazitní odpor čidla");
    button(LabelKorekcePVUnit, "Ohm");
    korekcePV.text = QStringLiteral("0");
    for (Control* c : {&LabelKorekcePV, &korekcePV, &LabelKorekcePVUnit})
        show(*c, false);

    for (Control* c : {&Pcelkodpor, &CelkovyOdpor, &Jcelkodpor})
        show(*c, false);

    // The reference adjustment stays hidden for good; only its enabled state moves.
    button(Label18, "Nastavení s referencí");
    button(S_Dolmez, "Nastavení dolní meze");
    button(S_Hormez, "Nastavení horní meze");
    for (Control* c : {&Label18, &S_Dolmez, &S_Hormez})
        show(*c, false);

    button(PovolKompar1, "Povolení mezního komparátoru 1");
    button(PovolKompar2, "Povolení mezního komparátoru 2");
    for (Control* c : {&EZpoSep1, &EZpoRoz1, &Ezposep2, &Ezporoz2})
        c->text = QStringLiteral("0");
    for (Control* c : {&RezimRele1, &RezimRele2}) {
        c->items = QStringList{choice::Hysteresis, choice::Window};
        c->text = choice::Hysteresis;
        c->itemIndex = 0;
    }
    // Mnemonics are plain letters, the same key on a Czech and an English keyboard. The six
    // "Přečíst"/"Uložit" buttons run out of letters of their own: the note's buttons have none
    // and are one Tab away from the note, whose label leads to it.
    button(Preckomp1, "Přeči&st");
    button(Ulozkomp1, "Ul&ožit");
    button(Preckomp2, "Přečís&t");
    button(Ulozkomp2, "Ulož&it");
    button(Prec_Pozn, "Přečíst");
    button(Uloz_Pozn, "Uložit");

    button(LabelUzPozn, "Uži&vatelská poznámka");
}

void MainWindowModel::registerControls()
{
#define VTR8_REGISTER_CONTROL(name, kind)                                                          \
    controls_.push_back({QStringLiteral(#name), &name, ControlKind::kind});
    VTR8_MAIN_WINDOW_CONTROLS(VTR8_REGISTER_CONTROL)
#undef VTR8_REGISTER_CONTROL
    for (NamedControl& c : controls_) {
#define VTR8_REGISTER_EXIT(name, handler)                                                          \
    if (c.control == &name)                                                                        \
        c.exit = &MainWindowModel::handler;
        VTR8_MAIN_WINDOW_FIELD_EXITS(VTR8_REGISTER_EXIT)
#undef VTR8_REGISTER_EXIT
    }
}

const MainWindowModel::NamedControl& MainWindowModel::named(const Control& c) const
{
    for (const NamedControl& one : controls_)
        if (one.control == &c)
            return one;
    qFatal("vtr8: a control of the main window is missing from its control list");
    std::abort();
}

bool MainWindowModel::commitField(Control& c)
{
    const ExitCheck exit = named(c).exit;
    return !exit || (this->*exit)();
}

Control* MainWindowModel::control(const QString& name) const
{
    for (const NamedControl& named : controls_) {
        if (named.name == name)
            return named.control;
    }
    return nullptr;
}

QString MainWindowModel::controlName(const Control& c) const
{
    for (const NamedControl& named : controls_) {
        if (named.control == &c)
            return named.name;
    }
    return {};
}

// --- Texts, focus, messages -----------------------------------------------------------

void MainWindowModel::setText(Control& c, const QString& text)
{
    ChangeScope scope(*this);
    if (c.text == text)
        return;
    c.text = text;
    runChangeHandler(c, false);
}

void MainWindowModel::userEdit(Control& c, const QString& text)
{
    ChangeScope scope(*this);
    if (c.text == text)
        return;
    c.text = text;
    c.itemIndex = int(c.items.indexOf(text));
    // A limit typed now is typed for the range shown now.
    if (&c == &EMezsep1 || &c == &EMezroz1)
        acknowledgeComparatorLimits(1);
    else if (&c == &EMezsep2 || &c == &EMezroz2)
        acknowledgeComparatorLimits(2);
    runChangeHandler(c, true);
}

void MainWindowModel::userTyped(Control& c, const QString& typed)
{
    ChangeScope scope(*this);
    if (&c == &Vstup) {
        // Only a text that names an input type (case and accents aside) changes it; anything
        // on the way there is a draft the box shows, so typing a name letter by letter never
        // passes through other input types. Leaving the box takes the draft back.
        QStringList names = c.items; // and the four outside the list, typed the same way
        for (std::size_t i = VstupListCount; i < vstupOrder.size(); ++i)
            names << inputTypeText(vstupOrder[i]);
        const auto item = completeChoice(typed, names);
        if (inputTypeFromText(typed))
            userEdit(c, typed);
        else if (item && commonPrefixLength(typed, *item) == item->size() &&
                 typed.size() == item->size())
            userEdit(c, *item);
        else
            c.text = typed;
        return;
    }
    const bool onlyItems = takesOnlyItems(c);
    const bool completes = onlyItems || &c == &Linearizace;
    if (const auto item = completes ? completeChoice(typed, c.items) : std::nullopt)
        userEdit(c, *item);
    else if (!onlyItems)
        userEdit(c, typed);
    // else refused: the box shows its item again
}

bool MainWindowModel::VstupExit()
{
    ChangeScope scope(*this);
    // A text that names no input type gives way to the one chosen, silently.
    const QString shown = Input ? inputTypeText(*Input) : QString();
    if (Vstup.text != shown && !inputTypeFromText(Vstup.text))
        Vstup.text = shown;
    return true;
}

bool MainWindowModel::takesOnlyItems(const Control& c) const
{
    return &c == &PripCidl || &c == &ChybProud || &c == &VzdStKon || &c == &RezimRele1 ||
           &c == &RezimRele2;
}

void MainWindowModel::runChangeHandler(Control& c, bool userChange)
{
    if (&c == &SnOdpor)
        SnOdporChange();
    else if (&c == &DelPomer)
        DelPomerChange();
    else if (!userChange)
        return;
    else if (&c == &Vstup)
        VstupChange();
    else if (&c == &PripCidl)
        PripCidlChange();
    else if (&c == &Linearizace)
        LinearizaceChange();
    else if (&c == &VolenaJednotka)
        VolenaJednotkaChange();
}

void MainWindowModel::focus(Control& c)
{
    focusedControl = controlName(c);
    // The window moves the focus to the widget of the control; the seam only hears of it.
    emit focusRequested(&c);
    ui_.focus(focusedControl);
}

void MainWindowModel::notifyChanged()
{
    emit changed();
}

void MainWindowModel::message(const QString& text)
{
    // The window under the box shows the state the message talks about.
    emit changed();
    ui_.message(text);
}

// --- Input type ------------------------------------------------------------------------

void MainWindowModel::resetForInputType()
{
    Prenos.position = 0;
    PrenosByte.position = 0;

    show(Label10, false);
    show(Label11, false);
    show(DelPomer, false);
    setText(DelPomer, QStringLiteral("1"));

    show(Label31, false);
    show(Label32, false);
    show(SnOdpor, false);
    setText(SnOdpor, QString());

    show(LabelKorekcePV, false);
    show(LabelKorekcePVUnit, false);
    show(korekcePV, false);
    setText(korekcePV, QStringLiteral("0"));
    ParasiticResistance = 0;

    show(LabelVolenaJednotka, false);
    show(VolenaJednotka, false);

    show(Pcelkodpor, false);
    show(CelkovyOdpor, false);
    show(Jcelkodpor, false);
    setText(CelkovyOdpor, QString());

    for (Control* c : {&Label4, &LabelPocatek, &LabelKonec, &Label8, &LabelLinearizace, &Label18,
                       &S_Dolmez, &S_Hormez, &Pocatek, &Konec, &Linearizace})
        c->enabled = false;
    show(LabelPripCidl, false);
    show(PripCidl, false);
    for (Control* c : {&Pocatek, &Konec, &PripCidl, &Linearizace})
        setText(*c, QString());

    show(LabelVzdStKon, false);
    show(VzdStKon, false);
    setText(VzdStKon, QString());
    setText(ChybProud, QString());
}

void MainWindowModel::VstupChange()
{
    ChangeScope scope(*this);
    resetForInputType();

    const std::optional<InputType> type = inputTypeFromText(Vstup.text);
    Label4.caption = type && isSpecialInput(*type) ? OutputRangeCaption : RangeCaption;
    if (!type) {
        setText(Vstup, QString());
        Vstup.itemIndex = -1;
        Input.reset();
        return;
    }
    const InputType t = *type;

    for (Control* c : {&Label4, &LabelPocatek, &LabelKonec, &Label8, &LabelLinearizace, &Label18,
                       &S_Dolmez, &S_Hormez, &Linearizace, &Pocatek, &Konec})
        c->enabled = true;

    const InputTypeRow& row = inputTypeRow(t);
    const bool connection = row.has(InputField::Connection);
    show(LabelPripCidl, connection);
    show(PripCidl, connection);
    if (!connection)
        setText(PripCidl, QString());

    if (row.has(InputField::Parasitic)) {
        show(LabelKorekcePV, true);
        show(korekcePV, true);
        show(LabelKorekcePVUnit, true);
        setText(korekcePV, QStringLiteral("0"));
    }
    if (row.has(InputField::Shunt)) {
        Label31.caption = QStringLiteral("Snímací odpor při měř. proudu");
        show(Label31, true);
        show(SnOdpor, true);
        show(Label32, true);
    }
    if (row.has(InputField::TotalValue)) {
        show(Pcelkodpor, true);
        show(CelkovyOdpor, true);
        show(Jcelkodpor, true);
        Pcelkodpor.caption = QString::fromUtf16(row.totalValueCaption);
        Jcelkodpor.caption = unitText(row.totalValueUnitCode);
    }

    unitFromPointFile_ = false;
    PrepJednotek();

    if (row.has(InputField::ColdJunction)) {
        show(LabelVzdStKon, true);
        show(VzdStKon, true);
    }

    // A list of one is fixed: its text is set and the person has nothing to choose. An empty set
    // leaves the list as the previous input type left it.
    auto fillList = [&](Control& box, const QStringList& items) {
        if (items.isEmpty())
            return;
        box.items = items;
        if (items.size() == 1)
            setText(box, items.front());
    };
    fillList(PripCidl, connectionItems(row.connections));
    fillList(Linearizace, linearizationItems(row.linearizations));

    Vstup.itemIndex = int(Vstup.items.indexOf(Vstup.text));
    Input = t;
}

void MainWindowModel::setUnitLabels(const QString& unit)
{
    UnitText = unit;
    for (Control* c : {&Label8, &Label9, &Label22, &Label24, &Label37, &Label38})
        c->caption = unit;
}

void MainWindowModel::PrepJednotek()
{
    ChangeScope scope(*this);
    const std::optional<InputType> type = inputTypeFromText(Vstup.text);
    if (!type)
        return;
    const InputTypeRow& row = inputTypeRow(*type);
    setUnitLabels(unitText(row.unitCode));
    UnitCode = row.unitCode;
    if (row.totalValueUnitCode != unit_code::None)
        Jcelkodpor.caption = unitText(row.totalValueUnitCode);
    if (row.dividerPreset)
        setText(DelPomer, QString::fromUtf16(row.dividerPreset));
    if (row.has(InputField::Divider)) {
        show(Label10, true);
        show(DelPomer, true);
        show(Label11, true);
    }
    if (row.resetsChosenUnit)
        VolenaJednotka.text = choice::NoUnit;
}

// --- Connection, linearization, unit --------------------------------------------------

void MainWindowModel::PripCidlChange()
{
    ChangeScope scope(*this);
    const QChar first = PripCidl.text.isEmpty() ? QChar() : PripCidl.text.front();
    QString result;
    if (first == QLatin1Char('D') || first == QLatin1Char('d'))
        result = choice::TwoWire;
    else if (first == QLatin1Char('T') || first == QLatin1Char('t'))
        result = choice::ThreeWire;
    else if (first == QChar(u'Č') || first == QChar(u'č') || first == QLatin1Char('C') ||
             first == QLatin1Char('c'))
        result = choice::FourWire;

    const bool potentiometer = Input && isPotentiometer(*Input);
    const bool valid = result == choice::ThreeWire || result == choice::FourWire ||
                       (result == choice::TwoWire && !potentiometer);
    if (valid) {
        PripCidl.text = result;
        PripCidl.itemIndex = int(PripCidl.items.indexOf(result));
        return;
    }
    PripCidl.text.clear();
    PripCidl.itemIndex = -1;
    message(QStringLiteral("špatně zadaný způsob připojení čidla"));
    focus(PripCidl);
}

bool MainWindowModel::isFromFile() const
{
    return Linearizace.text == choice::FromFile;
}

void MainWindowModel::setRangeCaption(const QString& linearization)
{
    if (linearization == choice::FromFile) {
        Label4.caption = FileRangeCaption;
        return;
    }
    Label4.caption = Input && isSpecialInput(*Input) ? OutputRangeCaption : RangeCaption;
}

void MainWindowModel::LinearizaceChange()
{
    ChangeScope scope(*this);
    show(LabelVolenaJednotka, false);
    show(VolenaJednotka, false);

    const QChar first = Linearizace.text.isEmpty() ? QChar() : Linearizace.text.front();
    if (first == QLatin1Char('L') || first == QLatin1Char('l'))
        Linearizace.text = choice::Linearized;
    else if (first == QLatin1Char('N') || first == QLatin1Char('n'))
        Linearizace.text = choice::NotLinearized;
    else if (first == QLatin1Char('Z') || first == QLatin1Char('z'))
        Linearizace.text = choice::FromFile;
    Linearizace.itemIndex = int(Linearizace.items.indexOf(Linearizace.text));

    const QString text = Linearizace.text;
    // Leaving "ze souboru" gives the range back the input type's unit.
    if (unitFromPointFile_ && text != choice::FromFile) {
        unitFromPointFile_ = false;
        PrepJednotek();
    }
    if (text == choice::Linearized) {
        setRangeCaption(text);
    } else if (text == choice::NotLinearized) {
        setRangeCaption(text);
        PrepJednotek();
    } else if (text == choice::SquareRoot) {
        setRangeCaption(text);
        Label18.enabled = false;
        S_Dolmez.enabled = false;
        S_Hormez.enabled = false;
    } else if (text == choice::FromFile) {
        setRangeCaption(text);
        show(LabelVolenaJednotka, true);
        show(VolenaJednotka, true);
        VolenaJednotka.text = choice::NoUnit;
        VolenaJednotka.itemIndex = int(VolenaJednotka.items.indexOf(choice::NoUnit));
        // The transmitter gets the unit the box shows, not the input's own.
        UnitCode = unit_code::None;
        unitFromPointFile_ = true;
        setUnitLabels(QString());
        // A cancelled or refused choice keeps the previous file's name and points, but the
        // box does not stay on "ze souboru" with them.
        if (!vyber_souboru() || !points_.PointFileOk) {
            const QStringList items = Linearizace.items;
            Linearizace.items.clear();
            unitFromPointFile_ = false;
            VstupChange();
            // A special U/I input keeps the list it had (VstupChange leaves it as it finds
            // it): the person still has something to choose from.
            if (Linearizace.items.isEmpty())
                Linearizace.items = items;
        }
        PointFileChosen = true;
    } else {
        Linearizace.text.clear();
        Linearizace.itemIndex = -1;
        message(QStringLiteral("špatně zadaný způsob linearizace"));
    }
}

void MainWindowModel::VolenaJednotkaChange()
{
    ChangeScope scope(*this);
    const QChar first = VolenaJednotka.text.isEmpty() ? QChar() : VolenaJednotka.text.front();
    std::optional<std::uint8_t> unit;
    if (first == QChar(u'°'))
        unit = unit_code::DegreesCelsius;
    else if (first == QLatin1Char('O') || first == QLatin1Char('o'))
        unit = unit_code::Ohm;
    else if (first == QLatin1Char('V') || first == QLatin1Char('v'))
        unit = unit_code::Volt;
    else if (first == QLatin1Char('m') || first == QLatin1Char('M'))
        unit = unit_code::Milliampere;
    else if (first == QLatin1Char('%'))
        unit = unit_code::Percent;
    else if (first == QLatin1Char('b') || first == QLatin1Char('B'))
        unit = unit_code::None;

    if (!unit) {
        VolenaJednotka.text.clear();
        VolenaJednotka.itemIndex = -1;
        focus(VolenaJednotka);
        return;
    }
    // "Bez jednotky" is the box's text for no unit; the labels stay empty.
    VolenaJednotka.text = *unit == unit_code::None ? choice::NoUnit : unitText(*unit);
    VolenaJednotka.itemIndex = int(VolenaJednotka.items.indexOf(VolenaJednotka.text));
    UnitCode = *unit;
    setUnitLabels(unitText(*unit));
}

// The copy follows every change that reads as a number in either separator (a file's "5.00000"
// in a decimal-comma locale, or "2." half-way through typing "2.5"). Anything else waits for the
// exit check, which refuses it.
void MainWindowModel::parseOnChange(Control& field, Extended& copy)
{
    if (const auto value = parseLocaleNumber(UpravaFormatu(field.text)))
        copy = *value;
}

bool MainWindowModel::numberFieldExit(Control& field, Extended& copy, const QString& refusal)
{
    setText(field, UpravaFormatu(field.text));
    if (const auto value = parseLocaleNumber(field.text)) {
        copy = *value;
        return true;
    }
    message(refusal);
    setText(field, QString());
    focus(field);
    return false;
}

void MainWindowModel::SnOdporChange()
{
    parseOnChange(SnOdpor, ShuntResistance);
}

void MainWindowModel::DelPomerChange()
{
    parseOnChange(DelPomer, DividerRatio);
}

void MainWindowModel::setPointFileChooser(std::function<bool()> chooser)
{
    pointFileChooser_ = std::move(chooser);
}

bool MainWindowModel::vyber_souboru()
{
    ChangeScope scope(*this);
    if (!pointFileChooser_)
        return false;
    emit changed();
    return pointFileChooser_();
}

// --- Edits kept nowhere -----------------------------------------------------------------

QByteArray MainWindowModel::configurationState() const
{
    const std::optional<Configuration> c = toConfiguration();
    if (!c)
        return {};
    ConfigurationFileBytes file = writeConfigurationFile(*c);
    // A text the file cannot hold still counts by what it says.
    QByteArray state = file.error.isEmpty() ? file.bytes : file.error.toUtf8();
    if (c->linearization == Linearization::FromFile)
        state += '\0' + OpenDialog1FileName.toUtf8();
    return state;
}

// --- Comparator limits --------------------------------------------------------------------

MainWindowModel::RangeBasis MainWindowModel::rangeBasis() const
{
    return {Input, UnitText, RangeStart, RangeEnd};
}

bool MainWindowModel::comparatorLimitsToCheck(int number) const
{
    const bool first = number == 1;
    const Control& on = first ? EMezsep1 : EMezsep2;
    const Control& off = first ? EMezroz1 : EMezroz2;
    if (on.text.trimmed().isEmpty() && off.text.trimmed().isEmpty())
        return false;
    return comparatorBasis_[first ? 0 : 1] != rangeBasis();
}

void MainWindowModel::acknowledgeComparatorLimits(int number)
{
    comparatorBasis_[number == 1 ? 0 : 1] = rangeBasis();
}

QString MainWindowModel::comparatorStoreQuestion(int number) const
{
    const bool first = number == 1;
    if (!(first ? PovolKompar1 : PovolKompar2).checked)
        return {}; // disabling stores no limit
    const QString n = QString::number(number);
    const QString unit = UnitText.isEmpty() ? QString() : QLatin1Char(' ') + UnitText;
    const QString range = Pocatek.text + QStringLiteral(" až ") + Konec.text + unit;
    QStringList lines;
    if (Input) {
        // A falling range has its start above its end: the limits lie between the two.
        const Extended low = std::min(RangeStart, RangeEnd);
        const Extended high = std::max(RangeStart, RangeEnd);
        const std::pair<const Control*, QString> limits[] = {
            {first ? &EMezsep1 : &EMezsep2, QStringLiteral("Mez sepnutí")},
            {first ? &EMezroz1 : &EMezroz2, QStringLiteral("Mez rozepnutí")}};
        for (const auto& [field, name] : limits) {
            const auto value = parseLocaleNumber(UpravaFormatu(field->text));
            if (value && (*value < low || *value > high))
                lines << QStringLiteral("%1 komparátoru %2 (%3%4) je mimo měřicí rozsah %5.")
                             .arg(name, n, field->text, unit, range);
        }
    }
    if (lines.isEmpty() && comparatorLimitsToCheck(number))
        lines << QStringLiteral("Meze komparátoru %1 byly zadány pro jiný vstup nebo měřicí "
                                "rozsah, než je nyní zadán (%2).")
                     .arg(n, range);
    if (lines.isEmpty())
        return {};
    lines << QStringLiteral("Přesto meze uložit do převodníku?");
    return lines.join(QLatin1Char('\n'));
}

} // namespace vtr8
