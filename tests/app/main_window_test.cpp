#include "window_fixture.h"

#include "app/table_window.h"
#include "model/main_window_model.h"
#include "model/table_window_model.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <string>

namespace vtr8::testing_support {
namespace {

class MainWindow : public WindowTest {
protected:
    void SetUp() override
    {
        startProgram();
        showMainWindow();
    }

    // What the person does: pick an entry from a combo box's list.
    void choose(const char* comboName, const QString& item)
    {
        auto* combo = mainWidget<QComboBox>(comboName);
        const int index = combo->findText(item);
        ASSERT_GE(index, 0) << comboName << " has no " << item.toStdString();
        combo->setCurrentIndex(index);
        QApplication::processEvents();
    }

    // What the person does: click into a field and type.
    void typeInto(const char* fieldName, const QString& text)
    {
        auto* edit = mainWidget<QLineEdit>(fieldName);
        edit->setFocus(Qt::MouseFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QApplication::processEvents();
    }

    // Tab to the next control: the field is left.
    void leaveTo(const char* nextName)
    {
        mainWidget<QWidget>(nextName)->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        QApplication::processEvents();
    }
};

TEST_F(MainWindow, EveryControlOfTheModelIsBoundToAWidgetOfItsKindAndName)
{
    const ControlBinder& binder = program->form1()->binder();
    for (const auto& [name, control, kind, exit] : program->model().controls()) {
        SCOPED_TRACE(name.toStdString());
        QWidget* widget = binder.widgetOf(*control);
        if (kind == ControlKind::Window) {
            EXPECT_EQ(widget, nullptr);
            continue;
        }
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->objectName(), name);
        switch (kind) {
        case ControlKind::Label:
            EXPECT_TRUE(qobject_cast<QLabel*>(widget));
            break;
        case ControlKind::Image: {
            auto* image = qobject_cast<QLabel*>(widget);
            ASSERT_NE(image, nullptr);
            EXPECT_FALSE(image->pixmap().isNull());
            break;
        }
        case ControlKind::Edit:
            EXPECT_TRUE(qobject_cast<QLineEdit*>(widget));
            break;
        case ControlKind::ComboBox:
            EXPECT_TRUE(qobject_cast<QComboBox*>(widget));
            break;
        case ControlKind::CheckBox:
            EXPECT_TRUE(qobject_cast<QCheckBox*>(widget));
            break;
        case ControlKind::Button:
            EXPECT_TRUE(qobject_cast<QPushButton*>(widget));
            break;
        case ControlKind::ProgressBar:
            EXPECT_TRUE(qobject_cast<QProgressBar*>(widget));
            break;
        case ControlKind::Window:
            break;
        }
    }
}

// The twenty listed input types, then after a separator the four otherwise only typed.
TEST_F(MainWindow, VstupListOffersTheTwentyListedInputTypesThenTheOtherFour)
{
    auto* vstup = mainWidget<QComboBox>("Vstup");
    ASSERT_EQ(vstup->count(), 25);
    EXPECT_EQ(vstup->itemText(0), u("odporový teploměr Pt100"));
    EXPECT_EQ(vstup->itemText(19), u("proud"));
    EXPECT_EQ(vstup->itemData(20, Qt::AccessibleDescriptionRole).toString(),
              QStringLiteral("separator"));
    EXPECT_EQ(vstup->itemText(21), u("rozdíl dvou rezistorů"));
    EXPECT_EQ(vstup->itemText(24), u("rozdíl dvou proudů"));
    EXPECT_EQ(vstup->maxVisibleItems(), 25);
    // Nothing chosen yet: the range fields wait for an input type.
    EXPECT_FALSE(mainWidget<QLineEdit>("Pocatek")->isEnabled());

    // Picked from the list as a person does, through a type change that rebuilds other lists.
    showMainWindow();
    for (const char* item : {"reostat", "rozdíl dvou napětí", "potenciometr relativní"}) {
        vstup->showPopup();
        QAbstractItemView* view = vstup->view();
        view->setCurrentIndex(view->model()->index(vstup->findText(u(item)), 0));
        QTest::keyClick(view, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(program->model().Vstup.text, u(item));
        EXPECT_EQ(program->model().Input, inputTypeFromText(u(item)));
        EXPECT_EQ(vstup->count(), 25);
    }
    EXPECT_EQ(mainWidget<QLabel>("Label8")->text(), u("%"));
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(QStringLiteral(" | ")).toStdString();
}

TEST_F(MainWindow, ChoosingAnInputTypeReshapesTheWindow)
{
    choose("Vstup", u("odporový teploměr Pt100"));

    EXPECT_EQ(program->model().Vstup.text, u("odporový teploměr Pt100"));
    auto* connection = mainWidget<QComboBox>("PripCidl");
    EXPECT_FALSE(connection->isHidden());
    EXPECT_TRUE(connection->isEnabled());
    EXPECT_EQ(connection->count(), 3);
    EXPECT_EQ(connection->itemText(0), u("dvouvodičově"));
    EXPECT_EQ(mainWidget<QLabel>("Label8")->text(), u("°C"));
    EXPECT_EQ(mainWidget<QLabel>("Label4")->text(), u("Měřicí rozsah"));
    EXPECT_TRUE(mainWidget<QLineEdit>("Pocatek")->isEnabled());
    EXPECT_FALSE(mainWidget<QLineEdit>("korekcePV")->isHidden());
    EXPECT_EQ(mainWidget<QLineEdit>("korekcePV")->text(), QStringLiteral("0"));
    EXPECT_TRUE(mainWidget<QComboBox>("VzdStKon")->isHidden());

    choose("Vstup", u("termočlánek K"));
    EXPECT_TRUE(connection->isHidden());
    EXPECT_TRUE(mainWidget<QLineEdit>("korekcePV")->isHidden());
    EXPECT_FALSE(mainWidget<QComboBox>("VzdStKon")->isHidden());
    EXPECT_EQ(mainWidget<QComboBox>("Linearizace")->count(), 3);
}

TEST_F(MainWindow, TypedFirstLetterCompletesTheConnection)
{
    choose("Vstup", u("reostat"));
    auto* connection = mainWidget<QComboBox>("PripCidl");
    connection->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(connection, QStringLiteral("t"));
    QApplication::processEvents();
    EXPECT_EQ(connection->currentText(), u("třívodičově"));
    EXPECT_EQ(program->model().PripCidl.text, u("třívodičově"));
}

TEST_F(MainWindow, LeavingAFieldWithABadValueWarnsAndReturnsTheFocus)
{
    choose("Vstup", u("odporový teploměr Pt100"));
    typeInto("Pocatek", QStringLiteral("abc"));
    EXPECT_EQ(program->model().Pocatek.text, QStringLiteral("abc"));
    EXPECT_TRUE(ui.messages.isEmpty()); // typing alone checks nothing

    leaveTo("Konec");

    ASSERT_FALSE(ui.messages.isEmpty());
    EXPECT_EQ(ui.messages.first(), u("Špatně zadaná dolní mez."));
    EXPECT_EQ(ui.focused, QStringLiteral("Pocatek"));
    EXPECT_EQ(QApplication::focusWidget(), mainWidget<QLineEdit>("Pocatek"));
}

TEST_F(MainWindow, LeavingARangeOutsideTheSensorLimitsNamesTheInterval)
{
    choose("Vstup", u("odporový teploměr Pt100"));
    typeInto("Pocatek", QStringLiteral("-200.1"));
    leaveTo("Tlumeni");
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0],
              u("Dolní hodnota rozsahu musí být v intervalu -200.000 až 850.000 °C"));
    EXPECT_EQ(QApplication::focusWidget(), mainWidget<QLineEdit>("Pocatek"));
}

TEST_F(MainWindow, TwoRangeFieldsAtFaultGiveOneMessageAndKeepTheFocusWhereTheFaultIs)
{
    choose("Vstup", u("odporový teploměr Pt100"));
    typeInto("Pocatek", QStringLiteral("0"));
    leaveTo("Konec");
    typeInto("Konec", QStringLiteral("100"));
    leaveTo("Tlumeni");
    ASSERT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();

    typeInto("Pocatek", QStringLiteral("90"));
    QTest::keyClick(mainWidget<QLineEdit>("Pocatek"), Qt::Key_Tab);
    for (int i = 0; i < 20; ++i) // room for the checks to throw the focus back and forth
        QApplication::processEvents();
    EXPECT_EQ(ui.messages.join('|'), u("Povolené minimální rozpětí je 25.000 °C"));
    EXPECT_EQ(QApplication::focusWidget(), mainWidget<QLineEdit>("Pocatek"));
}

TEST_F(MainWindow, AGoodValueLeavesQuietly)
{
    choose("Vstup", u("odporový teploměr Pt100"));
    typeInto("Tlumeni", QStringLiteral("2"));
    leaveTo("Pocatek");
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(program->model().DampingTime, 2);
    EXPECT_EQ(QApplication::focusWidget(), mainWidget<QLineEdit>("Pocatek"));
}

// Typed key by key as a person does. Boxes that hold only their items take no text: Qt's
// type-ahead picks the item the letters begin, or nothing. "Vstup" changes the input type only
// once the text names one.
TEST_F(MainWindow, ListBoxesCompleteTypedLettersAndTakeOnlyTheirItems)
{
    struct Case {
        const char* input; // chosen first (empty: none)
        const char* box;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {"", "RezimRele1", "HYSTEREOZE", "HYSTEREZE"}, // no item begins "HYSTEREO"
        {"", "RezimRele2", "ok", "OKNO"},
        {"", "RezimRele1", "x", "HYSTEREZE"},
        {"termočlánek J", "ChybProud", "moc", ""},
        {"termočlánek J", "ChybProud", "po", "podproud"},
        {"termočlánek J", "VzdStKon", "vzd", "vzdálený studený konec"},
        {"potenciometr absolutní", "PripCidl", "d", ""},
        {"potenciometr absolutní", "PripCidl", "č", "čtyřvodičově"},
        {"", "Vstup", "reostat", "reostat"},
        {"", "Vstup", "odporovy teplomer Pt1000", "odporový teploměr Pt1000"},
        {"reostat", "Vstup", "potenciometr relativní", "potenciometr relativní"},
        {"reostat", "Vstup", "ROZDIL DVOU NAPETI", "rozdíl dvou napětí"},
        {"reostat", "Vstup", "Pt", "Pt"}, // names none: a draft, the type stays
        {"reostat", "Linearizace", "nel", "nelinearizováno"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.box) + " typed " + k.typed);
        startProgram();
        showMainWindow();
        ui.clear();
        if (*k.input)
            choose("Vstup", u(k.input));
        const std::optional<InputType> before = program->model().Input;
        auto* box = mainWidget<QComboBox>(k.box);
        box->setFocus(Qt::MouseFocusReason);
        EXPECT_EQ(box->isEditable(), !program->model().takesOnlyItems(
                                         *program->model().control(QString::fromLatin1(k.box))));
        QWidget* target = box->isEditable() ? static_cast<QWidget*>(box->lineEdit()) : box;
        if (box->isEditable())
            box->lineEdit()->selectAll();
        for (const QChar key : u(k.typed)) { // Czech letters too, which QTest cannot spell
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(key));
            QApplication::sendEvent(target, &press);
        }
        QApplication::processEvents();
        EXPECT_EQ(box->currentText(), u(k.shown));
        EXPECT_EQ(program->model().control(QString::fromLatin1(k.box))->text, u(k.shown));
        EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(QStringLiteral(" | ")).toStdString();
        leaveTo("Tlumeni");
        EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(QStringLiteral(" | ")).toStdString();
        if (std::string(k.typed) == "Pt") { // the draft goes, the input type never went
            EXPECT_EQ(program->model().Input, before);
            EXPECT_EQ(box->currentText(), u("reostat"));
        }
    }
}

TEST_F(MainWindow, ComparatorGroupsShowTheirTextsAndLargestDelaysWhole)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Text widths: Wine's offscreen platform measures with a substitute font, "
                    "wider than the Windows dialog font the fixed label widths are made for";
#endif
    for (const char* group : {"GroupKompar1", "GroupKompar2"}) {
        SCOPED_TRACE(group);
        auto* box = mainWidget<QWidget>(group);
        const auto children = box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* child : children) {
            const std::string name = child->objectName().toStdString();
            if (auto* label = qobject_cast<QLabel*>(child)) {
                EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
                    << name;
            }
            if (auto* field = qobject_cast<QLineEdit*>(child);
                field && field->objectName().contains(QStringLiteral("zpo"), Qt::CaseInsensitive)) {
                // "255", the cursor, the line edit's own margin of 2 px a side and the frame.
                const int frame =
                    field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, field);
                const int needed = field->fontMetrics().horizontalAdvance(QStringLiteral("255")) +
                                   1 + 4 + 2 * frame;
                EXPECT_GE(field->width(), needed) << name;
            }
            for (QWidget* other : children)
                if (other != child && other->isVisibleTo(box) &&
                    other->geometry().intersects(child->geometry()))
                    ADD_FAILURE() << name << " lies over " << other->objectName().toStdString();
        }
    }
}

TEST_F(MainWindow, FromFileOpensTheTableWindow)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("body.txt"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("0 0\n50 40\n100 100\n");
    }
    choose("Vstup", u("reostat"));
    ui.openFileAnswers.push_back(path);
    choose("Linearizace", u("ze souboru"));

    EXPECT_EQ(ui.events.first(), QStringLiteral("open: C:\\velkor_vtr8\\linearizace"));
    TForm4* table = program->form4();
    EXPECT_FALSE(table->isHidden());
    EXPECT_EQ(mainWidget<QLabel>("Label4")->text(), u("Měřicí rozsah po linearizaci"));
    auto* degree = table->findChild<QComboBox*>(QStringLiteral("stup_p"));
    ASSERT_NE(degree, nullptr);
    EXPECT_EQ(degree->currentText(), QStringLiteral("2")); // three points fit a parabola
}

TEST_F(MainWindow, FromFileAgainAfterACancelledChoiceAsksAgain)
{
    choose("Vstup", u("reostat"));
    auto* linearization = mainWidget<QComboBox>("Linearizace");
    for (int attempt = 1; attempt <= 2; ++attempt) {
        // Picked from the list, as a person does it: the popup's row, then activation.
        const int row = linearization->findText(u("ze souboru"));
        ASSERT_GE(row, 0);
        linearization->showPopup();
        QAbstractItemView* view = linearization->view();
        view->setCurrentIndex(view->model()->index(row, 0));
        QTest::keyClick(view, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(ui.events.count(QStringLiteral("open: C:\\velkor_vtr8\\linearizace")), attempt)
            << ui.events.join(QStringLiteral(" | ")).toStdString();
        EXPECT_TRUE(program->model().Linearizace.text.isEmpty());
    }
}

// Whatever unit an input type shows, each unit label holds it on one line and touches no
// other control (the unit of a limit once ran into "Zpoždění").
TEST_F(MainWindow, UnitLabelsHoldEveryInputTypesUnitApartFromTheirNeighbours)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Text widths: Wine's offscreen platform measures with a substitute font";
#endif
    const char* units[] = {
        "Label8",     "Label9",  "LabelTlumeniUnit", "Label11", "Label32", "LabelKorekcePVUnit",
        "Jcelkodpor", "Label22", "Label24",          "Label37", "Label38"};
    for (const InputType type : vstupOrder) {
        program->model().userEdit(program->model().Vstup, inputTypeText(type));
        QApplication::processEvents();
        for (const char* name : units) {
            auto* unit = mainWidget<QLabel>(name);
            if (unit->isHidden() || unit->text().isEmpty())
                continue;
            SCOPED_TRACE(inputTypeText(type).toStdString() + " " + name);
            EXPECT_LE(unit->fontMetrics().horizontalAdvance(unit->text()), unit->width());
            const QWidget* parent = unit->parentWidget();
            for (QWidget* other : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (other != unit && other->isVisibleTo(parent) &&
                    other->geometry().intersects(unit->geometry()))
                    ADD_FAILURE() << "lies over " << other->objectName().toStdString();
        }
    }
}

TEST_F(MainWindow, ComparatorUnitsStandApartFromTheDelayLabel)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Text widths: Wine's offscreen platform measures with a substitute font, "
                    "wider than the Windows dialog font the fixed label widths are made for";
#endif
    for (const auto& [unitName, delayName] : {std::pair{"Label22", "LabelZpozdeni1"},
                                              {"Label24", "LabelZpozdeni1"},
                                              {"Label37", "LabelZpozdeni2"},
                                              {"Label38", "LabelZpozdeni2"}}) {
        auto* unit = mainWidget<QLabel>(unitName);
        auto* delay = mainWidget<QLabel>(delayName);
        const QFontMetrics metrics(unit->font());
        EXPECT_LE(metrics.horizontalAdvance(QStringLiteral("Ohm")), unit->width()) << unitName;
        const int delayText =
            (delay->alignment() & Qt::AlignRight)
                ? delay->geometry().right() - metrics.horizontalAdvance(delay->text())
                : delay->x();
        EXPECT_GE(delayText - unit->geometry().right(), 4) << unitName;
    }
}

TEST_F(MainWindow, TheErrorPlotHasAButton)
{
    int shown = 0;
    program->form1()->ChybaLinearizaceClick = [&] { ++shown; };
    mainWidget<QPushButton>("ChybaLinearizaceButton")->click();
    EXPECT_EQ(shown, 1);
}

TEST_F(MainWindow, ClosingTheMainWindowSaysSo)
{
    bool closed = false;
    QObject::connect(program->form1(), &TForm1::closed, [&] { closed = true; });
    program->form1()->close();
    EXPECT_TRUE(closed);
}

} // namespace
} // namespace vtr8::testing_support
