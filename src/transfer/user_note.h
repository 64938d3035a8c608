#pragma once

#include <QString>

namespace vtr8 {

struct TransferContext;

// Why the note cannot go to the transmitter as it is: more than 60 characters
// (the field would lose the rest), a control character (the transmitter would
// store it and every later read would echo it raw), or a character
// Windows-1250 cannot hold. Empty when it can.
QString noteRefusal(const QString& text);

// Writes the note of EditUzPozn as three blocks of 20 bytes at 512, 532 and
// 552. A note noteRefusal refuses is reported and nothing is sent. True when all three blocks were
// written.
[[nodiscard]] bool zapis_uz_pozn(TransferContext& ctx);

// Reads the note as four blocks of 15 bytes at 512, 527, 542 and 557 and puts
// it into EditUzPozn only when all four arrived. True on success.
[[nodiscard]] bool cteni_uz_pozn(TransferContext& ctx);

// The two buttons beside the note: disable the button, reset the progress bar,
// let the note move it, run the transfer, enable the button. True on success;
// false also when another transfer owns the link.
bool Uloz_PoznClick(TransferContext& ctx);
bool Prec_PoznClick(TransferContext& ctx);

} // namespace vtr8
