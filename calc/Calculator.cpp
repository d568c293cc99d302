#include "calc/Calculator.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <boost/math/policies/policy.hpp>
#include <boost/math/tools/toms748_solve.hpp>
#include <wx/intl.h>

#include "app/Globals.h"
#include "calc/ErrorReport.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

wxString K3Message() { return wxGetTranslation("Can't find coefficient K3"); }

// Ends the march when the search's budget is spent; the fallback follows.
struct BudgetSpent {};

// The march shared by the strategies once their starting point is set: bound
// test, convergence test, then the step; `upper` is the strict bound of x.
// With bJumpPoles, the first step that reaches the smallest pole restarts just
// above the largest one (between them the equation is undefined).
bool March(Calculator* pCalc, double upper, double x, double prev, double L, double tol,
           bool bJumpPoles = false) {
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

}  // namespace

bool SearchUpToEnd(Calculator* pCalc, double x, double prev, double L, double tol) {
    return March(pCalc, pCalc->m_dSearchTo, x, prev, L, tol);
}

bool SearchAfterPoles(Calculator* pCalc, double /*x*/, double /*prev*/, double L, double tol) {
    const double start = pCalc->m_dPoleMax + pCalc->m_dEps;
    return March(pCalc, pCalc->m_dSearchTo, pCalc->MarchStep(start, L), start, L, tol);
}

bool SearchAcrossPoles(Calculator* pCalc, double x, double prev, double L, double tol) {
    return March(pCalc, pCalc->m_dSearchTo, x, prev, L, tol, true);
}

bool SearchBelowPoles(Calculator* pCalc, double x, double prev, double L, double tol) {
    return March(pCalc, pCalc->m_dPoleMin, x, prev, L, tol);
}

bool SearchImpossible(Calculator*, double, double, double, double) { throw K3Message(); }

Calculator::Calculator()
    : m_dSearchTo(500.0),
      m_dSearchFrom(0.0),
      m_dSearchStep(0.1),
      m_dEps(0.0000001),
      m_dT(0),
      m_dKeff(0),
      m_dDT(0),
      m_t1(0),
      m_t2(0),
      m_t3(0),
      m_p1(0),
      m_p2(0),
      m_p3(0),
      m_k1(0),
      m_k2(0),
      m_k3(0),
      m_dManualK1(0),
      m_dManualK2(0),
      m_dManualK3(0),
      m_dManualKeff(0),
      m_dManualDT(0),
      m_T1(0),
      m_T2(0),
      m_P1(0),
      m_P2(0),
      m_P3(0),
      m_dPoleMax(0),
      m_dPoleMin(0),
      m_nPoleCase(0),
      m_nMarchSteps(0),
      m_dSlopeBound(0) {
    // One slot per scan point (about (b - a) / h of them) and a few spare.
    const size_t nScan = static_cast<size_t>((m_dSearchTo - m_dSearchFrom) / m_dSearchStep) + 4;
    m_vecScanX.reserve(nScan);
    m_vecScanF.reserve(nScan);
    Init();
}

void Calculator::Init() {
    m_vecRealPforCalc.resize(4);
    m_vecFlForCalc.resize(4);
    m_vecFrForCalc.resize(4);
    m_vecFForCalc.resize(4);
    m_vecPoles.resize(3);
    m_mapSearch[0] = SearchUpToEnd;
    m_mapSearch[1] = SearchAfterPoles;
    m_mapSearch[2] = SearchAcrossPoles;
    m_mapSearch[3] = SearchUpToEnd;
    m_mapSearch[4] = SearchBelowPoles;
    m_mapSearch[5] = SearchImpossible;
}

void Calculator::Clear() {
    m_vecRealPforCalc.clear();
    m_vecFlForCalc.clear();
    m_vecFrForCalc.clear();
    m_vecFForCalc.clear();
    m_vecRealP.clear();
    m_vecFl.clear();
    m_vecFr.clear();
    m_vecF.clear();
    m_dT = 0;
    m_dKeff = 0;
    m_dDT = 0;
    m_t1 = m_t2 = m_t3 = 0;
    m_p1 = m_p2 = m_p3 = 0;
    m_k1 = m_k2 = m_k3 = 0;
    Init();
}

namespace {

// Copies the four calibration values; a shorter argument leaves zeros instead
// of reading past its end, so no value of an earlier data set survives.
void CopyFour(const std::vector<double>& from, std::vector<double>& to) {
    for (size_t i = 0; i < 4; ++i) to[i] = i < from.size() ? from[i] : 0.0;
}

}  // namespace

void Calculator::SetRealPforCalc(const std::vector<double>& vec) {
    CopyFour(vec, m_vecRealPforCalc);
}
void Calculator::SetT(const double& dT) { m_dT = dT; }
void Calculator::SetFlForCalc(const std::vector<double>& vec) { CopyFour(vec, m_vecFlForCalc); }
void Calculator::SetFrForCalc(const std::vector<double>& vec) { CopyFour(vec, m_vecFrForCalc); }
void Calculator::SetRealP(const std::vector<double>& vec) { m_vecRealP = vec; }
void Calculator::SetFl(const std::vector<double>& vec) { m_vecFl = vec; }
void Calculator::SetFr(const std::vector<double>& vec) { m_vecFr = vec; }
void Calculator::SetManualK1(double d) { m_dManualK1 = d; }
void Calculator::SetManualK2(double d) { m_dManualK2 = d; }
void Calculator::SetManualK3(double d) { m_dManualK3 = d; }
void Calculator::SetManualKeff(double d) { m_dManualKeff = d; }
void Calculator::SetManualDT(double d) { m_dManualDT = d; }

bool Calculator::Calculate() {
    try {
        CalcPointMeans();
        CalcDeadTimeAndKeff();
        CalcPeriods();
        CalcUncorrectedP();
        CalcAuxiliary();
        FindK3();
        CalcK2();
        CalcK1();
        CalcRowMeans();
        RoundResults();
        CalcCorrectP();
        CalcAccuracy();
    } catch (const wxString& message) {
        ReportError(message);
        return false;
    }
    return true;
}

bool Calculator::CalculateManual() {
    try {
        CalcRowMeans();
        RoundResults();
        CalcManualCorrectP();
        CalcManualAccuracy();
    } catch (const wxString& message) {
        ReportError(message);
        return false;
    }
    return true;
}

double Calculator::Period(double v) { return Period(v, g_nProgramMode); }

double Calculator::Period(double v, int nProgramMode) { return nProgramMode ? v : 1000000 / v; }

double Calculator::CorrectedValue(double x, double dKeff, double k1, double k2, double k3) {
    return (dKeff / x) * (1 - k1 * std::exp(-k2 * x) + k3 / x);
}

void Calculator::CalcPointMeans() {
    AverageReadings(m_vecFlForCalc, m_vecFrForCalc, m_vecFForCalc);
}

void Calculator::CalcDeadTimeAndKeff() {
    m_dDT = Period(m_vecFForCalc[3]) - m_dT;
    m_dKeff = (Period(m_vecFForCalc[0]) - m_dDT) * m_vecRealPforCalc[0];
}

void Calculator::CalcPeriods() {
    m_t1 = Period(m_vecFForCalc[1]) - m_dDT;
    m_t2 = Period(m_vecFForCalc[2]) - m_dDT;
    m_t3 = Period(m_vecFForCalc[3]) - m_dDT;
}

void Calculator::CalcUncorrectedP() {
    m_p1 = m_dKeff / m_t1;
    m_p2 = m_dKeff / m_t2;
    m_p3 = m_dKeff / m_t3;
}

void Calculator::CalcAuxiliary() {
    m_T1 = 1 / (m_t1 - m_t2);
    m_T2 = 1 / (m_t1 - m_t3);
    m_P1 = 1 - m_vecRealPforCalc[1] / m_p1;
    m_P2 = 1 - m_vecRealPforCalc[2] / m_p2;
    m_P3 = 1 - m_vecRealPforCalc[3] / m_p3;
}

double Calculator::K2For(double k3) const {
    return m_T1 * std::log(((m_t2 * m_P2 + k3) * m_t1) / ((m_t1 * m_P1 + k3) * m_t2));
}

double Calculator::K1For(double k2, double k3) const {
    return std::exp(k2 * m_t1) * ((k3 / m_t1 + 1) - m_vecRealPforCalc[1] / m_p1);
}

void Calculator::CalcK2() { m_k2 = K2For(m_k3); }

void Calculator::CalcK1() { m_k1 = K1For(m_k2, m_k3); }

void Calculator::CalcRowMeans() {
    m_vecF.resize(m_vecFl.size());
    AverageReadings(m_vecFl, m_vecFr, m_vecF);
}

void Calculator::RoundResults() {
    m_dDT = RoundTo3(m_dDT);
    m_dKeff = RoundTo3(m_dKeff);
    m_k1 = RoundTo3(m_k1);
    m_k2 = RoundTo3(m_k2);
    m_k3 = RoundTo3(m_k3);
    m_dManualK1 = RoundTo3(m_dManualK1);
    m_dManualK2 = RoundTo3(m_dManualK2);
    m_dManualK3 = RoundTo3(m_dManualK3);
    m_dManualKeff = RoundTo3(m_dManualKeff);
    m_dManualDT = RoundTo3(m_dManualDT);
}

namespace {

// Corrected value of every "Real P0" row by the response model. A row without
// a mean reading (inconsistent input lengths) gets not-a-number instead of a
// read past the end.
void CorrectRows(const std::vector<double>& vecRealP, const std::vector<double>& vecF, double dDT,
                 double dKeff, double k1, double k2, double k3, std::vector<double>& out) {
    out.resize(vecRealP.size());
    for (size_t j = 0; j < out.size(); ++j) {
        const double x = j < vecF.size() ? Calculator::Period(vecF[j]) - dDT : kNaN;
        out[j] = Calculator::CorrectedValue(x, dKeff, k1, k2, k3);
    }
}

void RowAccuracy(const std::vector<double>& vecRealP, const std::vector<double>& vecP,
                 std::vector<double>& out) {
    out.resize(vecRealP.size());
    for (size_t j = 0; j < out.size(); ++j) out[j] = (vecP[j] - vecRealP[j]) / vecRealP[j] * 100;
}

}  // namespace

void Calculator::CalcCorrectP() {
    CorrectRows(m_vecRealP, m_vecF, m_dDT, m_dKeff, m_k1, m_k2, m_k3, m_vecCorrectP);
}

void Calculator::CalcAccuracy() { RowAccuracy(m_vecRealP, m_vecCorrectP, m_vecAccuracy); }

void Calculator::CalcManualCorrectP() {
    CorrectRows(m_vecRealP, m_vecF, m_dManualDT, m_dManualKeff, m_dManualK1, m_dManualK2,
                m_dManualK3, m_vecManualCorrectP);
}

void Calculator::CalcManualAccuracy() {
    RowAccuracy(m_vecRealP, m_vecManualCorrectP, m_vecManualAccuracy);
}

double Calculator::GetKeff() const { return m_dKeff; }
double Calculator::GetDT() const { return m_dDT; }
double Calculator::GetK1() const { return m_k1; }
double Calculator::GetK2() const { return m_k2; }
double Calculator::GetK3() const { return m_k3; }
double Calculator::GetCorrectP(int row) const { return m_vecCorrectP.at(row); }
double Calculator::GetAccuracy(int row) const { return m_vecAccuracy.at(row); }
double Calculator::GetManualCorrectP(int row) const { return m_vecManualCorrectP.at(row); }
double Calculator::GetManualAccuracy(int row) const { return m_vecManualAccuracy.at(row); }

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

namespace {

using RootPolicy = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>>;

// Narrows a sign change of f to adjacent doubles (TOMS 748) and returns the
// end with the smaller |f|, or NaN when the solver gives up.
double RefineRoot(const Calculator& calc, double lo, double hi, double fLo, double fHi) {
    auto f = [&calc](double x) { return calc.K3Equation(x); };
    boost::uintmax_t nMaxIter = 200;
    const std::pair<double, double> bracket = boost::math::tools::toms748_solve(
        f, lo, hi, fLo, fHi, boost::math::tools::eps_tolerance<double>(), nMaxIter, RootPolicy());
    if (!std::isfinite(bracket.first) || !std::isfinite(bracket.second)) return kNaN;
    if (bracket.first == bracket.second) return bracket.first;
    return std::fabs(f(bracket.first)) <= std::fabs(f(bracket.second)) ? bracket.first
                                                                       : bracket.second;
}

// Walks f upwards over [lo, hi]: lo, the scan's points inside, points past the
// scan at the scan's step (each counted in *pCount against the budget when a
// counter is given), then hi. Every exact zero and every sign change between
// neighbouring finite values is refined and handed to onRoot, which returns
// true to end the walk. A pair with a non-finite end is never bridged: the
// equation is undefined between its poles. False when the budget ran out.
template <typename OnRoot>
bool WalkSignChanges(const Calculator& calc, double lo, double hi, int64_t* pCount, OnRoot onRoot) {
    if (!(lo < hi)) return true;
    bool bPrev = false;
    double xPrev = 0, fPrev = 0;
    bool bDone = false;
    auto visit = [&](double x, double fx) {
        if (fx == 0) {
            bDone = onRoot(x);
        } else if (bPrev && std::isfinite(fx) && (fPrev < 0) != (fx < 0)) {
            const double root = RefineRoot(calc, xPrev, x, fPrev, fx);
            if (std::isfinite(root)) bDone = onRoot(root);
        }
        bPrev = std::isfinite(fx);
        xPrev = x;
        fPrev = fx;
    };

    visit(lo, calc.K3Equation(lo));
    const std::vector<double>& vecX = calc.m_vecScanX;
    for (size_t i = 0; i < vecX.size() && !bDone && vecX[i] < hi; ++i)
        if (vecX[i] > lo) visit(vecX[i], calc.m_vecScanF[i]);
    if (!vecX.empty()) {
        const double h = calc.m_dSearchStep;
        for (double x = vecX.back() + h; x < hi && !bDone; x = x + h) {
            if (x <= lo) continue;
            if (pCount && ++*pCount > Calculator::MAX_MARCH_STEPS) return false;
            visit(x, calc.K3Equation(x));
        }
    }
    if (!bDone) visit(hi, calc.K3Equation(hi));
    return true;
}

}  // namespace

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
            WalkSignChanges(*this, regions[r][0], regions[r][1], &m_nMarchSteps, [&](double x) {
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
        WalkSignChanges(*this, lo, p - m_dEps, nullptr, onRoot);
        lo = p + m_dEps;
    }
    WalkSignChanges(*this, lo, m_dSearchTo, nullptr, onRoot);
    return vecRoots;
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

double Calculator::RoundTo3(double v) {
    // Text and reading back share the current locale, so the decimal
    // separator round-trips; a text that cannot be read gives 0.
    double d = 0;
    wxString::Format("%.3f", v).ToDouble(&d);
    return d;
}

void Calculator::AverageReadings(const std::vector<double>& a, const std::vector<double>& b,
                                 std::vector<double>& out) {
    // Only the indices present in all three: inconsistent lengths must not
    // read or write past an end.
    size_t n = a.size();
    if (b.size() < n) n = b.size();
    if (out.size() < n) n = out.size();
    for (size_t i = 0; i < n; ++i) out[i] = (a[i] + b[i]) / 2;
}
