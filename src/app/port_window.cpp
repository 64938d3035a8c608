#include "app/port_window.h"

#include "app/window_placement.h"
#include "link/command_protocol.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace vtr8 {

TForm2::TForm2(CommandProtocol& protocol, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), protocol_(protocol)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Com"));
    setFixedSize(ClientWidth, ClientHeight);
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);

    setCom_ = new QGroupBox(QStringLiteral("Nast.  COM"), this);
    setCom_->setObjectName(QStringLiteral("SetCom"));
    setCom_->setGeometry(12, 8, 268, 228);
    group_ = new QButtonGroup(this);
    for (int i = 0; i < PortSelection::itemCount() && i < 8; ++i) {
        auto* radio = new QRadioButton(PortSelection::itemText(i), setCom_);
        radio->setObjectName(QStringLiteral("SetComItem%1").arg(i + 1));
        radio->setGeometry(12, 20 + i * 25, 70, 22);
        auto* path = new QLabel(PortSelection::itemPath(i), setCom_);
        path->setObjectName(QStringLiteral("SetComPath%1").arg(i + 1));
        path->setGeometry(86, 20 + i * 25, 176, 22);
        group_->addButton(radio, i);
        items_[static_cast<std::size_t>(i)] = radio;
    }
    connect(group_, &QButtonGroup::idClicked, this, &TForm2::chooseItem);

    ok_ = new QPushButton(QStringLiteral("&OK"), this);
    ok_->setObjectName(QStringLiteral("Button1"));
    ok_->setGeometry(60, 246, 80, 28);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &TForm2::Button1Click);
    cancel_ = new QPushButton(QStringLiteral("&Zrušit"), this);
    cancel_->setObjectName(QStringLiteral("Zrusit"));
    cancel_->setGeometry(152, 246, 80, 28);
    connect(cancel_, &QPushButton::clicked, this, &TForm2::ZrusitClick);
    setWindowModality(Qt::ApplicationModal);

    centreOnScreen(this);
    FormCreate();
}

void TForm2::FormCreate()
{
    // PortSelection restored the stored choice when it was made; the protocol
    // takes it from here on every attempt.
    protocol_.session().setPortIndex(selection_.itemIndex());
    showSelection();
}

void TForm2::chooseItem(int index)
{
    if (index >= 0 && index < static_cast<int>(items_.size()))
        shown_ = index;
}

void TForm2::showSelection()
{
    const int index = selection_.itemIndex();
    shown_ = index;
    if (index >= 0 && index < static_cast<int>(items_.size()) && items_[index])
        items_[static_cast<std::size_t>(index)]->setChecked(true);
}

void TForm2::Button1Click()
{
    selection_.setItemIndex(shown_);
    protocol_.session().setPortIndex(selection_.itemIndex());
    selection_.confirm();
    if (raiseMainWindow)
        raiseMainWindow();
    hide();
}

void TForm2::ZrusitClick()
{
    showSelection();
    if (raiseMainWindow)
        raiseMainWindow();
    hide();
}

void TForm2::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        ZrusitClick();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm2::closeEvent(QCloseEvent* event)
{
    // The close box cancels like "Zrušit".
    showSelection();
    QWidget::closeEvent(event);
}

} // namespace vtr8
