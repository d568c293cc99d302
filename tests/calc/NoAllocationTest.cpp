#include <cmath>

#include <gtest/gtest.h>

#include "tests/calc/CountingAllocator.h"
#include "tests/calc/Detector.h"

namespace {

struct Case {
    const char* name;
    Detector det;
    double t[4];
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class NoAllocation : public ::testing::TestWithParam<Case> {
protected:
    ProgramMode m_mode{1};
};

TEST_P(NoAllocation, InTheScanAndMarch) {
    Calculator calc;
    FromDetector(GetParam().det, GetParam().t).FeedTo(calc);
    Calculator::AverageReadings(calc.m_vecFlForCalc, calc.m_vecFrForCalc, calc.m_vecFForCalc);
    calc.CalcDeadTimeAndKeff();
    calc.CalcPeriods();
    calc.CalcUncorrectedP();
    calc.CalcAuxiliary();

    const long before = AllocationCount();
    calc.FindK3();
    const long during = AllocationCount() - before;
    EXPECT_EQ(during, 0);
    // The counter works: a vector allocates.
    std::vector<double> probe(3);
    EXPECT_GT(AllocationCount() - before, during);
    EXPECT_NEAR(calc.m_k3, static_cast<double>(GetParam().det.k3), 0.0011);
    EXPECT_GT(calc.m_nMarchSteps, 10);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, NoAllocation,
    ::testing::Values(Case{"AllBelow", {2.5L, 500, 0.2L, 0.005L, 3}, {100, 200, 400, 600}},
                      Case{"LargestInside", {2.5L, 500, 0.2L, 0.005L, 3}, {100, 200, 400, 800}},
                      Case{"AllInside", {2.5L, 500, 1.67L, 0.016L, 54}, {40, 61, 277, 349}}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
