#include "device/codes.h"

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

TEST(Codes, EveryInputTextMapsToItsOwnCodeAndBack)
{
    for (int value = 1; value <= InputCodeCount; ++value) {
        const auto code = InputCodeFromByte(static_cast<std::uint8_t>(value));
        ASSERT_TRUE(code.has_value());
        const QString text = InputTypeText(*code);
        ASSERT_FALSE(text.isEmpty()) << value;
        EXPECT_EQ(InputCodeFromText(text), code) << text.toStdString();
    }
    EXPECT_FALSE(InputCodeFromByte(0).has_value());
    EXPECT_FALSE(InputCodeFromByte(25).has_value());
    EXPECT_FALSE(InputCodeFromText(QStringLiteral("termoclanek K")).has_value());
}

TEST(Codes, ThermocouplesLAndNUseOneAssignmentBothWays)
{
    EXPECT_EQ(InputCodeFromText(QString::fromUtf8("termočlánek L")), InputCode::ThermocoupleL);
    EXPECT_EQ(static_cast<int>(InputCode::ThermocoupleL), 12);
    EXPECT_EQ(InputTypeText(InputCode::ThermocoupleN), QString::fromUtf8("termočlánek N"));
    EXPECT_EQ(static_cast<int>(InputCode::ThermocoupleN), 13);
    EXPECT_EQ(SensorCharacteristic(InputCode::ThermocoupleL), Characteristic::TcL);
    EXPECT_EQ(SensorCharacteristic(InputCode::ThermocoupleN), Characteristic::TcN);
}

TEST(Codes, SensorCharacteristicsOnlyForSensors)
{
    EXPECT_EQ(SensorCharacteristic(InputCode::Pt1000), Characteristic::Pt1000);
    EXPECT_EQ(SensorCharacteristic(InputCode::ThermocoupleB), Characteristic::TcB);
    EXPECT_FALSE(SensorCharacteristic(InputCode::Rheostat).has_value());
    EXPECT_FALSE(SensorCharacteristic(InputCode::Special4to20mA).has_value());
}

TEST(Codes, ListTextsAndCodes)
{
    EXPECT_EQ(ErrorCurrentFromText(QString::fromUtf8("vyřazen")), ErrorCurrentCode::Off);
    EXPECT_EQ(ErrorCurrentFromText(QStringLiteral("podproud")), ErrorCurrentCode::Downscale);
    EXPECT_FALSE(ErrorCurrentFromText(QStringLiteral("vyrazen")).has_value());
    EXPECT_EQ(ConnectionFromText(QString::fromUtf8("třívodičově")), ConnectionCode::ThreeWire);
    EXPECT_EQ(ConnectionFromText(QString()), ConnectionCode::None);
    EXPECT_EQ(UnitText(unit_code::DegreesCelsius), QString::fromUtf8("°C"));
    EXPECT_EQ(UnitText(unit_code::None), QString());
}

} // namespace
} // namespace vtr8
