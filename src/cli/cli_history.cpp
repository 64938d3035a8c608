#include "cli/cli_history.h"

#include "cli/cli_session.h"

namespace vtr8 {

std::optional<HistoryOperation> RecordedOperation(const CliOptions& o)
{
    const QString& c = o.command;
    const auto second = [&o](const char* word) {
        return o.arguments.size() > 1 && o.arguments[1] == QLatin1String(word);
    };
    if (c == QLatin1String("write"))
        return o.verify ? HistoryOperation::WriteVerify : HistoryOperation::Write;
    if (c == QLatin1String("read"))
        return HistoryOperation::Read;
    // A saved image is no transmitter.
    if (c == QLatin1String("verify") && o.imageFile.isEmpty())
        return HistoryOperation::Verify;
    if (c == QLatin1String("backup"))
        return HistoryOperation::Backup;
    if (c == QLatin1String("note") && !o.arguments.isEmpty() &&
        o.arguments[0] == QLatin1String("write"))
        return HistoryOperation::Note;
    if (c == QLatin1String("comparator") && second("write"))
        return HistoryOperation::Comparator;
    if (c == QLatin1String("adjust"))
        return HistoryOperation::ZeroSpan;
    if (c == QLatin1String("check"))
        return HistoryOperation::Check;
    // The report verifies the transmitter on the way.
    if (c == QLatin1String("report"))
        return HistoryOperation::Verify;
    return std::nullopt;
}

CliRecorder::CliRecorder(const CliOptions& options, UserInterface& ui)
    : options_(options), operation_(RecordedOperation(options)),
      store_(operation_ ? historyPath(options.historyFile, options.noHistory) : QString(),
             [&ui](const QString& text) { ui.message(text); })
{
}

void CliRecorder::start(CliSession& session)
{
    if (!operation_ || !store_.enabled())
        return;
    started_ = QDateTime::currentDateTime();
    session.setFrameTap(
        [this](bool outgoing, const QByteArray& bytes) { tap_.observe(outgoing, bytes); });
}

void CliRecorder::finish(CliSession& session, int status, const QStringList& messages)
{
    if (!operation_ || !store_.enabled())
        return;
    session.setFrameTap({});
    HistoryRecord r;
    r.started = started_;
    r.ended = QDateTime::currentDateTime();
    r.program = QStringLiteral("vtr8ctl");
    const CommandProtocol& link = session.link();
    r.port = link.session().devicePath().isEmpty()
                 ? QStringLiteral("COM%1").arg(link.session().portIndex() + 1)
                 : link.session().devicePath();
    r.operation = *operation_;
    r.result = status == ExitDone           ? HistoryResult::Completed
               : link.session().abandoned() ? HistoryResult::Interrupted
                                            : HistoryResult::Failed;
    r.messages = messages;
    if (r.operation == HistoryOperation::Verify && r.result == HistoryResult::Failed &&
        messages.isEmpty())
        r.messages << QStringLiteral("Převodník se od souboru konfigurace liší.");
    MainWindowModel& model = session.model();
    r.note = model.EditUzPozn.text.trimmed();
    // A read that failed holds only part of a configuration; a write or a
    // verification that failed still shows what it was given.
    const bool readOnly = r.operation == HistoryOperation::Read;
    if (!model.Vstup.text.isEmpty() && (!readOnly || r.result == HistoryResult::Completed) &&
        r.operation != HistoryOperation::Backup && r.operation != HistoryOperation::Note)
        r.configuration = model.configurationFileBytes().value_or(QByteArray());
    r.firmware = tap_.firmware();
    r.typeBytes = tap_.typeBytes();
    if (tap_.anythingRead() &&
        (r.operation == HistoryOperation::Backup || r.operation == HistoryOperation::Verify ||
         r.operation == HistoryOperation::WriteVerify))
        r.memoryImage = tap_.memoryImage();
    r.blocks = tap_.blocksWritten();
    r.unit = model.Label8.caption;
    r.readings = session.checkReadings();
    store_.add(std::move(r));
}

} // namespace vtr8
