#include "cli/frame_command.h"

#include "link/frame.h"

#include <array>
#include <cstdint>

namespace vtr8 {

QString HexBytes(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

namespace {

std::optional<unsigned> parseNumber(const QString& text, unsigned high)
{
    bool ok = false;
    const unsigned value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                               ? text.mid(2).toUInt(&ok, 16)
                               : text.toUInt(&ok, 10);
    if (!ok || value > high)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<QByteArray> FrameForArguments(const QStringList& arguments, QString& error)
{
    if (arguments.isEmpty()) {
        error = QStringLiteral("frame needs a command name");
        return std::nullopt;
    }
    const QByteArray name = arguments[0].toLatin1();
    if (!FindCommand(std::string_view(name.constData(), static_cast<std::size_t>(name.size())))) {
        error = QStringLiteral("unknown command name: ") + arguments[0];
        return std::nullopt;
    }
    unsigned address = 0;
    unsigned count = 0;
    std::array<std::uint8_t, 26> transferBuffer{};
    if (arguments.size() >= 3) {
        const auto a = parseNumber(arguments[1], 0xFFFF);
        const auto c = parseNumber(arguments[2], 0xFF);
        if (!a || !c) {
            error = QStringLiteral("ADDRESS must be 0..65535 and COUNT 0..255");
            return std::nullopt;
        }
        address = *a;
        count = *c;
    }
    if (arguments.size() >= 4) {
        QString hex = arguments[3];
        hex.remove(QLatin1Char(' ')).remove(QLatin1Char(':'));
        const QByteArray data = QByteArray::fromHex(hex.toLatin1());
        bool valid = hex.size() % 2 == 0;
        for (const QChar ch : hex)
            valid = valid && ch.isLetterOrNumber() &&
                    QStringLiteral("0123456789abcdefABCDEF").contains(ch);
        if (!valid || data.size() > 25) {
            error = QStringLiteral("HEXDATA must be pairs of hex digits, at most 25 bytes");
            return std::nullopt;
        }
        for (int i = 0; i < data.size(); ++i)
            transferBuffer[static_cast<std::size_t>(i + 1)] = static_cast<std::uint8_t>(data[i]);
    }
    // A write of more than the transfer buffer holds would reach past it.
    const auto spec =
        FindCommand(std::string_view(name.constData(), static_cast<std::size_t>(name.size())));
    if ((spec->layout == RequestLayout::AddressLowCountData ||
         spec->layout == RequestLayout::AddressHighLowCountData) &&
        count > 25) {
        error = QStringLiteral("COUNT of a write is at most 25");
        return std::nullopt;
    }
    const TxFrame frame = BuildTxFrame(
        std::string_view(name.constData(), static_cast<std::size_t>(name.size())),
        static_cast<std::uint16_t>(address), static_cast<std::uint8_t>(count), transferBuffer);
    const auto wire = frame.wire();
    return QByteArray(reinterpret_cast<const char*>(wire.data()),
                      static_cast<qsizetype>(wire.size()));
}

} // namespace vtr8
