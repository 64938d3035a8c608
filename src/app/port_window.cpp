#include "app/port_window.h"

#include "app/window_placement.h"
#include "link/command_protocol.h"
#include "link/port_mapping.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace vtr8 {

namespace {

constexpr int FirstListedId = 8;

QString Missing(const QString& text)
{
    return text + QStringLiteral(" – neexistuje");
}

} // namespace

TForm2::TForm2(CommandProtocol& protocol, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), protocol_(protocol),
      listing_(&DefaultPortListing()), searchTiming_(protocol.timing())
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Com"));
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    group_ = new QButtonGroup(this);

    setCom_ = new QGroupBox(QStringLiteral("Nast.  COM"), this);
    setCom_->setObjectName(QStringLiteral("SetCom"));
    auto* grid = new QGridLayout(setCom_);
    grid->setVerticalSpacing(2);
    for (int i = 0; i < PortSelection::itemCount() && i < 8; ++i) {
        auto* radio = new QRadioButton(PortSelection::itemText(i), setCom_);
        radio->setObjectName(QStringLiteral("SetComItem%1").arg(i + 1));
        auto* path = new QLabel(setCom_);
        path->setObjectName(QStringLiteral("SetComPath%1").arg(i + 1));
        grid->addWidget(radio, i, 0);
        grid->addWidget(path, i, 1);
        group_->addButton(radio, i);
        items_[static_cast<std::size_t>(i)] = radio;
        paths_[static_cast<std::size_t>(i)] = path;
    }
    grid->setColumnStretch(1, 1);
    layout->addWidget(setCom_);

    systemPorts_ = new QGroupBox(QStringLiteral("Další porty v systému"), this);
    systemPorts_->setObjectName(QStringLiteral("SystemPorts"));
    systemLayout_ = new QVBoxLayout(systemPorts_);
    systemLayout_->setSpacing(2);
    layout->addWidget(systemPorts_);
    connect(group_, &QButtonGroup::idClicked, this, &TForm2::chooseItem);

    auto* searchRow = new QHBoxLayout;
    find_ = new QPushButton(QStringLiteral("&Najít převodník"), this);
    find_->setObjectName(QStringLiteral("NajitPrevodnik"));
    connect(find_, &QPushButton::clicked, this, &TForm2::NajitClick);
    searchRow->addWidget(find_);
    searchState_ = new QLabel(this);
    searchState_->setObjectName(QStringLiteral("StavHledani"));
    searchState_->setWordWrap(true);
    searchRow->addWidget(searchState_, 1);
    layout->addLayout(searchRow);
    found_ = new QListWidget(this);
    found_->setObjectName(QStringLiteral("NalezenePrevodniky"));
    found_->setFixedSize(ClientWidth, 110);
    // A note is up to 60 characters: long lines wrap rather than scroll.
    found_->setWordWrap(true);
    found_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    found_->setResizeMode(QListView::Adjust);
    found_->setToolTip(QStringLiteral("Klepnutím na nalezený převodník zvolíte jeho port."));
    // The highlighted transmitter is the choice; a double-click or Enter on it also confirms.
    connect(found_, &QListWidget::currentRowChanged, this, &TForm2::chooseFound);
    connect(found_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (!(item->flags() & Qt::ItemIsEnabled))
            return;
        chooseFound(found_->row(item));
        Button1Click();
    });
    layout->addWidget(found_);

    auto* buttons = new QHBoxLayout;
    ok_ = new QPushButton(QStringLiteral("&OK"), this);
    ok_->setObjectName(QStringLiteral("Button1"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &TForm2::Button1Click);
    choiceNote_ = new QLabel(this);
    choiceNote_->setObjectName(QStringLiteral("PoznamkaVolby"));
    choiceNote_->setWordWrap(true);
    layout->addWidget(choiceNote_);
    cancel_ = new QPushButton(QStringLiteral("&Zrušit"), this);
    cancel_->setObjectName(QStringLiteral("Zrusit"));
    connect(cancel_, &QPushButton::clicked, this, &TForm2::ZrusitClick);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    setWindowModality(Qt::ApplicationModal);

    refreshPorts();
    centreOnScreen(this);
    FormCreate();
}

void TForm2::FormCreate()
{
    // PortSelection restored the stored choice when it was made; the protocol
    // takes it from here on every attempt.
    selection_.applyTo(protocol_.session(), *listing_);
    showSelection();
}

void TForm2::setPortListing(const PortListing* listing)
{
    listing_ = listing ? listing : &DefaultPortListing();
    refreshPorts();
}

void TForm2::refreshPorts()
{
    offered_ = OfferedPorts(*listing_, selection_.portName());
    for (int i = 0; i < 8 && i < offered_.size(); ++i) {
        const OfferedPort& port = offered_[i];
        QString text = port.device;
        if (!port.details.isEmpty())
            text += QStringLiteral(" (") + port.details + QLatin1Char(')');
        paths_[static_cast<std::size_t>(i)]->setText(port.exists ? text : Missing(text));
        paths_[static_cast<std::size_t>(i)]->setEnabled(port.exists);
    }
    for (QRadioButton* radio : std::as_const(listed_))
        group_->removeButton(radio);
    qDeleteAll(systemRows_);
    systemRows_.clear();
    listed_.clear();
    for (qsizetype i = ComPortCount; i < offered_.size(); ++i) {
        const OfferedPort& port = offered_[i];
        auto* row = new QWidget(systemPorts_);
        auto* rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        auto* radio = new QRadioButton(port.name, row);
        radio->setObjectName(QStringLiteral("SetComPort_") + port.name);
        QString text = port.details.isEmpty() ? port.device
                                              : port.details + QStringLiteral(", ") + port.device;
        auto* details = new QLabel(port.exists ? text : Missing(text), row);
        details->setEnabled(port.exists);
        rowLayout->addWidget(radio);
        rowLayout->addWidget(details, 1);
        systemLayout_->addWidget(row);
        group_->addButton(radio, FirstListedId + static_cast<int>(listed_.size()));
        listed_.push_back(radio);
        systemRows_.push_back(row);
    }
    if (listed_.isEmpty()) {
        auto* none =
            new QLabel(QStringLiteral("Systém nehlásí žádný další sériový port."), systemPorts_);
        systemLayout_->addWidget(none);
        systemRows_.push_back(none);
    }
    checkShown();
}

QRadioButton* TForm2::listedItem(const QString& name) const
{
    for (QRadioButton* radio : listed_)
        if (radio->text() == name)
            return radio;
    return nullptr;
}

QString TForm2::deviceInUse() const
{
    return selection_.portName().isEmpty() ? PortSelection::itemPath(selection_.itemIndex())
                                           : NamedPortDevice(selection_.portName(), *listing_);
}

void TForm2::chooseItem(int id)
{
    if (id >= 0 && id < ComPortCount) {
        shownIndex_ = id;
        shownName_.clear();
    } else if (id >= FirstListedId && id - FirstListedId < listed_.size()) {
        shownName_ = listed_[id - FirstListedId]->text();
    }
    // A port chosen by its button is no longer the highlighted transmitter.
    const QSignalBlocker blocker(found_);
    found_->setCurrentRow(-1);
    showChoiceNote();
}

void TForm2::chooseFound(int row)
{
    if (row < 0 || row >= found_->count())
        return;
    if (!(found_->item(row)->flags() & Qt::ItemIsEnabled))
        return;
    const int at = found_->item(row)->data(Qt::UserRole).toInt();
    if (at < 0 || at >= findings_.size() || findings_[at].outcome != SearchFinding::Outcome::Found)
        return;
    const SearchCandidate& port = findings_[at].port;
    if (port.itemIndex >= 0) {
        shownIndex_ = port.itemIndex;
        shownName_.clear();
    } else {
        shownName_ = port.name;
    }
    checkShown();
}

void TForm2::showSelection()
{
    shownIndex_ = selection_.itemIndex();
    shownName_ = selection_.portName();
    checkShown();
}

void TForm2::checkShown()
{
    QRadioButton* radio = shownName_.isEmpty() ? items_[static_cast<std::size_t>(shownIndex_)]
                                               : listedItem(shownName_);
    if (radio)
        radio->setChecked(true);
    showChoiceNote();
}

bool TForm2::shownPortExists() const
{
    for (const OfferedPort& port : offered_)
        if (shownName_.isEmpty() ? port.itemIndex == shownIndex_ : port.name == shownName_)
            return port.exists;
    return false;
}

QString TForm2::shownPortText() const
{
    return shownName_.isEmpty() ? PortSelection::itemText(shownIndex_) : shownName_;
}

QString TForm2::portLabel(const QString& name, const QString& device)
{
    if (device.isEmpty() || name.isEmpty())
        return name.isEmpty() ? device : name;
    const QString own = device.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1);
    if (own.compare(name, Qt::CaseInsensitive) == 0)
        return name;
    return name + QStringLiteral(" (") + device + QLatin1Char(')');
}

QString TForm2::MissingChoiceText(const QString& port)
{
    return QStringLiteral("Zvolený port %1 v systému neexistuje: komunikace s převodníkem na "
                          "něm nebude možná.")
        .arg(port);
}

void TForm2::showChoiceNote()
{
    if (choiceNote_)
        choiceNote_->setText(shownPortExists() ? QString() : MissingChoiceText(shownPortText()));
}

void TForm2::clearFindings()
{
    found_->clear();
    findings_.clear();
    searchState_->clear();
}

void TForm2::NajitClick()
{
    if (searching_)
        return;
    // A transfer or a continuous measurement has the port: its own lock would read as
    // another program's, and the search must not close the port under it.
    if (protocol_.session().active() || protocol_.session().portHeld() || protocol_.isBusy()) {
        searchState_->setText(LinkBusySearchText());
        return;
    }
    searching_ = true;
    find_->setEnabled(false);
    ok_->setEnabled(false);
    clearFindings();
    refreshPorts();
    // Our own link lets its port go, or the search would find it taken.
    protocol_.closePort();
    TransmitterSearch search(searchTiming_);
    search.asking = [this](int, int, const SearchCandidate& port) {
        searchState_->setText(TransmitterSearch::askingText(port));
    };
    findings_ = search.run(SearchCandidates(offered_));
    // The transmitters first, then every port that was asked and why it gave none: a port
    // left out of the list would look as if it had not been asked.
    const QSignalBlocker blocker(found_);
    for (const bool transmitters : {true, false})
        for (int i = 0; i < findings_.size(); ++i) {
            const SearchFinding& f = findings_[i];
            if ((f.outcome == SearchFinding::Outcome::Found) != transmitters)
                continue;
            auto* item = new QListWidgetItem(f.text, found_);
            item->setData(Qt::UserRole, i);
            if (!transmitters)
                item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
        }
    searchState_->setText(TransmitterSearch::summaryText(findings_));
    find_->setEnabled(true);
    ok_->setEnabled(true);
    searching_ = false;
    // The first transmitter found is the choice, highlighted and ready for Enter or OK.
    found_->setCurrentRow(-1);
    if (found_->count() > 0 && (found_->item(0)->flags() & Qt::ItemIsEnabled)) {
        found_->setCurrentRow(0);
        chooseFound(0);
        found_->setFocus();
    }
}

QString TForm2::LinkBusySearchText()
{
    return QStringLiteral("Probíhá komunikace s převodníkem, hledat nyní nelze.");
}

void TForm2::Button1Click()
{
    if (shownName_.isEmpty())
        selection_.setItemIndex(shownIndex_);
    else
        selection_.setPortName(shownName_);
    selection_.applyTo(protocol_.session(), *listing_);
    selection_.confirm();
    if (portChanged)
        portChanged();
    if (raiseMainWindow)
        raiseMainWindow();
    hide();
}

void TForm2::ZrusitClick()
{
    if (searching_)
        return;
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

void TForm2::showEvent(QShowEvent* event)
{
    // An adapter may have come or gone since the window was last shown, and what an earlier
    // search found may be elsewhere by now.
    if (!searching_)
        clearFindings();
    refreshPorts();
    QWidget::showEvent(event);
}

void TForm2::closeEvent(QCloseEvent* event)
{
    if (searching_) {
        event->ignore();
        return;
    }
    // The close box cancels like "Zrušit".
    showSelection();
    QWidget::closeEvent(event);
}

} // namespace vtr8
