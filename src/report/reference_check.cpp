#include "report/reference_check.h"

#include "link/command_protocol.h"
#include "model/editor_read.h"
#include "model/editor_transfer_context.h"
#include "model/main_window_model.h"
#include "model/measurement_input.h"
#include "report/own_read.h"
#include "transfer/measurement_log.h"

#include <QLocale>

#include <cmath>

namespace vtr8 {
namespace {

// A range limit as the field shows it, with either separator.
std::optional<double> fieldNumber(QString text)
{
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

QString fixed(double value)
{
    return QString::number(value, 'f', 3);
}

} // namespace

QString checkReadingText(const CheckReading& r, const QString& unit)
{
    return QStringLiteral("vstup %1 %2: údaj %3 %2, odchylka %4 %2 (%5 % rozpětí)")
        .arg(fixed(r.reference), unit, fixed(r.value), fixed(r.deviation), fixed(r.spanPercent));
}

std::optional<QList<double>> parseCheckPoints(const QString& text)
{
    QList<double> points;
    for (const QString& part : text.split(QLatin1Char(','))) {
        bool ok = false;
        const double p = QLocale::c().toDouble(part.trimmed(), &ok);
        if (!ok || p < -10 || p > 110)
            return std::nullopt;
        points << p;
    }
    return points;
}

std::optional<ReferenceCheck>
runReferenceCheck(EditorTransferContext& outer, const QList<double>& percents,
                  const std::function<void(const CheckReading&, const QString& unit)>& taken)
{
    OwnRead own(outer);
    EditorTransferContext& ctx = own.ctx();
    MainWindowModel& model = own.model();
    // Without a configuration (the read has said so) there is no range to check.
    if (!PrecistClick(ctx) || !ctx.state.ValidConfiguration)
        return std::nullopt;
    const std::optional<double> start = fieldNumber(model.Pocatek.text);
    const std::optional<double> end = fieldNumber(model.Konec.text);
    if (!start || !end || *start == *end) {
        ctx.ui.message(QStringLiteral("Rozsah převodníku nelze pro kontrolu použít."));
        return std::nullopt;
    }
    ReferenceCheck check;
    check.unit = model.Label8.caption;
    check.configuration = model.configurationFileBytes().value_or(QByteArray());
    check.note = model.EditUzPozn.text.trimmed();
    const double span = *end - *start;
    MeasurementModel measurement(ctx.link, editorInputChoice(model));
    MeasurementReading last;
    QObject::connect(&measurement, &MeasurementModel::readingTaken,
                     [&last](const MeasurementReading& r) { last = r; });
    for (const double percent : percents) {
        const double reference = *start + span * percent / 100.0;
        if (!ctx.ui.confirm(QStringLiteral("Nastavte na kalibrátoru vstup %1 %2 (%3 % rozsahu) a "
                                           "potvrďte měření.")
                                .arg(fixed(reference), check.unit, QString::number(percent))))
            return check;
        const int before = measurement.readingCount();
        measurement.Button1Click();
        if (measurement.readingCount() == before || ctx.link.session().abandoned())
            return check;
        CheckReading r;
        r.reference = reference;
        r.value = last.value;
        r.deviation = r.value - reference;
        r.spanPercent = r.deviation / std::abs(span) * 100.0;
        check.readings.push_back(r);
        if (taken)
            taken(r, check.unit);
    }
    check.completed = true;
    return check;
}

} // namespace vtr8
