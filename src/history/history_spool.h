#pragma once

#include "history/history_record.h"

#include <QString>

#include <deque>
#include <functional>

namespace vtr8 {

// Records that could not reach their store, kept in a local SQLite file until they can:
// one file per user, each record with the store it is meant for. A record leaves the
// spool only after its store took it; the store skips a record it already has (the same
// uid), so two programs delivering at once, or a delivery cut short, double nothing.
class HistorySpool {
public:
    explicit HistorySpool(QString path);
    ~HistorySpool();
    HistorySpool(const HistorySpool&) = delete;
    HistorySpool& operator=(const HistorySpool&) = delete;

    const QString& path() const { return path_; }

    // Keeps the records, oldest first; false with `error` when the file cannot take them.
    [[nodiscard]] bool keep(const QString& destination, const std::deque<HistoryRecord>& records,
                            QString& error);
    // Records waiting for `destination`; 0 when the file cannot be read.
    int count(const QString& destination);
    // Hands the records waiting for `destination` to `deliverOne`, oldest first, until it
    // returns false; every record it took leaves the spool. The number delivered. Another
    // program delivering from the same file waits for this one.
    int deliver(const QString& destination,
                const std::function<bool(const HistoryRecord&)>& deliverOne);

private:
    bool open(QString& error);
    void close();

    QString path_;
    QString connection_;
    bool opened_ = false;
};

// history-spool.sqlite in the folder of the user's own history file.
QString defaultSpoolPath();

// A record as one text and back, every field kept.
QString recordToJson(const HistoryRecord& record);
HistoryRecord recordFromJson(const QString& text);

} // namespace vtr8
