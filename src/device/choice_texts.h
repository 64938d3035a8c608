#pragma once

#include <QString>

// The fixed Czech choices of the main window's lists, and the transmitter's
// unit texts. Lists are compared as exact texts at the edges (fields, files,
// command line), so every comparison and every code's text goes through these
// constants.
namespace vtr8::choice {

inline const QString TwoWire = QStringLiteral("dvouvodičově");
inline const QString ThreeWire = QStringLiteral("třívodičově");
inline const QString FourWire = QStringLiteral("čtyřvodičově");

inline const QString Linearized = QStringLiteral("linearizováno");
inline const QString NotLinearized = QStringLiteral("nelinearizováno");
inline const QString FromFile = QStringLiteral("ze souboru");
inline const QString SquareRoot = QStringLiteral("druhá odmocnina");

inline const QString Overcurrent = QStringLiteral("nadproud");
inline const QString Undercurrent = QStringLiteral("podproud");
inline const QString ErrorCurrentOff = QStringLiteral("vyřazen");

inline const QString InternalColdJunction = QStringLiteral("interní studený konec");
inline const QString NearColdJunction = QStringLiteral("blízký studený konec");
inline const QString RemoteColdJunction = QStringLiteral("vzdálený studený konec");

inline const QString DegreesCelsius = QStringLiteral("°C");
inline const QString Ohm = QStringLiteral("Ohm");
inline const QString Volt = QStringLiteral("V");
inline const QString Milliampere = QStringLiteral("mA");
inline const QString Percent = QStringLiteral("%");
inline const QString NoUnit = QStringLiteral("Bez jednotky");

inline const QString Hysteresis = QStringLiteral("HYSTEREZE");
inline const QString Window = QStringLiteral("OKNO");

} // namespace vtr8::choice
