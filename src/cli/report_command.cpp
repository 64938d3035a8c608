// vtr8ctl report FILE.pdf: the commissioning report of the transmitter on the port.
#include "cli/cli_session.h"

#include "charts/error_plot.h"
#include "history/configuration_compare.h"
#include "history/history_store.h"
#include "model/linearization_error.h"
#include "report/commissioning_report.h"
#include "transfer/block_comparison.h"
#include "transfer/memory_fetch.h"
#include "transfer/read_configuration.h"
#include "transfer/write_preparation.h"

namespace vtr8 {

std::optional<std::vector<QString>> CliSession::differencesFrom(const QByteArray& configuration)
{
    const int before = ui_.messageCount;
    if (!model_.loadConfigurationData(configuration) || !quietSince(before))
        return std::nullopt;
    const std::optional<PreparedWrite> prepared = ComputeWrite(ctx_);
    if (!prepared)
        return std::nullopt;
    const std::optional<std::vector<EepromBlock>> planned =
        PlanConfigurationBlocks(ctx_, *prepared);
    if (!planned)
        return std::nullopt;
    const std::vector<EepromBlock> blocks = FinalBlocks(*planned);
    MemoryImage held;
    if (!FetchMemory(link_, ui_, ReadsCovering(blocks), held))
        return std::nullopt;
    ComparisonRules rules;
    rules.decimals = {{FileKey::Start, ShownDecimals(model_.Pocatek.text)},
                      {FileKey::End, ShownDecimals(model_.Konec.text)},
                      {FileKey::Damping, ShownDecimals(model_.Tlumeni.text)},
                      {FileKey::Parasitic, 3},
                      {FileKey::Shunt, ShownDecimals(model_.SnOdpor.text)}};
    return Differences(blocks, held, rules);
}

int CliSession::report()
{
    if (!ReadConfiguration(ctx_))
        return ExitEndedEarly;
    const std::optional<QByteArray> read = model_.configurationFileBytes();
    if (!read)
        return ExitEndedEarly;

    CommissioningReport r;
    r.note = model_.EditUzPozn.text.trimmed();
    r.firmware = ctx_.state.FirmwareNumber;
    r.port = link_.devicePath().isEmpty() ? QStringLiteral("COM%1").arg(link_.portIndex() + 1)
                                          : link_.devicePath();
    r.date = QDateTime::currentDateTime();
    r.configuration = configurationFields(*read);
    r.unit = model_.Label8.caption;

    std::vector<HistoryRecord> records;
    HistoryStore store(historyPath(options_.historyFile, options_.noHistory),
                       [this](const QString& text) { ui_.message(text); });
    if (store.enabled() && !store.records({}, records, true))
        records.clear();
    takeReadings(r, records);
    if (r.unit.isEmpty())
        r.unit = model_.Label8.caption;

    // The transmitter against what was last written to it, or against its own
    // configuration when this history holds no write of it.
    const auto lastWrite =
        std::find_if(records.rbegin(), records.rend(), [&r](const HistoryRecord& h) {
            return sameTransmitter(h, r.note, r.port) && h.result == HistoryResult::Completed &&
                   (h.operation == HistoryOperation::Write ||
                    h.operation == HistoryOperation::WriteVerify) &&
                   !h.configuration.isEmpty();
        });
    const QByteArray reference = lastWrite == records.rend() ? *read : lastWrite->configuration;
    const std::optional<std::vector<QString>> differences = differencesFrom(reference);
    const QString against =
        lastWrite == records.rend()
            ? QStringLiteral("své přečtené konfiguraci")
            : QStringLiteral("konfiguraci zapsané %1")
                  .arg(lastWrite->started.toString(QStringLiteral("d. M. yyyy HH:mm")));
    if (!differences) {
        r.verdict = QStringLiteral("Ověření se nepodařilo dokončit.");
    } else if (differences->empty()) {
        r.verified = true;
        r.verdict = QStringLiteral("Paměť převodníku odpovídá %1 (ověřeno při vystavení "
                                   "protokolu).")
                        .arg(against);
    } else {
        QStringList lines(differences->begin(), differences->end());
        r.verdict = QStringLiteral("Paměť převodníku se liší od %1: %2")
                        .arg(against, lines.join(QStringLiteral("; ")));
    }
    if (lastWrite != records.rend() && lastWrite->operation == HistoryOperation::WriteVerify)
        r.verdict += QStringLiteral(" Zápis byl ověřen zpětným čtením všech bloků.");

    // The chart is of the configuration the transmitter holds.
    if (!model_.loadConfigurationData(*read))
        return ExitEndedEarly;
    QString why;
    const auto request = LinearizationErrorRequestFor(model_, points_, ctx_.state.OldFirmware, why);
    if (request) {
        const LinearizationErrorReport errors = ComputeLinearizationError(*request);
        if (errors.ok && !errors.curves.empty()) {
            r.errorPlot = ErrorPlot(errors);
            const ErrorCurve& chosen = errors.curves.front();
            r.errorText = QStringLiteral("Zvolená metoda: ") + chosen.name + QStringLiteral(", ") +
                          LargestErrorText(chosen, errors.unit, errors.inputUnit);
        } else {
            r.errorText = errors.message;
        }
    } else {
        r.errorText = why;
    }

    if (const QString error = saveReportPdf(r, options_.arguments[0]); !error.isEmpty()) {
        ui_.message(error);
        return ExitEndedEarly;
    }
    out_ << QStringLiteral("Protokol uložen: ") << options_.arguments[0] << '\n'
         << (r.verified ? QStringLiteral("Ověření: vyhovuje\n")
                        : QStringLiteral("Ověření: nevyhovuje\n"));
    out_.flush();
    return r.verified ? ExitDone : ExitEndedEarly;
}

} // namespace vtr8
