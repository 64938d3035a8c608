#include "device/codes.h"

#include <array>

namespace vtr8 {

namespace {

struct InputEntry {
    InputCode code;
    const char* text;
};

constexpr std::array<InputEntry, InputCodeCount> inputTexts{{
    {InputCode::Pt100, "odporový teploměr Pt100"},
    {InputCode::Pt1000, "odporový teploměr Pt1000"},
    {InputCode::Ni100, "odporový teploměr Ni100"},
    {InputCode::Ni1000, "odporový teploměr Ni1000"},
    {InputCode::Rheostat, "reostat"},
    {InputCode::PotentiometerAbsolute, "potenciometr absolutní"},
    {InputCode::PotentiometerRelative, "potenciometr relativní"},
    {InputCode::ThermocoupleB, "termočlánek B"},
    {InputCode::ThermocoupleE, "termočlánek E"},
    {InputCode::ThermocoupleJ, "termočlánek J"},
    {InputCode::ThermocoupleK, "termočlánek K"},
    {InputCode::ThermocoupleL, "termočlánek L"},
    {InputCode::ThermocoupleN, "termočlánek N"},
    {InputCode::ThermocoupleR, "termočlánek R"},
    {InputCode::ThermocoupleS, "termočlánek S"},
    {InputCode::ThermocoupleT, "termočlánek T"},
    {InputCode::Voltage, "napětí"},
    {InputCode::Current, "proud"},
    {InputCode::ResistorDifference, "rozdíl dvou rezistorů"},
    {InputCode::VoltageDifference, "rozdíl dvou napětí"},
    {InputCode::CurrentDifference, "rozdíl dvou proudů"},
    {InputCode::Special0to10V, "0...10 V-spec. vstup U/I"},
    {InputCode::Special0to20mA, "0...20 mA-spec. vstup U/I"},
    {InputCode::Special4to20mA, "4...20 mA-spec. vstup U/I"},
}};

} // namespace

QString InputTypeText(InputCode code)
{
    for (const auto& entry : inputTexts)
        if (entry.code == code)
            return QString::fromUtf8(entry.text);
    return {};
}

std::optional<InputCode> InputCodeFromText(const QString& text)
{
    for (const auto& entry : inputTexts)
        if (text == QString::fromUtf8(entry.text))
            return entry.code;
    return std::nullopt;
}

std::optional<InputCode> InputCodeFromByte(std::uint8_t value)
{
    if (value < 1 || value > InputCodeCount)
        return std::nullopt;
    return static_cast<InputCode>(value);
}

bool IsResistanceThermometer(InputCode code)
{
    return code >= InputCode::Pt100 && code <= InputCode::Ni1000;
}

bool IsThermocouple(InputCode code)
{
    return code >= InputCode::ThermocoupleB && code <= InputCode::ThermocoupleT;
}

bool IsSpecialInput(InputCode code)
{
    return code >= InputCode::Special0to10V && code <= InputCode::Special4to20mA;
}

QString UnitText(std::uint8_t code)
{
    switch (code) {
    case unit_code::DegreesCelsius:
        return QString::fromUtf8("°C");
    case unit_code::Ohm:
        return QStringLiteral("Ohm");
    case unit_code::Milliampere:
        return QStringLiteral("mA");
    case unit_code::Percent:
        return QStringLiteral("%");
    case unit_code::Volt:
        return QStringLiteral("V");
    default:
        return {};
    }
}

QString ErrorCurrentText(ErrorCurrentCode code)
{
    switch (code) {
    case ErrorCurrentCode::Upscale:
        return QStringLiteral("nadproud");
    case ErrorCurrentCode::Downscale:
        return QStringLiteral("podproud");
    case ErrorCurrentCode::Off:
        return QString::fromUtf8("vyřazen");
    }
    return {};
}

std::optional<ErrorCurrentCode> ErrorCurrentFromText(const QString& text)
{
    for (auto code :
         {ErrorCurrentCode::Upscale, ErrorCurrentCode::Downscale, ErrorCurrentCode::Off})
        if (text == ErrorCurrentText(code))
            return code;
    return std::nullopt;
}

QString ConnectionText(ConnectionCode code)
{
    switch (code) {
    case ConnectionCode::TwoWire:
        return QString::fromUtf8("dvouvodičově");
    case ConnectionCode::ThreeWire:
        return QString::fromUtf8("třívodičově");
    case ConnectionCode::FourWire:
        return QString::fromUtf8("čtyřvodičově");
    case ConnectionCode::None:
        break;
    }
    return {};
}

ConnectionCode ConnectionFromText(const QString& text)
{
    for (auto code : {ConnectionCode::TwoWire, ConnectionCode::ThreeWire, ConnectionCode::FourWire})
        if (text == ConnectionText(code))
            return code;
    return ConnectionCode::None;
}

QString LinearizationText(Linearization choice)
{
    switch (choice) {
    case Linearization::Linearized:
        return QString::fromUtf8("linearizováno");
    case Linearization::NotLinearized:
        return QString::fromUtf8("nelinearizováno");
    case Linearization::FromFile:
        return QStringLiteral("ze souboru");
    case Linearization::SquareRoot:
        return QString::fromUtf8("druhá odmocnina");
    }
    return {};
}

std::optional<Linearization> LinearizationFromText(const QString& text)
{
    for (auto choice : {Linearization::Linearized, Linearization::NotLinearized,
                        Linearization::FromFile, Linearization::SquareRoot})
        if (text == LinearizationText(choice))
            return choice;
    return std::nullopt;
}

std::optional<Characteristic> SensorCharacteristic(InputCode code)
{
    switch (code) {
    case InputCode::Pt100:
        return Characteristic::Pt100;
    case InputCode::Pt1000:
        return Characteristic::Pt1000;
    case InputCode::Ni100:
        return Characteristic::Ni100;
    case InputCode::Ni1000:
        return Characteristic::Ni1000;
    case InputCode::ThermocoupleB:
        return Characteristic::TcB;
    case InputCode::ThermocoupleE:
        return Characteristic::TcE;
    case InputCode::ThermocoupleJ:
        return Characteristic::TcJ;
    case InputCode::ThermocoupleK:
        return Characteristic::TcK;
    case InputCode::ThermocoupleL:
        return Characteristic::TcL;
    case InputCode::ThermocoupleN:
        return Characteristic::TcN;
    case InputCode::ThermocoupleR:
        return Characteristic::TcR;
    case InputCode::ThermocoupleS:
        return Characteristic::TcS;
    case InputCode::ThermocoupleT:
        return Characteristic::TcT;
    default:
        return std::nullopt;
    }
}

} // namespace vtr8
