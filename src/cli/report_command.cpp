// vtr8ctl report FILE.pdf: the commissioning report of the transmitter on the port.
#include "cli/cli_session.h"

#include "history/history_store.h"
#include "report/report_assembly.h"

namespace vtr8 {

int CliSession::report()
{
    HistoryStore store(historyPath(options_.historyFile, options_.noHistory),
                       [this](const QString& text) { ui_.message(text); });
    const QString port = link_.session().devicePath().isEmpty()
                             ? QStringLiteral("COM%1").arg(link_.session().portIndex() + 1)
                             : link_.session().devicePath();
    const std::optional<CommissioningReport> r = assembleReport(ctx_, store, port);
    if (!r)
        return ExitEndedEarly;
    showRead(r->readConfiguration, r->note);
    if (const QString error = saveReportPdf(*r, options_.arguments[0]); !error.isEmpty()) {
        ui_.message(error);
        return ExitEndedEarly;
    }
    out_ << QStringLiteral("Protokol uložen: ") << options_.arguments[0] << '\n'
         << (r->verified ? QStringLiteral("Ověření: vyhovuje\n")
                         : QStringLiteral("Ověření: nevyhovuje\n"));
    out_.flush();
    return r->verified ? ExitDone : ExitEndedEarly;
}

} // namespace vtr8
