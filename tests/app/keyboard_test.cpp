#include "window_fixture.h"

#include "model/main_window_model.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace vtr8::testing_support {
namespace {

class Keyboard : public WindowTest {
protected:
    void SetUp() override
    {
        startProgram();
        showMainWindow();
        auto* vstup = mainWidget<QComboBox>("Vstup");
        vstup->setCurrentIndex(vstup->findText(u("reostat")));
        QApplication::processEvents();
        program->form1()->markKept();
    }
};

TEST_F(Keyboard, AltWithALetterNoButtonTakesLeavesTheFormAsItWas)
{
    // {field with the focus, letter, button disabled first}
    const std::tuple<const char*, Qt::Key, const char*> cases[] = {
        {"Vstup", Qt::Key_X, nullptr},
        {"Pocatek", Qt::Key_X, nullptr},
        {"Pocatek", Qt::Key_L, "Ulosoub"}, // the letter of a disabled button
        {"Linearizace", Qt::Key_Q, nullptr},
    };
    for (const auto& [field, key, disabled] : cases) {
        if (disabled) {
            program->model().control(u(disabled))->enabled = false;
            program->form1()->refresh();
        }
        QWidget* widget = mainWidget<QWidget>(field);
        widget->setFocus(Qt::TabFocusReason);
        QTest::keyClick(widget, key, Qt::AltModifier);
        QApplication::processEvents();
        EXPECT_FALSE(program->form1()->hasUnsavedEdits()) << field;
        EXPECT_EQ(program->model().Vstup.text, u("reostat")) << field;
        EXPECT_TRUE(ui.messages.isEmpty()) << field;
    }
}

TEST_F(Keyboard, ShortcutsPressTheFileButtonsAndOpenTheInformation)
{
    int informace = 0;
    program->form1()->InformaceClick = [&] { ++informace; };
    QWidget* field = mainWidget<QWidget>("Pocatek");
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClick(field, Qt::Key_F1);
    EXPECT_EQ(informace, 1);
    QTest::keyClick(field, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(ui.events.filter(QStringLiteral("open: ")).size(), 1);
    // The form is incomplete: the save button says what is missing instead of a dialog.
    QTest::keyClick(field, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ui.messages.size(), 1);

    // The note's label leads to the note.
    QTest::keyClick(field, Qt::Key_V, Qt::AltModifier);
    EXPECT_TRUE(mainWidget<QLineEdit>("EditUzPozn")->hasFocus());
}

TEST_F(Keyboard, ClosingWithUnsavedEditsAsksAndNoKeepsTheWindow)
{
    program->form1()->close();
    EXPECT_TRUE(ui.questions.isEmpty()); // nothing typed since the last keeping

    showMainWindow();
    auto* field = mainWidget<QLineEdit>("Pocatek");
    field->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(field, QStringLiteral("12"));
    ui.confirmAnswers = {false};
    program->form1()->close();
    ASSERT_EQ(ui.questions.size(), 1);
    EXPECT_EQ(ui.questions.first(), Vtr8Application::UnsavedEditsQuestion());
    EXPECT_TRUE(program->form1()->isVisible());
    EXPECT_EQ(field->text(), QStringLiteral("12"));
}

// A status longer than its line, or of two lines, is shortened on screen, never cut, and is
// whole in the tooltip.
TEST_F(Keyboard, AStatusTooLongForItsLineIsShortenedAndWholeInTheTooltip)
{
    auto* label = program->form1()->findChild<QLabel*>(QStringLiteral("StavPrenosu"));
    ASSERT_NE(label, nullptr);
    const QString text = u("Chyba komunikace. Převodník na COM3 neodpovídá.\nZkontrolujte kabel, "
                           "napájení převodníku a zvolený port.");
    program->form1()->showStatus(text);
    EXPECT_EQ(program->form1()->statusText(), text);
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
    EXPECT_TRUE(label->text().endsWith(QChar(0x2026)));
    EXPECT_FALSE(label->text().contains(QLatin1Char('\n')));
    EXPECT_EQ(label->toolTip(), text);
    program->form1()->showStatus(u("Konfigurace přečtena"));
    EXPECT_EQ(label->text(), u("Konfigurace přečtena"));
    EXPECT_TRUE(label->toolTip().isEmpty());
}

TEST_F(Keyboard, ALoadedFileIsSaidInTheStatusLineAndCountsAsKept)
{
    auto* field = mainWidget<QLineEdit>("Pocatek");
    field->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(field, QStringLiteral("3"));
    ui.openFileAnswers.push_back(QStringLiteral(VTR8_EXAMPLES_DIR "/current-4-20ma-shunt.txt"));
    ui.confirmAnswers = {true, true}; // the typed start is given up, both times
    QTest::keyClick(field, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(program->form1()->statusText(),
              u("Konfigurace načtena ze souboru current-4-20ma-shunt.txt"));
    EXPECT_FALSE(program->form1()->hasUnsavedEdits());

    // The file heads the menu of files used last; choosing it there loads it again.
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("5"));
    QMenu* menu = program->form1()->recentFilesButton()->menu();
    emit menu->aboutToShow();
    ASSERT_FALSE(menu->actions().isEmpty());
    EXPECT_TRUE(menu->actions().first()->text().endsWith(u("current-4-20ma-shunt.txt")));
    menu->actions().first()->trigger();
    EXPECT_FALSE(program->form1()->hasUnsavedEdits());
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(ui.questions, QStringList(2, Vtr8Application::ReplaceEditsQuestion()));
}

} // namespace
} // namespace vtr8::testing_support
