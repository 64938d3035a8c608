#pragma once

#include "history/history_record.h"

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

// The records of transfers in one SQLite file. Several programs may write the
// same file at once; each waits for the others' short writes (busy timeout).
// Adding a record never fails and never throws: a record that cannot be
// written stays in memory and is written with the next one, and the person is
// told once per store. A file that is not a database is moved aside, with a
// message, and a new one started.
class HistoryStore {
public:
    using Notify = std::function<void(const QString&)>;

    // An empty path keeps no history at all.
    HistoryStore(QString path, Notify notify);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    bool enabled() const { return !path_.isEmpty(); }
    const QString& path() const { return path_; }

    void add(HistoryRecord record);
    // Records not yet in the file.
    int pendingCount() const { return static_cast<int>(pending_.size()); }

    // Oldest first. Without details the configuration, image and blocks stay unread.
    // False, with the reason told, when the file cannot be read.
    [[nodiscard]] bool records(const HistoryFilter& filter, std::vector<HistoryRecord>& out,
                               bool withDetails = false);
    [[nodiscard]] std::optional<HistoryRecord> record(qint64 id);

    // Milliseconds another writer may hold the file before a write gives up.
    static constexpr int BusyTimeoutMs = 5000;
    static constexpr int SchemaVersion = 2;

private:
    bool open();
    void close();
    bool flush();
    void tellOnce(const QString& text);
    void tellUnwritable(const QString& error);

    QString path_;
    Notify notify_;
    QString connection_;
    bool opened_ = false;
    bool told_ = false;
    std::deque<HistoryRecord> pending_;
};

// The file: --history PATH, else VTR8_HISTORY, else history.sqlite in the user's data folder.
// Empty with --no-history.
QString historyPath(const QString& option, bool disabled);

} // namespace vtr8
