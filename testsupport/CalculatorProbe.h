#ifndef VARID_TESTSUPPORT_CALCULATORPROBE_H
#define VARID_TESTSUPPORT_CALCULATORPROBE_H

#include "calc/Calculator.h"

// The engine with its steps and intermediate state in reach, for the tests
// and the benchmarks: Calculator names this class its only friend, so that
// nothing else sees more than the public interface.
class CalculatorProbe : public Calculator {
public:
    using Calculator::Calculator;

    using Calculator::CalcAccuracy;
    using Calculator::CalcAuxiliary;
    using Calculator::CalcCorrectP;
    using Calculator::CalcDeadTimeAndKeff;
    using Calculator::CalcK1;
    using Calculator::CalcK2;
    using Calculator::CalcManualAccuracy;
    using Calculator::CalcManualCorrectP;
    using Calculator::CalcPeriods;
    using Calculator::CalcRowMeans;
    using Calculator::CalcUncorrectedP;
    using Calculator::RoundResults;

    using Calculator::BracketK3;
    using Calculator::ClassifyPoles;
    using Calculator::EstimateSlope;
    using Calculator::FindK3;
    using Calculator::FindPoles;
    using Calculator::IsRoot;
    using Calculator::K3Equation;
    using Calculator::MarchForK3;
    using Calculator::MarchStep;

    using Calculator::m_dEps;
    using Calculator::m_dSearchFrom;
    using Calculator::m_dSearchStep;
    using Calculator::m_dSearchTo;
    using Calculator::m_vecAccuracy;
    using Calculator::m_vecCorrectP;
    using Calculator::m_vecF;
    using Calculator::m_vecFForCalc;
    using Calculator::m_vecFl;
    using Calculator::m_vecFlForCalc;
    using Calculator::m_vecFr;
    using Calculator::m_vecFrForCalc;
    using Calculator::m_vecManualAccuracy;
    using Calculator::m_vecManualCorrectP;
    using Calculator::m_vecRealP;
    using Calculator::m_vecRealPforCalc;

    using Calculator::m_dDT;
    using Calculator::m_dKeff;
    using Calculator::m_dManualDT;
    using Calculator::m_dManualK1;
    using Calculator::m_dManualK2;
    using Calculator::m_dManualK3;
    using Calculator::m_dManualKeff;
    using Calculator::m_dT;
    using Calculator::m_k1;
    using Calculator::m_k2;
    using Calculator::m_k3;
    using Calculator::m_P1;
    using Calculator::m_p1;
    using Calculator::m_P2;
    using Calculator::m_p2;
    using Calculator::m_P3;
    using Calculator::m_p3;
    using Calculator::m_t1;
    using Calculator::m_T1;
    using Calculator::m_t2;
    using Calculator::m_T2;
    using Calculator::m_t3;

    using Calculator::m_dPoleMax;
    using Calculator::m_dPoleMin;
    using Calculator::m_dSlopeBound;
    using Calculator::m_mapSearch;
    using Calculator::m_nMarchSteps;
    using Calculator::m_nPoleCase;
    using Calculator::m_vecPoles;
};

#endif
