// Arbitrary HEXDATA (and a command, address and count picked by the first two
// bytes) for `vtr8ctl frame`. It is taken exactly when an independent reading
// finds pairs of hex digits, blanks and colons between them, at most 25 bytes,
// and the frame then carries those bytes, in order, before its checksum.
#include "cli/frame_command.h"
#include "link/frame.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::vector<std::uint8_t>> independentBytes(const QByteArray& text)
{
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (const char c : text) {
        if (c == ' ' || c == ':')
            continue;
        const int v = hexValue(c);
        if (v < 0)
            return std::nullopt;
        if (high < 0) {
            high = v;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + v));
            high = -1;
        }
    }
    if (high >= 0 || bytes.size() > 25)
        return std::nullopt;
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const bool write = data[0] & 1;
    const unsigned count = data[1] % 26;
    const QByteArray text(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    const QStringList arguments{
        write ? QStringLiteral("WriteEEPROM") : QStringLiteral("ReadEEPROM"),
        QStringLiteral("0x12"), QString::number(count), QString::fromLatin1(text)};
    QString error;
    const std::optional<QByteArray> frame = vtr8::FrameForArguments(arguments, error);
    const auto expected = independentBytes(text);
    check(frame.has_value() == expected.has_value());
    check(frame.has_value() == error.isEmpty());
    if (!frame || !write)
        return 0;
    // The data are the `count` bytes before the checksum; the buffer past the
    // given bytes is zero.
    check(frame->size() > qsizetype(count));
    const qsizetype dataAt = frame->size() - 1 - qsizetype(count);
    for (unsigned k = 0; k < count; ++k) {
        const std::uint8_t want = k < expected->size() ? (*expected)[k] : 0;
        check(static_cast<std::uint8_t>(frame->at(dataAt + k)) == want);
    }
    return 0;
}
