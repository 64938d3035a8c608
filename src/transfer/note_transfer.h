#pragma once

#include <QString>

#include <optional>

namespace vtr8 {

struct TransferContext;

// Why the note cannot go to the transmitter as it is: more than 60 characters
// (the field would lose the rest), a control character (the transmitter would
// store it and every later read would echo it raw), or a character
// Windows-1250 cannot hold. Empty when it can.
QString noteRefusal(const QString& text);

// Writes the note as three blocks of 20 bytes at 512, 532 and 552. A note noteRefusal
// refuses is reported and nothing is sent. True when all three blocks were written.
// The progress feedback moves only while ctx.state.NoteProgress is on. A write that ends after
// a block was stored adds PartialNoteWriteMessage after the link's own message.
[[nodiscard]] bool WriteNote(TransferContext& ctx, const QString& text);
QString PartialNoteWriteMessage();

// Reads the note as four blocks of 15 bytes at 512, 527, 542 and 557; nothing unless all
// four arrived.
[[nodiscard]] std::optional<QString> ReadNote(TransferContext& ctx);

} // namespace vtr8
