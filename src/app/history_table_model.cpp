#include "app/history_table_model.h"

#include "history/record_text.h"
#include "transfer/note_codec.h"

#include <QBrush>

namespace vtr8 {

void HistoryTableModel::setRecords(std::vector<HistoryRecord> records)
{
    beginResetModel();
    records_ = std::move(records);
    endResetModel();
}

int HistoryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(records_.size());
}

int HistoryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const HistoryRecord& r = record(index.row());
    if (role == Qt::ForegroundRole && index.column() == Result &&
        r.result != HistoryResult::Completed)
        return QBrush(Qt::darkRed);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Date:
        return recordTime(r.started);
    case Note:
        return visibleControlCharacters(r.note);
    case Operation:
        return operationText(r.operation);
    case Result:
        return resultText(r.result);
    case Port:
        return r.port;
    case Operator:
        return r.operatorName;
    case Computer:
        return r.computer;
    default:
        return {};
    }
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const titles[] = {"Datum", "Poznámka", "Operace", "Výsledek",
                                         "Port",  "Obsluha",  "Počítač"};
    if (section < 0 || section >= ColumnCount)
        return {};
    return QString::fromUtf8(titles[section]);
}

} // namespace vtr8
