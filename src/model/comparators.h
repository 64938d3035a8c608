#pragma once

namespace vtr8 {

struct EditorTransferContext;

// The two limit comparators' own buttons. Each returns true when the whole
// operation completed (for the store: the final "Reset" succeeded; a declined
// confirmation or a missing relay output is false). The button is disabled
// while it runs and enabled again on every way out.
bool Ulozkomp1Click(EditorTransferContext& ctx);
bool Ulozkomp2Click(EditorTransferContext& ctx);
bool Preckomp1Click(EditorTransferContext& ctx);
bool Preckomp2Click(EditorTransferContext& ctx);

} // namespace vtr8
