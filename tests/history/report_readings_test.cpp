#include "report/commissioning_report.h"

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

HistoryRecord rec(HistoryOperation op, const char* note, double value,
                  HistoryResult result = HistoryResult::Completed)
{
    HistoryRecord r;
    r.operation = op;
    r.result = result;
    r.note = QString::fromUtf8(note);
    r.port = QStringLiteral("COM1");
    if (op == HistoryOperation::Check)
        r.readings = {{0, value, value, value}};
    return r;
}

TEST(ReportReadings, AsFoundBeforeTheLastWriteAsLeftAfterIt)
{
    using O = HistoryOperation;
    struct Case {
        const char* name;
        std::vector<HistoryRecord> records;
        std::vector<double> found, left;
    };
    const Case cases[] = {
        {"before and after a write (the write knows no note)",
         {rec(O::Check, "K", 1), rec(O::Check, "K", 2), rec(O::Check, "other", 9),
          rec(O::Write, "", 0), rec(O::Check, "K", 3),
          rec(O::Check, "K", 4, HistoryResult::Failed)},
         {2},
         {3}},
        {"no write: the last check is as left",
         {rec(O::Check, "K", 1), rec(O::Check, "K", 5)},
         {},
         {5}},
        {"a failed write does not count",
         {rec(O::Check, "K", 1), rec(O::Write, "K", 0, HistoryResult::Failed)},
         {},
         {1}},
        {"a write of another transmitter does not count",
         {rec(O::Check, "K", 1), rec(O::WriteVerify, "other", 0)},
         {},
         {1}},
    };
    for (const Case& c : cases) {
        CommissioningReport report;
        report.note = QStringLiteral("K");
        report.port = QStringLiteral("COM1");
        takeReadings(report, c.records);
        std::vector<double> found, left;
        for (const CheckReading& r : report.asFound)
            found.push_back(r.value);
        for (const CheckReading& r : report.asLeft)
            left.push_back(r.value);
        EXPECT_EQ(found, c.found) << c.name;
        EXPECT_EQ(left, c.left) << c.name;
    }
}

} // namespace
} // namespace vtr8
