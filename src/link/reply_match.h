#pragma once

#include "link/frame.h"

#include <cstdint>
#include <span>
#include <vector>

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

// Whether a matching reply proves by its own bytes that it answers this very
// request: writes echo their address, count and data, and the commands without
// data have nothing a stale copy could get wrong. A read's answer (ReadEEPROM,
// ReadEEPROM2, ReadRAM, ReadRTCC, ReadPV, ReadUniqIdent) and the response code of
// NastOfs/NastFS could as well belong to an earlier request of the same shape.
bool ReplyProvesItsRequest(const TxFrame& request);

// Bytes one command puts on the line when it is answered at once: the request and the answer
// the transmitter gives (five preamble bytes, long address, the status bytes and the command's
// own data; writes echo their address and count). `count` is the count argument of the
// command (data bytes of a write, bytes asked of a read). What a transfer's progress counts.
int ExchangeLineBytes(Command command, std::uint8_t count);

// The complete reply frames in `bytes`, each from its delimiter through its checksum (what
// tells one frame from another; preambles may differ), with whether its checksum and
// address hold. Bytes of an unfinished frame at the end are left out and counted in
// `incomplete`.
struct LineFrame {
    std::vector<std::uint8_t> bytes;
    bool valid = false;
};
std::vector<LineFrame> SplitFrames(std::span<const std::uint8_t> bytes, bool* incomplete = nullptr);
// The frame of one complete reply as SplitFrames gives it; empty when `reply` holds none.
std::vector<std::uint8_t> FrameOf(std::span<const std::uint8_t> reply);

} // namespace vtr8
