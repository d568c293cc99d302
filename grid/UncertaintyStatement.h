#ifndef VARID_GRID_UNCERTAINTYSTATEMENT_H
#define VARID_GRID_UNCERTAINTYSTATEMENT_H

#include <vector>

#include <wx/string.h>

#include "calc/CalibrationBudget.h"
#include "calc/Conformity.h"
#include "grid/PanelContents.h"

class CalibrationFit;

// What a calibration states about its uncertainty and its conformity, from
// what the panel shows: the budgets, when the manual boxes hold a fit's set,
// evaluated with the record's reference uncertainty; and every complete row
// of the final set (the manual grid once Set was used, else the Count's) with
// its deviation and, under the record's tolerance, its verdict by the
// record's decision rule. The panel, the plot, the CSV and the certificate
// read the same statement.
class UncertaintyStatement {
public:
    enum class BudgetState {
        kNoFit,         // no fit's set in the manual boxes
        kUndetermined,  // the fit's covariance is undetermined: no budget
        kEvaluated
    };

    struct Row {
        int nGridRow;
        double dRealP;
        double dDeviation;  // the final grid's Accuracy as shown, in percent
        bool bJudged;       // a tolerance, a deviation and, if guarded, a U
        Conformity::Verdict verdict;
        int nBudgetRow;  // the row's place in the budget's rows, or -1
    };

    // pFit, when given, is the fit whose set the manual boxes show.
    UncertaintyStatement(const panel::Contents& contents, const CalibrationFit* pFit);

    // The reference's relative standard uncertainty u_ref in percent: its
    // expanded uncertainty over its coverage factor, 0 when none is given.
    static double ReferencePercent(const CalibrationDetails& details);

    BudgetState GetBudgetState() const { return m_budgetState; }
    // Null unless evaluated.
    const CalibrationBudget* GetBudget() const {
        return m_budgetState == BudgetState::kEvaluated ? &m_budget : nullptr;
    }

    bool HasTolerance() const { return m_dTolerance > 0; }
    double GetTolerance() const { return m_dTolerance; }
    bool IsGuarded() const { return m_bGuarded; }
    const std::vector<Row>& GetRows() const { return m_vecRows; }
    // Meaningful with a tolerance.
    Conformity::Statement GetStatement() const { return m_statement; }

    // For the notice after a Fit: whether the reference is included, or why
    // no budget was evaluated; empty without a fit.
    wxString DescribeBudget() const;

private:
    CalibrationDetails m_details;
    BudgetState m_budgetState = BudgetState::kNoFit;
    CalibrationBudget m_budget;
    double m_dTolerance = 0;
    bool m_bGuarded = false;
    std::vector<Row> m_vecRows;
    Conformity::Statement m_statement = Conformity::Statement::kNoStatement;
};

#endif
