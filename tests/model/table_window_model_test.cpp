#include "configuration/number_format.h"
#include "linearization/point_set.h"
#include "model/main_window_model.h"
#include "model/table_window_model.h"
#include "user_interface/scripted_user_interface.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace vtr8 {
namespace {

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

class TableWindow : public testing::Test {
protected:
    TableWindow() : model(ui, points), table(model)
    {
        table.raiseMainWindow = [this] { ++raised; };
        model.OpenDialog1InitialDir = QStringLiteral("C:\\velkor_vtr8\\linearizace");
    }

    QString writeFile(const QString& name, const std::string& text)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
        return path;
    }

    QString pointsFile(int count)
    {
        std::string text;
        for (int i = 1; i <= count; ++i)
            text += std::to_string(i * 10) + "\t" + std::to_string(i * 10 + 5) + "\r\n";
        return writeFile(QStringLiteral("points%1.txt").arg(count), text);
    }

    void load(const QString& path)
    {
        ui.openFileAnswers.push_back(path);
        table.vyber_souboru();
    }

    QTemporaryDir dir;
    ScriptedUserInterface ui;
    LinearizationPoints points;
    MainWindowModel model;
    TableWindowModel table;
    int raised = 0;
};

TEST_F(TableWindow, ThreePointExampleFillsGridAndLowersTheDegree)
{
    const QString path = writeFile(QStringLiteral("tri.txt"), "0 0\n50 40\n100 100\n");
    load(path);

    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(ui.events.first(), QStringLiteral("open: C:\\velkor_vtr8\\linearizace"));
    EXPECT_EQ(model.OpenDialog1FileName, path);
    EXPECT_TRUE(table.shown);

    EXPECT_EQ(table.cell(0, 0), u("Naměřená vstupní hodnota"));
    EXPECT_EQ(table.cell(1, 0), u("Požadovaná hodnota po linearizaci"));
    const char* measured[] = {"0", "50", "100"};
    const char* required[] = {"0", "40", "100"};
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(table.cell(0, row), QString::fromLatin1(measured[row - 1])) << row;
        EXPECT_EQ(table.cell(1, row), QString::fromLatin1(required[row - 1])) << row;
    }
    EXPECT_TRUE(table.cell(0, 4).isEmpty());
    EXPECT_EQ(table.currentColumn, 1);
    EXPECT_EQ(table.currentRow, 99);

    EXPECT_EQ(points.PointCount, 3);
    EXPECT_EQ(points.LineSlope, 1);
    EXPECT_EQ(points.InverseOffset, 0);
    // Three points take a parabola at most: the box offers and picks no higher degree.
    EXPECT_EQ(table.stup_p.text, QStringLiteral("2"));
    EXPECT_EQ(table.stup_p.items, QStringList{QStringLiteral("2")});
    EXPECT_EQ(points.PolynomialDegree, 2);
    EXPECT_TRUE(table.stup_p.visible && table.stup_p.enabled);
    EXPECT_TRUE(table.pstup.visible);
}

TEST_F(TableWindow, GridShowsFractionsInTheFieldFormat)
{
    load(writeFile(QStringLiteral("f.txt"), "-1.25 0.5\n2.5e3 1234567.891\n"));
    EXPECT_EQ(table.cell(0, 1), formatGeneral(-1.25L, 10));
    EXPECT_EQ(table.cell(0, 2), QStringLiteral("2500"));
    EXPECT_EQ(table.cell(1, 2),
              QStringLiteral("1234567") + localeDecimalSeparator() + QStringLiteral("891"));
}

TEST_F(TableWindow, CancelledDialogChangesNothing)
{
    load(pointsFile(5));
    ui.clear();
    table.shown = false;
    table.vyber_souboru(); // no answer queued: the person cancels
    EXPECT_FALSE(table.shown);
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(model.OpenDialog1FileName.endsWith(QStringLiteral("points5.txt")));
    EXPECT_EQ(points.PointCount, 5);
    EXPECT_EQ(table.cell(0, 5), QStringLiteral("50"));
}

TEST_F(TableWindow, NewFileEmptiesRowsOfTheLongerOne)
{
    load(pointsFile(8));
    load(pointsFile(3));
    EXPECT_EQ(table.cell(0, 3), QStringLiteral("30"));
    EXPECT_TRUE(table.cell(0, 4).isEmpty());
    EXPECT_TRUE(table.cell(1, 8).isEmpty());
}

TEST_F(TableWindow, TwentyOnePointsPassWithEitherMethod)
{
    for (int method : {0, 1}) {
        load(pointsFile(21));
        table.Zpus_linClick(method);
        table.OKClick();
        EXPECT_FALSE(table.shown) << method;
        EXPECT_TRUE(ui.messages.isEmpty()) << method;
    }
    EXPECT_EQ(raised, 2);
}

TEST_F(TableWindow, TwentyTwoPointsAreRefusedForStraightLinesOnly)
{
    load(pointsFile(22));
    table.Zpus_linClick(1);
    table.OKClick();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0], u("Maximální počet bodů pro linearizaci metodou proložení "
                                "lineárními přímkami v zadaných bodech je 21."));
    EXPECT_TRUE(table.shown); // stays open for another choice
    EXPECT_EQ(raised, 0);

    table.Zpus_linClick(0);
    table.OKClick();
    EXPECT_EQ(ui.messages.size(), 1);
    EXPECT_FALSE(table.shown);
    EXPECT_EQ(points.Method, PointFitMethod::Polynomial);
}

TEST_F(TableWindow, TwoPointsAreRefusedForThePolynomial)
{
    load(pointsFile(2));
    EXPECT_EQ(table.stup_p.text, QStringLiteral("2"));
    table.OKClick();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0], u("Minimální počet bodů pro linearizaci je 3."));
    EXPECT_TRUE(table.shown);

    table.Zpus_linClick(1);
    table.OKClick();
    EXPECT_EQ(ui.messages.size(), 1);
    EXPECT_FALSE(table.shown);
}

TEST_F(TableWindow, TypedDegreeIsCheckedAgainstThePointCount)
{
    load(pointsFile(4));
    ASSERT_EQ(table.stup_p.text, QStringLiteral("3"));

    table.stup_pChange(QStringLiteral("2"));
    EXPECT_EQ(points.PolynomialDegree, 2);
    EXPECT_TRUE(ui.messages.isEmpty());

    table.stup_pChange(QStringLiteral("4"));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0], u("Stupeň linearizačního polynomu nesmí být větší než počet bodů."));
    EXPECT_EQ(table.stup_p.text, QStringLiteral("3"));
    EXPECT_EQ(points.PolynomialDegree, 3);

    table.stup_pChange(QStringLiteral("x"));
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_EQ(ui.messages[1], u("Špatně zadaný stupeň polynomu."));
    EXPECT_EQ(ui.focused, QStringLiteral("stup_p"));
    EXPECT_EQ(points.PolynomialDegree, 3); // the last good number stays

    table.stup_pChange(QString());
    EXPECT_EQ(ui.messages.size(), 2);
}

TEST_F(TableWindow, EmptyDegreeIsReportedButOkStillCloses)
{
    load(pointsFile(10));
    table.stup_pChange(QString());
    table.OKClick();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0], u("Stupeň polynomu musí být 2 až 8."));
    EXPECT_FALSE(table.shown);
}

TEST_F(TableWindow, MethodClickShowsOrHidesTheDegreeWithoutChangingIt)
{
    load(pointsFile(10));
    table.stup_pChange(QStringLiteral("7"));
    table.Zpus_linClick(1);
    EXPECT_EQ(points.Method, PointFitMethod::StraightLines);
    EXPECT_FALSE(table.stup_p.visible || table.stup_p.enabled || table.pstup.visible);
    table.Zpus_linClick(0);
    EXPECT_TRUE(table.stup_p.visible && table.stup_p.enabled && table.pstup.visible);
    EXPECT_EQ(table.stup_p.text, QStringLiteral("7"));
    EXPECT_EQ(points.PolynomialDegree, 7);
}

TEST_F(TableWindow, NewFileWithStraightLinesKeepsTheDegreeHidden)
{
    load(pointsFile(10));
    table.stup_pChange(QStringLiteral("8"));
    table.Zpus_linClick(1);
    load(pointsFile(5));
    EXPECT_FALSE(table.stup_p.visible);
    EXPECT_EQ(table.stup_p.text, QStringLiteral("4")); // cut to what five points can fit
    EXPECT_EQ(points.Method, PointFitMethod::StraightLines);
}

TEST_F(TableWindow, DecimalCommaClosesTheWindowAndClearsTheFlag)
{
    load(pointsFile(5));
    ASSERT_TRUE(points.PointFileOk);
    load(writeFile(QStringLiteral("carka.txt"), "0 0\n1,5 2\n3 4\n"));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0], u("Špatně zadaná hodnota k linearizaci."));
    EXPECT_FALSE(points.PointFileOk);
    EXPECT_FALSE(table.shown);
    EXPECT_EQ(raised, 1);
    EXPECT_TRUE(table.cell(0, 1).isEmpty());
}

TEST_F(TableWindow, TooManyPointsLeaveTheWindowClosedAndTheSetAlone)
{
    load(pointsFile(6));
    table.shown = false;
    load(pointsFile(101));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0], u("Maximální počet bodů pro linearizaci je 100."));
    EXPECT_FALSE(table.shown);
    EXPECT_EQ(points.PointCount, 6);
    EXPECT_TRUE(points.PointFileOk);
}

TEST_F(TableWindow, UnreadableFileShowsTheErrorNumber)
{
    load(dir.filePath(QStringLiteral("chybi.txt")));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0], QStringLiteral("Chyba c. %1").arg(ENOENT));
    EXPECT_FALSE(table.shown);
    EXPECT_EQ(table.cell(0, 0), u("Naměřená vstupní hodnota"));
}

TEST_F(TableWindow, JinyClosesAndChoosesAgain)
{
    load(pointsFile(5));
    const QString second = pointsFile(7);
    ui.clear();
    ui.openFileAnswers.push_back(second);
    table.JinyClick();
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(ui.events.first(), QStringLiteral("open: C:\\velkor_vtr8\\linearizace"));
    EXPECT_TRUE(table.shown);
    EXPECT_EQ(points.PointCount, 7);
    EXPECT_EQ(model.OpenDialog1FileName, second);
}

TEST_F(TableWindow, MainWindowFromFileUsesThisChooser)
{
    model.userEdit(model.Vstup, u("odporový teploměr Pt100"));
    ui.openFileAnswers.push_back(pointsFile(4));
    model.userEdit(model.Linearizace, u("ze souboru"));
    EXPECT_TRUE(table.shown);
    EXPECT_TRUE(model.PointFileChosen);
    EXPECT_EQ(model.Linearizace.text, u("ze souboru"));
    EXPECT_EQ(points.PointCount, 4);
}

TEST_F(TableWindow, MainWindowReturnsToAFreshChoiceAfterABadFile)
{
    model.userEdit(model.Vstup, u("reostat"));
    ui.openFileAnswers.push_back(writeFile(QStringLiteral("zle.txt"), "1 2\nx 4\n"));
    model.userEdit(model.Linearizace, u("ze souboru"));
    EXPECT_FALSE(table.shown);
    EXPECT_FALSE(points.PointFileOk);
    EXPECT_TRUE(model.Linearizace.text.isEmpty());
    EXPECT_TRUE(ui.messages.contains(u("Špatně zadaná hodnota k linearizaci.")));
}

TEST_F(TableWindow, ARefusedOrCancelledChoiceLeavesFromFileAndKeepsThePreviousFile)
{
    model.userEdit(model.Vstup, u("reostat"));
    const QString good = pointsFile(4);
    const QString refused[] = {dir.filePath(QStringLiteral("chybi.txt")), pointsFile(101),
                               QString() /* cancelled */};
    for (const QString& path : refused) {
        SCOPED_TRACE(path.toStdString());
        model.userEdit(model.Linearizace, u("nelinearizováno"));
        ui.openFileAnswers = {good};
        model.userEdit(model.Linearizace, u("ze souboru"));
        ASSERT_EQ(model.Linearizace.text, u("ze souboru"));

        model.userEdit(model.Linearizace, u("nelinearizováno"));
        ui.openFileAnswers = {path};
        model.userEdit(model.Linearizace, u("ze souboru"));
        EXPECT_TRUE(model.Linearizace.text.isEmpty());
        EXPECT_EQ(model.OpenDialog1FileName, good);
        EXPECT_EQ(points.PointCount, 4);
        EXPECT_EQ(model.UnitCode, 37); // the input's own again
    }
}

struct LayoutCase {
    int width, height;
    TableWindowLayout::Rect grid, ok, jiny, pstup, stup_p, zpus_lin;
    int headingRow, row;
};

TEST(TableWindowLayout, ScalesWithTheWindowAndRoundsHalvesToEven)
{
    const LayoutCase cases[] = {
        // 600 x 600: every division exact.
        {600,
         600,
         {100, 10, 400, 400},
         {150, 510, 120, 50},
         {330, 510, 120, 50},
         {375, 430, 0, 0},
         {420, 460, 0, 0},
         {105, 423, 0, 75},
         27,
         20},
        // 18 x 30: W/4 = 4.5 goes to 4, H/12 = 2.5 to 2, 3W/4 - W/5 = 9.9 to 10.
        {18,
         30,
         {3, 0, 12, 20},
         {4, 26, 4, 2},
         {10, 26, 4, 2},
         {11, 22, 0, 0},
         {13, 23, 0, 0},
         {3, 21, 0, 4},
         1,
         1},
    };
    for (const LayoutCase& c : cases) {
        const TableWindowLayout l = layoutTableWindow(c.width, c.height);
        const auto same = [](const TableWindowLayout::Rect& a, const TableWindowLayout::Rect& b) {
            return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
        };
        EXPECT_TRUE(same(l.grid, c.grid)) << c.width;
        EXPECT_TRUE(same(l.ok, c.ok)) << c.width;
        EXPECT_TRUE(same(l.jiny, c.jiny)) << c.width;
        EXPECT_TRUE(same(l.pstup, c.pstup)) << c.width;
        EXPECT_TRUE(same(l.stup_p, c.stup_p)) << c.width;
        EXPECT_TRUE(same(l.zpus_lin, c.zpus_lin)) << c.width;
        EXPECT_EQ(l.headingRowHeight, c.headingRow) << c.width;
        EXPECT_EQ(l.rowHeight, c.row) << c.width;
    }
}

} // namespace
} // namespace vtr8
