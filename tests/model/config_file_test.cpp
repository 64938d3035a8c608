#include "model_fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>

namespace vtr8::test {
namespace {

namespace c = choice;

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString fixture(const char* name)
{
    return QStringLiteral(VTR8_MODEL_TEST_DATA "/") + QString::fromLatin1(name);
}

// Code-page-1250 bytes of UTF-8 source text, for the few non-ASCII letters the
// hand-written files below need.
QByteArray cp1250(const char* utf8)
{
    QByteArray out;
    const QString text = QString::fromUtf8(utf8);
    for (QChar ch : text) {
        // clang-format off
        switch (ch.unicode()) {
        case u'č': out += '\xE8'; break;
        case u'í': out += '\xED'; break;
        case u'ý': out += '\xFD'; break;
        case u'ě': out += '\xEC'; break;
        case u'ř': out += '\xF8'; break;
        case u'°': out += '\xB0'; break;
        case u'é': out += '\xE9'; break;
        case u'á': out += '\xE1'; break;
        case u'ů': out += '\xF9'; break;
        default:
            EXPECT_LT(ch.unicode(), 0x80) << "add the letter to the test's table";
            out += char(ch.unicode());
        }
        // clang-format on
    }
    return out;
}

QByteArray fileOf(std::initializer_list<const char*> lines)
{
    QByteArray bytes;
    for (const char* line : lines)
        bytes += cp1250(line) + "\r\n";
    return bytes;
}

class ConfigFile : public ModelTest {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    void SetUp() override { overrideLocaleDecimalSeparator(QLatin1Char('.')); }
    void TearDown() override { overrideLocaleDecimalSeparator(std::nullopt); }

    // Every text of the configuration that a second window shows after a load.
    // (The unit box is hidden unless the linearization comes from a file; the
    // file's unit line only fills it in.)
    static QStringList fieldTexts(const MainWindowModel& m)
    {
        return {m.Vstup.text,       m.Pocatek.text,      m.Konec.text,     m.Label8.caption,
                m.Linearizace.text, m.Tlumeni.text,      m.ChybProud.text, m.PripCidl.text,
                m.korekcePV.text,   m.CelkovyOdpor.text, m.VzdStKon.text,  m.DelPomer.text,
                m.SnOdpor.text};
    }
};

TEST_F(ConfigFile, SavedPt100MatchesTheHandWrittenFileByteForByte)
{
    choose(InputType::Pt100);
    model.userEdit(model.PripCidl, QStringLiteral("t"));
    model.userEdit(model.Linearizace, QStringLiteral("l"));
    typeAndLeave(model.Pocatek, QStringLiteral("-50"), &MainWindowModel::PocatekExit);
    typeAndLeave(model.Konec, QStringLiteral("150.5"), &MainWindowModel::KonecExit);
    typeAndLeave(model.Tlumeni, QStringLiteral("0.5"), &MainWindowModel::TlumeniExit);
    typeAndLeave(model.ChybProud, c::Overcurrent, &MainWindowModel::ChybProudExit);
    typeAndLeave(model.korekcePV, QStringLiteral("0.25"), &MainWindowModel::korekcePVExit);
    ASSERT_TRUE(ui.messages.isEmpty()) << ui.messages.join(QLatin1Char('|')).toStdString();

    ASSERT_TRUE(model.saveConfiguration(path("pt100.txt")));
    const QByteArray written = readBytes(path("pt100.txt"));
    EXPECT_EQ(written, readBytes(fixture("pt100.txt")));
    // Nine lines after the header and the empty line.
    EXPECT_EQ(written.count("\r\n"), 11);
    EXPECT_TRUE(points.PointFileOk);
}

TEST_F(ConfigFile, HandWrittenCurrentDifferenceLoadsAndSavesBackIdentically)
{
    ASSERT_TRUE(model.loadConfiguration(fixture("current_difference.txt")));
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(model.Input, InputType::CurrentDifference);
    EXPECT_EQ(model.Pocatek.text, QStringLiteral("-1.5"));
    EXPECT_EQ(model.ShuntResistance, 50.0L);
    EXPECT_EQ(model.TotalValue, 2.5L);
    EXPECT_EQ(model.DampingTime, 2.0L);
    ASSERT_TRUE(model.saveConfiguration(path("back.txt")));
    EXPECT_EQ(readBytes(path("back.txt")), readBytes(fixture("current_difference.txt")));
}

// Fills a configuration of the given type as a person would, saves it, loads it
// into a second window and compares every field.
struct RoundTrip {
    InputType type;
    const char* start;
    const char* end;
    QString connection;
    QString linearization;
    const char* total;
    const char* extra; // divider ratio, shunt, or parasitic resistance
    QString coldJunction;
};

TEST_F(ConfigFile, SaveAndLoadGiveTheSameTextsForEveryFamily)
{
    using T = InputType;
    // clang-format off
    const RoundTrip trips[] = {
        {T::Ni1000, "-50", "200", c::FourWire, c::NotLinearized, nullptr, "1.500", {}},
        {T::Rheostat, "0", "1000", c::TwoWire, c::NotLinearized, nullptr, nullptr, {}},
        {T::PotentiometerAbsolute, "10", "400", c::ThreeWire, c::NotLinearized, nullptr, nullptr,
         {}},
        {T::PotentiometerRelative, "0", "100", c::FourWire, c::NotLinearized, "2500.000", nullptr,
         {}},
        {T::ResistorDifference, "-100", "100", {}, {}, "3000.000", nullptr, {}},
        {T::ThermocoupleK, "0", "1000", {}, c::Linearized, nullptr, nullptr,
         c::RemoteColdJunction},
        {T::Voltage, "0", "5", {}, c::NotLinearized, nullptr, "10", {}},
        {T::VoltageDifference, "-1", "1", {}, {}, "2.000", "2", {}},
        {T::Current, "0.5", "1.5", {}, c::NotLinearized, nullptr, "50", {}},
        {T::CurrentDifference, "-1", "1", {}, {}, "2", "50", {}},
        {T::Special4to20mA, "4", "20", {}, c::NotLinearized, nullptr, nullptr, {}},
    };
    // clang-format on
    for (const RoundTrip& r : trips) {
        SCOPED_TRACE(inputTypeText(r.type).toStdString());
        ScriptedUserInterface firstUi;
        LinearizationPoints firstPoints;
        MainWindowModel first(firstUi, firstPoints);
        auto leave = [&](Control& field, const QString& text, MainWindowModel::ExitCheck exit) {
            first.userEdit(field, text);
            (first.*exit)();
        };
        first.userEdit(first.Vstup, inputTypeText(r.type));
        if (!r.connection.isEmpty())
            first.userEdit(first.PripCidl, r.connection);
        if (!r.linearization.isEmpty())
            first.userEdit(first.Linearizace, r.linearization);
        if (r.extra && isResistanceThermometer(r.type))
            leave(first.korekcePV, local(r.extra), &MainWindowModel::korekcePVExit);
        if (r.extra && (r.type == T::Voltage || r.type == T::VoltageDifference))
            leave(first.DelPomer, local(r.extra), &MainWindowModel::DelPomerExit);
        if (r.extra && isShuntCurrent(r.type))
            leave(first.SnOdpor, local(r.extra), &MainWindowModel::SnOdporExit);
        if (r.total)
            leave(first.CelkovyOdpor, local(r.total), &MainWindowModel::CelkovyOdporExit);
        if (!r.coldJunction.isEmpty())
            leave(first.VzdStKon, r.coldJunction, &MainWindowModel::VzdStKonExit);
        leave(first.Pocatek, local(r.start), &MainWindowModel::PocatekExit);
        leave(first.Konec, local(r.end), &MainWindowModel::KonecExit);
        leave(first.ChybProud, c::Undercurrent, &MainWindowModel::ChybProudExit);
        leave(first.Tlumeni, local("1.5"), &MainWindowModel::TlumeniExit);
        ASSERT_TRUE(firstUi.messages.isEmpty())
            << firstUi.messages.join(QLatin1Char('|')).toStdString();

        ASSERT_TRUE(first.saveConfiguration(path("trip.txt")));
        ScriptedUserInterface otherUi;
        LinearizationPoints otherPoints;
        MainWindowModel other(otherUi, otherPoints);
        EXPECT_TRUE(other.loadConfiguration(path("trip.txt")));
        EXPECT_TRUE(otherUi.messages.isEmpty())
            << otherUi.messages.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(fieldTexts(other), fieldTexts(first));
        EXPECT_EQ(other.Input, first.Input);
        EXPECT_EQ(other.UnitCode, first.UnitCode);
        EXPECT_EQ(other.DividerRatio, first.DividerRatio);
        EXPECT_EQ(other.ShuntResistance, first.ShuntResistance);
        EXPECT_EQ(other.TotalValue, first.TotalValue);
        EXPECT_EQ(other.ParasiticResistance, first.ParasiticResistance);
        EXPECT_EQ(other.RangeStart, first.RangeStart);
        EXPECT_EQ(other.RangeEnd, first.RangeEnd);
        EXPECT_EQ(other.DampingCoefficient, first.DampingCoefficient);
        // Saving the loaded configuration gives the same file again.
        ASSERT_TRUE(other.saveConfiguration(path("again.txt")));
        EXPECT_EQ(readBytes(path("again.txt")), readBytes(path("trip.txt")));
    }
}

TEST_F(ConfigFile, SavesWithTheLocaleSeparatorOfTheFieldsAndLoadsEither)
{
    overrideLocaleDecimalSeparator(QLatin1Char(','));
    choose(InputType::Voltage);
    model.userEdit(model.Linearizace, c::NotLinearized);
    typeAndLeave(model.Pocatek, QStringLiteral("0.25"), &MainWindowModel::PocatekExit);
    typeAndLeave(model.Konec, QStringLiteral("0,75"), &MainWindowModel::KonecExit);
    typeAndLeave(model.Tlumeni, QStringLiteral("0.5"), &MainWindowModel::TlumeniExit);
    typeAndLeave(model.ChybProud, c::Overcurrent, &MainWindowModel::ChybProudExit);
    ASSERT_TRUE(model.saveConfiguration(path("comma.txt")));
    const QByteArray bytes = readBytes(path("comma.txt"));
    EXPECT_TRUE(bytes.contains(cp1250("dolní mez: 0,25\r\n")));
    EXPECT_TRUE(bytes.contains(cp1250("tlumení: 0,5s\r\n")));

    // A point locale reads the comma file: every value is normalised first.
    overrideLocaleDecimalSeparator(QLatin1Char('.'));
    ScriptedUserInterface otherUi;
    LinearizationPoints otherPoints;
    MainWindowModel other(otherUi, otherPoints);
    EXPECT_TRUE(other.loadConfigurationData(bytes));
    EXPECT_EQ(other.Pocatek.text, QStringLiteral("0.25"));
    EXPECT_EQ(other.Tlumeni.text, QStringLiteral("0.5"));
    EXPECT_EQ(other.RangeEnd, 0.75L);
}

TEST_F(ConfigFile, ShuntAndDividerLoadInEitherSeparatorAndSaveInOne)
{
    overrideLocaleDecimalSeparator(QLatin1Char(','));
    EXPECT_TRUE(
        model.loadConfiguration(QStringLiteral(VTR8_EXAMPLES_DIR "/current-4-20ma-shunt.txt")));
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();
    EXPECT_EQ(model.SnOdpor.text, QStringLiteral("5,00000"));
    EXPECT_EQ(model.ShuntResistance, 5);

    choose(InputType::Voltage);
    model.userEdit(model.Linearizace, c::NotLinearized);
    typeAndLeave(model.DelPomer, QStringLiteral("2.5"), &MainWindowModel::DelPomerExit);
    typeAndLeave(model.Pocatek, QStringLiteral("0"), &MainWindowModel::PocatekExit);
    typeAndLeave(model.Konec, QStringLiteral("1.5"), &MainWindowModel::KonecExit);
    typeAndLeave(model.Tlumeni, QStringLiteral("0.5"), &MainWindowModel::TlumeniExit);
    typeAndLeave(model.ChybProud, c::Overcurrent, &MainWindowModel::ChybProudExit);
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();
    ASSERT_TRUE(model.saveConfiguration(path("divider.txt")));
    const QByteArray bytes = readBytes(path("divider.txt"));
    EXPECT_TRUE(bytes.contains("2,5\r\n")) << bytes.toStdString();
    EXPECT_FALSE(bytes.contains('.')) << bytes.toStdString();

    overrideLocaleDecimalSeparator(QLatin1Char('.'));
    MainWindowModel other(ui, points);
    EXPECT_TRUE(other.loadConfigurationData(bytes));
    EXPECT_EQ(other.DividerRatio, 2.5L);
}

// The file is read whole before anything is applied: a load that fails leaves every field, the
// point set's state and the buttons as they were (it used to apply the lines before the fault,
// leaving a Pt100 with the unit of mA that saved an unloadable file).
TEST_F(ConfigFile, AFailedLoadChangesNothing)
{
    const QByteArray pt100 = readBytes(fixture("pt100.txt"));
    auto rheostat = [](const char* start, const char* damping) {
        return fileOf({"Konfigurační data pro VTR8:", "", "vstup: reostat", start, "horní mez: 100",
                       "jednotka: Ohm", "linearizace: nelinearizováno", damping,
                       "chybový proud: nadproud", "připojení čidla: dvouvodičově"});
    };
    const std::pair<const char*, QByteArray> cases[] = {
        {"wrong header", fileOf({"Konfigurační data pro VTR9:", "", "vstup: proud", "dolní mez: 1",
                                 "horní mez: 2"})},
        {"extra empty line", pt100 + "\r\n"},
        {"wrong damping key", rheostat("dolní mez: 0", "tlumeni: 3s")},
        {"wrong range key", rheostat("dolni mez: 5", "tlumení: 3s")},
        {"unknown input", fileOf({"Konfigurační data pro VTR8:", "", "vstup: Pt100"})},
        {"start no number", rheostat("dolní mez: nula", "tlumení: 3s")},
        {"start beyond the float", rheostat("dolní mez: 1e39", "tlumení: 3s")},
        {"start far beyond the float", rheostat("dolní mez: -1e300", "tlumení: 3s")},
        {"damping no number", rheostat("dolní mez: 0", "tlumení: abcs")},
        {"only the range", fileOf({"Konfigurační data pro VTR8:", "", "vstup: proud",
                                   "dolní mez: 4", "horní mez: 20"})},
        {"empty", QByteArray()}};
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(model.loadConfigurationData(pt100));
        const QStringList before = fieldTexts(model);
        const Extended start = model.RangeStart;
        const std::uint8_t unit = model.UnitCode;
        points.PointFileOk = true;
        ui.clear();
        EXPECT_FALSE(model.loadConfigurationData(bytes));
        EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Chyba v datech souboru.")});
        EXPECT_EQ(fieldTexts(model), before);
        EXPECT_EQ(model.Input, InputType::Pt100);
        EXPECT_EQ(model.RangeStart, start);
        EXPECT_EQ(model.UnitCode, unit);
        EXPECT_TRUE(points.PointFileOk);
        EXPECT_TRUE(model.ctisoub.enabled);
    }
}

// A file whose values a field check refuses is loaded as typed values are: into the fields, with
// the check's message. The load says so, and the command-line tool goes no further.
TEST_F(ConfigFile, ALoadSaysWhetherEveryValueStands)
{
    auto rheostat = [](const char* start, const char* damping, const char* connection) {
        return fileOf({"Konfigurační data pro VTR8:", "", "vstup: reostat", start, "horní mez: 100",
                       "jednotka: Ohm", "linearizace: nelinearizováno", damping,
                       "chybový proud: nadproud", connection});
    };
    const char* twoWire = "připojení čidla: dvouvodičově";
    const struct {
        const char* name;
        QByteArray bytes;
        bool accepted;
    } cases[] = {
        {"all in range", rheostat("dolní mez: 0", "tlumení: 3s", twoWire), true},
        {"start below the input", rheostat("dolní mez: -10", "tlumení: 3s", twoWire), false},
        {"damping beyond 100 s", rheostat("dolní mez: 0", "tlumení: 200s", twoWire), false},
        {"span too small", rheostat("dolní mez: 99.9", "tlumení: 3s", twoWire), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.clear();
        const MainWindowModel::LoadOutcome load = model.loadConfigurationData(c.bytes);
        EXPECT_TRUE(load.loaded);
        EXPECT_EQ(load.accepted, c.accepted);
        EXPECT_EQ(ui.messages.isEmpty(), c.accepted) << ui.messages.join('|').toStdString();
    }
}

// Mending one refused value leaves the other refused: neither a save nor a write takes it.
TEST_F(ConfigFile, ALoadWithRefusedStartAndEndIsNotSavedOrWrittenWithOnlyTheEndMended)
{
    const MainWindowModel::LoadOutcome load = model.loadConfigurationData(
        fileOf({"Konfigurační data pro VTR8:", "", "vstup: reostat", "dolní mez: -10",
                "horní mez: 5000", "jednotka: Ohm", "linearizace: nelinearizováno", "tlumení: 3s",
                "chybový proud: nadproud", "připojení čidla: dvouvodičově"}));
    ASSERT_TRUE(load.loaded);
    EXPECT_FALSE(load.accepted);
    ui.clear();
    EXPECT_TRUE(typeAndLeave(model.Konec, QStringLiteral("100"), &MainWindowModel::KonecExit));
    const QString refusal =
        QStringLiteral("Dolní hodnota rozsahu musí být v intervalu 0.000 až 4000.000 Ohm");
    EXPECT_FALSE(model.saveConfiguration(path("mended.txt")));
    EXPECT_FALSE(QFile::exists(path("mended.txt")));
    EXPECT_EQ(ui.messages, QStringList{refusal});
    EXPECT_EQ(ui.focused, QStringLiteral("Pocatek"));
    ui.clear();
    EXPECT_FALSE(model.configurationForTransfer());
    EXPECT_EQ(ui.messages, QStringList{refusal});
    // Mended too, both go on.
    EXPECT_TRUE(typeAndLeave(model.Pocatek, QStringLiteral("0"), &MainWindowModel::PocatekExit));
    EXPECT_TRUE(model.configurationForTransfer());
    EXPECT_TRUE(model.saveConfiguration(path("mended.txt")));
}

// A file's divider moves the range's bounds: a range beyond them is told once, and a refused
// divider bounds nothing.
TEST_F(ConfigFile, AVoltageRangeBeyondTheDividerIsToldOnce)
{
    auto voltage = [](const char* divider) {
        return fileOf({"Konfigurační data pro VTR8:", "", "vstup: napětí", "dolní mez: 0",
                       "horní mez: 30", "jednotka: V", "linearizace: nelinearizováno",
                       "tlumení: 2s", "chybový proud: podproud", divider});
    };
    EXPECT_FALSE(model.loadConfigurationData(voltage("zeslabení děličem: 20")).accepted);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral(
                               "Horní hodnota rozsahu musí být v intervalu -10.000 až 20.000 V")});
    ui.clear();
    EXPECT_FALSE(model.loadConfigurationData(voltage("zeslabení děličem: 1e999")).accepted);
    EXPECT_EQ(ui.messages,
              QStringList{QStringLiteral("Zeslabení přídavným děličem napětí je mimo rozsah čísel "
                                         "převodníku.")});
}

TEST_F(ConfigFile, DampingLineDropsItsUnitAndDerivesTheCoefficient)
{
    const QByteArray bytes =
        fileOf({"Konfigurační data pro VTR8:", "", "vstup: napětí", "dolní mez: 0", "horní mez: 1",
                "jednotka: V", "linearizace: nelinearizováno", "tlumení: 2s",
                "chybový proud: podproud", "zeslabení děličem: 1"});
    EXPECT_TRUE(model.loadConfigurationData(bytes));
    EXPECT_EQ(model.Tlumeni.text, QStringLiteral("2"));
    EXPECT_NEAR(model.DampingCoefficient, 1 / 24.097, 1e-4);
}

TEST_F(ConfigFile, RelativePotentiometerWithItsMaximumLoadsCleanly)
{
    const QByteArray bytes =
        fileOf({"Konfigurační data pro VTR8:", "", "vstup: potenciometr relativní", "dolní mez: 0",
                "horní mez: 100", "jednotka: %", "linearizace: nelinearizováno", "tlumení: 1s",
                "chybový proud: nadproud", "připojení čidla: třívodičově",
                "max. hodnota potenciometru: 2000.000"});
    EXPECT_TRUE(model.loadConfigurationData(bytes));
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(model.TotalValue, 2000.0L);
    EXPECT_EQ(model.DividerRatio, 100.0L);
}

// The point file's unit is the one saved with the configuration; the transmitter
// gets the unit the box shows (before, a saved "%" came back as "Bez jednotky" and
// the write stored the input's own "Ohm" or "mA").
TEST_F(ConfigFile, FromFileOpensThePointFileChoiceAndKeepsTheSavedUnit)
{
    struct Case {
        const char* unitLine;
        const char* shown;
        int code;
    };
    const Case cases[] = {{"jednotka: %", "%", 57},
                          {"jednotka: Ohm", "Ohm", 37},
                          {"jednotka: ", "Bez jednotky", 251}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.unitLine);
        int chooserCalls = 0;
        model.setPointFileChooser([&] {
            ++chooserCalls;
            points.PointFileOk = true;
            return true;
        });
        const QByteArray bytes =
            fileOf({"Konfigurační data pro VTR8:", "", "vstup: reostat", "dolní mez: 0",
                    "horní mez: 100", k.unitLine, "linearizace: ze souboru", "tlumení: 1s",
                    "chybový proud: nadproud", "připojení čidla: dvouvodičově"});
        EXPECT_TRUE(model.loadConfigurationData(bytes));
        EXPECT_EQ(chooserCalls, 1);
        EXPECT_EQ(model.Linearizace.text, c::FromFile);
        EXPECT_EQ(model.VolenaJednotka.text, QString::fromUtf8(k.shown));
        EXPECT_EQ(model.UnitCode, k.code);
        const auto saved = model.configurationFileBytes();
        ASSERT_TRUE(saved.has_value());
        EXPECT_TRUE(saved->contains(cp1250(k.unitLine) + "\r\n"));
    }
}

TEST_F(ConfigFile, EmptyAndUnreadableFilesAreReported)
{
    EXPECT_FALSE(model.loadConfigurationData(QByteArray()));
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Chyba v datech souboru.")});

    ui.clear();
    points.PointFileOk = true;
    EXPECT_FALSE(model.loadConfiguration(path("missing.txt")));
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Chyba c. 2")});
    EXPECT_TRUE(points.PointFileOk);

    ui.clear();
    EXPECT_FALSE(model.loadConfiguration(dir.path())); // a folder is refused before it is read
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Chyba c. 21")});
    EXPECT_TRUE(points.PointFileOk);

    // Far too large for a configuration: refused as a file that could not be read.
    ui.clear();
    {
        QFile big(path("big.txt"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        big.write(QByteArray(2 * 1024 * 1024, '\n'));
    }
    EXPECT_FALSE(model.loadConfiguration(path("big.txt")));
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Chyba v datech souboru.")});
    EXPECT_FALSE(points.PointFileOk);
}

// --- Saving --------------------------------------------------------------------------------

class Saving : public ConfigFile {
protected:
    void fillRheostat()
    {
        choose(InputType::Rheostat);
        model.userEdit(model.PripCidl, c::TwoWire);
        model.userEdit(model.Linearizace, c::NotLinearized);
        typeAndLeave(model.Pocatek, QStringLiteral("0"), &MainWindowModel::PocatekExit);
        typeAndLeave(model.Konec, QStringLiteral("100"), &MainWindowModel::KonecExit);
        typeAndLeave(model.ChybProud, c::Overcurrent, &MainWindowModel::ChybProudExit);
        ui.clear();
    }
};

TEST_F(Saving, IncompleteConfigurationWritesNothing)
{
    choose(InputType::Rheostat);
    EXPECT_FALSE(model.saveConfiguration(path("x.txt")));
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Není zadán způsob připojení čidla")});
    EXPECT_FALSE(QFile::exists(path("x.txt")));
}

TEST_F(Saving, EmptiedParasiticResistanceIsFilledOnTheFirstAttempt)
{
    choose(InputType::Pt100);
    model.userEdit(model.PripCidl, c::TwoWire);
    model.userEdit(model.Linearizace, c::Linearized);
    typeAndLeave(model.Pocatek, QStringLiteral("0"), &MainWindowModel::PocatekExit);
    typeAndLeave(model.Konec, QStringLiteral("100"), &MainWindowModel::KonecExit);
    typeAndLeave(model.ChybProud, c::Overcurrent, &MainWindowModel::ChybProudExit);
    model.userEdit(model.korekcePV, QString());
    EXPECT_FALSE(model.saveConfiguration(path("p.txt")));
    EXPECT_FALSE(QFile::exists(path("p.txt")));
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(model.saveConfiguration(path("p.txt")));
    EXPECT_TRUE(readBytes(path("p.txt")).endsWith(cp1250("Parazitní odpor: 0.000\r\n")));
}

TEST_F(Saving, CharacterOutsideTheCodePageIsRefusedAndTheOldFileKept)
{
    fillRheostat();
    ASSERT_TRUE(model.saveConfiguration(path("keep.txt")));
    const QByteArray good = readBytes(path("keep.txt"));

    // A text that is no number is never saved, and the file a save would write cannot hold
    // such a text as something else either.
    model.setText(model.Konec, QStringLiteral("100€✓"));
    EXPECT_FALSE(model.saveConfiguration(path("keep.txt")));
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Špatně zadaná horní mez")});
    ui.clear();
    EXPECT_FALSE(model.configurationFileBytes());
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].startsWith(QStringLiteral("Znak „✓“ nelze uložit")))
        << ui.messages[0].toStdString();
    EXPECT_EQ(readBytes(path("keep.txt")), good);

    // The euro sign itself is in the code page.
    ui.clear();
    model.setText(model.Konec, QStringLiteral("100€"));
    const auto euro = model.configurationFileBytes();
    ASSERT_TRUE(euro);
    EXPECT_TRUE(euro->contains("mez: 100\x80\r\n"));

    // A character beyond the first 65536 is named whole, not as half a pair.
    ui.clear();
    model.setText(model.Konec, QString::fromUtf8("100\xF0\x9F\x98\x80"));
    EXPECT_FALSE(model.configurationFileBytes());
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].startsWith(QString::fromUtf8("Znak „\xF0\x9F\x98\x80“ nelze")))
        << ui.messages[0].toStdString();
}

TEST_F(Saving, LineBreakInsideAValueIsRefused)
{
    fillRheostat();
    model.setText(model.Pocatek, QStringLiteral("0\r\nvstup: proud"));
    EXPECT_FALSE(model.saveConfiguration(path("br.txt")));
    EXPECT_EQ(ui.messages.size(), 1);
    EXPECT_FALSE(QFile::exists(path("br.txt")));
}

TEST_F(Saving, FolderThatDoesNotExistGivesTheErrorNumber)
{
    fillRheostat();
    EXPECT_FALSE(model.saveConfiguration(path("no/such/folder/c.txt")));
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Chyba c. 2")});
}

TEST_F(Saving, NoToTheOverwriteQuestionOffersTheDialogAgain)
{
    fillRheostat();
    QFile kept(path("kept.txt"));
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("keep");
    kept.close();
    QStringList done;
    QObject::connect(
        &model, &MainWindowModel::configurationFileDone,
        [&](const QString& file, bool saved) { done << file << QString::number(saved); });
    ui.saveFileAnswers = {path("kept.txt"), path("new.txt")};
    ui.confirmAnswers = {false};
    model.UlosoubClick();
    EXPECT_EQ(ui.events.filter(QStringLiteral("save: ")).size(), 2);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("keep"));
    EXPECT_EQ(done, (QStringList{path("new.txt"), QStringLiteral("1")}));
}

TEST_F(Saving, ButtonsAskForTheFileInTheConfigurationFolder)
{
    fillRheostat();
    model.SaveDialog1InitialDir = dir.path();
    model.OpenDialog2InitialDir = dir.path();
    ui.saveFileAnswers.push_back(path("named"));
    model.UlosoubClick();
    EXPECT_EQ(ui.events.front(), QStringLiteral("save: ") + dir.path());
    // The dialog's default extension.
    EXPECT_TRUE(QFile::exists(path("named.txt")));
    EXPECT_TRUE(model.Ulosoub.enabled);

    ScriptedUserInterface otherUi;
    LinearizationPoints otherPoints;
    MainWindowModel other(otherUi, otherPoints);
    other.OpenDialog2InitialDir = dir.path();
    other.ctisoubClick(); // cancelled
    EXPECT_FALSE(other.Input.has_value());
    otherUi.openFileAnswers.push_back(path("named.txt"));
    other.ctisoubClick();
    EXPECT_EQ(other.Input, InputType::Rheostat);
    EXPECT_EQ(other.Konec.text, QStringLiteral("100"));
    EXPECT_EQ(otherUi.events.first(), QStringLiteral("open: ") + dir.path());
    EXPECT_TRUE(other.ctisoub.enabled);
}

} // namespace
} // namespace vtr8::test
