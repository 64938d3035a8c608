// Times the computations a configuration write runs on the UI thread: the
// window must not freeze for them.
#include "linearization/linearization.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vtr8;

// Degree 4 over 101 samples, as the writer asks for a sensor range.
void BM_PolynomialFitPt100(benchmark::State& state)
{
    LinearizationPoints points;
    LinearizationWorkspace ws(points);
    ws.Source = FitSource::FromCharacteristic;
    ws.CharacteristicIndex = Characteristic::Pt100;
    ws.RangeStart = 0;
    ws.RangeEnd = 100;
    ws.Step = 1;
    ws.Degree = 4;
    for (auto _ : state) {
        PolynomialFit(ws);
        benchmark::DoNotOptimize(ws.FitCoefficients[4][0]);
    }
}
BENCHMARK(BM_PolynomialFitPt100);

void BM_PolynomialFitTypeK(benchmark::State& state)
{
    LinearizationPoints points;
    LinearizationWorkspace ws(points);
    ws.Source = FitSource::FromCharacteristic;
    ws.CharacteristicIndex = Characteristic::TcK;
    ws.RangeStart = 0;
    ws.RangeEnd = 1370;
    ws.Step = 13.7L;
    ws.Degree = 4;
    for (auto _ : state) {
        PolynomialFit(ws);
        benchmark::DoNotOptimize(ws.FitCoefficients[4][0]);
    }
}
BENCHMARK(BM_PolynomialFitTypeK);

void BM_SplineApproximationTypeK(benchmark::State& state)
{
    LinearizationPoints points;
    LinearizationWorkspace ws(points);
    ws.CharacteristicIndex = Characteristic::TcK;
    ws.RangeStart = 0;
    ws.RangeEnd = 1370;
    for (auto _ : state) {
        SplineApproximation(ws);
        benchmark::DoNotOptimize(ws.Spline.b[0]);
    }
}
BENCHMARK(BM_SplineApproximationTypeK);

void BM_SplineApproximationPt100(benchmark::State& state)
{
    LinearizationPoints points;
    LinearizationWorkspace ws(points);
    ws.CharacteristicIndex = Characteristic::Pt100;
    ws.RangeStart = -200;
    ws.RangeEnd = 850;
    for (auto _ : state) {
        SplineApproximation(ws);
        benchmark::DoNotOptimize(ws.Spline.b[0]);
    }
}
BENCHMARK(BM_SplineApproximationPt100);

void BM_InverseTypeK(benchmark::State& state)
{
    LinearizationPoints points;
    LinearizationWorkspace ws(points);
    const Extended emf = EvaluateCharacteristic(ws, Characteristic::TcK, 1000);
    for (auto _ : state)
        benchmark::DoNotOptimize(vypocet_inverz(ws, Characteristic::TcK, emf));
}
BENCHMARK(BM_InverseTypeK);

} // namespace
