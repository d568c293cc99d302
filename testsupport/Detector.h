#ifndef VARID_TESTSUPPORT_DETECTOR_H
#define VARID_TESTSUPPORT_DETECTOR_H

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "app/Globals.h"
#include "calc/Calculator.h"
#include "calc/ErrorReport.h"
#include "testsupport/CalculatorProbe.h"

// The response model written again for the tests, in long double, so that
// expected values share nothing with the engine's double arithmetic.
struct Detector {
    long double dt, keff, k1, k2, k3;

    long double P(long double x) const {
        return (keff / x) * (1 - k1 * std::exp(-k2 * x) + k3 / x);
    }
};

// Reading to period: mode 0 reads frequencies in Hz of periods in us. The
// conversion is its own inverse, so it also gives the reading of a period.
inline long double ToPeriod(int mode, long double v) { return mode ? v : 1000000.0L / v; }

// The K3 equation for corrected periods t[0..2] of points 1 to 3 and their
// relative deviations P = 1 - R t / Keff.
inline long double K3Equation(const long double (&t)[3], const long double (&P)[3], long double x) {
    return std::log((t[1] * P[1] + x) * t[0] / ((t[0] * P[0] + x) * t[1])) / (t[0] - t[1]) -
           std::log((t[2] * P[2] + x) * t[0] / ((t[0] * P[0] + x) * t[2])) / (t[0] - t[2]);
}

// The K3 equation at the engine's intermediate values.
inline long double K3EquationOf(const CalculatorProbe& c, long double x) {
    return K3Equation({c.m_t1, c.m_t2, c.m_t3}, {c.m_P1, c.m_P2, c.m_P3}, x);
}

// Calibration of four points (references R, mean readings F, T the corrected
// period of point 3) from the model's definitions; K3 is the first sign
// change above 0 between defined points 0.01 apart, refined by bisection.
struct Fit {
    Detector det;
    bool bRootFound = false;
    long double poles[3];
    long double t[3], P[3];  // corrected periods and deviations of points 1 to 3

    long double PoleMin() const { return std::min({poles[0], poles[1], poles[2]}); }
    long double PoleMax() const { return std::max({poles[0], poles[1], poles[2]}); }
    long double F(long double x) const { return K3Equation(t, P, x); }
    long double K2For(long double k3) const {
        return std::log((t[1] * P[1] + k3) * t[0] / ((t[0] * P[0] + k3) * t[1])) / (t[0] - t[1]);
    }
    long double K1For(long double k2, long double k3) const {
        return std::exp(k2 * t[0]) * (P[0] + k3 / t[0]);
    }

    // The first sign change of f above lo and below hi, by bisection; NaN when
    // there is none. The samples crowd towards both ends, where poles sit.
    long double FirstRoot(long double lo, long double hi) const {
        auto sample = [&](int i) {
            const int n = 2000;
            const long double half = (hi - lo) / 2;
            return i <= n ? lo + half * std::pow(10.0L, -16 + 16.0L * i / n)
                          : hi - half * std::pow(10.0L, -16.0L * (i - n) / n);
        };
        long double xPrev = lo, fPrev = F(lo);
        for (int i = 0; i <= 4000; ++i) {
            const long double x = sample(i);
            const long double fx = F(x);
            if (std::isfinite(fPrev) && std::isfinite(fx) && (fPrev < 0) != (fx < 0)) {
                long double a = xPrev, b = x;
                for (int k = 0; k < 200; ++k) {
                    const long double mid = (a + b) / 2;
                    ((F(mid) < 0) == (F(a) < 0) ? a : b) = mid;
                }
                return a;
            }
            xPrev = x;
            fPrev = fx;
        }
        return std::numeric_limits<long double>::quiet_NaN();
    }
};

inline Fit Calibrate(int mode, const long double (&R)[4], const long double (&F)[4],
                     long double T) {
    Fit fit;
    Detector& d = fit.det;
    d.dt = ToPeriod(mode, F[3]) - T;
    d.keff = (ToPeriod(mode, F[0]) - d.dt) * R[0];
    long double* t = fit.t;
    long double* P = fit.P;
    for (int i = 0; i < 3; ++i) {
        t[i] = ToPeriod(mode, F[i + 1]) - d.dt;
        P[i] = 1 - R[i + 1] * t[i] / d.keff;
        fit.poles[i] = -t[i] * P[i];
    }
    auto below = [&](long double x) { return fit.F(x) <= 0; };
    auto defined = [&](long double x) { return std::isfinite(fit.F(x)); };
    long double lo = 0, hi = 0;
    for (int i = 0; i < 50000 && !fit.bRootFound; ++i) {
        lo = i * 0.01L;
        hi = lo + 0.01L;
        fit.bRootFound = defined(lo) && defined(hi) && below(lo) != below(hi);
    }
    for (int i = 0; i < 100; ++i) {
        const long double mid = (lo + hi) / 2;
        (below(mid) == below(lo) ? lo : hi) = mid;
    }
    d.k3 = lo;
    d.k2 = fit.K2For(d.k3);
    d.k1 = fit.K1For(d.k2, d.k3);
    return fit;
}

// Steps 1 to 5 of a calculation: everything the K3 search reads.
inline void PrepareSearch(CalculatorProbe& calc) {
    Calculator::AverageReadings(calc.m_vecFlForCalc, calc.m_vecFrForCalc, calc.m_vecFForCalc);
    calc.CalcDeadTimeAndKeff();
    calc.CalcPeriods();
    calc.CalcUncorrectedP();
    calc.CalcAuxiliary();
}

// The inputs Count hands to the engine: four calibration points, T, rows.
struct EngineInput {
    std::vector<double> realPforCalc, flForCalc, frForCalc;
    double t = 0;
    std::vector<double> realP, fl, fr;

    void FeedTo(Calculator& calc) const {
        calc.SetRealPforCalc(realPforCalc);
        calc.SetT(t);
        calc.SetFlForCalc(flForCalc);
        calc.SetFrForCalc(frForCalc);
        calc.SetRealP(realP);
        calc.SetFl(fl);
        calc.SetFr(fr);
    }
};

inline Fit CalibrateInput(int mode, const EngineInput& in) {
    long double R[4], F[4];
    for (int i = 0; i < 4; ++i) {
        R[i] = in.realPforCalc[i];
        F[i] = (static_cast<long double>(in.flForCalc[i]) + in.frForCalc[i]) / 2;
    }
    return Calibrate(mode, R, F, in.t);
}

// The four points as the only rows, one reading each (read twice).
inline EngineInput PointsOnly(const std::vector<double>& realP, const std::vector<double>& readings,
                              double t) {
    EngineInput in;
    in.realPforCalc = in.realP = realP;
    in.flForCalc = in.frForCalc = in.fl = in.fr = readings;
    in.t = t;
    return in;
}

// Rows of a detector at corrected periods x in the current mode, two readings
// per row `spread` apart, the calibration points at rows `points`. With
// bUncorrectedPointZero point 0 shows Keff / x0, so that the calibration must
// give back the detector's Keff and coefficients.
inline EngineInput DetectorRows(const Detector& det, const std::vector<double>& x,
                                const std::vector<int>& points, bool bUncorrectedPointZero,
                                double spread) {
    EngineInput in;
    for (size_t j = 0; j < x.size(); ++j) {
        const double r = static_cast<double>(ToPeriod(g_nProgramMode, x[j] + det.dt));
        const bool zero = bUncorrectedPointZero && static_cast<int>(j) == points[0];
        in.realP.push_back(static_cast<double>(zero ? det.keff / x[j] : det.P(x[j])));
        in.fl.push_back(r - spread / 2);
        in.fr.push_back(r + spread / 2);
    }
    for (int i : points) {
        in.realPforCalc.push_back(in.realP[i]);
        in.flForCalc.push_back(in.fl[i]);
        in.frForCalc.push_back(in.fr[i]);
    }
    in.t = x[points[3]];
    return in;
}

// The four points only, point 0 uncorrected.
inline EngineInput FromDetector(const Detector& det, const double (&x)[4]) {
    return DetectorRows(det, {x, x + 4}, {0, 1, 2, 3}, true, 0);
}

// Eleven rows at typical periods, the calibration points at rows kPoints.
const std::vector<double> kPeriods{100, 130, 160, 200, 250, 300, 350, 400, 450, 500, 600};
const std::vector<int> kPoints{0, 3, 7, 10};

inline EngineInput ElevenRows(const Detector& det, bool bUncorrectedPointZero) {
    return DetectorRows(det, kPeriods, kPoints, bUncorrectedPointZero, 0.5);
}

// The typical detector; at corrected periods 100 to 600 all poles lie below
// the search interval and the first attempt finds K3.
const Detector kTypical{2.5L, 500, 0.2L, 0.005L, 3};
const double kTypicalPoints[4] = {100, 200, 400, 600};

// Detectors and points whose K3 equation has its poles in each layout the
// search tells apart (mode 1): a negative K1 puts the poles above the root, a
// positive one below it.
struct Layout {
    const char* name;
    Detector det;
    double x[4];
    int poleCase;
};
const Layout kLayouts[] = {
    {"AllBelow", kTypical, {100, 200, 400, 600}, 0},
    {"LargestInside", kTypical, {100, 200, 400, 800}, 1},
    {"AllInside", {2.5L, 500, 1.67L, 0.016L, 54}, {40, 61, 277, 349}, 2},
    {"LargestAbove", {2.5L, 500, -2.44L, 0.001L, 22.5L}, {40, 74, 302, 327}, 3},
    {"AllAboveRootPastEnd", {2.5L, 500, -1, 0.002L, 505}, {100, 200, 400, 800}, 4},
};

// Detectors whose root the march misses and the bracketing finds (mode 1).
const Layout kFallbackLayouts[] = {
    // Every attempt marches past the root below the poles.
    {"AllAttemptsFail", {2.5L, 500, 1.44L, 0.087L, 24.5L}, {48, 126, 198, 1661}, 2},
    // The first step from just above the largest pole lands past the root.
    {"FirstStepOvershoots", {2.5L, 500, 1.36L, 0.028L, 4.5L}, {53, 95, 294, 523}, 1},
    // The root lies above the poles; a loosened attempt stops on no root.
    {"RootAbovePoles", {2.5L, 500, 1.1L, 0.019L, 25}, {26, 60, 320, 539}, 2},
};

// The march finds the root below the poles; another lies above them.
const Layout kTwoRoots{"TwoRoots", {2.5L, 500, -1.46L, 0.016L, 30}, {20, 131, 385, 540}, 2};

// Collects what the engine reports, instead of showing it, for one test.
struct ErrorRecorder {
    ErrorRecorder() {
        Messages().clear();
        SetErrorReportHandler([](const wxString& message) { Messages().push_back(message); });
    }
    ~ErrorRecorder() { SetErrorReportHandler(nullptr); }
    static std::vector<wxString>& Messages() {
        static std::vector<wxString> messages;
        return messages;
    }
};

// Sets the program mode for one test; later tests start from mode 0.
struct ProgramMode {
    explicit ProgramMode(int mode) { g_nProgramMode = mode; }
    ~ProgramMode() { g_nProgramMode = 0; }
};

#endif
