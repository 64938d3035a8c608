#include "charts/plot.h"

#include "configuration/file_io.h"
#include "configuration/number_format.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vtr8 {
namespace {

// Round steps of 1, 2 or 5 times a power of ten, about six of them over the span.
double niceStep(double span)
{
    if (!(span > 0))
        return 1;
    const double raw = span / 6;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * power)
            return m * power;
    return 10 * power;
}

QString tickText(double v, double step)
{
    if (std::fabs(v) < step * 1e-9)
        v = 0;
    const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step))), 0, 9);
    return QString::number(v, 'f', decimals).replace(QLatin1Char('.'), localeDecimalSeparator());
}

struct Bounds {
    double x0 = std::numeric_limits<double>::max(), x1 = std::numeric_limits<double>::lowest();
    double y0 = std::numeric_limits<double>::max(), y1 = std::numeric_limits<double>::lowest();
};

} // namespace

QRectF MarkTextPlace(const QRectF& frame, QPointF mark, double textWidth, double line)
{
    // The marker's circle (radius 4, pen 1.5) and a little air around it.
    const QRectF marker(mark - QPointF(8, 8), QSizeF(16, 16));
    const double w = std::min(textWidth + 4, frame.width() - 8);
    const QRectF corners[] = {
        QRectF(frame.right() - 4 - w, frame.top() + 2, w, line),
        QRectF(frame.left() + 4, frame.top() + 2, w, line),
        QRectF(frame.right() - 4 - w, frame.bottom() - 2 - line, w, line),
        QRectF(frame.left() + 4, frame.bottom() - 2 - line, w, line),
    };
    for (const QRectF& corner : corners)
        if (!corner.intersects(marker))
            return corner;
    // A frame too small for any corner to stay clear: the text goes just above or below.
    const double y = mark.y() - 8 - line >= frame.top() ? mark.y() - 8 - line : mark.y() + 8;
    return QRectF(frame.left() + 4, y, w, line);
}

void DrawPlot(QPainter& painter, const QRectF& area, const Plot& plot)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, Qt::white);
    const QFontMetricsF fm(painter.font());
    const double line = fm.height();

    Bounds b;
    for (const PlotSeries& s : plot.series)
        for (const QPointF& p : s.points) {
            if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
                continue;
            b.x0 = std::min(b.x0, p.x());
            b.x1 = std::max(b.x1, p.x());
            b.y0 = std::min(b.y0, p.y());
            b.y1 = std::max(b.y1, p.y());
        }
    if (b.x0 > b.x1) {
        b = {0, 1, 0, 1};
    }
    if (b.x1 == b.x0)
        b.x1 = b.x0 + 1;
    if (b.y1 == b.y0) {
        const double pad = b.y0 == 0 ? 1 : std::fabs(b.y0) * 0.1;
        b.y0 -= pad;
        b.y1 += pad;
    }
    const double yStep = niceStep(b.y1 - b.y0);
    b.y0 = std::floor(b.y0 / yStep) * yStep;
    b.y1 = std::ceil(b.y1 / yStep) * yStep;
    const double xStep = niceStep(b.x1 - b.x0);

    // Room for the title, the legend, the tick texts and the axis names.
    double tickWidth = 0;
    for (double y = b.y0; y <= b.y1 + yStep / 2; y += yStep)
        tickWidth = std::max(tickWidth, fm.horizontalAdvance(tickText(y, yStep)));
    const QRectF frame(area.left() + tickWidth + line * 2, area.top() + line * 2.5,
                       area.width() - tickWidth - line * 3,
                       area.height() - line * (2.5 + 3.2 + plot.series.size() * 1.2));
    auto mapX = [&](double x) { return frame.left() + (x - b.x0) / (b.x1 - b.x0) * frame.width(); };
    auto mapY = [&](double y) {
        return frame.bottom() - (y - b.y0) / (b.y1 - b.y0) * frame.height();
    };

    const QFont plain = painter.font();
    QFont titleFont = plain;
    titleFont.setBold(true);
    painter.setFont(titleFont);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), line * 2), Qt::AlignCenter,
                     plot.title);
    painter.setFont(plain);

    painter.setPen(QPen(QColor(220, 220, 220), 0));
    const double xFirst = std::ceil(b.x0 / xStep) * xStep;
    for (double x = xFirst; x <= b.x1 + xStep * 1e-9; x += xStep)
        painter.drawLine(QPointF(mapX(x), frame.top()), QPointF(mapX(x), frame.bottom()));
    for (double y = b.y0; y <= b.y1 + yStep / 2; y += yStep)
        painter.drawLine(QPointF(frame.left(), mapY(y)), QPointF(frame.right(), mapY(y)));
    if (b.y0 < 0 && b.y1 > 0) {
        painter.setPen(QPen(Qt::gray, 0));
        painter.drawLine(QPointF(frame.left(), mapY(0)), QPointF(frame.right(), mapY(0)));
    }

    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(frame);
    for (double x = xFirst; x <= b.x1 + xStep * 1e-9; x += xStep)
        painter.drawText(QRectF(mapX(x) - 60, frame.bottom() + 2, 120, line),
                         Qt::AlignHCenter | Qt::AlignTop, tickText(x, xStep));
    for (double y = b.y0; y <= b.y1 + yStep / 2; y += yStep)
        painter.drawText(QRectF(frame.left() - tickWidth - 6, mapY(y) - line / 2, tickWidth, line),
                         Qt::AlignRight | Qt::AlignVCenter, tickText(y, yStep));
    painter.drawText(QRectF(frame.left(), frame.bottom() + line, frame.width(), line),
                     Qt::AlignCenter, plot.xLabel);
    painter.save();
    painter.translate(area.left() + line * 0.2, frame.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-frame.height() / 2, 0, frame.height(), line), Qt::AlignCenter,
                     plot.yLabel);
    painter.restore();

    painter.save();
    painter.setClipRect(frame.adjusted(-1, -1, 1, 1));
    for (const PlotSeries& s : plot.series) {
        QPainterPath path;
        bool started = false;
        for (const QPointF& p : s.points) {
            if (!std::isfinite(p.x()) || !std::isfinite(p.y())) {
                started = false;
                continue;
            }
            const QPointF q(mapX(p.x()), mapY(p.y()));
            if (started)
                path.lineTo(q);
            else
                path.moveTo(q);
            started = true;
        }
        painter.setPen(QPen(s.colour, s.bold ? 2.2 : 1.2));
        painter.drawPath(path);
    }
    for (const auto& [p, text] : plot.marks) {
        const QPointF q(mapX(p.x()), mapY(p.y()));
        painter.setPen(QPen(Qt::red, 1.5));
        painter.drawEllipse(q, 4, 4);
    }
    painter.restore();

    double legendY = frame.bottom() + line * 2.2;
    for (const PlotSeries& s : plot.series) {
        painter.setPen(QPen(s.colour, s.bold ? 2.2 : 1.2));
        painter.drawLine(QPointF(frame.left(), legendY + line / 2),
                         QPointF(frame.left() + 24, legendY + line / 2));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(frame.left() + 30, legendY, frame.width() - 30, line),
                         Qt::AlignLeft | Qt::AlignVCenter, s.name);
        legendY += line * 1.2;
    }
    for (const auto& [p, text] : plot.marks) {
        painter.setPen(Qt::red);
        const QRectF place = MarkTextPlace(frame, QPointF(mapX(p.x()), mapY(p.y())),
                                           fm.horizontalAdvance(text), line);
        painter.drawText(place, Qt::AlignCenter, text);
    }
    painter.restore();
}

QString SavePlot(const Plot& plot, const QString& path, QSize size)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(plot.title);
        QPainter painter(&svg);
        DrawPlot(painter, QRectF(QPointF(0, 0), size), plot);
        painter.end();
    } else if (suffix == QLatin1String("png")) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        DrawPlot(painter, QRectF(QPointF(0, 0), size), plot);
        painter.end();
        if (!image.save(&buffer, "PNG"))
            return QStringLiteral("Obrázek nelze vytvořit.");
    } else {
        return QStringLiteral("Obrázek se ukládá jako .svg nebo .png.");
    }
    const int error = saveFileAtomically(path, bytes);
    if (error != 0)
        return QStringLiteral("Soubor %1 nelze uložit (chyba č. %2).").arg(path).arg(error);
    return {};
}

} // namespace vtr8
