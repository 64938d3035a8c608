#include "device/codes.h"

#include "device/choice_texts.h"

#include <array>

namespace vtr8 {

QString unitText(std::uint8_t code)
{
    switch (code) {
    case unit_code::DegreesCelsius:
        return choice::DegreesCelsius;
    case unit_code::Ohm:
        return choice::Ohm;
    case unit_code::Milliampere:
        return choice::Milliampere;
    case unit_code::Percent:
        return choice::Percent;
    case unit_code::Volt:
        return choice::Volt;
    default:
        return {};
    }
}

std::optional<std::uint8_t> unitFromText(const QString& text)
{
    for (const std::uint8_t code : {unit_code::DegreesCelsius, unit_code::Ohm, unit_code::Volt,
                                    unit_code::Milliampere, unit_code::Percent})
        if (text == unitText(code))
            return code;
    return std::nullopt;
}

QString errorCurrentText(ErrorCurrentCode code)
{
    switch (code) {
    case ErrorCurrentCode::Upscale:
        return choice::Overcurrent;
    case ErrorCurrentCode::Downscale:
        return choice::Undercurrent;
    case ErrorCurrentCode::Off:
        return choice::ErrorCurrentOff;
    }
    return {};
}

std::optional<ErrorCurrentCode> errorCurrentFromText(const QString& text)
{
    for (auto code :
         {ErrorCurrentCode::Upscale, ErrorCurrentCode::Downscale, ErrorCurrentCode::Off})
        if (text == errorCurrentText(code))
            return code;
    return std::nullopt;
}

QString connectionText(ConnectionCode code)
{
    switch (code) {
    case ConnectionCode::TwoWire:
        return choice::TwoWire;
    case ConnectionCode::ThreeWire:
        return choice::ThreeWire;
    case ConnectionCode::FourWire:
        return choice::FourWire;
    case ConnectionCode::None:
        break;
    }
    return {};
}

ConnectionCode connectionFromText(const QString& text)
{
    for (auto code : {ConnectionCode::TwoWire, ConnectionCode::ThreeWire, ConnectionCode::FourWire})
        if (text == connectionText(code))
            return code;
    return ConnectionCode::None;
}

QString linearizationText(Linearization choice)
{
    switch (choice) {
    case Linearization::Linearized:
        return choice::Linearized;
    case Linearization::NotLinearized:
        return choice::NotLinearized;
    case Linearization::FromFile:
        return choice::FromFile;
    case Linearization::SquareRoot:
        return choice::SquareRoot;
    }
    return {};
}

std::optional<Linearization> linearizationFromText(const QString& text)
{
    for (auto choice : {Linearization::Linearized, Linearization::NotLinearized,
                        Linearization::FromFile, Linearization::SquareRoot})
        if (text == linearizationText(choice))
            return choice;
    return std::nullopt;
}

} // namespace vtr8
