#include "device/front_end.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vtr8 {
namespace {

// Platinum resistance above 0 °C and a fixed type-K EMF, enough to place the sub-ranges.
Extended referenceSignal(Characteristic characteristic, Extended x)
{
    switch (characteristic) {
    case Characteristic::Pt100:
        return 100 * (1 + 3.90802e-3L * x - 5.802e-7L * x * x);
    case Characteristic::Pt1000:
        return 1000 * (1 + 3.90802e-3L * x - 5.802e-7L * x * x);
    case Characteristic::TcK:
        return x == 1300 ? 0.05241L : 0.0L;
    case Characteristic::LinearFromFile:
        return 2 * x; // a point file that doubles its input
    default:
        return x;
    }
}

FrontEndRequest request(InputType input, Extended start, Extended end)
{
    FrontEndRequest r;
    r.input = input;
    r.rangeStart = start;
    r.rangeEnd = end;
    r.signal = referenceSignal;
    return r;
}

struct ModeCase {
    const char* name;
    FrontEndRequest request;
    FrontEndStatus status;
    int mode;
};

FrontEndRequest with(FrontEndRequest r, ConnectionCode c)
{
    r.connection = c;
    return r;
}

TEST(FrontEnd, SelectsModeForEveryFamily)
{
    auto pt100 = request(InputType::Pt100, 0, 850);
    auto pt1000 = request(InputType::Pt1000, 0, 850);
    auto pt1000Over = request(InputType::Pt1000, 0, 900); // about 4047 ohms
    auto k = request(InputType::ThermocoupleK, 0, 1300);
    auto kNear = k, kInternal = k, kRemote = k;
    kNear.coldJunction = ColdJunction::Near;
    kInternal.coldJunction = ColdJunction::Internal;
    kRemote.coldJunction = ColdJunction::Remote;
    auto volts20 = request(InputType::Voltage, 0, 10);
    volts20.dividerRatio = 20;
    auto volts10 = volts20, volts5 = volts20, voltsNegative = volts20;
    volts10.dividerRatio = 10;
    volts5.dividerRatio = 5;
    voltsNegative.rangeStart = -0.3L;
    voltsNegative.rangeEnd = 0.01L;
    voltsNegative.dividerRatio = 1;
    auto current5 = request(InputType::Current, 4, 20);
    current5.shuntResistance = 5;
    auto current10 = current5;
    current10.shuntResistance = 10;
    auto rheostat = request(InputType::Rheostat, 0, 1500);
    auto potAbs = request(InputType::PotentiometerAbsolute, 0, 150);
    auto potRel = request(InputType::PotentiometerRelative, 0, 100);
    potRel.totalValue = 1000;
    auto potRelHuge = potRel;
    potRelHuge.totalValue = 4500;
    auto difference = request(InputType::ResistorDifference, -100, 100);
    difference.totalValue = 300;
    auto differenceHuge = difference;
    differenceHuge.totalValue = 5000;
    auto voltageDifference = request(InputType::VoltageDifference, -1, 1);
    voltageDifference.totalValue = 0.3L;
    voltageDifference.dividerRatio = 10;
    auto currentDifference = request(InputType::CurrentDifference, -5, 5);
    currentDifference.totalValue = 20;
    currentDifference.shuntResistance = 1;
    auto kNoJunction = k;

    const ModeCase cases[] = {
        {"Pt100 four-wire", with(pt100, ConnectionCode::FourWire), FrontEndStatus::Found, 2},
        {"Pt100 two-wire", with(pt100, ConnectionCode::TwoWire), FrontEndStatus::Found, 6},
        {"Pt100 three-wire", with(pt100, ConnectionCode::ThreeWire), FrontEndStatus::Found, 6},
        {"Pt1000 four-wire", with(pt1000, ConnectionCode::FourWire), FrontEndStatus::Found, 4},
        {"Pt1000 two-wire", with(pt1000, ConnectionCode::TwoWire), FrontEndStatus::Found, 8},
        {"Pt1000 beyond 4000", with(pt1000Over, ConnectionCode::FourWire),
         FrontEndStatus::Overdriven, 0},
        {"K near", kNear, FrontEndStatus::Found, 35},
        {"K internal", kInternal, FrontEndStatus::Found, 31},
        {"K remote", kRemote, FrontEndStatus::Found, 39},
        {"K without a cold junction", kNoJunction, FrontEndStatus::NoSettings, 0},
        {"voltage divider 20", volts20, FrontEndStatus::Found, 52},
        {"voltage divider 10", volts10, FrontEndStatus::Found, 53},
        {"voltage divider 5", volts5, FrontEndStatus::Overdriven, 0},
        {"negative voltage by magnitude", voltsNegative, FrontEndStatus::Found, 52},
        {"current 5 ohm", current5, FrontEndStatus::Found, 28},
        {"current 10 ohm", current10, FrontEndStatus::Overdriven, 0},
        {"rheostat", with(rheostat, ConnectionCode::ThreeWire), FrontEndStatus::Found, 7},
        {"absolute potentiometer", with(potAbs, ConnectionCode::FourWire), FrontEndStatus::Found,
         9},
        {"relative potentiometer four-wire", with(potRel, ConnectionCode::FourWire),
         FrontEndStatus::Found, 11},
        {"relative potentiometer three-wire", with(potRel, ConnectionCode::ThreeWire),
         FrontEndStatus::Found, 19},
        {"relative potentiometer too large", with(potRelHuge, ConnectionCode::FourWire),
         FrontEndStatus::Overdriven, 0},
        {"resistor difference", difference, FrontEndStatus::NoSettings, 42},
        {"resistor difference too large", differenceHuge, FrontEndStatus::Overdriven, 0},
        {"voltage difference", voltageDifference, FrontEndStatus::NoSettings, 46},
        {"current difference", currentDifference, FrontEndStatus::NoSettings, 46},
        {"0..10 V", request(InputType::Special0to10V, 0, 10), FrontEndStatus::Found, 49},
        {"0..20 mA", request(InputType::Special0to20mA, 0, 20), FrontEndStatus::Found, 50},
        {"4..20 mA", request(InputType::Special4to20mA, 4, 20), FrontEndStatus::Found, 51},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FrontEndChoice choice = SelectFrontEndMode(c.request);
        EXPECT_EQ(choice.status, c.status);
        if (c.status != FrontEndStatus::Overdriven) {
            EXPECT_EQ(choice.mode, c.mode);
        }
    }
}

TEST(FrontEnd, SignalEqualToALimitSelectsTheSmallerSubRange)
{
    auto r = request(InputType::Pt100, 0, 266);
    r.connection = ConnectionCode::FourWire;
    r.signal = [](Characteristic, Extended) { return Extended{200}; };
    EXPECT_EQ(SelectFrontEndMode(r).mode, 1);
    r.signal = [](Characteristic, Extended) {
        return std::nextafter(Extended{200}, Extended{300});
    };
    EXPECT_EQ(SelectFrontEndMode(r).mode, 2);
}

TEST(FrontEnd, SignalMagnitudesFollowTheInput)
{
    auto current = request(InputType::Current, 4, 20);
    current.shuntResistance = 5;
    EXPECT_NEAR(static_cast<double>(InputSignalMax(current)), 0.1, 1e-15);

    auto falling = request(InputType::Pt100, 850, 0); // the larger limit, not the end
    EXPECT_NEAR(static_cast<double>(InputSignalMax(falling)), 390.262, 0.01);

    auto fromFile = request(InputType::Voltage, 0, 0.2L);
    fromFile.fromFile = true;
    EXPECT_NEAR(static_cast<double>(InputSignalMax(fromFile)), 0.4, 1e-15);
    EXPECT_EQ(SelectFrontEndMode(fromFile).mode, 52);

    auto zeroDivider = request(InputType::Voltage, 0, 0);
    zeroDivider.dividerRatio = 0;
    EXPECT_EQ(SelectFrontEndMode(zeroDivider).status, FrontEndStatus::Overdriven);
}

TEST(FrontEnd, RefusalTexts)
{
    EXPECT_EQ(FrontEndRefusalText(FrontEndStatus::Overdriven), QString::fromUtf8("Přebuzen vstup"));
    EXPECT_FALSE(FrontEndRefusalText(FrontEndStatus::NoSettings).isEmpty());
    EXPECT_TRUE(FrontEndRefusalText(FrontEndStatus::Found).isEmpty());
}

TEST(FrontEnd, TableHasRowsExactlyForTheKnownModes)
{
    int rows = 0;
    for (int mode = 0; mode <= 60; ++mode) {
        const bool modeless = (mode >= 13 && mode <= 16) || (mode >= 21 && mode <= 24) ||
                              (mode >= 41 && mode <= 48) || mode == 0 || mode > 53;
        EXPECT_EQ(FrontEndTable(mode).has_value(), !modeless) << mode;
        if (const auto row = FrontEndTable(mode)) {
            ++rows;
            EXPECT_EQ(row->scaleFactor, 1.0f);
            EXPECT_EQ(row->parasiticResistance, 0.0f);
            EXPECT_EQ(row->bytes112[1], 0);
            EXPECT_EQ(row->bytes112[2], 0);
        }
    }
    EXPECT_EQ(rows, 37);
    EXPECT_EQ(FrontEndTable(1), FrontEndTable(9));
    EXPECT_NE(FrontEndTable(1), FrontEndTable(5));
}

TEST(FrontEnd, ModeLessLoadKeepsTheImage)
{
    FrontEndImage image;
    ASSERT_TRUE(LoadFrontEndSettings(29, image));
    const FrontEndImage before = image;
    EXPECT_FALSE(LoadFrontEndSettings(44, image));
    EXPECT_EQ(image, before);
}

std::vector<std::uint8_t> bytes(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

TEST(FrontEnd, ModeOneBlocksByteForByte)
{
    FrontEndImage image;
    ASSERT_TRUE(LoadFrontEndSettings(1, image));
    const auto blocks = FrontEndBlocks(image);
    ASSERT_EQ(blocks.size(), 8u);
    const eeprom::Address addresses[] = {0, 12, 24, 28, 96, 100, 112, 448};
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i].address, addresses[i]);
        EXPECT_EQ(blocks[i].pauseAfterMs, i == 1 ? 100 : 0) << i;
    }
    EXPECT_EQ(blocks[0].data, bytes({0x21, 0x03, 0x91, 0x01, 0x20, 0x04, 0x91, 0x01, 0, 0, 0, 0}));
    EXPECT_EQ(blocks[1].data, std::vector<std::uint8_t>(12, 0));
    EXPECT_EQ(blocks[2].data, bytes({20, 52, 0, 0}));
    EXPECT_EQ(blocks[3].data, bytes({0x81, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(blocks[4].data, bytes({0xE6, 0x03, 0xFF, 0x03}));
    EXPECT_EQ(blocks[5].data, bytes({0x7C, 0xFF, 0x70, 0x1F, 0x04, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(blocks[6].data, bytes({4, 0, 0, 1}));
    EXPECT_EQ(blocks[7].data, bytes({0x88, 0x5C, 0x00, 0x00, 0x81, 0x80, 0x00, 0x00}));
}

TEST(FrontEnd, ThermocoupleAndVoltageRowsByteForByte)
{
    FrontEndImage image;
    ASSERT_TRUE(LoadFrontEndSettings(37, image));
    auto blocks = FrontEndBlocks(image);
    EXPECT_EQ(blocks[0].data,
              bytes({0x14, 0x05, 0x13, 0x01, 0x10, 0x06, 0x13, 0x01, 0x21, 0x13, 0x81, 0x00}));
    EXPECT_EQ(blocks[1].data, bytes({0x02, 0x02, 0x20, 0x04, 0x13, 0x21, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(blocks[2].data, bytes({22, 86, 2, 52}));
    EXPECT_EQ(blocks[5].data,
              bytes({0x7C, 0xFF, 0x70, 0x4C, 0, 0, 0x7C, 0xFF, 0x50, 0x78, 0x05, 0}));
    EXPECT_EQ(blocks[6].data, bytes({169, 0, 0, 1}));

    ASSERT_TRUE(LoadFrontEndSettings(53, image));
    blocks = FrontEndBlocks(image);
    EXPECT_EQ(blocks[5].data, bytes({0x7C, 0xFD, 0x80, 0x0F, 0x02, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(blocks[6].data, bytes({52, 0, 0, 3}));
    EXPECT_EQ(blocks[7].data.size(), 8u);
    EXPECT_EQ(image.upperOverload, 1.2f);
    EXPECT_EQ(image.lowerOverload, -0.55f);
}

TEST(FrontEnd, ColdJunctionTexts)
{
    EXPECT_EQ(ColdJunctionFromText(QString::fromUtf8("blízký studený konec")), ColdJunction::Near);
    EXPECT_EQ(ColdJunctionText(ColdJunction::Remote), QString::fromUtf8("vzdálený studený konec"));
    EXPECT_FALSE(ColdJunctionFromText(QStringLiteral("blizky")).has_value());
}

} // namespace
} // namespace vtr8
