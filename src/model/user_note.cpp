#include "model/user_note.h"

#include "model/editor_feedback.h"
#include "model/editor_transfer_context.h"
#include "transfer/transfer_session.h"

namespace vtr8 {

bool zapis_uz_pozn(EditorTransferContext& ctx)
{
    return WriteNote(ctx, ctx.model.EditUzPozn.text);
}

bool cteni_uz_pozn(EditorTransferContext& ctx)
{
    const std::optional<QString> note = ReadNote(ctx);
    if (!note)
        return false;
    ctx.model.setText(ctx.model.EditUzPozn, *note);
    ctx.model.notifyChanged();
    return true;
}

bool Uloz_PoznClick(EditorTransferContext& ctx)
{
    TransferSession session(ctx.link);
    if (!session.active())
        return false;
    DisabledButton busy(ctx.model, ctx.model.Uloz_Pozn);
    SetPrenos(ctx.model, 0);
    ctx.state.NoteProgress = true;
    return zapis_uz_pozn(ctx);
}

bool Prec_PoznClick(EditorTransferContext& ctx)
{
    TransferSession session(ctx.link);
    if (!session.active())
        return false;
    DisabledButton busy(ctx.model, ctx.model.Prec_Pozn);
    SetPrenos(ctx.model, 0);
    ctx.state.NoteProgress = true;
    return cteni_uz_pozn(ctx);
}

} // namespace vtr8
