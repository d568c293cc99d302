#include <cmath>

#include <gtest/gtest.h>

#include "tests/calc/Detector.h"

namespace {

const Detector kDetector{2.5L, 500.0L, 0.2L, 0.005L, 3.0L};
const double kPeriods[11] = {100, 130, 160, 200, 250, 300, 350, 400, 450, 500, 600};
const int kPoints[4] = {0, 3, 7, 10};  // rows of the calibration points, grid order

// Eleven rows from the detector, two readings per row a little apart; with
// `uncorrectedPointZero` point 0 shows Keff / t0, otherwise every row shows
// the full model.
DataSet ElevenRows(const Detector& det, bool uncorrectedPointZero) {
    DataSet d;
    for (int j = 0; j < 11; ++j) {
        const long double r = det.Reading(kPeriods[j]);
        const bool zero = uncorrectedPointZero && j == kPoints[0];
        d.realP.push_back(static_cast<double>(zero ? det.keff / kPeriods[j] : det.P(kPeriods[j])));
        d.fl.push_back(static_cast<double>(r) - 0.25);
        d.fr.push_back(static_cast<double>(r) + 0.25);
    }
    for (int i : kPoints) {
        d.realPforCalc.push_back(d.realP[i]);
        d.flForCalc.push_back(d.fl[i]);
        d.frForCalc.push_back(d.fr[i]);
    }
    d.t = kPeriods[kPoints[3]];
    return d;
}

// The corrected period of row j for dead time dt, from the row's readings.
long double CorrectedPeriod(const DataSet& d, int j, long double dt) {
    const long double mean = (static_cast<long double>(d.fl[j]) + d.fr[j]) / 2;
    return (g_nProgramMode ? mean : 1000000.0L / mean) - dt;
}

class Calibration : public ::testing::TestWithParam<int> {
protected:
    ProgramMode m_mode{GetParam()};
    ErrorRecorder m_errors;
};

TEST_P(Calibration, GivesBackTheDetectorAndCorrectsEveryRow) {
    const DataSet d = ElevenRows(kDetector, true);
    Calculator calc;
    d.FeedTo(calc);
    ASSERT_TRUE(calc.Calculate());
    EXPECT_TRUE(ErrorRecorder::Messages().empty());

    EXPECT_EQ(calc.GetDT(), 2.5);
    EXPECT_EQ(calc.GetKeff(), 500.0);
    EXPECT_DOUBLE_EQ(calc.GetK1(), 0.2);
    EXPECT_DOUBLE_EQ(calc.GetK2(), 0.005);
    EXPECT_DOUBLE_EQ(calc.GetK3(), 3.0);

    for (int j = 0; j < 11; ++j) {
        SCOPED_TRACE(j);
        const long double x = CorrectedPeriod(d, j, 2.5L);
        const long double expected = kDetector.P(x);
        EXPECT_NEAR(calc.GetCorrectP(j), expected, 1e-12L * expected);
        const long double accuracy = (expected - d.realP[j]) / d.realP[j] * 100;
        if (j == kPoints[0]) {
            // Keff assumes no correction at point 0, so its row shows the
            // whole correction as its accuracy.
            const long double x0 = kPeriods[j];
            const long double correction =
                100 * (kDetector.k3 / x0 - kDetector.k1 * std::exp(-kDetector.k2 * x0));
            EXPECT_NEAR(calc.GetAccuracy(j), correction, 1e-6);
        } else {
            EXPECT_NEAR(calc.GetAccuracy(j), 0.0, 1e-7);
        }
        EXPECT_NEAR(calc.GetAccuracy(j), accuracy, 1e-9);
    }
}

TEST_P(Calibration, UnroundedCoefficientsReproduceThePointsOfAFullyCorrectedDetector) {
    const DataSet d = ElevenRows(kDetector, false);

    // The steps of the calculation one by one, before any rounding.
    Calculator raw;
    d.FeedTo(raw);
    Calculator::AverageReadings(raw.m_vecFlForCalc, raw.m_vecFrForCalc, raw.m_vecFForCalc);
    raw.CalcDeadTimeAndKeff();
    raw.CalcPeriods();
    raw.CalcUncorrectedP();
    raw.CalcAuxiliary();
    raw.FindK3();
    raw.CalcK2();
    raw.CalcK1();

    const long double dt = CorrectedPeriod(d, kPoints[3], 0) - d.t;
    const long double t0 = CorrectedPeriod(d, kPoints[0], dt);
    EXPECT_NEAR(raw.m_dDT, dt, 1e-9L);
    EXPECT_NEAR(raw.m_dKeff, t0 * d.realPforCalc[0], 1e-9L);
    // K3 is the root of its equation up to the search tolerance: one more
    // march step would be shorter than 1e-7, and a root found here in long
    // double lies within the distance that allows.
    const long double L = raw.EstimateSlope();
    EXPECT_LT(std::fabs(K3EquationLd(raw, raw.m_k3)) / L, 1e-7L);
    long double root = raw.m_k3;
    for (int n = 0; n < 50; ++n) {
        const long double h = 1e-6L;
        const long double slope =
            (K3EquationLd(raw, root + h) - K3EquationLd(raw, root - h)) / (2 * h);
        root -= K3EquationLd(raw, root) / slope;
    }
    const long double slopeAtRoot =
        (K3EquationLd(raw, root + 1e-6L) - K3EquationLd(raw, root - 1e-6L)) / 2e-6L;
    ASSERT_LT(std::fabs(K3EquationLd(raw, root)), 1e-15L);
    EXPECT_LT(std::fabs(raw.m_k3 - root), 2 * 1e-7L * L / std::fabs(slopeAtRoot));

    const Detector fitted{raw.m_dDT, raw.m_dKeff, raw.m_k1, raw.m_k2, raw.m_k3};
    for (int i = 1; i < 4; ++i) {
        SCOPED_TRACE(i);
        const long double x = CorrectedPeriod(d, kPoints[i], raw.m_dDT);
        const long double r = d.realPforCalc[i];
        // K2 and K1 are solved from points 1 and 2; point 3 holds as well
        // as K3 is a root.
        EXPECT_NEAR(fitted.P(x), r, (i < 3 ? 1e-11L : 1e-6L) * r);
    }

    Calculator calc;
    d.FeedTo(calc);
    ASSERT_TRUE(calc.Calculate());
    EXPECT_EQ(calc.GetDT(), 2.5);
    const double rounded[5] = {calc.GetKeff(), calc.GetK1(), calc.GetK2(), calc.GetK3(),
                               calc.GetDT()};
    const double unrounded[5] = {raw.m_dKeff, raw.m_k1, raw.m_k2, raw.m_k3, raw.m_dDT};
    for (int k = 0; k < 5; ++k) {
        SCOPED_TRACE(k);
        EXPECT_NEAR(rounded[k], unrounded[k], 0.0005 + 1e-12);
        EXPECT_NEAR(rounded[k] * 1000, std::round(rounded[k] * 1000), 1e-6);
    }
    // The rows are corrected with exactly the rounded values.
    const Detector shown{calc.GetDT(), calc.GetKeff(), calc.GetK1(), calc.GetK2(), calc.GetK3()};
    for (int j = 0; j < 11; ++j) {
        SCOPED_TRACE(j);
        const long double p = shown.P(CorrectedPeriod(d, j, calc.GetDT()));
        EXPECT_NEAR(calc.GetCorrectP(j), p, 1e-12L * p);
        EXPECT_NEAR(calc.GetAccuracy(j), (p - d.realP[j]) / d.realP[j] * 100, 1e-9L);
    }
}

INSTANTIATE_TEST_SUITE_P(BothModes, Calibration, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param ? std::string("Periods")
                                               : std::string("Frequencies");
                         });

}  // namespace
