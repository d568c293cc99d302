// The GUM combination against values worked out by hand (Student's t from
// tables), and the calibration's budgets on a set whose offset is known.
#include <algorithm>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "calc/CalibrationBudget.h"
#include "calc/UncertaintyBudget.h"
#include "testsupport/Detector.h"

namespace {

using Type = UncertaintyBudget::Type;
using Distribution = UncertaintyBudget::Distribution;
const double kInf = std::numeric_limits<double>::infinity();

struct HandCase {
    const char* name;
    std::vector<UncertaintyBudget::Component> components;
    double uc, nu, k, U;
    double firstShare;
};

TEST(UncertaintyBudget, CombinesAsWorkedOutByHand) {
    const HandCase cases[] = {
        // u_c = sqrt(1 + 0.0025); nu = u_c^4 / (0.05^4 / 6) = 964806.
        {"the reference dominates",
         {{"ref", Type::kB, Distribution::kNormal, 1.0, kInf},
          {"scatter", Type::kA, Distribution::kNormal, 0.05, 6}},
         1.00124922,
         964806,
         1.959966,
         1.962415,
         1 / 1.0025},
        // nu = 0.2513^2 / 0.5^4 = 1.0104: t at 1 degree of freedom.
        {"the fit dominates with one degree of freedom",
         {{"fit", Type::kA, Distribution::kNormal, 0.5, 1},
          {"offset", Type::kB, Distribution::kOffset, 0.02, kInf},
          {"ref", Type::kB, Distribution::kNormal, 0.03, kInf}},
         0.50129831,
         1.0104270,
         12.706205,
         6.369599,
         0.25 / 0.2513},
        // nu = 0.0625 / (0.3^4 / 4 + 0.4^4 / 9) = 12.835: t at 12.
        {"two Type A terms",
         {{"a", Type::kA, Distribution::kNormal, 0.3, 4},
          {"b", Type::kA, Distribution::kNormal, 0.4, 9}},
         0.5,
         12.835140,
         2.178813,
         1.089406,
         0.36},
        {"Type B alone: the cap",
         {{"ref", Type::kB, Distribution::kNormal, 0.8, kInf}},
         0.8,
         1e6,
         1.959966,
         1.567973,
         1},
        // nu = 1 / (1e-12 / 2), far above the cap.
        {"a vanishing Type A term",
         {{"ref", Type::kB, Distribution::kNormal, 1, kInf},
          {"fit", Type::kA, Distribution::kNormal, 0.001, 2}},
         1.0000005,
         1e6,
         1.959966,
         1.959967,
         1 / 1.000001},
        {"nothing at all",
         {{"fit", Type::kA, Distribution::kNormal, 0, 5}},
         0,
         1e6,
         1.959966,
         0,
         0},
    };
    for (const HandCase& c : cases) {
        SCOPED_TRACE(c.name);
        const UncertaintyBudget budget(c.components);
        ASSERT_TRUE(budget.IsFinite());
        EXPECT_NEAR(budget.GetCombined(), c.uc, 1e-7);
        EXPECT_NEAR(budget.GetEffectiveDegreesOfFreedom(), c.nu, 1e-6 * c.nu);
        EXPECT_NEAR(budget.GetCoverageFactor(), c.k, 2e-6);
        EXPECT_NEAR(budget.GetExpanded(), c.U, 2e-6);
        EXPECT_NEAR(budget.GetShare(0), c.firstShare, 1e-9);
        double dShares = 0;
        for (size_t i = 0; i < c.components.size(); ++i) dShares += budget.GetShare(i);
        if (c.uc > 0) {
            EXPECT_NEAR(dShares, 1, 1e-12);
        }
        EXPECT_EQ(budget.Find(c.components.back().pszName), &budget.GetComponents().back());
        EXPECT_EQ(budget.Find("none"), nullptr);
    }

    // A term that is no number spoils the whole budget.
    for (double u : {kInf, std::numeric_limits<double>::quiet_NaN(), -0.1}) {
        const UncertaintyBudget budget({{"ref", Type::kB, Distribution::kNormal, 1, kInf},
                                        {"fit", Type::kA, Distribution::kNormal, u, 6}});
        EXPECT_FALSE(budget.IsFinite()) << u;
        EXPECT_TRUE(std::isnan(budget.GetExpanded())) << u;
    }
}

// Noise-free rows of a detector whose Keff lies off the boxes' grid: the
// least-squares end is the detector itself, the set lies beside it on the
// grid, and its offset at each row follows from the tests' own model; the
// fit's own term vanishes.
TEST(CalibrationBudget, TheOffsetOfAKnownSetAndTheReferenceMakeTheRowsBudget) {
    const ProgramMode mode(1);
    const Detector det{2.5L, 500.04L, 0.2L, 0.005L, 3};
    Calculator calc;
    const EngineInput in = DetectorRows(det, kPeriods, kPoints, false, 0);
    in.FeedTo(calc);
    CalibrationFit fit;
    ASSERT_TRUE(fit.Run(calc)) << fit.GetError();
    const CalibrationFit::Values& v = fit.GetSet();
    const Detector set{v[0], v[1], v[2], v[3], v[4]};
    ASSERT_NE(set.keff, det.keff);

    CalibrationBudget budget;
    ASSERT_TRUE(budget.Evaluate(fit, 0.5));
    ASSERT_EQ(budget.GetRowBudgets().size(), kPeriods.size());
    std::vector<double> vecOffsets;
    for (size_t i = 0; i < kPeriods.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        const long double pSet = set.P(in.fl[i] - set.dt);
        const double offset =
            static_cast<double>(std::fabs(pSet - det.P(kPeriods[i])) / pSet * 100);
        vecOffsets.push_back(offset);
        const UncertaintyBudget& row = budget.GetRowBudgets()[i];
        ASSERT_EQ(row.GetComponents().size(), 3u);
        EXPECT_LT(row.Find(CalibrationBudget::kFit)->dU, 1e-6);
        EXPECT_NEAR(row.Find(CalibrationBudget::kOffset)->dU, offset, 1e-8);
        EXPECT_EQ(row.Find(CalibrationBudget::kReference)->dU, 0.5);
        EXPECT_NEAR(row.GetCombined(), std::sqrt(offset * offset + 0.25), 1e-8);
        EXPECT_NEAR(row.GetCoverageFactor(), 1.959966, 2e-6);
    }
    const size_t nLargest =
        std::max_element(vecOffsets.begin(), vecOffsets.end()) - vecOffsets.begin();
    EXPECT_EQ(budget.GetLargestRow(), static_cast<int>(nLargest));
    EXPECT_GT(vecOffsets[nLargest], 1e-3);
    // The deviation: the reference and the residual, nearly 0 here.
    const UncertaintyBudget& deviation = budget.GetDeviation();
    EXPECT_NEAR(deviation.GetExpanded(), 1.959966 * 0.5, 1e-5);
    EXPECT_EQ(deviation.Find(CalibrationBudget::kScatter)->dDegreesOfFreedom, 6);
    EXPECT_EQ(budget.GetLowestReference(), static_cast<double>(det.P(kPeriods.back())));
    EXPECT_EQ(budget.GetHighestReference(), static_cast<double>(det.P(kPeriods.front())));

    // Keff alone carries the reference, scaled to Keff: 0.5 % of 500.
    const auto& values = budget.GetValueBudgets();
    EXPECT_NEAR(values[CalibrationFit::kKeff].Find(CalibrationBudget::kReference)->dU, 2.5, 1e-12);
    for (int j : {CalibrationFit::kDeadTime, CalibrationFit::kK1, CalibrationFit::kK2,
                  CalibrationFit::kK3}) {
        EXPECT_EQ(values[j].Find(CalibrationBudget::kReference), nullptr) << j;
        EXPECT_EQ(values[j].GetCombined(), fit.GetStandardUncertainty()[j]) << j;
    }

    // Without a reference uncertainty it is left out, not counted as 0.
    ASSERT_TRUE(budget.Evaluate(fit, 0));
    EXPECT_FALSE(budget.IsReferenceIncluded());
    EXPECT_EQ(budget.GetDeviation().Find(CalibrationBudget::kReference), nullptr);
    EXPECT_NEAR(budget.GetRowBudgets()[0].GetCombined(), vecOffsets[0], 1e-6);
}

}  // namespace
