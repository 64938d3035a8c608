#include "report/report_assembly.h"

#include "charts/error_plot.h"
#include "device/memory_map.h"
#include "history/configuration_compare.h"
#include "history/history_store.h"
#include "link/command_protocol.h"
#include "model/editor_read.h"
#include "model/editor_transfer_context.h"
#include "model/linearization_error.h"
#include "model/main_window_model.h"
#include "model/transmitter_comparison.h"
#include "report/own_read.h"

#include <algorithm>

namespace vtr8 {
namespace {

// What the transmitter holds against what writing `configuration` would store.
std::optional<std::vector<QString>> differencesFrom(EditorTransferContext& ctx,
                                                    const QByteArray& configuration)
{
    if (!ctx.model.loadConfigurationData(configuration))
        return std::nullopt;
    return DifferencesFromTransmitter(ctx);
}

} // namespace

std::optional<CommissioningReport> assembleReport(EditorTransferContext& outer,
                                                  HistoryStore& history, const QString& port)
{
    // Read into the report's own value: the editor's unsaved edits stay as they are.
    OwnRead own(outer);
    EditorTransferContext& ctx = own.ctx();
    MainWindowModel& model = own.model();
    // A unit without a configuration (the read has said so) leaves the editor as it was, and
    // that is not what this transmitter holds.
    if (!PrecistClick(ctx) || !ctx.state.ValidConfiguration)
        return std::nullopt;
    const std::optional<QByteArray> read = model.configurationFileBytes();
    if (!read)
        return std::nullopt;

    CommissioningReport r;
    r.note = model.EditUzPozn.text.trimmed();
    r.firmware = ctx.state.FirmwareNumber;
    // The read leaves out the type bytes; the identity of the report names them.
    if (const LinkResult<Bytes> type =
            ctx.link.readEeprom(eeprom::DeviceTypeBytes, eeprom::DeviceTypeBytesLength))
        r.typeBytes = QByteArray(reinterpret_cast<const char*>(type.value.data()),
                                 static_cast<qsizetype>(type.value.size()));
    r.port = port;
    r.date = QDateTime::currentDateTime();
    r.configuration = configurationFields(*read);
    r.readConfiguration = *read;

    std::vector<HistoryRecord> records;
    if (history.enabled() && !history.records({}, records, true))
        records.clear();
    takeReadings(r, records);
    if (r.unit.isEmpty())
        r.unit = model.Label8.caption;

    const auto lastWrite =
        std::find_if(records.rbegin(), records.rend(), [&r](const HistoryRecord& h) {
            return sameTransmitter(h, r.note, r.port) && h.result == HistoryResult::Completed &&
                   (h.operation == HistoryOperation::Write ||
                    h.operation == HistoryOperation::WriteVerify) &&
                   !h.configuration.isEmpty();
        });
    const bool written = lastWrite != records.rend();
    const std::optional<std::vector<QString>> differences =
        differencesFrom(ctx, written ? lastWrite->configuration : *read);
    const QString against =
        written ? QStringLiteral("konfiguraci zapsané %1")
                      .arg(lastWrite->started.toString(QStringLiteral("d. M. yyyy HH:mm")))
                : QStringLiteral("své přečtené konfiguraci");
    if (!differences) {
        r.verdict = QStringLiteral("Ověření se nepodařilo dokončit.");
    } else if (differences->empty()) {
        r.verified = true;
        r.verdict =
            QStringLiteral("Paměť převodníku odpovídá %1 (ověřeno při vystavení protokolu).")
                .arg(against);
    } else {
        const QStringList lines(differences->begin(), differences->end());
        r.verdict = QStringLiteral("Paměť převodníku se liší od %1: %2")
                        .arg(against, lines.join(QStringLiteral("; ")));
    }
    if (written && lastWrite->operation == HistoryOperation::WriteVerify)
        r.verdict += QStringLiteral(" Zápis byl ověřen zpětným čtením všech bloků.");

    // The chart is of the configuration the transmitter holds.
    if (!model.loadConfigurationData(*read))
        return std::nullopt;
    QString why;
    const auto request =
        LinearizationErrorRequestFor(model, ctx.points, ctx.state.OldFirmware, why);
    if (!request) {
        r.errorText = why;
        return r;
    }
    const LinearizationErrorReport errors = ComputeLinearizationError(*request);
    if (!errors.ok || errors.curves.empty()) {
        r.errorText = errors.message;
        return r;
    }
    r.errorPlot = ErrorPlot(errors);
    const ErrorCurve& chosen = errors.curves.front();
    r.errorText = QStringLiteral("Zvolená metoda: ") + chosen.name + QStringLiteral(", ") +
                  LargestErrorText(chosen, errors.unit, errors.inputUnit);
    return r;
}

} // namespace vtr8
