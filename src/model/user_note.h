#pragma once

#include "transfer/note_transfer.h"

namespace vtr8 {

struct EditorTransferContext;

// Writes the note of EditUzPozn. True when all three blocks were written.
[[nodiscard]] bool zapis_uz_pozn(EditorTransferContext& ctx);

// Reads the note and puts it into EditUzPozn only when all four blocks arrived. True on
// success.
[[nodiscard]] bool cteni_uz_pozn(EditorTransferContext& ctx);

// The two buttons beside the note: disable the button, reset the progress bar,
// let the note move it, run the transfer, enable the button. True on success;
// false also when another transfer owns the link.
bool Uloz_PoznClick(EditorTransferContext& ctx);
bool Prec_PoznClick(EditorTransferContext& ctx);

} // namespace vtr8
