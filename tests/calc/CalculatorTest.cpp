#include <cmath>
#include <limits>
#include <stdexcept>

#include <gtest/gtest.h>

#include "tests/calc/Detector.h"

namespace {

const std::vector<double> kFourZeros(4, 0.0);

TEST(CalculatorLifeCycle, ConstructionDefaults) {
    Calculator calc;
    EXPECT_EQ(calc.m_dSearchTo, 500.0);
    EXPECT_EQ(calc.m_dSearchFrom, 0.0);
    EXPECT_EQ(calc.m_dSearchStep, 0.1);
    EXPECT_EQ(calc.m_dEps, 1e-7);
    for (const auto* v :
         {&calc.m_vecRealPforCalc, &calc.m_vecFlForCalc, &calc.m_vecFrForCalc, &calc.m_vecFForCalc})
        EXPECT_EQ(*v, kFourZeros);
    EXPECT_EQ(calc.m_vecPoles, std::vector<double>(3, 0.0));
    EXPECT_TRUE(calc.m_vecRealP.empty() && calc.m_vecF.empty() && calc.m_vecCorrectP.empty() &&
                calc.m_vecManualAccuracy.empty());
    EXPECT_EQ(calc.GetKeff(), 0);
    EXPECT_EQ(calc.GetDT(), 0);
    EXPECT_EQ(calc.GetK1(), 0);
    EXPECT_EQ(calc.GetK2(), 0);
    EXPECT_EQ(calc.GetK3(), 0);
    EXPECT_EQ(calc.m_nPoleCase, 0);
    const std::map<int32_t, SearchStrategy> expected{{0, SearchUpToEnd},     {1, SearchAfterPoles},
                                                     {2, SearchAcrossPoles}, {3, SearchUpToEnd},
                                                     {4, SearchBelowPoles},  {5, SearchImpossible}};
    EXPECT_EQ(calc.m_mapSearch, expected);
}

TEST(CalculatorLifeCycle, SettersCopyFourValuesOrTheWholeVector) {
    Calculator calc;
    const std::vector<double> six{1, 2, 3, 4, 5, 6};
    calc.SetRealPforCalc(six);
    calc.SetFlForCalc(six);
    calc.SetFrForCalc(six);
    const std::vector<double> four{1, 2, 3, 4};
    EXPECT_EQ(calc.m_vecRealPforCalc, four);
    EXPECT_EQ(calc.m_vecFlForCalc, four);
    EXPECT_EQ(calc.m_vecFrForCalc, four);
    // A short argument leaves zeros, not the earlier values.
    calc.SetFlForCalc({7, 8});
    EXPECT_EQ(calc.m_vecFlForCalc, (std::vector<double>{7, 8, 0, 0}));

    calc.SetRealP(six);
    calc.SetFl({9});
    calc.SetFr({});
    EXPECT_EQ(calc.m_vecRealP, six);
    EXPECT_EQ(calc.m_vecFl, std::vector<double>{9});
    EXPECT_TRUE(calc.m_vecFr.empty());

    calc.SetT(12.5);
    calc.SetManualK1(1);
    calc.SetManualK2(2);
    calc.SetManualK3(3);
    calc.SetManualKeff(4);
    calc.SetManualDT(5);
    EXPECT_EQ(calc.m_dT, 12.5);
    EXPECT_EQ(calc.m_dManualK1, 1);
    EXPECT_EQ(calc.m_dManualK2, 2);
    EXPECT_EQ(calc.m_dManualK3, 3);
    EXPECT_EQ(calc.m_dManualKeff, 4);
    EXPECT_EQ(calc.m_dManualDT, 5);
}

// A finished calculation with manual values, the state Clear starts from.
void CalculateTypical(Calculator& calc) {
    const Detector det{2.5L, 500.0L, 0.2L, 0.005L, 3.0L};
    const double t[4] = {100, 200, 400, 600};
    FromDetector(det, t).FeedTo(calc);
    calc.SetManualK1(0.1);
    calc.SetManualK2(0.01);
    calc.SetManualK3(2);
    calc.SetManualKeff(400);
    calc.SetManualDT(1);
    ASSERT_TRUE(calc.Calculate());
    ASSERT_TRUE(calc.CalculateManual());
}

TEST(CalculatorLifeCycle, ClearResetsInputsAndResultsButKeepsManualAndRowResults) {
    ProgramMode mode(1);
    Calculator calc;
    CalculateTypical(calc);
    const Calculator before = calc;
    ASSERT_NE(before.m_k3, 0);
    ASSERT_NE(before.m_P1, 0);

    calc.Clear();
    for (const auto* v :
         {&calc.m_vecRealPforCalc, &calc.m_vecFlForCalc, &calc.m_vecFrForCalc, &calc.m_vecFForCalc})
        EXPECT_EQ(*v, kFourZeros);
    EXPECT_TRUE(calc.m_vecRealP.empty() && calc.m_vecFl.empty() && calc.m_vecFr.empty() &&
                calc.m_vecF.empty());
    for (double v : {calc.m_dT, calc.m_dKeff, calc.m_dDT, calc.m_t1, calc.m_t2, calc.m_t3,
                     calc.m_p1, calc.m_p2, calc.m_p3, calc.m_k1, calc.m_k2, calc.m_k3})
        EXPECT_EQ(v, 0);

    EXPECT_EQ(calc.m_dManualK1, before.m_dManualK1);
    EXPECT_EQ(calc.m_dManualK2, before.m_dManualK2);
    EXPECT_EQ(calc.m_dManualK3, before.m_dManualK3);
    EXPECT_EQ(calc.m_dManualKeff, before.m_dManualKeff);
    EXPECT_EQ(calc.m_dManualDT, before.m_dManualDT);
    EXPECT_EQ(calc.m_T1, before.m_T1);
    EXPECT_EQ(calc.m_T2, before.m_T2);
    EXPECT_EQ(calc.m_P1, before.m_P1);
    EXPECT_EQ(calc.m_P2, before.m_P2);
    EXPECT_EQ(calc.m_P3, before.m_P3);
    EXPECT_EQ(calc.m_vecPoles, before.m_vecPoles);
    EXPECT_EQ(calc.m_dPoleMax, before.m_dPoleMax);
    EXPECT_EQ(calc.m_dPoleMin, before.m_dPoleMin);
    EXPECT_EQ(calc.m_nPoleCase, before.m_nPoleCase);
    EXPECT_EQ(calc.m_vecCorrectP, before.m_vecCorrectP);
    EXPECT_EQ(calc.m_vecAccuracy, before.m_vecAccuracy);
    EXPECT_EQ(calc.m_vecManualCorrectP, before.m_vecManualCorrectP);
    EXPECT_EQ(calc.m_vecManualAccuracy, before.m_vecManualAccuracy);
    // The row accessors still answer for the rows of the last calculation.
    EXPECT_EQ(calc.GetCorrectP(3), before.m_vecCorrectP[3]);
}

TEST(CalculatorLifeCycle, RowAccessorsAreRangeChecked) {
    ProgramMode mode(1);
    Calculator calc;
    EXPECT_THROW(calc.GetCorrectP(0), std::out_of_range);
    CalculateTypical(calc);
    ASSERT_EQ(calc.m_vecCorrectP.size(), 4u);
    EXPECT_NO_THROW(calc.GetCorrectP(3));
    EXPECT_NO_THROW(calc.GetManualAccuracy(3));
    EXPECT_THROW(calc.GetCorrectP(4), std::out_of_range);
    EXPECT_THROW(calc.GetAccuracy(4), std::out_of_range);
    EXPECT_THROW(calc.GetManualCorrectP(4), std::out_of_range);
    EXPECT_THROW(calc.GetManualAccuracy(4), std::out_of_range);
    EXPECT_THROW(calc.GetCorrectP(-1), std::out_of_range);
}

TEST(CalculatorHelpers, RoundTo3RoundsTheStoredValueLikePrintf) {
    // Exactly representable halfway values go to the even neighbour.
    EXPECT_EQ(Calculator::RoundTo3(0.0625), 0.062);
    EXPECT_EQ(Calculator::RoundTo3(0.1875), 0.188);
    EXPECT_EQ(Calculator::RoundTo3(-0.0625), -0.062);
    EXPECT_EQ(Calculator::RoundTo3(-2.5625), -2.562);
    // A decimal halfway value is not stored exactly: the side of the stored
    // double decides.
    for (double v : {1.0005, 2.0005, 0.0015, 3.0005}) {
        SCOPED_TRACE(v);
        const long double stored = v;
        const long double lower = std::floor(stored * 1000) / 1000;
        const long double expected = stored - lower > 0.0005L ? lower + 0.001L : lower;
        EXPECT_NEAR(Calculator::RoundTo3(v), static_cast<double>(expected), 1e-12);
        EXPECT_EQ(Calculator::RoundTo3(-v), -Calculator::RoundTo3(v));
    }
    EXPECT_EQ(Calculator::RoundTo3(-1.23456), -1.235);
    EXPECT_EQ(Calculator::RoundTo3(123456.7894), 123456.789);
    EXPECT_EQ(Calculator::RoundTo3(2.5), 2.5);
    const double negativeZero = Calculator::RoundTo3(-0.0004);
    EXPECT_EQ(negativeZero, 0.0);
    EXPECT_TRUE(std::signbit(negativeZero));
    EXPECT_FALSE(std::isfinite(Calculator::RoundTo3(std::numeric_limits<double>::infinity())));
}

TEST(CalculatorHelpers, PeriodFollowsTheModeAtEachCall) {
    ProgramMode mode(0);
    EXPECT_EQ(Calculator::Period(4000), 250);
    g_nProgramMode = 1;
    EXPECT_EQ(Calculator::Period(4000), 4000);
    g_nProgramMode = 7;  // any non-zero mode means periods
    EXPECT_EQ(Calculator::Period(4000), 4000);
}

TEST(CalculatorHelpers, AverageReadingsStaysWithinAllThreeVectors) {
    std::vector<double> out(3, -1.0);
    Calculator::AverageReadings({1, 2, 3, 4}, {3, 4, 5, 6}, out);
    EXPECT_EQ(out, (std::vector<double>{2, 3, 4}));
    std::vector<double> wide(4, -1.0);
    Calculator::AverageReadings({1, 2, 3}, {3}, wide);
    EXPECT_EQ(wide, (std::vector<double>{2, -1, -1, -1}));
}

class ManualCalculation : public ::testing::TestWithParam<int> {
protected:
    ProgramMode m_mode{GetParam()};
};

TEST_P(ManualCalculation, WithoutK1AndK3GivesKeffOverX) {
    Calculator calc;
    const std::vector<double> fl{5000, 2000, 1000}, fr{5100, 2100, 900};
    const std::vector<double> realP{150, 60, 25};
    calc.SetRealP(realP);
    calc.SetFl(fl);
    calc.SetFr(fr);
    calc.SetManualK1(0);
    calc.SetManualK2(0.0123456);
    calc.SetManualK3(0);
    calc.SetManualKeff(750000.12345);
    calc.SetManualDT(1.23449);
    ASSERT_TRUE(calc.CalculateManual());
    // Manual values are used, and stay, rounded to three decimals.
    EXPECT_EQ(calc.m_dManualK2, 0.012);
    EXPECT_EQ(calc.m_dManualKeff, 750000.123);
    EXPECT_EQ(calc.m_dManualDT, 1.234);
    for (int j = 0; j < 3; ++j) {
        SCOPED_TRACE(j);
        const long double mean = (static_cast<long double>(fl[j]) + fr[j]) / 2;
        const long double x = (GetParam() ? mean : 1000000.0L / mean) - 1.234L;
        const long double p = 750000.123L / x;
        EXPECT_NEAR(calc.GetManualCorrectP(j), p, 1e-12L * p);
        EXPECT_NEAR(calc.GetManualAccuracy(j), (p - realP[j]) / realP[j] * 100, 1e-9L);
    }
    // The computed results are not touched.
    EXPECT_TRUE(calc.m_vecCorrectP.empty());
}

TEST_P(ManualCalculation, AppliesTheWholeModel) {
    Calculator calc;
    const Detector det{3.0L, 480.0L, 0.25L, 0.004L, 2.5L};
    const std::vector<double> x{90, 180, 360, 720};
    std::vector<double> readings;
    for (double v : x) readings.push_back(static_cast<double>(det.Reading(v)));
    calc.SetRealP({5, 2.5, 1.25, 0.625});
    calc.SetFl(readings);
    calc.SetFr(readings);
    calc.SetManualK1(0.25);
    calc.SetManualK2(0.004);
    calc.SetManualK3(2.5);
    calc.SetManualKeff(480);
    calc.SetManualDT(3);
    ASSERT_TRUE(calc.CalculateManual());
    for (int j = 0; j < 4; ++j) {
        const long double p = det.P(x[j]);
        EXPECT_NEAR(calc.GetManualCorrectP(j), p, 1e-11L * p) << j;
    }
}

INSTANTIATE_TEST_SUITE_P(BothModes, ManualCalculation, ::testing::Values(0, 1));

}  // namespace
