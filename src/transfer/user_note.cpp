#include "transfer/user_note.h"

#include "device/memory_map.h"
#include "link/command_protocol.h"
#include "transfer/note_codec.h"
#include "transfer/sequence_support.h"
#include "transfer/transfer_session.h"
#include "transfer/transfer_context.h"

namespace vtr8 {

bool zapis_uz_pozn(TransferContext& ctx)
{
    const NoteEncoding encoding = encodeNote(ctx.model.EditUzPozn.text);
    if (!encoding.ok()) {
        ctx.ui.message(unmappableNoteMessage(encoding.unmappable));
        return false;
    }
    constexpr int Blocks = eeprom::UserNoteLength / eeprom::UserNoteWriteBlock;
    static constexpr int Progress[Blocks] = {33, 67, 100};
    for (int block = 0; block < Blocks; ++block) {
        for (int i = 0; i < eeprom::UserNoteWriteBlock; ++i) {
            ctx.link.TransferBuffer[static_cast<std::size_t>(1 + i)] =
                encoding.bytes[static_cast<std::size_t>(block * eeprom::UserNoteWriteBlock + i)];
        }
        const auto address =
            static_cast<std::uint16_t>(eeprom::UserNote + block * eeprom::UserNoteWriteBlock);
        if (!WriteBlock(ctx.link, address, eeprom::UserNoteWriteBlock))
            return false;
        if (ctx.state.NoteProgress)
            SetPrenos(ctx.model, Progress[block]);
    }
    return true;
}

bool cteni_uz_pozn(TransferContext& ctx)
{
    constexpr int Blocks = eeprom::UserNoteLength / eeprom::UserNoteReadBlock;
    static constexpr int Progress[Blocks] = {25, 50, 75, 100};
    NoteBytes bytes{};
    for (int block = 0; block < Blocks; ++block) {
        const auto address =
            static_cast<std::uint16_t>(eeprom::UserNote + block * eeprom::UserNoteReadBlock);
        if (!ReadBlock(ctx.link, address, eeprom::UserNoteReadBlock))
            return false;
        if (ctx.state.NoteProgress)
            SetPrenos(ctx.model, Progress[block]);
        for (int i = 0; i < eeprom::UserNoteReadBlock; ++i) {
            bytes[static_cast<std::size_t>(block * eeprom::UserNoteReadBlock + i)] =
                ctx.link.ReplyData[static_cast<std::size_t>(3 + i)];
        }
    }
    ctx.model.setText(ctx.model.EditUzPozn, decodeNote(bytes.data(), NoteLength));
    ctx.model.notifyChanged();
    return true;
}

bool Uloz_PoznClick(TransferContext& ctx)
{
    TransferSession session(ctx.link);
    if (!session.active())
        return false;
    DisabledButton busy(ctx.model, ctx.model.Uloz_Pozn);
    SetPrenos(ctx.model, 0);
    ctx.state.NoteProgress = true;
    return zapis_uz_pozn(ctx);
}

bool Prec_PoznClick(TransferContext& ctx)
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
