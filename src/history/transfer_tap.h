#pragma once

#include <QByteArray>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace vtr8 {

// Watches the frames of a transfer and keeps what a record needs: the memory
// bytes the transmitter sent ("ReadEEPROM") and the blocks it acknowledged
// ("WriteEEPROM"). Only replies that answer the request before them count; a
// repeated attempt is counted once.
class TransferTap {
public:
    void observe(bool outgoing, const QByteArray& bytes);
    void clear();

    bool anythingRead() const { return readCount_ > 0; }
    // 2048 bytes; bytes never read stay 0xFF, as an erased memory would hold.
    QByteArray memoryImage() const;
    // The firmware number (byte 262) and the type bytes (268, 269), when read.
    int firmware() const;
    QByteArray typeBytes() const;
    // "adresa: bajty" in hex, in the order the transmitter took them.
    const QStringList& blocksWritten() const { return blocks_; }

private:
    std::vector<std::uint8_t> memory_ = std::vector<std::uint8_t>(2048, 0xFF);
    std::vector<bool> known_ = std::vector<bool>(2048, false);
    int readCount_ = 0;
    QStringList blocks_;
    // The last request: command number and its data bytes.
    int command_ = -1;
    QByteArray requestData_;
};

} // namespace vtr8
