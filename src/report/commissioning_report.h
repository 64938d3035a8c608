#pragma once

#include "charts/plot.h"
#include "history/history_record.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace vtr8 {

// What the commissioning report shows of one transmitter.
struct CommissioningReport {
    QString note;
    int firmware = -1;
    QByteArray typeBytes;
    QString port;
    QDateTime date;
    std::vector<std::pair<QString, QString>> configuration;
    bool verified = false;
    QString verdict;
    std::optional<Plot> errorPlot;
    QString errorText; // the largest error, or why there is no chart
    QString unit;
    // Readings before the last write (as found) and after it (as left).
    std::vector<CheckReading> asFound;
    std::vector<CheckReading> asLeft;
    QDateTime asFoundTime;
    QDateTime asLeftTime;
    // The configuration read from the transmitter, as its file would hold it.
    QByteArray readConfiguration;
};

// A record of the transmitter the report is about: the same note, or no note
// (a write does not read the note) on the same port.
bool sameTransmitter(const HistoryRecord& record, const QString& note, const QString& port);

// As found: the last completed check of this transmitter before its last
// completed write; as left: the last one after it (with no write, the last
// check is as left). Records oldest first.
void takeReadings(CommissioningReport& report, const std::vector<HistoryRecord>& records);

// The report as an A4 PDF with its fonts embedded, saved whole or not at all.
// Empty on success, else a Czech message. Needs a QGuiApplication (fonts).
QString saveReportPdf(const CommissioningReport& report, const QString& path);

} // namespace vtr8
