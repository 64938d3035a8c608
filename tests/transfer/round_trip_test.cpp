#include "model/editor_read.h"
#include "sim/eeprom.h"
#include "transfer/write_configuration.h"
#include "write_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <sstream>
#include <vector>

namespace vtr8::test {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

struct Family {
    std::string name;
    Fields fields;
    bool oldFirmware = true; // the polynomial firmware takes it too
};

// One configuration of every input family the transmitter has settings for, falling ranges
// among them.
const std::vector<Family>& families()
{
    static const std::vector<Family> list{
        {"Pt100 falling",
         {{"Vstup", "odporový teploměr Pt100"},
          {"PripCidl", "čtyřvodičově"},
          {"korekcePV", "0.25"},
          {"Linearizace", "linearizováno"},
          {"Pocatek", "100"},
          {"Konec", "0"}}},
        {"Ni1000 not linearized",
         {{"Vstup", "odporový teploměr Ni1000"},
          {"PripCidl", "třívodičově"},
          {"Linearizace", "nelinearizováno"},
          {"Pocatek", "0"},
          {"Konec", "150"}}},
        {"K falling",
         {{"Vstup", "termočlánek K"},
          {"VzdStKon", "interní studený konec"},
          {"Linearizace", "linearizováno"},
          {"Pocatek", "800"},
          {"Konec", "100"}}},
        {"rheostat",
         {{"Vstup", "reostat"},
          {"PripCidl", "dvouvodičově"},
          {"Linearizace", "nelinearizováno"},
          {"Pocatek", "0"},
          {"Konec", "400"}}},
        {"absolute potentiometer falling",
         {{"Vstup", "potenciometr absolutní"},
          {"PripCidl", "třívodičově"},
          {"Linearizace", "nelinearizováno"},
          {"Pocatek", "1000"},
          {"Konec", "0"}}},
        {"special 4..20 mA falling",
         {{"Vstup", "4...20 mA-spec. vstup U/I"},
          {"Linearizace", "nelinearizováno"},
          {"Pocatek", "100"},
          {"Konec", "0"}}},
        {"voltage with divider",
         {{"Vstup", "napětí"},
          {"DelPomer", "20"},
          {"Linearizace", "nelinearizováno"},
          {"Pocatek", "0"},
          {"Konec", "10"}}},
        {"current falling",
         {{"Vstup", "proud"},
          {"SnOdpor", "5"},
          {"Linearizace", "nelinearizováno"},
          {"Pocatek", "20"},
          {"Konec", "4"}}},
        {"current square root",
         {{"Vstup", "proud"},
          {"SnOdpor", "5"},
          {"Linearizace", "druhá odmocnina"},
          {"Pocatek", "4"},
          {"Konec", "20"}},
         false},
        {"relative potentiometer falling",
         {{"Vstup", "potenciometr relativní"},
          {"PripCidl", "třívodičově"},
          {"CelkovyOdpor", "2000"},
          {"Linearizace", "nelinearizováno"},
          {"Pocatek", "100"},
          {"Konec", "0"}}},
    };
    return list;
}

// Every thermocouple, unlinearized (limits stored as volts) and linearized, rising and falling.
std::vector<Family> thermocoupleFamilies()
{
    struct Range {
        const char* type;
        const char* low;
        const char* high;
    };
    static const Range ranges[] = {
        {"B", "300", "1700"}, {"E", "0", "800"},    {"J", "0", "700"},
        {"K", "0", "1000"},   {"L", "-100", "800"}, {"N", "0", "1000"},
        {"R", "0", "1600"},   {"S", "0", "1600"},   {"T", "-100", "400"}};
    std::vector<Family> list;
    for (const Range& r : ranges)
        for (const std::string linearization : {"nelinearizováno", "linearizováno"})
            for (const bool falling : {false, true})
                list.push_back({std::string("thermocouple ") + r.type + " " + linearization +
                                    (falling ? " falling" : ""),
                                {{"Vstup", std::string("termočlánek ") + r.type},
                                 {"VzdStKon", "interní studený konec"},
                                 {"Linearizace", linearization},
                                 {"Pocatek", falling ? r.high : r.low},
                                 {"Konec", falling ? r.low : r.high}}});
    return list;
}

void fill(WriteFixture& f, const Fields& fields)
{
    for (const auto& [name, text] : fields)
        f.fill({{name.c_str(), text.c_str()}});
    f.fill({{"Tlumeni", "1.5"}, {"ChybProud", "podproud"}});
}

bool write(WriteFixture& f)
{
    f.ui().confirmAnswers = {true};
    return WriteEditorConfiguration(f.ctx, f.model, WriteTiming{1});
}

// The first address of the float that holds the byte at address, if a float does.
std::optional<int> floatStart(int address)
{
    static const std::pair<int, int> fields[] = {{28, 72},   {128, 168}, {172, 192},  {208, 228},
                                                 {340, 352}, {355, 367}, {387, 395},  {404, 412},
                                                 {416, 424}, {448, 456}, {608, 1012}, {1024, 1040}};
    for (const auto& [first, end] : fields)
        if (address >= first && address < end)
            return first + (address - first) / 4 * 4;
    return std::nullopt;
}

// Differences between the memories a write and the write-back of its read leave, apart from
// floats that moved by no more than the rounding of the shown decimals.
std::string differences(const sim::EepromImage& first, const sim::EepromImage& second)
{
    std::ostringstream out;
    for (int a = 0; a < static_cast<int>(first.size()); ++a) {
        if (first[a] == second[a])
            continue;
        if (const auto start = floatStart(a)) {
            const double x = sim::GetTransmitterFloat(first, *start);
            const double y = sim::GetTransmitterFloat(second, *start);
            a = *start + 3;
            if (std::fabs(x - y) <= 1e-4 * std::max(1.0, std::fabs(x)))
                continue;
            out << " [" << *start << "] " << x << " -> " << y;
        } else {
            out << " [" << a << "] " << int(first[a]) << " -> " << int(second[a]);
        }
    }
    return out.str();
}

// Writes each configuration, reads it into a fresh window and writes that back to a factory
// memory, on both firmware kinds. Exact: the second memory must equal the first byte for byte;
// otherwise floats may move by the rounding of the shown decimals.
void expectRoundTrips(const std::vector<Family>& families, bool exact)
{
    for (const std::uint8_t firmware : {std::uint8_t{14}, std::uint8_t{255}}) {
        sim::SimOptions options;
        options.firmware = firmware;
        for (const Family& family : families) {
            if (firmware == 255 && !family.oldFirmware)
                continue;
            SCOPED_TRACE(family.name + " firmware " + std::to_string(firmware));
            WriteFixture original(options);
            const sim::EepromImage factory = original.eeprom();
            fill(original, family.fields);
            ASSERT_TRUE(write(original)) << original.ui().messages.join('|').toStdString();
            const sim::EepromImage written = original.eeprom();

            WriteFixture copy(options);
            copy.eeprom() = written;
            ASSERT_TRUE(PrecistClick(copy.ctx)) << copy.ui().messages.join('|').toStdString();
            copy.eeprom() = factory;
            ASSERT_TRUE(write(copy)) << copy.ui().messages.join('|').toStdString();
            if (exact)
                EXPECT_TRUE(written == copy.eeprom()) << differences(written, copy.eeprom());
            else
                EXPECT_EQ(differences(written, copy.eeprom()), "");
        }
    }
}

TEST(RoundTrip, WritingWhatWasReadLeavesTheTransmitterAsItWas)
{
    expectRoundTrips(families(), false);
}

TEST(RoundTrip, ThermocoupleRangesComeBackExactly)
{
    expectRoundTrips(thermocoupleFamilies(), true);
}

} // namespace
} // namespace vtr8::test
