#include <algorithm>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "tests/calc/Detector.h"

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
    Calculator calc;
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
    Calculator calc;
    for (const auto& r : rows) {
        calc.m_dPoleMin = r.pmin;
        calc.m_dPoleMax = r.pmax;
        calc.ClassifyPoles();
        EXPECT_EQ(calc.m_nPoleCase, r.poleCase) << r.pmin << " " << r.pmax;
    }
}

TEST_F(K3Search, UndefinedPoleMakesTheLayoutUndefined) {
    Calculator calc;
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
    Calculator calc;
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
    Calculator calc;
    // Points 2 and 3 alike make the equation vanish everywhere.
    PointsOnly({5, 2, 1, 1}, {100, 200, 400, 400}, 400).FeedTo(calc);
    calc.m_vecPoles = {7, 8, 9};
    calc.m_k3 = 1.5;
    EXPECT_FALSE(calc.Calculate());
    ExpectOneMessage("Can't find decision");
    EXPECT_EQ(calc.m_vecPoles, (std::vector<double>{7, 8, 9}));
    EXPECT_EQ(calc.m_k3, 1.5);

    Calculator empty;
    FromDetector(kTypical, kTypicalPoints).FeedTo(empty);
    empty.m_dSearchTo = empty.m_dSearchFrom;
    EXPECT_FALSE(empty.Calculate());
    ExpectOneMessage("Can't find decision");
}

// Runs the eight attempts the way the search does, without its guards, and
// returns the attempt whose strategy reported a root (-1 for none).
int UnguardedAttempt(Calculator& calc) {
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
        Calculator probe;
        f.in.FeedTo(probe);
        ASSERT_EQ(UnguardedAttempt(probe), f.unguardedStop);
        // Where it stops is no root.
        if (f.unguardedStop >= 0) {
            EXPECT_GT(std::fabs(K3EquationOf(probe, probe.m_k3)), 1e-4L);
        }
    }
    Calculator calc;
    FromDetector(kTypical, kTypicalPoints).FeedTo(calc);
    ASSERT_TRUE(calc.Calculate());
    const Calculator before = calc;
    f.in.FeedTo(calc);
    EXPECT_FALSE(calc.Calculate());
    ExpectOneMessage("Can't find coefficient K3");
    if (f.poleCase >= 0) {
        EXPECT_EQ(calc.m_nPoleCase, f.poleCase);
    }
    EXPECT_EQ(calc.m_nMarchSteps == Calculator::MAX_MARCH_STEPS + 1, f.unguardedStop == kBudget);
    // Steps before the search hold the new values, later ones the old.
    EXPECT_NE(calc.m_t1, before.m_t1);
    EXPECT_NE(calc.m_P1, before.m_P1);
    for (auto k : {&Calculator::m_k1, &Calculator::m_k2, &Calculator::m_k3})
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
        // Two nearly equal calibration points: the march crawls.
        Failure{"MarchBudget",
                PointsOnly({5, 2.234, 2.234, 1.294}, {102.5, 242.5, 242.501, 416.5}, 414), kBudget,
                -1}),
    [](const ::testing::TestParamInfo<Failure>& info) { return std::string(info.param.name); });

}  // namespace
