// The K3 search: slope bound, poles, the strategy of their
// layout and its march with eight attempts.
#include <cmath>
#include <limits>

#include <wx/intl.h>

#include "calc/Calculator.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

wxString K3Message() { return wxGetTranslation("Can't find coefficient K3"); }

// Ends the march when the search's budget is spent; the fallback follows.
struct BudgetSpent {};

}  // namespace

// Bound test, convergence test, then the step; between the poles the
// equation is undefined.
bool Calculator::March(Calculator* pCalc, double upper, double x, double prev, double L, double tol,
                       bool bJumpPoles) {
    for (;;) {
        if (!(upper > x)) return false;
        if (x - prev < tol) {
            pCalc->m_k3 = x;
            return true;
        }
        prev = x;
        x = pCalc->MarchStep(prev, L);
        if (bJumpPoles && x >= pCalc->m_dPoleMin) {
            bJumpPoles = false;
            prev = pCalc->m_dPoleMax + pCalc->m_dEps;
            x = pCalc->MarchStep(prev, L);
        }
    }
}

bool SearchUpToEnd(Calculator* pCalc, double x, double prev, double L, double tol) {
    return Calculator::March(pCalc, pCalc->m_dSearchTo, x, prev, L, tol);
}

bool SearchAfterPoles(Calculator* pCalc, double /*x*/, double /*prev*/, double L, double tol) {
    const double start = pCalc->m_dPoleMax + pCalc->m_dEps;
    return Calculator::March(pCalc, pCalc->m_dSearchTo, pCalc->MarchStep(start, L), start, L, tol);
}

bool SearchAcrossPoles(Calculator* pCalc, double x, double prev, double L, double tol) {
    return Calculator::March(pCalc, pCalc->m_dSearchTo, x, prev, L, tol, true);
}

bool SearchBelowPoles(Calculator* pCalc, double x, double prev, double L, double tol) {
    return Calculator::March(pCalc, pCalc->m_dPoleMin, x, prev, L, tol);
}

bool SearchImpossible(Calculator*, double, double, double, double) { throw K3Message(); }

double Calculator::K3Equation(double x) const {
    return m_T1 * std::log(((m_t2 * m_P2 + x) * m_t1) / ((m_t1 * m_P1 + x) * m_t2)) -
           m_T2 * std::log(((m_t3 * m_P3 + x) * m_t1) / ((m_t1 * m_P1 + x) * m_t3));
}

double Calculator::EstimateSlope() {
    m_vecScanX.clear();
    m_vecScanF.clear();
    double max = 0;
    double x = m_dSearchFrom;
    // f(x + h) of one scan point is f(x) of the next (the running sum adds
    // the same h), so each point costs one evaluation with the same result.
    double fx = K3Equation(x);
    while (m_dSearchTo >= x) {
        m_vecScanX.push_back(x);
        m_vecScanF.push_back(fx);
        const double fNext = K3Equation(x + m_dSearchStep);
        const double s = std::fabs(fNext - fx) / m_dSearchStep;
        if (max < s) max = s;
        x = x + m_dSearchStep;
        fx = fNext;
    }
    return 1.25 * max;
}

void Calculator::FindPoles() {
    m_vecPoles[0] = -m_t1 * m_P1;
    m_vecPoles[1] = -m_t2 * m_P2;
    m_vecPoles[2] = -m_t3 * m_P3;
    if (std::isnan(m_vecPoles[0]) || std::isnan(m_vecPoles[1]) || std::isnan(m_vecPoles[2])) {
        // An undefined pole makes the whole layout undefined.
        m_dPoleMax = m_dPoleMin = kNaN;
        return;
    }
    m_dPoleMax = m_dPoleMin = m_vecPoles[0];
    for (int i = 1; i < 3; ++i) {
        if (m_vecPoles[i] > m_dPoleMax) m_dPoleMax = m_vecPoles[i];
        if (m_vecPoles[i] < m_dPoleMin) m_dPoleMin = m_vecPoles[i];
    }
}

void Calculator::ClassifyPoles() {
    const double a = m_dSearchFrom;
    const double b = m_dSearchTo;
    const double pmax = m_dPoleMax;
    const double pmin = m_dPoleMin;
    if (a > pmin && a >= pmax) {
        m_nPoleCase = 0;
    } else if (a >= pmin && a < pmax && pmax < b) {
        m_nPoleCase = 1;
    } else if (a < pmin && pmax < b) {
        m_nPoleCase = 2;
    } else if (a < pmin && pmin < b && b < pmax) {
        m_nPoleCase = 3;
    } else if (b < pmin) {
        m_nPoleCase = 4;
    } else {
        m_nPoleCase = 5;
    }
}

double Calculator::MarchStep(double prev, double L) {
    if (++m_nMarchSteps > MAX_MARCH_STEPS) throw BudgetSpent();
    return prev + std::fabs(K3Equation(prev)) / L;
}

bool Calculator::IsRoot(double x, double L) const {
    // A loosened tolerance stops wherever one step is short, root or not;
    // only a point whose next step is below the first tolerance is a root. An
    // infinite slope bound makes every step zero.
    return std::isfinite(L) && std::fabs(K3Equation(x)) / L < m_dEps;
}

bool Calculator::MarchForK3(SearchStrategy search, double L) {
    try {
        double tol = m_dEps;
        const double x0 = m_dSearchFrom;
        const double x1 = MarchStep(x0, L);
        for (int attempt = 0; attempt < 8; ++attempt) {
            if (search(this, x1, x0, L, tol)) return IsRoot(m_k3, L);
            tol = tol * 10;
        }
    } catch (const BudgetSpent&) {
    }
    return false;
}

void Calculator::FindK3() {
    const double L = EstimateSlope();
    if (!(m_dSearchTo > m_dSearchFrom && L > 0))
        throw wxString(wxGetTranslation("Can't find decision"));
    m_dSlopeBound = L;
    FindPoles();
    ClassifyPoles();
    const SearchStrategy search = m_mapSearch.at(m_nPoleCase);

    m_nMarchSteps = 0;
    const double dOldK3 = m_k3;
    // The march comes first: where it finds a root, the result is exactly
    // what it always was. Where it fails, its step budget ran out, or it stopped
    // on a point that is no root, the root it was after is bracketed instead.
    if (MarchForK3(search, L)) return;
    m_k3 = dOldK3;
    if (BracketK3(L)) return;
    // Going on with the K3 of an earlier data set would show coefficients
    // that do not belong to this one.
    m_k3 = dOldK3;
    throw K3Message();
}
