#include "tests/ui/CalibrationModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const double kPeriods[] = {2000, 1200, 800, 500, 300, 200, 120, 80, 50, 30, 20};
const double kDeadTime = 2.5, kKeff = 9000, kK1 = 0.35, kK2 = 0.02, kK3 = 3.0;

double Num(const std::string& str) { return std::strtod(str.c_str(), nullptr); }

double Round3(double v) { return Num(Format("%.3f", v)); }

double Period(int nMode, double v) { return nMode == 0 ? 1000000 / v : v; }

double Mean(const DataRow& row) {
    const double a = Num(row.strFirst);
    const double b = row.strSecond.empty() ? a : Num(row.strSecond);
    return (a + b) / 2;
}

double MarginInThousandths(double v) {
    const double s = std::fabs(v) * 1000;
    return std::fabs(s - std::floor(s) - 0.5);
}

}  // namespace

std::string Format(const char* pszFormat, double v) {
    char buf[128];
    std::snprintf(buf, sizeof buf, pszFormat, v);
    return buf;
}

std::string FormatCorrectionText(double v) {
    const double a = std::fabs(v);
    if (a <= 10) return Format("%.0f", v);
    if (a < 100) return Format("%.1f", v);
    return Format("%.3f", v);
}

DataSet MakeDetectorData(int nMode, const std::vector<int>& vecGridRows,
                         const std::vector<int>& vecChosen, bool bTwoReadings) {
    DataSet data;
    data.nMode = nMode;
    // The shortest periods are always present: that is where K1..K3 show.
    const size_t nFirst = sizeof kPeriods / sizeof kPeriods[0] - vecGridRows.size();
    for (size_t i = 0; i < vecGridRows.size(); ++i) {
        const double x = kPeriods[nFirst + i];
        const double period = x + kDeadTime;
        const double p = kKeff / x * (1 - kK1 * std::exp(-kK2 * x) + kK3 / x);
        DataRow row;
        row.nRow = vecGridRows[i];
        row.strRealP = Format("%.3f", p);
        // Two readings a little apart around the true one.
        if (nMode == 0) {
            const double f = 1000000 / period;
            row.strFirst = Format("%.3f", bTwoReadings ? f * 1.004 : f);
            row.strSecond = bTwoReadings ? Format("%.3f", f * 0.996) : "";
        } else {
            row.strFirst = Format("%.4f", bTwoReadings ? period * 1.003 : period);
            row.strSecond = bTwoReadings ? Format("%.4f", period * 0.997) : "";
        }
        row.bChosen = std::find(vecChosen.begin(), vecChosen.end(), int(i)) != vecChosen.end();
        data.rows.push_back(row);
    }
    data.strT = Format("%g", kPeriods[nFirst + vecChosen.back()]);
    return data;
}

CountResult ExpectedCount(const DataSet& data) {
    const int m = data.nMode;
    std::vector<double> R, F;
    for (const DataRow& row : data.rows) {
        if (row.bChosen && R.size() < 4) {
            R.push_back(Num(row.strRealP));
            F.push_back(Mean(row));
        }
    }
    const double T = Num(data.strT);

    const double dt = Period(m, F[3]) - T;
    const double keff = (Period(m, F[0]) - dt) * R[0];
    const double t1 = Period(m, F[1]) - dt, t2 = Period(m, F[2]) - dt, t3 = Period(m, F[3]) - dt;
    const double p1 = keff / t1, p2 = keff / t2, p3 = keff / t3;
    const double T1 = 1 / (t1 - t2), T2 = 1 / (t1 - t3);
    const double P1 = 1 - R[1] / p1, P2 = 1 - R[2] / p2, P3 = 1 - R[3] / p3;

    CountResult res;
    res.poles[0] = -t1 * P1;
    res.poles[1] = -t2 * P2;
    res.poles[2] = -t3 * P3;

    // Both ratios of the model equations must give the same K2.
    auto f = [&](long double x) {
        const long double lt1 = t1, lt2 = t2, lt3 = t3;
        return (long double)T1 * std::log(((lt2 * P2 + x) * lt1) / ((lt1 * P1 + x) * lt2)) -
               (long double)T2 * std::log(((lt3 * P3 + x) * lt1) / ((lt1 * P1 + x) * lt3));
    };
    // The first sign change above 0, then bisection.
    long double lo = 0, hi = 0;
    res.bRootFound = false;
    for (int i = 0; i < 50000 && !res.bRootFound; ++i) {
        lo = i * 0.01L;
        hi = (i + 1) * 0.01L;
        res.bRootFound = (f(lo) <= 0) != (f(hi) <= 0);
    }
    for (int i = 0; i < 200; ++i) {
        const long double mid = (lo + hi) / 2;
        if ((f(mid) <= 0) == (f(lo) <= 0))
            lo = mid;
        else
            hi = mid;
    }
    const double k3 = double(lo);
    const double k2 = T1 * std::log(((t2 * P2 + k3) * t1) / ((t1 * P1 + k3) * t2));
    const double k1 = std::exp(k2 * t1) * ((k3 / t1 + 1) - R[1] / p1);

    res.dRoundingMargin =
        std::min({MarginInThousandths(dt), MarginInThousandths(keff), MarginInThousandths(k1),
                  MarginInThousandths(k2), MarginInThousandths(k3)});

    const double rdt = Round3(dt), rkeff = Round3(keff), rk1 = Round3(k1), rk2 = Round3(k2),
                 rk3 = Round3(k3);
    res.strKeff = Format("%.1f", rkeff);
    res.strDT = Format("%.3f", rdt);
    res.strK1 = Format("%.3f", rk1);
    res.strK2 = Format("%.3f", rk2);
    res.strK3 = Format("%.3f", rk3);
    for (const DataRow& row : data.rows) {
        const double x = Period(m, Mean(row)) - rdt;
        const double p = (rkeff / x) * (1 - rk1 * std::exp(-rk2 * x) + rk3 / x);
        const double realP = Num(row.strRealP);
        res.rows.push_back({FormatCorrectionText(p), Format("%.1f", (p - realP) / realP * 100)});
    }
    return res;
}

std::vector<RowResult> ExpectedManual(const DataSet& data, double dK1, double dK2, double dK3,
                                      double dKeff, double dDT) {
    const double k1 = Round3(dK1), k2 = Round3(dK2), k3 = Round3(dK3), keff = Round3(dKeff),
                 dt = Round3(dDT);
    std::vector<RowResult> rows;
    for (const DataRow& row : data.rows) {
        const double x = Period(data.nMode, Mean(row)) - dt;
        const double p = (keff / x) * (1 - k1 * std::exp(-k2 * x) + k3 / x);
        const double realP = Num(row.strRealP);
        rows.push_back({FormatCorrectionText(p), Format("%.1f", (p - realP) / realP * 100)});
    }
    return rows;
}
