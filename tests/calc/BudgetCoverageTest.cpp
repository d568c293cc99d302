// Honest budgets: detectors of this test's own population, each calibrated
// against a reference whose scale is off by an error drawn once per detector,
// read with noise and typed as an operator types them. At each row the
// corrected value's U must hold the true value, and the deviation's U the
// deviation's departure from its noise-free value against the true
// reference, about 95 % of the time.
#include <cmath>
#include <cstdio>
#include <random>

#include <gtest/gtest.h>

#include "calc/CalibrationBudget.h"
#include "testsupport/Detector.h"

namespace {

struct Coverage {
    int nDetectors = 0, nFitted = 0, nRows = 0;
    int nValueHeld = 0, nDeviationHeld = 0;
    double Value() const { return static_cast<double>(nValueHeld) / nRows; }
    double Deviation() const { return static_cast<double>(nDeviationHeld) / nRows; }
};

// Both modes; dead time 0.5-8 us; Keff over three decades; K1 up to 0.8; K2
// log-uniform over 0.002-0.2 per us; K3 up to 40 us; 8 to 11 rows spread
// evenly in log period over 1.5-2.5 decades; each reading with normal noise
// of 0 to 0.2 %, typed with two decimals of its own unit; the references
// typed with four significant digits after the scale error.
Coverage Survey(double dReferencePercent, int nDetectors, unsigned nSeed) {
    std::mt19937_64 rng(nSeed);
    auto uniform = [&](double a, double b) { return std::uniform_real_distribution<>(a, b)(rng); };
    std::normal_distribution<> normal;
    auto typed = [](const char* pszFormat, long double v) {
        return std::strtod(wxString::Format(pszFormat, static_cast<double>(v)).utf8_str(), nullptr);
    };
    Coverage c;
    for (; c.nDetectors < nDetectors; ++c.nDetectors) {
        const int mode = c.nDetectors % 2;
        const ProgramMode programMode(mode);
        const Detector det{uniform(0.5, 8), std::pow(10, uniform(3, 6)), uniform(0, 0.8),
                           std::pow(10, uniform(-2.7, -0.7)), uniform(0, 40)};
        const int nRows = 8 + static_cast<int>(uniform(0, 4));
        const double xMin = uniform(15, 150), decades = uniform(1.5, 2.5);
        const double noise = uniform(0, 0.002);
        const double scale = 1 + dReferencePercent / 100 * normal(rng);

        EngineInput in;
        std::vector<long double> vecX, vecTruth;
        for (int r = 0; r < nRows; ++r) {
            const long double x = xMin * std::pow(10.0L, decades * r / (nRows - 1));
            const long double reading = ToPeriod(mode, x + det.dt);
            vecX.push_back(x);
            vecTruth.push_back(det.P(x));
            in.realP.push_back(typed("%.4g", det.P(x) * scale));
            in.fl.push_back(typed("%.2f", reading * (1 + noise * normal(rng))));
            in.fr.push_back(typed("%.2f", reading * (1 + noise * normal(rng))));
        }
        for (int i : {0, nRows / 3, 2 * nRows / 3, nRows - 1}) {
            in.realPforCalc.push_back(in.realP[i]);
            in.flForCalc.push_back(in.fl[i]);
            in.frForCalc.push_back(in.fr[i]);
        }
        in.t = static_cast<double>(vecX.back());
        ErrorRecorder recorder;
        Calculator calc;
        in.FeedTo(calc);
        CalibrationFit fit;
        CalibrationBudget budget;
        if (!fit.Run(calc) || !budget.Evaluate(fit, dReferencePercent)) continue;
        ++c.nFitted;

        // The set's line by the tests' own model, with its own dead time.
        const CalibrationFit::Values& v = fit.GetSet();
        const Detector set{v[0], v[1], v[2], v[3], v[4]};
        auto pSet = [&](long double dPeriod) { return set.P(dPeriod - set.dt); };
        const double dDeviationU = budget.GetDeviation().GetExpanded();
        for (int r = 0; r < nRows; ++r) {
            const long double truePeriod = vecX[r] + det.dt;
            const long double meanPeriod = ToPeriod(mode, (in.fl[r] + in.fr[r]) / 2.0L);
            ++c.nRows;
            // The corrected value at the row's noise-free reading.
            const long double p0 = pSet(truePeriod);
            const long double dValue = std::fabs(p0 - vecTruth[r]) / p0 * 100;
            if (dValue <= budget.GetRowBudgets()[r].GetExpanded()) ++c.nValueHeld;
            // The deviation as measured against the typed reference, and as
            // it would be without noise against the true one.
            const long double d = (pSet(meanPeriod) - in.realP[r]) / in.realP[r] * 100;
            const long double d0 = (p0 - vecTruth[r]) / vecTruth[r] * 100;
            if (std::fabs(d - d0) <= dDeviationU) ++c.nDeviationHeld;
        }
    }
    return c;
}

class BudgetCoverage : public ::testing::TestWithParam<double> {};

TEST_P(BudgetCoverage, HoldsTheTruthAtAboutNinetyFivePercentOfRows) {
    const double dReferencePercent = GetParam();
    const Coverage c = Survey(dReferencePercent, 2000, 20261211);
    std::printf(
        "u_ref %.1f %%: %d of %d detectors fitted, %d rows; corrected value held %.4f, "
        "deviation held %.4f\n",
        dReferencePercent, c.nFitted, c.nDetectors, c.nRows, c.Value(), c.Deviation());
    EXPECT_GE(c.nFitted, c.nDetectors * 95 / 100);
    const double dUpper = dReferencePercent > 0 ? 0.97 : 1.0;
    for (double rate : {c.Value(), c.Deviation()}) {
        EXPECT_GE(rate, 0.92);
        EXPECT_LE(rate, dUpper);
    }
}

INSTANTIATE_TEST_SUITE_P(Reference, BudgetCoverage, ::testing::Values(1.0, 0.0),
                         [](const ::testing::TestParamInfo<double>& info) {
                             return info.param > 0 ? "OnePercent" : "None";
                         });

}  // namespace
