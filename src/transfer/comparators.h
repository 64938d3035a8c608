#pragma once

namespace vtr8 {

struct TransferContext;

// The two limit comparators' own buttons. Each returns true when the whole
// operation completed (for the store: the final "Reset" succeeded; a declined
// confirmation or a missing relay output is false). The button is disabled
// while it runs and enabled again on every way out.
bool Ulozkomp1Click(TransferContext& ctx);
bool Ulozkomp2Click(TransferContext& ctx);
bool Preckomp1Click(TransferContext& ctx);
bool Preckomp2Click(TransferContext& ctx);

// The transmitter keeps each delay in one byte of whole seconds.
inline constexpr int MaxStoredComparatorDelay = 255;

} // namespace vtr8
