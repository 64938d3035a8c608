#pragma once

namespace vtr8 {

struct EditorTransferContext;

// "&Přečíst z převodníku": reads the stored configuration and the note and, when the read
// completed with a valid configuration, puts them into the main window
// (MainWindowModel::applyReadConfiguration). A failed command ends the read at once (the link
// has shown its message) and a unit without a valid configuration is only reported: the
// editor keeps what it held either way. The button is disabled while it runs. True when
// every command succeeded.
[[nodiscard]] bool PrecistClick(EditorTransferContext& ctx);

} // namespace vtr8
