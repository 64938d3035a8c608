#include "app/control_binder.h"

#include "model/choice_completion.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>

#include <cstdlib>

namespace vtr8 {

ControlBinder::ControlBinder(QObject* parent) : QObject(parent) {}

ControlBinder::Binding& ControlBinder::bind(Control& control, QWidget* widget)
{
    if (!widget) {
        qFatal("vtr8: a control is bound to no widget");
        std::abort();
    }
    const std::size_t index = bindings_.size();
    Binding binding;
    binding.control = &control;
    binding.widget = widget;
    bindings_.push_back(std::move(binding));

    // Every signal below is the person's doing: refresh() blocks the widget's
    // signals while it writes, and textEdited/clicked never fire for program
    // changes anyway.
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        connect(edit, &QLineEdit::textEdited, this, [this, index](const QString& text) {
            if (bindings_[index].edited)
                bindings_[index].edited(text);
        });
        edit->installEventFilter(this);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget); combo && !combo->isEditable()) {
        // The person's pick, by the list or by type-ahead; refresh() blocks the signal.
        connect(combo, &QComboBox::currentTextChanged, this, [this, index](const QString& text) {
            if (!refreshing() && bindings_[index].edited)
                bindings_[index].edited(text);
        });
        combo->installEventFilter(this);
    } else if (combo) {
        connect(combo, &QComboBox::editTextChanged, this, [this, index](const QString& text) {
            if (refreshing() || !bindings_[index].edited)
                return;
            bindings_[index].edited(text);
            showTaken(index, text);
        });
        combo->installEventFilter(this);
        if (combo->lineEdit())
            combo->lineEdit()->installEventFilter(this);
    } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
        connect(check, &QCheckBox::clicked, this, [this, index](bool checked) {
            if (bindings_[index].toggled)
                bindings_[index].toggled(checked);
        });
        check->installEventFilter(this);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this, [this, index] {
            if (bindings_[index].clicked)
                bindings_[index].clicked();
        });
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        bindings_[index].captionless = !label->pixmap().isNull();
    }
    return bindings_.back();
}

QWidget* ControlBinder::widgetOf(const Control& control) const
{
    for (const Binding& binding : bindings_)
        if (binding.control == &control)
            return binding.widget.data();
    return nullptr;
}

void ControlBinder::refresh()
{
    ++refreshing_;
    for (Binding& binding : bindings_)
        apply(binding);
    --refreshing_;
}

void ControlBinder::refresh(const Control& control)
{
    ++refreshing_;
    for (Binding& binding : bindings_)
        if (binding.control == &control)
            apply(binding);
    --refreshing_;
}

void ControlBinder::apply(Binding& binding)
{
    QWidget* widget = binding.widget.data();
    if (!widget)
        return;
    const Control& c = *binding.control;
    const QSignalBlocker blocker(widget);

    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (edit->text() != c.text)
            edit->setText(c.text);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        const bool extras = combo->isEditable() && !binding.extraItems.isEmpty();
        if (items != (extras ? c.items + QStringList{QString()} + binding.extraItems : c.items)) {
            combo->clear();
            combo->addItems(c.items);
            if (extras) {
                combo->insertSeparator(combo->count());
                combo->addItems(binding.extraItems);
            }
        }
        if (combo->isEditable()) {
            if (combo->currentText() != c.text)
                combo->setEditText(c.text);
        } else {
            combo->setCurrentIndex(c.items.indexOf(c.text));
        }
    } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
        if (check->text() != c.caption)
            check->setText(c.caption);
        check->setChecked(c.checked);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        if (button->text() != c.caption)
            button->setText(c.caption);
    } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
        bar->setValue(c.position);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (!binding.captionless && label->text() != c.caption)
            label->setText(c.caption);
    }

    // A window that is not on the screen would report every child as hidden;
    // what counts is the control's own flag.
    if (widget->isHidden() == c.visible)
        widget->setVisible(c.visible);
    const bool input = qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
                       qobject_cast<QAbstractButton*>(widget);
    const bool enabled = c.enabled && !(frozen_ && input);
    if (widget->isEnabled() != enabled)
        widget->setEnabled(enabled);
}

bool ControlBinder::commitEditing(const QWidget* window)
{
    const QWidget* focused = window ? window->focusWidget() : nullptr;
    bool passed = true;
    for (Binding& binding : bindings_) {
        QWidget* w = binding.widget.data();
        if (!w || !binding.left)
            continue;
        const bool editing = focused && (focused == w || w->isAncestorOf(focused));
        if (!binding.exitPending && !editing)
            continue;
        binding.exitPending = false; // the scheduled run finds nothing left to do
        passed = binding.left() && passed;
    }
    return passed;
}

void ControlBinder::setFrozen(bool frozen)
{
    frozen_ = frozen;
    if (frozen)
        for (Binding& binding : bindings_)
            binding.exitPending = false;
    refresh();
}

bool ControlBinder::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && !frozen_) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving for a message box, a drop-down list or another application is not leaving
        // the field, nor is a focus the program moves: a check that returns the focus to its
        // own field would otherwise run the check of the field the person had gone to, whose
        // check returns the focus again, and so on.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            reason != Qt::OtherFocusReason) {
            for (std::size_t i = 0; i < bindings_.size(); ++i) {
                QWidget* w = bindings_[i].widget.data();
                if (!w || !bindings_[i].left)
                    continue;
                if (watched == w || (qobject_cast<QComboBox*>(w) &&
                                     watched == qobject_cast<QComboBox*>(w)->lineEdit())) {
                    // Where the focus lands inside the same combo box is not an exit.
                    QWidget* now = QApplication::focusWidget();
                    if (now && (now == w || w->isAncestorOf(now)))
                        break;
                    scheduleExit(i);
                    break;
                }
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void ControlBinder::showTaken(std::size_t index, const QString& typed)
{
    // The model may have taken more than was typed (a completed item) or
    // refused the key: the box shows what it holds, with the part the person
    // did not type selected, so the next key replaces it.
    refresh(*bindings_[index].control);
    auto* combo = qobject_cast<QComboBox*>(bindings_[index].widget.data());
    const QString& taken = bindings_[index].control->text;
    if (!combo || !combo->lineEdit() || taken == typed)
        return;
    const qsizetype typedPart = commonPrefixLength(typed, taken);
    combo->lineEdit()->setSelection(int(typedPart), int(taken.size() - typedPart));
}

void ControlBinder::scheduleExit(std::size_t index)
{
    // The exit check runs once the focus has settled on its new control, so
    // a message box and a focus move back never interrupt the focus change.
    if (bindings_[index].exitPending)
        return;
    bindings_[index].exitPending = true;
    QTimer::singleShot(0, this, [this, index] {
        // Already run by commitEditing, or dropped when a transfer froze the window.
        if (!bindings_[index].exitPending)
            return;
        bindings_[index].exitPending = false;
        if (bindings_[index].left)
            (void)bindings_[index].left();
    });
}

} // namespace vtr8
