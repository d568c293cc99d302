#include "calc/RootAdvice.h"

#include <cmath>
#include <limits>

#include "calc/Calculator.h"

namespace {

// Largest |accuracy| over the unticked rows; a row that cannot be corrected
// (not finite) makes the whole fit unusable.
double LargestDeviation(const std::vector<bool>& vecChosen, double (Calculator::*get)(int) const,
                        const Calculator& calc) {
    double dLargest = 0;
    for (size_t k = 0; k < vecChosen.size(); ++k) {
        if (vecChosen[k]) continue;
        const double d = std::fabs((calc.*get)(static_cast<int>(k)));
        if (!std::isfinite(d)) return std::numeric_limits<double>::infinity();
        if (d > dLargest) dLargest = d;
    }
    return dLargest;
}

}  // namespace

bool RootAdvice::Find(const Calculator& calc, const std::vector<bool>& vecChosen, double dDT,
                      double dKeff) {
    bool bUnticked = false;
    for (bool bChosen : vecChosen) bUnticked = bUnticked || !bChosen;
    if (!bUnticked) return false;
    m_dCountDeviation = LargestDeviation(vecChosen, &Calculator::GetAccuracy, calc);
    if (!(m_dCountDeviation >= 0.5)) return false;

    bool bFound = false;
    for (const Calculator::Root& root : calc.ListOtherRoots()) {
        // Exactly what Set computes once these values stand in the boxes.
        const double dK1 = Calculator::RoundTo3(root.k1);
        const double dK2 = Calculator::RoundTo3(root.k2);
        const double dK3 = Calculator::RoundTo3(root.k3);
        Calculator trial = calc;
        trial.SetManualK1(dK1);
        trial.SetManualK2(dK2);
        trial.SetManualK3(dK3);
        trial.SetManualKeff(dKeff);
        trial.SetManualDT(dDT);
        if (!trial.CalculateManual()) continue;
        const double d = LargestDeviation(vecChosen, &Calculator::GetManualAccuracy, trial);
        if (std::isfinite(d) && d <= m_dCountDeviation / 2 && (!bFound || d < m_dRootDeviation)) {
            bFound = true;
            m_dRootDeviation = d;
            m_dK1 = dK1;
            m_dK2 = dK2;
            m_dK3 = dK3;
        }
    }
    return bFound;
}
