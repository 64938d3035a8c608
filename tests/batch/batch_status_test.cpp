#include "batch/batch_status.h"

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

const QByteArray List =
    QStringLiteral("tag;vstup;dolní mez;horní mez;linearizace;tlumení;chybový proud;"
                   "připojení čidla;kontrola\n"
                   "A;reostat;0;100;nelinearizováno;0.5;nadproud;dvouvodičově;\n"
                   "B;reostat;0;200;nelinearizováno;1;nadproud;dvouvodičově;0 100\n"
                   "C;reostat;0;300;nelinearizováno;1;nadproud;dvouvodičově;\n"
                   "D;reostat;0;1;nelinearizováno;1;nadproud;dvouvodičově;\n")
        .toUtf8();

HistoryRecord record(const InstrumentRow& row, HistoryOperation operation, HistoryResult result,
                     int minute, const char* message = nullptr)
{
    HistoryRecord r;
    r.note = row.tag;
    r.operation = operation;
    r.result = result;
    r.ended = QDateTime(QDate(2026, 12, 8), QTime(10, minute));
    r.configuration = row.configurationFile;
    if (message)
        r.messages << QString::fromUtf8(message);
    return r;
}

// Each row's state comes from the last commissioning under its tag: a failure is told with its
// messages, a later success overrides it; a row whose configuration changed since its write is
// pending again; a row with check points is done only with a completed check after the write.
TEST(BatchStatus, StatesFromTheHistory)
{
    const InstrumentList list = parseInstrumentList(List);
    ASSERT_EQ(list.rows.size(), 4u);
    const InstrumentRow &a = list.rows[0], &b = list.rows[1], &c = list.rows[2];
    using O = HistoryOperation;
    using R = HistoryResult;
    HistoryRecord changed = record(c, O::WriteVerify, R::Completed, 5);
    changed.configuration = a.configurationFile;
    HistoryRecord foreign = record(a, O::WriteVerify, R::Completed, 1);
    foreign.note = QStringLiteral("A-old");
    // Recorded on a computer with the other decimal separator.
    HistoryRecord otherSeparator = record(a, O::WriteVerify, R::Completed, 3);
    QByteArray& bytes = otherSeparator.configuration;
    bytes = bytes.contains("0.5s") ? bytes.replace("0.5s", "0,5s") : bytes.replace("0,5s", "0.5s");
    ASSERT_NE(otherSeparator.configuration, a.configurationFile);
    std::vector<HistoryRecord> records = {
        record(a, O::WriteVerify, R::Failed, 1, "Chyba komunikace"),
        foreign,
        record(b, O::WriteVerify, R::Completed, 2),
        otherSeparator,
        changed,
    };

    const auto lines = [&list](const std::vector<HistoryRecord>& history) {
        QStringList out;
        for (const RowStatus& s : batchStatus(list, history))
            out << rowStatusLine(s);
        return out;
    };
    EXPECT_EQ(
        lines(records),
        (QStringList{"A\thotovo\t2026-12-08 10:03:00", "B\tselhalo\tKontrola měřením neproběhla.",
                     "C\tčeká\tzapsaný 2026-12-08 10:05:00 s jinou konfigurací, než má "
                     "seznam",
                     "D\tneplatný\t„dolní mez“: Povolené minimální rozpětí je 20.000 Ohm"}));
    EXPECT_EQ(nextRow(batchStatus(list, records)), &b);

    records.push_back(record(b, O::Check, R::Failed, 6, "Chyba komunikace"));
    EXPECT_EQ(lines(records)[1], QStringLiteral("B\tselhalo\tChyba komunikace"));
    records.push_back(record(b, O::Check, R::Completed, 7));
    records.push_back(record(c, O::WriteVerify, R::Completed, 8));
    EXPECT_EQ(lines(records)[1], QStringLiteral("B\thotovo\t2026-12-08 10:07:00"));
    EXPECT_EQ(nextRow(batchStatus(list, records)), nullptr);
    EXPECT_EQ(nextRow(batchStatus(list, {})), &a);
}

} // namespace
} // namespace vtr8
