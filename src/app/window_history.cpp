#include "app/window_history.h"

#include "app/message_log.h"
#include "link/command_protocol.h"
#include "model/editor_transfer_context.h"
#include "model/main_window_model.h"
#include "report/reference_check.h"
#include "report/report_assembly.h"

#include <QAction>
#include <QTimer>

#include <QWidget>
#include <tuple>

namespace vtr8 {

WindowHistory::WindowHistory(EditorTransferContext& ctx, MessageLog& log, UserInterface& ui)
    : ctx_(ctx), log_(log), ui_(ui)
{
    delivery_ = std::make_unique<QTimer>();
    delivery_->setInterval(DeliveryIntervalMs);
    QObject::connect(delivery_.get(), &QTimer::timeout, [this] { deliverWaiting(); });
    delivery_->start();
    setPath(historyPath({}, false));
    ctx_.link.setFrameObserver(
        [this](bool outgoing, const QByteArray& bytes) { tap_.observe(outgoing, bytes); });
}

WindowHistory::~WindowHistory() = default;

void WindowHistory::setPath(const QString& path)
{
    store_ =
        std::make_unique<HistoryStore>(path, [this](const QString& text) { ui_.message(text); });
    // Once the window is up, so that a message has a window to stand on.
    QTimer::singleShot(0, delivery_.get(), [this] { deliverWaiting(); });
}

void WindowHistory::deliverWaiting()
{
    // Never in the middle of a transfer: a server's connect time-out would hold its events.
    if (ctx_.link.session().active())
        return;
    store_->deliverWaiting();
    store_->tellWaiting();
}

void WindowHistory::wrap(MainWindowActions& a)
{
    using O = HistoryOperation;
    a.PoslatClick = recorded(O::Write, a.PoslatClick);
    a.PrecistClick = recorded(O::Read, a.PrecistClick);
    a.Ulozkomp1Click = recorded(O::Comparator, a.Ulozkomp1Click);
    a.Ulozkomp2Click = recorded(O::Comparator, a.Ulozkomp2Click);
    a.Uloz_PoznClick = recorded(O::Note, a.Uloz_PoznClick);
    a.S_DolmezClick = recorded(O::ZeroSpan, a.S_DolmezClick);
    a.S_HormezClick = recorded(O::ZeroSpan, a.S_HormezClick);
}

std::function<void()> WindowHistory::recorded(HistoryOperation operation,
                                              std::function<void()> inner)
{
    if (!inner)
        return inner;
    return [this, operation, inner] {
        // A click while another transfer runs is refused by the link and recorded by nobody.
        if (ctx_.link.session().active()) {
            inner();
            return;
        }
        const HistoryOperation recorded =
            operation == HistoryOperation::Write && ctx_.readBackWrites
                ? HistoryOperation::WriteVerify
                : operation;
        const QDateTime started = QDateTime::currentDateTime();
        tap_.clear();
        log_.shown.clear();
        outcome_.reset();
        read_.reset();
        inner();
        finish(recorded, started);
    };
}

bool WindowHistory::runCheck(const QList<double>& percents)
{
    std::optional<ReferenceCheck> check;
    recorded(HistoryOperation::Check, [this, &check, &percents] {
        check = runReferenceCheck(ctx_, percents);
        setOutcome(check && check->completed);
        if (check) {
            readings_ = check->readings;
            read_ = ReadValue{check->configuration, check->note, check->unit};
        }
    })();
    if (check && !check->readings.empty()) {
        QStringList lines;
        for (const CheckReading& r : check->readings)
            lines << checkReadingText(r, check->unit);
        ui_.message(lines.join(QLatin1Char('\n')));
    }
    return check && check->completed;
}

QString WindowHistory::saveReport()
{
    QString saved;
    recorded(HistoryOperation::Verify, [this, &saved] {
        bool verified = false;
        std::optional<CommissioningReport> report;
        saved = saveCommissioningReport(ctx_, *store_, ui_, verified, &report);
        if (report)
            read_ = ReadValue{report->readConfiguration, report->note, report->unit};
        setOutcome(!saved.isEmpty() && verified);
    })();
    return saved;
}

void WindowHistory::finish(HistoryOperation operation, const QDateTime& started)
{
    if (!store_->enabled())
        return;
    // The person answered No to the question and was told nothing: no transfer took place.
    const bool ok = outcome_.value_or(false);
    if (!ok && !ctx_.link.session().abandoned() && log_.shown.isEmpty() &&
        tap_.blocksWritten().isEmpty())
        return;
    HistoryRecord r;
    r.started = started;
    r.ended = QDateTime::currentDateTime();
    r.program = QStringLiteral("vtr8");
    CommandProtocol& link = ctx_.link;
    r.port = link.session().devicePath().isEmpty()
                 ? QStringLiteral("COM%1").arg(link.session().portIndex() + 1)
                 : link.session().devicePath();
    r.operation = operation;
    r.result = ok                           ? HistoryResult::Completed
               : link.session().abandoned() ? HistoryResult::Interrupted
                                            : HistoryResult::Failed;
    r.messages = log_.shown;
    log_.shown.clear();
    MainWindowModel& model = ctx_.model;
    // A unit without a configuration is read into nothing: the editor still shows the previous
    // configuration and note, which are not this transmitter's.
    const bool blankRead = operation == HistoryOperation::Read &&
                           r.result == HistoryResult::Completed && !ctx_.state.ValidConfiguration;
    if (!blankRead)
        r.note = model.EditUzPozn.text.trimmed();
    const bool partRead =
        operation == HistoryOperation::Read && r.result != HistoryResult::Completed;
    if (!model.Vstup.text.isEmpty() && !partRead && !blankRead &&
        operation != HistoryOperation::Note)
        r.configuration = model.configurationFileBytes().value_or(QByteArray());
    r.unit = model.Label8.caption;
    if (read_) {
        r.configuration = read_->configuration;
        r.note = read_->note;
        r.unit = read_->unit;
        read_.reset();
    }
    r.firmware = tap_.firmware();
    r.typeBytes = tap_.typeBytes();
    if (operation == HistoryOperation::WriteVerify && tap_.anythingRead())
        r.memoryImage = tap_.memoryImage();
    r.blocks = tap_.blocksWritten();
    r.readings = std::move(readings_);
    readings_.clear();
    store_->add(std::move(r));
}

void addHistoryActions(QWidget& mainWindow, std::function<void()> history,
                       std::function<void()> report, std::function<void()> check)
{
    for (auto& [name, caption, keys, slot] :
         {std::tuple{"Historie", "Historie…", "Ctrl+H", std::move(history)},
          std::tuple{"Protokol", "Protokol…", "Ctrl+P", std::move(report)},
          std::tuple{"Kontrola", "Kontrola měřením…", "Ctrl+K", std::move(check)}}) {
        auto* action = new QAction(QString::fromUtf8(caption), &mainWindow);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        QObject::connect(action, &QAction::triggered, &mainWindow, slot);
        mainWindow.addAction(action);
    }
    mainWindow.setContextMenuPolicy(Qt::ActionsContextMenu);
}

QString saveCommissioningReport(EditorTransferContext& ctx, HistoryStore& history,
                                UserInterface& ui, bool& verified,
                                std::optional<CommissioningReport>* assembled)
{
    verified = false;
    const QString path = ui.chooseSaveFile(QStringLiteral("Uložit protokol"), QString(),
                                           QStringLiteral("Protokol PDF|*.pdf"));
    if (path.isEmpty())
        return {};
    CommandProtocol& link = ctx.link;
    const QString port = link.session().devicePath().isEmpty()
                             ? QStringLiteral("COM%1").arg(link.session().portIndex() + 1)
                             : link.session().devicePath();
    const std::optional<CommissioningReport> report = assembleReport(ctx, history, port);
    if (assembled)
        *assembled = report;
    if (!report)
        return {};
    if (const QString error = saveReportPdf(*report, path); !error.isEmpty()) {
        ui.message(error);
        return {};
    }
    verified = report->verified;
    return path;
}

std::optional<QString> takeHistoryOption(QStringList& arguments)
{
    std::optional<QString> path;
    for (qsizetype i = 0; i < arguments.size();) {
        if (arguments[i] == QLatin1String("--no-history")) {
            path = QString();
            arguments.removeAt(i);
        } else if (arguments[i] == QLatin1String("--history") && i + 1 < arguments.size()) {
            path = arguments[i + 1];
            arguments.remove(i, 2);
        } else {
            ++i;
        }
    }
    return path;
}

} // namespace vtr8
