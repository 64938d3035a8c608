#include "device/segment_table.h"
#include "process_value_reader.h"
#include "transfer/write_blocks.h"
#include "transfer/write_configuration.h"
#include "transfer/write_preparation.h"
#include "write_fixture.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace vtr8::test {
namespace {

const WriteTiming quick{1};

bool write(WriteFixture& f)
{
    f.ui().confirmAnswers = {true};
    return WriteEditorConfiguration(f.ctx, f.model, quick);
}

TEST(WriteFamilies, ThermocoupleGetsItsColdJunctionPolynomials)
{
    WriteFixture f;
    f.fill({{"Vstup", "termočlánek K"},
            {"VzdStKon", "blízký studený konec"},
            {"Linearizace", "linearizováno"},
            {"Pocatek", "0"},
            {"Konec", "1000"},
            {"Tlumeni", "1"},
            {"ChybProud", "vyřazen"}});
    ASSERT_TRUE(write(f)) << f.ui().messages.join('|').toStdString();
    EXPECT_EQ(f.eeprom()[402], 35); // 41 mV at 1000 °C
    EXPECT_EQ(f.lastWrite(171), (std::vector<std::uint8_t>{4}));
    EXPECT_EQ(f.lastWrite(172).size(), 20u);
    EXPECT_EQ(f.lastWrite(207), (std::vector<std::uint8_t>{4}));
    EXPECT_EQ(f.lastWrite(208), FloatBytes({2.8648206e-14f, -1.16069994e-10f, 2.6705175e-08f,
                                            3.94146409e-05f, -3.01296183e-07f}));
    EXPECT_EQ(f.lastWrite(424), (std::vector<std::uint8_t>{32, 1, 1, 2}));
    EXPECT_EQ(f.lastWrite(400)[0], 11);
    EXPECT_EQ(f.lastWrite(400)[3], 0); // no connection for a thermocouple
    EXPECT_EQ(f.lastWrite(113), (std::vector<std::uint8_t>{0}));
    EXPECT_NEAR(f.floatAt(1008), 0.04127, 1e-4); // EMF at 1000 °C ends the table
}

TEST(WriteFamilies, SpecialCurrentInputGetsItsFixedBand)
{
    WriteFixture f;
    f.fill({{"Vstup", "4...20 mA-spec. vstup U/I"},
            {"Linearizace", "nelinearizováno"},
            {"Pocatek", "0"},
            {"Konec", "250"},
            {"Tlumeni", "1"},
            {"ChybProud", "nadproud"}});
    ASSERT_TRUE(write(f)) << f.ui().messages.join('|').toStdString();
    EXPECT_EQ(f.eeprom()[402], 51);
    EXPECT_EQ(f.lastWrite(448), FloatBytes({22.0f, 3.2f}));
    EXPECT_EQ(f.lastWrite(1576), FloatBytes({4.0f, 16.0f}));
    EXPECT_EQ(f.eeprom()[400], 24);
}

TEST(WriteFamilies, RelativePotentiometerKeepsUnitScaleAndMarksByte114)
{
    WriteFixture f;
    f.fill({{"Vstup", "potenciometr relativní"},
            {"PripCidl", "čtyřvodičově"},
            {"CelkovyOdpor", "1000"},
            {"Linearizace", "nelinearizováno"},
            {"Pocatek", "0"},
            {"Konec", "100"},
            {"Tlumeni", "1"},
            {"ChybProud", "nadproud"}});
    ASSERT_TRUE(write(f)) << f.ui().messages.join('|').toStdString();
    EXPECT_EQ(f.eeprom()[402], 11); // 1000 ohm track, four-wire
    EXPECT_EQ(f.floatAt(28), 1.0f);
    for (const SentCommand& c : f.writes())
        EXPECT_FALSE(c.address == 28 && c.bytes.size() == 4u) << "scale factor written";
    EXPECT_EQ(f.lastWrite(114), (std::vector<std::uint8_t>{85}));
    EXPECT_EQ(f.lastWrite(408), FloatBytes({1000.0f}));
    EXPECT_EQ(f.eeprom()[339], 57);
}

TEST(WriteFamilies, DifferenceInputsAreRefusedWithoutSettings)
{
    WriteFixture f;
    f.fill({{"Vstup", "rozdíl dvou rezistorů"},
            {"CelkovyOdpor", "300"},
            {"Pocatek", "-100"},
            {"Konec", "100"},
            {"Tlumeni", "1"},
            {"ChybProud", "nadproud"}});
    f.ui().clear();
    EXPECT_FALSE(write(f));
    ASSERT_EQ(f.ui().messages.size(), 1);
    EXPECT_TRUE(f.ui().messages[0].startsWith(QString::fromUtf8("Pro zvolený vstup nejsou")));
    EXPECT_TRUE(f.sent().empty());
}

TEST(WriteFamilies, FallingRangeSetsItsFlagAndKeepsLimitsSorted)
{
    WriteFixture f;
    f.fill({{"Vstup", "reostat"},
            {"PripCidl", "třívodičově"},
            {"Linearizace", "nelinearizováno"},
            {"Pocatek", "300"},
            {"Konec", "100"},
            {"Tlumeni", "1"},
            {"ChybProud", "podproud"}});
    ASSERT_TRUE(write(f)) << f.ui().messages.join('|').toStdString();
    EXPECT_EQ(f.lastWrite(113), (std::vector<std::uint8_t>{10}));
    EXPECT_EQ(f.floatAt(60), 100.0f);
    EXPECT_EQ(f.floatAt(64), 300.0f);
    EXPECT_EQ(f.floatAt(355), 100.0f); // end
    EXPECT_EQ(f.floatAt(359), 300.0f); // start
    EXPECT_EQ(f.eeprom()[402], 6);     // 300 ohms, three-wire
}

TEST(WriteFamilies, LinearizedChoiceWithoutSensorIsRefused)
{
    WriteFixture f;
    f.fill({{"Vstup", "odporový teploměr Pt100"},
            {"Vstup", "0...10 V-spec. vstup U/I"},
            {"Linearizace", "linearizováno"},
            {"Pocatek", "0"},
            {"Konec", "10"},
            {"Tlumeni", "1"},
            {"ChybProud", "nadproud"}});
    ASSERT_EQ(f.model.Linearizace.text, QString::fromUtf8("linearizováno"));
    f.ui().clear();
    EXPECT_FALSE(write(f));
    ASSERT_EQ(f.ui().messages.size(), 1);
    EXPECT_TRUE(f.ui().messages[0].contains(QString::fromUtf8("linearizováno")));
    EXPECT_TRUE(f.sent().empty());
}

void fillSquareRoot(WriteFixture& f)
{
    f.fill({{"Vstup", "proud"},
            {"SnOdpor", "5"},
            {"Linearizace", "druhá odmocnina"},
            {"Pocatek", "4"},
            {"Konec", "20"},
            {"Tlumeni", "1"},
            {"ChybProud", "nadproud"}});
}

TEST(WriteFamilies, SquareRootWritesItsOwnLawNotALeftoverTable)
{
    WriteFixture f;
    // An earlier linearized write leaves its spline in the working data.
    f.fill({{"Vstup", "odporový teploměr Pt100"},
            {"PripCidl", "čtyřvodičově"},
            {"Linearizace", "linearizováno"},
            {"Pocatek", "0"},
            {"Konec", "100"},
            {"Tlumeni", "1"},
            {"ChybProud", "nadproud"}});
    ASSERT_TRUE(write(f));
    f.link.transmitter().clearRequests();

    fillSquareRoot(f);
    ASSERT_EQ(f.model.Linearizace.text, QString::fromUtf8("druhá odmocnina"));
    ASSERT_TRUE(write(f)) << f.ui().messages.join('|').toStdString();
    const SegmentTable expected = SquareRootSegmentTable(4, 20);
    EXPECT_EQ(f.lastWrite(628),
              FloatBytes({4.0f, float(expected.records[1].c3), float(expected.records[1].c2),
                          float(expected.records[1].c1), 4.0f}));
    EXPECT_EQ(f.lastWrite(1008), FloatBytes({20.0f}));
    EXPECT_EQ(f.lastWrite(606), (std::vector<std::uint8_t>{2}));
    EXPECT_EQ(f.lastWrite(424), (std::vector<std::uint8_t>{39, 16, 15, 3}));
    EXPECT_NEAR(f.floatAt(387), 3.84, 1e-6);
    EXPECT_NEAR(f.floatAt(391), 20.16, 1e-5);
}

// The transmitter follows y = x below the range start and the root within a tenth of a percent
// of the span up to its end.
TEST(WriteFamilies, SquareRootFollowsItsLawFromBelowTheStartToTheEnd)
{
    WriteFixture f;
    fillSquareRoot(f);
    ASSERT_TRUE(write(f)) << f.ui().messages.join('|').toStdString();
    double worst = 0;
    for (int i = 0; i <= 330; ++i) {
        const double x = 3.5 + 16.5 * i / 330;
        f.link.transmitter().options().input = x;
        const auto pv = ReadProcessValue(f.link.protocol);
        ASSERT_TRUE(pv.has_value()) << x;
        const double law = x <= 4 ? x : 4 + 16 * std::sqrt((x - 4) / 16);
        worst = std::max(worst, std::fabs(*pv - law) / 16);
    }
    EXPECT_LT(worst, 0.001);
}

// The polynomial firmware has no square-root law: the write is refused before "Stop".
TEST(WriteFamilies, SquareRootOnPolynomialFirmwareIsRefused)
{
    for (const int firmware : {0, 255}) {
        sim::SimOptions options;
        options.firmware = static_cast<std::uint8_t>(firmware);
        WriteFixture f(options);
        const sim::EepromImage before = f.eeprom();
        fillSquareRoot(f);
        f.ui().clear();
        EXPECT_FALSE(write(f));
        EXPECT_EQ(f.ui().messages, QStringList{SquareRootOnOldFirmwareText()});
        EXPECT_TRUE(f.eeprom() == before);
    }
}

void fillVoltageFromFile(WriteFixture& f)
{
    FillVoltage(f, "20", "ze souboru", "100", "nadproud");
}

TEST(WriteFamilies, PointFilePolynomialMethodWritesItsDegree)
{
    WriteFixture f;
    ChoosePoints(f, PointFitMethod::Polynomial,
                 {{0, 0}, {2, 20}, {4, 40}, {6, 60}, {8, 80}, {10, 100}});
    fillVoltageFromFile(f);
    f.ui().clear();
    ASSERT_TRUE(write(f)) << f.ui().messages.join('|').toStdString();
    EXPECT_EQ(f.lastWrite(127), (std::vector<std::uint8_t>{3}));
    EXPECT_NEAR(f.floatAt(128 + 8), 10.0, 1e-4); // slope of the straight table
    EXPECT_EQ(f.lastWrite(606), (std::vector<std::uint8_t>{1}));
    ASSERT_FALSE(f.ui().messages.isEmpty());
    EXPECT_TRUE(f.ui().messages[0].startsWith(QStringLiteral("Max.odchylka v % =")));
}

// The fit needs one more distinct input than its degree: three points write a parabola, four
// the cubic the window picks for them.
TEST(WriteFamilies, FewPointsWriteTheHighestDegreeTheyCanFit)
{
    for (const auto& [count, degree] : {std::pair{3, 2}, std::pair{4, 3}}) {
        WriteFixture f;
        if (count == 3)
            ChoosePoints(f, PointFitMethod::Polynomial, {{0, 0}, {5, 40}, {10, 100}});
        else
            ChoosePoints(f, PointFitMethod::Polynomial, {{0, 0}, {3, 20}, {6, 50}, {10, 100}});
        fillVoltageFromFile(f);
        ASSERT_TRUE(write(f)) << count << ": " << f.ui().messages.join('|').toStdString();
        EXPECT_EQ(f.lastWrite(127), (std::vector<std::uint8_t>{std::uint8_t(degree)})) << count;
    }
}

// "proud" from a point file: the input stage is chosen by the file's current across the shunt
// (20 mA × 5 Ω = 0.1 V, the 128 mV range), and the transmitter then follows the file's curve.
TEST(WriteFamilies, CurrentFromAPointFileMeasuresTheFileCurve)
{
    for (const PointFitMethod method :
         {PointFitMethod::StraightLines, PointFitMethod::Polynomial}) {
        WriteFixture f;
        ChoosePoints(f, method, {{4, 0}, {8, 20}, {12, 45}, {16, 70}, {20, 100}});
        f.fill({{"Vstup", "proud"},
                {"SnOdpor", "5"},
                {"Linearizace", "ze souboru"},
                {"Pocatek", "0"},
                {"Konec", "100"},
                {"Tlumeni", "1"},
                {"ChybProud", "nadproud"}});
        f.ui().clear();
        ASSERT_TRUE(write(f)) << f.ui().messages.join('|').toStdString();
        EXPECT_EQ(f.eeprom()[402], 28);
        for (const auto& [current, expected] : {std::pair{4.0, 0.0}, std::pair{10.0, 32.5},
                                                std::pair{16.0, 70.0}, std::pair{20.0, 100.0}}) {
            f.link.transmitter().options().input = current;
            const auto pv = ReadProcessValue(f.link.protocol);
            ASSERT_TRUE(pv.has_value());
            // The polynomial of degree 3 smooths the file's kink by a few percent.
            EXPECT_NEAR(*pv, expected, method == PointFitMethod::StraightLines ? 0.01 : 3)
                << current << " mA";
        }
    }
}

TEST(WriteFamilies, PolynomialBeyondTheTransmittersFloatsEndsBeforeAnyWrite)
{
    // A slope of 1e38 is a valid single-precision number but lies beyond what the stored
    // exponent byte can carry; written, the transmitter would read a quarter of it.
    WriteFixture f;
    ChoosePoints(f, PointFitMethod::Polynomial,
                 {{0, 0}, {0.2, 2e37}, {0.4, 4e37}, {0.6, 6e37}, {0.8, 8e37}, {1.0, 1e38}});
    fillVoltageFromFile(f);
    f.ui().clear();
    EXPECT_FALSE(write(f));
    EXPECT_TRUE(f.writes().empty());
    ASSERT_FALSE(f.ui().messages.isEmpty());
    EXPECT_EQ(f.ui().messages.last(),
              QString::fromUtf8("Koeficienty linearizace jsou mimo rozsah čísel převodníku, "
                                "konfiguraci nelze zapsat."));
    EXPECT_TRUE(f.ui().questions.isEmpty());
}

TEST(WriteFamilies, PointFileWithRepeatedInputEndsBeforeAnyWrite)
{
    WriteFixture f;
    ChoosePoints(f, PointFitMethod::StraightLines, {{0, 0}, {5, 50}, {5, 60}, {10, 100}});
    fillVoltageFromFile(f);
    f.ui().clear();
    EXPECT_FALSE(write(f));
    EXPECT_TRUE(f.writes().empty());
    EXPECT_EQ(f.ui().messages,
              QStringList{QString::fromUtf8(
                  "Nelze provést výpočet linearizace proložením lineárních úseků.")});
}

TEST(WriteFamilies, FallingPointFileWarnsAndStillWrites)
{
    WriteFixture f;
    ChoosePoints(f, PointFitMethod::StraightLines, {{0, 0}, {6, 50}, {4.5, 60}, {10, 100}});
    fillVoltageFromFile(f);
    f.ui().clear();
    ASSERT_TRUE(write(f));
    ASSERT_FALSE(f.ui().messages.isEmpty());
    EXPECT_EQ(f.ui().messages[0],
              QString::fromUtf8("Průběh vstupní křivky není prostý v bodě 6.   Vstupní křivka "
                                "musí mít stále rostoucí charakteristiku !!!"));
}

TEST(WriteFamilies, OutputScalingFromTheTransmittersCalibration)
{
    WriteFixture f;
    sim::PutTransmitterFloat(f.eeprom(), 36, 1000.0f);
    sim::PutTransmitterFloat(f.eeprom(), 40, 9000.0f);
    sim::PutTransmitterFloat(f.eeprom(), 44, 4.0f);
    sim::PutTransmitterFloat(f.eeprom(), 48, 20.0f);
    f.fill({{"Vstup", "reostat"},
            {"PripCidl", "čtyřvodičově"},
            {"Linearizace", "nelinearizováno"},
            {"Pocatek", "0"},
            {"Konec", "100"},
            {"Tlumeni", "1"},
            {"ChybProud", "nadproud"}});
    ASSERT_TRUE(write(f));
    EXPECT_EQ(f.lastWrite(52), FloatBytes({1000.0f, 80.0f, 0.0f, 100.0f}));
    EXPECT_EQ(f.lastWrite(1568), FloatBytes({0.0f, 100.0f, 0.0f, 100.0f}));

    // A current calibration read in amperes is replaced by the nominal 4 mA.
    sim::PutTransmitterFloat(f.eeprom(), 44, 0.004f);
    f.ui().clear();
    ASSERT_TRUE(write(f));
    EXPECT_EQ(f.ui().messages,
              QStringList{QString::fromUtf8("špatně přečtená konstanta I1 z převodníku")});
    EXPECT_EQ(f.lastWrite(52), FloatBytes({1000.0f, 80.0f, 0.0f, 100.0f}));
}

// D1 and D2 set the output current; one the float cannot carry would scale it to nonsense.
TEST(WriteFamilies, UnusableFactoryD1OrD2EndsTheWriteBeforeAnyBlock)
{
    for (const int address : {36, 40}) {
        WriteFixture f;
        sim::PutTransmitterFloat(f.eeprom(), address == 36 ? 40 : 36, 5000.0f);
        if (address == 36)
            sim::PutTransmitterFloat(f.eeprom(), 36, std::numeric_limits<float>::quiet_NaN());
        else
            std::fill_n(f.eeprom().begin() + 40, 4, 0xFF); // beyond the float, as a blank unit
        f.fill({{"Vstup", "reostat"},
                {"PripCidl", "čtyřvodičově"},
                {"Linearizace", "nelinearizováno"},
                {"Pocatek", "0"},
                {"Konec", "100"},
                {"Tlumeni", "1"},
                {"ChybProud", "nadproud"}});
        f.ui().clear();
        EXPECT_FALSE(write(f));
        EXPECT_TRUE(f.writes().empty()) << address;
        EXPECT_EQ(f.ui().messages.value(0),
                  QString::fromUtf8("Špatně přečtená konstanta %1 z převodníku, "
                                    "konfiguraci nelze zapsat.")
                      .arg(address == 36 ? "D1" : "D2"));
        // The transmitter measures again.
        EXPECT_EQ(f.sent().back().command, ContinueCommand);
    }
}

TEST(WriteFamilies, PausesLetTheEventLoopRun)
{
    WriteFixture f;
    bool fired = false;
    QTimer::singleShot(5, [&] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    EepromBlock block = ByteBlock(606, {0});
    block.pauseAfterMs = 100;
    ASSERT_TRUE(SendEepromBlocks(f.link.protocol, {block}, 60));
    EXPECT_GE(clock.elapsed(), 60);
    EXPECT_TRUE(fired);
    EXPECT_EQ(WriteTiming{}.frontEndSettleMs, 100);
}

} // namespace
} // namespace vtr8::test
