// The decision rules at the tolerance's edge, and the statement of a set of
// verdicts. Values are exact in binary, so the edges are the rules' own.
#include "calc/Conformity.h"

#include <gtest/gtest.h>

namespace {

using V = Conformity::Verdict;
using S = Conformity::Statement;

TEST(Conformity, EachRuleAtTheToleranceEdge) {
    const struct {
        double d;
        bool bGuarded;
        V expected;
    } cases[] = {
        // Simple acceptance: the deviation alone, the edge passes.
        {1.0, false, V::kPass},
        {-1.0, false, V::kPass},
        {1.0000001, false, V::kFail},
        {-1.0000001, false, V::kFail},
        // Guarded by U = 0.25: pass while |d| + U is within, fail once
        // |d| - U is beyond, indeterminate in between.
        {0.75, true, V::kPass},
        {-0.75, true, V::kPass},
        {0.76, true, V::kIndeterminate},
        {1.0, true, V::kIndeterminate},
        {1.25, true, V::kIndeterminate},
        {-1.25, true, V::kIndeterminate},
        {1.26, true, V::kFail},
        {-1.26, true, V::kFail},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Conformity::Judge(c.d, 1.0, c.bGuarded, 0.25), c.expected)
            << c.d << (c.bGuarded ? " guarded" : " simple");
}

TEST(Conformity, OneFailureDecidesThenAnyDoubt) {
    EXPECT_EQ(Conformity::State({V::kPass, V::kPass}), S::kConforms);
    EXPECT_EQ(Conformity::State({V::kPass, V::kIndeterminate, V::kFail}), S::kDoesNotConform);
    EXPECT_EQ(Conformity::State({V::kPass, V::kIndeterminate}), S::kNoStatement);
    EXPECT_EQ(Conformity::State({}), S::kNoStatement);
    EXPECT_STREQ(Conformity::VerdictName(V::kIndeterminate), "indeterminate");
}

}  // namespace
