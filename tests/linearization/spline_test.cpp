#include "linearization/spline.h"
#include "recording_workspace.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace vtr8 {
namespace {

using testing::RecordingWorkspace;
using Messages = std::vector<std::string>;

const std::string SplineError = "Chyba cteni v SPLUNIT1 prip.klonu,stiskni ENTER";

void approximate(RecordingWorkspace& r, Characteristic c, Extended start, Extended end)
{
    r.ws.CharacteristicIndex = c;
    r.ws.RangeStart = start;
    r.ws.RangeEnd = end;
    SplineApproximation(r.ws);
}

// Value, first and second derivative of piece i at signal u.
struct PieceValue {
    Extended value;
    Extended slope;
    Extended curvature;
};

PieceValue piece(const SplineTable& t, int i, Extended u)
{
    const Extended x = u - t.u[i];
    return {t.a[i] + t.b[i] * x + t.c[i] * x * x + t.d[i] * x * x * x,
            t.b[i] + 2 * t.c[i] * x + 3 * t.d[i] * x * x, 2 * t.c[i] + 6 * t.d[i] * x};
}

TEST(Spline, Pt100KnotsGiveBackTheirTemperatures)
{
    RecordingWorkspace r;
    approximate(r, Characteristic::Pt100, 0, 100);
    ASSERT_FALSE(r.ws.LinearizationError);
    EXPECT_TRUE(r.messages.empty());
    const SplineTable& t = r.ws.Spline;
    EXPECT_EQ(t.IntervalCount, 20);
    EXPECT_EQ(t.u[0], 100.0L);
    EXPECT_NEAR(t.u[20], 138.5L, 1e-15L);
    for (int i = 0; i <= 20; ++i) {
        EXPECT_NEAR(t.u[i], EvaluateCharacteristic(r.ws, Characteristic::Pt100, 5 * i), 1e-15L);
        EXPECT_NEAR(EvaluateSpline(t, t.u[i]), 5 * i, 1e-12L) << i;
    }
}

TEST(Spline, PiecesJoinSmoothlyAndEndsFollowTheClampedSlopes)
{
    RecordingWorkspace r;
    approximate(r, Characteristic::TcK, -200, 1370);
    ASSERT_FALSE(r.ws.LinearizationError);
    const SplineTable& t = r.ws.Spline;
    for (int i = 1; i < 20; ++i) {
        const PieceValue left = piece(t, i - 1, t.u[i]);
        const PieceValue right = piece(t, i, t.u[i]);
        EXPECT_NEAR(left.value, right.value, 1e-9L) << i;
        EXPECT_NEAR(left.slope, right.slope, 1e-9L * std::fabs(right.slope)) << i;
        EXPECT_NEAR(left.curvature, right.curvature, 1e-7L * std::fabs(right.curvature) + 1e-6L)
            << i;
    }
    const auto typeK = [&](Extended x) {
        return EvaluateCharacteristic(r.ws, Characteristic::TcK, x);
    };
    const Extended s0 = 1 / (typeK(-199) - typeK(-200));
    const Extended sn = 1 / (typeK(1370) - typeK(1369));
    EXPECT_NEAR(piece(t, 0, t.u[0]).slope, s0, 1e-9L * s0);
    EXPECT_NEAR(piece(t, 19, t.u[20]).slope, sn, 1e-9L * sn);
}

TEST(Spline, PieceChoiceAtKnotsAndBeyondTheEnds)
{
    RecordingWorkspace r;
    approximate(r, Characteristic::Ni100, -60, 180);
    ASSERT_FALSE(r.ws.LinearizationError);
    const SplineTable& t = r.ws.Spline;
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(EvaluateSpline(t, t.u[i]), t.a[i]) << i;
    const Extended above = t.u[20] + 3;
    EXPECT_EQ(EvaluateSpline(t, above), piece(t, 19, above).value);
    const Extended below = t.u[0] - 3;
    EXPECT_EQ(EvaluateSpline(t, below), piece(t, 0, below).value);
    EXPECT_TRUE(std::isnan(EvaluateSpline(t, std::nan(""))));
    EXPECT_EQ(EvaluateSpline(SplineTable{}, 5), 0.0L);
}

// Largest |spline(signal(t)) - t| over the range in steps of 0.1 °C.
Extended largestError(Characteristic c, Extended start, Extended end)
{
    RecordingWorkspace r;
    approximate(r, c, start, end);
    EXPECT_FALSE(r.ws.LinearizationError);
    EXPECT_TRUE(r.messages.empty());
    Extended largest = 0;
    for (int k = 0; start + k / 10.0L <= end; ++k) {
        const Extended t = start + k / 10.0L;
        const Extended u = EvaluateCharacteristic(r.ws, c, t);
        largest = std::max(largest, std::fabs(EvaluateSpline(r.ws.Spline, u) - t));
    }
    return largest;
}

TEST(Spline, ErrorAgainstTheInvertedCharacteristic)
{
    struct Case {
        Characteristic c;
        Extended start;
        Extended end;
        Extended bound;
    };
    // Measured: Pt100 0.0039 °C, K 0.037 °C, B 1.58 °C. B's error sits in the
    // first pieces, where its EMF hardly changes with temperature (about
    // 1 µV/°C at 100 °C), and drops below 0.1 °C from 400 °C up.
    const Case cases[] = {
        {Characteristic::Pt100, -200, 850, 0.01L},
        {Characteristic::TcK, 0, 1370, 0.05L},
        {Characteristic::TcB, 100, 1820, 2},
    };
    for (const Case& c : cases) {
        const Extended e = largestError(c.c, c.start, c.end);
        RecordProperty("max_error_" + std::to_string(int(c.c)), std::to_string(double(e)));
        EXPECT_LT(e, c.bound) << int(c.c);
    }
}

TEST(Spline, RangeChecksRefuseTheTableWithTheirMessages)
{
    struct Case {
        Characteristic c;
        Extended start;
        Extended end;
        Messages messages;
    };
    const Case cases[] = {
        {Characteristic::TcK, -200, 1370, {}},
        {Characteristic::TcK, -201, 1370, {"Prekrocena dolni mez"}},
        {Characteristic::TcK, -200, 1371, {"Prekrocena horni mez"}},
        {Characteristic::TcB, 50, 1900, {"Prekrocena dolni mez", "Prekrocena horni mez"}},
        {Characteristic::Pt100, 100, 100, {"Chyba poc.intervalu nebo teploty nebo kroku"}},
        {Characteristic::Ni100,
         -300,
         -400,
         {"Chyba poc.intervalu nebo teploty nebo kroku", "Prekrocena dolni mez"}},
        {Characteristic::Ni1000, -70, 250, {}},
        {Characteristic::TcR, 0, 1760, {}},
    };
    for (const Case& c : cases) {
        RecordingWorkspace r;
        r.ws.Spline.IntervalCount = 20; // a table from an earlier run must not survive
        approximate(r, c.c, c.start, c.end);
        EXPECT_EQ(r.messages, c.messages) << int(c.c) << " " << double(c.start);
        EXPECT_EQ(r.ws.LinearizationError, !c.messages.empty());
        EXPECT_EQ(r.ws.Spline.IntervalCount, c.messages.empty() ? 20 : 0);
    }
}

TEST(Spline, EverySensorAcceptsItsOwnLimitsAndNoDegreeMore)
{
    struct Limits {
        Characteristic c;
        Extended lower;
        Extended upper;
    };
    const Limits sensors[] = {
        {Characteristic::TcN, -270, 1300},   {Characteristic::TcK, -200, 1370},
        {Characteristic::TcT, -200, 400},    {Characteristic::TcJ, -100, 1200},
        {Characteristic::TcE, -200, 1000},   {Characteristic::TcR, 0, 1760},
        {Characteristic::TcS, 0, 1760},      {Characteristic::TcB, 100, 1820},
        {Characteristic::TcL, -200, 900},    {Characteristic::Pt100, -200, 850},
        {Characteristic::Pt1000, -200, 850}, {Characteristic::Ni100, -70, 250},
        {Characteristic::Ni1000, -70, 250},
    };
    const auto hasMessage = [](const RecordingWorkspace& r, const char* text) {
        return std::find(r.messages.begin(), r.messages.end(), text) != r.messages.end();
    };
    for (const Limits& l : sensors) {
        SCOPED_TRACE(int(l.c));
        RecordingWorkspace exact;
        approximate(exact, l.c, l.lower, l.upper);
        EXPECT_FALSE(hasMessage(exact, "Prekrocena dolni mez"));
        EXPECT_FALSE(hasMessage(exact, "Prekrocena horni mez"));
        EXPECT_EQ(exact.ws.Spline.IntervalCount, 20);

        RecordingWorkspace below;
        approximate(below, l.c, l.lower - 1, l.upper);
        EXPECT_EQ(below.messages, Messages{"Prekrocena dolni mez"});
        EXPECT_EQ(below.ws.Spline.IntervalCount, 0);

        RecordingWorkspace above;
        approximate(above, l.c, l.lower, l.upper + 1);
        EXPECT_EQ(above.messages, Messages{"Prekrocena horni mez"});
        EXPECT_EQ(above.ws.Spline.IntervalCount, 0);
    }
}

TEST(Spline, UnknownCharacteristicDeliversNoTable)
{
    RecordingWorkspace r;
    approximate(r, static_cast<Characteristic>(17), 0, 100);
    EXPECT_TRUE(r.ws.LinearizationError);
    EXPECT_EQ(r.ws.Spline.IntervalCount, 0);
    EXPECT_EQ(r.messages, (Messages{"Dany prubeh neni v programu jeste zadan", SplineError}));
}

TEST(Spline, FallingSignalIsRefused)
{
    RecordingWorkspace r;
    r.points.InverseSlope = -0.16L;
    r.points.InverseOffset = 20;
    approximate(r, Characteristic::LinearFromFile, 0, 100);
    EXPECT_TRUE(r.ws.LinearizationError);
    EXPECT_EQ(
        r.messages,
        (Messages{"Signál čidla v zadaném rozsahu neroste, spline nelze sestavit.", SplineError}));
}

TEST(Spline, TinyCoefficientsUnderflowToZeroWithOneMessage)
{
    // The identity over 0 .. 1e-45: a[i] = i·5e-47 are below the float range;
    // a[0] is an exact zero and the curvature terms are exact zeros too.
    RecordingWorkspace r;
    approximate(r, Characteristic::Identity, 0, 1e-45L);
    EXPECT_FALSE(r.ws.LinearizationError);
    EXPECT_EQ(r.messages, Messages{"Doslo k podteceni"});
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(r.ws.Spline.a[i], 0.0L);
        EXPECT_EQ(r.ws.Spline.b[i], 1.0L);
    }
}

TEST(Spline, TableFileRoundTripsEveryValueAndFeedsTheSplineCharacteristic)
{
    RecordingWorkspace r;
    approximate(r, Characteristic::TcJ, 0, 700);
    ASSERT_FALSE(r.ws.LinearizationError);
    const test::ScratchDir dir;
    const auto path = dir.file("roundtrip.txt");
    ASSERT_TRUE(saveSplineTableFile(path, r.ws.Spline));

    RecordingWorkspace reader;
    ASSERT_TRUE(loadSplineTableFile(path, reader.ws.SplineFileTable));
    const SplineTable& t = reader.ws.SplineFileTable;
    EXPECT_EQ(t.IntervalCount, 20);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(t.u[i], r.ws.Spline.u[i]);
        EXPECT_EQ(t.a[i], r.ws.Spline.a[i]);
        EXPECT_EQ(t.b[i], r.ws.Spline.b[i]);
        EXPECT_EQ(t.c[i], r.ws.Spline.c[i]);
        EXPECT_EQ(t.d[i], r.ws.Spline.d[i]);
    }
    EXPECT_EQ(t.u[20], r.ws.Spline.u[20]);
    const Extended emf = EvaluateCharacteristic(reader.ws, Characteristic::TcJ, 345.6L);
    EXPECT_NEAR(EvaluateCharacteristic(reader.ws, Characteristic::SplineFile, emf), 345.6L, 0.01L);
    EXPECT_TRUE(reader.messages.empty());
    std::filesystem::remove(path);
}

TEST(Spline, MalformedTableFilesAreRefusedAndLeaveTheTableAlone)
{
    const test::ScratchDir dir;
    const auto path = dir.file("bad.txt");
    const char* const contents[] = {
        "",
        "0\n",
        "21\n",
        "1\n0\n1\n2\n3\n4\n",       // one number short
        "1\n0\n1\n2\n3\n4\n5\n6\n", // one number too many
        "1\n0\n1\n2,5\n3\n4\n5\n",  // decimal comma
        "1\n1\n0\n2\n3\n4\n5\n",    // falling knots
        "1\n0\nnan\n2\n3\n4\n5\n",
    };
    for (const char* text : contents) {
        std::ofstream(path, std::ios::binary) << text;
        SplineTable table;
        table.IntervalCount = 3;
        EXPECT_FALSE(loadSplineTableFile(path, table)) << text;
        EXPECT_EQ(table.IntervalCount, 3);
    }
    std::ofstream(path, std::ios::binary) << "1\r\n0\r\n10\r\n1\r\n2\r\n0\r\n0\r\n";
    SplineTable table;
    ASSERT_TRUE(loadSplineTableFile(path, table));
    EXPECT_EQ(EvaluateSpline(table, 4), 9.0L);
    std::filesystem::remove(path);
    EXPECT_FALSE(loadSplineTableFile(path, table));
}

} // namespace
} // namespace vtr8
