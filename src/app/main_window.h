#pragma once

#include "app/brand_profile.h"
#include "app/control_binder.h"
#include "app/main_window_actions.h"
#include "app/window_placement.h"
#include "link/link_indicators.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <map>

class QCheckBox;
class QLabel;
class QToolButton;

namespace vtr8 {

class MainWindowModel;

// The main window: the configuration editor. It owns no state of its own:
// every widget shows a control of the MainWindowModel and every edit, exit and
// click goes to the model's handler or to a transfer action.
class TForm1 : public QWidget, public LinkIndicators {
    Q_OBJECT
public:
    static constexpr int FormWidth = 742;
    static constexpr int FormHeight = 535;

    TForm1(MainWindowModel& model, BrandState& brand, MainWindowActions& actions,
           QWidget* parent = nullptr);
    ~TForm1() override;

    // Creation handler: divider ratio, brand profile, brand buttons.
    void FormCreate();

    // Opening the other windows (set by the application once they exist).
    std::function<void()> Button1Click;   // "Komunikace": port window, not modal
    std::function<void()> MereniClick;    // measurement window, modal
    std::function<void()> InformaceClick; // information window, modal
    // The context action of "Linearizace": the error plot of the configuration.
    std::function<void()> ChybaLinearizaceClick;

    // LinkIndicators: the progress of the current reply and the attempt label.
    void setPrenosByte(int value) override;
    void setZPocPrij(const QString& text) override;

    MainWindowModel& model() { return model_; }
    const ControlBinder& binder() const { return binder_; }
    // Copies the whole model into the widgets.
    void refresh();

    // While a transfer session runs, every field, list box, check box and button is disabled
    // whatever the model says, and leaving a field runs no check: nothing the person does can
    // change what the transfer sends.
    void setTransferRunning(bool running);
    bool transferRunning() const { return transferRunning_; }
    // Commits the field being edited through its exit check, as leaving it would; false when
    // the check refused it. Every button that uses what the fields show does this first.
    [[nodiscard]] bool commitEditing();
    // The widget that shows `control`.
    QWidget* widgetOf(const Control& control) const;
    // "Ověřit zápis": the read-back after a write, a preference outside the editor model.
    QCheckBox* verifyWriteBox() const { return verifyWrite_; }
    // The menu of the configuration files used last.
    QToolButton* recentFilesButton() const { return recent_; }
    // A line under the progress bar: the last transfer's outcome, or why a
    // request was refused. Never a modal box, so a running transfer goes on.
    void showStatus(const QString& text);
    // The port the next command goes to, on the status line ("Port COM3"); the
    // device it opens in the tooltip.
    void showPort(const QString& name, const QString& device);
    QString portText() const;
    QString statusText() const;

    // The tooltip of a comparator limit entered for another input or range.
    static QString ComparatorLimitToCheckText();

    // Asked when the person closes the window; false keeps it open.
    std::function<bool()> mayClose;

    // True when the configuration the fields give is neither in a file nor in the transmitter:
    // changed since the start, the last file saved or loaded, or the last read or write.
    bool hasUnsavedEdits() const;
    // What the fields show now is kept somewhere (saved, loaded, read or written).
    void markKept();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void bindControls();
    void runAction(const std::function<void()>& action);
    void addShortcuts();

    MainWindowModel& model_;
    BrandState& brand_;
    MainWindowActions& actions_;
    ControlBinder binder_;
    std::map<const Control*, QWidget*> widgets_;
    QCheckBox* verifyWrite_ = nullptr;
    QToolButton* recent_ = nullptr;
    QPointer<QWidget> focusBeforeTransfer_;
    QLabel* zPocPrij_ = nullptr;
    QLabel* status_ = nullptr;
    QString statusText_; // the whole status text, however it is shown
    QLabel* port_ = nullptr;
    bool transferRunning_ = false;
    // Another vtr8 already running keeps its place; this one opens beside it.
    WindowSlot slot_;
};

} // namespace vtr8
