#include <cmath>

#include <gtest/gtest.h>

#include "testsupport/Detector.h"

namespace {

// The corrected period of row j for dead time dt, from the row's readings.
long double CorrectedPeriod(const EngineInput& in, int j, long double dt) {
    return ToPeriod(g_nProgramMode, (static_cast<long double>(in.fl[j]) + in.fr[j]) / 2) - dt;
}

// Every row corrected by the detector's model, and its accuracy.
void ExpectRowsCorrectedBy(const Calculator& calc, const EngineInput& in, const Detector& det) {
    for (int j = 0; j < 11; ++j) {
        SCOPED_TRACE(j);
        const long double p = det.P(CorrectedPeriod(in, j, det.dt));
        EXPECT_NEAR(calc.GetCorrectP(j), p, 1e-12L * p);
        EXPECT_NEAR(calc.GetAccuracy(j), (p - in.realP[j]) / in.realP[j] * 100, 1e-9L);
    }
}

class Calibration : public ::testing::TestWithParam<int> {
protected:
    ProgramMode m_mode{GetParam()};
    ErrorRecorder m_errors;
};

TEST_P(Calibration, GivesBackTheDetectorAndCorrectsEveryRow) {
    const EngineInput in = ElevenRows(kTypical, true);
    CalculatorProbe calc;
    in.FeedTo(calc);
    ASSERT_TRUE(calc.Calculate());
    EXPECT_TRUE(ErrorRecorder::Messages().empty());
    EXPECT_EQ(calc.GetDT(), 2.5);
    EXPECT_EQ(calc.GetKeff(), 500.0);
    EXPECT_EQ(calc.GetK1(), 0.2);
    EXPECT_EQ(calc.GetK2(), 0.005);
    EXPECT_EQ(calc.GetK3(), 3.0);
    ExpectRowsCorrectedBy(calc, in, kTypical);
}

TEST_P(Calibration, UnroundedCoefficientsReproduceThePointsOfAFullyCorrectedDetector) {
    const EngineInput in = ElevenRows(kTypical, false);
    CalculatorProbe raw;
    in.FeedTo(raw);
    PrepareSearch(raw);
    raw.FindK3();
    raw.CalcK2();
    raw.CalcK1();

    long double R[4], F[4];
    for (int i = 0; i < 4; ++i) {
        R[i] = in.realPforCalc[i];
        F[i] = (static_cast<long double>(in.flForCalc[i]) + in.frForCalc[i]) / 2;
    }
    const Fit fit = Calibrate(GetParam(), R, F, in.t);
    ASSERT_TRUE(fit.bRootFound);
    EXPECT_NEAR(raw.m_dDT, fit.det.dt, 1e-9L);
    EXPECT_NEAR(raw.m_dKeff, fit.det.keff, 1e-9L);
    // K3 is a root up to the search tolerance: one more march step would be
    // shorter than 1e-7, which bounds its distance from the root.
    const long double L = raw.EstimateSlope(), h = 1e-6L;
    EXPECT_LT(std::fabs(K3EquationOf(raw, raw.m_k3)) / L, 1e-7L);
    const long double slopeAtRoot =
        (K3EquationOf(raw, fit.det.k3 + h) - K3EquationOf(raw, fit.det.k3 - h)) / (2 * h);
    EXPECT_LT(std::fabs(raw.m_k3 - fit.det.k3), 2 * 1e-7L * L / std::fabs(slopeAtRoot));

    // K2 and K1 are solved from points 1 and 2; point 3 holds as well as K3
    // is a root.
    const Detector fitted{raw.m_dDT, raw.m_dKeff, raw.m_k1, raw.m_k2, raw.m_k3};
    for (int i = 1; i < 4; ++i) {
        const long double r = R[i];
        EXPECT_NEAR(fitted.P(CorrectedPeriod(in, kPoints[i], raw.m_dDT)), r,
                    (i < 3 ? 1e-11L : 1e-6L) * r)
            << i;
    }

    // Calculate rounds the five to three decimals before correcting the rows.
    CalculatorProbe calc;
    in.FeedTo(calc);
    ASSERT_TRUE(calc.Calculate());
    const double shown[5] = {calc.GetDT(), calc.GetKeff(), calc.GetK1(), calc.GetK2(),
                             calc.GetK3()};
    const double unrounded[5] = {raw.m_dDT, raw.m_dKeff, raw.m_k1, raw.m_k2, raw.m_k3};
    for (int k = 0; k < 5; ++k) {
        EXPECT_NEAR(shown[k], unrounded[k], 0.0005 + 1e-12) << k;
        EXPECT_NEAR(shown[k] * 1000, std::round(shown[k] * 1000), 1e-6) << k;
    }
    ExpectRowsCorrectedBy(calc, in, {shown[0], shown[1], shown[2], shown[3], shown[4]});
}

INSTANTIATE_TEST_SUITE_P(BothModes, Calibration, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param ? std::string("Periods")
                                               : std::string("Frequencies");
                         });

}  // namespace
