// A row of the list stands exactly when the editor, given the same lines as a file, would write
// them, and it then means the configuration the editor would write.
#include "batch/instrument_list.h"
#include "configuration/cp1250.h"
#include "linearization/point_set.h"
#include "model/main_window_model.h"
#include "user_interface/scripted_user_interface.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace vtr8 {
namespace {

using Lines = std::vector<std::pair<const char*, const char*>>;

// The editor's verdict on the lines: the configuration a write would take, or nullopt.
std::optional<Configuration> editorConfiguration(const Lines& lines)
{
    QString file = QStringLiteral("Konfigurační data pro VTR8:\r\n\r\n");
    for (const auto& [key, value] : lines)
        file += QString::fromUtf8(key) + QStringLiteral(": ") + QString::fromUtf8(value) +
                (QByteArray(key) == "tlumení" ? QStringLiteral("s\r\n") : QStringLiteral("\r\n"));
    ScriptedUserInterface ui;
    LinearizationPoints points;
    MainWindowModel model(ui, points);
    if (!model.loadConfigurationData(encodeCp1250(file).bytes).accepted)
        return std::nullopt;
    return model.configurationForTransfer();
}

InstrumentRow listRow(const Lines& lines)
{
    QString header = QStringLiteral("tag");
    QString row = QStringLiteral("X-1");
    for (const auto& [key, value] : lines) {
        header += QLatin1Char(';') + QString::fromUtf8(key);
        row += QLatin1Char(';') + QString::fromUtf8(value);
    }
    const InstrumentList list = parseInstrumentList((header + '\n' + row + '\n').toUtf8());
    EXPECT_TRUE(list.error.isEmpty()) << list.error.toStdString();
    return list.rows.empty() ? InstrumentRow{} : list.rows.front();
}

Lines pt100(const char* start, const char* end, const char* damping = "0.5",
            const char* connection = "třívodičově", const char* linearization = "linearizováno")
{
    return {{"vstup", "odporový teploměr Pt100"},
            {"dolní mez", start},
            {"horní mez", end},
            {"jednotka", "°C"},
            {"linearizace", linearization},
            {"tlumení", damping},
            {"chybový proud", "nadproud"},
            {"připojení čidla", connection},
            {"Parazitní odpor", "0.000"}};
}

Lines thermocouple(const char* type, const char* start, const char* end, const char* junction)
{
    return {{"vstup", type},
            {"dolní mez", start},
            {"horní mez", end},
            {"jednotka", "°C"},
            {"linearizace", "linearizováno"},
            {"tlumení", "1.0"},
            {"chybový proud", "podproud"},
            {"vzdálenost st. konce", junction}};
}

Lines signal(const char* input, const char* unit, const char* start, const char* end, Lines extra)
{
    Lines lines{{"vstup", input},
                {"dolní mez", start},
                {"horní mez", end},
                {"jednotka", unit},
                {"linearizace", "nelinearizováno"},
                {"tlumení", "0.5"},
                {"chybový proud", "vyřazen"}};
    lines.insert(lines.end(), extra.begin(), extra.end());
    return lines;
}

TEST(EditorAgreement, ARowStandsAndMeansWhatTheEditorWouldWrite)
{
    const std::vector<Lines> cases = {
        pt100("-50", "150"),
        pt100("-201", "150"),
        pt100("0", "24.9"),
        pt100("0", "100", "0.05"),
        pt100("0", "100", "150"),
        pt100("0", "100", "2", "dvouvodičově", "druhá odmocnina"),
        pt100("0", "100", "2", "čtyřvodičově", "nelinearizováno"),
        pt100("0", "100", "2", ""),
        thermocouple("termočlánek K", "0", "1000", "blízký studený konec"),
        thermocouple("termočlánek B", "99", "1000", "interní studený konec"),
        thermocouple("termočlánek B", "100", "599", "interní studený konec"),
        thermocouple("termočlánek T", "0", "400", ""),
        signal("napětí", "V", "0", "10", {{"zeslabení děličem", "20"}}),
        signal("napětí", "V", "0", "25", {{"zeslabení děličem", "20"}}),
        signal("proud", "mA", "4", "20", {{"snímací odpor", "5.00000"}}),
        signal("proud", "mA", "4", "20", {{"snímací odpor", "50"}}),
        signal("reostat", "Ohm", "0", "400", {{"připojení čidla", "dvouvodičově"}}),
        signal("reostat", "Ohm", "0", "400", {{"připojení čidla", "čtyřvodičově"}}),
        signal("potenciometr relativní", "%", "0", "100",
               {{"připojení čidla", "třívodičově"}, {"max. hodnota potenciometru", "1000"}}),
        signal("potenciometr relativní", "%", "0", "100",
               {{"připojení čidla", "třívodičově"}, {"max. hodnota potenciometru", "5000"}}),
        signal("rozdíl dvou proudů", "mA", "0", "1",
               {{"snímací odpor", "50"}, {"maximální hodnota proudu", "2"}}),
        signal("rozdíl dvou proudů", "mA", "0", "1",
               {{"snímací odpor", "50"}, {"maximální hodnota proudu", "3"}}),
        signal("rozdíl dvou napětí", "V", "0", "0.5",
               {{"max. hodnota napětí", "1"}, {"zeslabení děličem", "1"}}),
        signal("rozdíl dvou rezistorů", "Ohm", "-100", "100",
               {{"max. hodnota součtu obou rezistorů", "400"}}),
        signal("4...20 mA-spec. vstup U/I", "mA", "0", "100", {}),
    };
    for (const Lines& lines : cases) {
        QString trace;
        for (const auto& [key, value] : lines)
            trace += QString::fromUtf8(value) + QLatin1Char(' ');
        SCOPED_TRACE(trace.toStdString());
        const std::optional<Configuration> editor = editorConfiguration(lines);
        const InstrumentRow row = listRow(lines);
        QStringList problems;
        for (const RowProblem& p : row.problems)
            problems << p.message;
        ASSERT_EQ(row.valid(), editor.has_value()) << problems.join('\n').toStdString();
        if (!editor)
            continue;
        const Configuration& c = *row.configuration;
        EXPECT_EQ(c.input, editor->input);
        EXPECT_EQ(c.rangeStart.value, editor->rangeStart.value);
        EXPECT_EQ(c.rangeEnd.value, editor->rangeEnd.value);
        EXPECT_EQ(c.unitCode, editor->unitCode);
        EXPECT_EQ(c.linearization, editor->linearization);
        EXPECT_EQ(c.damping.value, editor->damping.value);
        EXPECT_EQ(c.errorCurrent, editor->errorCurrent);
        EXPECT_EQ(c.connection, editor->connection);
        EXPECT_EQ(c.coldJunction, editor->coldJunction);
        EXPECT_EQ(c.parasiticResistance.value, editor->parasiticResistance.value);
        EXPECT_EQ(c.totalValue.value, editor->totalValue.value);
        EXPECT_EQ(c.dividerRatio.value, editor->dividerRatio.value);
        EXPECT_EQ(c.shuntResistance.value, editor->shuntResistance.value);
    }
}

} // namespace
} // namespace vtr8
