#pragma once

#include "model/control.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace vtr8 {

struct LinearizationPoints;
class MainWindowModel;
class UserInterface;

// Where the controls of the linearization-table window sit, in pixels, for a
// window of outer size W x H. Everything scales with the window so the table
// stays readable on any screen.
struct TableWindowLayout {
    struct Rect {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
    };
    Rect grid; // StringGrid1
    int columnWidth = 0;
    int headingRowHeight = 0; // row 0
    int rowHeight = 0;        // rows 1..100
    Rect ok;                  // OK
    Rect jiny;                // Jiny
    Rect pstup;               // the "Stupeň polynomu" label (left, top)
    Rect stup_p;              // the degree box (left, top)
    Rect zpus_lin;            // the method group (left, top, height)
};

TableWindowLayout layoutTableWindow(int width, int height);

// The widget-free model of TForm4, the window that shows the points of the
// linearization point file and takes the approximation method and the degree
// of the polynomial. It also does the main window's `vyber_souboru`: choose,
// read and show the point file. It works on the main window model's point set,
// dialog folder and chosen file name, and installs itself as that model's
// point-file chooser.
class TableWindowModel {
public:
    static constexpr int RowCount = 101; // row 0 holds the headings
    static constexpr int ColumnCount = 2;
    static constexpr int DefaultDegree = 6;
    static constexpr int MinDegree = 2;
    static constexpr int MaxDegree = 8;

    explicit TableWindowModel(MainWindowModel& main);
    ~TableWindowModel();
    TableWindowModel(const TableWindowModel&) = delete;
    TableWindowModel& operator=(const TableWindowModel&) = delete;

    // --- controls --------------------------------------------------------
    QString Caption = QString::fromUtf8("Hodnoty linearizačního souboru");
    Control Zpus_lin; // items: polynomial, straight lines; itemIndex = PointFitMethod
    Control pstup;    // label "Stupeň polynomu"
    Control stup_p;   // degree box, items "2".."8"
    Control OK;
    Control Jiny;
    // Whether the window is shown (it is never modal).
    bool shown = false;
    // StringGrid1's current cell.
    int currentColumn = 0;
    int currentRow = 1;

    const QString& cell(int column, int row) const;

    // Brings the main window to the front.
    std::function<void()> raiseMainWindow;
    // Called after every change of the model, so a window can refresh.
    std::function<void()> changed;

    // --- handlers ---------------------------------------------------------
    // Lets the person choose a point file, reads it and shows the window.
    // True when a file was chosen and read; only then are the file name and points new.
    bool vyber_souboru();
    void Zpus_linChange();
    void Zpus_linClick(int itemIndex);
    // The degree box after a change by the person; `text` is its new text.
    // The degree field's check: true when the degree stands as shown (an empty field too).
    bool stup_pChange(const QString& text);
    bool stup_pChange();
    // True when the window closed with its points and degree accepted without a message.
    bool OKClick();
    void JinyClick();
    // "Zrušit": the method and degree go back to what the window showed when it opened, and it
    // closes without OK's checks.
    void ZrusitClick();
    // A check returns the person to `control`: the window focuses its widget.
    std::function<void(Control&)> focusRequested;

    LinearizationPoints& points() { return points_; }

private:
    void close();
    void clearGrid();
    void notify();
    void showDegree(bool show);
    // The highest degree the box offers: what the points can fit, within 2..8.
    int maxDegree() const;
    void offerDegrees();
    // A change the program makes: keeps PolynomialDegree equal to the number in the box.
    void setDegreeText(const QString& text);

    MainWindowModel& main_;
    LinearizationPoints& points_;
    UserInterface& ui_;
    std::array<std::array<QString, RowCount>, ColumnCount> cells_;
    int openedMethod_ = 0;
    QString openedDegree_;
};

} // namespace vtr8
