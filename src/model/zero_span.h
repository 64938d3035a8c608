#pragma once

namespace vtr8 {

struct EditorTransferContext;

// "Nastavení dolní meze" / "Nastavení horní meze": after a Yes the transmitter
// takes its present input as the range start ("NastOfs") or end ("NastFS");
// when it accepts, the new range is read back into Pocatek and Konec. True
// when the range was read back.
bool S_DolmezClick(EditorTransferContext& ctx);
bool S_HormezClick(EditorTransferContext& ctx);

} // namespace vtr8
