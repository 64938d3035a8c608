#include "model/comparators.h"
#include "support/transfer_bench.h"
#include "transfer/link_failure_report.h"

#include <gtest/gtest.h>

namespace vtr8::test {
namespace {

struct ComparatorBench : TransferBench {
    ComparatorBench()
    {
        // A Pt100 over 0..100 °C, so the field checks have a range.
        model.userEdit(model.Vstup, QStringLiteral("odporový teploměr Pt100"));
        model.RangeStart = 0;
        model.RangeEnd = 100;
    }
    void fill(int n, const char* on, const char* off, const char* onDelay, const char* offDelay,
              bool enabled, const char* mode = "OKNO")
    {
        MainWindowModel& m = model;
        Control* fields[2][6] = {
            {&m.EMezsep1, &m.EMezroz1, &m.EZpoSep1, &m.EZpoRoz1, &m.PovolKompar1, &m.RezimRele1},
            {&m.EMezsep2, &m.EMezroz2, &m.Ezposep2, &m.Ezporoz2, &m.PovolKompar2, &m.RezimRele2}};
        Control** f = fields[n - 1];
        m.setText(*f[0], Localised(on));
        m.setText(*f[1], Localised(off));
        m.setText(*f[2], Localised(onDelay));
        m.setText(*f[3], Localised(offDelay));
        f[4]->checked = enabled;
        m.setText(*f[5], QString::fromUtf8(mode));
    }
};

TEST(Comparators, StoringAnEnabledWindowComparatorSetsBitsZeroAndOne)
{
    ComparatorBench bench;
    bench.eeprom()[1080] = 0x85;
    bench.fill(1, "30", "20", "2.5", "3.5", true, "OKNO");
    bench.ui().confirmAnswers = {true};
    ASSERT_TRUE(Ulozkomp1Click(bench.ctx));

    EXPECT_EQ(bench.ui().questions,
              QStringList{QStringLiteral("Opravdu se má zapsat konfigurace Relé 1 ?")});
    std::vector<std::uint8_t> limits = FloatBytes(30.0f);
    const auto off = FloatBytes(20.0f);
    limits.insert(limits.end(), off.begin(), off.end());
    EXPECT_EQ(bench.requests(),
              (std::vector<Request>{ReadRequest(1084, 1), WriteRequest(1072, {2, 4}),
                                    WriteRequest(1040, limits), ReadRequest(1080, 1),
                                    WriteRequest(1080, {0x87}), Command(118)}));
    EXPECT_EQ(bench.eeprom()[1080], 0x87);
    EXPECT_EQ(bench.progress, (std::vector<int>{0, 25, 40, 60, 80, 100}));
    EXPECT_TRUE(bench.model.Ulozkomp1.enabled);

    // Disabling it clears only bit 0.
    bench.clearRequests();
    bench.model.PovolKompar1.checked = false;
    bench.ui().confirmAnswers = {true};
    ASSERT_TRUE(Ulozkomp1Click(bench.ctx));
    EXPECT_EQ(bench.ui().questions.last(),
              QStringLiteral("Opravdu se má vypnout mezní komparátor 1 ?"));
    EXPECT_EQ(bench.requests(), (std::vector<Request>{ReadRequest(1080, 1),
                                                      WriteRequest(1080, {0x86}), Command(118)}));
}

TEST(Comparators, HysteresisClearsBitOneAndKeepsTheOthers)
{
    ComparatorBench bench;
    bench.eeprom()[1081] = 0xF2;
    bench.fill(2, "30", "20", "0", "0", true, "HYSTEREZE");
    bench.ui().confirmAnswers = {true};
    ASSERT_TRUE(Ulozkomp2Click(bench.ctx));
    EXPECT_EQ(bench.eeprom()[1081], 0xF1);
    EXPECT_EQ(bench.requests().front(), ReadRequest(1084, 2));
    EXPECT_EQ(bench.requests().at(1), WriteRequest(1074, {0, 0}));
    EXPECT_EQ(bench.requests().at(2).data.at(1), 1048 & 0xFF);
    EXPECT_EQ(bench.ui().questions.last(),
              QStringLiteral("Opravdu se má zapsat konfigurace Relé 2 ?"));
    EXPECT_EQ(bench.progress.at(1), 20);
}

TEST(Comparators, DecliningTheWriteSendsNothingFurther)
{
    ComparatorBench bench;
    bench.fill(1, "30", "20", "1", "1", true);
    bench.ui().confirmAnswers = {false};
    EXPECT_FALSE(Ulozkomp1Click(bench.ctx));
    EXPECT_EQ(bench.requests(), (std::vector<Request>{ReadRequest(1084, 1)}));
    EXPECT_TRUE(bench.model.Ulozkomp1.enabled);
}

TEST(Comparators, DecliningTheDisableStillResets)
{
    ComparatorBench bench;
    bench.fill(1, "30", "20", "1", "1", false);
    bench.ui().confirmAnswers = {false};
    EXPECT_TRUE(Ulozkomp1Click(bench.ctx));
    EXPECT_EQ(bench.requests(), (std::vector<Request>{Command(118)}));
    EXPECT_EQ(bench.model.Prenos.position, 100);
}

TEST(Comparators, DelaysRoundToTheNearestWithTiesToEven)
{
    struct Case {
        const char* on;
        const char* off;
        std::uint8_t onByte;
        std::uint8_t offByte;
    };
    const Case cases[] = {{"2.5", "3.5", 2, 4},
                          {"0.5", "1.5", 0, 2},
                          {"254.5", "255.4", 254, 255},
                          {"0.49", "7.51", 0, 8}};
    for (const Case& c : cases) {
        ComparatorBench bench;
        bench.fill(1, "30", "20", c.on, c.off, true);
        bench.ui().confirmAnswers = {true};
        ASSERT_TRUE(Ulozkomp1Click(bench.ctx)) << c.on;
        EXPECT_EQ(bench.eeprom()[1072], c.onByte) << c.on;
        EXPECT_EQ(bench.eeprom()[1073], c.offByte) << c.off;
    }
}

TEST(Comparators, ValuesTheTransmitterCannotHoldAreRefusedBeforeAnythingIsSent)
{
    struct Case {
        const char* on;
        const char* off;
        const char* message;
        const char* field;
    };
    const Case cases[] = {
        {"256", "0",
         "Zpoždění sepnutí komparátoru 1 lze do převodníku uložit jen v rozsahu 0 až "
         "255 s.",
         "EZpoSep1"},
        {"1", "255.5",
         "Zpoždění rozepnutí komparátoru 1 lze do převodníku uložit jen v rozsahu 0 "
         "až 255 s.",
         "EZpoRoz1"},
        {"999", "0",
         "Zpoždění sepnutí komparátoru 1 lze do převodníku uložit jen v rozsahu 0 až "
         "255 s.",
         "EZpoSep1"},
        {"-1", "0",
         "Zpoždění sepnutí komparátoru 1 lze do převodníku uložit jen v rozsahu 0 až "
         "255 s.",
         "EZpoSep1"},
        // Limits beyond the transmitter's float (|x| ≥ 2^126).
        {"1e38", "20", "Mez sepnutí komparátoru 1 je mimo rozsah čísel převodníku.", "EMezsep1"},
        {"30", "-9e37", "Mez rozepnutí komparátoru 1 je mimo rozsah čísel převodníku.", "EMezroz1"},
    };
    for (const Case& c : cases) {
        ComparatorBench bench;
        bench.eeprom()[1072] = 9;
        const bool limits = c.field[1] == 'M';
        bench.fill(1, limits ? c.on : "30", limits ? c.off : "20", limits ? "1" : c.on,
                   limits ? "1" : c.off, true);
        bench.ui().confirmAnswers = {true};
        EXPECT_FALSE(Ulozkomp1Click(bench.ctx));
        EXPECT_TRUE(bench.requests().empty()) << c.on;
        EXPECT_EQ(bench.ui().messages, QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(bench.model.focusedControl, QString::fromUtf8(c.field));
        EXPECT_EQ(bench.eeprom()[1072], 9);
    }
}

TEST(Comparators, MissingFieldsInTheirOrder)
{
    struct Case {
        const char* on;
        const char* off;
        const char* onDelay;
        const char* offDelay;
        const char* message;
        const char* field;
    };
    const Case cases[] = {
        {"", "", "", "", "Není zadána mez sepnutí komparátoru 2", "EMezsep2"},
        {"1", "", "", "", "Není zadána mez rozepnutí komparátoru 2", "EMezroz2"},
        {"1", "2", "", "", "Není zadán čas zpoždění sepnutí komparátoru 2", "Ezposep2"},
        {"1", "2", "3", "", "Není zadán čas zpoždění rozepnutí komparátoru 2", "Ezporoz2"},
    };
    for (const Case& c : cases) {
        ComparatorBench bench;
        bench.fill(2, c.on, c.off, c.onDelay, c.offDelay, true);
        EXPECT_FALSE(Ulozkomp2Click(bench.ctx));
        EXPECT_EQ(bench.ui().messages, QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(bench.model.focusedControl, QString::fromUtf8(c.field));
        EXPECT_TRUE(bench.requests().empty());
        EXPECT_TRUE(bench.model.Ulozkomp2.enabled);
    }
}

TEST(Comparators, StoreSendsWhatTheFieldsShowNotAnOlderValue)
{
    ComparatorBench bench;
    bench.fill(1, "30", "20", "1", "1", true);
    bench.model.Comparator1.SwitchOnLimit = 55; // left from an earlier entry
    bench.ui().confirmAnswers = {true};
    ASSERT_TRUE(Ulozkomp1Click(bench.ctx));
    EXPECT_EQ(sim::GetTransmitterFloat(bench.eeprom(), 1040), 30.0f);

    ComparatorBench bad;
    bad.fill(1, "3x", "20", "1", "1", true);
    EXPECT_FALSE(Ulozkomp1Click(bad.ctx));
    EXPECT_EQ(bad.ui().messages,
              QStringList{QStringLiteral("špatně zadaná mez sepnutí komparátoru 1")});
    EXPECT_TRUE(bad.requests().empty());
}

TEST(Comparators, StoreNeedsRelayOutputs)
{
    sim::SimOptions noRelays;
    noRelays.relays = false;
    ComparatorBench bench;
    bench.eeprom()[1084] = 0;
    bench.fill(1, "30", "20", "1", "1", true);
    EXPECT_FALSE(Ulozkomp1Click(bench.ctx));
    EXPECT_EQ(bench.ui().messages,
              QStringList{QStringLiteral("Připojený převodník neobsahuje spínací výstupy")});
    EXPECT_EQ(bench.requests(), (std::vector<Request>{ReadRequest(1084, 1)}));
}

TEST(Comparators, StoringComparatorTwoNeedsTheSecondRelay)
{
    ComparatorBench bench;
    bench.eeprom()[1084] = 1;
    bench.eeprom()[1085] = 0xFE;
    bench.fill(2, "30", "20", "1", "1", true);
    EXPECT_FALSE(Ulozkomp2Click(bench.ctx));
    EXPECT_EQ(bench.ui().messages,
              QStringList{QStringLiteral("Připojený převodník neobsahuje spínací výstup 2")});
    EXPECT_FALSE(bench.model.PovolKompar2.checked);
    EXPECT_EQ(bench.requests(), (std::vector<Request>{ReadRequest(1084, 2)}));
}

TEST(Comparators, ReadShowsStoredValues)
{
    ComparatorBench bench;
    PutFloat(bench.eeprom(), 1040, 12.3f);
    PutFloat(bench.eeprom(), 1044, -5.25f);
    bench.eeprom()[1072] = 7;
    bench.eeprom()[1073] = 255;
    bench.eeprom()[1080] = 0x83;
    ASSERT_TRUE(Preckomp1Click(bench.ctx));
    MainWindowModel& m = bench.model;
    EXPECT_EQ(m.EMezsep1.text, Localised("12.30000019"));
    EXPECT_EQ(m.EMezroz1.text, Localised("-5.25"));
    EXPECT_EQ(m.EZpoSep1.text, QStringLiteral("7"));
    EXPECT_EQ(m.EZpoRoz1.text, QStringLiteral("255"));
    EXPECT_TRUE(m.PovolKompar1.checked);
    EXPECT_EQ(m.RezimRele1.text, QStringLiteral("OKNO"));
    EXPECT_EQ(m.Comparator1.SwitchOnLimit, static_cast<Extended>(12.3f));
    EXPECT_EQ(m.Comparator1.SwitchOffDelay, 255);
    EXPECT_EQ(bench.requests(), (std::vector<Request>{ReadRequest(1084, 1), ReadRequest(1040, 4),
                                                      ReadRequest(1044, 4), ReadRequest(1072, 2),
                                                      ReadRequest(1080, 1)}));
    EXPECT_EQ(bench.progress, (std::vector<int>{0, 25, 50, 75, 100}));
    EXPECT_TRUE(m.Preckomp1.enabled);
}

TEST(Comparators, ReadComparatorTwoUsesItsOwnAddresses)
{
    ComparatorBench bench;
    bench.eeprom()[1081] = 0x00;
    bench.model.PovolKompar2.checked = true;
    ASSERT_TRUE(Preckomp2Click(bench.ctx));
    EXPECT_EQ(bench.requests(), (std::vector<Request>{ReadRequest(1084, 1), ReadRequest(1048, 4),
                                                      ReadRequest(1052, 4), ReadRequest(1074, 2),
                                                      ReadRequest(1081, 1)}));
    EXPECT_FALSE(bench.model.PovolKompar2.checked);
    EXPECT_EQ(bench.model.RezimRele2.text, QStringLiteral("HYSTEREZE"));
}

TEST(Comparators, ReadingComparatorTwoNeedsRelayOutputs)
{
    ComparatorBench bench;
    bench.eeprom()[1084] = 0;
    bench.fill(2, "1", "2", "3", "4", true);
    EXPECT_FALSE(Preckomp2Click(bench.ctx));
    EXPECT_EQ(bench.ui().messages,
              QStringList{QStringLiteral("Připojený převodník neobsahuje spínací výstupy")});
    // The fields were emptied before the check.
    EXPECT_TRUE(bench.model.EMezsep2.text.isEmpty());
}

TEST(Comparators, StoredLimitReadsBackAsItsSinglePrecisionValue)
{
    ComparatorBench bench;
    bench.fill(1, "12.3", "20", "1", "1", true);
    bench.ui().confirmAnswers = {true};
    ASSERT_TRUE(Ulozkomp1Click(bench.ctx));
    bench.model.setText(bench.model.EMezsep1, QString());
    ASSERT_TRUE(Preckomp1Click(bench.ctx));
    EXPECT_EQ(bench.model.EMezsep1.text, Localised("12.30000019"));
}

TEST(Comparators, FailedCommandEndsTheStoreWithTheButtonEnabled)
{
    ComparatorBench bench;
    bench.fill(1, "30", "20", "1", "1", true);
    bench.ui().confirmAnswers = {true};
    bench.noReply(3, 5); // the limits block
    EXPECT_FALSE(Ulozkomp1Click(bench.ctx));
    EXPECT_EQ(bench.ui().messages,
              QStringList{LinkFailureMessage({LinkError::NoReply, QStringLiteral("COM1")})});
    EXPECT_TRUE(bench.model.Ulozkomp1.enabled);
    EXPECT_EQ(bench.model.Prenos.position, 40);
    for (const Request& r : bench.requests())
        EXPECT_NE(r.command, 118);
}

} // namespace
} // namespace vtr8::test
