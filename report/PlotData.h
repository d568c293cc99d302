#ifndef VARID_REPORT_PLOTDATA_H
#define VARID_REPORT_PLOTDATA_H

#include <vector>

#include "grid/PanelContents.h"
#include "report/PlotAxis.h"

class CalibrationBudget;
class CalibrationFit;

// What the plot shows, taken from what the panel shows (its grids and boxes
// as the archive tables hold them) and the program mode, never from the
// engine: so it is the same after a Count, a Set, an Open or a restart.
//
// Points are the complete rows of the measurement grid: x is the row's mean
// reading (frequency or period, as the mode has it), y its "Real P0". The
// model lines come from the result boxes and, once Set was used, from the
// manual boxes. Accuracies are the grids' own "Accuracy" columns, the
// values the operator reads beside each row. After a Fit whose set the manual
// boxes still show, the manual line carries the 95 % band of the corrected
// value's uncertainty budget and each manual accuracy the deviation's U.
class PlotData {
public:
    struct XY {
        double dX, dY;
    };

    struct Point {
        double dX, dY;
        bool bTicked;
        int nGridRow;
    };

    // A 95 % interval at a reading: of the value (the band) or of a row's
    // accuracy in percent (its error bar).
    struct Interval {
        double dX, dLow, dHigh;
    };

    // A model as its five boxes give it, and its line over the span of the
    // points' readings, broken where it leaves the logarithmic scale.
    struct Model {
        bool bShown = false;
        double dDeadTime = 0, dKeff = 0, dK1 = 0, dK2 = 0, dK3 = 0;
        std::vector<std::vector<XY>> vecSegments;
        bool bCut = false;  // some samples were not positive and are not drawn

        // The engine's corrected value at a reading.
        double Value(double dReading, int nProgramMode) const;
    };

    // Samples of each model line, spaced evenly on the logarithmic x axis.
    static constexpr int kSamples = 240;

    // pFit, when given, is the fit whose set the manual boxes show.
    static PlotData Build(const panel::Contents& contents, int nProgramMode,
                          const CalibrationFit* pFit = nullptr);

    // Nothing to draw: no complete row can be placed on the scales.
    bool IsEmpty() const { return m_vecPoints.empty(); }

    int m_nProgramMode = 0;
    // The record's units, for the axis titles: of Real P0 (empty when not
    // given) and, in period mode, of the readings.
    wxString m_strUnit, m_strReadingUnit;

    // The record's tolerance in percent, 0 when none is set. The accuracy
    // panel shades within it, else within 1 %.
    double m_dTolerance = 0;
    double GetAccuracyBand() const { return m_dTolerance > 0 ? m_dTolerance : 1.0; }
    std::vector<Point> m_vecPoints;
    // Complete rows left out: a reading or a value that is not positive (or
    // not a finite number) has no place on a logarithmic scale.
    int m_nLeftOut = 0;
    Model m_count;
    Model m_manual;
    std::vector<XY> m_vecAccuracyCount;   // x = reading, y = percent
    std::vector<XY> m_vecAccuracyManual;  // the manual grid's, after Set
    // After a Fit with a budget: the manual line's band, at its samples and
    // in its segments, and the interval of each manual accuracy (in percent,
    // in the order of m_vecAccuracyManual). Without a budget, neither.
    std::vector<std::vector<Interval>> m_vecBand;
    std::vector<Interval> m_vecAccuracyInterval;
    PlotAxis m_axisX, m_axisY, m_axisAccuracy;

private:
    void SampleModel(Model& model, double dFrom, double dTo) const;
    void SampleBand(const CalibrationBudget& budget);
};

#endif
