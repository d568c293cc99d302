#ifndef VARID_CALC_UNCERTAINTYBUDGET_H
#define VARID_CALC_UNCERTAINTYBUDGET_H

#include <cstddef>
#include <vector>

// Standard uncertainties combined in the GUM's manner (JCGM 100): u_c as the
// root sum of squares, the effective degrees of freedom by Welch-Satterthwaite
// (capped), k as Student's t for 95 % at their integer part (G.4.1), U = k u_c.
// Every component's u is in one unit, the budget's own.
class UncertaintyBudget {
public:
    enum class Type { kA, kB };
    // kOffset: a known offset left uncorrected, counted at its full size.
    enum class Distribution { kNormal, kOffset };

    struct Component {
        const char* pszName;  // catalogue key
        Type type;
        Distribution distribution;
        double dU;
        double dDegreesOfFreedom;  // infinity for a component taken as exact
    };

    // Welch-Satterthwaite grows without bound as the Type A terms vanish.
    static constexpr double kMaxDegreesOfFreedom = 1e6;

    UncertaintyBudget() : UncertaintyBudget(std::vector<Component>()) {}
    explicit UncertaintyBudget(std::vector<Component> vecComponents);

    const std::vector<Component>& GetComponents() const { return m_vecComponents; }
    // The component of that name, or null.
    const Component* Find(const char* pszName) const;
    // A component's share of u_c squared, 0 to 1; 0 when u_c is 0.
    double GetShare(size_t nComponent) const;

    double GetCombined() const { return m_dCombined; }
    double GetEffectiveDegreesOfFreedom() const { return m_dDegreesOfFreedom; }
    double GetCoverageFactor() const { return m_dCoverage; }
    double GetExpanded() const { return m_dCoverage * m_dCombined; }
    // False when a component's u is not a finite number of at least 0 or its
    // degrees of freedom are not above 0: u_c, nu_eff, k and U are then NaN.
    bool IsFinite() const { return m_bFinite; }

    // Student's t for a two-sided 95 % at the integer part of nu (at least 1).
    static double CoverageFactor(double dDegreesOfFreedom);
    // A catalogue key, for the certificate's table.
    static const char* DistributionName(Distribution distribution);
    // "A" or "B", as every language writes them.
    static const char* TypeName(Type type);

private:
    std::vector<Component> m_vecComponents;
    double m_dCombined;
    double m_dDegreesOfFreedom;
    double m_dCoverage;
    bool m_bFinite;
};

#endif
