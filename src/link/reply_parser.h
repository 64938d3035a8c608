#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

namespace vtr8 {

// Byte-by-byte parser of one reply frame: preamble, delimiter, address,
// command, byte count, data, checksum. Positions are 1-based; index 0 of
// both stores is unused. Whatever arrives, nothing is stored beyond RxFrame[50]
// or ReplyData[25].
class ReplyParser {
public:
    static constexpr int RxFrameSize = 50;
    static constexpr int ReplyDataSize = 25;

    // Starts a new reply: the next byte counts as its first byte. The ring
    // buffer's reset calls this.
    void ResetCount() { RxCount = 0; }
    // Prepares for a new command: clears the stores and the verdicts.
    void Clear();
    // Starts a new attempt of the same command.
    void StartAttempt() { ReplyComplete = false; }

    void ProcessReplyByte(std::uint8_t b);

    // The reply's data after its response code and device status, counted from 0: for a read
    // of address a, the byte at a+k is payload()[k]. As many bytes as the byte count announced
    // and the store holds.
    std::span<const std::uint8_t> payload() const
    {
        const int n = std::clamp(int(ByteCount) - 2, 0, ReplyDataSize - 2);
        return std::span<const std::uint8_t>(ReplyData).subspan(3, static_cast<std::size_t>(n));
    }

    std::array<std::uint8_t, RxFrameSize + 1> RxFrame{};
    std::array<std::uint8_t, ReplyDataSize + 1> ReplyData{};
    // Bytes received for the current reply (not limited to the size of RxFrame).
    int RxCount = 0;
    int PreambleLength = 0;
    bool ShortFrame = false;
    std::uint8_t ReceivedCommand = 0;
    std::uint8_t ByteCount = 0;
    int ByteCountPosition = 0;

    bool ChecksumError = false;
    bool ReplyComplete = false;
    // A wrong delimiter or address byte, or more data than ReplyData holds.
    // Stays set until Clear(), whatever later attempts receive.
    bool FrameError = false;

private:
    bool delimiterFound_ = false;
    bool delimiterTaken_ = false;
    bool addressDone_ = false;
    bool commandDone_ = false;
    bool byteCountDone_ = false;
    bool dataDone_ = false;
    bool checksumTaken_ = false;
    // Exclusive-or of every byte from the delimiter on, kept as the bytes
    // come so that a reply longer than the stores is still checked whole.
    std::uint8_t runningParity_ = 0;
};

} // namespace vtr8
