#include "calc/Conformity.h"

#include <algorithm>
#include <cmath>

#include <wx/intl.h>

Conformity::Verdict Conformity::Judge(double dDeviation, double dTolerance, bool bGuarded,
                                      double dExpanded) {
    const double d = std::fabs(dDeviation);
    if (!bGuarded) return d <= dTolerance ? Verdict::kPass : Verdict::kFail;
    if (d + dExpanded <= dTolerance) return Verdict::kPass;
    if (d - dExpanded > dTolerance) return Verdict::kFail;
    return Verdict::kIndeterminate;
}

Conformity::Statement Conformity::State(const std::vector<Verdict>& vecVerdicts) {
    auto any = [&](Verdict v) {
        return std::find(vecVerdicts.begin(), vecVerdicts.end(), v) != vecVerdicts.end();
    };
    if (any(Verdict::kFail)) return Statement::kDoesNotConform;
    if (vecVerdicts.empty() || any(Verdict::kIndeterminate)) return Statement::kNoStatement;
    return Statement::kConforms;
}

const char* Conformity::VerdictName(Verdict verdict) {
    switch (verdict) {
        case Verdict::kPass:
            return "pass";
        case Verdict::kFail:
            return "fail";
        case Verdict::kIndeterminate:
            break;
    }
    return "indeterminate";
}

const char* Conformity::StatementText(Statement statement) {
    switch (statement) {
        case Statement::kConforms:
            return wxTRANSLATE("The item conforms to the tolerance.");
        case Statement::kDoesNotConform:
            return wxTRANSLATE("The item does not conform to the tolerance.");
        case Statement::kNoStatement:
            return wxTRANSLATE("No statement of conformity is possible.");
        case Statement::kNoUncertainty:
            break;
    }
    return wxTRANSLATE("No statement of conformity is possible: no uncertainty was evaluated.");
}
