#include "app/main_window.h"

#include "model/main_window_model.h"
#include "app/window_placement.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <map>
#include <QAction>

namespace vtr8 {

namespace {

QLabel* makeLabel(QWidget* parent, const QString& name, int x, int y, int w, int h,
                  const QString& text = {})
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(x, y, w, h);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QLineEdit* makeEdit(QWidget* parent, const QString& name, int x, int y, int w, int h = 21)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(x, y, w, h);
    return edit;
}

QComboBox* makeCombo(QWidget* parent, const QString& name, int x, int y, int w, int h = 21)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    // A typed text stays a text; it never becomes a new list item.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setGeometry(x, y, w, h);
    return combo;
}

QPushButton* makeButton(QWidget* parent, const QString& name, int x, int y, int w, int h = 25)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setGeometry(x, y, w, h);
    return button;
}

QProgressBar* makeBar(QWidget* parent, const QString& name, int x, int y, int w, int h)
{
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setGeometry(x, y, w, h);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

void makeBold(QWidget* widget)
{
    QFont font = widget->font();
    font.setBold(true);
    widget->setFont(font);
}

// One comparator group: check box, limits with their units, delays, mode and
// the group's own read and store buttons.
void buildComparator(QWidget* form, int number, int x, int y)
{
    const QString n = QString::number(number);
    auto* group = new QGroupBox(QStringLiteral("Mezní komparátor ") + n, form);
    group->setObjectName(QStringLiteral("GroupKompar") + n);
    group->setGeometry(x, y, 354, 116);

    auto* check = new QCheckBox(group);
    check->setObjectName(QStringLiteral("PovolKompar") + n);
    check->setGeometry(8, 18, 214, 21);
    makeButton(group, QStringLiteral("Preckomp") + n, 226, 16, 60, 24);
    makeButton(group, QStringLiteral("Ulozkomp") + n, 288, 16, 60, 24);

    const bool first = number == 1;
    makeLabel(group, QStringLiteral("LabelMezsep") + n, 8, 43, 84, 21,
              QStringLiteral("Mez sepnutí"));
    makeEdit(group, first ? QStringLiteral("EMezsep1") : QStringLiteral("EMezsep2"), 92, 43, 76);
    makeLabel(group, first ? QStringLiteral("Label22") : QStringLiteral("Label37"), 171, 43, 30,
              21);
    makeLabel(group, QStringLiteral("LabelMezroz") + n, 8, 67, 84, 21,
              QStringLiteral("Mez rozepnutí"));
    makeEdit(group, first ? QStringLiteral("EMezroz1") : QStringLiteral("EMezroz2"), 92, 67, 76);
    makeLabel(group, first ? QStringLiteral("Label24") : QStringLiteral("Label38"), 171, 67, 30,
              21);

    makeLabel(group, QStringLiteral("LabelZpozdeni") + n, 202, 43, 56, 21,
              QStringLiteral("Zpoždění"));
    makeLabel(group, QStringLiteral("LabelSepnuti") + n, 258, 43, 56, 21,
              QStringLiteral("sepnutí"));
    makeEdit(group, first ? QStringLiteral("EZpoSep1") : QStringLiteral("Ezposep2"), 314, 43, 28);
    makeLabel(group, QStringLiteral("LabelSepnutiS") + n, 344, 43, 8, 21, QStringLiteral("s"));
    makeLabel(group, QStringLiteral("LabelRozepnuti") + n, 258, 67, 56, 21,
              QStringLiteral("rozepnutí"));
    makeEdit(group, first ? QStringLiteral("EZpoRoz1") : QStringLiteral("Ezporoz2"), 314, 67, 28);
    makeLabel(group, QStringLiteral("LabelRozepnutiS") + n, 344, 67, 8, 21, QStringLiteral("s"));

    makeLabel(group, QStringLiteral("LabelRezimRele") + n, 8, 91, 84, 21,
              QStringLiteral("Režim relé ") + n);
    makeCombo(group, QStringLiteral("RezimRele") + n, 92, 91, 110);
}

} // namespace

TForm1::TForm1(MainWindowModel& model, BrandState& brand, MainWindowActions& actions,
               QWidget* parent)
    : QWidget(parent), model_(model), brand_(brand), actions_(actions), binder_(this)
{
    setObjectName(QStringLiteral("Form1"));
    resize(FormWidth, FormHeight);
    setFixedSize(FormWidth, FormHeight);
    buildControls();
    bindControls();
    connect(&model_, &MainWindowModel::changed, this, &TForm1::refresh);

    centreOnScreen(this);

    FormCreate();
    refresh();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate()
{
    // The maker's name is part of the window as built; the second brand empties it.
    if (model_.Label5.caption.isEmpty())
        model_.Label5.caption = makerNameLabel();
    model_.DividerRatio = 1.0L;
    brand_.maker = true;
    ButtonVEClick(model_);
    if (brand_.second)
        ButtonKAClick(model_); // applied last, so it wins
    // The brand is fixed for the run.
    model_.ButtonVE.enabled = false;
    model_.ButtonVE.visible = false;
    model_.ButtonKA.enabled = false;
    model_.ButtonKA.visible = false;
    model_.notifyChanged();
}

void TForm1::buildControls()
{
    // Left: the configuration fields, one row each.
    auto* heading = makeLabel(this, QStringLiteral("Konfigurace"), 8, 4, 360, 20);
    makeBold(heading);

    constexpr int labelX = 8, labelW = 160, fieldX = 170, fieldW = 170, unitX = 344, unitW = 30;
    constexpr int top = 26, step = 26;
    int row = 0;
    const auto y = [&](int r) { return top + r * step; };
    // Room for two lines: the longer captions wrap.
    const auto rowLabel = [&](const QString& name) {
        return makeLabel(this, name, labelX, y(row) - 4, labelW, 29);
    };

    rowLabel(QStringLiteral("LabelVstup"));
    auto* vstup = makeCombo(this, QStringLiteral("Vstup"), fieldX, y(row), fieldW + 20);
    vstup->setMaxVisibleItems(21);
    ++row;
    rowLabel(QStringLiteral("LabelPripCidl"));
    makeCombo(this, QStringLiteral("PripCidl"), fieldX, y(row), fieldW);
    ++row;
    rowLabel(QStringLiteral("LabelLinearizace"));
    auto* linearizace = makeCombo(this, QStringLiteral("Linearizace"), fieldX, y(row), fieldW);
    auto* errorPlot = new QAction(QStringLiteral("Zobrazit chybu linearizace…"), linearizace);
    errorPlot->setObjectName(QStringLiteral("ChybaLinearizace"));
    linearizace->addAction(errorPlot);
    linearizace->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(errorPlot, &QAction::triggered, this, [this] { runAction(ChybaLinearizaceClick); });
    ++row;
    rowLabel(QStringLiteral("LabelVolenaJednotka"));
    makeCombo(this, QStringLiteral("VolenaJednotka"), fieldX, y(row), fieldW);
    ++row;
    makeBold(makeLabel(this, QStringLiteral("Label4"), labelX, y(row), 360, 21));
    ++row;
    rowLabel(QStringLiteral("LabelPocatek"));
    makeEdit(this, QStringLiteral("Pocatek"), fieldX, y(row), fieldW);
    makeLabel(this, QStringLiteral("Label8"), unitX, y(row), unitW, 21);
    ++row;
    rowLabel(QStringLiteral("LabelKonec"));
    makeEdit(this, QStringLiteral("Konec"), fieldX, y(row), fieldW);
    makeLabel(this, QStringLiteral("Label9"), unitX, y(row), unitW, 21);
    ++row;
    rowLabel(QStringLiteral("LabelTlumeni"));
    makeEdit(this, QStringLiteral("Tlumeni"), fieldX, y(row), fieldW);
    makeLabel(this, QStringLiteral("LabelTlumeniUnit"), unitX, y(row), unitW, 21);
    ++row;
    rowLabel(QStringLiteral("LabelChybProud"));
    makeCombo(this, QStringLiteral("ChybProud"), fieldX, y(row), fieldW);
    ++row;
    rowLabel(QStringLiteral("LabelVzdStKon"));
    makeCombo(this, QStringLiteral("VzdStKon"), fieldX, y(row), fieldW);
    ++row;
    rowLabel(QStringLiteral("Label10"));
    makeEdit(this, QStringLiteral("DelPomer"), fieldX, y(row), fieldW);
    makeLabel(this, QStringLiteral("Label11"), unitX, y(row), unitW, 21);
    ++row;
    rowLabel(QStringLiteral("Label31"));
    makeEdit(this, QStringLiteral("SnOdpor"), fieldX, y(row), fieldW);
    makeLabel(this, QStringLiteral("Label32"), unitX, y(row), unitW, 21);
    ++row;
    rowLabel(QStringLiteral("LabelKorekcePV"));
    makeEdit(this, QStringLiteral("korekcePV"), fieldX, y(row), fieldW);
    makeLabel(this, QStringLiteral("LabelKorekcePVUnit"), unitX, y(row), unitW, 21);
    ++row;
    rowLabel(QStringLiteral("Pcelkodpor"));
    makeEdit(this, QStringLiteral("CelkovyOdpor"), fieldX, y(row), fieldW);
    makeLabel(this, QStringLiteral("Jcelkodpor"), unitX, y(row), unitW, 21);
    ++row;

    // The configuration file buttons.
    const int fileTop = y(row) + 6;
    makeBold(makeLabel(this, QStringLiteral("Label12"), labelX, fileTop, 170, 20));
    makeButton(this, QStringLiteral("Ulosoub"), labelX, fileTop + 22, 84);
    makeButton(this, QStringLiteral("ctisoub"), labelX + 90, fileTop + 22, 84);

    // Zero and span adjustment; the program keeps the group hidden.
    makeLabel(this, QStringLiteral("Label18"), 190, fileTop, 170, 20);
    makeButton(this, QStringLiteral("S_Dolmez"), 190, fileTop + 22, 84);
    makeButton(this, QStringLiteral("S_Hormez"), 280, fileTop + 22, 84);

    // Right: brand, main actions, comparators, user note.
    constexpr int rightX = 380;
    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("IMAGE1"));
    image->setGeometry(rightX, 4, 160, 52);
    image->setPixmap(QPixmap(QStringLiteral(":/vtr8/logo.png")));
    image->setScaledContents(true); // the picture is stretched to its frame
    auto* label5 = makeLabel(this, QStringLiteral("Label5"), rightX + 168, 4, 186, 52);
    label5->setWordWrap(true);
    QFont nameFont = label5->font();
    nameFont.setPixelSize(16);
    nameFont.setBold(true);
    label5->setFont(nameFont);
    auto* firma = makeLabel(this, QStringLiteral("Firma"), rightX, 4, 200, 52);
    QFont brandFont = firma->font();
    brandFont.setPixelSize(24);
    brandFont.setBold(true);
    firma->setFont(brandFont);
    makeButton(this, QStringLiteral("ButtonVE"), rightX + 250, 4, 40, 22);
    makeButton(this, QStringLiteral("ButtonKA"), rightX + 294, 4, 40, 22);

    makeButton(this, QStringLiteral("Poslat"), rightX, 60, 176, 27);
    makeButton(this, QStringLiteral("Precist"), rightX + 178, 60, 176, 27);
    makeButton(this, QStringLiteral("Button1"), rightX, 90, 116);
    makeButton(this, QStringLiteral("Mereni"), rightX + 119, 90, 116);
    makeButton(this, QStringLiteral("Informace"), rightX + 238, 90, 116);

    buildComparator(this, 1, rightX, 120);
    buildComparator(this, 2, rightX, 238);

    makeLabel(this, QStringLiteral("LabelUzPozn"), rightX, 358, 200, 20);
    auto* note = makeEdit(this, QStringLiteral("EditUzPozn"), rightX, 378, 354);
    note->setMaxLength(60);
    // A pasted control character would go to the transmitter and come back raw.
    note->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[^\\x{0}-\\x{1F}\\x{7F}-\\x{9F}]*")), note));
    makeButton(this, QStringLiteral("Prec_Pozn"), rightX, 403, 84);
    makeButton(this, QStringLiteral("Uloz_Pozn"), rightX + 90, 403, 84);

    // The read-back after a write: a preference of the person, not part of the configuration,
    // so no control of the editor model stands behind it.
    auto* verify = new QCheckBox(QStringLiteral("Ověřit zápis"), this);
    verify->setObjectName(QStringLiteral("OveritZapis"));
    verify->setGeometry(rightX, 440, 354, 21);

    // Bottom: progress, firmware, version.
    constexpr int bottom = 478;
    makeLabel(this, QStringLiteral("Label19"), labelX, bottom, 50, 18);
    makeBar(this, QStringLiteral("Prenos"), 62, bottom + 1, 672, 16);
    makeBar(this, QStringLiteral("PrenosByte"), 62, bottom + 20, 672, 8);
    makeLabel(this, QStringLiteral("Label13"), labelX, bottom + 33, 70, 20);
    makeLabel(this, QStringLiteral("Label14"), labelX + 74, bottom + 33, 60, 20);
    zPocPrij_ = makeLabel(this, QStringLiteral("ZPocPrij"), 300, bottom + 33, 60, 20);
    zPocPrij_->hide();
    status_ = makeLabel(this, QStringLiteral("StavPrenosu"), 366, bottom + 33, 270, 20);
    auto* version = makeLabel(this, QStringLiteral("Label23"), 640, bottom + 33, 94, 20);
    version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

QWidget* TForm1::widgetFor(const QString& name) const
{
    return findChild<QWidget*>(name);
}

void TForm1::runAction(const std::function<void()>& action)
{
    if (action)
        action();
}

void TForm1::bindControls()
{
    const std::map<QString, std::function<void()>> exits = {
        {QStringLiteral("Pocatek"), [this] { model_.PocatekExit(); }},
        {QStringLiteral("Konec"), [this] { model_.KonecExit(); }},
        {QStringLiteral("Tlumeni"), [this] { model_.TlumeniExit(); }},
        {QStringLiteral("ChybProud"), [this] { model_.ChybProudExit(); }},
        {QStringLiteral("VzdStKon"), [this] { model_.VzdStKonExit(); }},
        {QStringLiteral("SnOdpor"), [this] { model_.SnOdporExit(); }},
        {QStringLiteral("DelPomer"), [this] { model_.DelPomerExit(); }},
        {QStringLiteral("CelkovyOdpor"), [this] { model_.CelkovyOdporExit(); }},
        {QStringLiteral("korekcePV"), [this] { model_.korekcePVExit(); }},
        {QStringLiteral("EMezsep1"), [this] { model_.EMezsep1Exit(); }},
        {QStringLiteral("EMezroz1"), [this] { model_.EMezroz1Exit(); }},
        {QStringLiteral("EZpoSep1"), [this] { model_.EZpoSep1Exit(); }},
        {QStringLiteral("EZpoRoz1"), [this] { model_.EZpoRoz1Exit(); }},
        {QStringLiteral("EMezsep2"), [this] { model_.EMezsep2Exit(); }},
        {QStringLiteral("EMezroz2"), [this] { model_.EMezroz2Exit(); }},
        {QStringLiteral("Ezposep2"), [this] { model_.Ezposep2Exit(); }},
        {QStringLiteral("Ezporoz2"), [this] { model_.Ezporoz2Exit(); }},
    };
    const std::map<QString, std::function<void()>> clicks = {
        {QStringLiteral("Poslat"), [this] { runAction(actions_.PoslatClick); }},
        {QStringLiteral("Precist"), [this] { runAction(actions_.PrecistClick); }},
        {QStringLiteral("Preckomp1"), [this] { runAction(actions_.Preckomp1Click); }},
        {QStringLiteral("Ulozkomp1"), [this] { runAction(actions_.Ulozkomp1Click); }},
        {QStringLiteral("Preckomp2"), [this] { runAction(actions_.Preckomp2Click); }},
        {QStringLiteral("Ulozkomp2"), [this] { runAction(actions_.Ulozkomp2Click); }},
        {QStringLiteral("Prec_Pozn"), [this] { runAction(actions_.Prec_PoznClick); }},
        {QStringLiteral("Uloz_Pozn"), [this] { runAction(actions_.Uloz_PoznClick); }},
        {QStringLiteral("S_Dolmez"), [this] { runAction(actions_.S_DolmezClick); }},
        {QStringLiteral("S_Hormez"), [this] { runAction(actions_.S_HormezClick); }},
        {QStringLiteral("Ulosoub"), [this] { model_.UlosoubClick(); }},
        {QStringLiteral("ctisoub"), [this] { model_.ctisoubClick(); }},
        {QStringLiteral("Button1"), [this] { runAction(Button1Click); }},
        {QStringLiteral("Mereni"), [this] { runAction(MereniClick); }},
        {QStringLiteral("Informace"), [this] { runAction(InformaceClick); }},
        {QStringLiteral("ButtonVE"), [this] { ButtonVEClick(model_); }},
        {QStringLiteral("ButtonKA"), [this] { ButtonKAClick(model_); }},
    };

    for (const auto& [name, control] : model_.controls()) {
        QWidget* widget = widgetFor(name);
        if (!widget)
            continue; // the window caption and controls without a widget of their own
        Control* c = control;
        ControlBinder::Binding& b = binder_.bind(*c, widget);
        b.edited = [this, c](const QString& text) { model_.userEdit(*c, text); };
        b.toggled = [this, c](bool checked) {
            c->checked = checked;
            model_.notifyChanged();
        };
        if (const auto exit = exits.find(name); exit != exits.end())
            b.left = exit->second;
        if (const auto click = clicks.find(name); click != clicks.end())
            b.clicked = click->second;
    }
}

void TForm1::refresh()
{
    if (windowTitle() != model_.Caption.text)
        setWindowTitle(model_.Caption.text);
    binder_.refresh();
    if (!transferRunning_)
        return;
    for (const QString& name : TransferButtonNames())
        if (QWidget* button = widgetFor(name))
            button->setEnabled(false);
}

const QStringList& TForm1::TransferButtonNames()
{
    static const QStringList names = {
        QStringLiteral("Poslat"),    QStringLiteral("Precist"),   QStringLiteral("Preckomp1"),
        QStringLiteral("Ulozkomp1"), QStringLiteral("Preckomp2"), QStringLiteral("Ulozkomp2"),
        QStringLiteral("Prec_Pozn"), QStringLiteral("Uloz_Pozn"), QStringLiteral("S_Dolmez"),
        QStringLiteral("S_Hormez"),  QStringLiteral("Mereni"),    QStringLiteral("ctisoub")};
    return names;
}

void TForm1::setTransferRunning(bool running)
{
    transferRunning_ = running;
    refresh();
}

void TForm1::showStatus(const QString& text)
{
    status_->setText(text);
}

QString TForm1::statusText() const
{
    return status_->text();
}

void TForm1::setPrenosByte(int value)
{
    model_.PrenosByte.position = value;
    binder_.refresh(model_.PrenosByte);
}

void TForm1::setZPocPrij(const QString& text)
{
    zPocPrij_->setText(text);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (mayClose && !mayClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

} // namespace vtr8
