#pragma once

#include "report/commissioning_report.h"

#include "app/main_window_actions.h"
#include "history/history_store.h"
#include "history/transfer_tap.h"

#include <QDateTime>
#include <QStringList>

#include <memory>
#include <optional>

class QTimer;
class QWidget;

namespace vtr8 {

class CommandProtocol;
class MainWindowModel;
class MessageLog;
class UserInterface;
struct EditorTransferContext;

// The window's transfers into the history: every transfer button that changes
// the transmitter or reads its configuration adds one record when it has
// ended. The record is added after the transfer, so it can neither stop nor
// slow it; a file that cannot be written is told once. Records waiting in the
// spool are delivered once the window is up and then every minute.
class WindowHistory {
public:
    WindowHistory(EditorTransferContext& ctx, MessageLog& log, UserInterface& ui);
    ~WindowHistory();

    // --history PATH or URL; empty with --no-history.
    void setPath(const QString& path);
    // What waits in the spool, delivered when the store is reachable; the person is told
    // once how many records wait when they cannot be.
    void deliverWaiting();
    static constexpr int DeliveryIntervalMs = 60000;
    HistoryStore& store() { return *store_; }

    // Puts the recording around the transfer actions.
    void wrap(MainWindowActions& actions);
    // The verdict of the transfer that runs, as the window reports it.
    void setOutcome(bool ok) { outcome_ = ok; }
    // "Kontrola": readings at these shares of the range (per cent), recorded; the
    // readings are shown in one message. True when every reading was taken.
    bool runCheck(const QList<double>& percents);
    // "Protokol": the report verifies the transmitter on the way and is recorded as that
    // verification, completed only when the transmitter holds what the editor shows. The path
    // of the report saved, or empty.
    QString saveReport();

private:
    std::function<void()> recorded(HistoryOperation operation, std::function<void()> inner);
    void finish(HistoryOperation operation, const QDateTime& started);

    EditorTransferContext& ctx_;
    MessageLog& log_;
    UserInterface& ui_;
    std::unique_ptr<HistoryStore> store_;
    std::unique_ptr<QTimer> delivery_;
    TransferTap tap_;
    std::optional<bool> outcome_;
    std::vector<CheckReading> readings_;
    // What "Kontrola" or "Protokol" read from the transmitter into their own value: recorded
    // instead of the editor's configuration, which they leave as it was.
    struct ReadValue {
        QByteArray configuration;
        QString note;
        QString unit;
    };
    std::optional<ReadValue> read_;
};

// Takes --history PATH or --no-history (an empty path) out of the program's arguments.
std::optional<QString> takeHistoryOption(QStringList& arguments);

// "Historie…" (Ctrl+H), "Protokol…" (Ctrl+P) and "Kontrola měřením…" (Ctrl+K) in the context menu
// of the main window: the window's described layout stays as it is.
void addHistoryActions(QWidget& mainWindow, std::function<void()> history,
                       std::function<void()> report, std::function<void()> check);

// "Protokol": the commissioning report of the transmitter into a PDF the person
// chooses. The path of the file saved, or empty; `verified` tells whether the transmitter
// held what the editor shows.
QString saveCommissioningReport(EditorTransferContext& ctx, HistoryStore& history,
                                UserInterface& ui, bool& verified,
                                std::optional<CommissioningReport>* assembled = nullptr);

} // namespace vtr8
