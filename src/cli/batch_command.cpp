// vtr8ctl batch: the plant's instrument list checked, its rows' states, and one row commissioned
// on the transmitter at the port.
#include "cli/batch_command.h"

#include "batch/batch_status.h"
#include "batch/commissioning.h"
#include "batch/instrument_list.h"
#include "cli/cli_session.h"
#include "cli/frame_command.h"
#include "cli/interrupt_signals.h"
#include "history/history_store.h"
#include "history/transfer_tap.h"
#include "link/command_protocol.h"
#include "link/port_listing.h"
#include "link/port_mapping.h"
#include "link/port_selection.h"
#include "transfer/link_failure_report.h"

#include <QFile>
#include <QFileInfo>
#include <QTime>

#include <cstdio>

namespace vtr8 {

namespace {

QString portName(CommandProtocol& link)
{
    return link.session().devicePath().isEmpty()
               ? QStringLiteral("COM%1").arg(link.session().portIndex() + 1)
               : link.session().devicePath();
}

int commission(const CliOptions& options, UserInterface& ui, QTextStream& out,
               HistoryStore& history, const InstrumentRow* row)
{
    if (!row) {
        ui.message(QStringLiteral("Tag „%1“ v seznamu není.").arg(options.batchTag));
        return ExitEndedEarly;
    }
    if (!row->valid()) {
        for (const RowProblem& p : row->problems)
            ui.message(rowProblemText(*row, p));
        ui.message(QStringLiteral("Řádek %1 nelze uvést do provozu.").arg(row->line));
        return ExitEndedEarly;
    }
    CommandProtocol link;
    ReportLinkFailures(link, ui);
    TransferTap tap;
    link.setFrameObserver([&options, &tap](bool outgoing, const QByteArray& bytes) {
        tap.observe(outgoing, bytes);
        if (options.trace) {
            const QByteArray line =
                (QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) +
                 (outgoing ? QStringLiteral(" -> ") : QStringLiteral(" <- ")) + HexBytes(bytes))
                    .toUtf8();
            std::fprintf(stderr, "%s\n", line.constData());
            std::fflush(stderr);
        }
    });
    if (!choosePortFromOptions(options, link, ui) || !link.session().holdPort())
        return ExitEndedEarly;
    const InterruptSignals interruptions(
        [&link] { link.session().requestAbandon(InterruptedMessage()); });
    const CommissionSetup setup{link,
                                ui,
                                history,
                                tap,
                                portName(link),
                                options.protocolsDir,
                                [&out, row](const QString& step) {
                                    out << row->tag << ": " << step << '\n';
                                    out.flush();
                                }};
    const CommissionResult result = commissionRow(setup, *row);
    link.closePort();
    if (!result.protocolPath.isEmpty())
        out << row->tag << ": protokol " << result.protocolPath << '\n';
    out << row->tag << (result.completed ? ": hotovo\n" : ": nedokončeno\n");
    out.flush();
    return result.completed ? ExitDone : ExitEndedEarly;
}

} // namespace

QString BatchCommandError(const CliOptions& o)
{
    if (o.arguments.size() != 1)
        return QStringLiteral("batch needs one list file");
    const int modes =
        int(o.batchCheck) + int(o.batchStatus) + int(o.batchNext) + int(!o.batchTag.isEmpty());
    if (modes != 1)
        return QStringLiteral("batch needs one of --check, --status, --tag TAG, --next");
    if (!o.protocolsDir.isEmpty() && (o.batchCheck || o.batchStatus))
        return QStringLiteral("--protocols goes with --tag or --next");
    return {};
}

int RunBatchCommand(const CliOptions& options, UserInterface& ui, QTextStream& out)
{
    const QString& path = options.arguments.front();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui.message(QStringLiteral("Seznam „%1“ nelze přečíst: %2").arg(path, file.errorString()));
        return ExitEndedEarly;
    }
    InstrumentList list = parseInstrumentList(file.readAll());
    if (!list.error.isEmpty()) {
        ui.message(QStringLiteral("Seznam „%1“: %2").arg(path, list.error));
        return ExitEndedEarly;
    }
    checkPointFiles(list, QFileInfo(path).absolutePath());

    if (options.batchCheck) {
        int bad = 0;
        for (const InstrumentRow& row : list.rows) {
            bad += row.problems.empty() ? 0 : 1;
            for (const RowProblem& p : row.problems)
                out << rowProblemText(row, p) << '\n';
        }
        if (bad == 0)
            out << QStringLiteral("Seznam je v pořádku: řádků %1.\n").arg(list.rows.size());
        out.flush();
        return bad == 0 ? ExitDone : ExitEndedEarly;
    }

    HistoryStore history(historyPath(options.historyFile, options.noHistory),
                         [&ui](const QString& text) { ui.message(text); });
    if (!history.enabled() && (options.batchStatus || options.batchNext)) {
        ui.message(QStringLiteral("Bez historie nelze říct, které řádky jsou hotové."));
        return ExitEndedEarly;
    }
    std::vector<HistoryRecord> records;
    if ((options.batchStatus || options.batchNext) && !history.records({}, records, true))
        return ExitEndedEarly;
    const std::vector<RowStatus> statuses = batchStatus(list, records);
    if (options.batchStatus) {
        for (const RowStatus& s : statuses)
            out << rowStatusLine(s) << '\n';
        out.flush();
        return ExitDone;
    }
    if (options.batchNext) {
        const InstrumentRow* next = nextRow(statuses);
        if (!next) {
            ui.message(QStringLiteral("V seznamu už není žádný řádek k uvedení do provozu."));
            return ExitEndedEarly;
        }
        return commission(options, ui, out, history, next);
    }
    return commission(options, ui, out, history, list.row(options.batchTag));
}

} // namespace vtr8
