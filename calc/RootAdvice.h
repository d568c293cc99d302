#ifndef VARID_CALC_ROOTADVICE_H
#define VARID_CALC_ROOTADVICE_H

#include <vector>

class Calculator;

// After a Count: another root of the K3 equation that reproduces the four
// calibration points as well and fits the other rows clearly better. The rows
// are judged as Set would correct them with that root's K1, K2, K3 (rounded
// to three decimals) and the Count's dead time and efficacy.
class RootAdvice {
public:
    // vecChosen tells, for every complete row of the Count, whether it is
    // ticked; dDT and dKeff are the Count's values as the manual boxes would
    // receive them. True when the advice is due: there is an unticked complete
    // row, the Count's largest deviation over those rows is at least 0.5 %,
    // and the best other root's is at most half of it.
    bool Find(const Calculator& calc, const std::vector<bool>& vecChosen, double dDT, double dKeff);

    double m_dK1 = 0, m_dK2 = 0, m_dK3 = 0;  // the better root's, rounded to three decimals
    double m_dCountDeviation = 0;            // largest |accuracy| in percent, Count
    double m_dRootDeviation = 0;             // the same with the better root
};

#endif
