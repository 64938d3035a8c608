#include "configuration/configuration_file.h"
#include "model/editor_read.h"
#include "support/transfer_bench.h"
#include "transfer/link_failure_report.h"
#include "transfer/read_configuration.h"
#include "transfer/transfer_session.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace vtr8::test {
namespace {

// A stored configuration as a write leaves it (only the fields the read takes).
struct StoredConfiguration {
    std::uint8_t firmware = 14;
    std::uint8_t inputCode = 1;
    std::uint8_t errorCurrent = 1;
    std::uint8_t frontEndMode = 1;
    std::uint8_t connection = 4;
    float shunt = 0;
    float total = 0;
    float parasitic = 0;
    float damping = 0.5f;
    std::uint8_t unit = 32;
    std::uint8_t linearizationCharacteristic = 9;
    std::uint8_t rangeCharacteristic = 9;
    std::uint8_t linearizationCode = 2;
    float upper = 100;
    float lower = 0;
    float scale = 1;

    void storeIn(sim::EepromImage& e) const
    {
        e[262] = firmware;
        e[400] = inputCode;
        e[401] = errorCurrent;
        e[402] = frontEndMode;
        e[403] = connection;
        PutFloat(e, 404, shunt);
        PutFloat(e, 408, total);
        PutFloat(e, 32, parasitic);
        PutFloat(e, 363, damping);
        e[424] = unit;
        e[425] = linearizationCharacteristic;
        e[426] = rangeCharacteristic;
        e[427] = linearizationCode;
        PutFloat(e, 340, upper);
        PutFloat(e, 344, lower);
        PutFloat(e, 28, scale);
    }
};

struct ReadBench : TransferBench {
    explicit ReadBench(const StoredConfiguration& stored = {}) { stored.storeIn(eeprom()); }
    bool read() { return PrecistClick(ctx); }
};

TEST(ReadConfiguration, LinearizedPt100ReadsEveryBlockInOrder)
{
    StoredConfiguration stored;
    stored.parasitic = 0.25f;
    stored.damping = 2.5f;
    ReadBench bench(stored);
    const QByteArray note = QByteArray("TT-101") + QByteArray(54, ' ');
    std::copy(note.begin(), note.end(), bench.eeprom().begin() + 512);

    ASSERT_TRUE(bench.read());
    EXPECT_EQ(
        bench.requests(),
        (std::vector<Request>{ReadRequest(262, 2), ReadRequest(400, 4), ReadRequest(32, 4),
                              ReadRequest(363, 4), ReadRequest(424, 4), ReadRequest(340, 8),
                              ReadRequest(355, 8), ReadRequest(28, 4), ReadRequest(512, 15),
                              ReadRequest(527, 15), ReadRequest(542, 15), ReadRequest(557, 15)}));
    MainWindowModel& m = bench.model;
    EXPECT_EQ(m.Vstup.text, QStringLiteral("odporový teploměr Pt100"));
    EXPECT_EQ(m.ChybProud.text, QStringLiteral("nadproud"));
    EXPECT_EQ(m.PripCidl.text, QStringLiteral("čtyřvodičově"));
    EXPECT_TRUE(m.PripCidl.visible);
    EXPECT_EQ(m.korekcePV.text, Localised("0.25000"));
    EXPECT_EQ(m.ParasiticResistance, 0.25L);
    EXPECT_EQ(m.Tlumeni.text, Localised("2.5"));
    EXPECT_EQ(m.DampingTime, 2.5L);
    EXPECT_EQ(m.Linearizace.text, QStringLiteral("linearizováno"));
    EXPECT_EQ(m.Pocatek.text, QStringLiteral("0"));
    EXPECT_EQ(m.Konec.text, QStringLiteral("100"));
    EXPECT_EQ(m.RangeStart, 0);
    EXPECT_EQ(m.RangeEnd, 100);
    EXPECT_EQ(m.Label8.caption, QStringLiteral("°C"));
    EXPECT_EQ(m.Label38.caption, QStringLiteral("°C"));
    EXPECT_EQ(m.DelPomer.text, QStringLiteral("1"));
    EXPECT_FALSE(m.DelPomer.visible);
    EXPECT_EQ(m.EditUzPozn.text, QStringLiteral("TT-101"));
    EXPECT_EQ(m.Label14.caption, QStringLiteral("14"));
    EXPECT_TRUE(m.Pocatek.enabled);
    EXPECT_TRUE(m.Precist.enabled);
    EXPECT_TRUE(bench.ui().messages.isEmpty());
    // The note does not move the read's progress bar.
    EXPECT_EQ(bench.progress, (std::vector<int>{0, 11, 33, 44, 67, 78, 89, 100}));
    EXPECT_EQ(bench.ctx.state.LinearizationCode, 2);
    EXPECT_EQ(bench.ctx.state.FrontEndMode, 1);
}

TEST(ReadConfiguration, FirmwareZeroOrTwoFiftyFiveShowsTwelve)
{
    for (std::uint8_t firmware : {std::uint8_t{255}, std::uint8_t{0}}) {
        StoredConfiguration stored;
        stored.firmware = firmware;
        ReadBench bench(stored);
        ASSERT_TRUE(bench.read());
        EXPECT_EQ(bench.model.Label14.caption, QStringLiteral("12"));
        EXPECT_TRUE(bench.ctx.state.OldFirmware);
    }
}

TEST(ReadConfiguration, RelativePotentiometerComesInOnlyByReading)
{
    StoredConfiguration stored;
    stored.inputCode = 7;
    stored.connection = 3;
    stored.total = 2000;
    stored.unit = 57;
    stored.linearizationCharacteristic = stored.rangeCharacteristic = 16;
    stored.linearizationCode = 0;
    ReadBench bench(stored);
    ASSERT_TRUE(bench.read());
    MainWindowModel& m = bench.model;
    EXPECT_EQ(m.Vstup.text, QStringLiteral("potenciometr relativní"));
    EXPECT_TRUE(m.PripCidl.visible);
    EXPECT_EQ(m.PripCidl.items,
              (QStringList{QStringLiteral("třívodičově"), QStringLiteral("čtyřvodičově")}));
    EXPECT_EQ(m.PripCidl.text, QStringLiteral("třívodičově"));
    EXPECT_EQ(m.CelkovyOdpor.text, Localised("2000.000"));
    EXPECT_EQ(m.TotalValue, 2000);
    EXPECT_EQ(m.Label8.caption, QStringLiteral("%"));
    EXPECT_EQ(bench.requests().at(2), ReadRequest(408, 4));
}

// The thermocouple comes from its code (12 is L, 13 is N), its cold junction from the front-end
// mode; a mode outside the thermocouple's leaves the cold junction to be chosen.
TEST(ReadConfiguration, ThermocoupleByCodeAndColdJunctionByFrontEndMode)
{
    struct Case {
        std::uint8_t code;
        std::uint8_t mode;
        const char* input;
        const char* coldJunction;
    };
    const Case cases[] = {
        {11, 29, "termočlánek K", "interní studený konec"},
        {11, 32, "termočlánek K", "interní studený konec"},
        {11, 33, "termočlánek K", "blízký studený konec"},
        {11, 36, "termočlánek K", "blízký studený konec"},
        {11, 37, "termočlánek K", "vzdálený studený konec"},
        {11, 40, "termočlánek K", "vzdálený studený konec"},
        {11, 28, "termočlánek K", ""},
        {12, 30, "termočlánek L", "interní studený konec"},
        {13, 35, "termočlánek N", "blízký studený konec"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.mode));
        StoredConfiguration stored;
        stored.inputCode = c.code;
        stored.frontEndMode = c.mode;
        stored.connection = 0;
        stored.linearizationCharacteristic = stored.rangeCharacteristic = 1;
        ReadBench bench(stored);
        ASSERT_TRUE(bench.read());
        EXPECT_EQ(bench.model.Vstup.text, QString::fromUtf8(c.input));
        EXPECT_TRUE(bench.model.VzdStKon.visible);
        EXPECT_EQ(bench.model.VzdStKon.text, QString::fromUtf8(c.coldJunction));
        EXPECT_FALSE(bench.model.PripCidl.visible);
        EXPECT_TRUE(bench.model.PripCidl.text.isEmpty());
    }
}

TEST(ReadConfiguration, FallingRangeComesBackFalling)
{
    // Written with start 100 and end 0: the limits are stored larger first, the entered order
    // at 355/359 tells the direction.
    for (const auto& [start, end] : {std::pair{100.0f, 0.0f}, std::pair{0.0f, 100.0f}}) {
        ReadBench bench;
        PutFloat(bench.eeprom(), 355, end);
        PutFloat(bench.eeprom(), 359, start);
        ASSERT_TRUE(bench.read());
        EXPECT_EQ(bench.model.Pocatek.text, QString::number(start));
        EXPECT_EQ(bench.model.Konec.text, QString::number(end));
        EXPECT_EQ(bench.model.RangeStart, start);
    }
}

TEST(ReadConfiguration, LimitsAreCutToSixOrThreeDecimals)
{
    struct Case {
        std::uint8_t inputCode;
        float stored;
        const char* shown;
    };
    const Case cases[] = {
        {17, 0.0100004f, "0.01"},    {17, 0.0100006f, "0.010001"},
        {18, 4.0000004f, "4"},       {20, -0.0123456789f, "-0.012346"},
        {21, 19.9999996f, "20"},     {1, 100.0004f, "100"},
        {1, 100.0006f, "100.001"},   {5, 250.2496f, "250.25"},
        {22, 12.3456789f, "12.346"},
    };
    // Exact binary halves: ties go to the even neighbour, not away from zero.
    const Case ties[] = {
        {1, 0.0625f, "0.062"},
        {1, 0.1875f, "0.188"},
        {17, 0.0078125f, "0.007812"},
        {17, -0.0078125f, "-0.007812"},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    all.insert(all.end(), std::begin(ties), std::end(ties));
    for (const Case& c : all) {
        StoredConfiguration stored;
        stored.inputCode = c.inputCode;
        stored.linearizationCharacteristic = stored.rangeCharacteristic = 16;
        stored.linearizationCode = 0;
        stored.lower = c.stored;
        stored.upper = 1000;
        ReadBench bench(stored);
        ASSERT_TRUE(bench.read());
        EXPECT_EQ(bench.model.Pocatek.text, Localised(c.shown)) << c.stored;
    }
}

TEST(ReadConfiguration, NotLinearizedPt100LimitsAreOhmsShownAsTemperatures)
{
    StoredConfiguration stored;
    stored.linearizationCharacteristic = 16;
    stored.rangeCharacteristic = 9;
    stored.linearizationCode = 0;
    stored.unit = 32;
    stored.lower = 100.0f;
    stored.upper = 138.5f;
    ReadBench bench(stored);
    ASSERT_TRUE(bench.read());
    EXPECT_NEAR(static_cast<double>(bench.model.RangeStart), 0.0, 0.002);
    EXPECT_NEAR(static_cast<double>(bench.model.RangeEnd), 100.0, 0.002);
    // Rounded to the range's decimals after the inversion, not cut: 138.5 Ω is 100 °C.
    EXPECT_EQ(bench.model.Konec.text, Localised("100"));
    EXPECT_EQ(bench.model.Linearizace.text, QStringLiteral("nelinearizováno"));
}

TEST(ReadConfiguration, LinearizationCodes)
{
    struct Case {
        std::uint8_t code;
        const char* text;
    };
    const Case cases[] = {{0, "nelinearizováno"},
                          {1, "linearizováno"},
                          {2, "linearizováno"},
                          {3, "druhá odmocnina"},
                          {4, "ze souboru"}};
    for (const Case& c : cases) {
        StoredConfiguration stored;
        stored.inputCode = 17;
        stored.unit = 58;
        stored.linearizationCharacteristic = 16;
        stored.rangeCharacteristic = c.code == 3 ? 15 : c.code == 4 ? 14 : 16;
        stored.linearizationCode = c.code;
        ReadBench bench(stored);
        bench.model.PointFileChosen = true;
        ASSERT_TRUE(bench.read());
        EXPECT_EQ(bench.model.Linearizace.text, QString::fromUtf8(c.text));
        EXPECT_EQ(bench.model.S_Dolmez.enabled, c.code != 3) << int(c.code);
        EXPECT_EQ(bench.model.PointFileChosen, c.code != 4);
        // The square-root law keeps the range ends: they are shown as stored.
        EXPECT_EQ(bench.model.Konec.text, QStringLiteral("100"));
    }
}

TEST(ReadConfiguration, PointFileLineIsReadForLinearizationFromFile)
{
    StoredConfiguration stored;
    stored.inputCode = 17;
    stored.unit = 57;
    stored.linearizationCharacteristic = 16;
    stored.rangeCharacteristic = 14;
    stored.linearizationCode = 4;
    ReadBench bench(stored);
    PutReversedFloat(bench.eeprom(), 1024, 0.02f);
    PutReversedFloat(bench.eeprom(), 1028, -0.5f);
    PutReversedFloat(bench.eeprom(), 1032, 50.0f);
    PutReversedFloat(bench.eeprom(), 1036, 25.0f);
    ASSERT_TRUE(bench.read());
    EXPECT_EQ(bench.points.InverseSlope, static_cast<Extended>(0.02f));
    EXPECT_EQ(bench.points.InverseOffset, -0.5L);
    EXPECT_EQ(bench.points.LineSlope, 50.0L);
    EXPECT_EQ(bench.points.LineOffset, 25.0L);
    const auto requests = bench.requests();
    EXPECT_EQ(requests.at(4), ReadRequest(340, 8));
    EXPECT_EQ(requests.at(6), ReadRequest(1024, 16));
    EXPECT_EQ(requests.at(7), ReadRequest(28, 4));
    EXPECT_EQ(bench.model.Label8.caption, QStringLiteral("%"));
}

TEST(ReadConfiguration, CurrentInputShowsItsShuntWithoutComplaint)
{
    StoredConfiguration stored;
    stored.inputCode = 18;
    stored.connection = 0;
    stored.shunt = 5;
    stored.unit = 39;
    stored.linearizationCharacteristic = stored.rangeCharacteristic = 16;
    stored.linearizationCode = 0;
    stored.lower = 4;
    stored.upper = 20;
    stored.scale = 200;
    ReadBench bench(stored);
    ASSERT_TRUE(bench.read());
    EXPECT_TRUE(bench.ui().messages.isEmpty()) << bench.ui().messages.join('|').toStdString();
    EXPECT_EQ(bench.model.SnOdpor.text, Localised("5.00000"));
    EXPECT_EQ(bench.model.ShuntResistance, 5);
    EXPECT_TRUE(bench.model.SnOdpor.visible);
    EXPECT_EQ(bench.model.DelPomer.text, QStringLiteral("200"));
    EXPECT_EQ(bench.model.Label9.caption, QStringLiteral("mA"));
    EXPECT_EQ(bench.progress, (std::vector<int>{0, 11, 22, 44, 67, 78, 89, 100}));
}

TEST(ReadConfiguration, VoltageShowsItsDividerGroup)
{
    StoredConfiguration stored;
    stored.inputCode = 17;
    stored.unit = 58;
    stored.linearizationCharacteristic = stored.rangeCharacteristic = 16;
    stored.linearizationCode = 0;
    stored.scale = 20;
    ReadBench bench(stored);
    ASSERT_TRUE(bench.read());
    EXPECT_TRUE(bench.model.DelPomer.visible);
    EXPECT_TRUE(bench.model.Label10.visible);
    EXPECT_EQ(bench.model.DividerRatio, 20);
    EXPECT_EQ(bench.model.DelPomer.text, QStringLiteral("20"));
}

// A blank unit holds 0 or 0xFF where a configuration would be: the read says so, and a factor at
// 28 that no input could use leaves the divider ratio of an input without that field at 1.
TEST(ReadConfiguration, BlankTransmitterIsReportedAndKeepsTheDividerRatio)
{
    const QString noConfiguration = QString::fromUtf8("Převodník neobsahuje platnou konfiguraci.");
    for (const std::uint8_t code : {std::uint8_t{0}, std::uint8_t{255}, std::uint8_t{1}}) {
        for (const std::uint8_t factor : {std::uint8_t{0}, std::uint8_t{255}}) {
            StoredConfiguration stored;
            stored.inputCode = code;
            stored.errorCurrent = code;
            ReadBench bench(stored);
            std::fill_n(bench.eeprom().begin() + 28, 4, factor);
            bench.model.userEdit(bench.model.Vstup, QStringLiteral("odporový teploměr Pt100"));
            ASSERT_TRUE(bench.read());
            EXPECT_EQ(bench.model.DividerRatio, 1) << int(code) << " " << int(factor);
            EXPECT_EQ(bench.model.DelPomer.text, QStringLiteral("1"));
            EXPECT_EQ(bench.ui().messages.contains(noConfiguration), code != 1) << int(code);
        }
    }
}

TEST(ReadConfiguration, UnknownCharacteristicIndexIsReportedAndTheLimitsShownAsStored)
{
    for (const auto& [linearization, range] : {std::pair{9, 40}, std::pair{17, 17}}) {
        StoredConfiguration stored;
        stored.linearizationCharacteristic = static_cast<std::uint8_t>(linearization);
        stored.rangeCharacteristic = static_cast<std::uint8_t>(range);
        ReadBench bench(stored);
        ASSERT_TRUE(bench.read());
        EXPECT_EQ(bench.ui().messages,
                  QStringList{QStringLiteral("Dany prubeh neni v programu jeste zadan")});
        EXPECT_EQ(bench.model.Konec.text, QStringLiteral("100"));
    }
}

// Everything the editor shows and keeps, but the progress bars and the firmware label.
struct EditorSnapshot {
    explicit EditorSnapshot(const TransferBench& b)
    {
        const MainWindowModel& m = b.model;
        for (const MainWindowModel::NamedControl& named : m.controls()) {
            const Control& c = *named.control;
            if (&c == &m.Prenos || &c == &m.PrenosByte || &c == &m.Label14)
                continue;
            controls << QStringList{named.name,
                                    c.text,
                                    c.items.join('|'),
                                    QString::number(c.itemIndex),
                                    QString::number(c.visible),
                                    QString::number(c.enabled),
                                    c.caption,
                                    QString::number(c.checked)}
                            .join(';');
        }
        numbers = {m.RangeStart,      m.RangeEnd,           m.DampingTime,
                   m.DividerRatio,    m.ShuntResistance,    m.ParasiticResistance,
                   m.TotalValue,      Extended(m.UnitCode), b.points.InverseSlope,
                   b.points.LineSlope};
        input = m.Input;
        unit = m.UnitText;
        pointFileChosen = m.PointFileChosen;
        state = {b.ctx.state.LinearizationCharacteristic, b.ctx.state.RangeCharacteristic,
                 b.ctx.state.LinearizationCode, b.ctx.state.FrontEndMode};
    }
    bool operator==(const EditorSnapshot&) const = default;

    QStringList controls;
    std::vector<Extended> numbers;
    std::optional<InputType> input;
    QString unit;
    bool pointFileChosen = false;
    std::vector<int> state;
};

// A read that fails, or finds no configuration, leaves the editor (and what the next write
// or zero/span takes from the last read) exactly as it was; the button comes back.
TEST(ReadConfiguration, AFailedOrBlankReadLeavesTheEditorAsItWas)
{
    const QString comm = LinkFailureMessage({LinkError::NoReply, QStringLiteral("COM1")});
    const QString blank = QString::fromUtf8("Převodník neobsahuje platnou konfiguraci.");
    struct Case {
        const char* name;
        std::function<void(StoredConfiguration&)> store;
        std::pair<int, int> noReply; // requests swallowed, first..last (0: none)
        bool completes;
        QStringList messages;
        // Without a valid input code the read takes the auxiliary block of the editor's input.
        bool editorsBlock = false;
    };
    const Case cases[] = {
        {"the linearization block unanswered", [](StoredConfiguration&) {}, {5, 7}, false, {comm}},
        {"the second note block unanswered", [](StoredConfiguration&) {}, {9, 11}, false, {comm}},
        {"blank unit",
         [](StoredConfiguration& s) { s.inputCode = s.errorCurrent = 0xFF; },
         {0, 0},
         true,
         {blank},
         true},
        {"input code outside the table",
         [](StoredConfiguration& s) { s.inputCode = 30; },
         {0, 0},
         true,
         {blank},
         true},
        {"error current outside the table",
         [](StoredConfiguration& s) {
             s.errorCurrent = 9;
             s.linearizationCode = 4;
         },
         {0, 0},
         true,
         {blank}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StoredConfiguration stored;
        stored.inputCode = 11; // a thermocouple K, read into an editor that shows a Pt100
        stored.damping = 3;
        c.store(stored);
        ReadBench bench(stored);
        PutReversedFloat(bench.eeprom(), 1024, 0.02f);
        PutReversedFloat(bench.eeprom(), 1032, 50.0f);
        MainWindowModel& m = bench.model;
        m.userEdit(m.Vstup, QStringLiteral("odporový teploměr Pt100"));
        m.userEdit(m.PripCidl, QStringLiteral("třívodičově"));
        m.userEdit(m.Linearizace, QStringLiteral("nelinearizováno"));
        m.setText(m.Pocatek, QStringLiteral("10"));
        m.PocatekExit();
        m.setText(m.Konec, QStringLiteral("300"));
        m.KonecExit();
        m.PointFileChosen = true;
        const EditorSnapshot before(bench);
        if (c.noReply.first != 0)
            bench.noReply(c.noReply.first, c.noReply.second);
        EXPECT_EQ(bench.read(), c.completes);
        EXPECT_EQ(bench.ui().messages, c.messages);
        EXPECT_TRUE(EditorSnapshot(bench) == before);
        EXPECT_EQ(m.Label14.caption, QStringLiteral("14"));
        EXPECT_EQ(bench.requests().at(2) == ReadRequest(32, 4), c.editorsBlock);
    }
}

// Every example configuration written to a transmitter reads back as the value its file holds.
TEST(ReadConfiguration, ReadsBackEveryExampleAsTheValueItsFileHolds)
{
    const QDir examples(QStringLiteral(VTR8_EXAMPLES_DIR));
    int files = 0;
    for (const QString& name : examples.entryList({QStringLiteral("*.txt")})) {
        QFile file(examples.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const std::optional<Configuration> parsed = parseConfigurationFile(file.readAll());
        if (!parsed)
            continue; // a point file
        SCOPED_TRACE(name.toStdString());
        ++files;
        TransferBench bench;
        bench.ui().confirmAnswers = {true};
        // Written as vtr8ctl writes a file: through the editor, which adds the input's defaults.
        bench.model.applyConfiguration(*parsed);
        ASSERT_TRUE(WriteEditorConfiguration(bench.ctx, bench.model))
            << bench.ui().messages.join('|').toStdString();
        TransferSession session(bench.link.protocol);
        const std::optional<ConfigurationRead> read = ReadConfiguration(bench.ctx, std::nullopt);
        ASSERT_TRUE(read && read->configuration);
        const Configuration& r = *read->configuration;
        const Configuration& p = *parsed;
        EXPECT_EQ(r.input, p.input);
        EXPECT_EQ(r.unitCode, p.unitCode);
        EXPECT_EQ(r.linearization, p.linearization);
        EXPECT_EQ(r.errorCurrent, p.errorCurrent);
        EXPECT_EQ(r.connection, p.connection);
        EXPECT_EQ(r.coldJunction, p.coldJunction);
        EXPECT_EQ(r.rangeStart.text, p.rangeStart.text);
        EXPECT_EQ(r.rangeEnd.text, p.rangeEnd.text);
        // A number the file has comes back as the float the transmitter keeps of it.
        const std::pair<const ConfigurationNumber*, const ConfigurationNumber*> numbers[] = {
            {&r.rangeStart, &p.rangeStart},
            {&r.rangeEnd, &p.rangeEnd},
            {&r.damping, &p.damping},
            {&r.parasiticResistance, &p.parasiticResistance},
            {&r.totalValue, &p.totalValue},
            {&r.dividerRatio, &p.dividerRatio},
            {&r.shuntResistance, &p.shuntResistance}};
        for (const auto& [back, file] : numbers) {
            if (!file->text.isEmpty()) {
                EXPECT_EQ(back->value, static_cast<float>(file->value)) << file->text.toStdString();
            }
        }
    }
    EXPECT_EQ(files, 4);
}

} // namespace
} // namespace vtr8::test
