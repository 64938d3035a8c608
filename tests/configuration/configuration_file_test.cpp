#include "configuration/configuration_file.h"
#include "configuration/cp1250.h"
#include "configuration/number_format.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace vtr8 {
namespace {

struct SeparatorOverride {
    SeparatorOverride() { overrideLocaleDecimalSeparator(QLatin1Char('.')); }
    ~SeparatorOverride() { overrideLocaleDecimalSeparator(std::nullopt); }
};

// The lines after the common nine, each with the input types that have it, in file order.
struct InputLine {
    const char* key;
    std::vector<InputType> types;
};
std::vector<InputLine> inputLines()
{
    using T = InputType;
    const std::vector<T> rtds{T::Pt100, T::Pt1000, T::Ni100, T::Ni1000};
    std::vector<T> thermocouples;
    for (const T t : vstupOrder)
        if (isThermocouple(t))
            thermocouples.push_back(t);
    return {
        {"připojení čidla: ", rtds},
        {"Parazitní odpor: ", rtds},
        {"připojení čidla: ", {T::Rheostat}},
        {"max. hodnota součtu obou rezistorů: ", {T::ResistorDifference}},
        {"připojení čidla: ", {T::PotentiometerAbsolute}},
        {"připojení čidla: ", {T::PotentiometerRelative}},
        {"max. hodnota potenciometru: ", {T::PotentiometerRelative}},
        {"vzdálenost st. konce: ", thermocouples},
        {"zeslabení děličem: ", {T::Voltage}},
        {"max. hodnota napětí: ", {T::VoltageDifference}},
        {"zeslabení děličem: ", {T::VoltageDifference}},
        {"snímací odpor: ", {T::Current, T::CurrentDifference}},
        {"maximální hodnota proudu: ", {T::CurrentDifference}},
    };
}

// Every input type with every line it has: its own lines in order, parsed back, written again
// the same.
TEST(ConfigurationFile, EveryInputTypeWritesAndParsesBack)
{
    SeparatorOverride dot;
    const std::vector<InputLine> lines = inputLines();
    for (const InputType type : vstupOrder) {
        SCOPED_TRACE(inputTypeText(type).toStdString());
        Configuration c;
        c.input = type;
        c.rangeStart = {-1.5L, QStringLiteral("-1.5")};
        c.rangeEnd = {20, QStringLiteral("20")};
        c.unitCode = unit_code::Percent;
        c.linearization = Linearization::NotLinearized;
        c.damping = {1, QStringLiteral("1.0")};
        c.errorCurrent = ErrorCurrentCode::Downscale;
        c.connection = hasSensorConnection(type) ? ConnectionCode::FourWire : ConnectionCode::None;
        if (isThermocouple(type))
            c.coldJunction = ColdJunction::Remote;
        c.parasiticResistance = {0.25L, QStringLiteral("0.250")};
        c.totalValue = {2.5L, QStringLiteral("2.500")};
        c.dividerRatio = {20, QStringLiteral("20")};
        c.shuntResistance = {5, QStringLiteral("5.00000")};
        const ConfigurationFileBytes written = writeConfigurationFile(c);
        ASSERT_TRUE(written.error.isEmpty());
        QStringList keys;
        for (const InputLine& line : lines)
            if (std::find(line.types.begin(), line.types.end(), type) != line.types.end())
                keys << QString::fromUtf8(line.key);
        const QStringList own = decodeCp1250(written.bytes).split(QStringLiteral("\r\n")).mid(9);
        ASSERT_EQ(own.size(), keys.size() + 1); // and the empty rest after the last line end
        for (qsizetype i = 0; i < keys.size(); ++i)
            EXPECT_TRUE(own[i].startsWith(keys[i])) << own[i].toStdString();
        const std::optional<Configuration> parsed = parseConfigurationFile(written.bytes);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(parsed->input, type);
        EXPECT_EQ(parsed->rangeStart.value, -1.5L);
        EXPECT_EQ(parsed->unitCode, unit_code::Percent);
        EXPECT_EQ(parsed->damping.text, QStringLiteral("1.0"));
        EXPECT_EQ(parsed->errorCurrent, ErrorCurrentCode::Downscale);
        EXPECT_EQ(parsed->connection, c.connection);
        EXPECT_EQ(parsed->coldJunction, c.coldJunction);
        EXPECT_EQ(writeConfigurationFile(*parsed).bytes, written.bytes);
    }
}

QByteArray fileOf(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += encodeCp1250(line).bytes + "\r\n";
    return bytes;
}

// Anything the loader cannot read as its line, choice or number refuses the whole file.
TEST(ConfigurationFile, ALineThatIsNoKeyChoiceOrNumberRefusesTheFile)
{
    const QStringList good = {QStringLiteral("Konfigurační data pro VTR8:"),
                              QString(),
                              QStringLiteral("vstup: reostat"),
                              QStringLiteral("dolní mez: 0"),
                              QStringLiteral("horní mez: 100"),
                              QStringLiteral("jednotka: Ohm"),
                              QStringLiteral("linearizace: nelinearizováno"),
                              QStringLiteral("tlumení: 3s"),
                              QStringLiteral("chybový proud: nadproud"),
                              QStringLiteral("připojení čidla: dvouvodičově")};
    ASSERT_TRUE(parseConfigurationFile(fileOf(good)).has_value());
    const std::pair<int, const char*> bad[] = {{0, "Konfigurační data pro VTR9:"},
                                               {2, "vstup: Pt100"},
                                               {3, "dolní mez: nula"},
                                               {3, "dolní mez: 1e39"},
                                               {3, "dolni mez: 0"},
                                               {4, "horní mez: -1e300"},
                                               {5, "jednotky: Ohm"},
                                               {6, "linearizace: lineárně"},
                                               {7, "tlumení: abcs"},
                                               {8, "chybový proud: nad"},
                                               {9, "připojení čidla: dvouvodičov"}};
    for (const auto& [index, line] : bad) {
        QStringList lines = good;
        lines[index] = QString::fromUtf8(line);
        EXPECT_FALSE(parseConfigurationFile(fileOf(lines)).has_value()) << line;
    }
    EXPECT_FALSE(parseConfigurationFile(fileOf(good) + "\r\n").has_value());
    EXPECT_FALSE(parseConfigurationFile(fileOf(good.mid(0, 9))).has_value());
    EXPECT_FALSE(parseConfigurationFile(QByteArray()).has_value());
}

// Six decimals for the volt and milliampere inputs, three for every other, through a float.
TEST(ConfigurationFile, RangeLimitsAreRoundedThroughFloatToTheInputsDecimals)
{
    SeparatorOverride dot;
    for (const InputType type : vstupOrder) {
        Configuration c;
        c.input = type;
        c.rangeStart.text = QStringLiteral("0.12345");
        c.rangeEnd.text = QStringLiteral("2.0004999");
        const auto parsed = parseConfigurationFile(writeConfigurationFile(c).bytes);
        ASSERT_TRUE(parsed.has_value()) << inputTypeText(type).toStdString();
        const bool six = rangeDecimals(type) == 6;
        EXPECT_EQ(parsed->rangeStart.text,
                  six ? QStringLiteral("0.12345") : QStringLiteral("0.123"));
        EXPECT_EQ(parsed->rangeEnd.text, six ? QStringLiteral("2.0005") : QStringLiteral("2"));
    }
}

} // namespace
} // namespace vtr8
