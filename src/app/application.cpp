#include "app/application.h"

#include "app/information_window.h"
#include "app/main_window.h"
#include "app/measurement_window.h"
#include "app/port_window.h"
#include "app/qt_user_interface.h"
#include "app/table_window.h"
#include "app/write_verification_setting.h"
#include "configuration/number_format.h"
#include "linearization/workspace.h"
#include "link/command_protocol.h"
#include "model/editor_feedback.h"
#include "model/editor_transfer_context.h"
#include "model/main_window_model.h"
#include "model/measurement_input.h"
#include "model/table_window_model.h"

#include <QCheckBox>
#include <QDir>
#include <QInputDialog>
#include <QLineEdit>

#include <QMessageBox>
#include <QTime>
#include <QTimer>

#include "app/error_plot_window.h"
#include "app/history_window.h"
#include "app/message_log.h"
#include "app/window_history.h"
#include "app/window_placement.h"
#include "model/comparators.h"
#include "model/editor_read.h"
#include "model/linearization_error.h"
#include "model/user_note.h"
#include "model/zero_span.h"
#include "report/reference_check.h"
#include "transfer/link_failure_report.h"
#include "transfer/write_configuration.h"

namespace vtr8 {

Vtr8Application::Vtr8Application(UserInterface* ui)
{
    if (!ui) {
        qtUi_ = std::make_unique<QtUserInterface>();
        ui = qtUi_.get();
    }
    // Every message passes the log, so that the record of a transfer holds what was said.
    messageLog_ = std::make_unique<MessageLog>(*ui);
    ui_ = messageLog_.get();
    workspace_ = std::make_unique<LinearizationWorkspace>(
        points_, [this](const std::string& text) { ui_->message(QString::fromStdString(text)); });
    workspace_->DecimalSeparator = localeDecimalSeparator().toLatin1();
    protocol_ = std::make_unique<CommandProtocol>();
    model_ = std::make_unique<MainWindowModel>(*ui_, points_);
    tableModel_ = std::make_unique<TableWindowModel>(*model_);
    transfer_ =
        std::make_unique<EditorTransferContext>(*model_, *protocol_, *ui_, points_, *workspace_);
    measurement_ = std::make_unique<MeasurementModel>(*protocol_, editorInputChoice(*model_));
    // What a long transfer is doing right now (writing, verifying) stands in the status line.
    transfer_->feedback.stage = [this](const QString& text) {
        if (form1_)
            form1_->showStatus(text);
    };
    // The write's question says which transmitter the configuration goes to.
    transfer_->feedback.writeTarget = [this](int firmware) {
        return WriteTargetText(form2_ ? form2_->portInUse() : QString(), firmware,
                               model_->EditUzPozn.text);
    };
    // A load never replaces edits kept nowhere without asking; "Ne" keeps them.
    model_->mayReplaceEdits = [this] {
        return !model_->hasUnsavedEdits() || ui_->confirmDiscard(ReplaceEditsQuestion());
    };
    wireTransfers();
    history_ = std::make_unique<WindowHistory>(*transfer_, *messageLog_, *ui_);
    history_->wrap(actions_);
}

Vtr8Application::~Vtr8Application()
{
    // Windows first: they refer to the models.
    protocol_->setIndicators(nullptr);
    historyWindow_.reset();
    errorWindow_.reset();
    form5_.reset();
    form4_.reset();
    form3_.reset();
    form2_.reset();
    form1_.reset();
}

void Vtr8Application::start()
{
    form1_ = std::make_unique<TForm1>(*model_, brand_, actions_);
    creationOrder_ << QStringLiteral("TForm1");
    protocol_->setIndicators(form1_.get());
    if (qtUi_)
        qtUi_->setMainWindow(form1_.get());
    bindWriteVerification();
    form1_->Button1Click = [this] { Button1Click(); };
    form1_->MereniClick = [this] { MereniClick(); };
    form1_->InformaceClick = [this] { InformaceClick(); };
    form1_->ChybaLinearizaceClick = [this] { ChybaLinearizaceClick(); };
    wireSession();

    form2_ = std::make_unique<TForm2>(*protocol_);
    creationOrder_ << QStringLiteral("TForm2");
    form2_->raiseMainWindow = [this] { raiseMainWindow(); };
    form2_->portChanged = [this] { form1_->showPort(form2_->portInUse(), form2_->deviceInUse()); };
    form2_->portChanged();

    form3_ = std::make_unique<TForm3>(*measurement_);
    form3_->setUserInterface(ui_);
    creationOrder_ << QStringLiteral("TForm3");

    form4_ = std::make_unique<TForm4>(*tableModel_);
    creationOrder_ << QStringLiteral("TForm4");
    tableModel_->raiseMainWindow = [this] { raiseMainWindow(); };
    form4_->centreOver = form1_.get();
    form4_->ChybaLinearizaceClick = [this] { ChybaLinearizaceClick(); };

    form5_ = std::make_unique<TForm5>(brand_);
    creationOrder_ << QStringLiteral("TForm5");
    addHistoryActions(
        *form1_, [this] { HistorieClick(); }, [this] { ProtokolClick(); },
        [this] { KontrolaClick(); });
}

void Vtr8Application::KontrolaClick()
{
    bool ok = false;
    const QChar separator = localeDecimalSeparator();
    const QString text = QInputDialog::getText(form1_.get(), QtUserInterface::boxTitle(),
                                               checkPointsPrompt(separator), QLineEdit::Normal,
                                               checkPointsDefault(separator), &ok);
    if (!ok)
        return;
    const std::optional<QList<double>> points = parseCheckPointsText(text, separator);
    if (!points) {
        ui_->message(QStringLiteral("Zadejte body v % rozsahu od -10 do 110, například ") +
                     checkPointsDefault(separator) + QLatin1Char('.'));
        return;
    }
    history_->runCheck(*points);
}

void Vtr8Application::ProtokolClick()
{
    const QString saved = history_->saveReport();
    if (!saved.isEmpty() && form1_)
        form1_->showStatus(QStringLiteral("Protokol uložen: ") + QDir::toNativeSeparators(saved));
}

void Vtr8Application::HistorieClick()
{
    if (!historyWindow_) {
        historyWindow_ = std::make_unique<HistoryWindow>(history_->store(), *model_, *ui_);
        historyWindow_->raiseEditor = [this] { raiseMainWindow(); };
    }
    historyWindow_->refresh();
    historyWindow_->show();
    historyWindow_->raise();
    historyWindow_->activateWindow();
}

void Vtr8Application::show()
{
    if (form1_)
        form1_->show();
}

void Vtr8Application::shutdown()
{
    protocol_->closePort();
}

void Vtr8Application::raiseMainWindow()
{
    if (!form1_)
        return;
    form1_->raise();
    form1_->activateWindow();
}

void Vtr8Application::Button1Click()
{
    form2_->show();
    form2_->raise();
    form2_->activateWindow();
}

void Vtr8Application::MereniClick()
{
    form3_->MereniClick();
}

void Vtr8Application::InformaceClick()
{
    form5_->exec();
}

void Vtr8Application::bindWriteVerification()
{
    QCheckBox* check = form1_->verifyWriteBox();
    transfer_->readBackWrites = LoadWriteVerification();
    check->setChecked(transfer_->readBackWrites);
    QObject::connect(check, &QCheckBox::toggled, check, [this](bool on) {
        transfer_->readBackWrites = on;
        SaveWriteVerification(on);
    });
}

void Vtr8Application::ChybaLinearizaceClick()
{
    // The plot is of what the fields show: the field being edited is committed first.
    if (form1_ && !form1_->commitEditing())
        return;
    const TransferState& state = transfer_->state;
    // Before any transmitter was identified the plot assumes current firmware (segments).
    const bool identified = state.FirmwareNumber != 0 || state.OldFirmware;
    QString why;
    const auto request = LinearizationErrorRequestFor(*model_, points_, state.OldFirmware, why);
    if (!request) {
        ui_->message(why);
        return;
    }
    LinearizationErrorRequest r = *request;
    if (r.linearization == Linearization::FromFile && tableModel_->shown) {
        // From the open table window: the method and degree it shows, not yet confirmed.
        r.pointMethod = tableModel_->Zpus_lin.itemIndex == 1 ? PointFitMethod::StraightLines
                                                             : PointFitMethod::Polynomial;
        const Control& degree = tableModel_->stup_p;
        r.pointDegree =
            (degree.text.isEmpty() ? degree.items.value(degree.itemIndex) : degree.text).toInt();
    }
    if (!errorWindow_)
        errorWindow_ = std::make_unique<LinearizationErrorWindow>(*ui_);
    const QString note =
        identified ? QString()
                   : QStringLiteral("Převodník zatím nebyl přečten: výpočet platí pro firmware "
                                    "s lineárními úseky (ne 12).");
    if (errorWindow_->showFor(r, note))
        centreOn(errorWindow_.get(), form1_.get());
}

bool Vtr8Application::openAtStart(const QString& configuration, const QString& pointFile)
{
    // The point-file dialog the loader opens for "ze souboru" gets this answer.
    if (!pointFile.isEmpty() && qtUi_)
        qtUi_->setNextOpenFile(pointFile);
    const bool loaded = model_->loadConfiguration(configuration).loaded;
    if (qtUi_)
        qtUi_->setNextOpenFile({});
    if (loaded && form1_)
        form1_->markKept();
    return loaded;
}

void Vtr8Application::wireTransfers()
{
    // Each sequence tells the person what went wrong; a success is said in the
    // main window's status line, without a box to acknowledge.
    EditorTransferContext& ctx = *transfer_;
    const auto act = [this, &ctx](bool (*sequence)(EditorTransferContext&), const QString& done) {
        return [this, &ctx, sequence, done] { reportDone(sequence(ctx), done); };
    };
    // After a whole configuration went to or came from the transmitter, the fields are kept
    // there: closing the window loses nothing.
    const auto whole = [this](bool ok, const QString& done) {
        if (ok && form1_)
            form1_->markKept();
        reportDone(ok, done);
    };
    actions_.PoslatClick = [this, whole, &ctx] {
        if (const auto configuration = model_->configurationForTransfer()) {
            const bool verified = ctx.readBackWrites;
            const bool ok = WriteConfiguration(ctx, *configuration);
            whole(ok, verified ? QStringLiteral("Konfigurace zapsána a ověřena")
                               : QStringLiteral("Konfigurace zapsána"));
            // A failure stays in the status line (its box is gone once acknowledged) and the
            // progress bar does not pretend that part of the write is done.
            if (!ok) {
                SetPrenos(*model_, 0);
                if (form1_ && !messageLog_->shown.isEmpty())
                    form1_->showStatus(messageLog_->shown.constLast() + QLatin1Char(' ') +
                                       QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
            }
        }
    };
    actions_.PrecistClick = [this, whole, &ctx] {
        const bool ok = PrecistClick(ctx);
        // A blank transmitter was read to the end, but nothing was read that the fields keep.
        if (ok && !ctx.state.ValidConfiguration) {
            history_->setOutcome(true); // the history keeps it without this unit's note
            if (form1_)
                form1_->showStatus(QStringLiteral("Převodník neobsahuje platnou konfiguraci ") +
                                   QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
            return;
        }
        whole(ok, QStringLiteral("Konfigurace přečtena"));
    };
    // Limits read or stored stand for the range shown; a store of limits entered for another
    // input or range, or outside the range, asks first.
    const auto comparator = [this, &ctx](int number, bool store,
                                         bool (*sequence)(EditorTransferContext&),
                                         const QString& done) {
        return [this, &ctx, number, store, sequence, done] {
            if (store && !ctx.link.session().active()) {
                const QString question = model_->comparatorStoreQuestion(number);
                if (!question.isEmpty() && !ui_->confirmDiscard(question))
                    return;
            }
            const bool ok = sequence(ctx);
            if (ok)
                model_->acknowledgeComparatorLimits(number);
            reportDone(ok, done);
            model_->notifyChanged();
        };
    };
    actions_.Preckomp1Click =
        comparator(1, false, Preckomp1Click, QStringLiteral("Komparátor 1 přečten"));
    actions_.Ulozkomp1Click =
        comparator(1, true, Ulozkomp1Click, QStringLiteral("Komparátor 1 uložen"));
    actions_.Preckomp2Click =
        comparator(2, false, Preckomp2Click, QStringLiteral("Komparátor 2 přečten"));
    actions_.Ulozkomp2Click =
        comparator(2, true, Ulozkomp2Click, QStringLiteral("Komparátor 2 uložen"));
    actions_.Prec_PoznClick = act(Prec_PoznClick, QStringLiteral("Poznámka přečtena"));
    actions_.Uloz_PoznClick = act(Uloz_PoznClick, QStringLiteral("Poznámka uložena"));
    actions_.S_DolmezClick = act(S_DolmezClick, QStringLiteral("Dolní mez nastavena"));
    actions_.S_HormezClick = act(S_HormezClick, QStringLiteral("Horní mez nastavena"));
}

void Vtr8Application::reportDone(bool ok, const QString& what)
{
    history_->setOutcome(ok);
    if (ok && form1_)
        form1_->showStatus(what + QLatin1Char(' ') +
                           QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

QString Vtr8Application::UnsavedEditsQuestion()
{
    return QStringLiteral("Změny konfigurace nejsou uloženy do souboru ani zapsány do "
                          "převodníku. Ukončit program a změny zahodit?");
}

QString Vtr8Application::ReplaceEditsQuestion()
{
    return QStringLiteral("Změny konfigurace nejsou uloženy do souboru ani zapsány do "
                          "převodníku. Nahradit je jinou konfigurací a změny zahodit?");
}

QString Vtr8Application::WriteTargetText(const QString& port, int firmware, const QString& note)
{
    const QString trimmed = note.trimmed();
    return QStringLiteral("\nPřevodník na portu %1, firmware %2, %3.")
        .arg(port, QString::number(firmware),
             trimmed.isEmpty() ? QStringLiteral("poznámka v editoru prázdná")
                               : QStringLiteral("poznámka v editoru „%1“").arg(trimmed));
}

QString Vtr8Application::WriteRunningMessage()
{
    return QStringLiteral("Probíhá zápis konfigurace, program nelze nyní ukončit.");
}

void Vtr8Application::wireSession()
{
    QObject::connect(&protocol_->session(), &PortSession::changed, form1_.get(),
                     [this](bool active) {
                         if (active)
                             form1_->showStatus(QString());
                         form1_->setTransferRunning(active);
                         // The port and the point-file choice are inputs of the session too.
                         if (form2_)
                             form2_->setEnabled(!active);
                         if (form4_)
                             form4_->setEnabled(!active);
                         if (!active && writeRunningBox_)
                             writeRunningBox_->close();
                         if (!active && closeWhenIdle_)
                             QTimer::singleShot(0, form1_.get(), [this] { form1_->close(); });
                     });
    form1_->mayClose = [this] { return mayCloseMainWindow(); };
    // The port is named as the person chose it, with the device it opens where that helps.
    protocol_->setFailureReporter([this](const LinkFailure& failure) {
        LinkFailure shown = failure;
        if (form2_ && !shown.portName.isEmpty())
            shown.portName = TForm2::portLabel(form2_->portInUse(), form2_->deviceInUse());
        const QString text = LinkFailureMessage(shown);
        if (text.isEmpty())
            return;
        if (IsLinkRefusal(shown))
            notify(text);
        else
            ui_->message(text);
    });
}

bool Vtr8Application::mayCloseMainWindow()
{
    if (!protocol_->session().active())
        return !form1_->hasUnsavedEdits() || ui_->confirmDiscard(UnsavedEditsQuestion());
    if (protocol_->session().isProtected()) {
        if (!writeRunningBox_)
            writeRunningBox_ = notify(WriteRunningMessage());
        return false;
    }
    protocol_->session().requestAbandon();
    closeWhenIdle_ = true;
    return false;
}

QMessageBox* Vtr8Application::notify(const QString& text)
{
    if (form1_)
        form1_->showStatus(text);
    if (!qtUi_ || !form1_) {
        ui_->message(text);
        return nullptr;
    }
    auto* box = new QMessageBox(QMessageBox::Information, QtUserInterface::boxTitle(), text,
                                QMessageBox::Ok, form1_.get());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
    return box;
}

} // namespace vtr8
