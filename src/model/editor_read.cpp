#include "model/editor_read.h"

#include "model/editor_feedback.h"
#include "model/editor_transfer_context.h"
#include "transfer/read_configuration.h"
#include "transfer/transfer_session.h"

namespace vtr8 {

bool PrecistClick(EditorTransferContext& ctx)
{
    TransferSession session(ctx.link);
    if (!session.active())
        return false;
    MainWindowModel& m = ctx.model;
    DisabledButton busy(m, m.Precist);
    const std::optional<ConfigurationRead> read = ReadConfiguration(ctx, m.Input);
    if (!read)
        return false;
    if (read->configuration) {
        m.applyReadConfiguration(*read->configuration);
        m.setText(m.EditUzPozn, read->note);
        m.notifyChanged();
    }
    return true;
}

} // namespace vtr8
