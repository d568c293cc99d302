// The fallback of the K3 search and the listing of the other roots: sign
// changes of the K3 equation, refined to full precision.
#include <algorithm>
#include <cmath>
#include <limits>

#include <boost/math/policies/policy.hpp>
#include <boost/math/tools/toms748_solve.hpp>

#include "calc/Calculator.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

using RootPolicy = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>>;

// Narrows a sign change of f to adjacent doubles (TOMS 748) and returns the
// end with the smaller |f|, or NaN when the solver gives up.
template <typename F>
double RefineRoot(F f, double lo, double hi, double fLo, double fHi) {
    boost::uintmax_t nMaxIter = 200;
    const std::pair<double, double> bracket = boost::math::tools::toms748_solve(
        f, lo, hi, fLo, fHi, boost::math::tools::eps_tolerance<double>(), nMaxIter, RootPolicy());
    if (!std::isfinite(bracket.first) || !std::isfinite(bracket.second)) return kNaN;
    if (bracket.first == bracket.second) return bracket.first;
    return std::fabs(f(bracket.first)) <= std::fabs(f(bracket.second)) ? bracket.first
                                                                       : bracket.second;
}

}  // namespace

// Walks f upwards over [lo, hi]: lo, the scan's points inside, points past the
// scan at the scan's step (each counted in *pCount against the budget when a
// counter is given), then hi. Every exact zero and every sign change between
// neighbouring finite values is refined and handed to onRoot, which returns
// true to end the walk. A pair with a non-finite end is never bridged: the
// equation is undefined between its poles. False when the budget ran out.
template <typename OnRoot>
bool Calculator::WalkSignChanges(double lo, double hi, int64_t* pCount, OnRoot onRoot) const {
    auto f = [this](double x) { return K3Equation(x); };
    if (!(lo < hi)) return true;
    bool bPrev = false;
    double xPrev = 0, fPrev = 0;
    bool bDone = false;
    auto visit = [&](double x, double fx) {
        if (fx == 0) {
            bDone = onRoot(x);
        } else if (bPrev && std::isfinite(fx) && (fPrev < 0) != (fx < 0)) {
            const double root = RefineRoot(f, xPrev, x, fPrev, fx);
            if (std::isfinite(root)) bDone = onRoot(root);
        }
        bPrev = std::isfinite(fx);
        xPrev = x;
        fPrev = fx;
    };

    visit(lo, K3Equation(lo));
    const std::vector<double>& vecX = m_vecScanX;
    for (size_t i = 0; i < vecX.size() && !bDone && vecX[i] < hi; ++i)
        if (vecX[i] > lo) visit(vecX[i], m_vecScanF[i]);
    if (!vecX.empty()) {
        const double h = m_dSearchStep;
        for (double x = vecX.back() + h; x < hi && !bDone; x = x + h) {
            if (x <= lo) continue;
            if (pCount && ++*pCount > Calculator::MAX_MARCH_STEPS) return false;
            visit(x, K3Equation(x));
        }
    }
    if (!bDone) visit(hi, K3Equation(hi));
    return true;
}

bool Calculator::BracketK3(double L) {
    if (!std::isfinite(L)) return false;
    const double a = m_dSearchFrom;
    const double b = m_dSearchTo;
    // The regions the layout's strategy marches through, in its order; a
    // region that begins or ends at a pole keeps ε away from it.
    double regions[2][2];
    int nRegions = 1;
    switch (m_nPoleCase) {
        case 0:
            regions[0][0] = m_dPoleMax == a ? a + m_dEps : a;
            regions[0][1] = b;
            break;
        case 1:
            regions[0][0] = m_dPoleMax + m_dEps;
            regions[0][1] = b;
            break;
        case 2:
            regions[0][0] = a;
            regions[0][1] = m_dPoleMin - m_dEps;
            regions[1][0] = m_dPoleMax + m_dEps;
            regions[1][1] = b;
            nRegions = 2;
            break;
        case 3:
        case 4:  // past b, as the march below the poles may go
            regions[0][0] = a;
            regions[0][1] = m_dPoleMin - m_dEps;
            break;
        default:
            return false;
    }
    bool bFound = false;
    for (int r = 0; r < nRegions && !bFound; ++r) {
        const bool bInBudget =
            WalkSignChanges(regions[r][0], regions[r][1], &m_nMarchSteps, [&](double x) {
                if (!IsRoot(x, L)) return false;
                m_k3 = x;
                bFound = true;
                return true;
            });
        if (!bInBudget) return false;
    }
    return bFound;
}

std::vector<Calculator::Root> Calculator::ListOtherRoots() const {
    std::vector<Root> vecRoots;
    const double L = m_dSlopeBound;
    auto onRoot = [&](double x) {
        if (!IsRoot(x, L) || std::fabs(x - m_k3) <= 0.001) return false;
        const double k2 = K2For(x);
        const double k1 = K1For(k2, x);
        if (std::isfinite(k2) && std::isfinite(k1)) vecRoots.push_back({x, k2, k1});
        return false;
    };
    // Every pole inside [a, b] ends one region ε below it and begins the next
    // ε above it, as in the bracketing fallback: a sign change right beside a
    // pole would otherwise cancel out within one step of the walk.
    std::vector<double> vecPoles;
    for (double p : m_vecPoles)
        if (p > m_dSearchFrom && p < m_dSearchTo) vecPoles.push_back(p);
    std::sort(vecPoles.begin(), vecPoles.end());
    double lo = m_dSearchFrom;
    for (double p : vecPoles) {
        WalkSignChanges(lo, p - m_dEps, nullptr, onRoot);
        lo = p + m_dEps;
    }
    WalkSignChanges(lo, m_dSearchTo, nullptr, onRoot);
    return vecRoots;
}
