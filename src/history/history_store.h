#pragma once

#include "history/history_location.h"
#include "history/history_record.h"
#include "history/history_schema.h"
#include "history/history_spool.h"

#include <QDate>
#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace vtr8 {

struct HistoryFilter {
    QString note;               // part of the transmitter note, any case
    QString text;               // part of note, port, program, messages or configuration
    std::optional<QDate> since; // local dates, both days included
    std::optional<QDate> until;
    std::optional<HistoryOperation> operation;
    std::optional<HistoryResult> result;
};

// The records of transfers in one SQLite file or on a PostgreSQL server. Several
// programs may write the same store at once; on a file each waits for the others'
// short writes (busy timeout).
// Adding a record never fails and never throws: a record that cannot be written is
// kept in the spool (or, when even that fails, in memory) and delivered with the next
// one or by the next program, and the person is told once per store. A file that is
// not a database, or damaged inside, is moved aside, with a message, and a new one
// started.
class HistoryStore {
public:
    using Notify = std::function<void(const QString&)>;

    // An empty location keeps no history at all. A server is never waited for longer
    // than ConnectTimeoutS; after a failed connection the next attempt comes only
    // after RetryAfterMs, records meanwhile going straight to the spool.
    HistoryStore(QString location, Notify notify, QString spoolPath = defaultSpoolPath());
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    bool enabled() const { return !path_.isEmpty(); }
    // Another file or server from now on ("Databáze" of the history window); the records
    // still waiting go with it.
    void relocate(const QString& location);
    // The file, or the server's address without a password.
    QString path() const { return location_.display(); }
    bool onServer() const { return location_.server; }

    // Fills in who, where and the identity when the record has none.
    void add(HistoryRecord record);
    // Records not yet in the store: in memory and in the spool.
    int pendingCount();
    // Delivers what waits in the spool when the store is reachable (the window asks every
    // minute); the number delivered.
    int deliverWaiting();
    // Says once how many records wait when any do.
    void tellWaiting();

    // Merges another station's SQLite file: every record this store does not have yet.
    // False, with the reason told, when either cannot be read.
    struct ImportResult {
        int added = 0;
        int known = 0;
    };
    [[nodiscard]] bool import(const QString& file, ImportResult& result);

    // Oldest first. Without details the configuration, image and blocks stay unread.
    // False, with the reason told, when the file cannot be read.
    [[nodiscard]] bool records(const HistoryFilter& filter, std::vector<HistoryRecord>& out,
                               bool withDetails = false);
    [[nodiscard]] std::optional<HistoryRecord> record(qint64 id);

    // Milliseconds another writer may hold the file before a write gives up.
    static constexpr int BusyTimeoutMs = 5000;
    static constexpr int SchemaVersion = 3;
    static constexpr int ConnectTimeoutS = 3;
    static constexpr int RetryAfterMs = 60000;

private:
    bool open();
    bool openOnce(QString& error, bool& damaged);
    bool moveAside();
    void close();
    bool flush();
    bool readRecords(const HistoryFilter& filter, std::vector<HistoryRecord>& out,
                     bool withDetails);
    void spoolPending(const QString& error);
    void tellOnce(const QString& text);

    QString path_;
    HistoryLocation location_;
    HistoryDialect dialect_;
    Notify notify_;
    HistorySpool spool_;
    QString connection_;
    QString lastError_;
    bool opened_ = false;
    bool told_ = false;
    bool toldWaiting_ = false;
    qint64 failedAt_ = -1; // msecs since epoch of the last failed connection to a server
    std::deque<HistoryRecord> pending_;
};

// The store: --history PATH or URL, else VTR8_HISTORY, else the history window's
// "Databáze", else history.sqlite in the user's data folder. Empty with --no-history.
QString historyPath(const QString& option, bool disabled);

} // namespace vtr8
