#include "device/input_type_table.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace vtr8 {
namespace {

using T = InputType;

const std::initializer_list<T> Rtds{T::Pt100, T::Pt1000, T::Ni100, T::Ni1000};
const std::initializer_list<T> Thermocouples{T::ThermocoupleB, T::ThermocoupleE, T::ThermocoupleJ,
                                             T::ThermocoupleK, T::ThermocoupleN, T::ThermocoupleL,
                                             T::ThermocoupleR, T::ThermocoupleS, T::ThermocoupleT};
const std::initializer_list<T> Specials{T::Special0to10V, T::Special0to20mA, T::Special4to20mA};

bool in(T type, std::initializer_list<T> group)
{
    for (const T t : group)
        if (t == type)
            return true;
    return false;
}

// The transmitter's facts about each input type, stated group by group as the transmitter's
// documentation states them, checked against the row of every one of the 24 types.
TEST(InputTypeTable, EveryRowAgreesWithTheDocumentedGroups)
{
    for (const InputTypeRow& row : inputTypeRows()) {
        const T t = row.type;
        SCOPED_TRACE(QString::fromUtf16(row.text).toStdString());

        std::uint8_t unit = 0;
        if (in(t, Rtds) || in(t, Thermocouples))
            unit = 32;
        else if (in(t, {T::Rheostat, T::ResistorDifference, T::PotentiometerAbsolute}))
            unit = 37;
        else if (t == T::PotentiometerRelative)
            unit = 57;
        else if (in(t, {T::Voltage, T::VoltageDifference, T::Special0to10V}))
            unit = 58;
        else if (in(t, {T::Current, T::Special0to20mA, T::Special4to20mA, T::CurrentDifference}))
            unit = 39;
        EXPECT_EQ(row.unitCode, unit);

        QStringList connections;
        if (in(t, Rtds) || t == T::Rheostat)
            connections = {"dvouvodičově", "třívodičově", "čtyřvodičově"};
        else if (in(t, {T::PotentiometerAbsolute, T::PotentiometerRelative}))
            connections = {"třívodičově", "čtyřvodičově"};
        else if (in(t, {T::ResistorDifference, T::VoltageDifference, T::CurrentDifference}))
            connections = {"dvouvodičově"};
        EXPECT_EQ(connectionItems(row.connections), connections);
        // Only the sensors with wires show the box; a fixed connection is hidden.
        EXPECT_EQ(row.has(InputField::Connection), connections.size() > 1);

        QStringList linearizations{"nelinearizováno", "ze souboru"};
        if (in(t, Rtds) || in(t, Thermocouples))
            linearizations.prepend("linearizováno");
        else if (in(t, {T::ResistorDifference, T::VoltageDifference, T::CurrentDifference}))
            linearizations = {"nelinearizováno"};
        else if (in(t, Specials))
            linearizations.clear(); // the list stays as the previous type left it
        EXPECT_EQ(linearizationItems(row.linearizations), linearizations);

        // Byte 408 holds the total value for these five, 0.0 for the others.
        EXPECT_EQ(row.storesTotalValue,
                  in(t, {T::PotentiometerRelative, T::ResistorDifference, T::VoltageDifference,
                         T::Current, T::CurrentDifference}));
        // A read cuts the range at six decimals for the four voltage and current inputs, a file
        // load for "napětí", "proud" and "rozdíl dvou proudů" only.
        EXPECT_EQ(row.readDecimals,
                  in(t, {T::Voltage, T::Current, T::VoltageDifference, T::CurrentDifference}) ? 6
                                                                                              : 3);
        EXPECT_EQ(row.fileDecimals, in(t, {T::Voltage, T::Current, T::CurrentDifference}) ? 6 : 3);
        EXPECT_EQ(row.sensor.has_value(), in(t, Rtds) || in(t, Thermocouples));
    }
}

} // namespace
} // namespace vtr8
