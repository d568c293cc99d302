#include <cmath>
#include <limits>
#include <stdexcept>

#include <gtest/gtest.h>

#include "testsupport/Detector.h"

namespace {

const std::vector<double> kFourZeros(4, 0.0);

TEST(CalculatorLifeCycle, ConstructionDefaults) {
    CalculatorProbe calc;
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
    for (double v : {calc.GetKeff(), calc.GetDT(), calc.GetK1(), calc.GetK2(), calc.GetK3()})
        EXPECT_EQ(v, 0);
    EXPECT_EQ(calc.m_nPoleCase, 0);
    const std::map<int32_t, SearchStrategy> expected{{0, SearchUpToEnd},     {1, SearchAfterPoles},
                                                     {2, SearchAcrossPoles}, {3, SearchUpToEnd},
                                                     {4, SearchBelowPoles},  {5, SearchImpossible}};
    EXPECT_EQ(calc.m_mapSearch, expected);
}

TEST(CalculatorLifeCycle, SettersCopyFourValuesOrTheWholeVector) {
    CalculatorProbe calc;
    const std::vector<double> six{1, 2, 3, 4, 5, 6};
    calc.SetRealPforCalc(six);
    calc.SetFrForCalc(six);
    EXPECT_EQ(calc.m_vecRealPforCalc, (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(calc.m_vecFrForCalc, calc.m_vecRealPforCalc);
    // A short argument leaves zeros, not the earlier values.
    calc.SetFlForCalc(six);
    calc.SetFlForCalc({7, 8});
    EXPECT_EQ(calc.m_vecFlForCalc, (std::vector<double>{7, 8, 0, 0}));

    calc.SetRealP(six);
    calc.SetFl({9});
    calc.SetFr({});
    EXPECT_EQ(calc.m_vecRealP, six);
    EXPECT_EQ(calc.m_vecFl, std::vector<double>{9});
    EXPECT_TRUE(calc.m_vecFr.empty());
}

// A finished calculation with manual values, the state Clear starts from.
void CalculateTypical(Calculator& calc) {
    FromDetector(kTypical, kTypicalPoints).FeedTo(calc);
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
    CalculatorProbe calc;
    CalculateTypical(calc);
    const CalculatorProbe before = calc;
    calc.Clear();
    for (const auto* v :
         {&calc.m_vecRealPforCalc, &calc.m_vecFlForCalc, &calc.m_vecFrForCalc, &calc.m_vecFForCalc})
        EXPECT_EQ(*v, kFourZeros);
    EXPECT_TRUE(calc.m_vecRealP.empty() && calc.m_vecFl.empty() && calc.m_vecFr.empty() &&
                calc.m_vecF.empty());
    for (auto m : {&CalculatorProbe::m_dT, &CalculatorProbe::m_dKeff, &CalculatorProbe::m_dDT,
                   &CalculatorProbe::m_t1, &CalculatorProbe::m_t2, &CalculatorProbe::m_t3,
                   &CalculatorProbe::m_p1, &CalculatorProbe::m_p2, &CalculatorProbe::m_p3,
                   &CalculatorProbe::m_k1, &CalculatorProbe::m_k2, &CalculatorProbe::m_k3})
        EXPECT_EQ(calc.*m, 0);
    // Kept, and not 0 after the calculation.
    for (auto m : {&CalculatorProbe::m_dManualK1, &CalculatorProbe::m_dManualK2,
                   &CalculatorProbe::m_dManualK3, &CalculatorProbe::m_dManualKeff,
                   &CalculatorProbe::m_dManualDT, &CalculatorProbe::m_T1, &CalculatorProbe::m_T2,
                   &CalculatorProbe::m_P1, &CalculatorProbe::m_P2, &CalculatorProbe::m_P3,
                   &CalculatorProbe::m_dPoleMax, &CalculatorProbe::m_dPoleMin}) {
        EXPECT_NE(before.*m, 0);
        EXPECT_EQ(calc.*m, before.*m);
    }
    for (auto m : {&CalculatorProbe::m_vecPoles, &CalculatorProbe::m_vecCorrectP,
                   &CalculatorProbe::m_vecAccuracy, &CalculatorProbe::m_vecManualCorrectP,
                   &CalculatorProbe::m_vecManualAccuracy})
        EXPECT_EQ(calc.*m, before.*m);
    EXPECT_EQ(calc.m_nPoleCase, before.m_nPoleCase);
    // The row accessors still answer for the rows of the last calculation.
    EXPECT_EQ(calc.GetCorrectP(3), before.m_vecCorrectP[3]);
}

TEST(CalculatorLifeCycle, RowAccessorsAreRangeChecked) {
    ProgramMode mode(1);
    CalculatorProbe calc;
    EXPECT_THROW(calc.GetCorrectP(0), std::out_of_range);
    CalculateTypical(calc);
    EXPECT_NO_THROW(calc.GetManualAccuracy(3));
    EXPECT_THROW(calc.GetCorrectP(4), std::out_of_range);
    EXPECT_THROW(calc.GetAccuracy(4), std::out_of_range);
    EXPECT_THROW(calc.GetManualCorrectP(4), std::out_of_range);
    EXPECT_THROW(calc.GetManualAccuracy(4), std::out_of_range);
    EXPECT_THROW(calc.GetCorrectP(-1), std::out_of_range);
}

TEST(CalculatorHelpers, RoundTo3RoundsTheStoredValueLikePrintf) {
    // Exactly representable halfway values go to the even neighbour; a decimal
    // halfway value is not stored exactly, so 1.0005 goes by its stored side.
    const long double stored = 1.0005;
    const double above = stored > 1.0005L ? 1.001 : 1.0;
    const struct {
        double v, rounded;
    } cases[] = {{0.0625, 0.062}, {0.1875, 0.188},          {-2.5625, -2.562},
                 {1.0005, above}, {-1.0005, -above},        {-1.23456, -1.235},
                 {-0.0004, -0.0}, {123456.7894, 123456.789}};
    for (const auto& c : cases) {
        EXPECT_EQ(Calculator::RoundTo3(c.v), c.rounded) << c.v;
        EXPECT_EQ(std::signbit(Calculator::RoundTo3(c.v)), std::signbit(c.rounded)) << c.v;
    }
    EXPECT_FALSE(std::isfinite(Calculator::RoundTo3(std::numeric_limits<double>::infinity())));
}

TEST(CalculatorHelpers, PeriodFollowsTheModeAtEachCall) {
    ProgramMode mode(0);
    EXPECT_EQ(Calculator::Period(4000), 250);
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

// Manual values with more decimals than are used; K1 = K3 = 0 leaves Keff / x
// whatever K2 is. (The whole model is checked through the panel's Set.)
TEST_P(ManualCalculation, WithoutK1AndK3GivesKeffOverX) {
    CalculatorProbe calc;
    const std::vector<double> fl{5000, 2000, 1000}, fr{5100, 2100, 900}, realP{150, 60, 25};
    calc.SetRealP(realP);
    calc.SetFl(fl);
    calc.SetFr(fr);
    calc.SetManualK1(0);
    calc.SetManualK2(0.0123456);
    calc.SetManualK3(0);
    calc.SetManualKeff(750000.12345);
    calc.SetManualDT(1.23449);
    ASSERT_TRUE(calc.CalculateManual());
    // Used, and kept, rounded to three decimals.
    EXPECT_EQ(calc.m_dManualK2, 0.012);
    EXPECT_EQ(calc.m_dManualKeff, 750000.123);
    EXPECT_EQ(calc.m_dManualDT, 1.234);
    for (int j = 0; j < 3; ++j) {
        const long double mean = (static_cast<long double>(fl[j]) + fr[j]) / 2;
        const long double p = 750000.123L / (ToPeriod(GetParam(), mean) - 1.234L);
        EXPECT_NEAR(calc.GetManualCorrectP(j), p, 1e-12L * p) << j;
        EXPECT_NEAR(calc.GetManualAccuracy(j), (p - realP[j]) / realP[j] * 100, 1e-9L) << j;
    }
    // The computed results are not touched.
    EXPECT_TRUE(calc.m_vecCorrectP.empty());
}

INSTANTIATE_TEST_SUITE_P(BothModes, ManualCalculation, ::testing::Values(0, 1));

}  // namespace
