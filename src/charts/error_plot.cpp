#include "charts/error_plot.h"

#include "configuration/number_format.h"

namespace vtr8 {

QString LargestErrorText(const ErrorCurve& curve, const QString& unit, const QString& inputUnit)
{
    auto withUnit = [](double v, const QString& u) {
        const QString n =
            QString::number(v, 'g', 4).replace(QLatin1Char('.'), localeDecimalSeparator());
        return u.isEmpty() ? n : n + QLatin1Char(' ') + u;
    };
    return QStringLiteral("Největší chyba %1 při %2")
        .arg(withUnit(static_cast<double>(curve.largestError), unit),
             withUnit(static_cast<double>(curve.largestAt), inputUnit));
}

Plot ErrorPlot(const LinearizationErrorReport& report)
{
    static const QColor Colours[] = {QColor(0, 70, 200), QColor(220, 120, 0), QColor(0, 150, 60)};
    Plot plot;
    plot.title = QStringLiteral("Chyba linearizace");
    plot.xLabel = report.inputUnit.isEmpty() ? QStringLiteral("vstup")
                                             : QStringLiteral("vstup [%1]").arg(report.inputUnit);
    plot.yLabel = report.unit.isEmpty() ? QStringLiteral("chyba")
                                        : QStringLiteral("chyba [%1]").arg(report.unit);
    std::size_t i = 0;
    for (const ErrorCurve& c : report.curves) {
        PlotSeries s;
        s.name = c.chosen ? c.name + QStringLiteral(" (zvolená), ") +
                                LargestErrorText(c, report.unit, report.inputUnit)
                          : c.name + QStringLiteral(", ") +
                                LargestErrorText(c, report.unit, report.inputUnit);
        s.colour = Colours[i++ % 3];
        s.bold = c.chosen;
        s.points.reserve(c.samples.size());
        for (const ErrorSample& e : c.samples)
            s.points.emplace_back(static_cast<double>(e.input), static_cast<double>(e.error));
        if (c.chosen)
            plot.marks.emplace_back(
                QPointF(static_cast<double>(c.largestAt), static_cast<double>(c.largestError)),
                LargestErrorText(c, report.unit, report.inputUnit));
        plot.series.push_back(std::move(s));
    }
    return plot;
}

} // namespace vtr8
