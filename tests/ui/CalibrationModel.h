#ifndef VARID_TESTS_UI_CALIBRATIONMODEL_H
#define VARID_TESTS_UI_CALIBRATIONMODEL_H

#include <string>
#include <vector>

// An independent rendering of the calibration model: readings to periods,
// dead time, efficacy, the K3 root (by bisection in long double), K2, K1,
// three-decimal rounding, corrected values and accuracies, and the texts the
// panel is expected to show for them.

struct DataRow {
    int nRow;  // grid row
    std::string strRealP, strFirst, strSecond;
    bool bChosen;
};

struct DataSet {
    int nMode = 0;
    std::string strT;
    std::vector<DataRow> rows;  // complete rows, top to bottom
};

struct RowResult {
    std::string strCorrection, strAccuracy;
};

struct CountResult {
    std::string strKeff, strDT, strK1, strK2, strK3;
    std::vector<RowResult> rows;
    double poles[3];
    // Smallest distance, in thousandths, of DT, Keff, K1..K3 from a
    // three-decimal rounding boundary; tiny values make the data set fragile.
    double dRoundingMargin;
    bool bRootFound;
};

// A detector with known dead time, efficacy and K1..K3 read at periods from
// 2000 down to 20 (as frequencies in mode 0, as periods in mode 1); fewer
// than eleven points take the shortest of these periods. Point i
// of the data set is placed in grid row vecGridRows[i]; vecChosen lists the
// ticked points. Without a second reading only column 2 is filled. T is the
// true dead-time-free period of the lowest chosen point.
DataSet MakeDetectorData(int nMode, const std::vector<int>& vecGridRows,
                         const std::vector<int>& vecChosen, bool bTwoReadings = true);

CountResult ExpectedCount(const DataSet& data);

// The five values as typed in the manual boxes (K1, K2, K3, Keff, DT).
std::vector<RowResult> ExpectedManual(const DataSet& data, double dK1, double dK2, double dK3,
                                      double dKeff, double dDT);

std::string FormatCorrectionText(double v);
std::string Format(const char* pszFormat, double v);

#endif
