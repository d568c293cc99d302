#include <cmath>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/Globals.h"
#include "calc/Calculator.h"
#include "calc/ErrorReport.h"

namespace {

// Eleven rows as an operator types them: frequencies to 0.01 Hz and reference
// values to three decimals, from a detector with dead time 2.5 us, Keff 5000
// and the given K1 to K3.
struct Rows {
    std::vector<double> realP, fl, fr;
    std::vector<double> realPforCalc, flForCalc, frForCalc;
    double t = 600;

    Rows(double k1, double k2, double k3) {
        const double periods[11] = {100, 130, 160, 200, 250, 300, 350, 400, 450, 500, 600};
        for (double x : periods) {
            const double p = (5000 / x) * (1 - k1 * std::exp(-k2 * x) + k3 / x);
            const double f = 1000000 / (x + 2.5);
            realP.push_back(std::round(p * 1000) / 1000);
            fl.push_back(std::round((f - 0.4) * 100) / 100);
            fr.push_back(std::round((f + 0.4) * 100) / 100);
        }
        for (int i : {0, 3, 7, 10}) {
            realPforCalc.push_back(realP[i]);
            flForCalc.push_back(fl[i]);
            frForCalc.push_back(fr[i]);
        }
    }

    void FeedTo(Calculator& calc) const {
        calc.SetRealPforCalc(realPforCalc);
        calc.SetT(t);
        calc.SetFlForCalc(flForCalc);
        calc.SetFrForCalc(frForCalc);
        calc.SetRealP(realP);
        calc.SetFl(fl);
        calc.SetFr(fr);
    }
};

void Ignore(const wxString&) {}

// A typical set (all poles below the search interval, a few dozen march
// steps) and one whose poles lie inside it, so the march jumps over them and
// takes some ten thousand steps.
Rows MakeRows(const benchmark::State& state) {
    return state.range(0) == 0 ? Rows(0.02, 0.03, 2) : Rows(0.2, 0.005, 3);
}

// What Count does: the seven inputs, then the calculation.
void BM_Calculate(benchmark::State& state) {
    g_nProgramMode = 0;
    SetErrorReportHandler(Ignore);
    const Rows rows = MakeRows(state);
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
}
BENCHMARK(BM_Calculate)->ArgName("poles_inside")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The K3 search alone: slope scan, poles, strategy, march.
void BM_FindK3(benchmark::State& state) {
    g_nProgramMode = 0;
    const Rows rows = MakeRows(state);
    Calculator calc;
    rows.FeedTo(calc);
    if (!calc.Calculate()) {
        state.SkipWithError("calculation failed");
        return;
    }
    for (auto _ : state) {
        calc.FindK3();
        benchmark::DoNotOptimize(calc.m_k3);
    }
    state.counters["march_steps"] = static_cast<double>(calc.m_nMarchSteps);
    state.counters["pole_case"] = calc.m_nPoleCase;
}
BENCHMARK(BM_FindK3)->ArgName("poles_inside")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
