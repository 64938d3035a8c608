#include "recording_workspace.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vtr8 {
namespace {

using testing::RecordingWorkspace;

TEST(Inverse, PlatinumIsCutNotRounded)
{
    RecordingWorkspace r;
    EXPECT_EQ(vypocet_inverz(r.ws, Characteristic::Pt100, 138.5L), 99.999L);
    const Extended minus100 = EvaluateCharacteristic(r.ws, Characteristic::Pt100, -100);
    EXPECT_EQ(vypocet_inverz(r.ws, Characteristic::Pt100, minus100), -99.999L);
    EXPECT_FALSE(r.ws.LinearizationError);
    EXPECT_TRUE(r.messages.empty());
}

TEST(Inverse, ThermocoupleStopRuleIsAsCoarseAsTransmittersExpect)
{
    // The tolerance 1.42e-4 is compared with volts: type K stops after eight
    // halvings at 99.765625.
    RecordingWorkspace r;
    const Extended emf100 = EvaluateCharacteristic(r.ws, Characteristic::TcK, 100);
    EXPECT_EQ(vypocet_inverz(r.ws, Characteristic::TcK, emf100), 99.765L);
    const Extended emf1000 = EvaluateCharacteristic(r.ws, Characteristic::TcK, 1000);
    EXPECT_EQ(vypocet_inverz(r.ws, Characteristic::TcK, emf1000), 998.359L);
}

TEST(Inverse, EachSensorSearchesItsOwnInterval)
{
    // The coarse stop rule makes the answer depend on where the halving starts:
    // each result below follows only from that sensor's search interval (worked
    // through independently, with float bounds and the cut to thousandths).
    struct Case {
        Characteristic type;
        Extended celsius;
        Extended expected;
    };
    const Case cases[] = {
        {Characteristic::TcN, 500, 499.14L},   {Characteristic::TcT, 200, 199.609L},
        {Characteristic::TcJ, 500, 501.757L},  {Characteristic::TcE, 500, 499.609L},
        {Characteristic::TcR, 1000, 990},      {Characteristic::TcS, 1000, 990},
        {Characteristic::TcB, 1000, 1013.75L}, {Characteristic::TcL, 500, 499.218L},
        {Characteristic::Ni100, 100, 100},
    };
    RecordingWorkspace r;
    for (const Case& c : cases) {
        const Extended signal = EvaluateCharacteristic(r.ws, c.type, c.celsius);
        EXPECT_EQ(vypocet_inverz(r.ws, c.type, signal), c.expected) << int(c.type);
    }
    EXPECT_FALSE(r.ws.LinearizationError);
    EXPECT_TRUE(r.messages.empty());
}

TEST(Inverse, EveryResistanceThermometerRoundTripsWithinAThousandth)
{
    const Characteristic types[] = {Characteristic::Pt100, Characteristic::Pt1000,
                                    Characteristic::Ni100, Characteristic::Ni1000};
    RecordingWorkspace r;
    for (Characteristic c : types) {
        const Extended lo = c == Characteristic::Ni100 || c == Characteristic::Ni1000 ? -70 : -200;
        const Extended hi = c == Characteristic::Ni100 || c == Characteristic::Ni1000 ? 250 : 850;
        for (Extended t = lo + 0.37L; t < hi; t += 13.1L) {
            const Extended v = EvaluateCharacteristic(r.ws, c, t);
            const Extended back = vypocet_inverz(r.ws, c, v);
            EXPECT_NEAR(back, t, 0.0021L) << int(c) << " at " << double(t);
        }
    }
    EXPECT_FALSE(r.ws.LinearizationError);
    EXPECT_TRUE(r.messages.empty());
}

TEST(Inverse, Pt1000NearTheTopEndsWhereFloatBoundsStopShrinking)
{
    // There the stop tolerance (1.05e-4 Ω) is finer than a float step of the
    // bounds times the slope; the search must still end, next to the answer.
    RecordingWorkspace r;
    for (Extended t = 800; t <= 850; t += 0.731L) {
        const Extended v = EvaluateCharacteristic(r.ws, Characteristic::Pt1000, t);
        EXPECT_NEAR(vypocet_inverz(r.ws, Characteristic::Pt1000, v), t, 0.0011L) << double(t);
    }
    EXPECT_FALSE(r.ws.LinearizationError);
}

TEST(Inverse, ValueOutsideTheCharacteristicEndsWithMessage)
{
    RecordingWorkspace r;
    const Extended t = vypocet_inverz(r.ws, Characteristic::Pt100, 1000);
    EXPECT_NEAR(t, 850, 0.001L);
    EXPECT_TRUE(r.ws.LinearizationError);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "Hodnota signálu leží mimo rozsah převodní charakteristiky čidla.");

    RecordingWorkspace n;
    vypocet_inverz(n.ws, Characteristic::TcJ, std::nan(""));
    EXPECT_TRUE(n.ws.LinearizationError);
}

TEST(Inverse, LimitsBelowTheSearchIntervalAreFoundInTheReferenceRange)
{
    // Type K ranges may start at -200 °C while the search starts at -50 °C.
    RecordingWorkspace r;
    for (Extended t : {-200.0L, -120.0L, -60.0L}) {
        const Extended emf = EvaluateCharacteristic(r.ws, Characteristic::TcK, t);
        EXPECT_NEAR(vypocet_inverz(r.ws, Characteristic::TcK, emf), t, 0.002L) << double(t);
    }
    const Extended jLow = EvaluateCharacteristic(r.ws, Characteristic::TcJ, -100);
    EXPECT_NEAR(vypocet_inverz(r.ws, Characteristic::TcJ, jLow), -100, 0.002L);
    EXPECT_FALSE(r.ws.LinearizationError);
    EXPECT_TRUE(r.messages.empty());
}

TEST(Inverse, IdentityIsExactAndLineIsCutTowardZero)
{
    RecordingWorkspace r;
    EXPECT_EQ(vypocet_inverz(r.ws, Characteristic::Identity, 12.345678L), 12.345678L);
    r.points.InverseSlope = 2;
    r.points.InverseOffset = 1;
    EXPECT_EQ(vypocet_inverz(r.ws, Characteristic::LinearFromFile, 1.23456L), 3.469L);
    r.points.InverseSlope = 1;
    r.points.InverseOffset = 0;
    EXPECT_EQ(vypocet_inverz(r.ws, Characteristic::LinearFromFile, -1.2349L), -1.234L);
    EXPECT_EQ(cutToThousandths(-0.0009L), 0.0L);
}

TEST(Inverse, SquareRootInvertsItsLaw)
{
    RecordingWorkspace r;
    r.ws.RangeStart = 0;
    r.ws.RangeEnd = 100;
    for (Extended x : {0.0L, 0.5L, 25.0L, 64.0L, 99.9L, 100.0L}) {
        const Extended y = EvaluateCharacteristic(r.ws, Characteristic::SquareRoot, x);
        EXPECT_NEAR(vypocet_inverz(r.ws, Characteristic::SquareRoot, y), x, 1e-15L);
    }
    EXPECT_FALSE(r.ws.LinearizationError);
}

TEST(Inverse, UnsupportedIndicesReportInsteadOfSearching)
{
    RecordingWorkspace r;
    EXPECT_EQ(vypocet_inverz(r.ws, static_cast<Characteristic>(17), 4.5L), 4.5L);
    EXPECT_TRUE(r.ws.LinearizationError);
    r.ws.LinearizationError = false;
    vypocet_inverz(r.ws, Characteristic::SplineFile, 4.5L);
    EXPECT_TRUE(r.ws.LinearizationError);
    ASSERT_EQ(r.messages.size(), 2u);
    EXPECT_EQ(r.messages[0], "Dany prubeh neni v programu jeste zadan");
}

} // namespace
} // namespace vtr8
