#pragma once

#include "link/frame.h"

#include <cstdint>
#include <span>

namespace vtr8 {

// Whether a complete, well-formed reply answers the request that went out: the
// same command byte and the number of data bytes that command's answer has
// (two status bytes, then the command's own data). The reply carries no address,
// so this is all that tells a stale reply from the answer.
//   ReadEEPROM, ReadEEPROM2, ReadRAM, ReadRTCC: status + the requested count;
//   WriteEEPROM(2), WriteRAM, WriteRTCC: status + the echoed address and count
//     (or the whole echoed request data), equal to what was sent;
//   ReadPV: status, unit code and four value bytes;
//   Stop, Continue, Reset, NastOfs, NastFS: status only.
// `data` holds the reply's data bytes in order (status bytes first).
bool ReplyMatchesRequest(const TxFrame& request, std::uint8_t replyCommand,
                         std::span<const std::uint8_t> data);

} // namespace vtr8
