#include "history/transfer_tap.h"

#include "link/frame.h"
#include "link/reply_parser.h"

namespace vtr8 {
namespace {

constexpr int ReadEeprom = 113;
constexpr int WriteEeprom = 114;

// Request layout: preamble, delimiter, five address bytes, command, byte count, data, checksum.
bool parseRequest(const QByteArray& bytes, int& command, QByteArray& data)
{
    qsizetype p = 0;
    while (p < bytes.size() && static_cast<std::uint8_t>(bytes[p]) == RequestPreambleByte)
        ++p;
    if (p >= bytes.size() || static_cast<std::uint8_t>(bytes[p]) != RequestDelimiter)
        return false;
    p += 1 + static_cast<qsizetype>(DeviceAddress.size());
    if (p + 2 > bytes.size())
        return false;
    command = static_cast<std::uint8_t>(bytes[p]);
    const int count = static_cast<std::uint8_t>(bytes[p + 1]);
    if (p + 2 + count > bytes.size())
        return false;
    data = bytes.mid(p + 2, count);
    return true;
}

} // namespace

void TransferTap::clear()
{
    *this = TransferTap();
}

void TransferTap::observe(bool outgoing, const QByteArray& bytes)
{
    if (outgoing) {
        if (!parseRequest(bytes, command_, requestData_))
            command_ = -1;
        return;
    }
    if (command_ != ReadEeprom && command_ != WriteEeprom)
        return;
    ReplyParser parser;
    parser.Clear();
    for (char b : bytes) {
        parser.ProcessReplyByte(static_cast<std::uint8_t>(b));
        if (parser.ReplyComplete)
            break;
    }
    if (!parser.ReplyComplete || parser.ChecksumError || parser.FrameError ||
        parser.ReceivedCommand != command_ || requestData_.size() < 3)
        return;
    const int address = (static_cast<std::uint8_t>(requestData_[0]) << 8) |
                        static_cast<std::uint8_t>(requestData_[1]);
    const int count = static_cast<std::uint8_t>(requestData_[2]);
    const int command = command_;
    command_ = -1; // a second copy of the reply must not count again
    if (command == ReadEeprom) {
        const std::span<const std::uint8_t> data = parser.payload();
        if (parser.ByteCount - 2 != count || static_cast<int>(data.size()) != count)
            return;
        for (int i = 0; i < count && address + i < static_cast<int>(memory_.size()); ++i) {
            memory_[static_cast<std::size_t>(address + i)] = data[static_cast<std::size_t>(i)];
            known_[static_cast<std::size_t>(address + i)] = true;
        }
        ++readCount_;
        return;
    }
    const QByteArray written = requestData_.mid(3, count);
    blocks_ << QStringLiteral("%1: %2").arg(address).arg(
        QString::fromLatin1(written.toHex(' ').toUpper()));
}

QByteArray TransferTap::memoryImage() const
{
    return QByteArray(reinterpret_cast<const char*>(memory_.data()),
                      static_cast<qsizetype>(memory_.size()));
}

int TransferTap::firmware() const
{
    return known_[262] ? memory_[262] : -1;
}

QByteArray TransferTap::typeBytes() const
{
    if (!known_[268] || !known_[269])
        return {};
    return QByteArray{reinterpret_cast<const char*>(&memory_[268]), 2};
}

} // namespace vtr8
