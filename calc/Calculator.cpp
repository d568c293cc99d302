#include "calc/Calculator.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/Globals.h"
#include "calc/ErrorReport.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

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
      m_dSlopeBound(0),
      m_nOwnProgramMode(-1) {
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
void Calculator::UseProgramMode(int nProgramMode) { m_nOwnProgramMode = nProgramMode; }

void Calculator::SolveToK1() {
    AverageReadings(m_vecFlForCalc, m_vecFrForCalc, m_vecFForCalc);
    CalcDeadTimeAndKeff();
    CalcPeriods();
    CalcUncorrectedP();
    CalcAuxiliary();
    FindK3();
    CalcK2();
    CalcK1();
}

bool Calculator::Calculate() {
    try {
        SolveToK1();
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

bool Calculator::CountUnrounded() {
    try {
        SolveToK1();
    } catch (const wxString&) {
        return false;
    }
    return true;
}

double Calculator::Period(double v) { return Period(v, g_nProgramMode); }

double Calculator::Period(double v, int nProgramMode) { return nProgramMode ? v : 1000000 / v; }

double Calculator::PeriodOf(double v) const {
    return m_nOwnProgramMode < 0 ? Period(v) : Period(v, m_nOwnProgramMode);
}

double Calculator::CorrectedValue(double x, double dKeff, double k1, double k2, double k3) {
    return (dKeff / x) * (1 - k1 * std::exp(-k2 * x) + k3 / x);
}

void Calculator::CalcDeadTimeAndKeff() {
    m_dDT = PeriodOf(m_vecFForCalc[3]) - m_dT;
    m_dKeff = (PeriodOf(m_vecFForCalc[0]) - m_dDT) * m_vecRealPforCalc[0];
}

void Calculator::CalcPeriods() {
    m_t1 = PeriodOf(m_vecFForCalc[1]) - m_dDT;
    m_t2 = PeriodOf(m_vecFForCalc[2]) - m_dDT;
    m_t3 = PeriodOf(m_vecFForCalc[3]) - m_dDT;
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
template <typename ToPeriod>
void CorrectRows(const std::vector<double>& vecRealP, const std::vector<double>& vecF,
                 ToPeriod toPeriod, double dDT, double dKeff, double k1, double k2, double k3,
                 std::vector<double>& out) {
    out.resize(vecRealP.size());
    for (size_t j = 0; j < out.size(); ++j) {
        const double x = j < vecF.size() ? toPeriod(vecF[j]) - dDT : kNaN;
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
    auto periodOf = [this](double v) { return PeriodOf(v); };
    CorrectRows(m_vecRealP, m_vecF, periodOf, m_dDT, m_dKeff, m_k1, m_k2, m_k3, m_vecCorrectP);
}

void Calculator::CalcAccuracy() { RowAccuracy(m_vecRealP, m_vecCorrectP, m_vecAccuracy); }

void Calculator::CalcManualCorrectP() {
    auto periodOf = [this](double v) { return PeriodOf(v); };
    CorrectRows(m_vecRealP, m_vecF, periodOf, m_dManualDT, m_dManualKeff, m_dManualK1, m_dManualK2,
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

const std::vector<double>& Calculator::GetRealP() const { return m_vecRealP; }

std::vector<double> Calculator::GetRowPeriods() const {
    // Only rows with both readings and a reference, as Set corrects them.
    const size_t n = std::min({m_vecRealP.size(), m_vecFl.size(), m_vecFr.size()});
    std::vector<double> vecPeriods(n);
    for (size_t j = 0; j < n; ++j) vecPeriods[j] = PeriodOf((m_vecFl[j] + m_vecFr[j]) / 2);
    return vecPeriods;
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
