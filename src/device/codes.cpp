#include "device/codes.h"

#include <array>

namespace vtr8 {

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

} // namespace vtr8
