#pragma once

#include "history/history_record.h"

#include <QAbstractTableModel>

#include <vector>

namespace vtr8 {

// The records of the history window, one row each: date, transmitter note,
// operation, result, port, who and on which computer.
class HistoryTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Date, Note, Operation, Result, Port, Operator, Computer, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setRecords(std::vector<HistoryRecord> records);
    const HistoryRecord& record(int row) const { return records_.at(static_cast<size_t>(row)); }
    const std::vector<HistoryRecord>& records() const { return records_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<HistoryRecord> records_;
};

} // namespace vtr8
