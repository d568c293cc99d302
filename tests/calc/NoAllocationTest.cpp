#include <gtest/gtest.h>

#include "testsupport/Detector.h"

// Global operator new calls so far (CountingAllocator.cpp).
long AllocationCount();

namespace {

class NoAllocation : public ::testing::TestWithParam<Layout> {
protected:
    ProgramMode m_mode{1};
};

TEST_P(NoAllocation, InTheWholeSearch) {
    CalculatorProbe calc;
    FromDetector(GetParam().det, GetParam().x).FeedTo(calc);
    PrepareSearch(calc);
    const long before = AllocationCount();
    calc.FindK3();
    const long during = AllocationCount() - before;
    EXPECT_EQ(during, 0);
    // The counter works: a vector allocates.
    std::vector<double> probe(3);
    EXPECT_GT(AllocationCount() - before, during);
}

std::string LayoutName(const ::testing::TestParamInfo<Layout>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Layouts, NoAllocation, ::testing::ValuesIn(kLayouts), LayoutName);
// The bracketing walk and its refinement, too.
INSTANTIATE_TEST_SUITE_P(Fallback, NoAllocation, ::testing::ValuesIn(kFallbackLayouts), LayoutName);

}  // namespace
