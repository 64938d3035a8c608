#include "recording_workspace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vtr8 {
namespace {

using testing::RecordingWorkspace;

TEST(Characteristic, TypeKAroundZeroSwitchesSubRangeAndAddsTheBump)
{
    RecordingWorkspace r;
    // At 0 the lower set has no constant term: exactly zero.
    EXPECT_EQ(EvaluateCharacteristic(r.ws, Characteristic::TcK, 0), 0.0L);
    // Just above 0 the upper set's -18.53 µV and the exponential term nearly cancel.
    EXPECT_NEAR(EvaluateCharacteristic(r.ws, Characteristic::TcK, 0.001L), 3.9475455429361237e-8L,
                1e-18L);
    EXPECT_NEAR(EvaluateCharacteristic(r.ws, Characteristic::TcK, 100), 4.0952710943414358e-3L,
                1e-17L);
    EXPECT_NEAR(EvaluateCharacteristic(r.ws, Characteristic::TcK, 1000), 4.1268712162727e-2L,
                1e-16L);
}

TEST(Characteristic, TypeRBoundariesBelongToTheLowerSubRange)
{
    // Expected values computed independently from each sub-range's polynomial;
    // the neighbouring sub-range differs by more than the tolerance at each boundary.
    struct Case {
        Extended x;
        Extended lower;
        Extended upper;
    };
    const Case cases[] = {
        {630, 0.00592458304280107L, 0.0059245689483518L},
        {1064, 0.0113580460265525L, 0.0113580464178L},
        {1665, 0.019738670497L, 0.0197386705401L},
    };
    RecordingWorkspace r;
    for (const Case& c : cases) {
        const Extended y = EvaluateCharacteristic(r.ws, Characteristic::TcR, c.x);
        EXPECT_NEAR(y, c.lower, 1e-15L) << double(c.x);
        EXPECT_GT(std::fabs(y - c.upper), 1e-14L) << double(c.x);
    }
    // A hair above each boundary the upper sub-range serves (slope about 13.5 µV/°C).
    EXPECT_NEAR(EvaluateCharacteristic(r.ws, Characteristic::TcR, 1064.0000001L),
                0.0113580464178L + 1.35e-12L, 2e-14L);
    EXPECT_NEAR(EvaluateCharacteristic(r.ws, Characteristic::TcR, 1665.0000001L),
                0.0197386705401L + 1.37e-12L, 2e-14L);
}

TEST(Characteristic, TypeSAndJBoundariesBelongToTheLowerSubRange)
{
    // As for type R: each value is the lower sub-range's polynomial, computed
    // independently; the upper neighbour differs by far more than the tolerance.
    struct Case {
        Characteristic type;
        Extended x;
        Extended lower;
        Extended upper;
    };
    const Case cases[] = {
        {Characteristic::TcS, 630, 0.005544481749894072153L, 0.005544469277900L},
        {Characteristic::TcS, 1064, 0.010329252161536L, 0.010329252175111769111L},
        {Characteristic::TcS, 1665, 0.0175358290334L, 0.0175358285169L},
        {Characteristic::TcJ, 760, 0.04292195701579983091L, 0.04292190002790942925L},
    };
    RecordingWorkspace r;
    for (const Case& c : cases) {
        const Extended y = EvaluateCharacteristic(r.ws, c.type, c.x);
        EXPECT_NEAR(y, c.lower, 1e-15L) << int(c.type) << " at " << double(c.x);
        EXPECT_GT(std::fabs(y - c.upper), 1e-12L) << int(c.type) << " at " << double(c.x);
    }
    EXPECT_TRUE(r.messages.empty());
}

TEST(Characteristic, CoefficientTableHoldsOnlyTheSelectedSubRange)
{
    RecordingWorkspace r;
    EvaluateCharacteristic(r.ws, Characteristic::TcT, -10); // 15 coefficients
    EvaluateCharacteristic(r.ws, Characteristic::TcS, 700); // 3 coefficients
    EXPECT_EQ(r.ws.Coefficients[0], -2.982448e+02L);
    EXPECT_EQ(r.ws.Coefficients[2], 1.645391e-03L);
    for (std::size_t i = 3; i < r.ws.Coefficients.size(); ++i)
        EXPECT_EQ(r.ws.Coefficients[i], 0.0L) << i;
}

TEST(Characteristic, ReferencePolynomialScalesAndShiftsTheArgument)
{
    CoefficientTable t{};
    t[0] = 1;
    t[1] = 2;
    t[2] = 3;
    // u = (7 - 5)/2 = 1: (1 + 2 + 3) µV. Slots above the highest index are ignored.
    t[3] = 1000;
    EXPECT_NEAR(EvaluateReferencePolynomial(t, 2, 5, 2, 7), 6e-6L, 1e-20L);
    EXPECT_NEAR(EvaluateReferencePolynomial(t, 3, 0, 1, 2), (1 + 4 + 12 + 8000) * 1e-6L, 1e-18L);
}

TEST(Characteristic, ResistanceThermometerWorkedValues)
{
    struct Case {
        Characteristic c;
        Extended x;
        Extended ohms;
        Extended tolerance;
    };
    const Case cases[] = {
        {Characteristic::Pt100, 0, 100, 1e-15L},
        {Characteristic::Pt100, 100, 138.5L, 1e-15L},
        // The C term counts below zero, with (x - 100) = -200.
        {Characteristic::Pt100, -100, 60.25413L, 1e-12L},
        {Characteristic::Pt1000, -100, 602.5413L, 1e-11L},
        {Characteristic::Ni100, 0, 100, 1e-15L},
        {Characteristic::Ni100, 100, 161.7785L, 1e-12L},
        {Characteristic::Ni100, -60, 69.520259488L, 1e-10L},
        {Characteristic::Ni1000, 100, 1617.785L, 1e-11L},
    };
    RecordingWorkspace r;
    for (const Case& c : cases)
        EXPECT_NEAR(EvaluateCharacteristic(r.ws, c.c, c.x), c.ohms, c.tolerance)
            << int(c.c) << " at " << double(c.x);
    EXPECT_TRUE(r.messages.empty());
}

TEST(Characteristic, SquareRootLawOverTheRange)
{
    RecordingWorkspace r;
    r.ws.RangeStart = 4;
    r.ws.RangeEnd = 20;
    const auto f = [&](Extended x) {
        return EvaluateCharacteristic(r.ws, Characteristic::SquareRoot, x);
    };
    EXPECT_EQ(f(4), 4.0L);
    EXPECT_EQ(f(20), 20.0L);
    EXPECT_EQ(f(2), 2.0L);
    EXPECT_EQ(f(25), 25.0L);
    EXPECT_NEAR(f(12), 4 + 16 * std::sqrt(0.5L), 1e-17L);
    EXPECT_NEAR(f(8), 4 + 16 * 0.5L, 1e-17L);
}

TEST(Characteristic, LinearFromFileUsesTheInverseLineOfThePointSet)
{
    RecordingWorkspace r;
    r.points.InverseSlope = 0.16L;
    r.points.InverseOffset = 4;
    r.points.LineSlope = 99; // the forward line must not be used
    EXPECT_NEAR(EvaluateCharacteristic(r.ws, Characteristic::LinearFromFile, 50), 12.0L, 1e-17L);
    EXPECT_EQ(EvaluateCharacteristic(r.ws, Characteristic::Identity, -3.25L), -3.25L);
}

TEST(Characteristic, UnknownIndexShowsMessageSetsFlagKeepsPreviousResult)
{
    RecordingWorkspace r;
    const Extended previous = EvaluateCharacteristic(r.ws, Characteristic::Pt100, 100);
    for (int index : {17, 200, 255}) {
        r.ws.LinearizationError = false;
        const Extended y = EvaluateCharacteristic(r.ws, static_cast<Characteristic>(index), 5);
        EXPECT_EQ(y, previous);
        EXPECT_TRUE(r.ws.LinearizationError);
    }
    EXPECT_EQ(r.messages, std::vector<std::string>(3, "Dany prubeh neni v programu jeste zadan"));
}

TEST(Characteristic, SplineFileWithoutTableIsAnErrorNotAValue)
{
    RecordingWorkspace r;
    EvaluateCharacteristic(r.ws, Characteristic::SplineFile, 1);
    EXPECT_TRUE(r.ws.LinearizationError);
    ASSERT_EQ(r.messages.size(), 1u);

    r.ws.LinearizationError = false;
    SplineTable& t = r.ws.SplineFileTable;
    t.IntervalCount = 1;
    t.u[0] = 0;
    t.u[1] = 10;
    t.a[0] = 1;
    t.b[0] = 2;
    EXPECT_EQ(EvaluateCharacteristic(r.ws, Characteristic::SplineFile, 3), 7.0L);
    EXPECT_FALSE(r.ws.LinearizationError);
}

TEST(Characteristic, ZPPrepocRoundsToNearestFloat)
{
    RecordingWorkspace r;
    r.ws.CharacteristicIndex = Characteristic::Pt100;
    const float y = ZPPrepoc(r.ws, -100.0f);
    EXPECT_EQ(y, static_cast<float>(60.25413L));
    // Identity of a float is that float; beyond the float range it saturates.
    r.ws.CharacteristicIndex = Characteristic::Identity;
    EXPECT_EQ(ZPPrepoc(r.ws, 0.1f), 0.1f);
    r.ws.CharacteristicIndex = Characteristic::LinearFromFile;
    r.points.InverseSlope = 1e30L;
    EXPECT_EQ(ZPPrepoc(r.ws, 1e30f), std::numeric_limits<float>::infinity());
    EXPECT_EQ(ZPPrepoc(r.ws, -1e30f), -std::numeric_limits<float>::infinity());
}

} // namespace
} // namespace vtr8
