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

// The two floats as the message shows them: with the file's decimals where it gives the field
// some, else with seven significant digits, and where those show alike with the nine that tell
// any two floats apart. Only a different zero or NaN needs the bytes.
Shown shownFloats(FileKey key, const std::vector<std::uint8_t>& actual,
                  const std::vector<std::uint8_t>& expected, const ComparisonRules& rules)
{
    const float a = floatAt(actual);
    const float e = floatAt(expected);
    if (const auto decimals = rules.decimals.find(key); decimals != rules.decimals.end()) {
        Shown fixed{formatFixed(a, decimals->second), formatFixed(e, decimals->second)};
        if (fixed.actual != fixed.expected)
            return fixed;
    }
    for (const int digits : {7, 9}) {
        Shown general{formatGeneral(a, digits, QLatin1Char('.')),
                      formatGeneral(e, digits, QLatin1Char('.'))};
        if (general.actual != general.expected)
            return general;
    }
    return {hexBytes(actual), hexBytes(expected)};
}

// Both sides of a field whose bytes differ, as the message shows them.
Shown shownValues(const MemoryField& field, const std::vector<std::uint8_t>& actual,
                  const std::vector<std::uint8_t>& expected, const ComparisonRules& rules)
{
    if (field.encoding == FieldEncoding::Float && actual.size() == 4)
        return shownFloats(field.key, actual, expected, rules);
    if (field.encoding == FieldEncoding::Byte && actual.size() == 1) {
        Shown shown{byteText(field.key, actual[0]), byteText(field.key, expected[0])};
        // Two codes may carry one word ("linearizováno" is 1 and 2): then the codes tell.
        if (shown.actual == shown.expected) {
            shown.actual += QStringLiteral(" (%1)").arg(actual[0]);
            shown.expected += QStringLiteral(" (%1)").arg(expected[0]);
        }
        return shown;
    }
    return {hexBytes(actual), hexBytes(expected)};
}

// A line for each field whose bytes in [begin, end) differ between the two images.
void compareRun(int begin, int end, const MemoryImage& expected, const MemoryImage& actual,
                const ComparisonRules& rules, std::vector<QString>& lines)
{
    for (int a = begin; a < end;) {
        const MemoryField field = FieldAt(static_cast<eeprom::Address>(a));
        // The part of the field the run covers.
        const int from = std::max<int>(field.address, begin);
        const int to = std::min(field.address + field.length, end);
        a = to;
        const auto address = static_cast<eeprom::Address>(from);
        const std::vector<std::uint8_t> wanted = expected.bytes(address, to - from);
        const std::vector<std::uint8_t> held = actual.bytes(address, to - from);
        if (held == wanted)
            continue;
        const bool whole = from == field.address && to == field.address + field.length;
        const Shown shown =
            shownValues(whole ? field
                              : MemoryField{field.address, to - from, FieldEncoding::Bytes,
                                            field.name, FileKey::None},
                        held, wanted, rules);
        const QString name =
            field.key != FileKey::None
                ? field.name
                : QStringLiteral("adresa %1").arg(from) +
                      (field.name.isEmpty() ? QString() : QStringLiteral(", ") + field.name);
        const QString reference =
            whole && rules.notInFile.contains(field.key)
                ? QStringLiteral("soubor tuto položku nemá, zápis uloží ") + shown.expected
                : rules.expectedWord + QLatin1Char(' ') + shown.expected;
        lines.push_back(name + QStringLiteral(": v převodníku ") + shown.actual +
                        QStringLiteral(", ") + reference);
    }
}

} // namespace

std::vector<QString> BlockDifferences(const EepromBlock& expected, const MemoryImage& actual,
                                      const ComparisonRules& rules)
{
    MemoryImage wanted;
    wanted.store(expected);
    std::vector<QString> lines;
    const int end =
        std::min(expected.address + static_cast<int>(expected.data.size()), eeprom::MemorySize);
    compareRun(expected.address, end, wanted, actual, rules, lines);
    return lines;
}

std::vector<QString> Differences(const std::vector<EepromBlock>& expected,
                                 const MemoryImage& actual, const ComparisonRules& rules)
{
    MemoryImage wanted;
    for (const EepromBlock& block : expected)
        wanted.store(block);
    std::vector<QString> lines;
    for (int a = 0; a < eeprom::MemorySize; ++a) {
        if (!wanted.holds(static_cast<eeprom::Address>(a), 1))
            continue;
        int end = a + 1;
        while (end < eeprom::MemorySize && wanted.holds(static_cast<eeprom::Address>(end), 1))
            ++end;
        compareRun(a, end, wanted, actual, rules, lines);
        a = end;
    }
    // The lines of the configuration file first: the values derived from them follow.
    std::stable_partition(lines.begin(), lines.end(), [](const QString& line) {
        return !line.startsWith(QStringLiteral("adresa "));
    });
    return lines;
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
