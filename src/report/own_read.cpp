#include "report/own_read.h"

#include "configuration/number_format.h"
#include "user_interface/user_interface.h"

namespace vtr8 {

OwnRead::OwnRead(EditorTransferContext& outer)
    : workspace_(
          points_,
          [&ui = outer.ui](const std::string& text) { ui.message(QString::fromStdString(text)); }),
      model_(outer.ui, points_), ctx_(model_, outer.link, outer.ui, points_, workspace_)
{
    workspace_.DecimalSeparator = localeDecimalSeparator().toLatin1();
    ctx_.state = outer.state;
    ctx_.feedback = outer.feedback;
}

} // namespace vtr8
