#ifndef VARID_TESTS_CALC_DETECTOR_H
#define VARID_TESTS_CALC_DETECTOR_H

#include <cmath>
#include <vector>

#include "app/Globals.h"
#include "calc/Calculator.h"
#include "calc/ErrorReport.h"

// A synthetic detector: the response model evaluated in long double, so the
// expected values do not share the engine's double arithmetic.
struct Detector {
    long double dt, keff, k1, k2, k3;

    long double P(long double x) const {
        return (keff / x) * (1 - k1 * std::exp(-k2 * x) + k3 / x);
    }
    // The reading a row with corrected period x shows in the current mode.
    long double Reading(long double x) const {
        return g_nProgramMode ? x + dt : 1000000.0L / (x + dt);
    }
};

// Four calibration points, T and the rows handed to the engine, as the result
// panel hands them.
struct DataSet {
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

// Data from one reading column (the second equals the first); rows are the
// four points only. Mode 1 readings are periods.
inline DataSet PointsOnly(const std::vector<double>& realP, const std::vector<double>& readings,
                          double t) {
    DataSet d;
    d.realPforCalc = d.realP = realP;
    d.flForCalc = d.frForCalc = d.fl = d.fr = readings;
    d.t = t;
    return d;
}

// Points at corrected periods t[0..3] of a detector whose point 0 shows no
// correction (R0 = Keff / t0), so that the calibration must give back its
// Keff and coefficients. Mode 1.
inline DataSet FromDetector(const Detector& det, const double (&t)[4]) {
    std::vector<double> realP(4), readings(4);
    for (int i = 0; i < 4; ++i) {
        realP[i] = static_cast<double>(i == 0 ? det.keff / t[i] : det.P(t[i]));
        readings[i] = static_cast<double>(t[i] + det.dt);
    }
    return PointsOnly(realP, readings, t[3]);
}

// The K3 equation in long double from its definition, for the engine's
// intermediate values.
inline long double K3EquationLd(const Calculator& c, long double x) {
    const long double t1 = c.m_t1, t2 = c.m_t2, t3 = c.m_t3;
    return std::log((t2 * c.m_P2 + x) * t1 / ((t1 * c.m_P1 + x) * t2)) / (t1 - t2) -
           std::log((t3 * c.m_P3 + x) * t1 / ((t1 * c.m_P1 + x) * t3)) / (t1 - t3);
}

// Records what the engine reports instead of showing it.
class ErrorRecorder {
public:
    ErrorRecorder() : m_previous(SetErrorReportHandler(&Record)) { Messages().clear(); }
    ~ErrorRecorder() { SetErrorReportHandler(m_previous); }
    static std::vector<wxString>& Messages() {
        static std::vector<wxString> messages;
        return messages;
    }

private:
    static void Record(const wxString& message) { Messages().push_back(message); }
    ErrorReportHandler m_previous;
};

// Sets the program mode for one test and restores it afterwards.
class ProgramMode {
public:
    explicit ProgramMode(int mode) : m_previous(g_nProgramMode) { g_nProgramMode = mode; }
    ~ProgramMode() { g_nProgramMode = m_previous; }

private:
    int m_previous;
};

#endif
