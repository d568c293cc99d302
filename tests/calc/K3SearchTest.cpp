#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "tests/calc/Detector.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Steps 1 to 5 of a calculation: everything the search reads.
void PrepareSearch(Calculator& calc) {
    Calculator::AverageReadings(calc.m_vecFlForCalc, calc.m_vecFrForCalc, calc.m_vecFForCalc);
    calc.CalcDeadTimeAndKeff();
    calc.CalcPeriods();
    calc.CalcUncorrectedP();
    calc.CalcAuxiliary();
}

// Points whose K3 equation has its poles where asked: a pole is
// -t (1 - R t / Keff), solved for R. Dead time 2.5, Keff 500, mode 1.
DataSet WithPoles(const double (&t)[4], const double (&poles)[3]) {
    std::vector<double> realP{500.0 / t[0]}, readings{t[0] + 2.5};
    for (int i = 0; i < 3; ++i) {
        const long double ti = t[i + 1];
        realP.push_back(static_cast<double>((poles[i] + ti) * 500.0L / (ti * ti)));
        readings.push_back(t[i + 1] + 2.5);
    }
    return PointsOnly(realP, readings, t[3]);
}

long double F(const Calculator& c, long double x) { return K3EquationLd(c, x); }

// Keff 1000, dead time 0 and corrected periods 100, 200, 400 for points 1 to
// 3: every pole -t (1 - R t / 1000) is computed without rounding.
DataSet ExactPoles(const std::vector<double>& r) {
    return PointsOnly({20, r[0], r[1], r[2]}, {50, 100, 200, 400}, 400);
}

class K3Search : public ::testing::Test {
protected:
    ProgramMode m_mode{1};
    ErrorRecorder m_errors;

    static void ExpectOneMessage(const char* text) {
        ASSERT_EQ(ErrorRecorder::Messages().size(), 1u);
        EXPECT_EQ(ErrorRecorder::Messages()[0], wxString(text));
    }
};

struct Layout {
    const char* name;
    Detector det;
    double t[4];
    int32_t poleCase;
    SearchStrategy strategy;
};

void PrintTo(const Layout& l, std::ostream* os) { *os << l.name; }

class PoleLayout : public K3Search, public ::testing::WithParamInterface<Layout> {};

TEST_P(PoleLayout, SelectsItsStrategyAndFindsTheDetectorsK3) {
    const Layout& l = GetParam();
    Calculator calc;
    FromDetector(l.det, l.t).FeedTo(calc);
    ASSERT_TRUE(calc.Calculate());
    EXPECT_EQ(calc.m_nPoleCase, l.poleCase);
    EXPECT_EQ(calc.m_mapSearch.at(calc.m_nPoleCase), l.strategy);
    EXPECT_NEAR(calc.GetK3(), static_cast<double>(l.det.k3), 0.0011);

    // At the root every bracket of the equation equals t K1 e^(-K2 t), so the
    // poles lie at K3 - t K1 e^(-K2 t).
    for (int i = 0; i < 3; ++i) {
        const long double t = l.t[i + 1];
        const long double pole = l.det.k3 - t * l.det.k1 * std::exp(-l.det.k2 * t);
        EXPECT_NEAR(calc.m_vecPoles[i], pole, 1e-9L * (1 + std::fabs(pole))) << i;
    }
    EXPECT_EQ(calc.m_dPoleMin,
              std::min({calc.m_vecPoles[0], calc.m_vecPoles[1], calc.m_vecPoles[2]}));
    EXPECT_EQ(calc.m_dPoleMax,
              std::max({calc.m_vecPoles[0], calc.m_vecPoles[1], calc.m_vecPoles[2]}));
}

// A negative K1 puts the poles above the root, a positive one below it.
INSTANTIATE_TEST_SUITE_P(
    RealInputs, PoleLayout,
    ::testing::Values(
        Layout{"AllBelow", {2.5L, 500, 0.2L, 0.005L, 3}, {100, 200, 400, 600}, 0, SearchUpToEnd},
        Layout{"LargestInside",
               {2.5L, 500, 0.2L, 0.005L, 3},
               {100, 200, 400, 800},
               1,
               SearchAfterPoles},
        Layout{
            "AllInside", {2.5L, 500, 1.67L, 0.016L, 54}, {40, 61, 277, 349}, 2, SearchAcrossPoles},
        Layout{"LargestAbove",
               {2.5L, 500, -2.44L, 0.001L, 22.5L},
               {40, 74, 302, 327},
               3,
               SearchUpToEnd},
        Layout{"AllAboveRootPastEnd",
               {2.5L, 500, -1, 0.002L, 505},
               {100, 200, 400, 800},
               4,
               SearchBelowPoles}),
    [](const ::testing::TestParamInfo<Layout>& info) { return std::string(info.param.name); });

TEST_F(K3Search, AcrossPolesJumpsAboveThemOnce) {
    const Detector det{2.5L, 500, 1.67L, 0.016L, 54};
    const double t[4] = {40, 61, 277, 349};
    Calculator calc;
    FromDetector(det, t).FeedTo(calc);
    PrepareSearch(calc);
    const double L = calc.EstimateSlope();
    calc.FindPoles();
    ASSERT_GT(calc.m_dPoleMin, calc.m_dSearchFrom);
    const double x1 = std::fabs(calc.K3Equation(0)) / L;
    ASSERT_LT(x1, calc.m_dPoleMin);
    // Without the jump the march runs into the poles and fails.
    EXPECT_FALSE(SearchUpToEnd(&calc, x1, 0, L, calc.m_dEps));
    EXPECT_TRUE(SearchAcrossPoles(&calc, x1, 0, L, calc.m_dEps));
    EXPECT_GT(calc.m_k3, calc.m_dPoleMax);
    EXPECT_NEAR(calc.m_k3, 54, 1e-4);
}

TEST_F(K3Search, BelowPolesMayPassTheEndButNotThePoles) {
    Calculator calc;
    const double t[4] = {100, 200, 400, 800};
    FromDetector({2.5L, 500, -1, 0.002L, 505}, t).FeedTo(calc);
    PrepareSearch(calc);
    const double L = calc.EstimateSlope();
    calc.FindPoles();
    const double x1 = std::fabs(calc.K3Equation(0)) / L;
    EXPECT_FALSE(SearchUpToEnd(&calc, x1, 0, L, calc.m_dEps));
    ASSERT_TRUE(SearchBelowPoles(&calc, x1, 0, L, calc.m_dEps));
    EXPECT_GT(calc.m_k3, calc.m_dSearchTo);
    EXPECT_LT(calc.m_k3, calc.m_dPoleMin);
    // A start at the smallest pole is out of bounds at once.
    EXPECT_FALSE(SearchBelowPoles(&calc, calc.m_dPoleMin, 0, L, 1));
}

struct Boundary {
    double r1, r2, r3;
    double poles[3];
    int32_t poleCase;
};

void PrintTo(const Boundary& b, std::ostream* os) {
    *os << "poles " << b.poles[0] << " " << b.poles[1] << " " << b.poles[2];
}

class ExactBoundary : public K3Search, public ::testing::WithParamInterface<Boundary> {};

TEST_P(ExactBoundary, PolesOnTheEndsOfTheInterval) {
    const Boundary& b = GetParam();
    Calculator calc;
    ExactPoles({b.r1, b.r2, b.r3}).FeedTo(calc);
    calc.Calculate();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(calc.m_vecPoles[i], b.poles[i]) << i;
    EXPECT_EQ(calc.m_nPoleCase, b.poleCase);
}

INSTANTIATE_TEST_SUITE_P(RealInputs, ExactBoundary,
                         ::testing::Values(Boundary{5, 2.5, 2.5, {-50, -100, 0}, 0},
                                           Boundary{10, 7.5, 3.75, {0, 100, 200}, 1},
                                           Boundary{60, 7.5, 3.75, {500, 100, 200}, 5}));

TEST_F(K3Search, ClassificationBoundaries) {
    struct Row {
        double pmin, pmax;
        int32_t poleCase;
    };
    const Row rows[] = {
        {-1, 0, 0},       // pmin < a = pmax
        {-5, -1, 0},      //
        {0, 250, 1},      // pmin = a < pmax < b
        {-1, 499.9, 1},   //
        {10, 20, 2},      //
        {10, 600, 3},     //
        {501, 900, 4},    //
        {100, 500, 5},    // a < pmin < b = pmax
        {-1, 500, 5},     // around the whole interval
        {500, 600, 5},    // the smallest exactly at b
        {0, 0, 5},        // all at a
        {kNaN, 100, 5},   //
        {100, kNaN, 5},   //
        {kNaN, kNaN, 5},  //
    };
    Calculator calc;
    for (const Row& r : rows) {
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
    // The steepest scan slope lies between 500 and 500.1, just below a pole:
    // a scan with one point too many would see it.
    const double t[4] = {40, 100, 200, 300};
    const double poles[3] = {600, 500.1000001, 700};
    Calculator calc;
    WithPoles(t, poles).FeedTo(calc);
    PrepareSearch(calc);

    long double expected = 0;
    int points = 0;
    for (double x = 0; 500 >= x; x = x + 0.1, ++points) {
        const long double s = std::fabs(F(calc, x + 0.1) - F(calc, x)) / 0.1L;
        if (expected < s) expected = s;
    }
    ASSERT_EQ(points, 5000);
    expected *= 1.25L;
    EXPECT_NEAR(calc.EstimateSlope(), expected, 1e-9L * expected);
    const long double beyond = std::fabs(F(calc, 500.1) - F(calc, 500.0)) / 0.1L;
    ASSERT_GT(beyond, 2 * expected);
}

TEST_F(K3Search, ZeroSlopeBoundCannotFindADecision) {
    Calculator calc;
    // Points 2 and 3 alike make the equation vanish everywhere.
    PointsOnly({5, 2, 1, 1}, {100, 200, 400, 400}, 400).FeedTo(calc);
    calc.m_vecPoles = {7, 8, 9};
    calc.m_nPoleCase = 3;
    calc.m_k3 = 1.5;
    EXPECT_FALSE(calc.Calculate());
    ExpectOneMessage("Can't find decision");
    EXPECT_EQ(calc.m_vecPoles, (std::vector<double>{7, 8, 9}));
    EXPECT_EQ(calc.m_nPoleCase, 3);
    EXPECT_EQ(calc.m_k3, 1.5);

    ErrorRecorder::Messages().clear();
    Calculator empty;
    FromDetector({2.5L, 500, 0.2L, 0.005L, 3}, {100, 200, 400, 600}).FeedTo(empty);
    empty.m_dSearchTo = empty.m_dSearchFrom;
    EXPECT_FALSE(empty.Calculate());
    ExpectOneMessage("Can't find decision");
}

// A successful calculation whose results a failing one must leave alone.
void CalculateTypical(Calculator& calc) {
    FromDetector({2.5L, 500, 0.2L, 0.005L, 3}, {100, 200, 400, 600}).FeedTo(calc);
    ASSERT_TRUE(calc.Calculate());
    ASSERT_EQ(calc.GetK3(), 3);
}

// Runs the eight attempts the way the search does, unguarded, and returns the
// attempt whose strategy reported a root (-1 for none).
int UnguardedAttempt(Calculator& calc, double& L) {
    PrepareSearch(calc);
    L = calc.EstimateSlope();
    calc.FindPoles();
    calc.ClassifyPoles();
    const double x1 = std::fabs(calc.K3Equation(0)) / L;
    double tol = 1e-7;
    for (int attempt = 0; attempt < 8; ++attempt, tol *= 10)
        if (calc.m_mapSearch.at(calc.m_nPoleCase)(&calc, x1, 0, L, tol)) return attempt;
    return -1;
}

TEST_F(K3Search, ImpossibleLayoutFailsAtTheSearchStep) {
    Calculator calc;
    CalculateTypical(calc);
    const Calculator before = calc;
    ExactPoles({60, 7.5, 3.75}).FeedTo(calc);  // a pole exactly at b
    EXPECT_FALSE(calc.Calculate());
    ExpectOneMessage("Can't find coefficient K3");
    EXPECT_EQ(calc.m_nPoleCase, 5);
    // Steps before the search hold new values, later ones the old.
    EXPECT_NE(calc.m_t1, before.m_t1);
    EXPECT_NE(calc.m_P1, before.m_P1);
    EXPECT_EQ(calc.m_k1, before.m_k1);
    EXPECT_EQ(calc.m_k2, before.m_k2);
    EXPECT_EQ(calc.m_k3, before.m_k3);
    EXPECT_EQ(calc.m_vecCorrectP, before.m_vecCorrectP);
}

TEST_F(K3Search, AllAttemptsFailingIsAFailureNotTheEarlierK3) {
    Calculator calc;
    CalculateTypical(calc);
    const Calculator before = calc;
    const DataSet d = PointsOnly({5, 1.909, 1.903, 0.829}, {102.5, 252.5, 253.43, 602.5}, 600);

    Calculator probe;
    d.FeedTo(probe);
    double L = 0;
    ASSERT_EQ(UnguardedAttempt(probe, L), -1);

    d.FeedTo(calc);
    EXPECT_FALSE(calc.Calculate());
    ExpectOneMessage("Can't find coefficient K3");
    EXPECT_EQ(calc.m_k3, before.m_k3);
    EXPECT_EQ(calc.m_k2, before.m_k2);
    EXPECT_EQ(calc.m_vecCorrectP, before.m_vecCorrectP);
}

TEST_F(K3Search, LoosenedToleranceStopAwayFromARootIsAFailure) {
    Calculator calc;
    CalculateTypical(calc);
    const DataSet d = PointsOnly({5, 2.852, 2.836, 0.829}, {102.5, 165.5, 166.5, 602.5}, 600);

    Calculator probe;
    d.FeedTo(probe);
    double L = 0;
    ASSERT_EQ(UnguardedAttempt(probe, L), 7);  // only the tolerance 1 stops
    const long double f = F(probe, probe.m_k3);
    ASSERT_GT(std::fabs(f) / L, 1e-3L);  // nowhere near a root

    d.FeedTo(calc);
    EXPECT_FALSE(calc.Calculate());
    ExpectOneMessage("Can't find coefficient K3");
    EXPECT_EQ(calc.m_k3, 3);
}

TEST_F(K3Search, InfiniteSlopeBoundFindsNoRoot) {
    // A pole exactly on a scan point (0.5) makes one scan slope infinite;
    // every march step is then 0 and would "converge" at a.
    Calculator calc;
    PointsOnly({8, 2.5 * 8 / 2.25, 5, 3}, {1, 1.5, 2, 4}, 4).FeedTo(calc);
    PrepareSearch(calc);
    ASSERT_EQ(-calc.m_t2 * calc.m_P2, 0.5);
    const double L = calc.EstimateSlope();
    ASSERT_TRUE(std::isinf(L));
    calc.FindPoles();
    calc.ClassifyPoles();
    ASSERT_EQ(calc.m_nPoleCase, 2);
    ASSERT_TRUE(SearchAcrossPoles(&calc, 0, 0, L, 1e-7));
    ASSERT_NE(calc.K3Equation(0), 0);

    calc.m_k3 = 1.25;
    EXPECT_FALSE(calc.Calculate());
    ExpectOneMessage("Can't find coefficient K3");
    EXPECT_EQ(calc.m_k3, 1.25);
}

TEST_F(K3Search, MarchStepsAreBoundedPerCalculation) {
    Calculator calc;
    CalculateTypical(calc);
    // Two nearly equal calibration points: the march crawls.
    PointsOnly({5, 2.234, 2.234, 1.294}, {102.5, 242.5, 242.501, 416.5}, 414).FeedTo(calc);
    EXPECT_FALSE(calc.Calculate());
    ExpectOneMessage("Can't find coefficient K3");
    EXPECT_EQ(calc.m_nMarchSteps, Calculator::MAX_MARCH_STEPS + 1);
    EXPECT_EQ(calc.m_k3, 3);

    // The next calculation has its own budget.
    ErrorRecorder::Messages().clear();
    CalculateTypical(calc);
    EXPECT_TRUE(ErrorRecorder::Messages().empty());
}

}  // namespace
