#include "transfer/block_comparison.h"

#include "configuration/number_format.h"
#include "device/codes.h"
#include "device/device_float.h"

#include <QStringList>

#include <algorithm>

namespace vtr8 {
namespace {

float floatAt(const std::vector<std::uint8_t>& bytes)
{
    DeviceFloatBytes raw{};
    std::copy_n(bytes.begin(), raw.size(), raw.begin());
    return DecodeDeviceFloat(raw);
}

QString hexBytes(const std::vector<std::uint8_t>& bytes)
{
    QStringList parts;
    for (std::uint8_t b : bytes)
        parts << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(QLatin1Char(' '));
}

QString linearizationCodeText(std::uint8_t code)
{
    switch (static_cast<LinearizationCode>(code)) {
    case LinearizationCode::NotLinearized:
        return linearizationText(Linearization::NotLinearized);
    case LinearizationCode::PolynomialLinearized:
    case LinearizationCode::SegmentLinearized:
        return linearizationText(Linearization::Linearized);
    case LinearizationCode::SquareRoot:
        return linearizationText(Linearization::SquareRoot);
    case LinearizationCode::FromFile:
        return linearizationText(Linearization::FromFile);
    }
    return QString::number(code);
}

// A byte in the words of the configuration file where its line has words for it.
QString byteText(FileKey key, std::uint8_t b)
{
    QString text;
    switch (key) {
    case FileKey::Input:
        if (const auto code = inputTypeFromCode(b))
            text = inputTypeText(*code);
        break;
    case FileKey::ErrorCurrent:
        if (b >= 1 && b <= 3)
            text = errorCurrentText(static_cast<ErrorCurrentCode>(b));
        break;
    case FileKey::Connection:
        text = connectionText(static_cast<ConnectionCode>(b));
        break;
    case FileKey::Unit:
        text = unitText(b);
        break;
    case FileKey::Linearization:
        text = linearizationCodeText(b);
        break;
    default:
        break;
    }
    return text.isEmpty() ? QString::number(b) : text;
}

struct Shown {
    QString actual, expected;
};

// Both sides as the message shows them; nullopt when they count as equal.
std::optional<Shown> shownValues(const MemoryField& field, const std::vector<std::uint8_t>& actual,
                                 const std::vector<std::uint8_t>& expected,
                                 const ComparisonRules& rules)
{
    if (actual == expected)
        return std::nullopt;
    if (field.encoding == FieldEncoding::Float && actual.size() == 4) {
        const float a = floatAt(actual);
        const float e = floatAt(expected);
        const auto decimals = rules.decimals.find(field.key);
        const auto show = [&](float v) {
            return decimals != rules.decimals.end() ? formatFixed(v, decimals->second)
                                                    : formatGeneral(v, 7, QLatin1Char('.'));
        };
        Shown shown{show(a), show(e)};
        if (rules.roundFloats && shown.actual == shown.expected)
            return std::nullopt;
        // Byte for byte, values that show alike still differ: show them in full.
        if (shown.actual == shown.expected)
            shown = {formatGeneral(a, 9, QLatin1Char('.')), formatGeneral(e, 9, QLatin1Char('.'))};
        return shown;
    }
    if (field.encoding == FieldEncoding::Byte && actual.size() == 1)
        return Shown{byteText(field.key, actual[0]), byteText(field.key, expected[0])};
    return Shown{hexBytes(actual), hexBytes(expected)};
}

} // namespace

std::vector<QString> BlockDifferences(const EepromBlock& expected, const MemoryImage& actual,
                                      const ComparisonRules& rules)
{
    std::vector<QString> lines;
    const int end = expected.address + static_cast<int>(expected.data.size());
    for (int a = expected.address; a < end;) {
        const MemoryField field = FieldAt(static_cast<eeprom::Address>(a));
        // The part of the field this block writes.
        const int from = std::max<int>(field.address, expected.address);
        const int to = std::min(field.address + field.length, end);
        a = to;
        const auto first = expected.data.begin() + (from - expected.address);
        const std::vector<std::uint8_t> wanted(first, first + (to - from));
        const std::vector<std::uint8_t> held =
            actual.bytes(static_cast<eeprom::Address>(from), to - from);
        const bool whole = from == field.address && to == field.address + field.length;
        const std::optional<Shown> shown =
            shownValues(whole ? field
                              : MemoryField{field.address, to - from, FieldEncoding::Bytes,
                                            field.name, FileKey::None},
                        held, wanted, rules);
        if (!shown)
            continue;
        QString name =
            field.key != FileKey::None
                ? field.name
                : QStringLiteral("adresa %1").arg(from) +
                      (field.name.isEmpty() ? QString() : QStringLiteral(", ") + field.name);
        lines.push_back(name + QStringLiteral(": v převodníku ") + shown->actual +
                        QStringLiteral(", ") + rules.expectedWord + QLatin1Char(' ') +
                        shown->expected);
    }
    return lines;
}

std::vector<QString> Differences(const std::vector<EepromBlock>& expected,
                                 const MemoryImage& actual, const ComparisonRules& rules)
{
    // The lines of the configuration file first: the values derived from them follow.
    std::vector<QString> fileLines, otherLines;
    for (const EepromBlock& block : expected)
        for (QString& line : BlockDifferences(block, actual, rules))
            (line.startsWith(QStringLiteral("adresa ")) ? otherLines : fileLines)
                .push_back(std::move(line));
    fileLines.insert(fileLines.end(), otherLines.begin(), otherLines.end());
    return fileLines;
}

int ShownDecimals(const QString& text)
{
    const QString t = text.trimmed();
    const qsizetype separator =
        std::max(t.lastIndexOf(QLatin1Char('.')), t.lastIndexOf(QLatin1Char(',')));
    if (separator < 0)
        return 0;
    int digits = 0;
    for (qsizetype i = separator + 1; i < t.size() && t.at(i).isDigit(); ++i)
        ++digits;
    return digits;
}

} // namespace vtr8
