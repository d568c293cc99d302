#ifndef VARID_CALC_CALIBRATIONBUDGET_H
#define VARID_CALC_CALIBRATIONBUDGET_H

#include <array>
#include <vector>

#include "calc/CalibrationFit.h"
#include "calc/UncertaintyBudget.h"

// The uncertainty budgets of a calibration whose final values are a fit's
// set, in percent of the value concerned except where said:
// - the deviation at a row, one budget for every row: the reference's own
//   uncertainty and the scatter of the rows about the model;
// - the corrected value at a reading: the fit's uncertainty propagated
//   through the model, the offset of the set's line from the least-squares
//   line, and the reference;
// - each of the five values, in its own unit: the fit's standard
//   uncertainty, and for Keff the reference, whose scale error scales Keff
//   and leaves the other four unchanged.
class CalibrationBudget {
public:
    // The components' names, catalogue keys.
    static const char kReference[];
    static const char kScatter[];
    static const char kFit[];
    static const char kOffset[];

    // dReferencePercent is the reference's relative standard uncertainty,
    // 0 when none is given. False, and no budget, when the fit's covariance
    // is undetermined or a term comes out as no finite number.
    bool Evaluate(const CalibrationFit& fit, double dReferencePercent);

    bool IsEvaluated() const { return m_bEvaluated; }
    bool IsReferenceIncluded() const { return m_dReferencePercent > 0; }
    double GetReferencePercent() const { return m_dReferencePercent; }

    const UncertaintyBudget& GetDeviation() const { return m_deviation; }
    // The corrected value at every row of the fit, in its rows' order, and
    // the index of the one with the largest U.
    const std::vector<UncertaintyBudget>& GetRowBudgets() const { return m_vecRows; }
    int GetLargestRow() const { return m_nLargestRow; }
    // The span of the rows' reference values.
    double GetLowestReference() const { return m_dLowestReference; }
    double GetHighestReference() const { return m_dHighestReference; }
    // In the order of CalibrationFit::Value.
    const std::array<UncertaintyBudget, CalibrationFit::kValues>& GetValueBudgets() const {
        return m_arrValues;
    }

    // The corrected value's budget at any reading, as at the rows (the
    // plot's band); its components may not be finite outside the rows' span.
    UncertaintyBudget CorrectedValueAt(double dReading, int nProgramMode) const;

private:
    UncertaintyBudget AtPeriod(double dPeriod) const;

    CalibrationFit m_fit;
    double m_dReferencePercent = 0;
    bool m_bEvaluated = false;
    UncertaintyBudget m_deviation;
    std::vector<UncertaintyBudget> m_vecRows;
    int m_nLargestRow = -1;
    double m_dLowestReference = 0, m_dHighestReference = 0;
    std::array<UncertaintyBudget, CalibrationFit::kValues> m_arrValues;
};

#endif
