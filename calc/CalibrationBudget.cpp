#include "calc/CalibrationBudget.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include <wx/intl.h>

#include "calc/Calculator.h"

const char CalibrationBudget::kReference[] = wxTRANSLATE("Reference values (Real P0)");
const char CalibrationBudget::kScatter[] = wxTRANSLATE("Scatter of the rows about the model");
const char CalibrationBudget::kFit[] = wxTRANSLATE("Least-squares fit");
const char CalibrationBudget::kOffset[] =
    wxTRANSLATE("Offset of the set from the least-squares values");

namespace {

using Component = UncertaintyBudget::Component;
using Type = UncertaintyBudget::Type;
using Distribution = UncertaintyBudget::Distribution;

const double kInf = std::numeric_limits<double>::infinity();

// The reference's term: Type B, normal, taken as exact.
Component Reference(double dU) {
    return {CalibrationBudget::kReference, Type::kB, Distribution::kNormal, dU, kInf};
}

}  // namespace

bool CalibrationBudget::Evaluate(const CalibrationFit& fit, double dReferencePercent) {
    *this = CalibrationBudget();
    m_fit = fit;
    m_dReferencePercent = dReferencePercent;
    const double nu = fit.GetDegreesOfFreedom();

    std::vector<Component> vecDeviation;
    if (IsReferenceIncluded()) vecDeviation.push_back(Reference(m_dReferencePercent));
    vecDeviation.push_back(
        {kScatter, Type::kA, Distribution::kNormal, fit.GetResidualPercent(), nu});
    m_deviation = UncertaintyBudget(std::move(vecDeviation));
    bool bFinite = fit.IsCovarianceDetermined() && m_deviation.IsFinite();

    for (double dPeriod : fit.GetRowPeriods()) {
        m_vecRows.push_back(AtPeriod(dPeriod));
        const UncertaintyBudget& row = m_vecRows.back();
        bFinite = bFinite && row.IsFinite();
        if (m_nLargestRow < 0 || row.GetExpanded() > m_vecRows[m_nLargestRow].GetExpanded())
            m_nLargestRow = static_cast<int>(m_vecRows.size()) - 1;
    }
    const std::vector<double>& vecRealP = fit.GetRowReferences();
    if (!vecRealP.empty()) {
        const auto range = std::minmax_element(vecRealP.begin(), vecRealP.end());
        m_dLowestReference = *range.first;
        m_dHighestReference = *range.second;
    }

    for (int j = 0; j < CalibrationFit::kValues; ++j) {
        std::vector<Component> vecValue = {
            {kFit, Type::kA, Distribution::kNormal, fit.GetStandardUncertainty()[j], nu}};
        if (j == CalibrationFit::kKeff && IsReferenceIncluded())
            vecValue.push_back(Reference(m_dReferencePercent * std::fabs(fit.GetSet()[j]) / 100));
        m_arrValues[j] = UncertaintyBudget(std::move(vecValue));
        bFinite = bFinite && m_arrValues[j].IsFinite();
    }

    if (!bFinite) *this = CalibrationBudget();
    return m_bEvaluated = bFinite;
}

UncertaintyBudget CalibrationBudget::CorrectedValueAt(double dReading, int nProgramMode) const {
    return AtPeriod(Calculator::Period(dReading, nProgramMode));
}

UncertaintyBudget CalibrationBudget::AtPeriod(double dPeriod) const {
    using V = CalibrationFit;
    const CalibrationFit::Values& set = m_fit.GetSet();
    const CalibrationFit::Values& lsq = m_fit.GetUnrounded();
    // Each line with its own dead time, the set's as Set corrects the rows.
    const double dSet = std::fabs(Calculator::CorrectedValue(
        dPeriod - set[V::kDeadTime], set[V::kKeff], set[V::kK1], set[V::kK2], set[V::kK3]));
    const double dFit = CalibrationFit::Model(lsq, dPeriod - lsq[V::kDeadTime]);
    std::vector<Component> vecComponents = {
        {kFit, Type::kA, Distribution::kNormal,
         100 * m_fit.StandardUncertaintyAtPeriod(dPeriod) / dSet,
         static_cast<double>(m_fit.GetDegreesOfFreedom())},
        // A known offset that is not corrected, counted at its full size.
        {kOffset, Type::kB, Distribution::kOffset, 100 * std::fabs(dSet - dFit) / dSet, kInf}};
    if (IsReferenceIncluded()) vecComponents.push_back(Reference(m_dReferencePercent));
    return UncertaintyBudget(std::move(vecComponents));
}
