#include "batch/commissioning.h"

#include "batch/row_rules.h"
#include "configuration/number_format.h"
#include "history/configuration_compare.h"
#include "history/history_store.h"
#include "history/transfer_tap.h"
#include "linearization/workspace.h"
#include "link/command_protocol.h"
#include "report/commissioning_report.h"
#include "transfer/comparator_transfer.h"
#include "transfer/link_failure_report.h"
#include "transfer/measurement_model.h"
#include "transfer/note_transfer.h"
#include "transfer/transfer_context.h"
#include "transfer/transfer_session.h"
#include "transfer/write_configuration.h"

#include <QDir>

#include <cmath>

namespace vtr8 {

namespace {

// The person's interface, keeping what was shown for the record of each step.
class StepMessages : public UserInterface {
public:
    explicit StepMessages(UserInterface& ui) : ui_(ui) {}
    void message(const QString& text) override
    {
        shown << text;
        ui_.message(text);
    }
    bool confirm(const QString& text) override { return ui_.confirm(text); }
    QString chooseOpenFile(const QString& title, const QString& folder,
                           const QString& filter) override
    {
        return ui_.chooseOpenFile(title, folder, filter);
    }
    QString chooseSaveFile(const QString& title, const QString& folder,
                           const QString& filter) override
    {
        return ui_.chooseSaveFile(title, folder, filter);
    }
    void focus(const QString& control) override { ui_.focus(control); }

    QStringList shown;

private:
    UserInterface& ui_;
};

QString fixed(double value)
{
    return QString::number(value, 'f', 3);
}

HistoryRecord recordOf(const CommissionSetup& setup, const InstrumentRow& row,
                       HistoryOperation operation, const QDateTime& started, bool completed,
                       const QStringList& messages)
{
    HistoryRecord r;
    r.started = started;
    r.ended = QDateTime::currentDateTime();
    r.program = QStringLiteral("vtr8ctl");
    r.port = setup.port;
    r.operation = operation;
    r.result = completed                          ? HistoryResult::Completed
               : setup.link.session().abandoned() ? HistoryResult::Interrupted
                                                  : HistoryResult::Failed;
    r.messages = messages;
    r.note = row.tag;
    r.configuration = row.configurationFile;
    r.firmware = setup.tap.firmware();
    r.typeBytes = setup.tap.typeBytes();
    r.unit = unitText(row.configuration->unitCode);
    return r;
}

struct Readings {
    bool completed = false;
    std::vector<CheckReading> taken;
};

// The transmitter's readings at references the technician sets on the calibrator, as
// `check --at` takes them, with the range the row has just written.
Readings takeReadings(TransferContext& ctx, const Configuration& c, const QList<double>& percents)
{
    Readings out;
    const double start = static_cast<double>(c.rangeStart.value);
    const double span = static_cast<double>(c.rangeEnd.value) - start;
    const QString unit = unitText(c.unitCode);
    MeasurementModel measurement(ctx.link, [c] {
        return MeasurementModel::InputChoice{c.input, c.linearization};
    });
    MeasurementReading last;
    QObject::connect(&measurement, &MeasurementModel::readingTaken,
                     [&last](const MeasurementReading& r) { last = r; });
    for (const double percent : percents) {
        const double reference = start + span * percent / 100.0;
        if (!ctx.ui.confirm(QStringLiteral("Nastavte na kalibrátoru vstup %1 %2 (%3 % rozsahu) a "
                                           "potvrďte měření.")
                                .arg(fixed(reference), unit, QString::number(percent))))
            return out;
        const int before = measurement.readingCount();
        measurement.Button1Click();
        if (measurement.readingCount() == before || ctx.link.session().abandoned())
            return out;
        CheckReading r;
        r.reference = reference;
        r.value = last.value;
        r.deviation = r.value - reference;
        r.spanPercent = span == 0 ? 0 : r.deviation / std::abs(span) * 100.0;
        out.taken.push_back(r);
    }
    out.completed = true;
    return out;
}

} // namespace

QString protocolFileName(const QString& tag)
{
    QString name;
    for (const QChar c : tag)
        name +=
            (c.unicode() < 32 || QStringLiteral("/\\:*?\"<>|").contains(c)) ? QLatin1Char('_') : c;
    if (name.trimmed().isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(QLatin1Char('_'));
    return name + QStringLiteral(".pdf");
}

CommissionResult commissionRow(const CommissionSetup& setup, const InstrumentRow& row)
{
    CommissionResult result;
    if (!row.valid())
        return result;
    const auto step = [&setup](const QString& text) {
        if (setup.step)
            setup.step(text);
    };
    StepMessages ui(setup.ui);
    // The link's failures belong to the record of the step they ended; afterwards they go to
    // the person directly again.
    ReportLinkFailures(setup.link, ui);
    struct ReporterBack {
        const CommissionSetup& setup;
        ~ReporterBack() { ReportLinkFailures(setup.link, setup.ui); }
    } reporterBack{setup};
    LinearizationPoints points;
    LinearizationWorkspace workspace(
        points, [&ui](const std::string& text) { ui.message(QString::fromStdString(text)); });
    workspace.DecimalSeparator = localeDecimalSeparator().toLatin1();
    TransferContext ctx(setup.link, ui, points, workspace);
    ctx.readBackWrites = true;

    const QDateTime started = QDateTime::currentDateTime();
    setup.tap.clear();
    step(QStringLiteral("zápis konfigurace se zpětným čtením"));
    bool written = WriteConfiguration(ctx, *row.configuration);
    if (written) {
        step(QStringLiteral("poznámka „%1“").arg(row.tag));
        TransferSession session(setup.link);
        written = session.active() && WriteNote(ctx, row.tag);
    }
    for (int n = 1; n <= 2 && written; ++n) {
        const std::optional<ComparatorSettings>& settings = row.comparators[std::size_t(n - 1)];
        if (!settings)
            continue;
        step(QStringLiteral("komparátor %1").arg(n));
        TransferSession session(setup.link);
        written = session.active() && StoreComparator(ctx, n, *settings) == ComparatorStore::Stored;
    }
    HistoryRecord write =
        recordOf(setup, row, HistoryOperation::WriteVerify, started, written, ui.shown);
    write.blocks = setup.tap.blocksWritten();
    if (setup.tap.anythingRead())
        write.memoryImage = setup.tap.memoryImage();
    const QDateTime writeEnded = write.ended;
    setup.history.add(std::move(write));
    if (!written)
        return result;

    Readings readings;
    if (!row.check.isEmpty()) {
        step(QStringLiteral("kontrola měřením"));
        ui.shown.clear();
        const QDateTime checkStarted = QDateTime::currentDateTime();
        readings = takeReadings(ctx, *row.configuration,
                                checkPercents(row.check).value_or(QList<double>{}));
        HistoryRecord check = recordOf(setup, row, HistoryOperation::Check, checkStarted,
                                       readings.completed, ui.shown);
        check.configuration.clear();
        check.readings = readings.taken;
        setup.history.add(std::move(check));
        if (!readings.completed)
            return result;
    }

    if (!setup.protocolDir.isEmpty()) {
        step(QStringLiteral("protokol"));
        CommissioningReport report;
        report.note = row.tag;
        report.firmware = setup.tap.firmware();
        report.typeBytes = setup.tap.typeBytes();
        report.port = setup.port;
        report.date = QDateTime::currentDateTime();
        report.configuration = configurationFields(row.configurationFile);
        report.verified = true;
        report.verdict =
            QStringLiteral("Konfigurace ze seznamu byla zapsána %1, všechny bloky ověřeny "
                           "zpětným čtením, poznámka nastavena na „%2“.")
                .arg(writeEnded.toString(QStringLiteral("d. M. yyyy HH:mm")), row.tag);
        report.errorText = QStringLiteral("Chybu linearizace vypíše „vtr8ctl linearization“.");
        report.unit = unitText(row.configuration->unitCode);
        report.asLeft = readings.taken;
        if (!readings.taken.empty())
            report.asLeftTime = QDateTime::currentDateTime();
        const QString path = QDir(setup.protocolDir).filePath(protocolFileName(row.tag));
        if (!QDir().mkpath(setup.protocolDir)) {
            setup.ui.message(
                QStringLiteral("Složku protokolů „%1“ nelze vytvořit.").arg(setup.protocolDir));
            return result;
        }
        if (const QString error = saveReportPdf(report, path); !error.isEmpty()) {
            setup.ui.message(error);
            return result;
        }
        result.protocolPath = path;
    }
    result.completed = true;
    return result;
}

} // namespace vtr8
