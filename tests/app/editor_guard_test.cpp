// The editor never loses the person's work without asking, its questions that discard answer
// "Ne" to a plain Enter, and what no longer fits the range is marked.
#include "app/recent_configurations.h"
#include "device/input_type.h"
#include "model/main_window_model.h"
#include "window_fixture.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace vtr8::testing_support {
namespace {

const QString Example = QStringLiteral(VTR8_EXAMPLES_DIR "/pt100-linearized.txt");

class EditorGuard : public WindowTest {
protected:
    void SetUp() override
    {
        startProgram();
        showMainWindow();
    }
    MainWindowModel& m() { return program->model(); }
    void type(Control& field, const QString& text)
    {
        m().userEdit(field, text);
        (void)m().commitField(field);
    }
};

TEST_F(EditorGuard, OnlyConfigurationChangesMakeClosingAsk)
{
    type(m().EditUzPozn, u("TT-101"));
    EXPECT_FALSE(program->form1()->hasUnsavedEdits());
    type(m().Vstup, inputTypeText(InputType::Pt100));
    EXPECT_TRUE(program->form1()->hasUnsavedEdits());
    program->form1()->close(); // the question is answered "Ne"
    EXPECT_EQ(ui.questions, QStringList{Vtr8Application::UnsavedEditsQuestion()});
    EXPECT_TRUE(program->form1()->isVisible());
}

TEST_F(EditorGuard, EveryLoadAsksBeforeReplacingUnsavedEdits)
{
    QFile file(Example);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    SaveRecentConfigurations({Example});
    const std::pair<const char*, std::function<void()>> loads[] = {
        {"Ctrl+O",
         [&] {
             ui.openFileAnswers = {Example};
             QTest::keyClick(program->form1(), Qt::Key_O, Qt::ControlModifier);
         }},
        {"recent file",
         [&] {
             QMenu* menu = program->form1()->recentFilesButton()->menu();
             emit menu->aboutToShow();
             menu->actions().value(0)->trigger();
         }},
        {"history record", [&] { (void)m().loadConfigurationData(bytes); }},
    };
    for (const auto& [name, load] : loads) {
        SCOPED_TRACE(name);
        type(m().Vstup, inputTypeText(InputType::Voltage));
        ui.questions.clear();
        ui.confirmAnswers = {false};
        load();
        EXPECT_EQ(ui.questions, QStringList{Vtr8Application::ReplaceEditsQuestion()});
        EXPECT_EQ(m().Vstup.text, inputTypeText(InputType::Voltage));
        ui.confirmAnswers = {true};
        load();
        EXPECT_EQ(m().Vstup.text, inputTypeText(InputType::Pt100));
    }
}

TEST_F(EditorGuard, EnterAnswersNeOnlyToAQuestionThatDiscards)
{
    QtUserInterface qt;
    for (const bool discards : {true, false}) {
        QTimer::singleShot(
            0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
        const QString text = u("Otázka");
        EXPECT_EQ(discards ? qt.confirmDiscard(text) : qt.confirm(text), !discards);
    }
}

TEST_F(EditorGuard, ComparatorLimitsOfAnotherRangeAreMarkedAndStoringAsks)
{
    type(m().Vstup, inputTypeText(InputType::Pt100));
    type(m().Pocatek, u("0"));
    type(m().Konec, u("100"));
    type(m().EMezsep1, u("80"));
    type(m().EMezroz1, u("70"));
    m().PovolKompar1.checked = true;
    EXPECT_FALSE(m().comparatorLimitsToCheck(1));
    EXPECT_TRUE(m().comparatorStoreQuestion(1).isEmpty());

    // 80 °C becomes 80 V on a 0..1 V range.
    type(m().Vstup, inputTypeText(InputType::Voltage));
    type(m().Pocatek, u("0"));
    type(m().Konec, u("1"));
    QApplication::processEvents();
    EXPECT_TRUE(m().comparatorLimitsToCheck(1));
    EXPECT_FALSE(m().comparatorLimitsToCheck(2)); // no limits there
    EXPECT_EQ(mainWidget<QLineEdit>("EMezsep1")->toolTip(), TForm1::ComparatorLimitToCheckText());
    const QString question = m().comparatorStoreQuestion(1);
    EXPECT_TRUE(question.contains(u("Mez sepnutí komparátoru 1 (80 V) je mimo měřicí rozsah")))
        << question.toStdString();
    ui.confirmAnswers = {false};
    mainWidget<QPushButton>("Ulozkomp1")->click();
    EXPECT_EQ(ui.questions, QStringList{question}); // nothing further asked or sent

    // Limits typed again for the new range stand; within a falling range too.
    type(m().Pocatek, u("1"));
    type(m().Konec, u("0"));
    type(m().EMezsep1, u("0.8"));
    type(m().EMezroz1, u("0.7"));
    QApplication::processEvents();
    EXPECT_FALSE(m().comparatorLimitsToCheck(1));
    EXPECT_TRUE(mainWidget<QLineEdit>("EMezsep1")->toolTip().isEmpty());
    EXPECT_TRUE(m().comparatorStoreQuestion(1).isEmpty());
}

TEST_F(EditorGuard, DelayLabelsStandApart)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Text widths: Wine's offscreen platform measures with a substitute font, "
                    "wider than the Windows dialog font the fixed label widths are made for";
#endif
    for (const char* n : {"1", "2"}) {
        auto* delay = mainWidget<QLabel>((std::string("LabelZpozdeni") + n).c_str());
        auto* on = mainWidget<QLabel>((std::string("LabelSepnuti") + n).c_str());
        // "Zpoždění" ends at its label's right edge; "sepnutí" starts at its left edge.
        const int gap = on->geometry().left() - (delay->geometry().right() + 1);
        EXPECT_GE(gap, delay->fontMetrics().horizontalAdvance(QLatin1Char(' '))) << n;
    }
}

TEST_F(EditorGuard, ARefusedPointFileLeavesASpecialInputALinearizationToChoose)
{
    type(m().Vstup, inputTypeText(InputType::Voltage));
    type(m().Vstup, inputTypeText(InputType::Special0to10V));
    m().userEdit(m().Linearizace, u("ze souboru")); // the point-file dialog is cancelled
    EXPECT_FALSE(m().Linearizace.items.isEmpty());
    EXPECT_NE(m().Linearizace.text, u("ze souboru"));
}

} // namespace
} // namespace vtr8::testing_support
