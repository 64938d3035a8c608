#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

#include <vector>

class QPainter;

namespace vtr8 {

struct PlotSeries {
    QString name;
    QColor colour;
    std::vector<QPointF> points;
    bool bold = false;
};

// A line chart with labelled axes; the same drawing goes to a window, an SVG and a PNG.
struct Plot {
    QString title;
    QString xLabel;
    QString yLabel;
    std::vector<PlotSeries> series;
    // A point to mark (the largest error), with its text.
    std::vector<std::pair<QPointF, QString>> marks;
};

void DrawPlot(QPainter& painter, const QRectF& area, const Plot& plot);
// Where a mark's text goes: the first corner of the plot frame (top right, top left, bottom
// right, bottom left) whose text does not cover the mark.
QRectF MarkTextPlace(const QRectF& frame, QPointF mark, double textWidth, double line);

// The picture as the file's extension asks (.svg or .png), saved whole or not at all. Empty
// on success, else a Czech message. Needs a QGuiApplication (fonts).
QString SavePlot(const Plot& plot, const QString& path, QSize size = QSize(900, 560));

} // namespace vtr8
