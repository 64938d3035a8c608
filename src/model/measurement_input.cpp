#include "model/measurement_input.h"

#include "model/main_window_model.h"

#include <QLocale>
#include <QRegularExpression>

namespace vtr8 {

MeasurementModel::InputChoiceSource editorInputChoice(const MainWindowModel& mainWindow)
{
    return [&mainWindow] {
        return MeasurementModel::InputChoice{inputTypeFromText(mainWindow.Vstup.text),
                                             linearizationFromText(mainWindow.Linearizace.text)};
    };
}

std::optional<QList<double>> parseCheckPointsText(const QString& text, QChar decimalSeparator)
{
    const bool comma = decimalSeparator == QLatin1Char(',');
    const QRegularExpression separators(comma ? QStringLiteral("[;\\s]+")
                                              : QStringLiteral("[,;\\s]+"));
    QList<double> points;
    for (QString part : text.split(separators, Qt::SkipEmptyParts)) {
        if (comma)
            part.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double p = QLocale::c().toDouble(part, &ok);
        if (!ok || p < -10 || p > 110)
            return std::nullopt;
        points << p;
    }
    if (points.isEmpty())
        return std::nullopt;
    return points;
}

QString checkPointsPrompt(QChar decimalSeparator)
{
    return decimalSeparator == QLatin1Char(',')
               ? QStringLiteral("Referenční vstupy v % rozsahu, oddělené středníkem nebo mezerou:")
               : QStringLiteral("Referenční vstupy v % rozsahu, oddělené čárkou:");
}

QString checkPointsDefault(QChar decimalSeparator)
{
    return decimalSeparator == QLatin1Char(',') ? QStringLiteral("0; 50; 100")
                                                : QStringLiteral("0,50,100");
}

} // namespace vtr8
