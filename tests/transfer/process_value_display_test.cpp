#include "transfer/process_value_display.h"

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

TEST(ProcessValueDisplay, DecodesBigEndianSingle)
{
    EXPECT_EQ(decodeProcessValue(0x41, 0xC8, 0x00, 0x00), 25.0f);
    EXPECT_EQ(decodeProcessValue(0xC3, 0x74, 0x5B, 0x9F), -244.3579f);
    EXPECT_EQ(decodeProcessValue(0x00, 0x00, 0x00, 0x00), 0.0f);
}

TEST(ProcessValueDisplay, InfinityAndNotANumberBecomeTheClampedLimit)
{
    EXPECT_EQ(decodeProcessValue(0x7F, 0x80, 0x00, 0x00), 1.0e30f);
    EXPECT_EQ(decodeProcessValue(0x7F, 0xC0, 0x00, 0x00), 1.0e30f);
    EXPECT_EQ(decodeProcessValue(0xFF, 0x80, 0x00, 0x00), -1.0e30f);
    EXPECT_EQ(decodeProcessValue(0xFF, 0xFF, 0xFF, 0xFF), -1.0e30f);
}

TEST(ProcessValueDisplay, LargeFiniteValuesAreClamped)
{
    // 1.0e31 (72 FC 6F 7C) is held at the limit; 1.0e29 (6F A1 8F 08) passes unchanged.
    EXPECT_EQ(decodeProcessValue(0x72, 0xFC, 0x6F, 0x7C), 1.0e30f);
    EXPECT_EQ(decodeProcessValue(0xF2, 0xFC, 0x6F, 0x7C), -1.0e30f);
    EXPECT_EQ(decodeProcessValue(0x6F, 0xA1, 0x8F, 0x08), 1.0e29f);
}

TEST(ProcessValueDisplay, DecimalsByInputTypeAndLinearization)
{
    using T = InputType;
    using L = Linearization;
    struct Case {
        std::optional<InputType> input;
        std::optional<Linearization> linearization;
        int decimals;
    };
    const Case cases[] = {
        {T::Voltage, L::NotLinearized, 6},       {T::VoltageDifference, L::NotLinearized, 6},
        {T::Voltage, L::Linearized, 6},          {T::ThermocoupleK, L::NotLinearized, 6},
        {T::ThermocoupleK, L::Linearized, 3},    {T::ThermocoupleB, L::FromFile, 6},
        {T::ThermocoupleN, std::nullopt, 6},     {T::ThermocoupleT, L::Linearized, 3},
        {T::Pt100, L::NotLinearized, 3},         {T::Current, L::NotLinearized, 3},
        {T::Special0to10V, L::NotLinearized, 3}, {std::nullopt, std::nullopt, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(processValueDecimals(c.input, c.linearization), c.decimals)
            << (c.input ? inputTypeText(*c.input).toStdString() : "none");
    }
}

TEST(ProcessValueDisplay, FormatsWithPointWhateverTheLocale)
{
    EXPECT_EQ(formatProcessValue(25.0f, 3), QStringLiteral("25.000"));
    EXPECT_EQ(formatProcessValue(25.0f, 6), QStringLiteral("25.000000"));
    EXPECT_EQ(formatProcessValue(-0.0125f, 3), QStringLiteral("-0.013"));
    EXPECT_EQ(formatProcessValue(-0.0f, 3), QStringLiteral("0.000"));
    // A reading that rounds to zero has no sign, as in the fields.
    EXPECT_EQ(formatProcessValue(-0.0004f, 3), QStringLiteral("0.000"));
    EXPECT_EQ(formatProcessValue(-4e-7f, 6), QStringLiteral("0.000000"));
    EXPECT_EQ(formatProcessValue(12345.5f, 3), QStringLiteral("12345.500"));
    EXPECT_EQ(formatProcessValue(1.0e30f, 3),
              QStringLiteral("1000000015047466219876688855040.000"));
}

TEST(ProcessValueDisplay, UnitTexts)
{
    EXPECT_EQ(processValueUnitText(32), std::optional<QString>(QStringLiteral("°C")));
    EXPECT_EQ(processValueUnitText(37), std::optional<QString>(QStringLiteral("Ohm")));
    EXPECT_EQ(processValueUnitText(39), std::optional<QString>(QStringLiteral("mA")));
    EXPECT_EQ(processValueUnitText(57), std::optional<QString>(QStringLiteral("%")));
    EXPECT_EQ(processValueUnitText(58), std::optional<QString>(QStringLiteral("V")));
    EXPECT_EQ(processValueUnitText(251), std::optional<QString>(QString()));
    EXPECT_FALSE(processValueUnitText(33).has_value());
    EXPECT_FALSE(processValueUnitText(0).has_value());
}

} // namespace
} // namespace vtr8
