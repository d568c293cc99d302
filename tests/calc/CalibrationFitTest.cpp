#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "calc/CalibrationFit.h"
#include "testsupport/Detector.h"

namespace {

using Values = CalibrationFit::Values;

struct RecoveryCase {
    const char* name;
    int mode;
    Detector det;
    std::vector<double> x;  // dead-time-free periods of the rows
};

class FitRecovery : public ::testing::TestWithParam<RecoveryCase> {};

// Noise-free, unrounded rows of a known detector: the least-squares end is
// the detector itself, whatever the ticked rows make of it.
TEST_P(FitRecovery, GivesBackTheDetectorFromExactRows) {
    const RecoveryCase& c = GetParam();
    ProgramMode mode(c.mode);
    const int n = static_cast<int>(c.x.size());
    const EngineInput in = DetectorRows(c.det, c.x, {0, n / 3, 2 * n / 3, n - 1}, false, 0);
    Calculator calc;
    in.FeedTo(calc);

    CalibrationFit fit;
    ASSERT_TRUE(fit.Run(calc)) << fit.GetError();
    const long double expected[] = {c.det.dt, c.det.keff, c.det.k1, c.det.k2, c.det.k3};
    for (int j = 0; j < CalibrationFit::kValues; ++j)
        EXPECT_NEAR(fit.GetUnrounded()[j], expected[j], 1e-6L * std::fabs(expected[j])) << j;
    EXPECT_EQ(fit.GetRows(), n);
    EXPECT_EQ(fit.GetDegreesOfFreedom(), n - 5);
    EXPECT_LT(fit.GetResidualPercent(), 1e-6);
    // The set lies on the boxes' grid and its rows match the references as
    // closely as three decimals allow.
    const Values& set = fit.GetSet();
    EXPECT_EQ(wxString::Format("%.1f", set[CalibrationFit::kKeff]),
              wxString::Format("%.1f", fit.GetUnrounded()[CalibrationFit::kKeff]));
    for (size_t i = 0; i < c.x.size(); ++i) {
        const double p = CalibrationFit::Model(set, Calculator::Period(in.fl[i]) - set[0]);
        EXPECT_NEAR(p / in.realP[i], 1, 2e-4) << "row " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Detectors, FitRecovery,
    ::testing::Values(
        RecoveryCase{"TypicalPeriods", 1, kTypical, kPeriods},
        RecoveryCase{"StrongCorrectionFrequencies",
                     0,
                     {3.7L, 2.4e5L, 0.45L, 0.021L, 17.5L},
                     {40, 60, 90, 130, 200, 300, 450, 700, 1000, 1500, 2300}},
        RecoveryCase{"SixRows", 0, {1.2L, 8e4L, 0.3L, 0.05L, 8}, {30, 55, 100, 180, 330, 600}}),
    [](const ::testing::TestParamInfo<RecoveryCase>& info) { return info.param.name; });

// Inputs the fit refuses or cannot fit, each leaving an earlier fit as it was.
TEST(CalibrationFit, RefusesFewRowsAndReportsNoConvergenceWithoutChanges) {
    ProgramMode mode(1);
    Calculator good;
    ElevenRows(kTypical, false).FeedTo(good);
    CalibrationFit fit;
    ASSERT_TRUE(fit.Run(good));
    const Values before = fit.GetSet();

    struct {
        const char* name;
        EngineInput in;
        const char* message;
    } cases[] = {
        {"five rows", DetectorRows(kTypical, {100, 200, 300, 400, 600}, {0, 1, 2, 4}, false, 0),
         "The fit needs at least 6 complete rows (5 given)."},
        {"four rows", DetectorRows(kTypical, {100, 200, 400, 600}, {0, 1, 2, 3}, false, 0),
         "The fit needs at least 6 complete rows (4 given)."},
        {"a reference of 0", ElevenRows(kTypical, false),
         "The fit did not converge: no values were changed."},
    };
    cases[2].in.realP[5] = 0;
    for (auto& c : cases) {
        ErrorRecorder recorder;
        Calculator calc;
        c.in.FeedTo(calc);
        EXPECT_FALSE(fit.Run(calc)) << c.name;
        EXPECT_EQ(fit.GetError(), c.message) << c.name;
        EXPECT_EQ(fit.GetSet(), before) << c.name;
        EXPECT_TRUE(ErrorRecorder::Messages().empty()) << c.name;
    }
}

// Honest intervals: detectors drawn at random, read with noise and rounded as
// an operator types them; at noise-free points across each measured range
// the 95 % interval of the corrected value holds the true value about 95 %
// of the time.
TEST(CalibrationFit, IntervalsHoldTheTrueValueAtAboutNinetyFivePercent) {
    ProgramMode mode(0);
    std::mt19937_64 rng(20240518);
    auto uniform = [&](double a, double b) { return std::uniform_real_distribution<>(a, b)(rng); };
    int nDetectors = 0, nFitted = 0, nPoints = 0, nHeld = 0;
    for (; nDetectors < 240; ++nDetectors) {
        const Detector det{uniform(1, 6), std::pow(10, uniform(4, 6)), uniform(0, 0.6),
                           uniform(0.001, 0.3), uniform(0, 60)};
        const double xMin = uniform(20, 200), decades = uniform(2, 3), noise = uniform(0, 0.003);
        const double scale = std::pow(10, static_cast<int>(uniform(1, 4)));
        EngineInput in;
        std::vector<double> x;
        for (int r = 0; r < 11; ++r) x.push_back(xMin * std::pow(10, decades * r / 10.0));
        for (double xr : x) {
            const double f = static_cast<double>(1e6L / (xr + det.dt));
            in.realP.push_back(
                std::stod(wxString::Format("%.4g", double(det.P(xr))).ToStdString()));
            in.fl.push_back(std::round(f * (1 + uniform(-noise, noise)) * scale) / scale);
            in.fr.push_back(std::round(f * (1 + uniform(-noise, noise)) * scale) / scale);
        }
        for (int i : {0, 3, 6, 10}) {
            in.realPforCalc.push_back(in.realP[i]);
            in.flForCalc.push_back(in.fl[i]);
            in.frForCalc.push_back(in.fr[i]);
        }
        in.t = x[10];
        ErrorRecorder recorder;
        Calculator calc;
        in.FeedTo(calc);
        CalibrationFit fit;
        if (!fit.Run(calc)) continue;
        ++nFitted;
        for (int k = 0; k < 25; ++k) {
            const long double xt = x.front() * std::pow(x.back() / x.front(), k / 24.0L);
            const double reading = static_cast<double>(1e6L / (xt + det.dt));
            const long double truth = det.P(xt);
            ++nPoints;
            if (std::fabs(fit.ValueAt(reading, 0) - truth) <= fit.ExpandedUncertaintyAt(reading, 0))
                ++nHeld;
        }
    }
    EXPECT_GE(nFitted, nDetectors * 95 / 100);
    const double rate = static_cast<double>(nHeld) / nPoints;
    EXPECT_GE(rate, 0.90) << nHeld << " of " << nPoints;
    EXPECT_LE(rate, 0.99) << nHeld << " of " << nPoints;
    std::printf("coverage %.4f over %d points of %d detectors\n", rate, nPoints, nFitted);
}

}  // namespace
