#include "configuration/configuration_file.h"

#include "configuration/cp1250.h"
#include "configuration/number_format.h"
#include "device/choice_texts.h"
#include "device/input_type_table.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <vector>

namespace vtr8 {

namespace {

const QString Header = QStringLiteral("Konfigurační data pro VTR8:");

namespace key {
const QString Input = QStringLiteral("vstup: ");
const QString Start = QStringLiteral("dolní mez: ");
const QString End = QStringLiteral("horní mez: ");
const QString Unit = QStringLiteral("jednotka: ");
const QString Linearization = QStringLiteral("linearizace: ");
const QString Damping = QStringLiteral("tlumení: ");
const QString ErrorCurrent = QStringLiteral("chybový proud: ");
const QString Connection = QStringLiteral("připojení čidla: ");
const QString Parasitic = QStringLiteral("Parazitní odpor: ");
const QString ColdJunction = QStringLiteral("vzdálenost st. konce: ");
const QString Divider = QStringLiteral("zeslabení děličem: ");
const QString Shunt = QStringLiteral("snímací odpor: ");
} // namespace key

// The key of an input type's own line; the total value's key is the row's.
QString lineKey(InputField field, const InputTypeRow& row)
{
    switch (field) {
    case InputField::Connection:
        return key::Connection;
    case InputField::Parasitic:
        return key::Parasitic;
    case InputField::TotalValue:
        return QString::fromUtf16(row.totalValueFileKey);
    case InputField::ColdJunction:
        return key::ColdJunction;
    case InputField::Divider:
        return key::Divider;
    case InputField::Shunt:
        return key::Shunt;
    case InputField::None:
        break;
    }
    return {};
}

// Lines as the file's reader sees them: a line ends at LF, a CR before the LF belongs to the
// line end. Reading past the end gives empty lines.
class LineReader {
public:
    explicit LineReader(const QString& text) : text_(text) {}
    bool atEnd() const { return pos_ >= text_.size(); }
    QString next()
    {
        if (atEnd())
            return {};
        const qsizetype end = text_.indexOf(QLatin1Char('\n'), pos_);
        const qsizetype stop = end < 0 ? text_.size() : end;
        QString line = text_.mid(pos_, stop - pos_);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        pos_ = end < 0 ? text_.size() : end + 1;
        return line;
    }
    // The value after `expected`, or nullopt when the next line has another key.
    std::optional<QString> value(const QString& expected)
    {
        const QString line = next();
        if (!line.startsWith(expected))
            return std::nullopt;
        return line.mid(expected.size());
    }

private:
    const QString& text_;
    qsizetype pos_ = 0;
};

// An empty text is an empty field; anything else must be a number in either separator.
std::optional<ConfigurationNumber> numberOf(const QString& text)
{
    if (text.isEmpty())
        return ConfigurationNumber{};
    const auto value = parseLocaleNumber(UpravaFormatu(text));
    if (!value)
        return std::nullopt;
    return ConfigurationNumber{*value, text};
}

// An empty text is no choice; any other must be one of the list's exact texts.
template <typename T, typename FromText>
bool choiceOf(const QString& text, FromText fromText, std::optional<T>& choice)
{
    choice.reset();
    if (text.isEmpty())
        return true;
    choice = fromText(text);
    return choice.has_value();
}

std::optional<Extended> rangeLimit(const QString& text, InputType input)
{
    const auto number = parseLocaleNumber(UpravaFormatu(text));
    // A value beyond the float would come back as INF, which no field or file may show.
    if (!number || !std::isfinite(static_cast<float>(*number)))
        return std::nullopt;
    // The transmitter keeps 32-bit floats: round through one first.
    return roundToDecimals(static_cast<float>(*number), rangeDecimals(input));
}

std::optional<std::uint8_t> unitOf(const QString& text)
{
    if (text == choice::NoUnit || text.isEmpty())
        return unit_code::None;
    return unitFromText(text);
}

bool parseInputLine(LineReader& reader, InputField field, Configuration& c)
{
    const std::optional<QString> value = reader.value(lineKey(field, inputTypeRow(c.input)));
    if (!value)
        return false;
    std::optional<ConfigurationNumber> number;
    switch (field) {
    case InputField::Connection:
        if (value->isEmpty()) {
            c.connection = ConnectionCode::None;
            return true;
        }
        c.connection = connectionFromText(*value);
        return c.connection != ConnectionCode::None;
    case InputField::ColdJunction:
        return choiceOf(*value, coldJunctionFromText, c.coldJunction);
    case InputField::Parasitic:
        number = numberOf(*value);
        if (number)
            c.parasiticResistance = *number;
        break;
    case InputField::TotalValue:
        number = numberOf(*value);
        if (number)
            c.totalValue = *number;
        break;
    case InputField::Divider:
        number = numberOf(*value);
        if (number)
            c.dividerRatio = *number;
        break;
    case InputField::Shunt:
        number = numberOf(*value);
        if (number)
            c.shuntResistance = *number;
        break;
    case InputField::None:
        return true;
    }
    return number.has_value();
}

std::optional<Configuration> parseOne(LineReader& reader)
{
    if (reader.next() != Header || !reader.next().isEmpty())
        return std::nullopt;
    Configuration c;
    const auto input = reader.value(key::Input);
    const auto type = input ? inputTypeFromText(*input) : std::nullopt;
    if (!type)
        return std::nullopt;
    c.input = *type;
    for (ConfigurationNumber* limit : {&c.rangeStart, &c.rangeEnd}) {
        const auto text = reader.value(limit == &c.rangeStart ? key::Start : key::End);
        const auto value = text ? rangeLimit(*text, c.input) : std::nullopt;
        if (!value)
            return std::nullopt;
        *limit = {*value, formatGeneral(*value, 10)};
    }
    const auto unit = reader.value(key::Unit);
    if (!unit)
        return std::nullopt;
    // A unit the list does not have is the input's concern, as if the line were not there.
    c.unitCode = unitOf(*unit).value_or(unit_code::None);

    const auto linearization = reader.value(key::Linearization);
    if (!linearization || !choiceOf(*linearization, linearizationFromText, c.linearization))
        return std::nullopt;
    auto damping = reader.value(key::Damping);
    if (!damping)
        return std::nullopt;
    damping->chop(1); // the "s" of seconds
    const auto dampingNumber = numberOf(*damping);
    if (!dampingNumber)
        return std::nullopt;
    c.damping = *dampingNumber;
    const auto errorCurrent = reader.value(key::ErrorCurrent);
    if (!errorCurrent || !choiceOf(*errorCurrent, errorCurrentFromText, c.errorCurrent))
        return std::nullopt;
    for (const InputField field : inputTypeRow(c.input).fields)
        if (field != InputField::None && !parseInputLine(reader, field, c))
            return std::nullopt;
    return c;
}

QString fixed3(Extended value)
{
    return UpravaFormatu(formatFixed(value, 3));
}

QString inputLineValue(InputField field, const Configuration& c)
{
    switch (field) {
    case InputField::Connection:
        return connectionText(c.connection);
    case InputField::Parasitic:
        return UpravaFormatu(formatFixed(c.parasiticResistance.value, 3, 5));
    case InputField::TotalValue:
        return inputTypeRow(c.input).totalValueAsTyped ? UpravaFormatu(c.totalValue.text)
                                                       : fixed3(c.totalValue.value);
    case InputField::ColdJunction:
        return c.coldJunction ? coldJunctionText(*c.coldJunction) : QString();
    case InputField::Divider:
        return UpravaFormatu(c.dividerRatio.text);
    case InputField::Shunt:
        return UpravaFormatu(c.shuntResistance.text);
    case InputField::None:
        break;
    }
    return {};
}

} // namespace

QString ConfigurationDataErrorText()
{
    return QStringLiteral("Chyba v datech souboru.");
}

std::optional<Configuration> parseConfigurationFile(const QByteArray& bytes)
{
    // An empty file holds no configuration.
    if (bytes.isEmpty())
        return std::nullopt;
    const QString text = decodeCp1250(bytes);
    LineReader reader(text);
    // Anything after one whole configuration must be another whole one; the last one counts.
    std::optional<Configuration> c;
    while (!reader.atEnd()) {
        c = parseOne(reader);
        if (!c)
            return std::nullopt;
    }
    return c;
}

ConfigurationFileBytes writeConfigurationFile(const Configuration& c)
{
    QStringList lines;
    lines << Header << QString();
    lines << key::Input + inputTypeText(c.input);
    lines << key::Start + UpravaFormatu(c.rangeStart.text);
    lines << key::End + UpravaFormatu(c.rangeEnd.text);
    lines << key::Unit + unitText(c.unitCode);
    lines << key::Linearization +
                 (c.linearization ? linearizationText(*c.linearization) : QString());
    lines << key::Damping + UpravaFormatu(c.damping.text) + QLatin1Char('s');
    lines << key::ErrorCurrent + (c.errorCurrent ? errorCurrentText(*c.errorCurrent) : QString());
    const InputTypeRow& row = inputTypeRow(c.input);
    for (const InputField field : row.fields)
        if (field != InputField::None)
            lines << lineKey(field, row) + inputLineValue(field, c);

    ConfigurationFileBytes out;
    for (const QString& line : lines) {
        // A line break inside a value would split it into lines the loader reads as other keys.
        const qsizetype breakAt = line.indexOf(QRegularExpression(QStringLiteral("[\\r\\n]")));
        const Cp1250Encoding encoded = encodeCp1250(line);
        if (breakAt >= 0 || !encoded.ok()) {
            const QString bad = breakAt >= 0 ? line.mid(breakAt, 1) : encoded.unmappable;
            const char32_t code = bad.toUcs4().value(0);
            const QString shown =
                QChar::isPrint(code)
                    ? bad
                    : QStringLiteral("U+%1").arg(static_cast<uint>(code), 4, 16, QLatin1Char('0'));
            return {{},
                    QStringLiteral("Znak „") + shown +
                        QStringLiteral("“ nelze uložit do souboru konfigurace (řádek „") +
                        line.trimmed() + QStringLiteral("“). Soubor nebyl uložen.")};
        }
        out.bytes += encoded.bytes;
        out.bytes += "\r\n";
    }
    return out;
}

} // namespace vtr8
