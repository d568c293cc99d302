// How many plausible detectors a Count and a Fit calibrate: random detectors
// read as an operator types them, counted through the same rules as the panel,
// and judged on 25 noise-free points over the measured range that were never
// typed into the grid.
//   varid_survey [detectors] [seed]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "app/Globals.h"
#include "calc/Calculator.h"
#include "calc/CalibrationFit.h"
#include "calc/ErrorReport.h"
#include "calc/RootAdvice.h"
#include "grid/CalibrationRun.h"

namespace {

wxString Text(const char* pszFormat, double v) { return wxString::Format(pszFormat, v); }

// The largest deviation in percent of a set of the five values (dead time,
// Keff, K1, K2, K3) from the true detector at the test points.
double LargestTestDeviation(const double (&set)[5], const std::vector<double>& vecX,
                            const std::vector<double>& vecTruth, double dt) {
    double dLargest = 0;
    for (size_t k = 0; k < vecX.size(); ++k) {
        const double reading = 1e6 / (vecX[k] + dt);
        const double p = Calculator::CorrectedValue(Calculator::Period(reading, 0) - set[0], set[1],
                                                    set[2], set[3], set[4]);
        const double d = std::fabs(p - vecTruth[k]) / vecTruth[k] * 100;
        dLargest = std::isfinite(d) ? std::max(dLargest, d) : HUGE_VAL;
    }
    return dLargest;
}

}  // namespace

int main(int argc, char** argv) {
    const int nDetectors = argc > 1 ? std::atoi(argv[1]) : 300;
    std::mt19937_64 rng(argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1);
    auto uniform = [&](double a, double b) { return std::uniform_real_distribution<>(a, b)(rng); };
    SetErrorReportHandler([](const wxString&) {});
    g_nProgramMode = 0;

    int nFailed = 0, nWithinOne = 0, nAdvised = 0;
    int nCountOne = 0, nCountTenth = 0, nFitOne = 0, nFitTenth = 0, nFitFailed = 0;
    for (int n = 0; n < nDetectors; ++n) {
        // Dead time 1-6 us, Keff 1e4-1e6, K1 0-0.6, K2 0.001-0.3 per us, K3 0-60 us.
        const double dt = uniform(1, 6), keff = std::pow(10, uniform(4, 6));
        const double k1 = uniform(0, 0.6), k2 = uniform(0.001, 0.3), k3 = uniform(0, 60);
        // Eleven rows over two to three decades of period, readings in hertz
        // with up to 0.3 % noise and one to three decimals.
        const double xMin = uniform(20, 200), decades = uniform(2, 3), noise = uniform(0, 0.003);
        const int nDecimals = 1 + static_cast<int>(uniform(0, 3));
        const wxString strReading = wxString::Format("%%.%df", nDecimals);
        // One calibration point among the three longest periods, three among
        // the six shortest.
        std::vector<int> vecShort{5, 6, 7, 8, 9, 10};
        std::shuffle(vecShort.begin(), vecShort.end(), rng);
        std::vector<int> vecTicks{static_cast<int>(uniform(0, 3)), vecShort[0], vecShort[1],
                                  vecShort[2]};
        std::sort(vecTicks.begin(), vecTicks.end());

        panel::Contents contents;
        for (int r = 0; r < panel::kRows; ++r) {
            const double x = xMin * std::pow(10, decades * (10 - r) / 10.0);
            const double p = keff / x * (1 - k1 * std::exp(-k2 * x) + k3 / x);
            const double f = 1e6 / (x + dt);
            auto& row = contents.table[r];
            row[GridData::kCheckCol] =
                std::count(vecTicks.begin(), vecTicks.end(), r) ? wxT("1") : wxT("");
            row[GridData::kRealPCol] = Text("%.4g", p);
            row[GridData::kFirstReadingCol] =
                wxString::Format(strReading, f * (1 + uniform(-noise, noise)));
            row[GridData::kSecondReadingCol] =
                wxString::Format(strReading, f * (1 + uniform(-noise, noise)));
            if (r == vecTicks[3]) contents.boxes[panel::kBoxT] = Text("%.1f", x);
        }

        // The test points, evenly on a logarithmic scale over the rows' span.
        std::vector<double> vecTestX, vecTruth;
        const double xMax = xMin * std::pow(10, decades);
        for (int k = 0; k < 25; ++k) {
            vecTestX.push_back(xMin * std::pow(xMax / xMin, k / 24.0));
            vecTruth.push_back(keff / vecTestX.back() *
                               (1 - k1 * std::exp(-k2 * vecTestX.back()) + k3 / vecTestX.back()));
        }

        Calculator calc;
        CalibrationRun run(calc);
        const CalibrationRun::Outcome outcome = run.Count(contents, 4);
        // A Count that fails in its K3 search leaves the rows in the engine,
        // and the Fit starts from its preparation all the same.
        CalibrationFit fit;
        if (outcome == CalibrationRun::Outcome::kRefused || !fit.Run(calc))
            ++nFitFailed;
        else {
            const CalibrationFit::Values& v = fit.GetSet();
            const double fitted[5] = {v[0], v[1], v[2], v[3], v[4]};
            const double dFit = LargestTestDeviation(fitted, vecTestX, vecTruth, dt);
            nFitOne += dFit <= 1;
            nFitTenth += dFit <= 0.1;
        }
        if (outcome != CalibrationRun::Outcome::kDone) {
            ++nFailed;
            continue;
        }
        const double counted[5] = {calc.GetDT(), calc.GetKeff(), calc.GetK1(), calc.GetK2(),
                                   calc.GetK3()};
        const double dCount = LargestTestDeviation(counted, vecTestX, vecTruth, dt);
        nCountOne += dCount <= 1;
        nCountTenth += dCount <= 0.1;

        const std::vector<bool>& vecChosen = run.GetGridData().m_vecGridChoose;
        double dLargest = 0;
        for (size_t k = 0; k < vecChosen.size(); ++k)
            if (!vecChosen[k]) dLargest = std::max(dLargest, std::fabs(calc.GetAccuracy(k)));
        if (dLargest <= 1) ++nWithinOne;
        double dKeff = 0, dDT = 0;
        contents.boxes[panel::kBoxRegistration].ToDouble(&dKeff);
        contents.boxes[panel::kBoxDeadTime].ToDouble(&dDT);
        RootAdvice advice;
        if (advice.Find(calc, vecChosen, dDT, dKeff)) ++nAdvised;
    }
    std::printf(
        "%d detectors: %d not calibrated (\"Can't find coefficient K3\" or another failure),\n"
        "%d with every unticked row within 1 %%, %d with a better root pointed out\n",
        nDetectors, nFailed, nWithinOne, nAdvised);
    auto share = [&](int n) { return 100.0 * n / nDetectors; };
    std::printf(
        "every test point within 1 %%: Count %.1f %%, Fit %.1f %%\n"
        "every test point within 0.1 %%: Count %.1f %%, Fit %.1f %%\n"
        "Fit refused or failed: %d\n",
        share(nCountOne), share(nFitOne), share(nCountTenth), share(nFitTenth), nFitFailed);
    return 0;
}
