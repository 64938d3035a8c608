#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace vtr8 {

struct EditorTransferContext;

// What the transmitter holds against what writing the editor's configuration would store now,
// computed by the write's own steps without sending a write: one line per difference, none when
// the memory matches. nullopt when the configuration cannot be written or a read failed (the
// person has been told why).
[[nodiscard]] std::optional<std::vector<QString>>
DifferencesFromTransmitter(EditorTransferContext& ctx);

} // namespace vtr8
