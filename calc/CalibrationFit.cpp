#include "calc/CalibrationFit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include <boost/math/distributions/students_t.hpp>
#include <cminpack-1/cminpack.h>
#include <wx/intl.h>

#include "calc/Calculator.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// The rows the fit runs over: the period of each row's mean reading and its
// reference value.
struct Rows {
    std::vector<double> vecPeriod, vecRealP;
};

int EvaluateRows(void* p, int m, int /*n*/, const double* x, double* fvec, double* fjac, int ldfjac,
                 int iflag) {
    const Rows& rows = *static_cast<const Rows*>(p);
    const CalibrationFit::Values v{x[0], x[1], x[2], x[3], x[4]};
    CalibrationFit::Values g;
    for (int i = 0; i < m; ++i) {
        const double r = rows.vecRealP[i];
        const double value = CalibrationFit::Model(v, rows.vecPeriod[i] - v[0], &g);
        if (iflag == 1) fvec[i] = (value - r) / r;
        if (iflag == 2)
            for (int j = 0; j < CalibrationFit::kValues; ++j) fjac[i + j * ldfjac] = g[j] / r;
    }
    return 0;
}

double SumOfSquares(const std::vector<double>& vec) {
    double s = 0;
    for (double d : vec) s += d * d;
    return s;
}

// One Levenberg-Marquardt run from a start; false when it does not converge
// or ends on values or a sum that are not finite.
bool Minimise(Rows& rows, CalibrationFit::Values& io, double& dSum) {
    const int m = static_cast<int>(rows.vecRealP.size());
    const int n = CalibrationFit::kValues;
    std::vector<double> fvec(m), fjac(m * n), wa4(m);
    double diag[n], qtf[n], wa1[n], wa2[n], wa3[n];
    int ipvt[n];
    int nfev = 0, njev = 0;
    double x[n];
    for (int j = 0; j < n; ++j) {
        if (!std::isfinite(io[j])) return false;
        x[j] = io[j];
    }
    // A good start converges within a few dozen calls; one that needs
    // hundreds is crawling along the valley where K2 goes to 0.
    const int info =
        lmder(EvaluateRows, &rows, m, n, x, fvec.data(), fjac.data(), m, 1e-14, 1e-13, 0,
              50 * (n + 1), diag, 1, 100, 0, &nfev, &njev, ipvt, qtf, wa1, wa2, wa3, wa4.data());
    // 1 to 4: a tolerance is met; 6 to 8: no better point exists in double
    // precision. 0 (bad input), 5 (calls spent) and user stops are failures.
    if (!(info >= 1 && info <= 4) && !(info >= 6 && info <= 8)) return false;
    EvaluateRows(&rows, m, n, x, fvec.data(), nullptr, m, 1);
    dSum = SumOfSquares(fvec);
    for (int j = 0; j < n; ++j) {
        if (!std::isfinite(x[j])) return false;
        io[j] = x[j];
    }
    return std::isfinite(dSum);
}

// A value as its box shows it and Set reads it back. The C library's own
// formatting and reading round exactly as the toolkit's, which calls them,
// without the text conversions the descent cannot afford.
double OnGrid(double v, CalibrationFit::Value which) {
    char text[64];
    if (std::snprintf(text, sizeof text, which == CalibrationFit::kKeff ? "%.1f" : "%.3f", v) >=
        static_cast<int>(sizeof text))
        return kNaN;
    return std::strtod(text, nullptr);
}

// The sum of squares of the rows exactly as Set computes them: each row's
// corrected value by the engine's model at its period less the dead time, its
// accuracy in percent. Values already on the boxes' grid are what the
// engine's three-decimal rounding leaves unchanged, so that step is left out.
double SetSumOfSquares(const Rows& rows, const CalibrationFit::Values& v) {
    double s = 0;
    for (size_t k = 0; k < rows.vecRealP.size(); ++k) {
        const double r = rows.vecRealP[k];
        const double p = Calculator::CorrectedValue(
            rows.vecPeriod[k] - v[CalibrationFit::kDeadTime], v[CalibrationFit::kKeff],
            v[CalibrationFit::kK1], v[CalibrationFit::kK2], v[CalibrationFit::kK3]);
        const double d = (p - r) / r * 100;
        s += d * d;
    }
    return std::isnan(s) ? kInf : s;
}

}  // namespace

double CalibrationFit::Model(const Values& v, double dPeriod, Values* pGradient) {
    const double x = dPeriod;
    const double keff = v[kKeff], k1 = v[kK1], k2 = v[kK2], k3 = v[kK3];
    const double value = Calculator::CorrectedValue(x, keff, k1, k2, k3);
    if (pGradient) {
        const double e = std::exp(-k2 * x);
        Values& g = *pGradient;
        // The period falls as the dead time grows: d/dDT = -d/dx.
        g[kDeadTime] =
            keff / (x * x) - keff * k1 * e * (k2 / x + 1 / (x * x)) + 2 * keff * k3 / (x * x * x);
        g[kKeff] = (1 - k1 * e + k3 / x) / x;
        g[kK1] = -keff / x * e;
        g[kK2] = keff * k1 * e;
        g[kK3] = keff / (x * x);
    }
    return value;
}

bool CalibrationFit::Run(const Calculator& calc) {
    m_strError.clear();
    Rows rows;
    rows.vecRealP = calc.GetRealP();
    rows.vecPeriod = calc.GetRowPeriods();
    rows.vecRealP.resize(std::min(rows.vecRealP.size(), rows.vecPeriod.size()));
    const int n = static_cast<int>(rows.vecRealP.size());
    if (n < kMinRows) {
        m_strError = wxString::Format(_("The fit needs at least 6 complete rows (%d given)."), n);
        return false;
    }

    // The starts, from the Count's preparation on a copy.
    std::vector<Values> vecStarts;
    Calculator prep = calc;
    const bool bCounted = prep.CountUnrounded();
    const double dt = prep.GetDT(), keff = prep.GetKeff();
    if (bCounted) {
        vecStarts.push_back({dt, keff, prep.GetK1(), prep.GetK2(), prep.GetK3()});
        for (const Calculator::Root& root : prep.ListOtherRoots())
            vecStarts.push_back({dt, keff, root.k1, root.k2, root.k3});
    }
    // A K3 search that failed, or a root whose K2 or K1 is not finite.
    bool bFiniteStart = false;
    for (const Values& v : vecStarts)
        bFiniteStart = bFiniteStart ||
                       std::all_of(v.begin(), v.end(), [](double d) { return std::isfinite(d); });
    if (!bFiniteStart) vecStarts.push_back({dt, keff, 0, 0, 0});
    // The Count's roots may all lie in the valley where K2 goes to 0 and Keff
    // and K1 grow without end; starts across the usual decades of K2 keep the
    // fit out of it.
    for (double k2 : {0.001, 0.003, 0.01, 0.03, 0.1, 0.3})
        vecStarts.push_back({dt, keff, 0.5, k2, 0});

    bool bFound = false;
    Values best{};
    double dBestSum = kInf;
    for (const Values& start : vecStarts) {
        Values v = start;
        double dSum = kInf;
        if (Minimise(rows, v, dSum) && (!bFound || dSum < dBestSum)) {
            bFound = true;
            best = v;
            dBestSum = dSum;
        }
    }
    const wxString strNoConvergence = _("The fit did not converge: no values were changed.");
    if (!bFound) {
        m_strError = strNoConvergence;
        return false;
    }

    // Onto the boxes' grid, then one value at a time by steps of its last
    // decimal while the rows' sum of squares falls, until no single step of
    // any value lowers it. A value far from its best (Keff moves by 0.1 on
    // hundreds of thousands) goes there in doubling strides, each of which
    // must lower the sum as well.
    Values set;
    for (int j = 0; j < kValues; ++j) set[j] = OnGrid(best[j], static_cast<Value>(j));
    double dSetSum = SetSumOfSquares(rows, set);
    bool bMoved = true;
    for (int nPass = 0; bMoved && nPass < 10000; ++nPass) {
        bMoved = false;
        for (int j = 0; j < kValues; ++j) {
            const Value which = static_cast<Value>(j);
            const double step = j == kKeff ? 0.1 : 0.001;
            for (double sign : {-1.0, 1.0}) {
                double stride = 1;
                for (;;) {
                    Values trial = set;
                    trial[j] = OnGrid(set[j] + sign * stride * step, which);
                    const double dSum = SetSumOfSquares(rows, trial);
                    if (dSum < dSetSum) {
                        set = trial;
                        dSetSum = dSum;
                        bMoved = true;
                        stride *= 2;
                    } else if (stride > 1) {
                        stride = 1;
                    } else {
                        break;
                    }
                }
            }
        }
    }
    if (!std::all_of(set.begin(), set.end(), [](double d) { return std::isfinite(d); }) ||
        !std::isfinite(dSetSum)) {
        m_strError = strNoConvergence;
        return false;
    }

    // The covariance: (J^T J)^-1 from MINPACK's QR factorisation of the
    // Jacobian at the least-squares end, its columns scaled to unit length
    // first so that values of very different size do not pass for a rank
    // deficiency; a value the rows do not determine gets an infinite one.
    const int nv = kValues;
    std::vector<double> fjac(n * nv), fvec(n);
    EvaluateRows(&rows, n, nv, best.data(), fvec.data(), fjac.data(), n, 2);
    double norms[kValues], rdiag[kValues], acnorm[kValues], wa[kValues];
    int ipvt[kValues];
    bool bDetermined = true;
    for (int j = 0; j < nv; ++j) {
        norms[j] = enorm(n, &fjac[j * n]);
        if (!(norms[j] > 0) || !std::isfinite(norms[j])) {
            bDetermined = false;
            norms[j] = 1;
        }
        for (int i = 0; i < n; ++i) fjac[i + j * n] /= norms[j];
    }
    qrfac(n, nv, fjac.data(), n, 1, ipvt, nv, rdiag, acnorm, wa);
    const double dRankTol = 1e-13;
    for (int j = 0; j < nv; ++j) {
        if (!(std::fabs(rdiag[j]) > dRankTol * std::fabs(rdiag[0]))) bDetermined = false;
        fjac[j + j * n] = rdiag[j];
    }
    covar(nv, fjac.data(), n, ipvt, dRankTol, wa);

    const int nu = n - kValues;
    const double s2 = dBestSum / nu;
    m_unrounded = best;
    m_set = set;
    m_nRows = n;
    m_nStarts = static_cast<int>(vecStarts.size());
    m_bDetermined = bDetermined;
    m_vecPeriod = rows.vecPeriod;
    m_vecRealP = rows.vecRealP;
    m_dResidualPercent = 100 * std::sqrt(s2);
    m_dCoverage = boost::math::quantile(boost::math::students_t_distribution<double>(nu), 0.975);
    for (int i = 0; i < nv; ++i)
        for (int j = 0; j < nv; ++j)
            m_covariance[i][j] = bDetermined ? s2 * fjac[i + j * n] / (norms[i] * norms[j]) : kInf;
    for (int j = 0; j < nv; ++j) {
        m_u[j] = std::sqrt(m_covariance[j][j]);
        m_U[j] = m_dCoverage * m_u[j];
    }
    return true;
}

double CalibrationFit::StandardUncertaintyAtPeriod(double dPeriod) const {
    Values g;
    Model(m_unrounded, dPeriod - m_unrounded[kDeadTime], &g);
    double var = 0;
    for (int i = 0; i < kValues; ++i)
        for (int j = 0; j < kValues; ++j) var += g[i] * m_covariance[i][j] * g[j];
    return var >= 0 ? std::sqrt(var) : kNaN;
}

double CalibrationFit::ValueAt(double dReading, int nProgramMode) const {
    return Model(m_unrounded, Calculator::Period(dReading, nProgramMode) - m_unrounded[kDeadTime]);
}

double CalibrationFit::ExpandedUncertaintyAt(double dReading, int nProgramMode) const {
    return m_dCoverage * StandardUncertaintyAtPeriod(Calculator::Period(dReading, nProgramMode));
}
