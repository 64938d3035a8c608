// Every sensor characteristic against published reference tables typed in
// from the standard tables. A mistyped coefficient in any sub-range moves the
// curve far more than these tolerances.
#include "recording_workspace.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vtr8 {
namespace {

struct TablePoint {
    Characteristic type;
    Extended celsius;
    Extended millivolts;
};

// Thermocouple EMF in mV at a reference junction of 0 °C, 0.001 mV resolution
// (the 1990-scale tables).
// clang-format off
const TablePoint ThermocoupleTable[] = {
    {Characteristic::TcK, -270, -6.458}, {Characteristic::TcK, -200, -5.891},
    {Characteristic::TcK, -100, -3.554}, {Characteristic::TcK, -50, -1.889},
    {Characteristic::TcK, 100, 4.096},   {Characteristic::TcK, 200, 8.138},
    {Characteristic::TcK, 300, 12.209},  {Characteristic::TcK, 400, 16.397},
    {Characteristic::TcK, 500, 20.644},  {Characteristic::TcK, 600, 24.905},
    {Characteristic::TcK, 700, 29.129},  {Characteristic::TcK, 800, 33.275},
    {Characteristic::TcK, 900, 37.326},  {Characteristic::TcK, 1000, 41.276},
    {Characteristic::TcK, 1100, 45.119}, {Characteristic::TcK, 1200, 48.838},
    {Characteristic::TcK, 1300, 52.410}, {Characteristic::TcK, 1370, 54.819},

    {Characteristic::TcJ, -210, -8.095}, {Characteristic::TcJ, -200, -7.890},
    {Characteristic::TcJ, -100, -4.633}, {Characteristic::TcJ, 100, 5.269},
    {Characteristic::TcJ, 200, 10.779},  {Characteristic::TcJ, 300, 16.327},
    {Characteristic::TcJ, 400, 21.848},  {Characteristic::TcJ, 500, 27.393},
    {Characteristic::TcJ, 600, 33.102},  {Characteristic::TcJ, 700, 39.132},
    {Characteristic::TcJ, 760, 42.919},  {Characteristic::TcJ, 800, 45.494},
    {Characteristic::TcJ, 900, 51.877},  {Characteristic::TcJ, 1000, 57.953},
    {Characteristic::TcJ, 1100, 63.792}, {Characteristic::TcJ, 1200, 69.553},

    {Characteristic::TcT, -270, -6.258}, {Characteristic::TcT, -200, -5.603},
    {Characteristic::TcT, -100, -3.379}, {Characteristic::TcT, 100, 4.279},
    {Characteristic::TcT, 200, 9.288},   {Characteristic::TcT, 300, 14.862},
    {Characteristic::TcT, 400, 20.872},

    {Characteristic::TcE, -270, -9.835}, {Characteristic::TcE, -200, -8.825},
    {Characteristic::TcE, -100, -5.237}, {Characteristic::TcE, 100, 6.319},
    {Characteristic::TcE, 200, 13.421},  {Characteristic::TcE, 300, 21.036},
    {Characteristic::TcE, 400, 28.946},  {Characteristic::TcE, 500, 36.999},
    {Characteristic::TcE, 600, 45.093},  {Characteristic::TcE, 700, 53.112},
    {Characteristic::TcE, 800, 61.017},  {Characteristic::TcE, 900, 68.787},
    {Characteristic::TcE, 1000, 76.373},

    {Characteristic::TcN, -270, -4.345}, {Characteristic::TcN, -200, -3.990},
    {Characteristic::TcN, -100, -2.407}, {Characteristic::TcN, 100, 2.774},
    {Characteristic::TcN, 200, 5.913},   {Characteristic::TcN, 300, 9.341},
    {Characteristic::TcN, 400, 12.974},  {Characteristic::TcN, 500, 16.748},
    {Characteristic::TcN, 600, 20.613},  {Characteristic::TcN, 700, 24.527},
    {Characteristic::TcN, 800, 28.455},  {Characteristic::TcN, 900, 32.371},
    {Characteristic::TcN, 1000, 36.256}, {Characteristic::TcN, 1100, 40.087},
    {Characteristic::TcN, 1200, 43.846}, {Characteristic::TcN, 1300, 47.513},

    {Characteristic::TcR, -50, -0.226},  {Characteristic::TcR, 100, 0.647},
    {Characteristic::TcR, 200, 1.469},   {Characteristic::TcR, 300, 2.401},
    {Characteristic::TcR, 400, 3.408},   {Characteristic::TcR, 500, 4.471},
    {Characteristic::TcR, 600, 5.583},   {Characteristic::TcR, 700, 6.743},
    {Characteristic::TcR, 800, 7.950},   {Characteristic::TcR, 900, 9.205},
    {Characteristic::TcR, 1000, 10.506}, {Characteristic::TcR, 1100, 11.850},
    {Characteristic::TcR, 1200, 13.228}, {Characteristic::TcR, 1300, 14.629},
    {Characteristic::TcR, 1400, 16.040}, {Characteristic::TcR, 1500, 17.451},
    {Characteristic::TcR, 1600, 18.849}, {Characteristic::TcR, 1700, 20.222},
    {Characteristic::TcR, 1760, 21.003},

    {Characteristic::TcS, -50, -0.236},  {Characteristic::TcS, 100, 0.646},
    {Characteristic::TcS, 200, 1.441},   {Characteristic::TcS, 300, 2.323},
    {Characteristic::TcS, 400, 3.259},   {Characteristic::TcS, 500, 4.233},
    {Characteristic::TcS, 600, 5.239},   {Characteristic::TcS, 700, 6.275},
    {Characteristic::TcS, 800, 7.345},   {Characteristic::TcS, 900, 8.449},
    {Characteristic::TcS, 1000, 9.587},  {Characteristic::TcS, 1100, 10.757},
    {Characteristic::TcS, 1200, 11.951}, {Characteristic::TcS, 1300, 13.159},
    {Characteristic::TcS, 1400, 14.373}, {Characteristic::TcS, 1500, 15.582},
    {Characteristic::TcS, 1600, 16.777}, {Characteristic::TcS, 1700, 17.947},
    {Characteristic::TcS, 1760, 18.612},

    {Characteristic::TcB, 100, 0.033},   {Characteristic::TcB, 200, 0.178},
    {Characteristic::TcB, 300, 0.431},   {Characteristic::TcB, 400, 0.787},
    {Characteristic::TcB, 500, 1.242},   {Characteristic::TcB, 600, 1.792},
    {Characteristic::TcB, 700, 2.431},   {Characteristic::TcB, 800, 3.154},
    {Characteristic::TcB, 900, 3.957},   {Characteristic::TcB, 1000, 4.834},
    {Characteristic::TcB, 1100, 5.780},  {Characteristic::TcB, 1200, 6.786},
    {Characteristic::TcB, 1300, 7.848},  {Characteristic::TcB, 1400, 8.956},
    {Characteristic::TcB, 1500, 10.099}, {Characteristic::TcB, 1600, 11.263},
    {Characteristic::TcB, 1700, 12.433}, {Characteristic::TcB, 1800, 13.591},
    {Characteristic::TcB, 1820, 13.820},

    // Chromel-copel type L, 0.001 mV resolution.
    {Characteristic::TcL, -200, -9.488}, {Characteristic::TcL, -100, -5.641},
    {Characteristic::TcL, 100, 6.862},   {Characteristic::TcL, 200, 14.560},
    {Characteristic::TcL, 300, 22.843},  {Characteristic::TcL, 400, 31.492},
    {Characteristic::TcL, 500, 40.299},  {Characteristic::TcL, 600, 49.108},
    {Characteristic::TcL, 700, 57.859},  {Characteristic::TcL, 800, 66.466},
};
// clang-format on

// Allowed difference in °C: half a table unit converted through the local
// sensitivity, plus the difference between the 1968 temperature scale of the
// reference functions and the 1990 scale of the tables (about 0.1 °C below
// 900 °C, growing to about 0.6 °C at 1800 °C). Type L's coefficients come from
// an older edition of its table than the one typed in: 0.8 °C.
Extended allowedCelsius(const TablePoint& p, Extended sensitivityMvPerC)
{
    const Extended rounding = 0.0005L / sensitivityMvPerC;
    if (p.type == Characteristic::TcL)
        return 0.8L + rounding;
    const Extended scale = p.celsius <= 900 ? 0.2L : 0.2L + 0.5L * (p.celsius - 900) / 900;
    return scale + rounding;
}

TEST(ReferenceTables, ThermocoupleEmfMatchesPublishedTables)
{
    testing::RecordingWorkspace r;
    for (const TablePoint& p : ThermocoupleTable) {
        const Extended mv = EvaluateCharacteristic(r.ws, p.type, p.celsius) * 1000;
        const Extended sensitivity = (EvaluateCharacteristic(r.ws, p.type, p.celsius + 0.5L) -
                                      EvaluateCharacteristic(r.ws, p.type, p.celsius - 0.5L)) *
                                     1000;
        ASSERT_GT(sensitivity, 0) << "type " << int(p.type) << " at " << double(p.celsius);
        const Extended errorCelsius = (mv - p.millivolts) / sensitivity;
        EXPECT_LE(std::fabs(errorCelsius), allowedCelsius(p, sensitivity))
            << "type " << int(p.type) << " at " << double(p.celsius) << " °C: " << double(mv)
            << " mV, table " << double(p.millivolts) << " mV";
    }
    EXPECT_TRUE(r.messages.empty());
}

struct ResistancePoint {
    Characteristic type;
    Extended celsius;
    Extended ohms;
};

// Platinum: the current international table (1990 scale, 0.01 Ω). The
// characteristic keeps the 1983 constants; the editions part by up to 0.22 Ω
// at 850 °C, hence 0.006 Ω + 0.0003 Ω/°C·|t| (times 10 for Pt1000).
const ResistancePoint PlatinumTable[] = {
    {Characteristic::Pt100, -200, 18.52}, {Characteristic::Pt100, -100, 60.26},
    {Characteristic::Pt100, -50, 80.31},  {Characteristic::Pt100, 0, 100.00},
    {Characteristic::Pt100, 50, 119.40},  {Characteristic::Pt100, 100, 138.51},
    {Characteristic::Pt100, 200, 175.86}, {Characteristic::Pt100, 300, 212.05},
    {Characteristic::Pt100, 400, 247.09}, {Characteristic::Pt100, 500, 280.98},
    {Characteristic::Pt100, 600, 313.71}, {Characteristic::Pt100, 700, 345.28},
    {Characteristic::Pt100, 800, 375.70}, {Characteristic::Pt100, 850, 390.48},
};

// Nickel: the German table (0.1 Ω) is the formula itself, so only its
// rounding is allowed: 0.06 Ω (0.6 Ω for Ni1000).
const ResistancePoint NickelTable[] = {
    {Characteristic::Ni100, -60, 69.5},  {Characteristic::Ni100, -50, 74.3},
    {Characteristic::Ni100, 0, 100.0},   {Characteristic::Ni100, 50, 129.1},
    {Characteristic::Ni100, 100, 161.8}, {Characteristic::Ni100, 200, 240.7},
    {Characteristic::Ni100, 250, 289.2},
};

TEST(ReferenceTables, ResistanceThermometersMatchPublishedTables)
{
    testing::RecordingWorkspace r;
    for (const ResistancePoint& p : PlatinumTable) {
        const Extended tolerance = 0.006L + 0.0003L * std::fabs(p.celsius);
        EXPECT_NEAR(EvaluateCharacteristic(r.ws, Characteristic::Pt100, p.celsius), p.ohms,
                    tolerance)
            << "Pt100 at " << double(p.celsius);
        EXPECT_NEAR(EvaluateCharacteristic(r.ws, Characteristic::Pt1000, p.celsius), 10 * p.ohms,
                    10 * tolerance)
            << "Pt1000 at " << double(p.celsius);
    }
    for (const ResistancePoint& p : NickelTable) {
        EXPECT_NEAR(EvaluateCharacteristic(r.ws, Characteristic::Ni100, p.celsius), p.ohms, 0.06L)
            << "Ni100 at " << double(p.celsius);
        EXPECT_NEAR(EvaluateCharacteristic(r.ws, Characteristic::Ni1000, p.celsius), 10 * p.ohms,
                    0.6L)
            << "Ni1000 at " << double(p.celsius);
    }
    EXPECT_TRUE(r.messages.empty());
}

} // namespace
} // namespace vtr8
