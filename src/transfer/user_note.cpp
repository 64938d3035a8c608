#include "transfer/user_note.h"

#include "device/memory_map.h"
#include "link/command_protocol.h"
#include "transfer/editor_feedback.h"
#include "transfer/note_codec.h"
#include "transfer/sequence_support.h"
#include "transfer/transfer_context.h"
#include "transfer/transfer_session.h"

namespace vtr8 {

QString noteRefusal(const QString& text)
{
    const auto characters = text.toUcs4();
    if (characters.size() > NoteLength)
        return QStringLiteral("Uživatelská poznámka má %1 znaků, převodník uloží nejvýše %2. "
                              "Poznámka nebyla zapsána.")
            .arg(characters.size())
            .arg(NoteLength);
    for (const char32_t c : characters) {
        if (QChar::category(c) == QChar::Other_Control)
            return QStringLiteral("Uživatelská poznámka obsahuje řídicí znak U+%1, ten do "
                                  "převodníku zapsat nelze. Poznámka nebyla zapsána.")
                .arg(QString::number(c, 16).toUpper().rightJustified(4, QLatin1Char('0')));
    }
    const NoteEncoding encoding = encodeNote(text);
    return encoding.ok() ? QString() : unmappableNoteMessage(encoding.unmappable);
}

bool zapis_uz_pozn(TransferContext& ctx)
{
    if (const QString refusal = noteRefusal(ctx.model.EditUzPozn.text); !refusal.isEmpty()) {
        ctx.ui.message(refusal);
        return false;
    }
    const NoteEncoding encoding = encodeNote(ctx.model.EditUzPozn.text);
    constexpr int Blocks = eeprom::UserNoteLength / eeprom::UserNoteWriteBlock;
    static constexpr int Progress[Blocks] = {33, 67, 100};
    for (int block = 0; block < Blocks; ++block) {
        const auto address =
            static_cast<std::uint16_t>(eeprom::UserNote + block * eeprom::UserNoteWriteBlock);
        const std::span<const std::uint8_t> bytes(
            encoding.bytes.data() + block * eeprom::UserNoteWriteBlock,
            static_cast<std::size_t>(eeprom::UserNoteWriteBlock));
        if (!WriteBlock(ctx.link, address, bytes))
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
                ReplyDataByte(ctx.link, i);
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
