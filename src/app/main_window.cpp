#include "app/main_window.h"

#include "app/alt_key_guard.h"
#include "app/qt_user_interface.h"
#include "app/recent_configurations.h"
#include "app/window_placement.h"
#include "device/input_type.h"
#include "model/main_window_model.h"
#include "model/recent_files.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QToolButton>

#include <QAction>
#include <cstdlib>
#include <functional>
#include <utility>

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

// The widget of one control of the model, of the kind its list entry gives,
// named after the control. A height of -1 is the kind's usual height.
QWidget* makeControl(QWidget* parent, const MainWindowModel& model, const Control& control, int x,
                     int y, int w, int h = -1)
{
    const auto& named = model.named(control);
    switch (named.kind) {
    case ControlKind::Label:
        return makeLabel(parent, named.name, x, y, w, h < 0 ? 21 : h);
    case ControlKind::Image: {
        auto* image = new QLabel(parent);
        image->setObjectName(named.name);
        image->setGeometry(x, y, w, h);
        image->setPixmap(QPixmap(QStringLiteral(":/vtr8/logo.png")));
        image->setScaledContents(true); // the picture is stretched to its frame
        return image;
    }
    case ControlKind::Edit:
        return makeEdit(parent, named.name, x, y, w, h < 0 ? 21 : h);
    case ControlKind::ComboBox: {
        auto* combo = makeCombo(parent, named.name, x, y, w, h < 0 ? 21 : h);
        // A box that holds only its items takes no typing; Qt's own type-ahead picks an item.
        if (model.takesOnlyItems(control))
            combo->setEditable(false);
        return combo;
    }
    case ControlKind::CheckBox: {
        auto* check = new QCheckBox(parent);
        check->setObjectName(named.name);
        check->setGeometry(x, y, w, h < 0 ? 21 : h);
        return check;
    }
    case ControlKind::Button:
        return makeButton(parent, named.name, x, y, w, h < 0 ? 25 : h);
    case ControlKind::ProgressBar:
        return makeBar(parent, named.name, x, y, w, h);
    case ControlKind::Window:
        break;
    }
    qFatal("vtr8: control %s has no widget kind", qPrintable(named.name));
    std::abort();
}

// One comparator group: check box, limits with their units, delays, mode and
// the group's own read and store buttons.
void buildComparator(QWidget* form, const MainWindowModel& m, int number, int x, int y,
                     const std::function<void(const Control&, QWidget*)>& made)
{
    const QString n = QString::number(number);
    auto* group = new QGroupBox(QStringLiteral("Mezní komparátor ") + n, form);
    group->setObjectName(QStringLiteral("GroupKompar") + n);
    group->setGeometry(x, y, 354, 116);

    const bool first = number == 1;
    const auto control = [&](const Control& one, const Control& two) -> const Control& {
        return first ? one : two;
    };
    const auto makeControl = [&](QWidget* parent, const MainWindowModel& model, const Control& c,
                                 int cx, int cy, int w, int h = -1) {
        QWidget* widget = vtr8::makeControl(parent, model, c, cx, cy, w, h);
        made(c, widget);
        return widget;
    };
    makeControl(group, m, control(m.PovolKompar1, m.PovolKompar2), 8, 18, 214, 21);
    makeControl(group, m, control(m.Preckomp1, m.Preckomp2), 226, 16, 60, 24);
    makeControl(group, m, control(m.Ulozkomp1, m.Ulozkomp2), 288, 16, 60, 24);

    makeLabel(group, QStringLiteral("LabelMezsep") + n, 8, 43, 84, 21,
              QStringLiteral("Mez sepnutí"));
    // The unit keeps a gap before "Zpoždění": "Ohm" must not read as part of it.
    makeControl(group, m, control(m.EMezsep1, m.EMezsep2), 92, 43, 66);
    makeControl(group, m, control(m.Label22, m.Label37), 161, 43, 31, 21);
    makeLabel(group, QStringLiteral("LabelMezroz") + n, 8, 67, 84, 21,
              QStringLiteral("Mez rozepnutí"));
    makeControl(group, m, control(m.EMezroz1, m.EMezroz2), 92, 67, 66);
    makeControl(group, m, control(m.Label24, m.Label38), 161, 67, 31, 21);

    // The delays take up to three digits (0..255 s).
    // "Zpoždění" and "sepnutí" are two words: a gap stands between the labels.
    makeLabel(group, QStringLiteral("LabelZpozdeni") + n, 195, 43, 52, 21,
              QStringLiteral("Zpoždění"))
        ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    makeLabel(group, QStringLiteral("LabelSepnuti") + n, 251, 43, 55, 21,
              QStringLiteral("sepnutí"));
    makeControl(group, m, control(m.EZpoSep1, m.Ezposep2), 306, 43, 36);
    makeLabel(group, QStringLiteral("LabelSepnutiS") + n, 344, 43, 8, 21, QStringLiteral("s"));
    makeLabel(group, QStringLiteral("LabelRozepnuti") + n, 251, 67, 55, 21,
              QStringLiteral("rozepnutí"));
    makeControl(group, m, control(m.EZpoRoz1, m.Ezporoz2), 306, 67, 36);
    makeLabel(group, QStringLiteral("LabelRozepnutiS") + n, 344, 67, 8, 21, QStringLiteral("s"));

    makeLabel(group, QStringLiteral("LabelRezimRele") + n, 8, 91, 84, 21,
              QStringLiteral("Režim relé ") + n);
    makeControl(group, m, control(m.RezimRele1, m.RezimRele2), 92, 91, 110);
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
    connect(&model_, &MainWindowModel::focusRequested, this, [this](Control* control) {
        refresh(); // a control the check has just enabled can take the focus
        QtUserInterface::focusWidget(widgetOf(*control));
    });

    addShortcuts();
    // Removed again with the window.
    qApp->installEventFilter(new AltKeyGuard(this));
    connect(&model_, &MainWindowModel::configurationFileDone, this,
            [this](const QString& path, bool saved) {
                refresh(); // the loaded values are in the model, not yet in the fields
                markKept();
                SaveRecentConfigurations(withRecentFile(LoadRecentConfigurations(), path));
                showStatus((saved ? QStringLiteral("Konfigurace uložena do souboru %1")
                                  : QStringLiteral("Konfigurace načtena ze souboru %1"))
                               .arg(QFileInfo(path).fileName()));
            });

    slot_ = takeWindowSlot();
    centreOnScreen(this, slot_.index);

    FormCreate();
    refresh();
    markKept();
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
    const MainWindowModel& m = model_;
    const auto made = [this](const Control& control, QWidget* widget) {
        widgets_[&control] = widget;
    };
    const auto make = [&](const Control& control, int x, int y, int w, int h = -1) {
        QWidget* widget = makeControl(this, m, control, x, y, w, h);
        made(control, widget);
        return widget;
    };

    // Left: the configuration fields, one row each.
    makeBold(make(m.Konfigurace, 8, 4, 360, 20));

    constexpr int labelX = 8, labelW = 160, fieldX = 170, fieldW = 170, unitX = 344, unitW = 30;
    constexpr int top = 26, step = 26;
    int row = 0;
    const auto y = [&](int r) { return top + r * step; };
    // Room for two lines: the longer captions wrap.
    const auto rowLabel = [&](const Control& label) {
        return make(label, labelX, y(row) - 4, labelW, 29);
    };
    // A caption, a field and, where the row has one, the unit beside the field.
    const auto fieldRow = [&](const Control& label, const Control& field,
                              const Control* unit = nullptr) {
        rowLabel(label);
        make(field, fieldX, y(row), fieldW);
        if (unit)
            make(*unit, unitX, y(row), unitW, 21);
        ++row;
    };

    rowLabel(m.LabelVstup);
    // The 20 listed input types, a separator and the four otherwise typed: all in view.
    static_cast<QComboBox*>(make(m.Vstup, fieldX, y(row), fieldW + 20))
        ->setMaxVisibleItems(InputTypeCount + 1);
    ++row;
    fieldRow(m.LabelPripCidl, m.PripCidl);
    rowLabel(m.LabelLinearizace);
    QWidget* linearizace = make(m.Linearizace, fieldX, y(row), fieldW);
    auto* errorPlot = new QAction(QStringLiteral("Zobrazit chybu linearizace…"), linearizace);
    errorPlot->setObjectName(QStringLiteral("ChybaLinearizace"));
    linearizace->addAction(errorPlot);
    linearizace->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(errorPlot, &QAction::triggered, this, [this] {
        if (ChybaLinearizaceClick)
            ChybaLinearizaceClick();
    });
    ++row;
    fieldRow(m.LabelVolenaJednotka, m.VolenaJednotka);
    makeBold(make(m.Label4, labelX, y(row), 360, 21));
    ++row;
    fieldRow(m.LabelPocatek, m.Pocatek, &m.Label8);
    fieldRow(m.LabelKonec, m.Konec, &m.Label9);
    fieldRow(m.LabelTlumeni, m.Tlumeni, &m.LabelTlumeniUnit);
    fieldRow(m.LabelChybProud, m.ChybProud);
    fieldRow(m.LabelVzdStKon, m.VzdStKon);
    fieldRow(m.Label10, m.DelPomer, &m.Label11);
    fieldRow(m.Label31, m.SnOdpor, &m.Label32);
    fieldRow(m.LabelKorekcePV, m.korekcePV, &m.LabelKorekcePVUnit);
    fieldRow(m.Pcelkodpor, m.CelkovyOdpor, &m.Jcelkodpor);

    // The configuration file buttons.
    const int fileTop = y(row) + 6;
    makeBold(make(m.Label12, labelX, fileTop, 170, 20));
    make(m.Ulosoub, labelX, fileTop + 22, 84);
    make(m.ctisoub, labelX + 90, fileTop + 22, 84);
    // The files used last, one click away; the space is that of the hidden adjustment group.
    recent_ = new QToolButton(this);
    recent_->setObjectName(QStringLiteral("NedavneSoubory"));
    recent_->setArrowType(Qt::DownArrow);
    recent_->setToolTip(QStringLiteral("Naposledy použité konfigurace"));
    recent_->setPopupMode(QToolButton::InstantPopup);
    recent_->setGeometry(labelX + 176, fileTop + 22, 20, 25);
    auto* menu = new QMenu(recent_);
    recent_->setMenu(menu);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        menu->clear();
        const QStringList files = LoadRecentConfigurations();
        if (files.isEmpty())
            menu->addAction(QStringLiteral("(žádné)"))->setEnabled(false);
        for (const QString& file : files)
            menu->addAction(QDir::toNativeSeparators(file), this, [this, file] {
                runAction([this, file] {
                    if (model_.loadConfiguration(file)) // a failure has said what went wrong
                        emit model_.configurationFileDone(file, false);
                });
            });
    });

    // Zero and span adjustment; the program keeps the group hidden.
    make(m.Label18, 190, fileTop, 170, 20);
    make(m.S_Dolmez, 190, fileTop + 22, 84);
    make(m.S_Hormez, 280, fileTop + 22, 84);

    // Right: brand, main actions, comparators, user note.
    constexpr int rightX = 380;
    make(m.IMAGE1, rightX, 4, 160, 52);
    auto* label5 = static_cast<QLabel*>(make(m.Label5, rightX + 168, 4, 186, 52));
    label5->setWordWrap(true);
    QFont nameFont = label5->font();
    nameFont.setPixelSize(16);
    nameFont.setBold(true);
    label5->setFont(nameFont);
    auto* firma = make(m.Firma, rightX, 4, 200, 52);
    QFont brandFont = firma->font();
    brandFont.setPixelSize(24);
    brandFont.setBold(true);
    firma->setFont(brandFont);
    make(m.ButtonVE, rightX + 250, 4, 40, 22);
    make(m.ButtonKA, rightX + 294, 4, 40, 22);

    make(m.Poslat, rightX, 60, 176, 27);
    make(m.Precist, rightX + 178, 60, 176, 27);
    make(m.Button1, rightX, 90, 116);
    make(m.Mereni, rightX + 119, 90, 116);
    make(m.Informace, rightX + 238, 90, 116);

    buildComparator(this, m, 1, rightX, 120, made);
    buildComparator(this, m, 2, rightX, 238, made);

    auto* noteLabel = static_cast<QLabel*>(make(m.LabelUzPozn, rightX, 358, 200, 20));
    auto* note = static_cast<QLineEdit*>(make(m.EditUzPozn, rightX, 378, 354));
    noteLabel->setBuddy(note);
    note->setMaxLength(60);
    // A pasted control character would go to the transmitter and come back raw.
    note->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[^\\x{0}-\\x{1F}\\x{7F}-\\x{9F}]*")), note));
    make(m.Prec_Pozn, rightX, 403, 84);
    make(m.Uloz_Pozn, rightX + 90, 403, 84);

    // The read-back after a write: a preference of the person, not part of the configuration,
    // so no control of the editor model stands behind it.
    verifyWrite_ = new QCheckBox(QStringLiteral("Ověřit zápis"), this);
    verifyWrite_->setObjectName(QStringLiteral("OveritZapis"));
    verifyWrite_->setGeometry(rightX, 440, 190, 21);
    // The error plot also from a button: the field's context menu is found by few.
    auto* errorButton = new QPushButton(QStringLiteral("C&hyba linearizace"), this);
    errorButton->setObjectName(QStringLiteral("ChybaLinearizaceButton"));
    errorButton->setGeometry(rightX + 200, 438, 154, 25);
    connect(errorButton, &QPushButton::clicked, this, [this] {
        if (ChybaLinearizaceClick)
            ChybaLinearizaceClick();
    });

    // Bottom: progress, firmware, version.
    constexpr int bottom = 478;
    make(m.Label19, labelX, bottom, 50, 18);
    make(m.Prenos, 62, bottom + 1, 672, 16);
    make(m.PrenosByte, 62, bottom + 20, 672, 8);
    make(m.Label13, labelX, bottom + 33, 70, 20);
    make(m.Label14, labelX + 74, bottom + 33, 60, 20);
    zPocPrij_ = makeLabel(this, QStringLiteral("ZPocPrij"), 300, bottom + 33, 60, 20);
    zPocPrij_->hide();
    port_ = makeLabel(this, QStringLiteral("PortVUziti"), labelX + 140, bottom + 33, 156, 20);
    status_ = makeLabel(this, QStringLiteral("StavPrenosu"), 366, bottom + 33, 270, 20);
    auto* version = static_cast<QLabel*>(make(m.Label23, 640, bottom + 33, 94, 20));
    version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

QWidget* TForm1::widgetOf(const Control& control) const
{
    const auto found = widgets_.find(&control);
    return found == widgets_.end() ? nullptr : found->second;
}

void TForm1::runAction(const std::function<void()>& action)
{
    if (action && binder_.commitEditing(this))
        action();
}

bool TForm1::commitEditing()
{
    return binder_.commitEditing(this);
}

void TForm1::bindControls()
{
    MainWindowModel& m = model_;
    // Buttons that use what the fields show commit the field being edited first (runAction);
    // the others only open a window.
    const std::pair<const Control*, std::function<void()>> clicks[] = {
        {&m.Poslat, [this] { runAction(actions_.PoslatClick); }},
        {&m.Precist, [this] { runAction(actions_.PrecistClick); }},
        {&m.Preckomp1, [this] { runAction(actions_.Preckomp1Click); }},
        {&m.Ulozkomp1, [this] { runAction(actions_.Ulozkomp1Click); }},
        {&m.Preckomp2, [this] { runAction(actions_.Preckomp2Click); }},
        {&m.Ulozkomp2, [this] { runAction(actions_.Ulozkomp2Click); }},
        {&m.Prec_Pozn, [this] { runAction(actions_.Prec_PoznClick); }},
        {&m.Uloz_Pozn, [this] { runAction(actions_.Uloz_PoznClick); }},
        {&m.S_Dolmez, [this] { runAction(actions_.S_DolmezClick); }},
        {&m.S_Hormez, [this] { runAction(actions_.S_HormezClick); }},
        {&m.Ulosoub, [this] { runAction([this] { model_.UlosoubClick(); }); }},
        {&m.ctisoub, [this] { runAction([this] { model_.ctisoubClick(); }); }},
        {&m.Mereni, [this] { runAction(MereniClick); }},
        {&m.Button1,
         [this] {
             if (Button1Click)
                 Button1Click();
         }},
        {&m.Informace,
         [this] {
             if (InformaceClick)
                 InformaceClick();
         }},
        {&m.ButtonVE, [this] { ButtonVEClick(model_); }},
        {&m.ButtonKA, [this] { ButtonKAClick(model_); }},
    };

    for (const auto& [name, control, kind, exit] : model_.controls()) {
        if (kind == ControlKind::Window)
            continue; // the window's own caption: refresh() copies it
        QWidget* widget = widgetOf(*control);
        if (!widget) {
            qFatal("vtr8: control %s has no widget", qPrintable(name));
            std::abort();
        }
        Control* c = control;
        ControlBinder::Binding& b = binder_.bind(*c, widget);
        if (kind == ControlKind::ComboBox)
            b.edited = [this, c](const QString& text) { model_.userTyped(*c, text); };
        else
            b.edited = [this, c](const QString& text) { model_.userEdit(*c, text); };
        b.toggled = [this, c](bool checked) {
            c->checked = checked;
            model_.notifyChanged();
        };
        if (c == &m.Vstup)
            for (std::size_t i = VstupListCount; i < vstupOrder.size(); ++i)
                b.extraItems << inputTypeText(vstupOrder[i]);
        if (exit)
            b.left = [this, c] { return model_.commitField(*c); };
        for (const auto& [button, click] : clicks)
            if (button == c)
                b.clicked = click;
    }
}

void TForm1::addShortcuts()
{
    // The usual keys for the file buttons and the help, through the buttons themselves: a
    // disabled button does nothing and the field being edited is committed first.
    const std::pair<QKeySequence, const Control*> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_O), &model_.ctisoub},
        {QKeySequence(Qt::CTRL | Qt::Key_S), &model_.Ulosoub},
        {QKeySequence(Qt::Key_F1), &model_.Informace},
    };
    for (const auto& [sequence, control] : keys) {
        auto* shortcut = new QShortcut(sequence, this);
        auto* button = qobject_cast<QAbstractButton*>(widgetOf(*control));
        connect(shortcut, &QShortcut::activated, button, &QAbstractButton::click);
    }
}

bool TForm1::hasUnsavedEdits() const
{
    return model_.hasUnsavedEdits();
}

void TForm1::markKept()
{
    model_.markKept();
}

void TForm1::refresh()
{
    if (windowTitle() != model_.Caption.text)
        setWindowTitle(model_.Caption.text);
    binder_.refresh();
    // Limits entered for another input or range are marked until they are looked at again.
    for (const int number : {1, 2}) {
        const bool check = model_.comparatorLimitsToCheck(number);
        const bool first = number == 1;
        for (const Control* field : {first ? &model_.EMezsep1 : &model_.EMezsep2,
                                     first ? &model_.EMezroz1 : &model_.EMezroz2}) {
            QWidget* widget = widgetOf(*field);
            if (!widget || widget->property("limitToCheck").toBool() == check)
                continue;
            widget->setProperty("limitToCheck", check);
            widget->setStyleSheet(check ? QStringLiteral("QLineEdit { background: #ffe08a; }")
                                        : QString());
            widget->setToolTip(check ? ComparatorLimitToCheckText() : QString());
        }
    }
}

QString TForm1::ComparatorLimitToCheckText()
{
    return QStringLiteral("Vstup nebo měřicí rozsah se změnil: zkontrolujte mez komparátoru.");
}

void TForm1::setTransferRunning(bool running)
{
    if (running == transferRunning_)
        return;
    transferRunning_ = running;
    // Disabling the field that has the focus moves the focus on; it comes back afterwards.
    if (running)
        focusBeforeTransfer_ = focusWidget();
    binder_.setFrozen(running);
    verifyWrite_->setEnabled(!running);
    recent_->setEnabled(!running);
    if (!running && focusBeforeTransfer_ && focusBeforeTransfer_->isEnabled() &&
        focusBeforeTransfer_->isVisible())
        focusBeforeTransfer_->setFocus(Qt::OtherFocusReason);
}

void TForm1::showStatus(const QString& text)
{
    // One line of the fixed layout: a longer text is shortened with "…" where it would be cut,
    // and the whole of it is the label's tooltip.
    statusText_ = text;
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    status_->setText(status_->fontMetrics().elidedText(line, Qt::ElideRight, status_->width()));
    status_->setToolTip(status_->text() == line ? QString() : text);
}

void TForm1::showPort(const QString& name, const QString& device)
{
    const QString text = QStringLiteral("Port ") + name;
    port_->setText(port_->fontMetrics().elidedText(text, Qt::ElideRight, port_->width()));
    port_->setToolTip(device.isEmpty() || device == name
                          ? text
                          : text + QStringLiteral(" (") + device + QLatin1Char(')'));
}

QString TForm1::portText() const
{
    return port_->toolTip();
}

QString TForm1::statusText() const
{
    return statusText_;
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
