#include "batch/batch_status.h"

#include "configuration/configuration_file.h"

namespace vtr8 {

namespace {

QString whyOf(const HistoryRecord& r)
{
    return r.messages.isEmpty() ? resultText(r.result) : r.messages.join(QStringLiteral(" "));
}

// The same configuration whatever the decimal separator of the computer that recorded it: both
// files are read and written again here.
bool sameConfiguration(const QByteArray& recorded, const QByteArray& row)
{
    if (recorded == row)
        return true;
    const std::optional<Configuration> a = parseConfigurationFile(recorded);
    const std::optional<Configuration> b = parseConfigurationFile(row);
    return a && b && writeConfigurationFile(*a).bytes == writeConfigurationFile(*b).bytes;
}

RowStatus statusOf(const InstrumentRow& row, const std::vector<HistoryRecord>& records)
{
    RowStatus s{&row, RowState::Pending, {}, {}};
    if (!row.valid()) {
        s.state = RowState::Invalid;
        QStringList problems;
        for (const RowProblem& p : row.problems)
            problems << (p.column.isEmpty() ? p.message
                                            : QStringLiteral("„%1“: %2").arg(p.column, p.message));
        s.why = problems.join(QStringLiteral("; "));
        return s;
    }
    const auto mine = [&row](const HistoryRecord& r, HistoryOperation operation) {
        return r.note == row.tag && r.operation == operation;
    };
    std::size_t write = records.size();
    for (std::size_t i = records.size(); i-- > 0;)
        if (mine(records[i], HistoryOperation::WriteVerify)) {
            write = i;
            break;
        }
    if (write == records.size())
        return s;
    const HistoryRecord& w = records[write];
    if (w.result != HistoryResult::Completed) {
        s.state = RowState::Failed;
        s.time = w.ended;
        s.why = whyOf(w);
        return s;
    }
    if (!sameConfiguration(w.configuration, row.configurationFile)) {
        s.why = QStringLiteral("zapsaný %1 s jinou konfigurací, než má seznam")
                    .arg(w.ended.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        return s;
    }
    s.state = RowState::Done;
    s.time = w.ended;
    if (row.check.isEmpty())
        return s;
    const HistoryRecord* check = nullptr;
    for (std::size_t i = write + 1; i < records.size(); ++i)
        if (mine(records[i], HistoryOperation::Check))
            check = &records[i];
    if (!check) {
        s.state = RowState::Failed;
        s.why = QStringLiteral("Kontrola měřením neproběhla.");
    } else if (check->result != HistoryResult::Completed) {
        s.state = RowState::Failed;
        s.time = check->ended;
        s.why = whyOf(*check);
    } else {
        s.time = check->ended;
    }
    return s;
}

} // namespace

std::vector<RowStatus> batchStatus(const InstrumentList& list,
                                   const std::vector<HistoryRecord>& records)
{
    std::vector<RowStatus> out;
    for (const InstrumentRow& row : list.rows)
        out.push_back(statusOf(row, records));
    return out;
}

const InstrumentRow* nextRow(const std::vector<RowStatus>& statuses)
{
    for (const RowStatus& s : statuses)
        if (s.state == RowState::Pending || s.state == RowState::Failed)
            return s.row;
    return nullptr;
}

QString rowStatusLine(const RowStatus& s)
{
    const QString tag =
        s.row->tag.isEmpty() ? QStringLiteral("(řádek %1)").arg(s.row->line) : s.row->tag;
    QString state;
    QString detail = s.why;
    switch (s.state) {
    case RowState::Done:
        state = QStringLiteral("hotovo");
        detail = s.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        break;
    case RowState::Failed:
        state = QStringLiteral("selhalo");
        break;
    case RowState::Pending:
        state = QStringLiteral("čeká");
        break;
    case RowState::Invalid:
        state = QStringLiteral("neplatný");
        break;
    }
    detail.replace(QLatin1Char('\n'), QLatin1Char(' '));
    detail.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return detail.isEmpty() ? tag + QLatin1Char('\t') + state
                            : tag + QLatin1Char('\t') + state + QLatin1Char('\t') + detail;
}

} // namespace vtr8
