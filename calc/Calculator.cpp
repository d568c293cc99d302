#include "calc/Calculator.h"

#include <stdexcept>

#include "calc/ErrorReport.h"

// Placeholder bodies so that dependent targets link; the engine follows.
bool SearchUpToEnd(Calculator*, double, double, double, double) { return false; }
bool SearchAfterPoles(Calculator*, double, double, double, double) { return false; }
bool SearchAcrossPoles(Calculator*, double, double, double, double) { return false; }
bool SearchBelowPoles(Calculator*, double, double, double, double) { return false; }
bool SearchImpossible(Calculator*, double, double, double, double) { return false; }

Calculator::Calculator() { Init(); }
void Calculator::Init() {
    m_dSearchTo = 0;
    m_dSearchFrom = 0;
    m_dSearchStep = 0;
    m_dEps = 0;
    m_dT = m_dKeff = m_dDT = 0;
    m_t1 = m_t2 = m_t3 = m_p1 = m_p2 = m_p3 = m_k1 = m_k2 = m_k3 = 0;
    m_dManualK1 = m_dManualK2 = m_dManualK3 = m_dManualKeff = m_dManualDT = 0;
    m_T1 = m_T2 = m_P1 = m_P2 = m_P3 = 0;
    m_dPoleMax = m_dPoleMin = 0;
    m_nPoleCase = 0;
}
void Calculator::Clear() {}
void Calculator::SetRealPforCalc(const std::vector<double>& vec) { m_vecRealPforCalc = vec; }
void Calculator::SetT(const double& dT) { m_dT = dT; }
void Calculator::SetFlForCalc(const std::vector<double>& vec) { m_vecFlForCalc = vec; }
void Calculator::SetFrForCalc(const std::vector<double>& vec) { m_vecFrForCalc = vec; }
void Calculator::SetRealP(const std::vector<double>& vec) { m_vecRealP = vec; }
void Calculator::SetFl(const std::vector<double>& vec) { m_vecFl = vec; }
void Calculator::SetFr(const std::vector<double>& vec) { m_vecFr = vec; }
void Calculator::SetManualK1(double d) { m_dManualK1 = d; }
void Calculator::SetManualK2(double d) { m_dManualK2 = d; }
void Calculator::SetManualK3(double d) { m_dManualK3 = d; }
void Calculator::SetManualKeff(double d) { m_dManualKeff = d; }
void Calculator::SetManualDT(double d) { m_dManualDT = d; }
bool Calculator::Calculate() { return false; }
bool Calculator::CalculateManual() { return false; }
double Calculator::GetKeff() const { return m_dKeff; }
double Calculator::GetDT() const { return m_dDT; }
double Calculator::GetK1() const { return m_k1; }
double Calculator::GetK2() const { return m_k2; }
double Calculator::GetK3() const { return m_k3; }
double Calculator::GetCorrectP(int row) const { return m_vecCorrectP.at(row); }
double Calculator::GetAccuracy(int row) const { return m_vecAccuracy.at(row); }
double Calculator::GetManualCorrectP(int row) const { return m_vecManualCorrectP.at(row); }
double Calculator::GetManualAccuracy(int row) const { return m_vecManualAccuracy.at(row); }
void Calculator::FindK3() {}
double Calculator::K3Equation(double) const { return 0; }
double Calculator::EstimateSlope() const { return 0; }
void Calculator::FindPoles() {}
void Calculator::ClassifyPoles() {}
double Calculator::RoundTo3(double v) { return v; }
void Calculator::AverageReadings(const std::vector<double>& a, const std::vector<double>& b,
                                 std::vector<double>& out) {
    out.clear();
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) out.push_back((a[i] + b[i]) / 2);
}
