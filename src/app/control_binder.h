#pragma once

#include "model/control.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

namespace vtr8 {

// Copies model controls into their widgets and reports what the person does
// with them. A widget never keeps state of its own: after every model change
// the window calls refresh(), which writes text, list, check mark, position,
// visibility and enabled state from the Control.
//
// The person's edits arrive through the callbacks: edited(text) for edit
// fields and combo boxes, toggled(checked) for check boxes, clicked() for
// buttons, left() when the focus leaves the control for another control of
// the program (not when a message box or another application takes it).
class ControlBinder : public QObject {
    Q_OBJECT
public:
    struct Binding {
        Control* control = nullptr;
        QPointer<QWidget> widget;
        // Labels showing a picture keep it; their caption is not copied.
        bool captionless = false;
        // An editable combo box offers these after a separator, past its control's own list;
        // picking one is typing it.
        QStringList extraItems;
        std::function<void(const QString&)> edited;
        std::function<void(bool)> toggled;
        std::function<void()> clicked;
        // The exit check; false when it refused the field's text.
        std::function<bool()> left;
        bool exitPending = false;
    };

    explicit ControlBinder(QObject* parent = nullptr);

    // Binds `control` to `widget` (QLineEdit, QComboBox, QCheckBox,
    // QAbstractButton, QProgressBar or QLabel) and connects the person's side.
    // A missing widget is a fault of the window's construction and ends the program.
    Binding& bind(Control& control, QWidget* widget);
    // The widget bound to `control`, or nullptr.
    QWidget* widgetOf(const Control& control) const;

    void refresh();
    // Copies one control only (for the progress bars during a transfer).
    void refresh(const Control& control);

    // True while refresh() writes into widgets.
    bool refreshing() const { return refreshing_ > 0; }

    // Runs, now, the exit check of the field the person is editing in `window` (its focus
    // widget, or a field just left whose check still waits for the focus to settle), exactly
    // as leaving it would. False when a check refused its text.
    [[nodiscard]] bool commitEditing(const QWidget* window);

    // While frozen (a transfer session runs) every input widget is disabled whatever its
    // control says, and no exit check runs: a focus that leaves a field is no exit.
    void setFrozen(bool frozen);
    bool frozen() const { return frozen_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply(Binding& binding);
    void scheduleExit(std::size_t index);
    void showTaken(std::size_t index, const QString& typed);

    std::vector<Binding> bindings_;
    int refreshing_ = 0;
    bool frozen_ = false;
};

} // namespace vtr8
