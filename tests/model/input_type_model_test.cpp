#include "model_fixture.h"

#include <cstdint>
#include <vector>

namespace vtr8::test {
namespace {

namespace c = choice;

const QString RangeCaption = QStringLiteral("Měřicí rozsah");
const QString OutputCaption = QStringLiteral("Měřicí rozsah výstupu");
const QString FileCaption = QStringLiteral("Měřicí rozsah po linearizaci");

// What choosing one input type in a fresh window shows.
struct Shape {
    const char* text;
    bool connectionVisible;
    QStringList connectionItems; // checked when the connection is visible or fixed
    QString connectionText;
    QStringList linearizationItems;
    QString linearizationText;
    QString unit;
    std::uint8_t unitCode;
    bool parasitic;
    bool shunt;
    QString totalCaption; // empty: the total-value group stays hidden
    QString totalUnit;
    bool divider;
    bool coldJunction;
    QString rangeCaption;
};

std::vector<Shape> shapes()
{
    const QStringList all{c::TwoWire, c::ThreeWire, c::FourWire};
    const QStringList threeFour{c::ThreeWire, c::FourWire};
    const QStringList lin3{c::Linearized, c::NotLinearized, c::FromFile};
    const QStringList lin2{c::NotLinearized, c::FromFile};
    // Fresh window: the special inputs keep the list of the form.
    const QStringList formList = lin3;
    auto tc = [&](const char* text) {
        return Shape{text,  false, {}, {}, lin3,  {},   "°C",        32,
                     false, false, {}, {}, false, true, RangeCaption};
    };
    auto rtd = [&](const char* text) {
        return Shape{text, true,  all, {}, lin3,  {},    "°C",        32,
                     true, false, {},  {}, false, false, RangeCaption};
    };
    // clang-format off
    return {
        rtd("odporový teploměr Pt100"),
        rtd("odporový teploměr Pt1000"),
        rtd("odporový teploměr Ni100"),
        rtd("odporový teploměr Ni1000"),
        {"reostat", true, all, {}, lin2, {}, "Ohm", 37, false, false, {}, {}, false, false,
         RangeCaption},
        {"rozdíl dvou rezistorů", false, {c::TwoWire}, c::TwoWire, {c::NotLinearized},
         c::NotLinearized, "Ohm", 37, false, false, "Max. hodnota součtu obou rezistorů", "Ohm",
         false, false, RangeCaption},
        {"potenciometr absolutní", true, threeFour, {}, lin2, {}, "Ohm", 37, false, false, {}, {},
         false, false, RangeCaption},
        {"potenciometr relativní", true, threeFour, {}, lin2, {}, "%", 57, false, false,
         "Maximální odpor potenciometru", "Ohm", false, false, RangeCaption},
        tc("termočlánek B"),
        tc("termočlánek E"),
        tc("termočlánek J"),
        tc("termočlánek K"),
        tc("termočlánek N"),
        tc("termočlánek L"),
        tc("termočlánek R"),
        tc("termočlánek S"),
        tc("termočlánek T"),
        {"napětí", false, {}, {}, lin2, {}, "V", 58, false, false, {}, {}, true, false,
         RangeCaption},
        {"rozdíl dvou napětí", false, {c::TwoWire}, c::TwoWire, {c::NotLinearized},
         c::NotLinearized, "V", 58, false, false, "Maximální hodnota měřených napětí", "V", true,
         false, RangeCaption},
        {"proud", false, {}, {}, lin2, {}, "mA", 39, false, true, {}, {}, false, false,
         RangeCaption},
        {"rozdíl dvou proudů", false, {c::TwoWire}, c::TwoWire, {c::NotLinearized},
         c::NotLinearized, "mA", 39, false, true, "Maximální hodnota měřených proudů", "mA",
         false, false, RangeCaption},
        {"0...10 V-spec. vstup U/I", false, {}, {}, formList, {}, "V", 58, false, false, {}, {},
         false, false, OutputCaption},
        {"0...20 mA-spec. vstup U/I", false, {}, {}, formList, {}, "mA", 39, false, false, {}, {},
         false, false, OutputCaption},
        {"4...20 mA-spec. vstup U/I", false, {}, {}, formList, {}, "mA", 39, false, false, {}, {},
         false, false, OutputCaption},
    };
    // clang-format on
}

TEST_F(ModelTest, EveryInputTypeShapesTheWindow)
{
    const auto all = shapes();
    ASSERT_EQ(all.size(), 24u);
    for (const Shape& s : all) {
        SCOPED_TRACE(s.text);
        ScriptedUserInterface freshUi;
        LinearizationPoints freshPoints;
        MainWindowModel m(freshUi, freshPoints);
        m.userEdit(m.Vstup, QString::fromUtf8(s.text));

        EXPECT_EQ(m.Vstup.text, QString::fromUtf8(s.text));
        ASSERT_TRUE(m.Input.has_value());
        EXPECT_EQ(inputTypeText(*m.Input), QString::fromUtf8(s.text));
        EXPECT_TRUE(freshUi.messages.isEmpty());

        EXPECT_EQ(m.PripCidl.visible, s.connectionVisible);
        EXPECT_EQ(m.PripCidl.enabled, s.connectionVisible);
        EXPECT_EQ(m.LabelPripCidl.visible, s.connectionVisible);
        if (!s.connectionItems.isEmpty()) {
            EXPECT_EQ(m.PripCidl.items, s.connectionItems);
        }
        EXPECT_EQ(m.PripCidl.text, s.connectionText);

        EXPECT_EQ(m.Linearizace.items, s.linearizationItems);
        EXPECT_EQ(m.Linearizace.text, s.linearizationText);
        EXPECT_TRUE(m.Linearizace.enabled);

        const QString unit = s.unit;
        EXPECT_EQ(m.UnitText, unit);
        EXPECT_EQ(m.UnitCode, s.unitCode);
        for (const Control* label :
             {&m.Label8, &m.Label9, &m.Label22, &m.Label24, &m.Label37, &m.Label38})
            EXPECT_EQ(label->caption, unit);

        EXPECT_EQ(m.korekcePV.visible, s.parasitic);
        EXPECT_EQ(m.korekcePV.text, QStringLiteral("0"));
        EXPECT_EQ(m.SnOdpor.visible, s.shunt);
        EXPECT_EQ(m.Label31.visible, s.shunt);
        if (s.shunt) {
            EXPECT_EQ(m.Label31.caption, QStringLiteral("Snímací odpor při měř. proudu"));
        }
        const bool total = !s.totalCaption.isEmpty();
        EXPECT_EQ(m.CelkovyOdpor.visible, total);
        EXPECT_EQ(m.CelkovyOdpor.enabled, total);
        if (total) {
            EXPECT_EQ(m.Pcelkodpor.caption, s.totalCaption);
            EXPECT_EQ(m.Jcelkodpor.caption, s.totalUnit);
        }
        EXPECT_EQ(m.DelPomer.visible, s.divider);
        EXPECT_EQ(m.Label10.visible, s.divider);
        EXPECT_EQ(m.VzdStKon.visible, s.coldJunction);
        EXPECT_EQ(m.VzdStKon.enabled, s.coldJunction);
        EXPECT_EQ(m.LabelVzdStKon.visible, s.coldJunction);
        EXPECT_EQ(m.Label4.caption, s.rangeCaption);
        EXPECT_TRUE(m.Pocatek.enabled);
        EXPECT_TRUE(m.Konec.enabled);
        EXPECT_FALSE(m.VolenaJednotka.visible);
        // The reference adjustment is enabled with the input but never shown.
        EXPECT_TRUE(m.S_Dolmez.enabled);
        EXPECT_FALSE(m.S_Dolmez.visible);
    }
}

TEST_F(ModelTest, StartsEmptyWithDependentControlsDisabled)
{
    EXPECT_EQ(model.Vstup.items.size(), 20);
    EXPECT_EQ(model.Vstup.items.front(), QStringLiteral("odporový teploměr Pt100"));
    EXPECT_EQ(model.Vstup.items.back(), QStringLiteral("proud"));
    EXPECT_FALSE(model.Vstup.items.contains(QStringLiteral("rozdíl dvou proudů")));
    EXPECT_TRUE(model.Vstup.text.isEmpty());
    EXPECT_FALSE(model.Input.has_value());
    EXPECT_FALSE(model.Pocatek.enabled);
    EXPECT_FALSE(model.Konec.enabled);
    EXPECT_FALSE(model.Linearizace.enabled);
    EXPECT_FALSE(model.PripCidl.visible);
    EXPECT_EQ(model.Tlumeni.text, QStringLiteral("0.5"));
    EXPECT_EQ(model.DelPomer.text, QStringLiteral("1"));
    EXPECT_EQ(model.DividerRatio, 1.0L);
    EXPECT_EQ(model.UnitCode, 0);
    EXPECT_EQ(model.Label23.caption, QStringLiteral("verze 16.0"));
    EXPECT_EQ(model.Label14.caption, QStringLiteral("0"));
}

TEST_F(ModelTest, TextThatIsNoInputTypeEmptiesVstupAndLeavesTheWindowReset)
{
    choose(InputType::Pt100);
    model.userEdit(model.Pocatek, QStringLiteral("10"));
    for (const char* text : {"Pt100", "o", "odporový teploměr Pt100 ", "Reostat"}) {
        SCOPED_TRACE(text);
        model.userEdit(model.Vstup, QString::fromUtf8(text));
        EXPECT_TRUE(model.Vstup.text.isEmpty());
        EXPECT_FALSE(model.Input.has_value());
        EXPECT_TRUE(model.Pocatek.text.isEmpty());
        EXPECT_FALSE(model.Pocatek.enabled);
        EXPECT_FALSE(model.Linearizace.enabled);
        EXPECT_FALSE(model.PripCidl.visible);
        EXPECT_FALSE(model.korekcePV.visible);
    }
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(ModelTest, ChangingTheInputTypeDiscardsTheTypeDependentValuesButKeepsDampingAndComparators)
{
    choose(InputType::Current);
    model.userEdit(model.SnOdpor, QStringLiteral("50"));
    model.userEdit(model.Pocatek, QStringLiteral("1"));
    model.userEdit(model.Konec, QStringLiteral("2"));
    model.userEdit(model.ChybProud, c::Overcurrent);
    model.userEdit(model.Tlumeni, QStringLiteral("3"));
    model.userEdit(model.EMezsep1, QStringLiteral("1"));
    model.userEdit(model.EditUzPozn, QStringLiteral("tag"));

    choose(InputType::Voltage);
    EXPECT_TRUE(model.SnOdpor.text.isEmpty());
    EXPECT_FALSE(model.SnOdpor.visible);
    EXPECT_TRUE(model.Pocatek.text.isEmpty());
    EXPECT_TRUE(model.Konec.text.isEmpty());
    EXPECT_TRUE(model.ChybProud.text.isEmpty());
    EXPECT_EQ(model.DelPomer.text, QStringLiteral("1"));
    EXPECT_EQ(model.Tlumeni.text, QStringLiteral("3"));
    EXPECT_EQ(model.EMezsep1.text, QStringLiteral("1"));
    EXPECT_EQ(model.EditUzPozn.text, QStringLiteral("tag"));
}

TEST_F(ModelTest, PastedCurrentDifferenceFixesConnectionAndLinearization)
{
    choose(QStringLiteral("rozdíl dvou proudů"));
    EXPECT_FALSE(model.PripCidl.visible);
    EXPECT_EQ(model.PripCidl.text, c::TwoWire);
    EXPECT_EQ(model.Linearizace.text, c::NotLinearized);
    EXPECT_EQ(model.Linearizace.items, QStringList{c::NotLinearized});
    EXPECT_TRUE(model.SnOdpor.visible);
    EXPECT_EQ(model.Pcelkodpor.caption, QStringLiteral("Maximální hodnota měřených proudů"));
    EXPECT_EQ(model.Jcelkodpor.caption, c::Milliampere);
    EXPECT_EQ(model.VolenaJednotka.text, c::NoUnit);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(ModelTest, SwitchingFromResistorDifferenceToRelativePotentiometer)
{
    choose(InputType::ResistorDifference);
    choose(InputType::PotentiometerRelative);
    EXPECT_EQ(model.Pcelkodpor.caption, QStringLiteral("Maximální odpor potenciometru"));
    EXPECT_EQ(model.Jcelkodpor.caption, c::Ohm);
    EXPECT_TRUE(model.PripCidl.text.isEmpty());
    EXPECT_EQ(model.UnitText, c::Percent);
    EXPECT_EQ(model.UnitCode, 57);
    // The hidden divider field carries the ratio 100 of a relative potentiometer.
    EXPECT_EQ(model.DelPomer.text, QStringLiteral("100"));
    EXPECT_EQ(model.DividerRatio, 100.0L);
    EXPECT_FALSE(model.DelPomer.visible);
    choose(InputType::Rheostat);
    EXPECT_EQ(model.DividerRatio, 1.0L);
}

TEST_F(ModelTest, SpecialInputsKeepTheLinearizationListOfThePreviousType)
{
    choose(InputType::Voltage);
    choose(InputType::Special0to10V);
    EXPECT_EQ(model.Linearizace.items, (QStringList{c::NotLinearized, c::FromFile}));
    choose(InputType::Pt100);
    choose(InputType::Special4to20mA);
    EXPECT_EQ(model.Linearizace.items.size(), 3);
    choose(InputType::ResistorDifference);
    choose(InputType::Special0to20mA);
    EXPECT_EQ(model.Linearizace.items, QStringList{c::NotLinearized});
    EXPECT_TRUE(model.Linearizace.text.isEmpty());
}

// --- Connection --------------------------------------------------------------------------

TEST_F(ModelTest, ConnectionIsCompletedFromItsFirstLetter)
{
    struct Case {
        InputType type;
        const char* typed;
        const char* result; // empty: refused
    };
    const Case cases[] = {
        {InputType::Rheostat, "d", "dvouvodičově"},
        {InputType::Rheostat, "D", "dvouvodičově"},
        {InputType::Pt100, "t", "třívodičově"},
        {InputType::Pt100, "Txyz", "třívodičově"},
        {InputType::Pt1000, "č", "čtyřvodičově"},
        {InputType::Pt1000, "Č", "čtyřvodičově"},
        {InputType::Ni100, "c", "čtyřvodičově"},
        {InputType::Ni1000, "C", "čtyřvodičově"},
        {InputType::PotentiometerAbsolute, "t", "třívodičově"},
        {InputType::PotentiometerAbsolute, "d", ""},
        {InputType::PotentiometerRelative, "dvouvodičově", ""},
        {InputType::Rheostat, "x", ""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.typed) + " for " + inputTypeText(k.type).toStdString());
        choose(k.type);
        ui.clear();
        model.userEdit(model.PripCidl, QString::fromUtf8(k.typed));
        EXPECT_EQ(model.PripCidl.text, QString::fromUtf8(k.result));
        if (*k.result == 0) {
            EXPECT_EQ(ui.messages,
                      QStringList{QStringLiteral("špatně zadaný způsob připojení čidla")});
            EXPECT_EQ(ui.focused, QStringLiteral("PripCidl"));
            EXPECT_EQ(model.focusedControl, QStringLiteral("PripCidl"));
        } else {
            EXPECT_TRUE(ui.messages.isEmpty());
        }
    }
}

// --- Linearization and unit ---------------------------------------------------------------

TEST_F(ModelTest, LinearizationIsCompletedFromItsFirstLetterOrRefused)
{
    choose(InputType::Pt100);
    model.userEdit(model.Linearizace, QStringLiteral("l"));
    EXPECT_EQ(model.Linearizace.text, c::Linearized);
    model.userEdit(model.Linearizace, QStringLiteral("N"));
    EXPECT_EQ(model.Linearizace.text, c::NotLinearized);
    model.userEdit(model.Linearizace, c::SquareRoot);
    EXPECT_EQ(model.Linearizace.text, c::SquareRoot);
    EXPECT_FALSE(model.S_Dolmez.enabled);
    EXPECT_FALSE(model.S_Hormez.enabled);
    EXPECT_TRUE(ui.messages.isEmpty());

    model.userEdit(model.Linearizace, QStringLiteral("druh"));
    EXPECT_TRUE(model.Linearizace.text.isEmpty());
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("špatně zadaný způsob linearizace")});
}

TEST_F(ModelTest, RangeCaptionFollowsLinearizationForSpecialInputs)
{
    points.PointFileOk = true;
    model.setPointFileChooser([] { return true; });
    choose(InputType::Special0to20mA);
    for (const QString& mode : {c::Linearized, c::NotLinearized, c::SquareRoot}) {
        model.userEdit(model.Linearizace, mode);
        EXPECT_EQ(model.Label4.caption, OutputCaption);
    }
    model.userEdit(model.Linearizace, c::FromFile);
    EXPECT_EQ(model.Label4.caption, FileCaption);
    choose(InputType::Rheostat);
    model.userEdit(model.Linearizace, c::NotLinearized);
    EXPECT_EQ(model.Label4.caption, RangeCaption);
}

TEST_F(ModelTest, FromFileChoosesThePointFileAndOffersAUnit)
{
    int chooserCalls = 0;
    model.setPointFileChooser([&] {
        ++chooserCalls;
        model.OpenDialog1FileName = QStringLiteral("/tmp/points.txt");
        points.PointFileOk = true;
        return true;
    });
    choose(InputType::Pt100);
    model.userEdit(model.Linearizace, QStringLiteral("z"));
    EXPECT_EQ(chooserCalls, 1);
    EXPECT_EQ(model.Linearizace.text, c::FromFile);
    EXPECT_TRUE(model.VolenaJednotka.visible);
    EXPECT_EQ(model.VolenaJednotka.text, c::NoUnit);
    EXPECT_TRUE(model.Label8.caption.isEmpty());
    EXPECT_TRUE(model.Label38.caption.isEmpty());
    EXPECT_TRUE(model.UnitText.isEmpty()); // the error plot's unit, too
    EXPECT_TRUE(model.PointFileChosen);

    // Leaving the point file by any way gives back the input type's unit and code.
    for (const QString& mode : {c::NotLinearized, c::Linearized, c::SquareRoot}) {
        SCOPED_TRACE(mode.toStdString());
        model.userEdit(model.Linearizace, c::FromFile);
        model.userEdit(model.VolenaJednotka, c::Percent);
        model.userEdit(model.Linearizace, mode);
        EXPECT_EQ(model.Label8.caption, c::DegreesCelsius);
        EXPECT_EQ(model.Label38.caption, c::DegreesCelsius);
        EXPECT_EQ(model.UnitCode, 32);
        EXPECT_FALSE(model.VolenaJednotka.visible);
    }
}

TEST_F(ModelTest, FromFileWithoutAGoodPointFileResetsTheWindow)
{
    model.setPointFileChooser([&] { return points.PointFileOk = false; });
    choose(InputType::Rheostat);
    model.userEdit(model.PripCidl, c::TwoWire);
    model.userEdit(model.Linearizace, c::FromFile);
    EXPECT_TRUE(model.Linearizace.text.isEmpty());
    EXPECT_TRUE(model.PripCidl.text.isEmpty());
    EXPECT_EQ(model.Linearizace.items, (QStringList{c::NotLinearized, c::FromFile}));
    EXPECT_EQ(model.Label8.caption, c::Ohm);
    EXPECT_TRUE(model.PointFileChosen);
}

TEST_F(ModelTest, ChosenUnitSetsTheCodeAndLabels)
{
    struct Case {
        const char* typed;
        const char* text;
        std::uint8_t code;
        const char* label;
    };
    const Case cases[] = {
        {"°", "°C", 32, "°C"},          {"o", "Ohm", 37, "Ohm"}, {"V", "V", 58, "V"},
        {"m", "mA", 39, "mA"},          {"M", "mA", 39, "mA"},   {"%", "%", 57, "%"},
        {"b", "Bez jednotky", 251, ""},
    };
    choose(InputType::Voltage);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.typed);
        model.userEdit(model.VolenaJednotka, QString::fromUtf8(k.typed));
        EXPECT_EQ(model.VolenaJednotka.text, QString::fromUtf8(k.text));
        EXPECT_EQ(model.UnitCode, k.code);
        EXPECT_EQ(model.Label9.caption, QString::fromUtf8(k.label));
        EXPECT_EQ(model.Label24.caption, QString::fromUtf8(k.label));
    }
    model.userEdit(model.VolenaJednotka, QStringLiteral("x"));
    EXPECT_TRUE(model.VolenaJednotka.text.isEmpty());
    EXPECT_EQ(model.UnitCode, 251);
    EXPECT_EQ(model.focusedControl, QStringLiteral("VolenaJednotka"));
    EXPECT_TRUE(ui.messages.isEmpty());
}

// --- Shunt and divider: followed on every change, checked on exit --------------------------

TEST_F(ModelTest, ShuntAndDividerAreCheckedWhenLeftInEitherSeparator)
{
    struct Case {
        InputType input;
        Control MainWindowModel::*field;
        MainWindowModel::ExitCheck exit;
        Extended MainWindowModel::*copy;
        const char* refusal;
    };
    overrideLocaleDecimalSeparator(QLatin1Char(','));
    for (const Case& c :
         {Case{InputType::Current, &MainWindowModel::SnOdpor, &MainWindowModel::SnOdporExit,
               &MainWindowModel::ShuntResistance, "Špatně zadaná hodnota snímacího odporu."},
          Case{InputType::Voltage, &MainWindowModel::DelPomer, &MainWindowModel::DelPomerExit,
               &MainWindowModel::DividerRatio, "špatně zadaná hodnota dělícího poměru"}}) {
        ui.clear();
        choose(c.input);
        Control& field = model.*c.field;
        // Typed a key at a time with the other separator: nothing is refused half-way.
        for (const char* typed : {"2", "2.", "2.5"})
            model.userEdit(field, QString::fromLatin1(typed));
        EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();
        EXPECT_EQ(model.*c.copy, 2.5L);
        (model.*c.exit)();
        EXPECT_EQ(field.text, QStringLiteral("2,5"));
        EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();

        model.userEdit(field, QStringLiteral("12x"));
        EXPECT_TRUE(ui.messages.isEmpty());
        (model.*c.exit)();
        EXPECT_EQ(ui.messages.value(0), QString::fromUtf8(c.refusal));
        EXPECT_TRUE(field.text.isEmpty());
        EXPECT_EQ(model.*c.copy, 2.5L);
    }
    overrideLocaleDecimalSeparator(std::nullopt);
}

TEST_F(ModelTest, TypingIntoListBoxesCompletesToAnItem)
{
    struct Case {
        Control MainWindowModel::*box;
        const char* typed;
        const char* taken;
    };
    const Case cases[] = {
        // The four input types outside the list are taken as typed, not completed.
        {&MainWindowModel::Vstup, "rozdíl dvou proudů", "rozdíl dvou proudů"},
        {&MainWindowModel::Vstup, "PROUD", "proud"},
        {&MainWindowModel::Vstup, "PRO", "PRO"}, // names none yet: a draft, Pt100 stays
        {&MainWindowModel::Vstup, "termoclanek k", "termočlánek K"},
        {&MainWindowModel::Linearizace, "NEL", "nelinearizováno"},
        {&MainWindowModel::ChybProud, "V", "vyřazen"},
        {&MainWindowModel::ChybProud, "", "nadproud"}, // emptying is refused too
        {&MainWindowModel::RezimRele1, "okno!", "HYSTEREZE"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.typed);
        choose(InputType::Pt100);
        model.userTyped(model.ChybProud, c::Overcurrent);
        model.userTyped(model.*k.box, QString::fromUtf8(k.typed));
        EXPECT_EQ((model.*k.box).text, QString::fromUtf8(k.taken));
        EXPECT_EQ(model.Input, inputTypeFromText(model.Vstup.text).value_or(InputType::Pt100));
    }
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(QStringLiteral(" | ")).toStdString();
}

TEST_F(ModelTest, ProgramChangesOfComboBoxesDoNotRunTheirHandlers)
{
    choose(InputType::Pt100);
    model.setText(model.PripCidl, QStringLiteral("x"));
    model.setText(model.Linearizace, QStringLiteral("x"));
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(model.PripCidl.text, QStringLiteral("x"));
}

TEST_F(ModelTest, EveryOutermostChangeNotifiesTheWindowOnce)
{
    int notifications = 0;
    QObject::connect(&model, &MainWindowModel::changed, [&] { ++notifications; });
    choose(InputType::PotentiometerRelative);
    EXPECT_EQ(notifications, 1);
    model.userEdit(model.PripCidl, QStringLiteral("d")); // refused: one before the box, one after
    EXPECT_EQ(notifications, 3);
}

} // namespace
} // namespace vtr8::test
