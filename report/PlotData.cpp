#include "report/PlotData.h"

#include <algorithm>
#include <cmath>

#include "calc/CalibrationBudget.h"
#include "calc/CalibrationFit.h"
#include "calc/Calculator.h"
#include "grid/GridData.h"
#include "grid/UncertaintyStatement.h"

namespace {

bool Plottable(double v) { return std::isfinite(v) && v > 0; }

// The five boxes of a model: the result boxes, or the manual ones. An empty
// box counts as 0 when bEmptyIsZero (as Set reads the manual boxes).
bool ReadModel(const panel::Contents& contents, panel::Box panel::ResultBox::*pBox,
               bool bEmptyIsZero, PlotData::Model& model) {
    double values[panel::kResults] = {};
    for (int i = 0; i < panel::kResults; ++i) {
        const wxString& str = contents.boxes[panel::kResultBoxes[i].*pBox];
        if (str.empty() && bEmptyIsZero) continue;
        if (!GridData::ReadNumber(str, values[i]) || !std::isfinite(values[i])) return false;
    }
    model.dDeadTime = values[panel::kResultDeadTime];
    model.dKeff = values[panel::kResultKeff];
    model.dK1 = values[panel::kResultK1];
    model.dK2 = values[panel::kResultK2];
    model.dK3 = values[panel::kResultK3];
    model.bShown = true;
    return true;
}

}  // namespace

double PlotData::Model::Value(double dReading, int nProgramMode) const {
    return Calculator::CorrectedValue(Calculator::Period(dReading, nProgramMode) - dDeadTime, dKeff,
                                      dK1, dK2, dK3);
}

PlotData PlotData::Build(const panel::Contents& contents, int nProgramMode,
                         const CalibrationFit* pFit) {
    PlotData data;
    data.m_nProgramMode = nProgramMode;
    data.m_strUnit = contents.details.Get(CalibrationDetails::kUnit);
    // Frequencies are in hertz whatever the record says.
    data.m_strReadingUnit =
        nProgramMode == 0 ? wxString(wxT("Hz")) : contents.details.GetPeriodUnit();

    // The record's tolerance, and the budgets of the fit when evaluated: the
    // band and the bars.
    const UncertaintyStatement statement(contents, pFit);
    data.m_dTolerance = statement.GetTolerance();
    const CalibrationBudget* pBudget = statement.GetBudget();

    // The rows as Count would read them now; a row counts when it is
    // complete, whatever the ticks or the rest of the grid.
    GridData grid;
    grid.Read(contents.table, !GridData::IsSecondColumnInUse(contents.table));

    ReadModel(contents, &panel::ResultBox::result, false, data.m_count);
    if (GridData::ShowsResults(contents.manualTable))
        ReadModel(contents, &panel::ResultBox::manual, true, data.m_manual);

    const std::vector<double> vecMeans = grid.MeanReadings();
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    for (size_t k = 0; k < grid.m_vecGridRow.size(); ++k) {
        const double x = vecMeans[k];
        const double y = grid.m_vecGridRealP[k];
        if (!Plottable(x) || !Plottable(y)) {
            ++data.m_nLeftOut;
            continue;
        }
        const int nRow = grid.m_vecGridRow[k];
        data.m_vecPoints.push_back({x, y, static_cast<bool>(grid.m_vecGridChoose[k]), nRow});
        xMin = data.m_vecPoints.size() == 1 ? x : std::min(xMin, x);
        xMax = data.m_vecPoints.size() == 1 ? x : std::max(xMax, x);
        yMin = data.m_vecPoints.size() == 1 ? y : std::min(yMin, y);
        yMax = data.m_vecPoints.size() == 1 ? y : std::max(yMax, y);

        double dPercent = 0;
        if (GridData::ReadNumber(contents.table[nRow][GridData::kAccuracyCol], dPercent) &&
            std::isfinite(dPercent))
            data.m_vecAccuracyCount.push_back({x, dPercent});
        if (data.m_manual.bShown &&
            GridData::ReadNumber(contents.manualTable[nRow][GridData::kAccuracyCol], dPercent) &&
            std::isfinite(dPercent)) {
            data.m_vecAccuracyManual.push_back({x, dPercent});
            // The deviation's U, the same at every row.
            if (pBudget) {
                const double dU = pBudget->GetDeviation().GetExpanded();
                data.m_vecAccuracyInterval.push_back({x, dPercent - dU, dPercent + dU});
            }
        }
    }
    if (data.IsEmpty()) return data;

    data.SampleModel(data.m_count, xMin, xMax);
    data.SampleModel(data.m_manual, xMin, xMax);
    if (pBudget) data.SampleBand(*pBudget);

    // The lines widen the value range, but a model that runs far off near
    // the dead time must not squeeze the points into a corner: a decade
    // beyond the points at most; the rest is clipped.
    double yLow = yMin, yHigh = yMax;
    for (const Model* pModel : {&data.m_count, &data.m_manual})
        for (const auto& segment : pModel->vecSegments)
            for (const XY& s : segment) {
                yLow = std::min(yLow, std::max(s.dY, yMin / 10));
                yHigh = std::max(yHigh, std::min(s.dY, yMax * 10));
            }
    data.m_axisX = PlotAxis::Log(xMin, xMax);
    data.m_axisY = PlotAxis::Log(yLow, yHigh);

    // The shaded band is always in view, and zero with it.
    double aLow = -1.5 * data.GetAccuracyBand(), aHigh = 1.5 * data.GetAccuracyBand();
    for (const auto* pVec : {&data.m_vecAccuracyCount, &data.m_vecAccuracyManual})
        for (const XY& a : *pVec) {
            aLow = std::min(aLow, a.dY);
            aHigh = std::max(aHigh, a.dY);
        }
    // The intervals too, but an ill-determined fit must not flatten the
    // points: twice their range at most; the rest is clipped.
    const double aPointsLow = aLow, aPointsHigh = aHigh;
    for (const Interval& i : data.m_vecAccuracyInterval) {
        aLow = std::min(aLow, std::max(i.dLow, 2 * aPointsLow));
        aHigh = std::max(aHigh, std::min(i.dHigh, 2 * aPointsHigh));
    }
    data.m_axisAccuracy = PlotAxis::Linear(aLow, aHigh);
    return data;
}

void PlotData::SampleModel(Model& model, double dFrom, double dTo) const {
    if (!model.bShown) return;
    const double lo = std::log10(dFrom), hi = std::log10(dTo);
    const int n = dTo > dFrom ? kSamples : 1;
    bool bInSegment = false;
    for (int i = 0; i < n; ++i) {
        const double x = n == 1 ? dFrom : std::pow(10.0, lo + (hi - lo) * i / (n - 1));
        const double y = model.Value(x, m_nProgramMode);
        if (!Plottable(y)) {
            model.bCut = true;
            bInSegment = false;
            continue;
        }
        if (!bInSegment) model.vecSegments.emplace_back();
        model.vecSegments.back().push_back({x, y});
        bInSegment = true;
    }
}

void PlotData::SampleBand(const CalibrationBudget& budget) {
    // Around the manual line, at its own samples: the corrected value's U
    // from its budget, as at the rows, in percent of the line's value.
    for (const auto& segment : m_manual.vecSegments) {
        bool bInSegment = false;
        for (const XY& s : segment) {
            const double dU =
                budget.CorrectedValueAt(s.dX, m_nProgramMode).GetExpanded() / 100 * s.dY;
            if (!std::isfinite(dU)) {
                bInSegment = false;
                continue;
            }
            if (!bInSegment) m_vecBand.emplace_back();
            m_vecBand.back().push_back({s.dX, s.dY - dU, s.dY + dU});
            bInSegment = true;
        }
    }
}
