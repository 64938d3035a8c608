#include "app/table_window.h"

#include "app/qt_user_interface.h"

#include "app/window_placement.h"

#include "model/table_window_model.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

namespace vtr8 {

TForm4::TForm4(TableWindowModel& model, QWidget* parent)
    : QWidget(parent, Qt::Window), model_(model), binder_(this)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(model_.Caption);
    resize(FormWidth, FormHeight);

    grid_ = new QTableWidget(TableWindowModel::RowCount - 1, TableWindowModel::ColumnCount, this);
    grid_->setObjectName(QStringLiteral("StringGrid1"));
    // Row 0 of the table is its fixed heading row; there is no fixed column.
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid_->setWordWrap(true);
    // The two columns share the grid's width, whatever the scroll bar takes.
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid_->horizontalHeader()->setHighlightSections(false);
    // Tab goes on to the method and the buttons; the arrows move within the table.
    grid_->setTabKeyNavigation(false);

    zpusLin_ = new QGroupBox(this);
    zpusLin_->setObjectName(QStringLiteral("Zpus_lin"));
    polynomial_ = new QRadioButton(zpusLin_);
    polynomial_->setObjectName(QStringLiteral("Zpus_lin0"));
    straightLines_ = new QRadioButton(zpusLin_);
    straightLines_->setObjectName(QStringLiteral("Zpus_lin1"));
    connect(polynomial_, &QRadioButton::clicked, this, [this] { model_.Zpus_linClick(0); });
    connect(straightLines_, &QRadioButton::clicked, this, [this] { model_.Zpus_linClick(1); });

    pstup_ = new QLabel(this);
    pstup_->setObjectName(QStringLiteral("pstup"));
    stupP_ = new QComboBox(this);
    stupP_->setObjectName(QStringLiteral("stup_p"));
    stupP_->setEditable(true);
    stupP_->setInsertPolicy(QComboBox::NoInsert);
    stupP_->setCompleter(nullptr);

    ok_ = new QPushButton(this);
    ok_->setObjectName(QStringLiteral("OK"));
    jiny_ = new QPushButton(this);
    jiny_->setObjectName(QStringLiteral("Jiny"));
    chyba_ = new QPushButton(QStringLiteral("&Chyba linearizace"), this);
    chyba_->setObjectName(QStringLiteral("ChybaLinearizace"));
    connect(chyba_, &QPushButton::clicked, this, [this] {
        if (ChybaLinearizaceClick)
            ChybaLinearizaceClick();
    });
    zrusit_ = new QPushButton(QStringLiteral("&Zrušit"), this);
    zrusit_->setObjectName(QStringLiteral("Zrusit"));
    connect(zrusit_, &QPushButton::clicked, this, [this] { model_.ZrusitClick(); });
    // Enter on a button presses that button; anywhere else it is OK (keyPressEvent).
    for (QPushButton* button : {ok_, jiny_, chyba_, zrusit_})
        button->setAutoDefault(true);

    binder_.bind(model_.pstup, pstup_);
    ControlBinder::Binding& degree = binder_.bind(model_.stup_p, stupP_);
    degree.edited = [this](const QString& text) { model_.stup_pChange(text); };
    binder_.bind(model_.OK, ok_).clicked = [this] { model_.OKClick(); };
    binder_.bind(model_.Jiny, jiny_).clicked = [this] { model_.JinyClick(); };

    model_.changed = [this] { refresh(); };
    model_.focusRequested = [this](Control& control) {
        QtUserInterface::focusWidget(binder_.widgetOf(control));
    };
    applyLayout();
    refresh();
}

void TForm4::refresh()
{
    binder_.refresh();

    zpusLin_->setTitle(model_.Zpus_lin.caption);
    polynomial_->setText(model_.Zpus_lin.items.value(0));
    straightLines_->setText(model_.Zpus_lin.items.value(1));
    {
        const QSignalBlocker b0(polynomial_);
        const QSignalBlocker b1(straightLines_);
        polynomial_->setChecked(model_.Zpus_lin.itemIndex == 0);
        straightLines_->setChecked(model_.Zpus_lin.itemIndex == 1);
    }

    QStringList headings;
    for (int column = 0; column < TableWindowModel::ColumnCount; ++column)
        headings << model_.cell(column, 0);
    grid_->setHorizontalHeaderLabels(headings);
    for (int row = 1; row < TableWindowModel::RowCount; ++row) {
        for (int column = 0; column < TableWindowModel::ColumnCount; ++column) {
            const QString& text = model_.cell(column, row);
            QTableWidgetItem* item = grid_->item(row - 1, column);
            if (!item) {
                if (text.isEmpty())
                    continue;
                item = new QTableWidgetItem;
                grid_->setItem(row - 1, column, item);
            }
            if (item->text() != text)
                item->setText(text);
        }
    }
    grid_->setCurrentCell(model_.currentRow - 1, model_.currentColumn);
    // The current cell sits low in the table, but the person wants to see the points.
    grid_->scrollToTop();

    if (model_.shown && isHidden()) {
        centreOn(this, centreOver);
        show();
        raise();
    } else if (!model_.shown && !isHidden()) {
        hide();
    }
}

void TForm4::applyLayout()
{
    const QRect frame = frameGeometry();
    const TableWindowLayout l = layoutTableWindow(frame.width(), frame.height());
    const auto place = [](QWidget* w, const TableWindowLayout::Rect& r) {
        w->setGeometry(r.left, r.top, r.width, r.height);
    };
    place(grid_, l.grid);
    grid_->horizontalHeader()->setFixedHeight(l.headingRowHeight);
    grid_->verticalHeader()->setDefaultSectionSize(l.rowHeight);
    place(ok_, l.ok);
    place(jiny_, l.jiny);
    place(zrusit_, {l.ok.left - l.ok.width - l.ok.width / 8, l.ok.top, l.ok.width, l.ok.height});
    place(chyba_, {l.jiny.left + l.jiny.width + l.jiny.width / 8, l.jiny.top,
                   std::max(l.jiny.width, chyba_->sizeHint().width()), l.jiny.height});
    pstup_->move(l.pstup.left, l.pstup.top);
    pstup_->adjustSize();
    stupP_->move(l.stup_p.left, l.stup_p.top);
    stupP_->resize(64, stupP_->sizeHint().height());
    zpusLin_->setGeometry(l.zpus_lin.left, l.zpus_lin.top,
                          std::max(1, l.pstup.left - l.zpus_lin.left - 8), l.zpus_lin.height);
    const int rowHeight = std::max(1, (l.zpus_lin.height - 20) / 2);
    polynomial_->setGeometry(8, 18, zpusLin_->width() - 16, rowHeight);
    straightLines_->setGeometry(8, 18 + rowHeight, zpusLin_->width() - 16, rowHeight);
}

void TForm4::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    applyLayout();
}

void TForm4::closeEvent(QCloseEvent* event)
{
    // The close box hides the window like its buttons do.
    model_.shown = false;
    QWidget::closeEvent(event);
}

void TForm4::keyPressEvent(QKeyEvent* event)
{
    const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        ok_->click(); // does nothing while disabled
        return;
    }
    if (plain && event->key() == Qt::Key_Escape) {
        zrusit_->click();
        return;
    }
    // Ctrl+Tab leaves a control that keeps Tab for itself; the table passes it on to here.
    if ((event->modifiers() & Qt::ControlModifier) &&
        (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)) {
        const bool back =
            event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
        focusNextPrevChild(!back);
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace vtr8
