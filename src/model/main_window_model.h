#pragma once

#include "configuration/configuration.h"
#include "device/input_type.h"
#include "linearization/extended.h"
#include "model/control.h"
#include "model/main_window_controls.h"
#include "rules/comparator_rules.h"
#include "rules/configuration_rules.h"
#include "rules/refusal.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace vtr8 {

class UserInterface;
struct LinearizationPoints;

// The numeric copies of one limit comparator's fields.
struct ComparatorValues {
    Extended SwitchOnLimit = 0;
    Extended SwitchOffLimit = 0;
    Extended SwitchOnDelay = 0;
    Extended SwitchOffDelay = 0;
};

// The main window without widgets: every control is a value, every handler a
// method named after its control and event. The window binds widgets to the
// controls in both directions; transfers and the command-line tool drive the
// same handlers, so a value that arrives from a file or the transmitter is
// checked exactly like a typed one.
//
// Changes of text:
//  - userEdit(control, text) is what the window calls when the person changes an
//    edit field or combo box: the text is stored and the control's change handler
//    (VstupChange, PripCidlChange, LinearizaceChange, VolenaJednotkaChange,
//    SnOdporChange, DelPomerChange) runs.
//  - setText(control, text) is a change made by the program. For the edit fields
//    with a change handler (SnOdpor, DelPomer) it runs the handler exactly as a
//    typed change would, so DividerRatio and ShuntResistance always follow their
//    text. Combo boxes (Vstup, PripCidl, Linearizace, VolenaJednotka) do not run
//    their handler on a program change: the program calls it itself once the value
//    is in place, as reading and loading do. Otherwise emptying the connection on a
//    new input type would complain about an empty connection.
//  Both do nothing when the text is unchanged.
//
// Refresh: changed() is emitted when the outermost handler returns and just before
// any message box, question or file dialog, so the window under the dialog shows
// the current state. Code that writes controls directly calls notifyChanged().
// The window must block its own widget signals while it copies the model in.
//
// Focus: focus(control) records the control's name in focusedControl, asks the window to
// focus its widget (focusRequested) and tells UserInterface::focus.
class MainWindowModel : public QObject {
    Q_OBJECT

public:
    MainWindowModel(UserInterface& ui, LinearizationPoints& points, QObject* parent = nullptr);
    ~MainWindowModel() override;

    UserInterface& ui() { return ui_; }
    LinearizationPoints& points() { return points_; }

    // --- Controls, named as in the window (main_window_controls.h) -------------------

#define VTR8_DECLARE_CONTROL(name, kind) Control name;
    VTR8_MAIN_WINDOW_CONTROLS(VTR8_DECLARE_CONTROL)
#undef VTR8_DECLARE_CONTROL

    // A field's check: true when the field's value stands, false when it showed why not.
    using ExitCheck = bool (MainWindowModel::*)();
    struct NamedControl {
        QString name;
        Control* control = nullptr;
        ControlKind kind = ControlKind::Label;
        ExitCheck exit = nullptr; // the check run when the field is left
    };
    // Every control with its name and kind, in the list's order: for binding and for focus names.
    const std::vector<NamedControl>& controls() const
    {
        return controls_;
    }
    Control* control(const QString& name) const;
    QString controlName(const Control& control) const;
    const NamedControl& named(const Control& control) const;

    // Runs the exit check of `control` exactly as leaving the field would. True when the value
    // stands (a control without a check always passes): only then may a transfer or a save go
    // on with what the field shows.
    [[nodiscard]] bool commitField(Control& control);

    // --- The configuration's numeric copies -----------------------------------------

    // The input type last accepted by VstupChange; nullopt while Vstup is empty.
    std::optional<InputType> Input;
    QString UnitText; // "°C", "Ohm", "%", "V", "mA" or empty
    Extended RangeStart = 0;
    Extended RangeEnd = 0;
    Extended DampingTime = 0.5L;
    float DampingTimeSingle = 0.5f;
    float DampingCoefficient = 0.5f;
    Extended DividerRatio = 1;
    Extended ShuntResistance = 0;
    Extended ParasiticResistance = 0;
    Extended TotalValue = 0;
    std::uint8_t UnitCode = 0; // HART unit code (unit_code), 0 until an input type is accepted
    bool PointFileChosen = false;
    ComparatorValues Comparator1;
    ComparatorValues Comparator2;

    // The point file chosen in the point-file dialog; empty while none was chosen.
    QString OpenDialog1FileName;
    // Initial folders of the point-file dialog and of the configuration-file dialogs.
    QString OpenDialog1InitialDir;
    QString OpenDialog2InitialDir;
    QString SaveDialog1InitialDir;

    // --- Results of the checks ------------------------------------------------------

    Extended AllowedLow = 0;
    Extended AllowedHigh = 0;
    Extended MinimumSpan = 0;
    QString LimitUnitText;
    bool StartOutOfRange = false;
    bool EndOutOfRange = false;
    bool SpanTooSmall = false;
    bool ConfigIncomplete = false;

    QString focusedControl;

    // --- Changing texts -------------------------------------------------------------

    void setText(Control& control, const QString& text);
    void userEdit(Control& control, const QString& text);
    // What the person typed into a combo box. Boxes whose value must be one of
    // their items (connection, error current, cold junction, relay modes) take a
    // text only as the item it begins, and otherwise keep what they hold;
    // "Linearizace" completes a beginning to an item and hands any other text to its
    // change handler; "Vstup" changes the input type only when the text names one.
    // Other boxes take the text as typed.
    void userTyped(Control& control, const QString& typed);
    [[nodiscard]] bool takesOnlyItems(const Control& control) const;
    void focus(Control& control);
    void notifyChanged();

    // --- Input type, connection, linearization, unit --------------------------------

    void VstupChange();
    // Leaving "Vstup" with a text that names no input type shows the current one again.
    bool VstupExit();
    void PrepJednotek();
    void PripCidlChange();
    void LinearizaceChange();
    void VolenaJednotkaChange();
    void SnOdporChange();
    void DelPomerChange();

    // Chooses and reads the point file for "ze souboru" (dialog, reader, table
    // window). The window code provides it: it fills points() including PointFileOk and
    // sets OpenDialog1FileName when a file was read, and says whether one was. Without
    // one, choosing "ze souboru" behaves as a cancelled dialog.
    void setPointFileChooser(std::function<bool()> chooser);
    [[nodiscard]] bool vyber_souboru();

    // --- Field checks ----------------------------------------------------------------

    void TestMez();
    void TestMez1();
    void TestRozpeti();
    bool PocatekExit();
    bool KonecExit();
    bool TlumeniExit();
    bool ChybProudExit();
    bool VzdStKonExit();
    bool SnOdporExit();
    bool DelPomerExit();
    bool CelkovyOdporExit();
    bool korekcePVExit();
    // Sets ConfigIncomplete on the first empty required field; the caller clears it.
    void Testvyplneni();

    bool EMezsep1Exit();
    bool EMezroz1Exit();
    bool EZpoSep1Exit();
    bool EZpoRoz1Exit();
    bool EMezsep2Exit();
    bool EMezroz2Exit();
    bool Ezposep2Exit();
    bool Ezporoz2Exit();

    // --- The configuration value ---------------------------------------------------

    // The configuration the controls hold now, or nullopt with the Czech reason in `refusal`.
    [[nodiscard]] std::optional<Configuration> toConfiguration(QString* refusal = nullptr) const;
    // The value a write or a comparison takes, once: the damping field's check and the
    // completeness check run first, and "ze souboru" without its points asks for them. nullopt
    // when the person has been told what is missing.
    [[nodiscard]] std::optional<Configuration> configurationForTransfer();
    // Puts a configuration into the controls through the handlers and checks a typed one passes.
    // True when every field's check let its value stand; a refused value has shown its message.
    bool applyConfiguration(const Configuration& configuration);
    // Puts a configuration read from a transmitter into the controls as the transmitter holds
    // it: the input type through VstupChange, then every field's text and value as read,
    // without the checks of a typed value (the transmitter's range may lie outside what the
    // editor offers, and "ze souboru" comes without its points). The progress bar keeps its
    // position.
    void applyReadConfiguration(const Configuration& configuration);
    // The range read back from a transmitter, shown in Pocatek and Konec.
    void showReadRange(const ConfigurationNumber& start, const ConfigurationNumber& end);

    // --- Configuration text file -----------------------------------------------------

    // The buttons: ask for the file name, then save or load.
    void UlosoubClick();
    void ctisoubClick();
    // Saves without a dialog: completeness check, then an atomic replace of `path`.
    // False when nothing was written (incomplete, unmappable character, I/O error;
    // the person has been told).
    [[nodiscard]] bool saveConfiguration(const QString& path);
    // What a load did: loaded when the file was read and its values put into the fields
    // (false: an error was reported and nothing changed); accepted when, besides, every
    // field's check let its value stand (a refused value stays in its field with the check's
    // message shown, as after typing it).
    struct LoadOutcome {
        bool loaded = false;
        bool accepted = false;
        explicit operator bool() const { return loaded; }
    };
    // Loads without a dialog.
    [[nodiscard]] LoadOutcome loadConfiguration(const QString& path);
    // Loads from bytes already read (the loader behind loadConfiguration).
    [[nodiscard]] LoadOutcome loadConfigurationData(const QByteArray& bytes);
    // The bytes a save would write now, or nullopt (with a message) when a text
    // cannot be held by the file's code page. No completeness check.
    [[nodiscard]] std::optional<QByteArray> configurationFileBytes();

    // --- Edits kept nowhere ------------------------------------------------------------

    // The configuration the fields give, as a file would hold it, with the point file behind
    // it; empty while there is none. The user note and the comparators are not part of it:
    // each has its own button that stores it.
    QByteArray configurationState() const;
    // True when there is a configuration and it differs from the one last kept (saved,
    // loaded, read, written): fields emptied of their input type hold nothing to lose.
    bool hasUnsavedEdits() const
    {
        const QByteArray state = configurationState();
        return !state.isEmpty() && state != keptState_;
    }
    void markKept()
    {
        keptState_ = configurationState();
    }
    // Asked before a load replaces the fields (the window program asks the person when there
    // are unsaved edits); false keeps the fields as they are. Unset: a load always goes on.
    std::function<bool()> mayReplaceEdits;

    // --- Comparator limits and the range they were entered for -------------------------

    // True while comparator `number` (1, 2) has a limit that was typed, read or stored for
    // another input type, unit or range than the fields show now.
    bool comparatorLimitsToCheck(int number) const;
    // The limits of comparator `number` now stand for the input and range shown.
    void acknowledgeComparatorLimits(int number);
    // Asked before an enabled comparator is stored: empty when its limits lie in the range
    // shown and were entered for it; otherwise what is wrong, ending in a question.
    QString comparatorStoreQuestion(int number) const;

signals:
    void changed();
    // A configuration file was saved (saved true) or loaded in full.
    void configurationFileDone(const QString& path, bool saved);
    // A check returns the person to `control`: the window focuses its widget.
    void focusRequested(Control* control);

private:
    class ChangeScope;
    friend class ChangeScope;

    void initialiseControls();
    void registerControls();
    void message(const QString& text);
    void runChangeHandler(Control& control, bool userChange);
    void resetForInputType();
    void setRangeCaption(const QString& linearization);
    void setUnitLabels(const QString& unit);
    bool isFromFile() const;
    void parseOnChange(Control& field, Extended& copy);
    // The exit check of a number field: normalised, parsed, refused with `refusal` (emptied,
    // focused) when it is no number. True when `copy` now holds its value.
    bool numberFieldExit(Control& field, Extended& copy, const QString& refusal);
    bool choiceFieldExit(Control& field, const QStringList& choices, const Refusal& refusal);
    // Shows a refusal's text and returns the person to `field`.
    void refuse(const Refusal& refusal, Control& field);
    // The interval of the chosen point set while "ze souboru" is chosen.
    std::optional<PointSetInterval> pointSetInterval() const;
    // Every rule on the configuration the fields hold: false, with the first refusal shown and
    // its field focused, when a value does not stand.
    bool configurationStands(const Configuration& configuration);
    // The same on the configuration the fields give now (true without an input type).
    bool valueStands();
    Control& ruleControl(RuleField field);
    bool rangeFieldExit(bool start);
    bool recheckRange();
    bool comparatorLimitExit(int comparator, bool switchOn);
    bool comparatorDelayExit(int comparator, bool switchOn);

    struct RangeBasis {
        std::optional<InputType> input;
        QString unit;
        Extended start = 0;
        Extended end = 0;
        bool operator==(const RangeBasis&) const = default;
    };
    RangeBasis rangeBasis() const;

    UserInterface& ui_;
    LinearizationPoints& points_;
    QByteArray keptState_;
    RangeBasis comparatorBasis_[2];
    std::function<bool()> pointFileChooser_;
    // The unit labels and code show the point file's unit, not the input type's.
    bool unitFromPointFile_ = false;
    std::vector<NamedControl> controls_;
    int changeDepth_ = 0;
    // False when the input type has no interval to check (special inputs, no
    // shunt value, zero divider) and no point set provides one.
    bool rangeCheckActive_ = false;
    // Set while a loaded file's fields are applied: the range is checked once at the end, not
    // again by each field that moves its bounds.
    bool deferRangeCheck_ = false;
};

} // namespace vtr8
