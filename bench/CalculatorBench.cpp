// Speed of the engine on the eleven-row data set of the engine tests.
#include <benchmark/benchmark.h>

#include "tests/calc/Detector.h"

namespace {

void Ignore(const wxString&) {}

// A typical detector (all poles below the search interval, a few dozen march
// steps) and one whose poles lie inside it, so the march jumps over them and
// takes tens of thousands of steps.
EngineInput MakeRows(const benchmark::State& state) {
    g_nProgramMode = 0;
    return ElevenRows(state.range(0) ? Detector{2.5L, 5000, 0.2L, 0.005L, 3}
                                     : Detector{2.5L, 5000, 0.02L, 0.03L, 2},
                      false);
}

// What Count does: the seven inputs, then the calculation.
void BM_Calculate(benchmark::State& state) {
    SetErrorReportHandler(Ignore);
    const EngineInput rows = MakeRows(state);
    Calculator calc;
    for (auto _ : state) {
        rows.FeedTo(calc);
        if (!calc.Calculate()) {
            state.SkipWithError("calculation failed");
            break;
        }
        benchmark::DoNotOptimize(calc.m_vecAccuracy.data());
    }
    state.counters["march_steps"] = static_cast<double>(calc.m_nMarchSteps);
    state.counters["pole_case"] = calc.m_nPoleCase;
}
BENCHMARK(BM_Calculate)->ArgName("poles_inside")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The K3 search alone: slope scan, poles, strategy, march.
void BM_FindK3(benchmark::State& state) {
    Calculator calc;
    MakeRows(state).FeedTo(calc);
    PrepareSearch(calc);
    for (auto _ : state) {
        calc.FindK3();
        benchmark::DoNotOptimize(calc.m_k3);
    }
    state.counters["march_steps"] = static_cast<double>(calc.m_nMarchSteps);
}
BENCHMARK(BM_FindK3)->ArgName("poles_inside")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
