#include "link/reply_parser.h"

#include "link/frame.h"

namespace vtr8 {

void ReplyParser::Clear()
{
    RxFrame.fill(0);
    ReplyData.fill(0);
    RxCount = 0;
    ChecksumError = false;
    ReplyComplete = false;
    FrameError = false;
}

void ReplyParser::ProcessReplyByte(std::uint8_t b)
{
    ++RxCount;
    if (RxCount <= RxFrameSize)
        RxFrame[static_cast<std::size_t>(RxCount)] = b;

    if (RxCount == 1) {
        delimiterFound_ = delimiterTaken_ = addressDone_ = false;
        commandDone_ = byteCountDone_ = dataDone_ = checksumTaken_ = false;
        runningParity_ = 0;
    }

    // The first byte always counts as preamble, whatever its value.
    if (!delimiterFound_) {
        if (RxCount > 1 && b != 0xFF) {
            PreambleLength = RxCount - 1;
            delimiterFound_ = true;
        } else {
            return;
        }
    }

    if (!delimiterTaken_) {
        delimiterTaken_ = true;
        runningParity_ = b;
        if (b == 0x06 || b == 0x01)
            ShortFrame = true;
        else if (b == 0x86 || b == 0x81)
            ShortFrame = false;
        else
            FrameError = true;
        return;
    }

    if (!addressDone_) {
        runningParity_ ^= b;
        if (ShortFrame) {
            addressDone_ = true;
            return;
        }
        const int k = RxCount - PreambleLength - 1;
        if (k >= 1 && k <= 5 && b != DeviceAddress[static_cast<std::size_t>(k - 1)])
            FrameError = true;
        if (k >= 5)
            addressDone_ = true;
        return;
    }

    if (!commandDone_) {
        runningParity_ ^= b;
        ReceivedCommand = b;
        commandDone_ = true;
        return;
    }

    if (!byteCountDone_) {
        runningParity_ ^= b;
        ByteCount = b;
        ByteCountPosition = RxCount;
        byteCountDone_ = true;
        // More data than ReplyData holds cannot be handed to the caller whole.
        if (ByteCount > ReplyDataSize)
            FrameError = true;
        return;
    }

    if (!dataDone_) {
        // With a byte count of 0 no k ever equals it: such a reply never
        // completes and the attempt ends by time-out.
        const int k = RxCount - ByteCountPosition;
        if (k <= ByteCount) {
            runningParity_ ^= b;
            if (k <= ReplyDataSize)
                ReplyData[static_cast<std::size_t>(k)] = b;
        }
        if (k == ByteCount)
            dataDone_ = true;
        return;
    }

    // Bytes after the checksum of a complete reply are stray line noise; the
    // verdict on the reply already stands.
    if (checksumTaken_)
        return;
    checksumTaken_ = true;
    ChecksumError = runningParity_ != b;
    ReplyComplete = true;
}

} // namespace vtr8
