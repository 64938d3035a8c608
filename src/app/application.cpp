#include "application.h"

#include "command_protocol.h"
#include "form1.h"
#include "form2.h"
#include "form4.h"
#include "form5.h"
#include "main_window_model.h"
#include "qt_user_interface.h"
#include "table_window_model.h"
#include "transfer_context.h"
#include "workspace.h"

#include <QLabel>

namespace vtr8 {

Vtr8Application::Vtr8Application(UserInterface* ui)
{
    if (!ui) {
        qtUi_ = std::make_unique<QtUserInterface>();
        ui = qtUi_.get();
    }
    ui_ = ui;
    workspace_ = std::make_unique<LinearizationWorkspace>(
        points_, [this](const std::string& text) { ui_->message(QString::fromStdString(text)); });
    protocol_ = std::make_unique<CommandProtocol>(*ui_);
    model_ = std::make_unique<MainWindowModel>(*ui_, points_);
    tableModel_ = std::make_unique<TableWindowModel>(*model_);
    transfer_ = std::make_unique<TransferContext>(*model_, *protocol_, *ui_, points_, *workspace_);
    wireTransfers();
}

Vtr8Application::~Vtr8Application()
{
    // Windows first: they refer to the models.
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
    form1_->Button1Click = [this] { Button1Click(); };
    form1_->MereniClick = [this] { MereniClick(); };
    form1_->InformaceClick = [this] { InformaceClick(); };

    form2_ = std::make_unique<TForm2>(*protocol_);
    creationOrder_ << QStringLiteral("TForm2");
    form2_->raiseMainWindow = [this] { raiseMainWindow(); };

    // The measurement window's content is its own; the program creates it here.
    auto measurement = std::make_unique<QDialog>();
    measurement->setObjectName(QStringLiteral("Form3"));
    measurement->setWindowTitle(QStringLiteral("Měření"));
    form3_ = std::move(measurement);
    creationOrder_ << QStringLiteral("TForm3");

    form4_ = std::make_unique<TForm4>(*tableModel_);
    creationOrder_ << QStringLiteral("TForm4");
    tableModel_->raiseMainWindow = [this] { raiseMainWindow(); };

    form5_ = std::make_unique<TForm5>(brand_);
    creationOrder_ << QStringLiteral("TForm5");
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
    form3_->exec();
}

void Vtr8Application::InformaceClick()
{
    form5_->exec();
}

void Vtr8Application::wireTransfers()
{
    // Filled in transfer_actions.cpp once the sequences are linked.
}

}  // namespace vtr8
