// vtr8ctl check --at 0,50,100: the transmitter's readings at reference inputs the technician
// sets on the calibrator, against the reference, as a deviation and a share of the span.
#include "cli/cli_session.h"

#include "transfer/measurement_log.h"
#include "transfer/measurement_model.h"
#include "transfer/read_configuration.h"

#include <QLocale>

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

int CliSession::check()
{
    if (!ReadConfiguration(ctx_))
        return ExitEndedEarly;
    const std::optional<double> start = fieldNumber(model_.Pocatek.text);
    const std::optional<double> end = fieldNumber(model_.Konec.text);
    if (!start || !end || *start == *end) {
        ui_.message(QStringLiteral("Rozsah převodníku nelze pro kontrolu použít."));
        return ExitEndedEarly;
    }
    const QString unit = model_.Label8.caption;
    const double span = *end - *start;
    MeasurementModel measurement(link_, model_);
    MeasurementReading last;
    QObject::connect(&measurement, &MeasurementModel::readingTaken,
                     [&last](const MeasurementReading& r) { last = r; });
    for (const double percent : options_.checkAt) {
        const double reference = *start + span * percent / 100.0;
        if (!ui_.confirm(QStringLiteral("Nastavte na kalibrátoru vstup %1 %2 (%3 % rozsahu) a "
                                        "potvrďte měření.")
                             .arg(fixed(reference), unit, QString::number(percent))))
            return ExitEndedEarly;
        const int before = measurement.readingCount();
        measurement.Button1Click();
        if (measurement.readingCount() == before || interrupted_)
            return ExitEndedEarly;
        CheckReading r;
        r.reference = reference;
        r.value = last.value;
        r.deviation = r.value - reference;
        r.spanPercent = r.deviation / std::abs(span) * 100.0;
        checkReadings_.push_back(r);
        out_ << QStringLiteral("vstup %1 %2: údaj %3 %2, odchylka %4 %2 (%5 % rozpětí)\n")
                    .arg(fixed(reference), unit, fixed(r.value), fixed(r.deviation),
                         fixed(r.spanPercent));
        out_.flush();
    }
    return ExitDone;
}

} // namespace vtr8
