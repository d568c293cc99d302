#ifndef VARID_CALC_CALIBRATIONFIT_H
#define VARID_CALC_CALIBRATIONFIT_H

#include <array>
#include <vector>

#include <wx/string.h>

class Calculator;

// The five values fitted to every complete row, ticked or not: least squares
// of the relative deviations (P(x) - R) / R through the engine's own model and
// period conversion, by MINPACK's Levenberg-Marquardt with the analytic
// Jacobian, then moved onto the grid of the manual boxes. Uncertainties in the
// GUM's manner: the covariance from the Jacobian at the least-squares end,
// scaled by the residual variance, expanded with Student's t for 95 %.
class CalibrationFit {
public:
    enum Value { kDeadTime, kKeff, kK1, kK2, kK3, kValues };
    using Values = std::array<double, kValues>;
    // One more row than values, so that a residual remains to judge the fit.
    static constexpr int kMinRows = kValues + 1;

    // calc holds the inputs of a Count (its seven setters) and is not changed.
    // The starts come from the Count's own preparation: its unrounded result,
    // every other root of the K3 equation, or, where the K3 search fails, the
    // dead time and Keff with K1 = K2 = K3 = 0. False with GetError() when
    // refused or failed; the results of an earlier Run then stay as they were.
    bool Run(const Calculator& calc);

    const wxString& GetError() const { return m_strError; }

    // The least-squares end, and the set on the boxes' grid (Keff with one
    // decimal, the others with three) whose rows, as Set computes them, have
    // the smallest sum of squares among its neighbours.
    const Values& GetUnrounded() const { return m_unrounded; }
    const Values& GetSet() const { return m_set; }
    const Values& GetStandardUncertainty() const { return m_u; }
    const Values& GetExpandedUncertainty() const { return m_U; }
    // Student's t for 95 % at the degrees of freedom.
    double GetCoverageFactor() const { return m_dCoverage; }
    // The residual standard deviation s, in percent of the reference values.
    double GetResidualPercent() const { return m_dResidualPercent; }
    int GetRows() const { return m_nRows; }
    int GetDegreesOfFreedom() const { return m_nRows - kValues; }
    // The rows the fit ran over: the period of each row's mean reading (the
    // dead time not yet taken off) and its reference value.
    const std::vector<double>& GetRowPeriods() const { return m_vecPeriod; }
    const std::vector<double>& GetRowReferences() const { return m_vecRealP; }
    // False when the rows do not determine every value: the covariance, and
    // every uncertainty from it, is then infinite.
    bool IsCovarianceDetermined() const { return m_bDetermined; }
    int GetStartCount() const { return m_nStarts; }

    // The least-squares model's corrected value at a reading, and its U
    // propagated through the model from the covariance.
    double ValueAt(double dReading, int nProgramMode) const;
    double ExpandedUncertaintyAt(double dReading, int nProgramMode) const;
    // The standard uncertainty of the least-squares model's corrected value
    // at a period of a reading (the dead time not yet taken off).
    double StandardUncertaintyAtPeriod(double dPeriod) const;

    // The model and its gradient in the five values at a dead-time-free
    // period (through Calculator::CorrectedValue).
    static double Model(const Values& v, double dPeriod, Values* pGradient = nullptr);

private:
    wxString m_strError;
    Values m_unrounded{};
    Values m_set{};
    Values m_u{};
    Values m_U{};
    std::array<Values, kValues> m_covariance{};
    double m_dCoverage = 0;
    double m_dResidualPercent = 0;
    int m_nRows = 0;
    int m_nStarts = 0;
    bool m_bDetermined = false;
    std::vector<double> m_vecPeriod, m_vecRealP;
};

#endif
