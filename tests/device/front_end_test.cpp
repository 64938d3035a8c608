#include "device/front_end.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

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
    // The file's line maps the range onto the voltage before the divider: 100 % → 20 V → 0.2 V.
    auto offsetFile = request(InputType::Voltage, 0, 100);
    offsetFile.fromFile = true;
    offsetFile.dividerRatio = 100;
    offsetFile.signal = [](Characteristic c, Extended x) {
        return c == Characteristic::LinearFromFile ? 0.16L * x + 4 : x;
    };
    EXPECT_NEAR(static_cast<double>(InputSignalMax(offsetFile)), 0.2, 1e-12);

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

// The front-end table as printed for the transmitter, one text row per group of
// modes: modes | words 0-11 | words 12-23 | bytes 24-27 | bytes 96-99 |
// bytes 100-111 | 112 | 115 | float 448 | float 452. Typed apart from the
// program's own table so that a digit swapped in either one shows.
const char* const PrintedTable[] = {
    "1, 9 | 2103 9101 2004 9101 0000 0000 | 0000 0000 0000 0000 0000 0000 | 20 52 0 0 | E6 03 FF "
    "03 | 7C FF 70 1F 04 00 00 00 00 00 00 00 | 4 | 1 | 220 | -1",
    "2, 10 | 2103 9101 2004 9101 0000 0000 | 0000 0000 0000 0000 0000 0000 | 20 52 0 0 | E6 03 FF "
    "03 | 7C FF 50 4F 05 00 00 00 00 00 00 00 | 4 | 1 | 440 | -1",
    "3, 11 | 2303 9101 2004 9101 0000 0000 | 0000 0000 0000 0000 0000 0000 | 20 52 0 0 | F2 03 FF "
    "03 | 7C FF 40 3F 05 00 00 00 00 00 00 00 | 20 | 1 | 2200 | -10",
    "4, 12 | 2303 9101 2004 9101 0000 0000 | 0000 0000 0000 0000 0000 0000 | 20 52 0 0 | F2 03 FF "
    "03 | 7C FF 40 20 05 00 00 00 00 00 00 00 | 20 | 1 | 4400 | -10",
    "5 | 2103 8100 2004 8100 0202 8100 | 0000 0000 0000 0000 0000 0000 | 2 52 0 0 | E6 03 FF 03 | "
    "7C FF 70 1F 04 00 00 00 00 00 00 00 | 6 | 1 | 220 | -1",
    "6 | 2103 8100 2004 8100 0202 8100 | 0000 0000 0000 0000 0000 0000 | 2 52 0 0 | E6 03 FF 03 | "
    "7C FF 50 4F 05 00 00 00 00 00 00 00 | 6 | 1 | 440 | -1",
    "7 | 2303 8100 2004 8100 0202 8100 | 0000 0000 0000 0000 0000 0000 | 2 52 0 0 | F2 03 FF 03 | "
    "7C FF 40 3F 05 00 00 00 00 00 00 00 | 22 | 1 | 2200 | -10",
    "8 | 2303 8100 2004 8100 0202 8100 | 0000 0000 0000 0000 0000 0000 | 2 52 0 0 | F2 03 FF 03 | "
    "7C FF 40 20 05 00 00 00 00 00 00 00 | 22 | 1 | 4400 | -10",
    "17 | 2103 9101 2004 9101 0202 9100 | 0000 0000 0000 0000 0000 0000 | 18 52 0 0 | E6 03 FF 03 "
    "| 7C FF 70 1F 04 00 00 00 00 00 00 00 | 4 | 1 | 220 | -1",
    "18 | 2103 9101 2004 9101 0202 9101 | 0000 0000 0000 0000 0000 0000 | 18 52 0 0 | E6 03 FF 03 "
    "| 7C FF 50 4F 05 00 00 00 00 00 00 00 | 6 | 1 | 220 | -1",
    "19 | 2303 9101 2004 9101 0202 9101 | 0000 0000 0000 0000 0000 0000 | 18 52 0 0 | F2 03 FF 03 "
    "| 7C FF 40 3F 05 00 00 00 00 00 00 00 | 22 | 1 | 2200 | -10",
    "20 | 2303 9101 2004 9101 0202 9101 | 0000 0000 0000 0000 0000 0000 | 18 52 0 0 | F2 03 FF 03 "
    "| 7C FF 40 20 05 00 00 00 00 00 00 00 | 22 | 1 | 4400 | -10",
    "25 | 1405 1301 1006 1301 0000 0000 | 0000 0000 0000 0000 0000 0000 | 22 86 0 0 | FF 03 FF 03 "
    "| 7C FF 70 4C 00 00 00 00 00 00 00 00 | 36 | 3 | 0.0176 | -0.0016",
    "26 | 1405 1301 1006 1301 0000 0000 | 0000 0000 0000 0000 0000 0000 | 22 86 0 0 | FF 03 FF 03 "
    "| 7C FF 60 4C 00 00 00 00 00 00 00 00 | 36 | 3 | 0.0352 | -0.0032",
    "27 | 1505 1301 1006 1301 0000 0000 | 0000 0000 0000 0000 0000 0000 | 22 86 0 0 | FF 03 FF 03 "
    "| 7C FF 50 60 00 00 00 00 00 00 00 00 | 52 | 3 | 0.0704 | -0.016",
    "28 | 1505 1301 1006 1301 0000 0000 | 0000 0000 0000 0000 0000 0000 | 22 86 0 0 | FF 03 FF 03 "
    "| 7C FD 80 78 00 00 00 00 00 00 00 00 | 52 | 3 | 0.128 | -0.128",
    "29 | 1405 1301 1006 1301 2113 3300 | 2004 1321 0000 0000 0000 0000 | 22 86 4 52 | E6 03 E6 03 "
    "| 7C FF 70 4C 00 00 7C FF 50 78 05 00 | 168 | 1 | 0.0176 | -0.0016",
    "30 | 1405 1301 1006 1301 2113 3300 | 2004 1321 0000 0000 0000 0000 | 22 86 4 52 | E6 03 E6 03 "
    "| 7C FF 60 4C 00 00 7C FF 50 78 05 00 | 168 | 1 | 0.0352 | -0.0032",
    "31 | 1505 1301 1006 1301 2113 3300 | 2004 1321 0000 0000 0000 0000 | 22 86 4 52 | E6 03 E6 03 "
    "| 7C FF 50 60 00 00 7C FF 50 78 05 00 | 184 | 1 | 0.0704 | -0.0045",
    "32 | 1505 1301 1006 1301 2113 3300 | 2004 1321 0000 0000 0000 0000 | 22 86 4 52 | E6 03 E6 03 "
    "| 7C FF 40 60 00 00 7C FF 50 78 05 00 | 184 | 1 | 0.1408 | -0.0128",
    "33 | 1405 1301 1006 1301 2113 0300 | 2004 1321 0000 0000 0000 0000 | 22 86 4 52 | E6 03 E6 03 "
    "| 7C FF 70 4C 00 00 7C FF 50 78 05 00 | 168 | 1 | 0.0176 | -0.0016",
    "34 | 1405 1301 1006 1301 2113 0300 | 2004 1321 0000 0000 0000 0000 | 22 86 4 52 | E6 03 E6 03 "
    "| 7C FF 60 4C 00 00 7C FF 50 78 05 00 | 168 | 1 | 0.0352 | -0.0032",
    "35 | 1505 1301 1006 1301 2113 0300 | 2004 1321 0000 0000 0000 0000 | 22 86 4 52 | E6 03 E6 03 "
    "| 7C FF 50 60 00 00 7C FF 50 78 05 00 | 184 | 1 | 0.0704 | -0.0045",
    "36 | 1505 1301 1006 1301 2113 0300 | 2004 1321 0000 0000 0000 0000 | 22 86 4 52 | E6 03 E6 03 "
    "| 7C FF 40 60 00 00 7C FF 50 78 05 00 | 184 | 1 | 0.1408 | -0.0128",
    "37 | 1405 1301 1006 1301 2113 8100 | 0202 2004 1321 0000 0000 0000 | 22 86 2 52 | E6 03 E6 03 "
    "| 7C FF 70 4C 00 00 7C FF 50 78 05 00 | 169 | 1 | 0.0176 | -0.0016",
    "38 | 1405 1301 1006 1301 2113 8100 | 0202 2004 1321 0000 0000 0000 | 22 86 2 52 | E6 03 E6 03 "
    "| 7C FF 60 4C 00 00 7C FF 50 78 05 00 | 169 | 1 | 0.0352 | -0.0032",
    "39 | 1505 1301 1006 1301 2113 8100 | 0202 2004 1321 0000 0000 0000 | 22 86 2 52 | E6 03 E6 03 "
    "| 7C FF 50 60 00 00 7C FF 50 78 05 00 | 185 | 1 | 0.0704 | -0.0045",
    "40 | 1505 1301 1006 1301 2113 8100 | 0202 2004 1321 0000 0000 0000 | 22 86 2 52 | E6 03 E6 03 "
    "| 7C FF 40 60 00 00 7C FF 50 78 05 00 | 185 | 1 | 0.1408 | -0.0128",
    "49 | 2505 2701 2006 2701 0000 0000 | 0000 0000 0000 0000 0000 0000 | 22 86 0 0 | FF 03 FF 03 "
    "| 7C FF 50 60 05 00 00 00 00 00 00 00 | 68 | 3 | 11 | -1",
    "50 | 2505 2601 2006 2601 0000 0000 | 0000 0000 0000 0000 0000 0000 | 22 86 0 0 | FF 03 FF 03 "
    "| 7C FF 50 60 05 00 00 00 00 00 00 00 | 84 | 3 | 22 | 0",
    "51 | 2505 2601 2006 2601 0000 0000 | 0000 0000 0000 0000 0000 0000 | 22 86 0 0 | FF 03 FF 03 "
    "| 7C FF 50 60 05 00 00 00 00 00 00 00 | 100 | 3 | 22 | 0",
    "52 | 1505 1301 1006 1301 0000 0000 | 0000 0000 0000 0000 0000 0000 | 22 86 0 0 | FF 03 FF 03 "
    "| 7C FD 80 1A 00 00 00 00 00 00 00 00 | 52 | 3 | 0.6 | -0.6",
    "53 | 1505 1301 1006 1301 0000 0000 | 0000 0000 0000 0000 0000 0000 | 22 86 0 0 | FF 03 FF 03 "
    "| 7C FD 80 0F 02 00 00 00 00 00 00 00 | 52 | 3 | 1.2 | -0.55",
};

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : text + separator) {
        if (c != separator) {
            part += c;
            continue;
        }
        const auto first = part.find_first_not_of(' ');
        const auto last = part.find_last_not_of(' ');
        parts.push_back(first == std::string::npos ? "" : part.substr(first, last - first + 1));
        part.clear();
    }
    return parts;
}

std::vector<unsigned> numbers(const std::string& text, int base)
{
    std::vector<unsigned> out;
    for (const auto& item : split(text, ' '))
        out.push_back(static_cast<unsigned>(std::stoul(item, nullptr, base)));
    return out;
}

TEST(FrontEnd, EveryRowAndColumnMatchesThePrintedTable)
{
    int rows = 0;
    for (const char* line : PrintedTable) {
        const auto cells = split(line, '|');
        ASSERT_EQ(cells.size(), 10u) << line;
        FrontEndImage expected;
        const auto words = numbers(cells[1] + " " + cells[2], 16);
        ASSERT_EQ(words.size(), 12u) << line;
        for (int i = 0; i < 12; ++i)
            expected.words[i] = static_cast<std::uint16_t>(words[i]);
        const auto b24 = numbers(cells[3], 10);
        const auto b96 = numbers(cells[4] + " " + cells[5], 16);
        ASSERT_EQ(b24.size(), 4u);
        ASSERT_EQ(b96.size(), 16u);
        for (int i = 0; i < 4; ++i)
            expected.bytes24[i] = static_cast<std::uint8_t>(b24[i]);
        for (int i = 0; i < 16; ++i)
            expected.bytes96[i] = static_cast<std::uint8_t>(b96[i]);
        expected.bytes112 = {static_cast<std::uint8_t>(std::stoi(cells[6])), 0, 0,
                             static_cast<std::uint8_t>(std::stoi(cells[7]))};
        expected.upperOverload = std::stof(cells[8]);
        expected.lowerOverload = std::stof(cells[9]);
        for (const auto& mode : split(cells[0], ',')) {
            ++rows;
            const auto row = FrontEndTable(std::stoi(mode));
            ASSERT_TRUE(row.has_value()) << mode;
            EXPECT_EQ(*row, expected) << "mode " << mode;
        }
    }
    EXPECT_EQ(rows, 37);
}

TEST(FrontEnd, ColdJunctionTexts)
{
    EXPECT_EQ(coldJunctionFromText(QString::fromUtf8("blízký studený konec")), ColdJunction::Near);
    EXPECT_EQ(coldJunctionText(ColdJunction::Remote), QString::fromUtf8("vzdálený studený konec"));
    EXPECT_FALSE(coldJunctionFromText(QStringLiteral("blizky")).has_value());
}

} // namespace
} // namespace vtr8
