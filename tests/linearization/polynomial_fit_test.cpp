#include "linearization/polynomial_fit.h"
#include "process_locale.h"
#include "recording_workspace.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vtr8 {
namespace {

using testing::localized;
using testing::RecordingWorkspace;
using Messages = std::vector<std::string>;

const std::string DataError = "Chyba v datech pro linearizaci.";
const std::string NotRising = "fce neni v tomto bode prosta -\"vstup\",\"vystup\",\"smernice\"";

void setTable(RecordingWorkspace& r, std::initializer_list<std::pair<Extended, Extended>> points)
{
    int i = 0;
    for (const auto& [u, w] : points) {
        ++i;
        r.points.MeasuredInput[static_cast<std::size_t>(i)] = u;
        r.points.RequiredOutput[static_cast<std::size_t>(i)] = w;
    }
    r.points.PointCount = i;
    r.ws.Source = FitSource::FromTable;
    r.ws.CharacteristicIndex = Characteristic::LinearFromFile;
}

Extended cubic(Extended u)
{
    return 2 + 3 * u + 0.05L * u * u + 0.01L * u * u * u;
}

TEST(PolynomialFit, RecoversAnExactPolynomialFromItsPoints)
{
    RecordingWorkspace r;
    r.ws.Source = FitSource::FromTable;
    r.ws.CharacteristicIndex = Characteristic::LinearFromFile;
    for (int i = 1; i <= 17; ++i) {
        const Extended u = 3 + i;
        r.points.MeasuredInput[i] = u;
        r.points.RequiredOutput[i] = cubic(u);
    }
    r.points.PointCount = 17;
    // Line through the first and last point, input as a function of output.
    r.points.InverseSlope = (20 - 4) / (cubic(20) - cubic(4));
    r.points.InverseOffset = 4 - cubic(4) * r.points.InverseSlope;
    r.ws.RangeStart = cubic(4);
    r.ws.RangeEnd = cubic(20);
    r.ws.Step = (r.ws.RangeEnd - r.ws.RangeStart) / 100;
    r.ws.Degree = 3;
    r.ws.ReportDeviation = true;
    r.ws.FitCoefficients[2].fill(7);

    PolynomialFit(r.ws);

    EXPECT_FALSE(r.ws.LinearizationError);
    const auto& c = r.ws.FitCoefficients[3];
    EXPECT_NEAR(c[0], 2, 1e-12L);
    EXPECT_NEAR(c[1], 3, 1e-12L);
    EXPECT_NEAR(c[2], 0.05L, 1e-13L);
    EXPECT_NEAR(c[3], 0.01L, 1e-14L);
    EXPECT_EQ(c[4], 0.0L);
    EXPECT_LT(r.ws.MaxDeviation, 1e-12L);
    EXPECT_EQ(r.ws.FitCoefficients[2][0], 7.0L) << "other rows keep what earlier runs left";
    EXPECT_EQ(r.messages, Messages{"Max.odchylka v % =0"});
}

TEST(PolynomialFit, DegreeZeroIsTheMeanAndAFlatLineIsReportedAsNotRising)
{
    RecordingWorkspace r;
    setTable(r, {{1, 1}, {2, 2}, {3, 6}});
    r.points.InverseSlope = 0.5L;
    r.points.InverseOffset = 0.5L;
    r.ws.RangeStart = 1;
    r.ws.RangeEnd = 6;
    r.ws.Step = 0.05L;
    r.ws.Degree = 0;

    PolynomialFit(r.ws);

    EXPECT_FALSE(r.ws.LinearizationError);
    EXPECT_EQ(r.ws.FitCoefficients[0][0], 3.0L);
    // Input 1 .. 3.5 in fifths of 0.5: a flat polynomial fails every interval.
    Messages expected;
    for (const char* u : {"1", "1.5", "2", "2.5", "3"}) {
        expected.push_back(NotRising);
        expected.push_back(localized(std::string(u) + "  3  0"));
    }
    EXPECT_EQ(r.messages, expected);
}

TEST(PolynomialFit, RisingCheckNamesEachFallingIntervalOnce)
{
    // w = (u - 1.6)² - 0.16 falls from u = 0 to 1.6 and rises after.
    RecordingWorkspace r;
    setTable(r, {{0, 2.4L}, {1, 0.2L}, {2, 0}, {3, 1.8L}, {4, 5.6L}, {5, 11.4L}});
    r.points.InverseSlope = 5 / 11.4L;
    r.points.InverseOffset = 0;
    r.ws.RangeStart = 0;
    r.ws.RangeEnd = 11.4L;
    r.ws.Step = 0.114L;
    r.ws.Degree = 2;

    PolynomialFit(r.ws);

    EXPECT_FALSE(r.ws.LinearizationError);
    EXPECT_EQ(r.messages, (Messages{NotRising, localized("0  2.4  -2.2"), NotRising,
                                    localized("1  0.2  -0.2")}));
}

TEST(PolynomialFit, Pt100DegreeFourFitsWellUnderAHundredthOfADegree)
{
    RecordingWorkspace r;
    r.ws.Source = FitSource::FromCharacteristic;
    r.ws.CharacteristicIndex = Characteristic::Pt100;
    r.ws.RangeStart = 0;
    r.ws.RangeEnd = 100;
    r.ws.Step = 1;
    r.ws.Degree = 4;

    PolynomialFit(r.ws);

    ASSERT_FALSE(r.ws.LinearizationError);
    EXPECT_TRUE(r.messages.empty());
    EXPECT_LT(r.ws.MaxDeviation, 0.001L);
    EXPECT_EQ(r.ws.MaxDeviationPercent, static_cast<float>(r.ws.MaxDeviation));
    // The polynomial maps resistance to temperature, also between the samples.
    const auto& c = r.ws.FitCoefficients[4];
    for (Extended t : {0.5L, 37.25L, 99.5L}) {
        const Extended u = EvaluateCharacteristic(r.ws, Characteristic::Pt100, t);
        const Extended p = c[0] + u * (c[1] + u * (c[2] + u * (c[3] + u * c[4])));
        EXPECT_NEAR(p, t, 0.001L) << double(t);
    }
}

TEST(PolynomialFit, SamplesTheCharacteristicFromStartToEndInclusive)
{
    // A degree-0 fit of the identity is the mean of the sample temperatures:
    // 0, 1, ..., 100 gives exactly 50 (without the end point it would be 49.5).
    RecordingWorkspace r;
    r.ws.Source = FitSource::FromCharacteristic;
    r.ws.CharacteristicIndex = Characteristic::Identity;
    r.ws.RangeStart = 0;
    r.ws.RangeEnd = 100;
    r.ws.Step = 1;
    r.ws.Degree = 0;
    PolynomialFit(r.ws);
    EXPECT_EQ(r.ws.FitCoefficients[0][0], 50.0L);
}

TEST(PolynomialFit, DeviationReportRoundsToThreeDecimals)
{
    // Mean 1 of 0, 0, 3: deviation 2 of a span of 3 = 66.666...%.
    RecordingWorkspace r;
    setTable(r, {{1, 0}, {2, 0}, {3, 3}});
    r.points.InverseSlope = -1; // falling input: no rising check
    r.ws.RangeStart = 0;
    r.ws.RangeEnd = 3;
    r.ws.Step = 0.03L;
    r.ws.Degree = 0;
    r.ws.ReportDeviation = true;

    PolynomialFit(r.ws);

    EXPECT_EQ(r.ws.MaxDeviationPercent, static_cast<float>(200.0L / 3));
    EXPECT_EQ(r.messages, Messages{"Max.odchylka v % =" + localized("66.667")});
}

TEST(PolynomialFit, DeviationPassRereadsThePointFile)
{
    RecordingWorkspace r;
    setTable(r, {{1, 0}, {2, 0}, {3, 3}});
    r.points.InverseSlope = -1;
    r.ws.RangeStart = 0;
    r.ws.RangeEnd = 3;
    r.ws.Step = 0.03L;
    r.ws.Degree = 0;
    r.ws.ReportDeviation = true;

    r.ws.ReopenPointFile = [](LinearizationPoints&) { return false; };
    PolynomialFit(r.ws);
    EXPECT_FALSE(r.ws.LinearizationError);
    EXPECT_EQ(r.messages,
              (Messages{"Soubor nenalezen", "Max.odchylka v % =" + localized("66.667")}));

    // The file as it is now: one point moved to 4 gives a deviation of 3 (100%).
    r.messages.clear();
    r.ws.ReopenPointFile = [](LinearizationPoints& reread) {
        reread.RequiredOutput[3] = 4;
        return true;
    };
    PolynomialFit(r.ws);
    EXPECT_EQ(r.ws.FitCoefficients[0][0], 1.0L);
    EXPECT_EQ(r.messages, Messages{"Max.odchylka v % =100"});
}

TEST(PolynomialFit, BadParametersComputeNothingAndFlagTheError)
{
    struct Case {
        Extended step;
        int degree;
        Messages messages;
    };
    const Case cases[] = {
        {0, 4, {"Chyba teploty", DataError}},
        {-1, 4, {"Chyba teploty", DataError}},
        {101, 4, {"Chyba teploty", DataError}},
        {1e-5L, 4, {"Chyba teploty", DataError}}, // ten million samples
        {NAN, 4, {"Chyba teploty", DataError}},
        {1, -1, {"Chyba stupne polynomu", DataError}},
        {1, 21, {"Chyba stupne polynomu", DataError}},
        {0, -1, {"Chyba teploty", "Chyba stupne polynomu", DataError}},
    };
    for (const Case& c : cases) {
        RecordingWorkspace r;
        r.ws.Source = FitSource::FromCharacteristic;
        r.ws.CharacteristicIndex = Characteristic::Pt100;
        r.ws.RangeStart = 0;
        r.ws.RangeEnd = 100;
        r.ws.Step = c.step;
        r.ws.Degree = c.degree;
        r.ws.FitCoefficients[4][0] = 9;
        PolynomialFit(r.ws);
        EXPECT_TRUE(r.ws.LinearizationError) << double(c.step) << " " << c.degree;
        EXPECT_EQ(r.messages, c.messages) << double(c.step) << " " << c.degree;
        EXPECT_EQ(r.ws.FitCoefficients[4][0], 9.0L);
    }
}

TEST(PolynomialFit, ErrorFromAnEarlierRunIsClearedFirst)
{
    RecordingWorkspace r;
    r.ws.LinearizationError = true;
    r.ws.Source = FitSource::FromCharacteristic;
    r.ws.CharacteristicIndex = Characteristic::TcK;
    r.ws.RangeStart = 0;
    r.ws.RangeEnd = 500;
    r.ws.Step = 5;
    PolynomialFit(r.ws);
    EXPECT_FALSE(r.ws.LinearizationError);
}

TEST(PolynomialFit, UnknownCharacteristicStopsAtTheFirstSample)
{
    RecordingWorkspace r;
    r.ws.Source = FitSource::FromCharacteristic;
    r.ws.CharacteristicIndex = static_cast<Characteristic>(17);
    PolynomialFit(r.ws);
    EXPECT_TRUE(r.ws.LinearizationError);
    EXPECT_EQ(r.messages, (Messages{"Dany prubeh neni v programu jeste zadan", DataError}));
}

TEST(PolynomialFit, TooFewPointsForTheDegreeIsAnErrorWithoutNaN)
{
    const int degrees[] = {2, 5, 8};
    for (int d : degrees) {
        RecordingWorkspace r;
        setTable(r, {{4, 0}, {12, 50}});
        r.points.InverseSlope = 0.16L;
        r.points.InverseOffset = 4;
        r.ws.RangeStart = 0;
        r.ws.RangeEnd = 50;
        r.ws.Step = 0.5L;
        r.ws.Degree = d;
        PolynomialFit(r.ws);
        EXPECT_TRUE(r.ws.LinearizationError) << d;
        for (Extended c : r.ws.FitCoefficients[static_cast<std::size_t>(d)])
            EXPECT_TRUE(std::isfinite(c)) << d;
        EXPECT_EQ(r.messages,
                  (Messages{"Pro polynom stupně " + std::to_string(d) + " je třeba aspoň " +
                                std::to_string(d + 1) + " bodů s různou vstupní hodnotou.",
                            DataError}));
    }
    // Four points but only two distinct inputs cannot carry a parabola either.
    RecordingWorkspace repeated;
    setTable(repeated, {{4, 0}, {4, 1}, {12, 49}, {12, 50}});
    repeated.ws.RangeStart = 0;
    repeated.ws.RangeEnd = 50;
    repeated.ws.Step = 0.5L;
    repeated.ws.Degree = 2;
    PolynomialFit(repeated.ws);
    EXPECT_TRUE(repeated.ws.LinearizationError);

    // The same points with a degree they can carry fit fine.
    RecordingWorkspace ok;
    setTable(ok, {{4, 0}, {12, 50}});
    ok.points.InverseSlope = 0.16L;
    ok.points.InverseOffset = 4;
    ok.ws.RangeStart = 0;
    ok.ws.RangeEnd = 50;
    ok.ws.Step = 0.5L;
    ok.ws.Degree = 1;
    PolynomialFit(ok.ws);
    EXPECT_FALSE(ok.ws.LinearizationError);
    EXPECT_NEAR(ok.ws.FitCoefficients[1][1], 6.25L, 1e-15L);
}

TEST(PolynomialFit, RangeMustLieWithinTheTableOutputs)
{
    struct Case {
        Extended start;
        Extended end;
        Messages messages;
    };
    const Case cases[] = {
        {-1, 50, {"Počátek měřicího rozsahu je mimo tabulku hodnot.", DataError}},
        {0, 51, {"Konec měřicího rozsahu je mimo tabulku hodnot.", DataError}},
        {-1,
         51,
         {"Počátek měřicího rozsahu je mimo tabulku hodnot.",
          "Konec měřicího rozsahu je mimo tabulku hodnot.", DataError}},
    };
    for (const Case& c : cases) {
        RecordingWorkspace r;
        setTable(r, {{4, 0}, {8, 30}, {12, 50}});
        r.ws.RangeStart = c.start;
        r.ws.RangeEnd = c.end;
        r.ws.Step = 0.5L;
        r.ws.Degree = 1;
        PolynomialFit(r.ws);
        EXPECT_TRUE(r.ws.LinearizationError);
        EXPECT_EQ(r.messages, c.messages);
    }
    // A falling table covers the range between its smallest and largest output.
    RecordingWorkspace falling;
    setTable(falling, {{4, 50}, {8, 20}, {12, 0}});
    falling.points.InverseSlope = -0.16L;
    falling.points.InverseOffset = 12;
    falling.ws.RangeStart = 0;
    falling.ws.RangeEnd = 50;
    falling.ws.Step = 0.5L;
    falling.ws.Degree = 1;
    PolynomialFit(falling.ws);
    EXPECT_FALSE(falling.ws.LinearizationError);
    EXPECT_TRUE(falling.messages.empty());

    RecordingWorkspace empty;
    empty.ws.Source = FitSource::FromTable;
    empty.ws.Degree = 1;
    PolynomialFit(empty.ws);
    EXPECT_TRUE(empty.ws.LinearizationError);
    EXPECT_EQ(empty.messages.back(), DataError);
}

TEST(PolynomialFit, CoefficientsBeyondSinglePrecisionAreReported)
{
    RecordingWorkspace big;
    setTable(big, {{1, 2e38L}, {2, 3e38L}});
    big.points.InverseSlope = -1;
    big.ws.RangeStart = 2e38L;
    big.ws.RangeEnd = 3e38L;
    big.ws.Step = 1e36L;
    big.ws.Degree = 0;
    PolynomialFit(big.ws);
    EXPECT_FALSE(big.ws.LinearizationError);
    EXPECT_EQ(big.ws.FitCoefficients[0][0], 2.5e38L) << "an overflowing coefficient is kept";
    EXPECT_EQ(big.messages, Messages{"Doslo k preteceni"});

    RecordingWorkspace tiny;
    setTable(tiny, {{1, 1e-40L}, {2, 2e-40L}});
    tiny.points.InverseSlope = -1;
    tiny.ws.RangeStart = 1e-40L;
    tiny.ws.RangeEnd = 2e-40L;
    tiny.ws.Step = 1e-42L;
    tiny.ws.Degree = 0;
    PolynomialFit(tiny.ws);
    EXPECT_FALSE(tiny.ws.LinearizationError);
    EXPECT_EQ(tiny.ws.FitCoefficients[0][0], 0.0L) << "an underflowing coefficient becomes 0";
    EXPECT_EQ(tiny.messages, Messages{"Doslo k podteceni"});
}

} // namespace
} // namespace vtr8
