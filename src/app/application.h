#pragma once

#include "app/brand_profile.h"
#include "app/main_window_actions.h"
#include "linearization/point_set.h"

#include <QMessageBox>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace vtr8 {

class CommandProtocol;
class MainWindowModel;
class MeasurementModel;
class QtUserInterface;
class TableWindowModel;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class LinearizationErrorWindow;
class HistoryWindow;
class MessageLog;
class WindowHistory;
class UserInterface;
struct LinearizationWorkspace;
struct EditorTransferContext;

// The program's one set of windows and their shared data, alive for the whole
// run. start() creates the five windows in their fixed order; nothing is sent
// to the transmitter until the person asks for it.
class Vtr8Application {
public:
    // With no `ui` the program talks to the person through Qt dialogs; tests
    // pass a scripted one.
    explicit Vtr8Application(UserInterface* ui = nullptr);
    ~Vtr8Application();
    Vtr8Application(const Vtr8Application&) = delete;
    Vtr8Application& operator=(const Vtr8Application&) = delete;

    // Creates TForm1, TForm2, TForm3, TForm4 and TForm5, in that order.
    void start();
    // Shows the main window.
    void show();
    // Closes the serial port; the program's last act.
    void shutdown();

    // Class names of the windows in the order they were created.
    const QStringList& creationOrder() const { return creationOrder_; }

    UserInterface& ui() { return *ui_; }
    LinearizationPoints& points() { return points_; }
    LinearizationWorkspace& workspace() { return *workspace_; }
    CommandProtocol& protocol() { return *protocol_; }
    MainWindowModel& model() { return *model_; }
    TableWindowModel& tableModel() { return *tableModel_; }
    MeasurementModel& measurementModel() { return *measurement_; }
    EditorTransferContext& transferContext() { return *transfer_; }
    BrandState& brand() { return brand_; }
    MainWindowActions& actions() { return actions_; }

    TForm1* form1() const { return form1_.get(); }
    TForm2* form2() const { return form2_.get(); }
    TForm3* form3() const { return form3_.get(); }
    TForm4* form4() const { return form4_.get(); }
    TForm5* form5() const { return form5_.get(); }

    // The main window's buttons "Komunikace", "Měření" and "Informace".
    void Button1Click();
    void MereniClick();
    void InformaceClick();
    // The error plot of the configuration in the main window ("Linearizace", table window).
    void ChybaLinearizaceClick();
    LinearizationErrorWindow* errorWindow() const { return errorWindow_.get(); }
    // "Historie" (main window's context menu, Ctrl+H): the recorded transfers.
    void HistorieClick();
    // "Protokol" (context menu, Ctrl+P): the commissioning report as a PDF.
    void ProtokolClick();
    // "Kontrola měřením" (context menu, Ctrl+K): readings at reference inputs.
    void KontrolaClick();
    HistoryWindow* historyWindow() const { return historyWindow_.get(); }
    WindowHistory& history() { return *history_; }
    // Loads a configuration file (and a point file for "ze souboru") as "Přečíst" of
    // "Konfigurace ze souboru" would, for a file named on the command line.
    bool openAtStart(const QString& configuration, const QString& pointFile = {});

    // "Probíhá zápis konfigurace, program nelze nyní ukončit."
    static QString WriteRunningMessage();
    // Asked when the main window closes with edits kept nowhere; "Ano" closes.
    static QString UnsavedEditsQuestion();
    // Asked before a load replaces edits kept nowhere; "Ano" replaces them.
    static QString ReplaceEditsQuestion();
    // Added after the write's question: "\nPřevodník na portu COM3, firmware 14, poznámka …".
    static QString WriteTargetText(const QString& port, int firmware, const QString& note);

private:
    void raiseMainWindow();
    void wireTransfers();
    void wireSession();
    // Closing the main window: refused during a write; any other transfer is
    // abandoned at its next command boundary and the window closes after it.
    bool mayCloseMainWindow();
    // A refusal shown without stopping the transfer that runs.
    // Shows `text` in the status line and in a box that does not stop the work; the box, or
    // nullptr when messages go to a scripted interface.
    QMessageBox* notify(const QString& text);
    // The outcome of a completed transfer, with the time, in the main window.
    void reportDone(bool ok, const QString& what);
    // The main window's "Ověřit zápis" box: from and to the per-user store, into the transfers.
    void bindWriteVerification();

    std::unique_ptr<QtUserInterface> qtUi_;
    std::unique_ptr<MessageLog> messageLog_;
    std::unique_ptr<WindowHistory> history_;
    UserInterface* ui_;
    LinearizationPoints points_;
    std::unique_ptr<LinearizationWorkspace> workspace_;
    std::unique_ptr<CommandProtocol> protocol_;
    std::unique_ptr<MainWindowModel> model_;
    std::unique_ptr<TableWindowModel> tableModel_;
    std::unique_ptr<EditorTransferContext> transfer_;
    std::unique_ptr<MeasurementModel> measurement_;
    BrandState brand_;
    MainWindowActions actions_;

    QStringList creationOrder_;
    bool closeWhenIdle_ = false;
    // The box that says a write runs goes when the write ends.
    QPointer<QMessageBox> writeRunningBox_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm4> form4_;
    std::unique_ptr<TForm5> form5_;
    std::unique_ptr<LinearizationErrorWindow> errorWindow_;
    std::unique_ptr<HistoryWindow> historyWindow_;
};

} // namespace vtr8
