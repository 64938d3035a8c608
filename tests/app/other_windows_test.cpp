#include "window_fixture.h"

#include "app/brand_profile.h"
#include "app/information_window.h"
#include "app/port_window.h"
#include "app/table_window.h"
#include "app/window_placement.h"
#include "linearization/point_set.h"
#include "link/command_protocol.h"
#include "model/main_window_model.h"
#include "model/table_window_model.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace vtr8::testing_support {
namespace {

QColor textColour(const QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

class InformationWindow : public WindowTest {};

TEST_F(InformationWindow, ShowsTheMakerTextsWithRedTitles)
{
    startProgram();
    TForm5* form = program->form5();
#ifndef Q_OS_WIN // the width follows the texts, measured in the fonts at hand
    EXPECT_EQ(form->size(), QSize(582, 614));
#endif

    const BrandProfile& maker = makerBrandProfile();
    for (int i = 0; i < InformationLabelCount; ++i) {
        const QString name = QString::fromLatin1(InformationLabelNames[i]);
        QLabel* label = form->label(name);
        ASSERT_NE(label, nullptr) << name.toStdString();
        const QString expected = maker.informationTexts[i].value_or(formCountryLine());
        EXPECT_EQ(label->text(), expected) << name.toStdString();
        EXPECT_FALSE(label->text().isEmpty()) << name.toStdString();
        EXPECT_EQ(label->font().pixelSize(), 23);
        EXPECT_TRUE(label->font().bold());
    }
    EXPECT_EQ(form->label(QStringLiteral("Label104"))->text(), QStringLiteral("Provozovna"));

    for (const char* name : {"Label14", "Label101", "Label102", "Label103", "Label104"})
        EXPECT_EQ(textColour(form->label(QString::fromLatin1(name))), QColor(Qt::red)) << name;
    for (const char* name : {"Label105", "Label9", "Label111"})
        EXPECT_EQ(textColour(form->label(QString::fromLatin1(name))), QColor(Qt::blue)) << name;

    for (const char* name : {"ButtonVE5", "ButtonKA5"}) {
        auto* button = form->findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->isHidden()) << name;
        EXPECT_FALSE(button->isEnabled()) << name;
    }
}

TEST_F(InformationWindow, SecondBrandEmptiesItsUnusedLinesAndUsesBlueTitles)
{
    startProgram(true);
    TForm5* form = program->form5();
    EXPECT_EQ(form->label(QStringLiteral("Label101"))->text(), QStringLiteral("KALMERO a.s."));
    for (const char* name : {"Label107", "Label9", "Label110", "Label111"})
        EXPECT_TRUE(form->label(QString::fromLatin1(name))->text().isEmpty()) << name;
    EXPECT_EQ(form->label(QStringLiteral("Label14"))->text(), formCountryLine());
    for (const char* name : {"Label14", "Label101", "Label102", "Label103", "Label104"})
        EXPECT_EQ(textColour(form->label(QString::fromLatin1(name))), QColor(Qt::blue)) << name;
}

TEST_F(InformationWindow, ClosesWithItsButtonAndEscapeAndShowsWholeTexts)
{
    startProgram();
    TForm5* form = program->form5();
    for (QLabel* label : form->findChildren<QLabel*>())
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->objectName().toStdString();
    form->show();
    form->findChild<QPushButton*>(QStringLiteral("Zavrit"))->click();
    EXPECT_TRUE(form->isHidden());
    form->show();
    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_TRUE(form->isHidden());
}

TEST_F(InformationWindow, InformaceButtonShowsItModally)
{
    startProgram();
    showMainWindow();
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        wasModal = program->form5()->isVisible() && program->form5()->isModal();
        program->form5()->accept();
    });
    mainWidget<QPushButton>("Informace")->click();
    EXPECT_TRUE(wasModal);
    EXPECT_TRUE(program->form5()->isHidden());
}

class PortWindow : public WindowTest {};

TEST_F(PortWindow, OffersEightPortsWithTheirDevicesAndTakesTheChoiceOnlyWithOk)
{
    startProgram();
    TForm2* form = program->form2();
    EXPECT_EQ(form->setCom()->title(), QStringLiteral("Nast.  COM"));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(form->item(i)->text(), QStringLiteral("COM%1").arg(i + 1));
        auto* path = form->findChild<QLabel*>(QStringLiteral("SetComPath%1").arg(i + 1));
        ASSERT_NE(path, nullptr);
        // The device, marked when it is not there.
        EXPECT_TRUE(path->text().startsWith(PortSelection::itemPath(i))) << i;
    }
    const int start = program->protocol().session().portIndex();
    EXPECT_TRUE(form->item(start)->isChecked());

    const int other = (start + 1) % 8;
    form->item(other)->click();
    // Nothing is in force before OK: the next command still uses the stored port.
    EXPECT_EQ(program->protocol().session().portIndex(), start);
    // "Zrušit" and Escape leave the stored choice, and the window shows it again.
    form->findChild<QPushButton*>(QStringLiteral("Zrusit"))->click();
    EXPECT_EQ(program->protocol().session().portIndex(), start);
    EXPECT_TRUE(form->item(start)->isChecked());
    form->show();
    form->item(other)->click();
    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_TRUE(form->isHidden());
    EXPECT_EQ(program->protocol().session().portIndex(), start);
    EXPECT_EQ(form->selection().lastStoredIndex(), start);
}

TEST_F(PortWindow, KomunikaceShowsItAndOkHidesItAgain)
{
    startProgram();
    showMainWindow();
    mainWidget<QPushButton>("Button1")->click();
    TForm2* form = program->form2();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isModal());

    const int other = (form->selection().itemIndex() + 3) % 8;
    form->item(other)->click();
    form->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    EXPECT_TRUE(form->isHidden());
    EXPECT_EQ(form->selection().lastStoredIndex(), other);
    EXPECT_EQ(program->protocol().session().portIndex(), other);
}

class TableWindowWidget : public WindowTest {
protected:
    void loadPoints(int count)
    {
        QString text;
        for (int i = 0; i < count; ++i)
            text += QStringLiteral("%1 %2\r\n").arg(i).arg(i * i);
        const QString path = dir.filePath(QStringLiteral("p%1.txt").arg(count));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toLatin1());
        file.close();
        ui.openFileAnswers.push_back(path);
        program->tableModel().vyber_souboru();
    }
    QTemporaryDir dir;
};

TEST_F(TableWindowWidget, ShowsThePointsAndTheMethodControls)
{
    startProgram();
    loadPoints(4);
    TForm4* form = program->form4();
    ASSERT_TRUE(form->isVisible());
    QTableWidget* grid = form->grid();
    EXPECT_EQ(grid->columnCount(), 2);
    EXPECT_EQ(grid->rowCount(), 100);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), u("Naměřená vstupní hodnota"));
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), u("Požadovaná hodnota po linearizaci"));
    EXPECT_EQ(grid->item(3, 0)->text(), QStringLiteral("3"));
    EXPECT_EQ(grid->item(3, 1)->text(), QStringLiteral("9"));
    EXPECT_EQ(grid->currentRow(), 98);
    EXPECT_EQ(grid->currentColumn(), 1);

    auto* group = form->findChild<QGroupBox*>(QStringLiteral("Zpus_lin"));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), u("Způsob linearizace"));
    auto* lines = form->findChild<QRadioButton*>(QStringLiteral("Zpus_lin1"));
    EXPECT_EQ(lines->text(), u("Proložení lineárními přímkami v zadaných bodech"));
    EXPECT_EQ(form->findChild<QPushButton*>(QStringLiteral("Jiny"))->text(),
              u("&Jiný linearizační soubor"));

    auto* degree = form->findChild<QComboBox*>(QStringLiteral("stup_p"));
    EXPECT_TRUE(degree->isVisible());
    EXPECT_EQ(degree->currentText(), QStringLiteral("3")); // four points fit a cubic at most
    EXPECT_EQ(degree->count(), 2);

    lines->click();
    EXPECT_EQ(program->points().Method, PointFitMethod::StraightLines);
    EXPECT_TRUE(degree->isHidden());
    EXPECT_TRUE(form->findChild<QLabel*>(QStringLiteral("pstup"))->isHidden());
}

TEST_F(TableWindowWidget, OpensOverTheMiddleOfTheMainWindow)
{
    startProgram();
    showMainWindow();
    program->form1()->move(40, 30);
    loadPoints(4);
    const QPoint offset =
        program->form4()->frameGeometry().center() - program->form1()->frameGeometry().center();
    // Across; the offscreen screen is lower than the table window, which stays on it.
    EXPECT_LE(std::abs(offset.x()), 2) << offset.x();
    EXPECT_GE(program->form4()->frameGeometry().top(), 0);
}

TEST_F(TableWindowWidget, TypingTooHighADegreeIsCorrected)
{
    startProgram();
    loadPoints(4);
    auto* degree = program->form4()->findChild<QComboBox*>(QStringLiteral("stup_p"));
    degree->setFocus(Qt::MouseFocusReason);
    degree->lineEdit()->selectAll();
    QTest::keyClicks(degree, QStringLiteral("5"));
    ASSERT_FALSE(ui.messages.isEmpty());
    EXPECT_EQ(ui.messages.last(),
              u("Stupeň linearizačního polynomu nesmí být větší než počet bodů."));
    EXPECT_EQ(degree->currentText(), QStringLiteral("3"));
    EXPECT_EQ(program->points().PolynomialDegree, 3);
}

TEST_F(TableWindowWidget, OkClosesTheWindow)
{
    startProgram();
    loadPoints(5);
    program->form4()->findChild<QPushButton*>(QStringLiteral("OK"))->click();
    EXPECT_TRUE(program->form4()->isHidden());
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(TableWindowWidget, KeyboardLeavesTheTableConfirmsAndCancels)
{
    startProgram();
    showMainWindow();
    loadPoints(5);
    TForm4* form = program->form4();
    QApplication::setActiveWindow(form);
    QTableWidget* grid = form->grid();

    // Tab, Shift+Tab and Ctrl+Tab all leave the table where they land and scroll nothing.
    for (const Qt::KeyboardModifiers mods :
         {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier),
          Qt::KeyboardModifiers(Qt::ControlModifier)}) {
        grid->setFocus(Qt::TabFocusReason);
        grid->scrollToTop();
        QTest::keyClick(grid, Qt::Key_Tab, mods);
        EXPECT_FALSE(grid->hasFocus()) << int(mods);
        EXPECT_EQ(grid->rowAt(0), 0) << int(mods);
    }

    // Every button has a letter of its own.
    QSet<QChar> letters;
    for (QPushButton* b : form->findChildren<QPushButton*>()) {
        const qsizetype at = b->text().indexOf(QLatin1Char('&'));
        ASSERT_GE(at, 0) << b->objectName().toStdString();
        EXPECT_FALSE(letters.contains(b->text().at(at + 1).toLower()));
        letters.insert(b->text().at(at + 1).toLower());
    }

    // Escape takes back a method changed in the window; Enter is OK.
    form->findChild<QRadioButton*>(QStringLiteral("Zpus_lin1"))->click();
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_TRUE(form->isHidden());
    EXPECT_EQ(program->points().Method, PointFitMethod::Polynomial);
    EXPECT_EQ(program->points().PolynomialDegree, 4);

    loadPoints(2); // too few for the polynomial: OK refuses and the window stays
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_FALSE(form->isHidden());
    EXPECT_TRUE(ui.messages.contains(u("Minimální počet bodů pro linearizaci je 3.")));
    loadPoints(5);
    QTest::keyClick(grid, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(form->isHidden());
}

class SecondWindow : public WindowTest {};

TEST_F(SecondWindow, OpensOffsetFromTheFirst)
{
    startProgram();
    FocusingUserInterface otherUi;
    Vtr8Application other(&otherUi);
    other.start();
    EXPECT_NE(other.form1()->pos(), program->form1()->pos());

    // On a wide screen each place lies one step down and right of the last; on a screen the
    // window nearly fills it still moves, and stays on the screen.
    struct Case {
        QRect screen;
        QPoint first, second;
    };
    const QSize window(TForm1::FormWidth, TForm1::FormHeight);
    for (const Case& k : {Case{QRect(0, 0, 1920, 1080), QPoint(589, 272), QPoint(621, 304)},
                          Case{QRect(0, 0, 800, 600), QPoint(29, 32), QPoint(2, 64)}}) {
        EXPECT_EQ(slotPosition(window, k.screen, 0), k.first);
        EXPECT_EQ(slotPosition(window, k.screen, 1), k.second);
        for (int slot = 0; slot < 8; ++slot)
            EXPECT_TRUE(k.screen.contains(QRect(slotPosition(window, k.screen, slot), window)))
                << slot;
    }
}

} // namespace
} // namespace vtr8::testing_support

#ifdef Q_OS_UNIX
// The slots are locked in this user's private lock folder, never in the shared /tmp where
// another user's files would take them.
TEST(WindowSlots, LockedInThePrivateLockFolder)
{
    QTemporaryDir runtime;
    ASSERT_TRUE(QFile::setPermissions(runtime.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const bool had = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    const vtr8::WindowSlot slot = vtr8::takeWindowSlot();
    had ? qputenv("XDG_RUNTIME_DIR", saved) : qunsetenv("XDG_RUNTIME_DIR");
    ASSERT_TRUE(slot.lock);
    EXPECT_TRUE(
        QFile::exists(runtime.filePath(QStringLiteral("vtr8-window-%1.lock").arg(slot.index))));
}
#endif
