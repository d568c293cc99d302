#ifndef VARID_TESTSUPPORT_KNOWNPANEL_H
#define VARID_TESTSUPPORT_KNOWNPANEL_H

#include <cstdlib>

#include <gtest/gtest.h>

#include "calc/CalibrationFit.h"
#include "calc/Calculator.h"
#include "grid/CalibrationRun.h"
#include "grid/PanelContents.h"
#include "testsupport/CalibrationModel.h"

// The panel as it stands after typing a data set of the tests' detector and
// pressing Count: points, ticks, T, the results in the grid and the boxes,
// the manual boxes filled from them. The texts come from the tests' own
// model of the calibration, not from the engine.
inline panel::Contents PanelAfterCount(const DataSet& data) {
    const CountResult result = ExpectedCount(data);
    panel::Contents c;
    for (size_t i = 0; i < data.rows.size(); ++i) {
        const DataRow& row = data.rows[i];
        c.table[row.nRow] = {row.bChosen ? "1" : "",
                             row.strRealP,
                             row.strFirst,
                             row.strSecond,
                             result.rows[i].strCorrection,
                             result.rows[i].strAccuracy};
    }
    c.boxes[panel::kBoxT] = data.strT;
    // In the order of panel::kResultBoxes.
    const std::string* values[] = {&result.strDT, &result.strKeff, &result.strK1, &result.strK2,
                                   &result.strK3};
    for (int i = 0; i < panel::kResults; ++i) {
        const panel::ResultBox& r = panel::kResultBoxes[i];
        c.boxes[r.result] = c.boxes[r.manual] = *values[i];
    }
    return c;
}

// Then the manual values typed and Set pressed: the manual grid repeats the
// points and shows the rows corrected with those values.
inline void ApplySet(panel::Contents& c, const DataSet& data, const Detector& typed) {
    const std::vector<RowResult> rows = ExpectedManual(data, typed);
    for (size_t i = 0; i < data.rows.size(); ++i) {
        const int r = data.rows[i].nRow;
        for (int k = 0; k < 4; ++k) c.manualTable[r][k] = c.table[r][k];
        c.manualTable[r][4] = rows[i].strCorrection;
        c.manualTable[r][5] = rows[i].strAccuracy;
    }
    auto text = [](long double v) { return wxString::Format("%.3f", static_cast<double>(v)); };
    const long double values[] = {typed.dt, typed.keff, typed.k1, typed.k2, typed.k3};
    for (int i = 0; i < panel::kResults; ++i)
        c.boxes[panel::kResultBoxes[i].manual] = text(values[i]);
}

// Then Fit pressed, as the panel runs it: the manual boxes and grid hold the
// fit's set, and fit its result. The program mode must be the data's.
inline panel::Contents PanelAfterFit(const DataSet& data, CalibrationFit& fit) {
    panel::Contents c = PanelAfterCount(data);
    Calculator calc;
    CalibrationRun run(calc);
    EXPECT_EQ(run.Fit(c, 4, fit), CalibrationRun::Outcome::kDone) << run.GetError();
    return c;
}

// Six complete rows in period mode at four periods, which cannot determine
// five values, after Fit: the fit ran and its covariance is undetermined.
// The program mode must be 1.
inline panel::Contents PanelAfterUndeterminedFit(CalibrationFit& fit) {
    const EngineInput in =
        DetectorRows(kTypical, {100, 200, 400, 600, 600, 600}, {0, 1, 2, 3}, false, 0);
    panel::Contents c;
    for (size_t r = 0; r < in.realP.size(); ++r)
        c.table[r] = {r < 4 ? "1" : "",
                      wxString::Format("%.10g", in.realP[r]),
                      wxString::Format("%.10g", in.fl[r]),
                      wxString::Format("%.10g", in.fr[r]),
                      "",
                      ""};
    c.boxes[panel::kBoxT] = "600";
    Calculator calc;
    CalibrationRun run(calc);
    EXPECT_EQ(run.Fit(c, 4, fit), CalibrationRun::Outcome::kDone) << run.GetError();
    EXPECT_FALSE(fit.IsCovarianceDetermined());
    return c;
}

// The detector a model's five boxes describe, read as the tests read numbers.
inline Detector BoxesDetector(const panel::Contents& c, panel::Box dt, panel::Box keff,
                              panel::Box k1, panel::Box k2, panel::Box k3) {
    auto num = [&](panel::Box b) { return std::strtold(c.boxes[b].utf8_str(), nullptr); };
    return {num(dt), num(keff), num(k1), num(k2), num(k3)};
}

#endif
