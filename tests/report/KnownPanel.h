#ifndef VARID_TESTS_REPORT_KNOWNPANEL_H
#define VARID_TESTS_REPORT_KNOWNPANEL_H

#include <cstdlib>

#include <gtest/gtest.h>

#include "archive/ArchiveDocument.h"
#include "calc/CalibrationFit.h"
#include "calc/Calculator.h"
#include "grid/CalibrationRun.h"
#include "tests/ui/CalibrationModel.h"

// The panel as it stands after typing a data set of the tests' detector and
// pressing Count: points, ticks, T, the results in the grid and the boxes,
// the manual boxes filled from them. The texts come from the tests' own
// model of the calibration, not from the engine.
inline archive::Contents PanelAfterCount(const DataSet& data) {
    const CountResult result = ExpectedCount(data);
    archive::Contents c;
    for (size_t i = 0; i < data.rows.size(); ++i) {
        const DataRow& row = data.rows[i];
        c.table[row.nRow] = {row.bChosen ? "1" : "",
                             row.strRealP,
                             row.strFirst,
                             row.strSecond,
                             result.rows[i].strCorrection,
                             result.rows[i].strAccuracy};
    }
    c.boxes[archive::kBoxT] = data.strT;
    const std::string* values[] = {&result.strKeff, &result.strDT, &result.strK1, &result.strK2,
                                   &result.strK3};
    const archive::Box results[] = {archive::kBoxRegistration, archive::kBoxDeadTime,
                                    archive::kBoxK1, archive::kBoxK2, archive::kBoxK3};
    const archive::Box manual[] = {archive::kBoxManualRegistration, archive::kBoxManualDeadTime,
                                   archive::kBoxManualK1, archive::kBoxManualK2,
                                   archive::kBoxManualK3};
    for (int i = 0; i < 5; ++i) c.boxes[results[i]] = c.boxes[manual[i]] = *values[i];
    return c;
}

// Then the manual values typed and Set pressed: the manual grid repeats the
// points and shows the rows corrected with those values.
inline void ApplySet(archive::Contents& c, const DataSet& data, const Detector& typed) {
    const std::vector<RowResult> rows = ExpectedManual(data, typed);
    for (size_t i = 0; i < data.rows.size(); ++i) {
        const int r = data.rows[i].nRow;
        for (int k = 0; k < 4; ++k) c.manualTable[r][k] = c.table[r][k];
        c.manualTable[r][4] = rows[i].strCorrection;
        c.manualTable[r][5] = rows[i].strAccuracy;
    }
    auto text = [](long double v) { return wxString::Format("%.3f", static_cast<double>(v)); };
    c.boxes[archive::kBoxManualDeadTime] = text(typed.dt);
    c.boxes[archive::kBoxManualRegistration] = text(typed.keff);
    c.boxes[archive::kBoxManualK1] = text(typed.k1);
    c.boxes[archive::kBoxManualK2] = text(typed.k2);
    c.boxes[archive::kBoxManualK3] = text(typed.k3);
}

// Then Fit pressed, as the panel runs it: the manual boxes and grid hold the
// fit's set, and fit its result. The program mode must be the data's.
inline archive::Contents PanelAfterFit(const DataSet& data, CalibrationFit& fit) {
    archive::Contents c = PanelAfterCount(data);
    Calculator calc;
    CalibrationRun run(calc);
    EXPECT_EQ(run.Fit(c, 4, fit), CalibrationRun::Outcome::kDone) << run.GetError();
    return c;
}

// The detector a model's five boxes describe, read as the tests read numbers.
inline Detector BoxesDetector(const archive::Contents& c, archive::Box dt, archive::Box keff,
                              archive::Box k1, archive::Box k2, archive::Box k3) {
    auto num = [&](archive::Box b) { return std::strtold(c.boxes[b].utf8_str(), nullptr); };
    return {num(dt), num(keff), num(k1), num(k2), num(k3)};
}

#endif
