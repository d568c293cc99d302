#include <gtest/gtest.h>

#include "tests/calc/Detector.h"

// Global operator new calls so far (CountingAllocator.cpp).
long AllocationCount();

namespace {

class NoAllocation : public ::testing::TestWithParam<Layout> {
protected:
    ProgramMode m_mode{1};
};

TEST_P(NoAllocation, InTheScanAndMarch) {
    Calculator calc;
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

INSTANTIATE_TEST_SUITE_P(Layouts, NoAllocation, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<Layout>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
