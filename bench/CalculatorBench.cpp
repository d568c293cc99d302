// Speed of the engine on the data sets of the engine tests.
#include <benchmark/benchmark.h>

#include "calc/CalibrationBudget.h"
#include "calc/CalibrationFit.h"
#include "testsupport/Detector.h"

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
void RunCount(benchmark::State& state, const EngineInput& in, bool bExpectSuccess) {
    SetErrorReportHandler(Ignore);
    CalculatorProbe calc;
    for (auto _ : state) {
        in.FeedTo(calc);
        if (calc.Calculate() != bExpectSuccess) {
            state.SkipWithError("unexpected outcome");
            break;
        }
        benchmark::DoNotOptimize(calc.m_vecAccuracy.data());
    }
    state.counters["march_steps"] = static_cast<double>(calc.m_nMarchSteps);
    state.counters["pole_case"] = calc.m_nPoleCase;
}

void BM_Calculate(benchmark::State& state) { RunCount(state, MakeRows(state), true); }
BENCHMARK(BM_Calculate)->ArgName("poles_inside")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The K3 search alone: slope scan, poles, strategy, march.
void BM_FindK3(benchmark::State& state) {
    CalculatorProbe calc;
    MakeRows(state).FeedTo(calc);
    PrepareSearch(calc);
    for (auto _ : state) {
        calc.FindK3();
        benchmark::DoNotOptimize(calc.m_k3);
    }
    state.counters["march_steps"] = static_cast<double>(calc.m_nMarchSteps);
}
BENCHMARK(BM_FindK3)->ArgName("poles_inside")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The slowest inputs there are: every march step the budget allows, then the
// walk. With all poles far above b and no root, the Count fails; with two
// nearly equal points the walk finds the root just above a pole.
void BM_CalculateBudget(benchmark::State& state) {
    g_nProgramMode = 1;
    if (state.range(0) == 0) {
        const double x[4] = {100, 250, 400, 600}, poles[3] = {1e6, 3e6, 2e6};
        std::vector<double> realP{500.0 / x[0]}, readings{x[0]};
        for (int i = 1; i < 4; ++i) {
            realP.push_back(static_cast<double>((poles[i - 1] + x[i]) * 500.0L / (x[i] * x[i])));
            readings.push_back(x[i]);
        }
        RunCount(state, PointsOnly(realP, readings, x[3]), false);
    } else {
        RunCount(state, PointsOnly({5, 2.234, 2.234, 1.294}, {102.5, 242.5, 242.501, 416.5}, 414),
                 true);
    }
}
BENCHMARK(BM_CalculateBudget)->ArgName("root_found")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A Count whose march stops on no root, so the bracketing finds K3.
void BM_CalculateFallback(benchmark::State& state) {
    g_nProgramMode = 1;
    const Layout& l = kFallbackLayouts[state.range(0)];
    state.SetLabel(l.name);
    RunCount(state, FromDetector(l.det, l.x), true);
}
BENCHMARK(BM_CalculateFallback)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// The other roots after a Count of a two-root layout.
void BM_ListOtherRoots(benchmark::State& state) {
    SetErrorReportHandler(Ignore);
    g_nProgramMode = 1;
    CalculatorProbe calc;
    FromDetector(kTwoRoots.det, kTwoRoots.x).FeedTo(calc);
    if (!calc.Calculate()) state.SkipWithError("calculation failed");
    for (auto _ : state) benchmark::DoNotOptimize(calc.ListOtherRoots());
}
BENCHMARK(BM_ListOtherRoots)->Unit(benchmark::kMicrosecond);

// The fit over eleven rows, every start included: the Count's preparation,
// its roots, the Levenberg-Marquardt runs, the descent on the boxes' grid and
// the uncertainties. Readings with 0.1 % noise, so that the fit has work.
void BM_Fit(benchmark::State& state) {
    MakeRows(state);
    EngineInput in = MakeRows(state);
    for (size_t i = 0; i < in.fl.size(); ++i) in.fl[i] *= 1 + 0.001 * ((i % 3) - 1.0);
    Calculator calc;
    in.FeedTo(calc);
    CalibrationFit fit;
    for (auto _ : state) {
        if (!fit.Run(calc)) {
            state.SkipWithError("fit failed");
            break;
        }
        benchmark::DoNotOptimize(fit.GetSet().data());
    }
    state.counters["starts"] = fit.GetStartCount();
}
BENCHMARK(BM_Fit)->ArgName("poles_inside")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The budgets of that fit as the plot needs them after every change of the
// panel: the deviation's, each row's and each value's, then the corrected
// value's at every sample of the band.
void BM_BudgetAndBand(benchmark::State& state) {
    EngineInput in = MakeRows(state);
    for (size_t i = 0; i < in.fl.size(); ++i) in.fl[i] *= 1 + 0.001 * ((i % 3) - 1.0);
    Calculator calc;
    in.FeedTo(calc);
    CalibrationFit fit;
    if (!fit.Run(calc)) state.SkipWithError("fit failed");
    const double lo = std::log(in.fl.front()), hi = std::log(in.fl.back());
    for (auto _ : state) {
        CalibrationBudget budget;
        if (!budget.Evaluate(fit, 1.0)) {
            state.SkipWithError("no budget");
            break;
        }
        double dSum = 0;
        for (int i = 0; i < 240; ++i)
            dSum += budget.CorrectedValueAt(std::exp(lo + (hi - lo) * i / 239), g_nProgramMode)
                        .GetExpanded();
        benchmark::DoNotOptimize(dSum);
    }
}
BENCHMARK(BM_BudgetAndBand)->ArgName("poles_inside")->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
