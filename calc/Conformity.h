#ifndef VARID_CALC_CONFORMITY_H
#define VARID_CALC_CONFORMITY_H

#include <vector>

// A statement of conformity of deviations with a tolerance, by a decision
// rule in ILAC-G8's manner: simple acceptance judges the deviation alone; a
// guarded band keeps the expanded uncertainty U on the safe side, and what
// the band cannot decide is indeterminate. Deviations, tolerance and U in
// percent.
class Conformity {
public:
    enum class Verdict { kPass, kFail, kIndeterminate };
    enum class Statement {
        kConforms,        // every row passes
        kDoesNotConform,  // a row fails
        kNoStatement,     // otherwise
        kNoUncertainty    // the guarded rule without a budget
    };

    static Verdict Judge(double dDeviation, double dTolerance, bool bGuarded, double dExpanded);
    // The overall statement of the rows' verdicts; none is kNoStatement.
    // kNoUncertainty is the caller's to state: without U the guarded rule
    // judges no row.
    static Statement State(const std::vector<Verdict>& vecVerdicts);

    // The CSV's names: "pass", "fail", "indeterminate".
    static const char* VerdictName(Verdict verdict);
    // Catalogue keys of the certificate's line.
    static const char* StatementText(Statement statement);
};

#endif
