#include "transfer/editor_feedback.h"

#include "transfer/transfer_context.h"

namespace vtr8 {

DisabledButton::DisabledButton(MainWindowModel& model, Control& button)
    : model_(model), button_(button)
{
    button_.enabled = false;
    model_.notifyChanged();
}

DisabledButton::~DisabledButton()
{
    button_.enabled = true;
    model_.notifyChanged();
}

TransferContext::TransferContext(MainWindowModel& model_, CommandProtocol& link_,
                                 UserInterface& ui_, LinearizationPoints& points_,
                                 LinearizationWorkspace& workspace_)
    : model(model_), link(link_), ui(ui_), points(points_), workspace(workspace_)
{
    MainWindowModel& m = model_;
    feedback.progress = [&m](int position) { SetPrenos(m, position); };
    feedback.firmwareShown = [&m](int number) {
        m.Label14.caption = QString::number(number);
        m.notifyChanged();
    };
    feedback.writing = [&m](bool running) {
        m.Poslat.enabled = !running;
        m.notifyChanged();
    };
}

void SetPrenos(MainWindowModel& model, int position)
{
    model.Prenos.position = position;
    model.notifyChanged();
}

} // namespace vtr8
