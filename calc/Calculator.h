#ifndef VARID_CALC_CALCULATOR_H
#define VARID_CALC_CALCULATOR_H

#include <cstdint>
#include <map>
#include <vector>

#include <wx/string.h>

class Calculator;

// A K3 march strategy: engine, current point, previous point, slope bound,
// tolerance. True once a root is stored in the engine's K3.
typedef bool (*SearchStrategy)(Calculator* pCalc, double x, double prev, double L, double tol);

bool SearchUpToEnd(Calculator* pCalc, double x, double prev, double L, double tol);
bool SearchAfterPoles(Calculator* pCalc, double x, double prev, double L, double tol);
bool SearchAcrossPoles(Calculator* pCalc, double x, double prev, double L, double tol);
bool SearchBelowPoles(Calculator* pCalc, double x, double prev, double L, double tol);
bool SearchImpossible(Calculator* pCalc, double x, double prev, double L, double tol);

// Calibration engine: dead time, registration efficacy and K1..K3 from four
// calibration points, then the corrected value and accuracy of every row.
// The data and the model live in Calculator.cpp, the K3 march in
// K3March.cpp, the bracketing fallback and the root listing in
// K3Bracketing.cpp.
class Calculator {
public:
    Calculator();

    void Init();
    void Clear();

    void SetRealPforCalc(const std::vector<double>& vec);
    void SetT(const double& dT);
    void SetFlForCalc(const std::vector<double>& vec);
    void SetFrForCalc(const std::vector<double>& vec);
    void SetRealP(const std::vector<double>& vec);
    void SetFl(const std::vector<double>& vec);
    void SetFr(const std::vector<double>& vec);
    void SetManualK1(double d);
    void SetManualK2(double d);
    void SetManualK3(double d);
    void SetManualKeff(double d);
    void SetManualDT(double d);
    // Readings follow the process-wide program mode, read at each use, unless
    // a mode is given here: a tool that reads archives of either mode hands
    // the engine the archive's mode instead of changing the program's.
    void UseProgramMode(int nProgramMode);

    bool Calculate();
    bool CalculateManual();

    double GetKeff() const;
    double GetDT() const;
    double GetK1() const;
    double GetK2() const;
    double GetK3() const;
    double GetCorrectP(int row) const;  // throws std::out_of_range
    double GetAccuracy(int row) const;  // throws std::out_of_range
    double GetManualCorrectP(int row) const;
    double GetManualAccuracy(int row) const;
    // "Real P0" of every complete row, and the period of each row's mean
    // reading by the mode this engine follows: the rows a fit runs over.
    const std::vector<double>& GetRealP() const;
    std::vector<double> GetRowPeriods() const;
    // The Count's steps up to K1, unrounded and without the rows, reporting
    // nothing: the starts of a fit. False when the K3 search fails; DT and
    // Keff are prepared all the same. ListOtherRoots may follow a success.
    bool CountUnrounded();

    // Reading to period, by the program mode in force at the call, or by the
    // mode given.
    static double Period(double v);
    static double Period(double v, int nProgramMode);
    // The response model at the dead-time-corrected period x.
    static double CorrectedValue(double x, double dKeff, double k1, double k2, double k3);

    // Every other root of f in [a, b] with the K2 and K1 it implies, found by
    // the same bracketing over the whole interval. Read after a successful
    // Calculate: leaves out roots whose K2 or K1 is not finite and the root
    // the calculation took (within 0.001 of its K3).
    struct Root {
        double k3, k2, k1;
    };
    std::vector<Root> ListOtherRoots() const;
    // K2 and K1 implied by a K3 (the formulas of CalcK2 and CalcK1).
    double K2For(double k3) const;
    double K1For(double k2, double k3) const;

    // Evaluations of f the march and the walk past the scan may spend in one
    // search: a Count, fallback included, stays within a few dozen
    // milliseconds whatever the input.
    static constexpr int64_t MAX_MARCH_STEPS = 1000000;

    static double RoundTo3(double v);
    static void AverageReadings(const std::vector<double>& a, const std::vector<double>& b,
                                std::vector<double>& out);

private:
    // The tests' and benchmarks' view of the steps and the intermediate
    // state (testsupport/CalculatorProbe.h).
    friend class CalculatorProbe;
    // The marching strategies store the root they find.
    friend bool SearchUpToEnd(Calculator*, double, double, double, double);
    friend bool SearchAfterPoles(Calculator*, double, double, double, double);
    friend bool SearchAcrossPoles(Calculator*, double, double, double, double);
    friend bool SearchBelowPoles(Calculator*, double, double, double, double);

    // The steps of Calculate and CalculateManual; SolveToK1 runs the first
    // ones, up to K1 unrounded, which a fit's starts need as well.
    void SolveToK1();
    void CalcDeadTimeAndKeff();
    void CalcPeriods();
    void CalcUncorrectedP();
    void CalcAuxiliary();
    void CalcK2();
    void CalcK1();
    void CalcRowMeans();
    void RoundResults();
    void CalcCorrectP();
    void CalcAccuracy();
    void CalcManualCorrectP();
    void CalcManualAccuracy();
    // Period(v) by the mode this engine follows.
    double PeriodOf(double v) const;

    // The K3 search.
    void FindK3();
    // The march shared by the strategies once their starting point is set;
    // `upper` is the strict bound of x. With bJumpPoles, the first step that
    // reaches the smallest pole restarts just above the largest one.
    static bool March(Calculator* pCalc, double upper, double x, double prev, double L, double tol,
                      bool bJumpPoles = false);
    double K3Equation(double x) const;
    // The slope bound; also keeps the scan's points for the bracketing walk.
    double EstimateSlope();
    void FindPoles();
    void ClassifyPoles();
    // One march step prev + |f(prev)| / L, counted against the budget; ends
    // the march once the budget of the search is spent.
    double MarchStep(double prev, double L);
    // The root check every K3 must pass: a finite slope bound and a step
    // |f(x)| / L below the first tolerance.
    bool IsRoot(double x, double L) const;
    // The marching strategies with their eight attempts; true once a K3 that
    // passes the root check is stored.
    bool MarchForK3(SearchStrategy search, double L);
    // The fallback: the first sign change of f where the pole layout's
    // strategy looks, refined to full precision; true once K3 is stored.
    bool BracketK3(double L);
    // Walks f upwards over [lo, hi] and hands every root it brackets to
    // onRoot, until onRoot returns true (K3Bracketing.cpp).
    template <typename OnRoot>
    bool WalkSignChanges(double lo, double hi, int64_t* pCount, OnRoot onRoot) const;

    // Members in the documented order.
    double m_dSearchTo;
    double m_dSearchFrom;
    double m_dSearchStep;
    double m_dEps;
    std::vector<double> m_vecRealPforCalc;
    std::vector<double> m_vecFlForCalc;
    std::vector<double> m_vecFrForCalc;
    std::vector<double> m_vecFForCalc;
    std::vector<double> m_vecRealP;
    std::vector<double> m_vecFl;
    std::vector<double> m_vecFr;
    std::vector<double> m_vecF;
    std::vector<double> m_vecCorrectP;
    std::vector<double> m_vecAccuracy;
    std::vector<double> m_vecManualCorrectP;
    std::vector<double> m_vecManualAccuracy;
    double m_dT;
    double m_dKeff;
    double m_dDT;
    double m_t1, m_t2, m_t3;
    double m_p1, m_p2, m_p3;
    double m_k1, m_k2, m_k3;
    double m_dManualK1;
    double m_dManualK2;
    double m_dManualK3;
    double m_dManualKeff;
    double m_dManualDT;
    double m_T1, m_T2;
    double m_P1, m_P2, m_P3;
    std::vector<double> m_vecPoles;
    double m_dPoleMax;
    double m_dPoleMin;
    int32_t m_nPoleCase;
    std::map<int32_t, SearchStrategy> m_mapSearch;
    int64_t m_nMarchSteps;  // march steps (and walk steps past the scan) of the current search
    double m_dSlopeBound;   // L of the last search
    // The slope scan's points and values, kept for the bracketing walk; sized
    // once at construction so that the search allocates nothing.
    std::vector<double> m_vecScanX;
    std::vector<double> m_vecScanF;
    // The mode UseProgramMode gave; negative: the process-wide one.
    int m_nOwnProgramMode;
};

#endif
