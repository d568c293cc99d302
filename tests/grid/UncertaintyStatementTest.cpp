// What the panel's calibration states: the reference's share taken from the
// record, the budget only for a fit's set, every complete row of the final
// grid judged by the record's rule, and the notice's sentence.
#include "grid/UncertaintyStatement.h"

#include <cmath>

#include <gtest/gtest.h>

#include "testsupport/KnownPanel.h"

namespace {

using F = CalibrationDetails::Field;
using V = Conformity::Verdict;
using S = Conformity::Statement;
using State = UncertaintyStatement::BudgetState;

TEST(UncertaintyStatement, TheReferenceIsItsExpandedUncertaintyOverItsCoverageFactor) {
    const struct {
        const char *pszU, *pszK;
        double expected;
    } cases[] = {
        {"", "", 0}, {"", "2", 0}, {"2", "", 1}, {"2", "2.5", 0.8}, {"1.5", "1", 1.5}, {"x", "", 0},
    };
    for (const auto& c : cases) {
        CalibrationDetails details;
        details.Set(F::kReferenceUncertainty, c.pszU);
        details.Set(F::kReferenceCoverageFactor, c.pszK);
        EXPECT_DOUBLE_EQ(UncertaintyStatement::ReferencePercent(details), c.expected)
            << c.pszU << " k " << c.pszK;
    }
}

// Rows 2 and 5 empty: the budget's rows must land beside their grid rows.
const std::vector<int> kGappedRows = {0, 2, 3, 5, 6, 7, 8, 9, 10};

TEST(UncertaintyStatement, JudgesEveryRowOfTheFitsSetByTheRecordsRule) {
    const ProgramMode mode(0);
    const DataSet data = MakeDetectorData(0, kGappedRows, {0, 4, 6, 8});
    CalibrationFit fit;
    panel::Contents c = PanelAfterFit(data, fit);
    c.details.Set(F::kReferenceUncertainty, "2");
    c.details.Set(F::kTolerance, "5");
    c.details.Set(F::kDecisionRule, CalibrationDetails::kRuleGuarded);

    UncertaintyStatement statement(c, &fit);
    ASSERT_EQ(statement.GetBudgetState(), State::kEvaluated);
    const CalibrationBudget* pBudget = statement.GetBudget();
    ASSERT_NE(pBudget, nullptr);
    EXPECT_DOUBLE_EQ(pBudget->GetReferencePercent(), 1);
    // The reference dominates: U near 1.96 %.
    const double dU = pBudget->GetDeviation().GetExpanded();
    EXPECT_NEAR(dU, 1.96, 0.01);
    ASSERT_EQ(statement.GetRows().size(), kGappedRows.size());
    for (size_t k = 0; k < kGappedRows.size(); ++k) {
        const UncertaintyStatement::Row& row = statement.GetRows()[k];
        EXPECT_EQ(row.nGridRow, kGappedRows[k]);
        EXPECT_EQ(row.nBudgetRow, static_cast<int>(k));
        EXPECT_EQ(wxString::Format("%.1f", row.dDeviation), c.manualTable[row.nGridRow][5]);
        EXPECT_TRUE(row.bJudged);
        EXPECT_EQ(row.verdict, V::kPass) << k;
    }
    EXPECT_EQ(statement.GetStatement(), S::kConforms);
    EXPECT_EQ(statement.DescribeBudget(), "The reference's uncertainty (2 %, k = 2) is included.");

    // The manual grid's deviations decide, each against 5 % with U beside it.
    const struct {
        const char* pszDeviation;
        V verdict;
        S statement;
    } cases[] = {
        {"-4.0", V::kIndeterminate, S::kNoStatement},
        {"9.0", V::kFail, S::kDoesNotConform},
        {"", V::kIndeterminate, S::kNoStatement},
    };
    for (const auto& e : cases) {
        panel::Contents edited = c;
        edited.manualTable[5][5] = e.pszDeviation;
        const UncertaintyStatement s(edited, &fit);
        EXPECT_EQ(s.GetRows()[3].verdict, e.verdict) << e.pszDeviation;
        EXPECT_EQ(s.GetRows()[3].bJudged, *e.pszDeviation != 0) << e.pszDeviation;
        EXPECT_EQ(s.GetStatement(), e.statement) << e.pszDeviation;
    }

    // Without a fit no budget: the guarded rule states nothing; the simple
    // rule judges the Count's grid when Set was never used.
    const UncertaintyStatement noFit(c, nullptr);
    EXPECT_EQ(noFit.GetBudgetState(), State::kNoFit);
    EXPECT_EQ(noFit.GetBudget(), nullptr);
    EXPECT_EQ(noFit.GetStatement(), S::kNoUncertainty);
    EXPECT_FALSE(noFit.GetRows()[0].bJudged);
    EXPECT_EQ(noFit.DescribeBudget(), "");
    panel::Contents counted = PanelAfterCount(data);
    counted.details = c.details;
    counted.details.Set(F::kDecisionRule, "");
    counted.details.Set(F::kTolerance, "0.05");
    counted.table[3][5] = "-0.1";
    const UncertaintyStatement simple(counted, nullptr);
    EXPECT_EQ(simple.GetRows()[2].verdict, V::kFail);
    EXPECT_EQ(simple.GetStatement(), S::kDoesNotConform);

    // Without a tolerance nothing is judged; without a reference it is left
    // out and the notice says so.
    c.details = CalibrationDetails();
    const UncertaintyStatement plain(c, &fit);
    EXPECT_FALSE(plain.HasTolerance());
    EXPECT_FALSE(plain.GetRows()[0].bJudged);
    EXPECT_FALSE(plain.GetBudget()->IsReferenceIncluded());
    EXPECT_EQ(plain.DescribeBudget(),
              "No uncertainty of the reference is given: it is not included.");

    // A hand-edited archive may hold numbers the window refuses: an infinite
    // tolerance would pass every row, an infinite reference would leave no
    // budget at all. Both count as not given.
    for (const char* szInfinite : {"inf", "1e999"}) {
        c.details.Set(F::kTolerance, szInfinite);
        c.details.Set(F::kReferenceUncertainty, szInfinite);
        const UncertaintyStatement edited(c, &fit);
        EXPECT_FALSE(edited.HasTolerance()) << szInfinite;
        ASSERT_NE(edited.GetBudget(), nullptr) << szInfinite;
        EXPECT_FALSE(edited.GetBudget()->IsReferenceIncluded()) << szInfinite;
    }
}

// Six complete rows at four periods cannot determine five values.
TEST(UncertaintyStatement, AnUndeterminedCovarianceGivesNoBudgetAndSaysSo) {
    const ProgramMode mode(1);
    CalibrationFit fit;
    panel::Contents c = PanelAfterUndeterminedFit(fit);
    c.details.Set(F::kTolerance, "1");
    c.details.Set(F::kDecisionRule, CalibrationDetails::kRuleGuarded);
    const UncertaintyStatement statement(c, &fit);
    EXPECT_EQ(statement.GetBudgetState(), State::kUndetermined);
    EXPECT_EQ(statement.GetBudget(), nullptr);
    EXPECT_EQ(statement.GetStatement(), S::kNoUncertainty);
    EXPECT_EQ(statement.DescribeBudget(),
              "The fit's covariance is undetermined: no uncertainty was evaluated.");
}

}  // namespace
