#pragma once

#include <cstdint>

// Every EEPROM field the program reads or writes, as (address, length) in decimal. Floats are
// DeviceFloat (4 bytes), words high byte first. Blocks on the wire carry 1..20 bytes; reads
// take at most 16.
namespace vtr8::eeprom {

using Address = std::uint16_t;

inline constexpr int MaxWriteBlock = 20;
inline constexpr int MaxReadBlock = 16;
inline constexpr int FloatLength = 4;

// Front-end image of the analogue input stage: 12 words and bytes copied from the table.
inline constexpr Address FrontEndWords = 0; // 24 bytes, written as 0..11 and 12..23
inline constexpr int FrontEndWordsLength = 24;
inline constexpr int FrontEndWordsBlockLength = 12;
inline constexpr Address FrontEndBytesA = 24; // 4 bytes
inline constexpr int FrontEndBytesALength = 4;
inline constexpr Address InputScaleFactor = 28;    // float, measured signal -> input quantity
inline constexpr Address ParasiticResistance = 32; // float, ohms
inline constexpr Address FrontEndFloats = 28;      // 28 and 32 go out as one 8-byte block
inline constexpr int FrontEndFloatsLength = 8;

// Factory output calibration, only read.
inline constexpr Address OutputCalibration = 36; // D1, D2, I1, I2: 16 bytes
inline constexpr int OutputCalibrationLength = 16;
inline constexpr Address CalibrationD1 = 36;
inline constexpr Address CalibrationD2 = 40;
inline constexpr Address CalibrationI1 = 44; // mA, valid 2..6
inline constexpr Address CalibrationI2 = 48; // mA, valid 18..22

// Output scaling.
inline constexpr Address OutputScaling = 52; // D4, DGain, RangeMin, RangeMax, damping
inline constexpr int OutputScalingLength = 20;
inline constexpr Address ScalingD4 = 52;
inline constexpr Address ScalingDGain = 56;
inline constexpr Address ScalingRangeMin = 60;
inline constexpr Address ScalingRangeMax = 64;
inline constexpr Address DampingCoefficient = 68;

inline constexpr Address FrontEndBytesB = 96; // 4 bytes
inline constexpr int FrontEndBytesBLength = 4;
inline constexpr Address FrontEndBytesC = 100; // 12 bytes
inline constexpr int FrontEndBytesCLength = 12;
inline constexpr Address FrontEndBytesD = 112; // 112..115
inline constexpr int FrontEndBytesDLength = 4;
inline constexpr Address FrontEndByte112 = 112;
inline constexpr Address ErrorCurrentFlags = 113; // bits: 8 downscale, 4 upscale, 2 falling
inline constexpr Address RelativePotentiometerFlag = 114;
inline constexpr Address FrontEndByte115 = 115;

inline constexpr std::uint8_t ErrorFlagDownscale = 8;
inline constexpr std::uint8_t ErrorFlagUpscale = 4;
inline constexpr std::uint8_t ErrorFlagFallingRange = 2;
inline constexpr std::uint8_t RelativePotentiometerMark = 85; // 0x55

// Linearization polynomial: degree byte then coefficients, highest power first.
inline constexpr Address PolynomialDegree = 127;
inline constexpr Address PolynomialCoefficients = 128;

// Cold-junction sensor polynomial (resistance -> temperature), always degree 4.
inline constexpr Address ColdJunctionDegree = 171;
inline constexpr Address ColdJunctionCoefficients = 172; // 5 floats
inline constexpr int ColdJunctionCoefficientsLength = 20;
// Thermocouple EMF of the cold-junction temperature: degree 2 for B, 4 otherwise.
inline constexpr Address ThermocoupleDegree = 207;
inline constexpr Address ThermocoupleCoefficients = 208;

// Identification.
inline constexpr Address FirmwareNumber = 262; // read as 2 bytes
inline constexpr int FirmwareNumberReadLength = 2;
inline constexpr Address DeviceTypeBytes = 268;
inline constexpr int DeviceTypeBytesLength = 2;
inline constexpr std::uint8_t DeviceTypeFirst = 13;
inline constexpr std::uint8_t DeviceTypeSecond = 249;
// Firmware numbers 0 and 255 stand for firmware 12, the old polynomial-only firmware.
inline constexpr int OldFirmwareNumber = 12;
constexpr bool IsOldFirmware(std::uint8_t firmwareByte)
{
    return firmwareByte == 0 || firmwareByte == 255;
}
// The firmware number as the window shows it.
constexpr int ShownFirmwareNumber(std::uint8_t firmwareByte)
{
    return IsOldFirmware(firmwareByte) ? OldFirmwareNumber : firmwareByte;
}

// Range in the unit of RangeUnitCode.
inline constexpr Address RangeLimits = 339; // unit, upper, lower, minimum span
inline constexpr int RangeLimitsLength = 13;
inline constexpr Address RangeUnitCode = 339;
inline constexpr Address UpperLimit = 340;
inline constexpr Address LowerLimit = 344;
inline constexpr Address MinimumSpan = 348;
inline constexpr Address RangeValues = 354; // unit, end, start, damping time
inline constexpr int RangeValuesLength = 13;
inline constexpr Address RangeUnitCodeCopy = 354;
inline constexpr Address RangeEnd = 355;
inline constexpr Address RangeStart = 359;
inline constexpr Address DampingTime = 363; // seconds

inline constexpr Address SignalLimits = 387; // lower, upper
inline constexpr int SignalLimitsLength = 8;
inline constexpr Address LowerSignalLimit = 387;
inline constexpr Address UpperSignalLimit = 391;

// Input description.
inline constexpr Address InputDescription = 400; // 400..411
inline constexpr int InputDescriptionLength = 12;
inline constexpr int InputDescriptionWriteLength = 8; // 408.. goes out as its own block
inline constexpr Address InputCode = 400;
inline constexpr Address ErrorCurrentCode = 401;
inline constexpr Address FrontEndMode = 402;
inline constexpr Address ConnectionCode = 403;
inline constexpr Address ShuntResistance = 404; // ohms
inline constexpr Address TotalValue = 408;

inline constexpr Address OutputLimits = 416; // upper, lower
inline constexpr int OutputLimitsLength = 8;
inline constexpr Address UpperOutputLimit = 416;
inline constexpr Address LowerOutputLimit = 420;

inline constexpr Address LinearizationSettings = 424; // unit, two characteristics, code
inline constexpr int LinearizationSettingsLength = 4;
inline constexpr Address UnitCode = 424;
inline constexpr Address LinearizationCharacteristic = 425;
inline constexpr Address RangeCharacteristic = 426;
inline constexpr Address LinearizationCode = 427;

inline constexpr Address OverloadLimits = 448; // upper, lower
inline constexpr int OverloadLimitsLength = 8;
inline constexpr Address UpperOverloadLimit = 448;
inline constexpr Address LowerOverloadLimit = 452;

// User note: 60 Windows-1250 characters, space-padded, no terminator.
inline constexpr Address UserNote = 512;
inline constexpr int UserNoteLength = 60;
inline constexpr int UserNoteWriteBlock = 20; // written at 512, 532, 552
inline constexpr int UserNoteReadBlock = 15;  // read at 512, 527, 542, 557

inline constexpr Address LinearizationMethod = 606;
inline constexpr Address SegmentTable = 608; // 20 records of 20 bytes
inline constexpr int SegmentCount = 20;
inline constexpr int SegmentRecordLength = 20;
inline constexpr Address SegmentEndAbscissa = 1008;

constexpr Address SegmentRecord(int k)
{
    return static_cast<Address>(SegmentTable + SegmentRecordLength * k);
}

// Point-file range: four byte-reversed floats, only read.
inline constexpr Address PointFileRange = 1024;
inline constexpr int PointFileRangeLength = 16;

// Limit comparators.
inline constexpr Address Comparator1Limits = 1040; // switch-on, switch-off
inline constexpr Address Comparator2Limits = 1048;
inline constexpr int ComparatorLimitsLength = 8;
inline constexpr Address Comparator1Delays = 1072; // switch-on, switch-off, seconds
inline constexpr Address Comparator2Delays = 1074;
inline constexpr int ComparatorDelaysLength = 2;
inline constexpr Address Comparator1Mode = 1080;
inline constexpr Address Comparator2Mode = 1081;
inline constexpr std::uint8_t ComparatorModeEnabled = 1; // bit 0
inline constexpr std::uint8_t ComparatorModeWindow = 2;  // bit 1: window, else hysteresis
inline constexpr Address RelayOutputsPresent = 1084;
inline constexpr Address SecondRelayPresent = 1085; // bit 0

// Second copy of the scaling used by the input stage.
inline constexpr Address InputScaling = 1568; // RangeMin, RangeMax, offset, span
inline constexpr int InputScalingLength = 16;
inline constexpr Address InputScalingRangeMin = 1568;
inline constexpr Address InputScalingRangeMax = 1572;
inline constexpr Address InputOffset = 1576;
inline constexpr Address InputSpan = 1580;

} // namespace vtr8::eeprom
