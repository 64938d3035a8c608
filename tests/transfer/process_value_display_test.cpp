#include "transfer/process_value_display.h"

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

TEST(ProcessValueDisplay, DecodesBigEndianSingle)
{
    EXPECT_EQ(DecodeProcessValue(0x41, 0xC8, 0x00, 0x00), 25.0f);
    EXPECT_EQ(DecodeProcessValue(0xC3, 0x74, 0x5B, 0x9F), -244.3579f);
    EXPECT_EQ(DecodeProcessValue(0x00, 0x00, 0x00, 0x00), 0.0f);
}

TEST(ProcessValueDisplay, InfinityAndNotANumberBecomeTheClampedLimit)
{
    EXPECT_EQ(DecodeProcessValue(0x7F, 0x80, 0x00, 0x00), 1.0e30f);
    EXPECT_EQ(DecodeProcessValue(0x7F, 0xC0, 0x00, 0x00), 1.0e30f);
    EXPECT_EQ(DecodeProcessValue(0xFF, 0x80, 0x00, 0x00), -1.0e30f);
    EXPECT_EQ(DecodeProcessValue(0xFF, 0xFF, 0xFF, 0xFF), -1.0e30f);
}

TEST(ProcessValueDisplay, LargeFiniteValuesAreClamped)
{
    // 1.0e31 (72 FC 6F 7C) is held at the limit; 1.0e29 (6F A1 8F 08) passes unchanged.
    EXPECT_EQ(DecodeProcessValue(0x72, 0xFC, 0x6F, 0x7C), 1.0e30f);
    EXPECT_EQ(DecodeProcessValue(0xF2, 0xFC, 0x6F, 0x7C), -1.0e30f);
    EXPECT_EQ(DecodeProcessValue(0x6F, 0xA1, 0x8F, 0x08), 1.0e29f);
}

TEST(ProcessValueDisplay, DecimalsByInputTypeAndLinearization)
{
    struct Case {
        const char16_t* input;
        const char16_t* linearization;
        int decimals;
    };
    const Case cases[] = {
        {u"napětí", u"nelinearizováno", 6},
        {u"rozdíl dvou napětí", u"nelinearizováno", 6},
        {u"napětí", u"linearizováno", 6},
        {u"termočlánek K", u"nelinearizováno", 6},
        {u"termočlánek K", u"linearizováno", 3},
        {u"termočlánek B", u"ze souboru", 6},
        {u"termočlánek N", u"", 6},
        {u"termočlánek T", u"linearizováno", 3},
        {u"odporový teploměr Pt100", u"nelinearizováno", 3},
        {u"proud", u"nelinearizováno", 3},
        {u"0...10 V-spec. vstup U/I", u"nelinearizováno", 3},
        {u"", u"", 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            ProcessValueDecimals(QString::fromUtf16(c.input), QString::fromUtf16(c.linearization)),
            c.decimals)
            << QString::fromUtf16(c.input).toStdString();
    }
}

TEST(ProcessValueDisplay, FormatsWithPointWhateverTheLocale)
{
    EXPECT_EQ(FormatProcessValue(25.0f, 3), QStringLiteral("25.000"));
    EXPECT_EQ(FormatProcessValue(25.0f, 6), QStringLiteral("25.000000"));
    EXPECT_EQ(FormatProcessValue(-0.0125f, 3), QStringLiteral("-0.013"));
    EXPECT_EQ(FormatProcessValue(-0.0f, 3), QStringLiteral("0.000"));
    // A reading that rounds to zero has no sign, as in the fields.
    EXPECT_EQ(FormatProcessValue(-0.0004f, 3), QStringLiteral("0.000"));
    EXPECT_EQ(FormatProcessValue(-4e-7f, 6), QStringLiteral("0.000000"));
    EXPECT_EQ(FormatProcessValue(12345.5f, 3), QStringLiteral("12345.500"));
    EXPECT_EQ(FormatProcessValue(1.0e30f, 3),
              QStringLiteral("1000000015047466219876688855040.000"));
}

TEST(ProcessValueDisplay, UnitTexts)
{
    EXPECT_EQ(ProcessValueUnitText(32), std::optional<QString>(QStringLiteral("°C")));
    EXPECT_EQ(ProcessValueUnitText(37), std::optional<QString>(QStringLiteral("Ohm")));
    EXPECT_EQ(ProcessValueUnitText(39), std::optional<QString>(QStringLiteral("mA")));
    EXPECT_EQ(ProcessValueUnitText(57), std::optional<QString>(QStringLiteral("%")));
    EXPECT_EQ(ProcessValueUnitText(58), std::optional<QString>(QStringLiteral("V")));
    EXPECT_EQ(ProcessValueUnitText(251), std::optional<QString>(QString()));
    EXPECT_FALSE(ProcessValueUnitText(33).has_value());
    EXPECT_FALSE(ProcessValueUnitText(0).has_value());
}

} // namespace
} // namespace vtr8
