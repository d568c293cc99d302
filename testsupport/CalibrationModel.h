#ifndef VARID_TESTSUPPORT_CALIBRATIONMODEL_H
#define VARID_TESTSUPPORT_CALIBRATIONMODEL_H

#include <string>
#include <vector>

#include "testsupport/Detector.h"

// What an operator types for a synthetic detector, and the texts the panel
// must show for it, from the tests' own model of the calibration.

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
};

// A detector with known dead time, efficacy and K1..K3 read at periods from
// 2000 down to 20 (frequencies in mode 0), fewer points taking the shortest.
// Point i goes to grid row vecGridRows[i]; vecChosen lists the ticked points.
// Without a second reading only column 2 is filled. T is the true
// dead-time-free period of the lowest chosen point.
DataSet MakeDetectorData(int nMode, const std::vector<int>& vecGridRows,
                         const std::vector<int>& vecChosen, bool bTwoReadings = true);

// Fails the running test when the data set is unfit for comparing texts: a
// coefficient too close to a rounding edge, or poles that leave case 0.
CountResult ExpectedCount(const DataSet& data);

// The rows corrected with manual values as typed in the boxes.
std::vector<RowResult> ExpectedManual(const DataSet& data, const Detector& typed);

// The calibration of the data set's four ticked rows.
Fit CalibrateData(const DataSet& data);

// The detector a root of the calibration's K3 equation implies.
Detector WithRoot(const Fit& fit, long double k3);

// Largest |accuracy| in percent over the unticked rows, corrected with these
// values rounded to three decimals as the engine rounds them.
long double LargestUntickedDeviation(const DataSet& data, const Detector& used);

#endif
