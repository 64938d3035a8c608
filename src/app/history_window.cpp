#include "app/history_window.h"

#include "app/history_window_print.h"
#include "history/history_csv.h"
#include "history/history_identity.h"
#include "history/history_store.h"
#include "history/record_text.h"
#include "model/file_io.h"
#include "model/main_window_model.h"
#include "user_interface/user_interface.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace vtr8 {
namespace {

QPushButton* button(QWidget* parent, const QString& name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

HistoryWindow::HistoryWindow(HistoryStore& store, MainWindowModel& editor, UserInterface& ui,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), store_(store), editor_(editor), ui_(ui), table_(this)
{
    setObjectName(QStringLiteral("Historie"));
    setWindowTitle(QStringLiteral("Historie převodů"));
    resize(820, 560);

    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("HledatText"));
    text_->setPlaceholderText(QStringLiteral("Hledat v poznámce, portu a zprávách"));
    text_->setClearButtonEnabled(true);
    const QDate today = QDate::currentDate();
    sinceOn_ = new QCheckBox(QStringLiteral("od"), this);
    sinceOn_->setObjectName(QStringLiteral("OdZapnuto"));
    since_ = new QDateEdit(today.addMonths(-1), this);
    since_->setObjectName(QStringLiteral("Od"));
    untilOn_ = new QCheckBox(QStringLiteral("do"), this);
    untilOn_->setObjectName(QStringLiteral("DoZapnuto"));
    until_ = new QDateEdit(today, this);
    until_->setObjectName(QStringLiteral("Do"));
    for (QDateEdit* d : {since_, until_}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("d. M. yyyy"));
    }
    operation_ = new QComboBox(this);
    operation_->setObjectName(QStringLiteral("Operace"));
    operation_->addItem(QStringLiteral("všechny operace"));
    for (HistoryOperation o : AllOperations)
        operation_->addItem(operationText(o), static_cast<int>(o));
    result_ = new QComboBox(this);
    result_->setObjectName(QStringLiteral("Vysledek"));
    result_->addItem(QStringLiteral("všechny výsledky"));
    for (HistoryResult r : AllResults)
        result_->addItem(resultText(r), static_cast<int>(r));

    auto* filters = new QHBoxLayout;
    filters->addWidget(text_, 1);
    filters->addWidget(sinceOn_);
    filters->addWidget(since_);
    filters->addWidget(untilOn_);
    filters->addWidget(until_);
    filters->addWidget(operation_);
    filters->addWidget(result_);

    view_ = new QTableView(this);
    view_->setObjectName(QStringLiteral("Zaznamy"));
    view_->setModel(&table_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->setColumnWidth(HistoryTableModel::Date, 140);
    view_->setColumnWidth(HistoryTableModel::Note, 190);
    view_->setColumnWidth(HistoryTableModel::Operation, 140);
    detail_ = new QPlainTextEdit(this);
    detail_->setObjectName(QStringLiteral("Zaznam"));
    detail_->setReadOnly(true);
    detail_->setPlaceholderText(QStringLiteral(
        "Vyberte záznam; dva záznamy jednoho převodníku se porovnají pole po poli."));
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(view_);
    split->addWidget(detail_);
    split->setSizes({300, 220});

    location_ = new QLineEdit(store_.path(), this);
    location_->setObjectName(QStringLiteral("Databaze"));
    location_->setPlaceholderText(
        QStringLiteral("soubor, nebo postgresql://uživatel@server:5432/databáze"));
    location_->setToolTip(QStringLiteral(
        "Heslo k serveru se sem nepíše: program ho vezme z proměnné PGPASSWORD nebo ze "
        "souboru hesel PostgreSQL (pgpass.conf)."));
    auto* use = button(this, QStringLiteral("PouzitDatabazi"), QStringLiteral("Použít"));
    operator_ = new QLineEdit(historyOperator(), this);
    operator_->setObjectName(QStringLiteral("Obsluha"));
    auto* setup = new QHBoxLayout;
    setup->addWidget(new QLabel(QStringLiteral("Databáze:"), this));
    setup->addWidget(location_, 1);
    setup->addWidget(use);
    setup->addWidget(new QLabel(QStringLiteral("Obsluha:"), this));
    setup->addWidget(operator_);

    auto* load =
        button(this, QStringLiteral("NacistDoEditoru"), QStringLiteral("Načíst do editoru"));
    auto* exportCsv = button(this, QStringLiteral("ExportCsv"), QStringLiteral("Export CSV…"));
    auto* print = button(this, QStringLiteral("TiskPdf"), QStringLiteral("Tisk do PDF…"));
    auto* merge = button(this, QStringLiteral("Sloucit"), QStringLiteral("Sloučit historii…"));
    auto* compare = button(this, QStringLiteral("Porovnat"), QStringLiteral("Porovnat vybrané"));
    auto* reload = button(this, QStringLiteral("Obnovit"), QStringLiteral("Obnovit"));
    auto* close = button(this, QStringLiteral("Zavrit"), QStringLiteral("Zavřít"));
    auto* buttons = new QHBoxLayout;
    where_ = new QLabel(this);
    buttons->addWidget(where_, 1);
    buttons->addWidget(exportCsv);
    buttons->addWidget(print);
    buttons->addWidget(merge);
    buttons->addWidget(load);
    buttons->addWidget(compare);
    buttons->addWidget(reload);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(setup);
    layout->addLayout(filters);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    connect(text_, &QLineEdit::textChanged, this, &HistoryWindow::refresh);
    for (QCheckBox* c : {sinceOn_, untilOn_})
        connect(c, &QCheckBox::toggled, this, &HistoryWindow::refresh);
    for (QDateEdit* d : {since_, until_})
        connect(d, &QDateEdit::dateChanged, this, &HistoryWindow::refresh);
    for (QComboBox* c : {operation_, result_})
        connect(c, &QComboBox::currentIndexChanged, this, &HistoryWindow::refresh);
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &HistoryWindow::showSelection);
    connect(load, &QPushButton::clicked, this, &HistoryWindow::NacistClick);
    connect(exportCsv, &QPushButton::clicked, this, &HistoryWindow::ExportCsvClick);
    connect(print, &QPushButton::clicked, this, &HistoryWindow::TiskPdfClick);
    connect(merge, &QPushButton::clicked, this, &HistoryWindow::SloucitClick);
    connect(use, &QPushButton::clicked, this, &HistoryWindow::PouzitDatabaziClick);
    connect(location_, &QLineEdit::returnPressed, this, &HistoryWindow::PouzitDatabaziClick);
    connect(operator_, &QLineEdit::editingFinished, this,
            [this] { setHistoryOperator(operator_->text()); });
    connect(compare, &QPushButton::clicked, this, &HistoryWindow::PorovnatClick);
    connect(reload, &QPushButton::clicked, this, &HistoryWindow::refresh);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void HistoryWindow::refresh()
{
    HistoryFilter f;
    f.text = text_->text().trimmed();
    if (sinceOn_->isChecked())
        f.since = since_->date();
    if (untilOn_->isChecked())
        f.until = until_->date();
    if (operation_->currentIndex() > 0)
        f.operation = static_cast<HistoryOperation>(operation_->currentData().toInt());
    if (result_->currentIndex() > 0)
        f.result = static_cast<HistoryResult>(result_->currentData().toInt());
    std::vector<HistoryRecord> records;
    if (!store_.records(f, records))
        records.clear();
    table_.setRecords(std::move(records));
    const int waiting = store_.pendingCount();
    where_->setText(
        QStringLiteral("Záznamů: %1").arg(table_.rowCount()) +
        (waiting > 0 ? QStringLiteral(", na doručení čeká %1").arg(waiting) : QString()));
    detail_->clear();
    if (table_.rowCount() > 0)
        view_->scrollToBottom();
}

QList<int> HistoryWindow::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& i : view_->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void HistoryWindow::selectRows(const QList<int>& rows)
{
    view_->clearSelection();
    for (int row : rows)
        view_->selectionModel()->select(table_.index(row, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QString HistoryWindow::shownText() const
{
    return detail_->toPlainText();
}

void HistoryWindow::showSelection()
{
    const QList<int> rows = selectedRows();
    if (rows.size() == 1) {
        const std::optional<HistoryRecord> r = store_.record(table_.record(rows[0]).id);
        detail_->setPlainText(r ? describeRecord(*r) : QString());
    } else if (rows.size() == 2) {
        PorovnatClick();
    } else {
        detail_->clear();
    }
}

void HistoryWindow::PorovnatClick()
{
    const QList<int> rows = selectedRows();
    if (rows.size() != 2) {
        ui_.message(QStringLiteral("Vyberte dva záznamy k porovnání."));
        return;
    }
    const auto a = store_.record(table_.record(rows[0]).id);
    const auto b = store_.record(table_.record(rows[1]).id);
    if (a && b)
        detail_->setPlainText(compareRecords(*a, *b));
}

void HistoryWindow::NacistClick()
{
    const QList<int> rows = selectedRows();
    if (rows.size() != 1) {
        ui_.message(QStringLiteral("Vyberte jeden záznam s konfigurací."));
        return;
    }
    const std::optional<HistoryRecord> r = store_.record(table_.record(rows[0]).id);
    if (!r || r->configuration.isEmpty()) {
        ui_.message(QStringLiteral("Záznam nemá konfiguraci."));
        return;
    }
    if (editor_.loadConfigurationData(r->configuration) && raiseEditor)
        raiseEditor();
}

void HistoryWindow::ExportCsvClick()
{
    const QString path = ui_.chooseSaveFile(QStringLiteral("Export historie"), QString(),
                                            QStringLiteral("CSV|*.csv"));
    if (path.isEmpty())
        return;
    if (const int error =
            saveFileAtomically(path, historyCsv(table_.records(), spreadsheetCsvFormat()));
        error != 0)
        ui_.message(QStringLiteral("Chyba c. ") + QString::number(error));
}

void HistoryWindow::TiskPdfClick()
{
    const QString path = ui_.chooseSaveFile(QStringLiteral("Tisk historie do PDF"), QString(),
                                            QStringLiteral("PDF|*.pdf"));
    if (path.isEmpty())
        return;
    const QString heading = QStringLiteral("Historie převodů – %1 (%2 záznamů)")
                                .arg(store_.path())
                                .arg(table_.rowCount());
    if (const QString error = printHistoryList(table_.records(), heading, path); !error.isEmpty())
        ui_.message(error);
}

void HistoryWindow::SloucitClick()
{
    const QString path = ui_.chooseOpenFile(QStringLiteral("Sloučit historii jiné stanice"),
                                            QString(), QStringLiteral("Historie|*.sqlite"));
    if (path.isEmpty())
        return;
    HistoryStore::ImportResult result;
    if (!store_.import(path, result))
        return;
    ui_.message(QStringLiteral("Přidáno záznamů: %1, už v historii bylo: %2.")
                    .arg(result.added)
                    .arg(result.known));
    refresh();
}

void HistoryWindow::PouzitDatabaziClick()
{
    const QString text = location_->text().trimmed();
    const HistoryLocation location = parseHistoryLocation(text);
    if (!location.error.isEmpty()) {
        ui_.message(QStringLiteral("Databázi „%1“ nelze použít: %2.")
                        .arg(location.display(), location.error));
        return;
    }
    setSavedHistoryLocation(text);
    store_.relocate(text.isEmpty() ? historyPath({}, false) : text);
    location_->setText(store_.path());
    refresh();
}

} // namespace vtr8
