#include "transfer/note_transfer.h"

#include "device/memory_map.h"
#include "link/command_protocol.h"
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

namespace {

void showProgress(TransferContext& ctx, int position)
{
    if (ctx.state.NoteProgress && ctx.feedback.progress)
        ctx.feedback.progress(position);
}

} // namespace

bool WriteNote(TransferContext& ctx, const QString& text)
{
    if (const QString refusal = noteRefusal(text); !refusal.isEmpty()) {
        ctx.ui.message(refusal);
        return false;
    }
    const NoteEncoding encoding = encodeNote(text);
    constexpr int Blocks = eeprom::UserNoteLength / eeprom::UserNoteWriteBlock;
    static constexpr int Progress[Blocks] = {33, 67, 100};
    for (int block = 0; block < Blocks; ++block) {
        const auto address =
            static_cast<std::uint16_t>(eeprom::UserNote + block * eeprom::UserNoteWriteBlock);
        const std::span<const std::uint8_t> bytes(
            encoding.bytes.data() + block * eeprom::UserNoteWriteBlock,
            static_cast<std::size_t>(eeprom::UserNoteWriteBlock));
        if (!WriteBlock(ctx.link, address, bytes)) {
            // The blocks before this one hold the new note, the rest the old one.
            if (block > 0)
                ctx.ui.message(PartialNoteWriteMessage());
            return false;
        }
        showProgress(ctx, Progress[block]);
    }
    return true;
}

QString PartialNoteWriteMessage()
{
    return QStringLiteral("Uživatelská poznámka byla zapsána jen zčásti, převodník má nyní "
                          "část nové a část staré poznámky. Zapište poznámku znovu.");
}

std::optional<QString> ReadNote(TransferContext& ctx)
{
    constexpr int Blocks = eeprom::UserNoteLength / eeprom::UserNoteReadBlock;
    static constexpr int Progress[Blocks] = {25, 50, 75, 100};
    NoteBytes bytes{};
    for (int block = 0; block < Blocks; ++block) {
        const auto address =
            static_cast<std::uint16_t>(eeprom::UserNote + block * eeprom::UserNoteReadBlock);
        if (!ReadBlock(ctx.link, address, eeprom::UserNoteReadBlock))
            return std::nullopt;
        showProgress(ctx, Progress[block]);
        for (int i = 0; i < eeprom::UserNoteReadBlock; ++i) {
            bytes[static_cast<std::size_t>(block * eeprom::UserNoteReadBlock + i)] =
                ReplyDataByte(ctx.link, i);
        }
    }
    return decodeNote(bytes.data(), NoteLength);
}

} // namespace vtr8
