#include "calc/UncertaintyBudget.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include <boost/math/distributions/students_t.hpp>
#include <wx/intl.h>

UncertaintyBudget::UncertaintyBudget(std::vector<Component> vecComponents)
    : m_vecComponents(std::move(vecComponents)), m_bFinite(true) {
    double dSquares = 0, dQuartics = 0;
    for (const Component& c : m_vecComponents) {
        m_bFinite = m_bFinite && std::isfinite(c.dU) && c.dU >= 0 && c.dDegreesOfFreedom > 0;
        const double u2 = c.dU * c.dU;
        dSquares += u2;
        if (std::isfinite(c.dDegreesOfFreedom)) dQuartics += u2 * u2 / c.dDegreesOfFreedom;
    }
    if (!m_bFinite) {
        m_dCombined = m_dDegreesOfFreedom = m_dCoverage = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    m_dCombined = std::sqrt(dSquares);
    // No term with finite degrees of freedom, or none above 0: the cap.
    m_dDegreesOfFreedom = dQuartics > 0
                              ? std::min(dSquares * dSquares / dQuartics, kMaxDegreesOfFreedom)
                              : kMaxDegreesOfFreedom;
    m_dCoverage = CoverageFactor(m_dDegreesOfFreedom);
}

const UncertaintyBudget::Component* UncertaintyBudget::Find(const char* pszName) const {
    for (const Component& c : m_vecComponents)
        if (std::strcmp(c.pszName, pszName) == 0) return &c;
    return nullptr;
}

double UncertaintyBudget::GetShare(size_t nComponent) const {
    const double u = m_vecComponents.at(nComponent).dU;
    return m_dCombined > 0 ? u * u / (m_dCombined * m_dCombined) : 0;
}

double UncertaintyBudget::CoverageFactor(double dDegreesOfFreedom) {
    auto quantile = [](double nu) {
        return boost::math::quantile(boost::math::students_t_distribution<double>(nu), 0.975);
    };
    // The cap is the common case of Type B budgets: worked out once.
    static const double dCapped = quantile(kMaxDegreesOfFreedom);
    const double nu = std::max(1.0, std::floor(dDegreesOfFreedom));
    return nu >= kMaxDegreesOfFreedom ? dCapped : quantile(nu);
}

const char* UncertaintyBudget::DistributionName(Distribution distribution) {
    return distribution == Distribution::kNormal ? wxTRANSLATE("normal")
                                                 : wxTRANSLATE("uncorrected offset, full size");
}

const char* UncertaintyBudget::TypeName(Type type) { return type == Type::kA ? "A" : "B"; }
