#pragma once

namespace vtr8 {

struct EditorTransferContext;

// "&Přečíst z převodníku": reads the stored configuration into the main window,
// input type first so that VstupChange shapes the window, and ends with the
// user note. A failed command ends the read at once (the link has shown its
// message); the controls keep what the completed steps put into them and the
// button is enabled again. True when every step succeeded.
[[nodiscard]] bool ReadConfiguration(EditorTransferContext& ctx);

// Reads the two range limits (340 upper, 344 lower) into RangeStart/RangeEnd
// and shows them in Pocatek and Konec: the smaller limit always comes back as
// the start. Signal limits (ohms, volts) are turned back into temperatures
// when the linearization and range characteristics differ. Uses the
// characteristic indices and linearization code held in ctx.state.
[[nodiscard]] bool cteni_mezi(EditorTransferContext& ctx);

} // namespace vtr8
