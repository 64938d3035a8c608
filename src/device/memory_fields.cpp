#include "device/memory_fields.h"

namespace vtr8 {
namespace {

namespace e = eeprom;
using F = FieldEncoding;

struct Entry {
    e::Address address;
    int length;
    F encoding;
    const char* name;
    FileKey key = FileKey::None;
};

// Single fields, in address order; repeated structures (polynomials, segment table) follow in
// FieldAt.
constexpr Entry Fields[] = {
    {e::FrontEndWords, e::FrontEndWordsLength, F::Bytes, "registry vstupního obvodu"},
    {e::FrontEndBytesA, e::FrontEndBytesALength, F::Bytes, "bajty vstupního obvodu"},
    {e::InputScaleFactor, 4, F::Float, "převodní činitel vstupu"},
    {e::ParasiticResistance, 4, F::Float, "Parazitní odpor", FileKey::Parasitic},
    {e::CalibrationD1, 4, F::Float, "kalibrace výstupu D1"},
    {e::CalibrationD2, 4, F::Float, "kalibrace výstupu D2"},
    {e::CalibrationI1, 4, F::Float, "kalibrace výstupu I1"},
    {e::CalibrationI2, 4, F::Float, "kalibrace výstupu I2"},
    {e::ScalingD4, 4, F::Float, "škálování výstupu D4"},
    {e::ScalingDGain, 4, F::Float, "škálování výstupu DGain"},
    {e::ScalingRangeMin, 4, F::Float, "škálování výstupu, menší mez"},
    {e::ScalingRangeMax, 4, F::Float, "škálování výstupu, větší mez"},
    {e::DampingCoefficient, 4, F::Float, "koeficient tlumení"},
    {e::FrontEndBytesB, e::FrontEndBytesBLength, F::Bytes, "bajty vstupního obvodu"},
    {e::FrontEndBytesC, e::FrontEndBytesCLength, F::Bytes, "bajty vstupního obvodu"},
    {e::FrontEndByte112, 1, F::Byte, "bajt vstupního obvodu"},
    {e::ErrorCurrentFlags, 1, F::Byte, "příznaky chybového proudu"},
    {e::RelativePotentiometerFlag, 1, F::Byte, "příznak relativního potenciometru"},
    {e::FrontEndByte115, 1, F::Byte, "bajt vstupního obvodu"},
    {e::PolynomialDegree, 1, F::Byte, "stupeň polynomu linearizace"},
    {e::ColdJunctionDegree, 1, F::Byte, "stupeň polynomu studeného konce"},
    {e::ThermocoupleDegree, 1, F::Byte, "stupeň polynomu termočlánku"},
    {e::FirmwareNumber, 1, F::Byte, "číslo firmwaru"},
    {e::DeviceTypeBytes, e::DeviceTypeBytesLength, F::Bytes, "typové bajty"},
    {e::RangeUnitCode, 1, F::Byte, "kód jednotky rozsahu"},
    {e::UpperLimit, 4, F::Float, "větší mez rozsahu"},
    {e::LowerLimit, 4, F::Float, "menší mez rozsahu"},
    {e::MinimumSpan, 4, F::Float, "minimální rozpětí"},
    {e::RangeUnitCodeCopy, 1, F::Byte, "kód jednotky rozsahu (kopie)"},
    {e::RangeEnd, 4, F::Float, "horní mez", FileKey::End},
    {e::RangeStart, 4, F::Float, "dolní mez", FileKey::Start},
    {e::DampingTime, 4, F::Float, "tlumení", FileKey::Damping},
    {e::LowerSignalLimit, 4, F::Float, "dolní mez signálu"},
    {e::UpperSignalLimit, 4, F::Float, "horní mez signálu"},
    {e::InputCode, 1, F::Byte, "vstup", FileKey::Input},
    {e::ErrorCurrentCode, 1, F::Byte, "chybový proud", FileKey::ErrorCurrent},
    {e::FrontEndMode, 1, F::Byte, "režim vstupního obvodu"},
    {e::ConnectionCode, 1, F::Byte, "připojení čidla", FileKey::Connection},
    {e::ShuntResistance, 4, F::Float, "snímací odpor", FileKey::Shunt},
    {e::TotalValue, 4, F::Float, "celková hodnota vstupu"},
    {e::UpperOutputLimit, 4, F::Float, "horní mez výstupu"},
    {e::LowerOutputLimit, 4, F::Float, "dolní mez výstupu"},
    {e::UnitCode, 1, F::Byte, "jednotka", FileKey::Unit},
    {e::LinearizationCharacteristic, 1, F::Byte, "charakteristika linearizace"},
    {e::RangeCharacteristic, 1, F::Byte, "charakteristika rozsahu"},
    {e::LinearizationCode, 1, F::Byte, "linearizace", FileKey::Linearization},
    {e::UpperOverloadLimit, 4, F::Float, "horní mez přetížení"},
    {e::LowerOverloadLimit, 4, F::Float, "dolní mez přetížení"},
    {e::UserNote, e::UserNoteLength, F::Bytes, "uživatelská poznámka"},
    {e::LinearizationMethod, 1, F::Byte, "způsob linearizace"},
    {e::SegmentEndAbscissa, 4, F::Float, "segmentová tabulka, konec posledního úseku"},
    {e::PointFileRange, e::PointFileRangeLength, F::Bytes, "rozsah souboru bodů"},
    {e::Comparator1Limits, 4, F::Float, "komparátor 1, mez sepnutí"},
    {e::Comparator1Limits + 4, 4, F::Float, "komparátor 1, mez rozepnutí"},
    {e::Comparator2Limits, 4, F::Float, "komparátor 2, mez sepnutí"},
    {e::Comparator2Limits + 4, 4, F::Float, "komparátor 2, mez rozepnutí"},
    {e::Comparator1Delays, e::ComparatorDelaysLength, F::Bytes, "komparátor 1, zpoždění"},
    {e::Comparator2Delays, e::ComparatorDelaysLength, F::Bytes, "komparátor 2, zpoždění"},
    {e::Comparator1Mode, 1, F::Byte, "komparátor 1, režim"},
    {e::Comparator2Mode, 1, F::Byte, "komparátor 2, režim"},
    {e::RelayOutputsPresent, 1, F::Byte, "reléové výstupy"},
    {e::SecondRelayPresent, 1, F::Byte, "druhé relé"},
    {e::InputScalingRangeMin, 4, F::Float, "škálování vstupu, menší mez"},
    {e::InputScalingRangeMax, 4, F::Float, "škálování vstupu, větší mez"},
    {e::InputOffset, 4, F::Float, "posun vstupu"},
    {e::InputSpan, 4, F::Float, "rozpětí vstupu"},
};

// A run of floats that share a name and are told apart by their number from 1.
struct FloatRun {
    e::Address first;
    int count;
    const char* name;
};
constexpr FloatRun FloatRuns[] = {
    {e::PolynomialCoefficients, 10, "polynom linearizace, koeficient"},
    {e::ColdJunctionCoefficients, 5, "polynom studeného konce, koeficient"},
    {e::ThermocoupleCoefficients, 5, "polynom termočlánku, koeficient"},
};

// The parts of one segment record, in stored order.
constexpr const char* SegmentParts[] = {"x0", "c3", "c2", "c1", "c0"};

} // namespace

MemoryField FieldAt(e::Address address)
{
    for (const Entry& f : Fields)
        if (address >= f.address && address < f.address + f.length)
            return {f.address, f.length, f.encoding, QString::fromUtf8(f.name), f.key};
    for (const FloatRun& run : FloatRuns) {
        const int offset = address - run.first;
        if (offset >= 0 && offset < 4 * run.count)
            return {static_cast<e::Address>(run.first + offset / 4 * 4), 4, F::Float,
                    QStringLiteral("%1 %2").arg(QString::fromUtf8(run.name)).arg(offset / 4 + 1)};
    }
    const int offset = address - e::SegmentTable;
    if (offset >= 0 && offset < e::SegmentCount * e::SegmentRecordLength) {
        const int record = offset / e::SegmentRecordLength;
        const int part = offset % e::SegmentRecordLength / 4;
        return {static_cast<e::Address>(e::SegmentRecord(record) + 4 * part), 4, F::Float,
                QStringLiteral("segmentová tabulka, záznam %1 (%2)")
                    .arg(record + 1)
                    .arg(QLatin1String(SegmentParts[part]))};
    }
    return {address, 1, F::Byte, QString(), FileKey::None};
}

} // namespace vtr8
