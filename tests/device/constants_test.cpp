#include "device/constants.h"
#include "device/memory_map.h"
#include "device/write_plan.h"
#include "linearization/characteristic.h"
#include "linearization/workspace.h"

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

std::vector<std::uint8_t> floats(std::initializer_list<float> values)
{
    std::vector<std::uint8_t> out;
    for (float v : values) {
        const auto b = EncodeDeviceFloat(v);
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

TEST(Constants, OutputScalingFromTheFactoryCalibration)
{
    OutputCalibration calibration{1000, 9000, 4, 20};
    EXPECT_TRUE(CheckOutputCalibration(calibration).isEmpty());
    const OutputScaling s = ComputeOutputScaling(calibration, 0, 100, {-10, 133.333L});
    EXPECT_DOUBLE_EQ(static_cast<double>(s.d4), 1000.0);
    EXPECT_DOUBLE_EQ(static_cast<double>(s.dGain), 80.0);

    const auto blocks = OutputScalingBlocks(s);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0].address, 52);
    EXPECT_EQ(blocks[0].data, floats({1000, 80, 0, 100}));
    EXPECT_EQ(blocks[1].address, 387);
    EXPECT_EQ(blocks[1].data, floats({-10, 133.333f}));
    EXPECT_EQ(blocks[2].address, 1568);
    EXPECT_EQ(blocks[2].data, floats({0, 100, 0, 100}));
}

TEST(Constants, CalibrationCurrentsOutsideTheirBandUseTheNominalOnes)
{
    OutputCalibration amperes{1000, 9000, 0.004L, 20};
    EXPECT_EQ(CheckOutputCalibration(amperes),
              QStringList{QString::fromUtf8("špatně přečtená konstanta I1 z převodníku")});
    EXPECT_EQ(amperes.i1, 4);

    OutputCalibration blank{0, 0, std::numeric_limits<Extended>::quiet_NaN(), 23};
    const QStringList messages = CheckOutputCalibration(blank);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[1], QString::fromUtf8("špatně přečtená konstanta I2 z převodníku"));
    EXPECT_EQ(blank.i1, 4);
    EXPECT_EQ(blank.i2, 20);

    OutputCalibration edges{0, 0, 2, 22};
    EXPECT_TRUE(CheckOutputCalibration(edges).isEmpty());
}

TEST(Constants, OutputScalingWithOffsetCalibration)
{
    // I1 = 3 mA, I2 = 19 mA: 4 mA lies a sixteenth of the way up.
    OutputCalibration c{500, 8500, 3, 19};
    const OutputScaling s = ComputeOutputScaling(c, -50, 150, {});
    EXPECT_DOUBLE_EQ(static_cast<double>(s.d4), 1000.0);
    EXPECT_DOUBLE_EQ(static_cast<double>(s.dGain), 40.0);
}

TEST(Constants, SignalLimitsAroundTheRange)
{
    const SignalLimits rtd = ComputeSignalLimits(100.0f, 138.5f, false);
    EXPECT_NEAR(static_cast<double>(rtd.lower), 96.15, 1e-9);
    EXPECT_NEAR(static_cast<double>(rtd.upper), 151.3333333, 1e-6);

    const SignalLimits falling = ComputeSignalLimits(138.5f, 100.0f, false);
    EXPECT_NEAR(static_cast<double>(falling.lower), 87.1666667, 1e-6);
    EXPECT_NEAR(static_cast<double>(falling.upper), 142.35, 1e-9);

    const SignalLimits root = ComputeSignalLimits(4.0f, 20.0f, true);
    EXPECT_NEAR(static_cast<double>(root.lower), 3.84, 1e-12);
    EXPECT_NEAR(static_cast<double>(root.upper), 20.16, 1e-12);
}

TEST(Constants, StoredLimitsAsEntered)
{
    const StoredLimits l = zadHodPuvodni(0, 100, 100, 0);
    EXPECT_EQ(l.upper, 100);
    EXPECT_EQ(l.lower, 0);
    EXPECT_EQ(l.minimumSpan, 20);
    EXPECT_EQ(l.upperOutput, 105);
    EXPECT_EQ(l.lowerOutput, -5);
    EXPECT_EQ(l.rangeStart, 100);
    EXPECT_EQ(l.rangeEnd, 0);

    const EepromBlock limits = rangeLimitsBlock(32, l);
    EXPECT_EQ(limits.address, 339);
    ASSERT_EQ(limits.data.size(), 13u);
    EXPECT_EQ(limits.data[0], 32);
    EXPECT_EQ(std::vector<std::uint8_t>(limits.data.begin() + 1, limits.data.end()),
              floats({100, 0, 20}));
    const EepromBlock values = rangeValuesBlock(32, l, 2.5L);
    EXPECT_EQ(values.address, 354);
    EXPECT_EQ(std::vector<std::uint8_t>(values.data.begin() + 1, values.data.end()),
              floats({0, 100, 2.5f}));
    EXPECT_EQ(outputLimitsBlock(l).data, floats({105, -5}));
}

TEST(Constants, Pt100NotLinearizedStoresOhms)
{
    LinearizationPoints points;
    LinearizationWorkspace ws(points);
    ws.CharacteristicIndex = Characteristic::Pt100;
    const FloatSignal ohms = [&](float x) { return ZPPrepoc(ws, x); };
    Extended rangeMin = 0, rangeMax = 100;
    const StoredLimits l = zadHodPrepoc(ohms, rangeMin, rangeMax, 0, 100);
    EXPECT_NEAR(static_cast<double>(l.lower), 100.0, 1e-4);
    EXPECT_NEAR(static_cast<double>(l.upper), 138.5, 1e-4);
    EXPECT_NEAR(static_cast<double>(l.rangeEnd), 138.5, 1e-4);
    EXPECT_NEAR(static_cast<double>(rangeMin), 100.0, 1e-4);
    EXPECT_NEAR(static_cast<double>(rangeMax), 138.5, 1e-4);
    EXPECT_NEAR(static_cast<double>(l.minimumSpan), 7.7, 1e-4);

    // A falling range keeps its start and end but the limits stay sorted.
    rangeMin = 0;
    rangeMax = 100;
    const StoredLimits f = zadHodPrepoc(ohms, rangeMin, rangeMax, 100, 0);
    EXPECT_NEAR(static_cast<double>(f.rangeStart), 138.5, 1e-4);
    EXPECT_NEAR(static_cast<double>(f.rangeEnd), 100.0, 1e-4);
    EXPECT_LT(rangeMin, rangeMax);
}

TEST(Constants, InputScaleFactorByInput)
{
    EXPECT_DOUBLE_EQ(static_cast<double>(*InputScaleFactor(InputType::Current, 4, 20, 0.1L, 0, 1)),
                     200.0);
    // A range below zero still gives mA per volt across the shunt.
    EXPECT_DOUBLE_EQ(static_cast<double>(*InputScaleFactor(InputType::Current, -20, 4, 0.1L, 0, 1)),
                     200.0);
    EXPECT_DOUBLE_EQ(
        static_cast<double>(*InputScaleFactor(InputType::CurrentDifference, -5, 5, 0.02L, -20, 1)),
        1000.0);
    EXPECT_EQ(*InputScaleFactor(InputType::Voltage, 0, 10, 0.5L, 0, 20), 20);
    EXPECT_EQ(*InputScaleFactor(InputType::Pt100, 0, 100, 138.5L, 0, 1), 1);
    EXPECT_FALSE(InputScaleFactor(InputType::PotentiometerRelative, 0, 100, 0, 1000, 100));
}

TEST(Constants, PolynomialBlocksHighestPowerFirst)
{
    std::array<Extended, 21> c{};
    c[0] = -244.3579L;
    c[1] = 2.5L;
    c[2] = 0.5L;
    const auto blocks = PolynomialBlocks(2, c);
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(blocks[0], ByteBlock(127, {2}));
    EXPECT_EQ(blocks[1].address, 128);
    EXPECT_EQ(blocks[1].data, floats({0.5f}));
    EXPECT_EQ(blocks[2].address, 132);
    EXPECT_EQ(blocks[2].data, floats({2.5f}));
    EXPECT_EQ(blocks[3].address, 136);
    EXPECT_EQ(blocks[3].data, (std::vector<std::uint8_t>{0x88, 0xF4, 0x5B, 0x9F}));
}

TEST(Constants, ColdJunctionPolynomialsForEveryThermocouple)
{
    const auto k = ColdJunctionBlocks(InputType::ThermocoupleK);
    ASSERT_EQ(k.size(), 4u);
    EXPECT_EQ(k[0], ByteBlock(171, {4}));
    EXPECT_EQ(k[1].address, 172);
    EXPECT_EQ(k[1].data,
              floats({1.33197569e-08f, -5.5825426e-06f, 0.00186899223f, 2.29917741f, -244.35788f}));
    EXPECT_EQ(k[2], ByteBlock(207, {4}));
    EXPECT_EQ(k[3].address, 208);
    EXPECT_EQ(k[3].data, floats({2.8648206e-14f, -1.16069994e-10f, 2.6705175e-08f, 3.94146409e-05f,
                                 -3.01296183e-07f}));

    const auto b = ColdJunctionBlocks(InputType::ThermocoupleB);
    ASSERT_EQ(b.size(), 4u);
    EXPECT_EQ(b[2], ByteBlock(207, {2}));
    EXPECT_EQ(b[3].data, floats({5.72773784e-09f, -2.4094939e-07f, 4.13590306e-25f}));

    const auto n = ColdJunctionBlocks(InputType::ThermocoupleN);
    ASSERT_EQ(n.size(), 4u);
    EXPECT_EQ(std::vector<std::uint8_t>(n[3].data.begin(), n[3].data.begin() + 4),
              floats({-5.44024834e-14f}));
    const auto l = ColdJunctionBlocks(InputType::ThermocoupleL);
    EXPECT_EQ(std::vector<std::uint8_t>(l[3].data.begin(), l[3].data.begin() + 4),
              floats({1.04584642e-13f}));

    EXPECT_TRUE(ColdJunctionBlocks(InputType::Pt100).empty());
    for (int code = 8; code <= 16; ++code)
        EXPECT_EQ(ColdJunctionBlocks(static_cast<InputType>(code)).size(), 4u) << code;
}

TEST(Constants, ColdJunctionSensorPolynomialGivesZeroAtHundredOhms)
{
    const auto blocks = ColdJunctionBlocks(InputType::ThermocoupleJ);
    const std::vector<std::uint8_t>& bytes = blocks[1].data;
    auto at = [&](Extended r) {
        Extended t = 0;
        for (std::size_t i = 0; i < 5; ++i)
            t = t * r + DecodeDeviceFloat(
                            {bytes[4 * i], bytes[4 * i + 1], bytes[4 * i + 2], bytes[4 * i + 3]});
        return t;
    };
    EXPECT_NEAR(static_cast<double>(at(100)), 0.0, 0.05);
    EXPECT_NEAR(static_cast<double>(at(138.5L)), 100.0, 0.5);
}

TEST(Constants, ErrorCurrentFlags)
{
    EXPECT_EQ(ErrorCurrentFlags(ErrorCurrentCode::Downscale, true), 10);
    EXPECT_EQ(ErrorCurrentFlags(ErrorCurrentCode::Upscale, false), 4);
    EXPECT_EQ(ErrorCurrentFlags(ErrorCurrentCode::Off, true), 2);
    EXPECT_EQ(ErrorCurrentFlags(std::nullopt, false), 0);
}

TEST(Constants, ConfigurationRecordBlocks)
{
    ConfigurationRecord r;
    r.parasiticResistance = 0.5L;
    r.input = InputType::Current;
    r.errorCurrentCode = 2;
    r.frontEndMode = 28;
    r.connection = ConnectionCode::None;
    r.shuntResistance = 5;
    r.totalValue = 7;
    r.rangeUnitCode = 39;
    r.limits = zadHodPuvodni(4, 20, 4, 20);
    r.dampingTime = 1;
    r.unitCode = 39;
    r.linearizationCharacteristic = Characteristic::Identity;
    r.rangeCharacteristic = Characteristic::Identity;
    r.linearizationCode = LinearizationCode::NotLinearized;

    auto blocks = ConfigurationBlocks(r);
    ASSERT_EQ(blocks.size(), 8u);
    const eeprom::Address order[] = {32, 400, 408, 339, 416, 354, 424, 114};
    for (std::size_t i = 0; i < blocks.size(); ++i)
        EXPECT_EQ(blocks[i].address, order[i]);
    EXPECT_EQ(blocks[0].data, floats({0.5f}));
    EXPECT_EQ(blocks[1].data, (std::vector<std::uint8_t>{18, 2, 28, 0, 0x83, 0x20, 0, 0}));
    EXPECT_EQ(blocks[2].data, floats({7}));
    EXPECT_EQ(blocks[6].data, (std::vector<std::uint8_t>{39, 16, 16, 0}));
    EXPECT_EQ(blocks[7].data, (std::vector<std::uint8_t>{0}));

    r.input = InputType::Voltage;
    blocks = ConfigurationBlocks(r);
    EXPECT_EQ(std::vector<std::uint8_t>(blocks[1].data.begin() + 4, blocks[1].data.end()),
              floats({0}));
    EXPECT_EQ(blocks[2].data, floats({0}));

    r.input = InputType::PotentiometerRelative;
    blocks = ConfigurationBlocks(r);
    EXPECT_EQ(blocks[2].data, floats({7}));
    EXPECT_EQ(blocks[7].data, (std::vector<std::uint8_t>{85}));
}

TEST(WritePlan, CharacteristicIndicesByInputAndLinearization)
{
    struct Case {
        InputType input;
        Linearization lin;
        bool old;
        int linChar, rangeChar, code;
    };
    const Case cases[] = {
        {InputType::Pt100, Linearization::Linearized, true, 9, 9, 1},
        {InputType::Pt100, Linearization::Linearized, false, 9, 9, 2},
        {InputType::ThermocoupleK, Linearization::NotLinearized, false, 16, 1, 0},
        {InputType::ThermocoupleL, Linearization::FromFile, false, 8, 14, 4},
        {InputType::Voltage, Linearization::NotLinearized, false, 16, 16, 0},
        {InputType::Current, Linearization::FromFile, true, 16, 14, 4},
        {InputType::Current, Linearization::SquareRoot, false, 16, 15, 3},
    };
    for (const auto& c : cases) {
        const auto choice = ChooseCharacteristics(c.input, c.lin, c.old);
        ASSERT_TRUE(choice) << static_cast<int>(c.input);
        EXPECT_EQ(static_cast<int>(choice->linearizationCharacteristic), c.linChar);
        EXPECT_EQ(static_cast<int>(choice->rangeCharacteristic), c.rangeChar);
        EXPECT_EQ(static_cast<int>(choice->code), c.code);
    }
    EXPECT_FALSE(ChooseCharacteristics(InputType::Special0to10V, Linearization::Linearized, false));
    EXPECT_FALSE(ChooseCharacteristics(InputType::Pt100, Linearization::SquareRoot, false));
}

TEST(WritePlan, RangeUnitCodes)
{
    struct Case {
        InputType input;
        Linearization lin;
        int code;
        bool convert;
    };
    const Case cases[] = {
        {InputType::Pt100, Linearization::Linearized, 32, false},
        {InputType::Ni1000, Linearization::NotLinearized, 37, true},
        {InputType::ThermocoupleS, Linearization::FromFile, 32, false},
        {InputType::ThermocoupleS, Linearization::NotLinearized, 58, true},
        {InputType::Rheostat, Linearization::NotLinearized, 37, false},
        {InputType::Rheostat, Linearization::FromFile, 251, false},
        {InputType::PotentiometerRelative, Linearization::NotLinearized, 57, false},
        {InputType::Special0to10V, Linearization::NotLinearized, 58, false},
        {InputType::VoltageDifference, Linearization::SquareRoot, 251, false},
        {InputType::Special4to20mA, Linearization::NotLinearized, 39, false},
        {InputType::CurrentDifference, Linearization::NotLinearized, 39, false},
    };
    for (const auto& c : cases) {
        const RangeUnitChoice u = ChooseRangeUnit(c.input, c.lin, 251);
        EXPECT_EQ(u.rangeUnitCode, c.code) << static_cast<int>(c.input);
        EXPECT_EQ(u.convertThroughSensor, c.convert) << static_cast<int>(c.input);
    }
}

} // namespace
} // namespace vtr8
