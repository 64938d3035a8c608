#include "device/device_float.h"
#include "device/eeprom_block.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <random>

namespace vtr8 {
namespace {

struct Known {
    float value;
    DeviceFloatBytes bytes;
};

TEST(DeviceFloat, KnownValuesEncodeAndDecode)
{
    const Known cases[] = {
        {1.0f, {0x81, 0x00, 0x00, 0x00}},   {-1.0f, {0x81, 0x80, 0x00, 0x00}},
        {0.5f, {0x80, 0x00, 0x00, 0x00}},   {4.0f, {0x83, 0x00, 0x00, 0x00}},
        {12.0f, {0x84, 0x40, 0x00, 0x00}},  {20.0f, {0x85, 0x20, 0x00, 0x00}},
        {3.2f, {0x82, 0x4C, 0xCC, 0xCD}},   {-244.3579f, {0x88, 0xF4, 0x5B, 0x9F}},
        {220.0f, {0x88, 0x5C, 0x00, 0x00}}, {0.0f, {0x00, 0x00, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(EncodeDeviceFloat(c.value), c.bytes);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(DecodeDeviceFloat(c.bytes)),
                  std::bit_cast<std::uint32_t>(c.value));
    }
}

TEST(DeviceFloat, NegativeZeroKeepsItsSignAndDecodesToZero)
{
    const DeviceFloatBytes bytes{0x00, 0x80, 0x00, 0x00};
    EXPECT_EQ(EncodeDeviceFloat(-0.0f), bytes);
    EXPECT_EQ(DecodeDeviceFloat(bytes), 0.0f);
    EXPECT_TRUE(std::signbit(DecodeDeviceFloat(bytes)));
}

TEST(DeviceFloat, SmallestNormalExponentsRoundTrip)
{
    // IEEE exponent 1 becomes stored exponent 3; stored 1 and 2 never come from the encoder
    // and decode as IEEE exponents 1 and 2.
    const float tiny = std::bit_cast<float>(std::uint32_t{0x00812345});
    const DeviceFloatBytes bytes = EncodeDeviceFloat(tiny);
    EXPECT_EQ(bytes, (DeviceFloatBytes{0x03, 0x01, 0x23, 0x45}));
    EXPECT_EQ(std::bit_cast<std::uint32_t>(DecodeDeviceFloat(bytes)), 0x00812345u);

    EXPECT_EQ(std::bit_cast<std::uint32_t>(DecodeDeviceFloat({0x01, 0x00, 0x00, 0x00})),
              0x00800000u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(DecodeDeviceFloat({0x02, 0x00, 0x00, 0x00})),
              0x01000000u);
}

TEST(DeviceFloat, DenormalsKeepExponentZero)
{
    const float denormal = std::bit_cast<float>(std::uint32_t{0x00000123});
    EXPECT_EQ(EncodeDeviceFloat(denormal), (DeviceFloatBytes{0x00, 0x00, 0x01, 0x23}));
    EXPECT_EQ(std::bit_cast<std::uint32_t>(DecodeDeviceFloat({0x00, 0x00, 0x01, 0x23})),
              0x00000123u);
}

TEST(DeviceFloat, OnlyValuesTheExponentByteCarriesFit)
{
    const float below = std::bit_cast<float>(std::uint32_t{0x7E7FFFFF}); // just under 2^126
    EXPECT_TRUE(FitsDeviceFloat(0.0L));
    EXPECT_TRUE(FitsDeviceFloat(-244.3579L));
    EXPECT_TRUE(FitsDeviceFloat(below));
    EXPECT_TRUE(FitsDeviceFloat(std::bit_cast<float>(std::uint32_t{0x00000123})));
    EXPECT_FALSE(FitsDeviceFloat(std::ldexp(1.0L, 126)));
    EXPECT_FALSE(FitsDeviceFloat(-1e38L));
    EXPECT_FALSE(FitsDeviceFloat(std::numeric_limits<long double>::infinity()));
    EXPECT_FALSE(FitsDeviceFloat(std::numeric_limits<long double>::quiet_NaN()));
    // Beyond the float range altogether.
    EXPECT_FALSE(FitsDeviceFloat(1e39L));
}

TEST(DeviceFloat, RoundTripOverRandomBitPatterns)
{
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<std::uint32_t> any;
    int checked = 0;
    for (int i = 0; i < 200000; ++i) {
        const std::uint32_t bits = any(rng);
        const std::uint32_t exponent = (bits >> 23) & 0xFF;
        if (exponent > 252)
            continue; // does not fit the stored exponent byte
        const float value = std::bit_cast<float>(bits);
        ASSERT_EQ(std::bit_cast<std::uint32_t>(DecodeDeviceFloat(EncodeDeviceFloat(value))), bits)
            << std::hex << bits;
        ++checked;
    }
    EXPECT_GT(checked, 190000);
}

TEST(DeviceFloat, ReversedBytesDecodeTheSameValue)
{
    EXPECT_EQ(DecodeReversedDeviceFloat({0x9F, 0x5B, 0xF4, 0x88}), -244.3579f);
    EXPECT_EQ(DecodeReversedDeviceFloat({0x00, 0x00, 0x40, 0x84}), 12.0f);
}

TEST(DeviceFloat, PutsWriteAtTheirOffsetAndNothingElse)
{
    std::array<std::uint8_t, 12> bytes{};
    bytes.fill(0xEE);
    EXPECT_TRUE(PutDeviceFloat(bytes, -1.0L, 1));
    EXPECT_TRUE(PutDeviceFloat(bytes, 1.0L, 5));
    EXPECT_TRUE(putWord(bytes, 0x2103, 9));
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 12>{0xEE, 0x81, 0x80, 0x00, 0x00, 0x81, 0x00, 0x00,
                                                   0x00, 0x21, 0x03, 0xEE}));
}

TEST(DeviceFloat, PutDeviceFloatRoundsExtendedToNearestFloat)
{
    std::array<std::uint8_t, 4> bytes{};
    PutDeviceFloat(bytes, 3.2L, 0);
    EXPECT_EQ(bytes[3], 0xCD); // 3.2 rounds up in the last fraction bit
    EXPECT_EQ(DecodeDeviceFloat(bytes), 3.2f);
    // A block of floats rounds each the same way: 3.2 and -3.2 up in size, 0.7 down.
    EXPECT_EQ(FloatBlock(60, {3.2L, -3.2L, 0.7L}).data,
              (std::vector<std::uint8_t>{0x82, 0x4C, 0xCC, 0xCD, 0x82, 0xCC, 0xCC, 0xCD, 0x80, 0x33,
                                         0x33, 0x33}));
}

TEST(DeviceFloat, OffsetsOutsideTheBlockAreRefused)
{
    std::array<std::uint8_t, 8> bytes{};
    bytes.fill(0x11);
    const auto before = bytes;
    EXPECT_FALSE(PutDeviceFloat(bytes, 1.0L, 5));
    EXPECT_FALSE(PutDeviceFloat(bytes, 1.0L, 9));
    EXPECT_FALSE(putWord(bytes, 0x1234, 7));
    EXPECT_FALSE(putWord(bytes, 0x1234, std::size_t(-1)));
    EXPECT_EQ(bytes, before);
    EXPECT_TRUE(PutDeviceFloat(bytes, 1.0L, 4));
    EXPECT_EQ(bytes[7], 0x00);
}

} // namespace
} // namespace vtr8
