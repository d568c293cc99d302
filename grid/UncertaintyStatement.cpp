#include "grid/UncertaintyStatement.h"

#include <cmath>
#include <limits>

#include <wx/intl.h>

#include "calc/CalibrationFit.h"
#include "grid/GridData.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

UncertaintyStatement::UncertaintyStatement(const panel::Contents& contents,
                                           const CalibrationFit* pFit)
    : m_details(contents.details) {
    if (pFit)
        m_budgetState = m_budget.Evaluate(*pFit, ReferencePercent(m_details))
                            ? BudgetState::kEvaluated
                            : BudgetState::kUndetermined;
    double d = 0;
    if (m_details.GetNumber(CalibrationDetails::kTolerance, d) && std::isfinite(d) && d > 0)
        m_dTolerance = d;
    m_bGuarded = m_details.IsGuarded();

    // The complete rows as Count reads them, in the order the fit took them.
    GridData grid;
    grid.Read(contents.table, !GridData::IsSecondColumnInUse(contents.table));
    const panel::GridTable& finalTable = GridData::FinalTable(contents);
    const CalibrationBudget* pBudget = GetBudget();
    const size_t nRows = grid.m_vecGridRow.size();
    const bool bBudgetRows = pBudget && pBudget->GetRowBudgets().size() == nRows;
    const bool bCanJudge = HasTolerance() && (!m_bGuarded || pBudget);
    const double dExpanded = pBudget ? pBudget->GetDeviation().GetExpanded() : 0;
    std::vector<Conformity::Verdict> vecVerdicts;
    for (size_t k = 0; k < nRows; ++k) {
        Row row{grid.m_vecGridRow[k],
                grid.m_vecGridRealP[k],
                kNaN,
                false,
                Conformity::Verdict::kIndeterminate,
                bBudgetRows ? static_cast<int>(k) : -1};
        const bool bDeviation =
            GridData::ReadNumber(finalTable[row.nGridRow][GridData::kAccuracyCol],
                                 row.dDeviation) &&
            std::isfinite(row.dDeviation);
        if (!bDeviation) row.dDeviation = kNaN;
        row.bJudged = bCanJudge && bDeviation;
        if (row.bJudged)
            row.verdict = Conformity::Judge(row.dDeviation, m_dTolerance, m_bGuarded, dExpanded);
        // A row without a deviation leaves the statement open.
        vecVerdicts.push_back(row.verdict);
        m_vecRows.push_back(row);
    }
    m_statement = m_bGuarded && !pBudget ? Conformity::Statement::kNoUncertainty
                                         : Conformity::State(vecVerdicts);
}

double UncertaintyStatement::ReferencePercent(const CalibrationDetails& details) {
    double dExpanded = 0;
    if (!details.GetNumber(CalibrationDetails::kReferenceUncertainty, dExpanded) ||
        !std::isfinite(dExpanded) || !(dExpanded > 0))
        return 0;
    return dExpanded / details.GetCoverageFactor();
}

wxString UncertaintyStatement::DescribeBudget() const {
    switch (m_budgetState) {
        case BudgetState::kNoFit:
            return wxString();
        case BudgetState::kUndetermined:
            return _("The fit's covariance is undetermined: no uncertainty was evaluated.");
        case BudgetState::kEvaluated:
            break;
    }
    if (!m_budget.IsReferenceIncluded())
        return _("No uncertainty of the reference is given: it is not included.");
    return wxString::Format(_("The reference's uncertainty (%s %%, k = %s) is included."),
                            m_details.Get(CalibrationDetails::kReferenceUncertainty),
                            wxString::Format(wxT("%g"), m_details.GetCoverageFactor()));
}
