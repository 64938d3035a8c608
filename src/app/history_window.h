#pragma once

#include "app/history_table_model.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableView;

namespace vtr8 {

class HistoryStore;
class MainWindowModel;
class UserInterface;

// "Historie": the recorded transfers, filtered by text, dates, operation and
// result; the chosen record with its messages and configuration; two records
// of one transmitter compared field by field; a record's configuration back
// into the editor. The shown records go to CSV or a PDF list; another station's
// file merges in; "Databáze" chooses the file or server and "Obsluha" the name
// every record of this computer carries.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    HistoryWindow(HistoryStore& store, MainWindowModel& editor, UserInterface& ui,
                  QWidget* parent = nullptr);

    // Reads the records again with the filters shown.
    void refresh();
    // Selects the rows (for the buttons; tests use it too).
    void selectRows(const QList<int>& rows);
    void NacistClick();
    void PorovnatClick();
    void ExportCsvClick();
    void TiskPdfClick();
    void SloucitClick();
    // Uses the address or file typed in "Databáze" from now on and keeps it in the settings.
    void PouzitDatabaziClick();

    HistoryTableModel& tableModel() { return table_; }
    QString shownText() const;

    // After "Načíst do editoru": the main window comes forward.
    std::function<void()> raiseEditor;

private:
    void showSelection();
    QList<int> selectedRows() const;

    HistoryStore& store_;
    MainWindowModel& editor_;
    UserInterface& ui_;
    HistoryTableModel table_;
    QLineEdit* text_;
    QCheckBox* sinceOn_;
    QDateEdit* since_;
    QCheckBox* untilOn_;
    QDateEdit* until_;
    QComboBox* operation_;
    QComboBox* result_;
    QTableView* view_;
    QPlainTextEdit* detail_;
    QLineEdit* location_;
    QLineEdit* operator_;
    QLabel* where_;
};

} // namespace vtr8
