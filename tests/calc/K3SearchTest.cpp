#include <algorithm>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "testsupport/Detector.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

class K3Search : public ::testing::Test {
protected:
    ProgramMode m_mode{1};
    ErrorRecorder m_errors;

    static void ExpectOneMessage(const char* text) {
        ASSERT_EQ(ErrorRecorder::Messages().size(), 1u);
        EXPECT_EQ(ErrorRecorder::Messages()[0], wxString(text));
        ErrorRecorder::Messages().clear();
    }
};

class PoleLayout : public K3Search, public ::testing::WithParamInterface<Layout> {};

// In case 2 the root lies above the poles and the march starts below them, so
// finding it takes the jump; in case 4 the root lies past b.
TEST_P(PoleLayout, ReachedByRealInputsAndSearchedToTheDetectorsK3) {
    const Layout& l = GetParam();
    CalculatorProbe calc;
    FromDetector(l.det, l.x).FeedTo(calc);
    ASSERT_TRUE(calc.Calculate());
    EXPECT_EQ(calc.m_nPoleCase, l.poleCase);
    EXPECT_NEAR(calc.GetK3(), static_cast<double>(l.det.k3), 0.0011);
    // At the root every bracket of the equation equals t K1 e^(-K2 t), so the
    // poles lie at K3 - t K1 e^(-K2 t).
    for (int i = 0; i < 3; ++i) {
        const long double t = l.x[i + 1];
        const long double pole = l.det.k3 - t * l.det.k1 * std::exp(-l.det.k2 * t);
        EXPECT_NEAR(calc.m_vecPoles[i], pole, 1e-9L * (1 + std::fabs(pole))) << i;
    }
    const auto poles = std::minmax_element(calc.m_vecPoles.begin(), calc.m_vecPoles.end());
    EXPECT_EQ(calc.m_dPoleMin, *poles.first);
    EXPECT_EQ(calc.m_dPoleMax, *poles.second);
}

INSTANTIATE_TEST_SUITE_P(RealInputs, PoleLayout, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<Layout>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(K3Search, ClassificationBoundariesFirstMatchWinsAndNaNMatchesNothing) {
    const struct {
        double pmin, pmax;
        int32_t poleCase;
    } rows[] = {
        {-1, 0, 0},      // pmin < a = pmax
        {-5, -1, 0},     //
        {0, 250, 1},     // pmin = a < pmax < b
        {-1, 499.9, 1},  //
        {10, 20, 2},     //
        {10, 600, 3},    //
        {501, 900, 4},   //
        {100, 500, 5},   // a < pmin < b = pmax
        {-1, 500, 5},    //
        {500, 600, 5},   // the smallest exactly at b
        {0, 0, 5},       // all at a
        {kNaN, 100, 5},  //
        {100, kNaN, 5},  //
    };
    CalculatorProbe calc;
    for (const auto& r : rows) {
        calc.m_dPoleMin = r.pmin;
        calc.m_dPoleMax = r.pmax;
        calc.ClassifyPoles();
        EXPECT_EQ(calc.m_nPoleCase, r.poleCase) << r.pmin << " " << r.pmax;
    }
}

TEST_F(K3Search, UndefinedPoleMakesTheLayoutUndefined) {
    CalculatorProbe calc;
    calc.m_t1 = 100;
    calc.m_t2 = 200;
    calc.m_t3 = 300;
    calc.m_P1 = -0.5;
    calc.m_P2 = kNaN;
    calc.m_P3 = -0.1;
    calc.FindPoles();
    EXPECT_EQ(calc.m_vecPoles[0], 50);
    EXPECT_TRUE(std::isnan(calc.m_dPoleMin) && std::isnan(calc.m_dPoleMax));
    calc.ClassifyPoles();
    EXPECT_EQ(calc.m_nPoleCase, 5);
}

TEST_F(K3Search, SlopeBoundScansFiveThousandPoints) {
    // Poles -t (1 - R t / Keff) solved for R (dead time 2.5, Keff 500): the
    // steepest scan slope lies between 500 and 500.1, just below a pole, so a
    // scan with one point too many would see it.
    const double x[4] = {40, 100, 200, 300}, poles[3] = {600, 500.1000001, 700};
    std::vector<double> realP{500.0 / x[0]}, readings{x[0] + 2.5};
    for (int i = 1; i < 4; ++i) {
        realP.push_back(static_cast<double>((poles[i - 1] + x[i]) * 500.0L / (x[i] * x[i])));
        readings.push_back(x[i] + 2.5);
    }
    CalculatorProbe calc;
    PointsOnly(realP, readings, x[3]).FeedTo(calc);
    PrepareSearch(calc);

    auto slope = [&](double from, double to) {
        return std::fabs(K3EquationOf(calc, to) - K3EquationOf(calc, from)) / 0.1L;
    };
    long double expected = 0;
    int points = 0;
    for (double v = 0; 500 >= v; v = v + 0.1, ++points)
        expected = std::max(expected, slope(v, v + 0.1));
    ASSERT_EQ(points, 5000);
    expected *= 1.25L;
    EXPECT_NEAR(calc.EstimateSlope(), expected, 1e-9L * expected);
    ASSERT_GT(slope(500.0, 500.1), 2 * expected);
}

TEST_F(K3Search, ZeroSlopeBoundOrEmptyIntervalCannotFindADecision) {
    CalculatorProbe calc;
    // Points 2 and 3 alike make the equation vanish everywhere.
    PointsOnly({5, 2, 1, 1}, {100, 200, 400, 400}, 400).FeedTo(calc);
    calc.m_vecPoles = {7, 8, 9};
    calc.m_k3 = 1.5;
    EXPECT_FALSE(calc.Calculate());
    ExpectOneMessage("Can't find decision");
    EXPECT_EQ(calc.m_vecPoles, (std::vector<double>{7, 8, 9}));
    EXPECT_EQ(calc.m_k3, 1.5);

    CalculatorProbe empty;
    FromDetector(kTypical, kTypicalPoints).FeedTo(empty);
    empty.m_dSearchTo = empty.m_dSearchFrom;
    EXPECT_FALSE(empty.Calculate());
    ExpectOneMessage("Can't find decision");
}

// Runs the eight attempts the way the search does, without its guards, and
// returns the attempt whose strategy reported a root (-1 for none).
int UnguardedAttempt(CalculatorProbe& calc) {
    PrepareSearch(calc);
    const double L = calc.EstimateSlope();
    calc.FindPoles();
    calc.ClassifyPoles();
    const double x1 = std::fabs(calc.K3Equation(0)) / L;
    double tol = 1e-7;
    for (int attempt = 0; attempt < 8; ++attempt, tol *= 10)
        if (calc.m_mapSearch.at(calc.m_nPoleCase)(&calc, x1, 0, L, tol)) return attempt;
    return -1;
}

// Besides an attempt (or -1 for none): the strategy or the step budget ends
// the search before any attempt can stop.
const int kImpossible = -2, kBudget = -3;

// Poles 1e6, 3e6 and 2e6 (dead time 0, Keff 500), the equation without a root
// below them.
EngineInput FarPoles() {
    const double x[4] = {100, 250, 400, 600}, poles[3] = {1e6, 3e6, 2e6};
    std::vector<double> realP{500.0 / x[0]}, readings{x[0]};
    for (int i = 1; i < 4; ++i) {
        realP.push_back(static_cast<double>((poles[i - 1] + x[i]) * 500.0L / (x[i] * x[i])));
        readings.push_back(x[i]);
    }
    return PointsOnly(realP, readings, x[3]);
}

struct Failure {
    const char* name;
    EngineInput in;
    int unguardedStop;  // attempt at which the unguarded search stops
    int poleCase;       // -1: any
};

class SearchFailure : public K3Search, public ::testing::WithParamInterface<Failure> {};

TEST_P(SearchFailure, ReportsK3AndKeepsTheEarlierCoefficients) {
    const Failure& f = GetParam();
    if (f.unguardedStop >= -1) {
        CalculatorProbe probe;
        f.in.FeedTo(probe);
        ASSERT_EQ(UnguardedAttempt(probe), f.unguardedStop);
        // Where it stops is no root.
        if (f.unguardedStop >= 0) {
            EXPECT_GT(std::fabs(K3EquationOf(probe, probe.m_k3)), 1e-4L);
        }
    }
    CalculatorProbe calc;
    FromDetector(kTypical, kTypicalPoints).FeedTo(calc);
    ASSERT_TRUE(calc.Calculate());
    const CalculatorProbe before = calc;
    f.in.FeedTo(calc);
    EXPECT_FALSE(calc.Calculate());
    ExpectOneMessage("Can't find coefficient K3");
    if (f.poleCase >= 0) {
        EXPECT_EQ(calc.m_nPoleCase, f.poleCase);
    }
    EXPECT_EQ(calc.m_nMarchSteps > Calculator::MAX_MARCH_STEPS, f.unguardedStop == kBudget);
    // Steps before the search hold the new values, later ones the old.
    EXPECT_NE(calc.m_t1, before.m_t1);
    EXPECT_NE(calc.m_P1, before.m_P1);
    for (auto k : {&CalculatorProbe::m_k1, &CalculatorProbe::m_k2, &CalculatorProbe::m_k3})
        EXPECT_EQ(calc.*k, before.*k);
    EXPECT_EQ(calc.m_vecCorrectP, before.m_vecCorrectP);
    // The next calculation has a budget of its own.
    FromDetector(kTypical, kTypicalPoints).FeedTo(calc);
    EXPECT_TRUE(calc.Calculate());
}

INSTANTIATE_TEST_SUITE_P(
    Guards, SearchFailure,
    ::testing::Values(
        // Keff 1000, dead time 0: the poles -t (1 - R t / 1000) are exact, the
        // largest at b.
        Failure{"PoleAtTheEnd", PointsOnly({20, 60, 7.5, 3.75}, {50, 100, 200, 400}, 400),
                kImpossible, 5},
        Failure{"NoAttemptStops",
                PointsOnly({5, 1.909, 1.903, 0.829}, {102.5, 252.5, 253.43, 602.5}, 600), -1, -1},
        // Only the tolerance 1 stops, far from the root.
        Failure{"LoosenedToleranceStop",
                PointsOnly({5, 2.852, 2.836, 0.829}, {102.5, 165.5, 166.5, 602.5}, 600), 7, -1},
        // A pole exactly on the scan point 0.5 makes the slope bound infinite;
        // every march step is then 0 and "converges" at a.
        Failure{"InfiniteSlopeBound", PointsOnly({8, 2.5 * 8 / 2.25, 5, 3}, {1, 1.5, 2, 4}, 4), 0,
                2},
        // All poles far above b and no root below them: the march crawls
        // towards the smallest pole and the walk past b goes on from where it
        // stops; both end on the budget.
        Failure{"RegionFarPastTheEnd", FarPoles(), kBudget, 4}),
    [](const ::testing::TestParamInfo<Failure>& info) { return std::string(info.param.name); });

// The root the layout's strategy looks for, found independently: the first
// sign change where it marches (between the poles the equation is undefined).
long double StrategyRoot(const Fit& fit, int poleCase) {
    const long double below = fit.FirstRoot(0, fit.PoleMin());
    const long double above = fit.FirstRoot(fit.PoleMax(), 500);
    return poleCase == 1 || (poleCase == 2 && std::isnan(below)) ? above : below;
}

wxString Format3(long double v) { return wxString::Format("%.3f", static_cast<double>(v)); }

struct FallbackCase {
    const char* name;
    const Layout* pLayout;  // none: the budget case below
    int poleCase;

    // Built in the test, where the program mode is set.
    EngineInput Input() const {
        if (pLayout) return FromDetector(pLayout->det, pLayout->x);
        // Two nearly equal calibration points: the march crawls until its
        // budget is spent; the root sits just above the largest pole.
        return PointsOnly({5, 2.234, 2.234, 1.294}, {102.5, 242.5, 242.501, 416.5}, 414);
    }
};

std::vector<FallbackCase> FallbackCases() {
    std::vector<FallbackCase> cases;
    for (const Layout& l : kFallbackLayouts) cases.push_back({l.name, &l, l.poleCase});
    cases.push_back({"BudgetSpent", nullptr, 2});
    return cases;
}

class Fallback : public K3Search, public ::testing::WithParamInterface<FallbackCase> {};

TEST_P(Fallback, FindsTheRootTheMarchMisses) {
    const FallbackCase& c = GetParam();
    const EngineInput in = c.Input();
    const bool bBudget = !c.pLayout;
    if (!bBudget) {
        // The march alone stops nowhere, or on a point that is no root.
        CalculatorProbe probe;
        in.FeedTo(probe);
        if (UnguardedAttempt(probe) >= 0) {
            EXPECT_GT(std::fabs(K3EquationOf(probe, probe.m_k3)), 1e-4L);
        }
    }
    const long double root = StrategyRoot(CalibrateInput(1, in), c.poleCase);
    ASSERT_TRUE(std::isfinite(root));

    CalculatorProbe calc;
    in.FeedTo(calc);
    PrepareSearch(calc);
    calc.FindK3();
    EXPECT_EQ(calc.m_nPoleCase, c.poleCase);
    EXPECT_EQ(calc.m_nMarchSteps > Calculator::MAX_MARCH_STEPS, bBudget);
    if (bBudget) {
        // Inside the scan the walk costs no steps, so a spent budget still finds it.
        EXPECT_EQ(calc.m_nMarchSteps, Calculator::MAX_MARCH_STEPS + 1);
    }
    EXPECT_NEAR(calc.m_k3, root, 1e-12L * (1 + root));
    if (c.poleCase == 1) {
        // Just above the largest pole f is steep and the bound estimated on
        // the scan grid is too small: the first step lands past the root.
        const double start = calc.m_dPoleMax + calc.m_dEps;
        EXPECT_GT(start + std::fabs(calc.K3Equation(start)) / calc.m_dSlopeBound, root);
    }

    CalculatorProbe counted;
    in.FeedTo(counted);
    ASSERT_TRUE(counted.Calculate());
    EXPECT_TRUE(ErrorRecorder::Messages().empty());
    EXPECT_EQ(wxString::Format("%.3f", counted.GetK3()), Format3(root));
}

INSTANTIATE_TEST_SUITE_P(Layouts, Fallback, ::testing::ValuesIn(FallbackCases()),
                         [](const ::testing::TestParamInfo<FallbackCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(K3Search, ListsTheOtherRootWithTheCoefficientsItImplies) {
    const EngineInput in = FromDetector(kTwoRoots.det, kTwoRoots.x);
    const Fit fit = CalibrateInput(1, in);
    const long double below = fit.FirstRoot(0, fit.PoleMin());
    const long double above = fit.FirstRoot(fit.PoleMax(), 500);
    ASSERT_TRUE(std::isfinite(below) && std::isfinite(above));

    CalculatorProbe calc;
    in.FeedTo(calc);
    ASSERT_TRUE(calc.Calculate());
    EXPECT_EQ(calc.m_nPoleCase, kTwoRoots.poleCase);
    EXPECT_EQ(wxString::Format("%.3f", calc.GetK3()), Format3(below));
    const std::vector<Calculator::Root> roots = calc.ListOtherRoots();
    ASSERT_EQ(roots.size(), 1u);
    EXPECT_NEAR(roots[0].k3, above, 1e-12L * above);
    const long double k2 = fit.K2For(above), k1 = fit.K1For(k2, above);
    EXPECT_NEAR(roots[0].k2, k2, 1e-9L * std::fabs(k2));
    EXPECT_NEAR(roots[0].k1, k1, 1e-9L * std::fabs(k1));
}

// A root a few millionths above the largest pole: the walk over the whole
// interval stepped across it together with the pole and missed it.
TEST_F(K3Search, ListsTheRootRightBesideAPole) {
    const EngineInput in =
        PointsOnly({25, 4.7257586755811012, 1.4039038541542956, 0.97760538003039787},
                   {22.5, 133.5, 387.5, 542.5}, 540);
    const Fit fit = CalibrateInput(1, in);
    const long double beside = fit.FirstRoot(fit.PoleMax(), 500);
    ASSERT_GT(beside - fit.PoleMax(), 0);
    ASSERT_LT(beside - fit.PoleMax(), 1e-5L);

    Calculator calc;
    in.FeedTo(calc);
    ASSERT_TRUE(calc.Calculate());
    EXPECT_LT(calc.GetK3(), fit.PoleMin());
    const std::vector<Calculator::Root> roots = calc.ListOtherRoots();
    ASSERT_EQ(roots.size(), 1u);
    EXPECT_NEAR(roots[0].k3, beside, 1e-7L);
}

}  // namespace
