#include "model/table_window_model.h"

#include "configuration/number_format.h"
#include "linearization/point_set.h"
#include "model/main_window_model.h"
#include "model/point_file.h"
#include "user_interface/user_interface.h"

#include <algorithm>
#include <cmath>

namespace vtr8 {

namespace {

const QString kPolynomialItem = QStringLiteral("Polynom metodou nejmenších čtverců");
const QString kStraightLinesItem =
    QStringLiteral("Proložení lineárními přímkami v zadaných bodech");

// The straight-line segment table of the transmitter has room for 20 segments.
constexpr int kMaxStraightLinePoints = 21;
constexpr int kMinPolynomialPoints = 3;

int nearestPixel(double value)
{
    // Ties to even, like every other "nearest" of the program.
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

TableWindowLayout layoutTableWindow(int width, int height)
{
    const double W = width;
    const double H = height;
    TableWindowLayout l;

    const double gridWidth = 2 * (W / 3);
    const double gridHeight = 2 * (H / 3);
    l.grid = {nearestPixel(W / 6), nearestPixel(H / 60), nearestPixel(gridWidth),
              nearestPixel(gridHeight)};
    l.columnWidth = nearestPixel(gridWidth / 2);
    l.headingRowHeight = nearestPixel(gridHeight / 15);
    l.rowHeight = nearestPixel(gridHeight / 20);

    const int buttonTop = nearestPixel(17 * H / 20);
    const int buttonWidth = nearestPixel(W / 5);
    const int buttonHeight = nearestPixel(H / 12);
    l.ok = {nearestPixel(W / 4), buttonTop, buttonWidth, buttonHeight};
    l.jiny = {nearestPixel(3 * W / 4 - W / 5), buttonTop, buttonWidth, buttonHeight};

    l.pstup = {nearestPixel(W / 2 + W / 8), nearestPixel(14 * H / 20 + H / 60), 0, 0};
    l.stup_p = {nearestPixel(W / 2 + W / 5), nearestPixel(16 * H / 20 - H / 30), 0, 0};
    l.zpus_lin = {nearestPixel(W / 8 + W / 20), nearestPixel(13 * H / 20 + H / 18), 0,
                  nearestPixel(H / 8)};
    return l;
}

TableWindowModel::TableWindowModel(MainWindowModel& main)
    : main_(main), points_(main.points()), ui_(main.ui())
{
    Zpus_lin.caption = QStringLiteral("Způsob linearizace");
    Zpus_lin.items = {kPolynomialItem, kStraightLinesItem};
    Zpus_lin.itemIndex = static_cast<int>(PointFitMethod::Polynomial);
    points_.Method = PointFitMethod::Polynomial;

    pstup.caption = QStringLiteral("Stupeň polynomu");
    pstup.visible = false;

    for (int degree = MinDegree; degree <= MaxDegree; ++degree)
        stup_p.items << QString::number(degree);
    stup_p.visible = false;
    setDegreeText(QString::number(DefaultDegree));

    OK.caption = QStringLiteral("&OK");
    Jiny.caption = QStringLiteral("&Jiný linearizační soubor");

    clearGrid();
    main_.setPointFileChooser([this] { return vyber_souboru(); });
}

TableWindowModel::~TableWindowModel()
{
    main_.setPointFileChooser({});
}

const QString& TableWindowModel::cell(int column, int row) const
{
    static const QString none;
    if (column < 0 || column >= ColumnCount || row < 0 || row >= RowCount)
        return none;
    return cells_[column][row];
}

void TableWindowModel::notify()
{
    if (changed)
        changed();
}

void TableWindowModel::clearGrid()
{
    for (auto& column : cells_)
        for (QString& text : column)
            text.clear();
    cells_[0][0] = QStringLiteral("Naměřená vstupní hodnota");
    cells_[1][0] = QStringLiteral("Požadovaná hodnota po linearizaci");
    currentColumn = 1;
    currentRow = 99;
}

void TableWindowModel::close()
{
    shown = false;
}

void TableWindowModel::setDegreeText(const QString& text)
{
    stup_p.text = text;
    bool ok = false;
    const int degree = text.toInt(&ok);
    if (ok)
        points_.PolynomialDegree = degree;
}

int TableWindowModel::maxDegree() const
{
    return std::clamp(highestFittableDegree(points_), MinDegree, MaxDegree);
}

void TableWindowModel::offerDegrees()
{
    stup_p.items.clear();
    for (int degree = MinDegree; degree <= maxDegree(); ++degree)
        stup_p.items << QString::number(degree);
}

void TableWindowModel::showDegree(bool show)
{
    pstup.visible = show;
    pstup.enabled = show;
    stup_p.visible = show;
    stup_p.enabled = show;
}

bool TableWindowModel::vyber_souboru()
{
    const QString path =
        ui_.chooseOpenFile(QStringLiteral("Linearizační soubor"), main_.OpenDialog1InitialDir,
                           QStringLiteral("*.txt|*.txt|*.*|*.*"));
    if (path.isEmpty())
        return false;

    clearGrid();
    const PointFileReading reading = readPointFile(path);
    if (!applyPointFile(reading, points_, ui_)) {
        // A refused file is never left on show: the table would not be the
        // point set the transmitter gets.
        close();
        if (reading.outcome == PointFileReading::Outcome::BadValue && raiseMainWindow)
            raiseMainWindow();
        notify();
        return false;
    }
    // The name goes with the points: a refused file leaves the previous file's name.
    main_.OpenDialog1FileName = path;

    for (int i = 1; i <= points_.PointCount; ++i) {
        cells_[0][i] = formatGeneral(points_.MeasuredInput[i], 10);
        cells_[1][i] = formatGeneral(points_.RequiredOutput[i], 10);
    }
    shown = true;
    offerDegrees();
    Zpus_linChange();
    openedMethod_ = Zpus_lin.itemIndex;
    openedDegree_ = stup_p.text;
    notify();
    return true;
}

void TableWindowModel::Zpus_linChange()
{
    if (Zpus_lin.itemIndex == static_cast<int>(PointFitMethod::Polynomial)) {
        setDegreeText(QString::number(DefaultDegree));
        showDegree(true);
    } else {
        showDegree(false);
    }
    bool ok = false;
    const int degree = stup_p.text.toInt(&ok);
    if (ok && degree > maxDegree())
        setDegreeText(QString::number(maxDegree()));
    notify();
}

void TableWindowModel::Zpus_linClick(int itemIndex)
{
    if (itemIndex != static_cast<int>(PointFitMethod::Polynomial) &&
        itemIndex != static_cast<int>(PointFitMethod::StraightLines))
        return;
    Zpus_lin.itemIndex = itemIndex;
    points_.Method = static_cast<PointFitMethod>(itemIndex);
    showDegree(points_.Method == PointFitMethod::Polynomial);
    notify();
}

bool TableWindowModel::stup_pChange(const QString& text)
{
    stup_p.text = text;
    return stup_pChange();
}

bool TableWindowModel::stup_pChange()
{
    if (stup_p.text.isEmpty())
        return true;
    bool ok = false;
    const int degree = stup_p.text.toInt(&ok);
    if (!ok) {
        notify();
        ui_.message(QStringLiteral("Špatně zadaný stupeň polynomu."));
        if (focusRequested)
            focusRequested(stup_p);
        ui_.focus(QStringLiteral("stup_p"));
        return false;
    }
    points_.PolynomialDegree = degree;
    const bool fits = degree <= maxDegree();
    if (!fits) {
        notify();
        ui_.message(
            QStringLiteral("Stupeň linearizačního polynomu nesmí být větší než počet bodů."));
        setDegreeText(QString::number(maxDegree()));
    }
    notify();
    return fits;
}

bool TableWindowModel::OKClick()
{
    const int count = points_.PointCount;
    if (points_.Method == PointFitMethod::Polynomial) {
        if (count < kMinPolynomialPoints) {
            ui_.message(QStringLiteral("Minimální počet bodů pro linearizaci je 3."));
            return false;
        }
        if (count > LinearizationPoints::MaxPoints) {
            ui_.message(QStringLiteral("Maximální počet bodů pro linearizaci je 100."));
            return false;
        }
    } else if (count > kMaxStraightLinePoints) {
        ui_.message(QStringLiteral("Maximální počet bodů pro linearizaci metodou ") +
                    QStringLiteral("proložení lineárními přímkami v zadaných bodech je 21."));
        return false;
    }

    const bool degreeGiven = !stup_p.text.isEmpty();
    if (!degreeGiven)
        ui_.message(QStringLiteral("Stupeň polynomu musí být 2 až 8."));
    const bool degreeStands = stup_pChange();
    close();
    if (raiseMainWindow)
        raiseMainWindow();
    notify();
    return degreeGiven && degreeStands;
}

void TableWindowModel::ZrusitClick()
{
    Zpus_linClick(openedMethod_);
    setDegreeText(openedDegree_);
    close();
    if (raiseMainWindow)
        raiseMainWindow();
    notify();
}

void TableWindowModel::JinyClick()
{
    close();
    if (raiseMainWindow)
        raiseMainWindow();
    notify();
    vyber_souboru();
}

} // namespace vtr8
