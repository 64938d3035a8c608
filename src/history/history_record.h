#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vtr8 {

// What a record remembers the program did with a transmitter.
enum class HistoryOperation {
    Write,
    WriteVerify, // a write that read every block back
    Read,
    Verify,
    Backup,
    Note,
    Comparator,
    ZeroSpan,
    Check // readings at reference inputs
};

enum class HistoryResult { Completed, Failed, Interrupted };

// One reading of a check at a reference input, in the unit of the range.
struct CheckReading {
    double reference = 0;
    double value = 0;
    // value - reference, and that as a share of the span in per cent.
    double deviation = 0;
    double spanPercent = 0;
};

struct HistoryRecord {
    qint64 id = 0; // given by the store
    QDateTime started;
    QDateTime ended;
    QString program;      // "vtr8" or "vtr8ctl"
    QString operatorName; // who: the name entered in the window, else the system user
    QString computer;     // where: the computer's host name
    // The record's identity in every store it reaches: a late delivery or a merge
    // never doubles it. Given by the store when empty.
    QString uid;
    QString port;
    // Identity as the transfer found it; -1 and empty when it never got that far.
    int firmware = -1;
    QByteArray typeBytes;
    QString note;
    HistoryOperation operation = HistoryOperation::Read;
    HistoryResult result = HistoryResult::Completed;
    QStringList messages;
    // The configuration file's bytes (code page 1250, CR LF), exactly as saved.
    QByteArray configuration;
    // The memory as read (backup, verify, read-back); empty otherwise.
    QByteArray memoryImage;
    // A write's blocks, one "address: bytes" line each.
    QStringList blocks;
    QString unit; // of the readings
    std::vector<CheckReading> readings;
};

// Stable keys in the file and in CSV; Czech texts on screen.
QString operationKey(HistoryOperation operation);
std::optional<HistoryOperation> operationFromKey(const QString& key);
QString operationText(HistoryOperation operation);
QString resultKey(HistoryResult result);
std::optional<HistoryResult> resultFromKey(const QString& key);
QString resultText(HistoryResult result);

inline constexpr HistoryOperation AllOperations[] = {
    HistoryOperation::Write,      HistoryOperation::WriteVerify, HistoryOperation::Read,
    HistoryOperation::Verify,     HistoryOperation::Backup,      HistoryOperation::Note,
    HistoryOperation::Comparator, HistoryOperation::ZeroSpan,    HistoryOperation::Check};
inline constexpr HistoryResult AllResults[] = {HistoryResult::Completed, HistoryResult::Failed,
                                               HistoryResult::Interrupted};

// The configuration text for reading: decoded, with plain line ends.
QString configurationText(const QByteArray& configuration);

} // namespace vtr8
