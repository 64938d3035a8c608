#pragma once

#include "charts/plot.h"
#include "model/linearization_error.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace vtr8 {

class UserInterface;

// The chart drawn by the same code that writes the SVG and PNG files.
class PlotWidget : public QWidget {
public:
    explicit PlotWidget(QWidget* parent = nullptr) : QWidget(parent) {}
    void setPlot(Plot plot);
    const Plot& plot() const { return plot_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Plot plot_;
};

// "Chyba linearizace": the error of what the transmitter will compute from the stored
// linearization, for the chosen method and the others its firmware allows.
class LinearizationErrorWindow : public QDialog {
    Q_OBJECT
public:
    explicit LinearizationErrorWindow(UserInterface& ui, QWidget* parent = nullptr);

    // Computes and shows the report for the configuration; false (and a message) when the
    // configuration has nothing to plot.
    bool showFor(const LinearizationErrorRequest& request, const QString& firmwareNote);

    const LinearizationErrorReport& report() const { return report_; }
    QLabel* summary() const { return summary_; }

    // "Uložit CSV" and "Uložit obrázek", after the file dialog.
    void saveCsvClick();
    void savePictureClick();

private:
    UserInterface& ui_;
    LinearizationErrorReport report_;
    PlotWidget* plot_ = nullptr;
    QLabel* summary_ = nullptr;
};

} // namespace vtr8
