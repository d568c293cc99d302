#include "testsupport/CalibrationModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

namespace {

const double kReadPeriods[] = {2000, 1200, 800, 500, 300, 200, 120, 80, 50, 30, 20};
const Detector kDetector{2.5L, 9000, 0.35L, 0.02L, 3};

std::string Format(const char* pszFormat, long double v) {
    char buf[128];
    std::snprintf(buf, sizeof buf, pszFormat, static_cast<double>(v));
    return buf;
}

long double Num(const std::string& str) { return std::strtold(str.c_str(), nullptr); }

long double Round3(long double v) { return Num(Format("%.3f", v)); }

Detector Rounded(const Detector& d) {
    return {Round3(d.dt), Round3(d.keff), Round3(d.k1), Round3(d.k2), Round3(d.k3)};
}

long double Mean(const DataRow& row) {
    const long double a = Num(row.strFirst);
    return (a + (row.strSecond.empty() ? a : Num(row.strSecond))) / 2;
}

std::string CorrectionText(long double v) {
    const long double a = std::fabs(v);
    return Format(a <= 10 ? "%.0f" : a < 100 ? "%.1f" : "%.3f", v);
}

std::vector<RowResult> CorrectedRows(const DataSet& data, const Detector& used) {
    std::vector<RowResult> rows;
    for (const DataRow& row : data.rows) {
        const long double p = used.P(ToPeriod(data.nMode, Mean(row)) - used.dt);
        const long double realP = Num(row.strRealP);
        rows.push_back({CorrectionText(p), Format("%.1f", (p - realP) / realP * 100)});
    }
    return rows;
}

}  // namespace

DataSet MakeDetectorData(int nMode, const std::vector<int>& vecGridRows,
                         const std::vector<int>& vecChosen, bool bTwoReadings) {
    DataSet data;
    data.nMode = nMode;
    // The shortest periods are always present: that is where K1..K3 show.
    const size_t nFirst = sizeof kReadPeriods / sizeof kReadPeriods[0] - vecGridRows.size();
    for (size_t i = 0; i < vecGridRows.size(); ++i) {
        const double x = kReadPeriods[nFirst + i];
        const long double r = ToPeriod(nMode, x + kDetector.dt);
        // Two readings a little apart around the true one.
        const double spread = bTwoReadings ? (nMode ? 0.003 : 0.004) : 0;
        const char* pszFormat = nMode ? "%.4f" : "%.3f";
        DataRow row{vecGridRows[i], Format("%.3f", kDetector.P(x)),
                    Format(pszFormat, r * (1 + spread)),
                    bTwoReadings ? Format(pszFormat, r * (1 - spread)) : "",
                    std::find(vecChosen.begin(), vecChosen.end(), int(i)) != vecChosen.end()};
        data.rows.push_back(row);
    }
    data.strT = Format("%g", kReadPeriods[nFirst + vecChosen.back()]);
    return data;
}

Fit CalibrateData(const DataSet& data) {
    long double R[4] = {}, F[4] = {};
    int n = 0;
    for (const DataRow& row : data.rows) {
        if (row.bChosen && n < 4) {
            R[n] = Num(row.strRealP);
            F[n++] = Mean(row);
        }
    }
    EXPECT_EQ(n, 4);
    return Calibrate(data.nMode, R, F, Num(data.strT));
}

Detector WithRoot(const Fit& fit, long double k3) {
    const long double k2 = fit.K2For(k3);
    return {fit.det.dt, fit.det.keff, fit.K1For(k2, k3), k2, k3};
}

long double LargestUntickedDeviation(const DataSet& data, const Detector& used) {
    const Detector shown = Rounded(used);
    long double largest = 0;
    for (const DataRow& row : data.rows) {
        if (row.bChosen) continue;
        const long double realP = Num(row.strRealP);
        const long double p = shown.P(ToPeriod(data.nMode, Mean(row)) - shown.dt);
        largest = std::max(largest, std::fabs((p - realP) / realP * 100));
    }
    return largest;
}

CountResult ExpectedCount(const DataSet& data) {
    const Fit fit = CalibrateData(data);
    EXPECT_TRUE(fit.bRootFound);
    for (long double pole : fit.poles) EXPECT_LT(pole, 0) << "data set leaves case 0";
    const Detector& d = fit.det;
    for (long double v : {d.dt, d.keff, d.k1, d.k2, d.k3}) {
        const long double thousandths = std::fabs(v) * 1000;
        EXPECT_GT(std::fabs(thousandths - std::floor(thousandths) - 0.5L), 0.01L)
            << "data set too close to a rounding edge";
    }
    const Detector shown = Rounded(d);
    return {Format("%.1f", shown.keff), Format("%.3f", shown.dt), Format("%.3f", shown.k1),
            Format("%.3f", shown.k2),   Format("%.3f", shown.k3), CorrectedRows(data, shown)};
}

std::vector<RowResult> ExpectedManual(const DataSet& data, const Detector& typed) {
    return CorrectedRows(data, Rounded(typed));
}
