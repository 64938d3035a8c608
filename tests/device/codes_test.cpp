#include "device/codes.h"

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

TEST(Codes, EveryInputTypeHasItsByteAndTextBothWays)
{
    // Byte 400 and the Vstup text of every input type, typed from the memory map.
    const char* const texts[InputTypeCount + 1] = {
        nullptr,
        "odporový teploměr Pt100",
        "odporový teploměr Pt1000",
        "odporový teploměr Ni100",
        "odporový teploměr Ni1000",
        "reostat",
        "potenciometr absolutní",
        "potenciometr relativní",
        "termočlánek B",
        "termočlánek E",
        "termočlánek J",
        "termočlánek K",
        "termočlánek L",
        "termočlánek N",
        "termočlánek R",
        "termočlánek S",
        "termočlánek T",
        "napětí",
        "proud",
        "rozdíl dvou rezistorů",
        "rozdíl dvou napětí",
        "rozdíl dvou proudů",
        "0...10 V-spec. vstup U/I",
        "0...20 mA-spec. vstup U/I",
        "4...20 mA-spec. vstup U/I",
    };
    for (int value = 1; value <= InputTypeCount; ++value) {
        const auto type = inputTypeFromCode(static_cast<std::uint8_t>(value));
        ASSERT_TRUE(type.has_value());
        EXPECT_EQ(deviceCode(*type), value);
        EXPECT_EQ(inputTypeText(*type), QString::fromUtf8(texts[value])) << value;
        EXPECT_EQ(inputTypeFromText(QString::fromUtf8(texts[value])), type) << value;
    }
    EXPECT_FALSE(inputTypeFromCode(0).has_value());
    EXPECT_FALSE(inputTypeFromCode(25).has_value());
    EXPECT_FALSE(inputTypeFromText(QStringLiteral("termoclanek K")).has_value());
}

TEST(Codes, ThermocouplesLAndNUseOneAssignmentBothWays)
{
    EXPECT_EQ(inputTypeFromText(QString::fromUtf8("termočlánek L")), InputType::ThermocoupleL);
    EXPECT_EQ(static_cast<int>(InputType::ThermocoupleL), 12);
    EXPECT_EQ(inputTypeText(InputType::ThermocoupleN), QString::fromUtf8("termočlánek N"));
    EXPECT_EQ(static_cast<int>(InputType::ThermocoupleN), 13);
    EXPECT_EQ(sensorCharacteristic(InputType::ThermocoupleL), Characteristic::TcL);
    EXPECT_EQ(sensorCharacteristic(InputType::ThermocoupleN), Characteristic::TcN);
}

TEST(Codes, SensorCharacteristicsOnlyForSensors)
{
    EXPECT_EQ(sensorCharacteristic(InputType::Pt1000), Characteristic::Pt1000);
    EXPECT_EQ(sensorCharacteristic(InputType::ThermocoupleB), Characteristic::TcB);
    EXPECT_FALSE(sensorCharacteristic(InputType::Rheostat).has_value());
    EXPECT_FALSE(sensorCharacteristic(InputType::Special4to20mA).has_value());
}

TEST(Codes, ListTextsAndCodes)
{
    EXPECT_EQ(errorCurrentFromText(QString::fromUtf8("vyřazen")), ErrorCurrentCode::Off);
    EXPECT_EQ(errorCurrentFromText(QStringLiteral("podproud")), ErrorCurrentCode::Downscale);
    EXPECT_FALSE(errorCurrentFromText(QStringLiteral("vyrazen")).has_value());
    EXPECT_EQ(connectionFromText(QString::fromUtf8("třívodičově")), ConnectionCode::ThreeWire);
    EXPECT_EQ(connectionFromText(QString()), ConnectionCode::None);
    EXPECT_EQ(unitText(unit_code::DegreesCelsius), QString::fromUtf8("°C"));
    EXPECT_EQ(unitText(unit_code::None), QString());
}

} // namespace
} // namespace vtr8
