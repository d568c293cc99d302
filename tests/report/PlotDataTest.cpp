// Plot data from known panels: the points, the model lines against the
// tests' own detector model, the accuracies, what is left out, the axes.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include "calc/CalibrationBudget.h"
#include "report/PlotData.h"
#include "testsupport/KnownPanel.h"

namespace {

const std::vector<int> kAllRows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

long double Num(const std::string& str) { return std::strtold(str.c_str(), nullptr); }

long double MeanReading(const DataRow& row) {
    const long double a = Num(row.strFirst);
    return row.strSecond.empty() ? a : (a + Num(row.strSecond)) / 2;
}

void ExpectNear(long double expected, double actual, const std::string& what) {
    EXPECT_NEAR(static_cast<double>(expected), actual,
                1e-9 * std::fabs(static_cast<double>(expected)))
        << what;
}

// The line must run over the points' readings at evenly spaced logarithms
// and follow the detector the boxes describe.
void ExpectLine(const PlotData::Model& model, const Detector& det, int nMode, double xMin,
                double xMax) {
    ASSERT_TRUE(model.bShown);
    ASSERT_EQ(model.vecSegments.size(), 1u);
    EXPECT_FALSE(model.bCut);
    const auto& s = model.vecSegments[0];
    ASSERT_EQ(s.size(), static_cast<size_t>(PlotData::kSamples));
    ExpectNear(xMin, s.front().dX, "first sample");
    ExpectNear(xMax, s.back().dX, "last sample");
    const double step = std::log(xMax / xMin) / (s.size() - 1);
    for (size_t i = 0; i < s.size(); ++i) {
        if (i > 0) {
            EXPECT_NEAR(std::log(s[i].dX / s[i - 1].dX), step, 1e-9) << i;
        }
        ExpectNear(det.P(ToPeriod(nMode, s[i].dX) - det.dt), s[i].dY,
                   "sample " + std::to_string(i));
    }
}

void ExpectAxisCovers(const PlotAxis& axis, double v) {
    EXPECT_LT(axis.GetMin(), v);
    EXPECT_GT(axis.GetMax(), v);
}

TEST(PlotData, PointsLineAndAccuracyAreWhatThePanelShows) {
    const struct {
        int nMode;
        bool bTwoReadings;
        std::vector<int> rows, chosen;
    } cases[] = {
        {0, true, kAllRows, {0, 6, 8, 10}},
        {1, false, kAllRows, {1, 6, 9, 10}},
        // Gaps between the points: each keeps its own row's accuracy.
        {1, true, {1, 2, 4, 5, 6, 7, 9, 10}, {0, 3, 5, 7}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.nMode) + ", rows " + std::to_string(c.rows.size()));
        const DataSet data = MakeDetectorData(c.nMode, c.rows, c.chosen, c.bTwoReadings);
        const panel::Contents contents = PanelAfterCount(data);
        const CountResult expected = ExpectedCount(data);
        const PlotData plot = PlotData::Build(contents, c.nMode);

        ASSERT_EQ(plot.m_vecPoints.size(), data.rows.size());
        EXPECT_EQ(plot.m_nLeftOut, 0);
        double xMin = HUGE_VAL, xMax = 0;
        for (size_t i = 0; i < data.rows.size(); ++i) {
            const PlotData::Point& p = plot.m_vecPoints[i];
            ExpectNear(MeanReading(data.rows[i]), p.dX, "x of point " + std::to_string(i));
            ExpectNear(Num(data.rows[i].strRealP), p.dY, "y of point " + std::to_string(i));
            EXPECT_EQ(p.bTicked, data.rows[i].bChosen) << i;
            EXPECT_EQ(p.nGridRow, data.rows[i].nRow) << i;
            xMin = std::min(xMin, p.dX);
            xMax = std::max(xMax, p.dX);
            ExpectAxisCovers(plot.m_axisX, p.dX);
            ExpectAxisCovers(plot.m_axisY, p.dY);

            ASSERT_EQ(plot.m_vecAccuracyCount.size(), data.rows.size());
            EXPECT_EQ(plot.m_vecAccuracyCount[i].dX, p.dX);
            ExpectNear(Num(expected.rows[i].strAccuracy), plot.m_vecAccuracyCount[i].dY,
                       "accuracy " + std::to_string(i));
            ExpectAxisCovers(plot.m_axisAccuracy, plot.m_vecAccuracyCount[i].dY);
        }
        ExpectLine(plot.m_count,
                   BoxesDetector(contents, panel::kBoxDeadTime, panel::kBoxRegistration,
                                 panel::kBoxK1, panel::kBoxK2, panel::kBoxK3),
                   c.nMode, xMin, xMax);
        for (const auto& s : plot.m_count.vecSegments[0]) ExpectAxisCovers(plot.m_axisY, s.dY);
        // The band of +-1 % is always in view; no Set, no manual line.
        ExpectAxisCovers(plot.m_axisAccuracy, -1);
        ExpectAxisCovers(plot.m_axisAccuracy, 1);
        EXPECT_TRUE(plot.m_axisX.IsLog() && plot.m_axisY.IsLog() && !plot.m_axisAccuracy.IsLog());
        EXPECT_FALSE(plot.m_manual.bShown);
        EXPECT_TRUE(plot.m_vecAccuracyManual.empty());
    }
}

TEST(PlotData, SetAddsTheManualLineFromTheManualBoxes) {
    const DataSet data = MakeDetectorData(0, kAllRows, {0, 6, 8, 10});
    panel::Contents contents = PanelAfterCount(data);
    const Detector typed{3.1L, 8800, 0.3L, 0.025L, 2.5L};
    ApplySet(contents, data, typed);
    const std::vector<RowResult> manual = ExpectedManual(data, typed);

    PlotData plot = PlotData::Build(contents, 0);
    // Frequencies rise down the grid.
    const double xMin = plot.m_vecPoints.front().dX, xMax = plot.m_vecPoints.back().dX;
    const Detector boxes =
        BoxesDetector(contents, panel::kBoxManualDeadTime, panel::kBoxManualRegistration,
                      panel::kBoxManualK1, panel::kBoxManualK2, panel::kBoxManualK3);
    ExpectLine(plot.m_manual, boxes, 0, xMin, xMax);
    ASSERT_EQ(plot.m_vecAccuracyManual.size(), data.rows.size());
    for (size_t i = 0; i < manual.size(); ++i)
        ExpectNear(Num(manual[i].strAccuracy), plot.m_vecAccuracyManual[i].dY,
                   "manual accuracy " + std::to_string(i));
    EXPECT_TRUE(plot.m_count.bShown);

    // An empty manual box stands for 0, as Set reads it; a box that is no
    // number gives no line at all rather than a wrong one.
    contents.boxes[panel::kBoxManualK1] = "";
    plot = PlotData::Build(contents, 0);
    ExpectLine(plot.m_manual, {boxes.dt, boxes.keff, 0, boxes.k2, boxes.k3}, 0, xMin, xMax);
    contents.boxes[panel::kBoxManualK1] = "0,3";
    plot = PlotData::Build(contents, 0);
    EXPECT_FALSE(plot.m_manual.bShown);
    EXPECT_TRUE(plot.m_vecAccuracyManual.empty());
}

TEST(PlotData, AFitGivesTheManualLineItsBandAndEachRowItsInterval) {
    for (int nMode : {0, 1}) {
        SCOPED_TRACE("mode " + std::to_string(nMode));
        const ProgramMode mode(nMode);
        const DataSet data = MakeDetectorData(nMode, kAllRows, {1, 6, 9, 10}, nMode == 0);
        CalibrationFit fit;
        panel::Contents contents = PanelAfterFit(data, fit);
        // A reference of 2 % at k = 2: u_ref = 1 %.
        contents.details.Set(CalibrationDetails::kReferenceUncertainty, "2");
        const PlotData plot = PlotData::Build(contents, nMode, &fit);
        CalibrationBudget budget;
        ASSERT_TRUE(budget.Evaluate(fit, 1.0));
        ASSERT_EQ(budget.GetRowBudgets().size(), data.rows.size());
        ASSERT_EQ(plot.m_vecPoints.size(), data.rows.size());

        // The band runs along the manual line's own samples, around it, and
        // always holds the reference's 1.96 %.
        const auto& line = plot.m_manual.vecSegments;
        ASSERT_EQ(line.size(), 1u);
        ASSERT_EQ(plot.m_vecBand.size(), 1u);
        const auto& band = plot.m_vecBand[0];
        ASSERT_EQ(band.size(), line[0].size());
        for (size_t i = 0; i < band.size(); ++i) {
            EXPECT_EQ(band[i].dX, line[0][i].dX) << i;
            EXPECT_NEAR(band[i].dHigh - line[0][i].dY, line[0][i].dY - band[i].dLow,
                        1e-12 * line[0][i].dY)
                << i;
            EXPECT_GE(band[i].dHigh - line[0][i].dY, 0.0195 * line[0][i].dY) << i;
        }
        // The line ends at the outermost rows' readings: the band's
        // half-width there is the U of those rows' budgets.
        for (const bool bFirst : {true, false}) {
            const PlotData::Interval& end = bFirst ? band.front() : band.back();
            const PlotData::XY& at = bFirst ? line[0].front() : line[0].back();
            size_t k = 0;
            for (size_t i = 1; i < plot.m_vecPoints.size(); ++i)
                if ((plot.m_vecPoints[i].dX < plot.m_vecPoints[k].dX) == bFirst) k = i;
            ExpectNear(budget.GetRowBudgets()[k].GetExpanded() / 100 * at.dY,
                       (end.dHigh - end.dLow) / 2, "band at row " + std::to_string(k));
        }

        // Each row's manual accuracy gets the deviation's U: the reference
        // and the residual, with k near 1.96 as the reference dominates.
        const double s = fit.GetResidualPercent();
        ASSERT_LT(s, 0.1);
        ASSERT_EQ(plot.m_vecAccuracyInterval.size(), data.rows.size());
        for (size_t i = 0; i < data.rows.size(); ++i) {
            const PlotData::Interval& bar = plot.m_vecAccuracyInterval[i];
            EXPECT_EQ(bar.dX, plot.m_vecAccuracyManual[i].dX);
            ExpectNear(plot.m_vecAccuracyManual[i].dY, (bar.dLow + bar.dHigh) / 2,
                       "bar centre " + std::to_string(i));
            EXPECT_NEAR((bar.dHigh - bar.dLow) / 2, 1.95996 * std::sqrt(1 + s * s), 1e-4) << i;
            ExpectAxisCovers(plot.m_axisAccuracy, bar.dLow);
            ExpectAxisCovers(plot.m_axisAccuracy, bar.dHigh);
        }

        // The same panel without the fit: no band, no bars.
        const PlotData plain = PlotData::Build(contents, nMode);
        EXPECT_TRUE(plain.m_manual.bShown);
        EXPECT_TRUE(plain.m_vecBand.empty());
        EXPECT_TRUE(plain.m_vecAccuracyInterval.empty());
    }
}

TEST(PlotData, ValuesThatAreNotPositiveAreLeftOutAndCounted) {
    panel::Contents c;
    // Mode 1, second readings in use: left out are rows 1 (value 0), 2
    // (negative value), 3 (negative mean reading) and 4 (reading 0);
    // row 5 is not complete and row 6 holds only text, so neither counts.
    c.table[0] = {"1", "20", "100", "102", "", "0.5"};
    c.table[1] = {"", "0", "200", "202", "", ""};
    c.table[2] = {"1", "-5", "300", "302", "", ""};
    c.table[3] = {"", "7", "-400", "-402", "", "1.5"};
    c.table[4] = {"", "8", "0", "0", "", ""};
    c.table[5] = {"", "9", "600", "", "", ""};
    c.table[6] = {"", "text", "", "", "", ""};
    c.table[7] = {"", "4", "800", "801", "", "-0.25"};
    const PlotData plot = PlotData::Build(c, 1);
    EXPECT_EQ(plot.m_nLeftOut, 4);
    ASSERT_EQ(plot.m_vecPoints.size(), 2u);
    EXPECT_EQ(plot.m_vecPoints[0].nGridRow, 0);
    EXPECT_EQ(plot.m_vecPoints[1].nGridRow, 7);
    ASSERT_EQ(plot.m_vecAccuracyCount.size(), 2u);
    EXPECT_EQ(plot.m_vecAccuracyCount[1].dY, -0.25);
    EXPECT_FALSE(plot.m_count.bShown) << "no results in the boxes, no line";

    // Nothing placeable: nothing to show, but still counted.
    panel::Contents bad;
    bad.table[0] = {"", "0", "10", "", "", ""};
    const PlotData empty = PlotData::Build(bad, 0);
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.m_nLeftOut, 1);
    EXPECT_TRUE(PlotData::Build(panel::Contents(), 0).IsEmpty());
}

TEST(PlotData, LineBreaksWhereTheModelIsNotPositive) {
    // Mode 1, dead time 150: readings below it give a negative corrected
    // period and a negative value.
    panel::Contents c;
    c.table[0] = {"", "50", "100", "", "", ""};
    c.table[1] = {"", "5", "1000", "", "", ""};
    c.boxes[panel::kBoxDeadTime] = "150";
    c.boxes[panel::kBoxRegistration] = "5000";
    c.boxes[panel::kBoxK1] = c.boxes[panel::kBoxK2] = c.boxes[panel::kBoxK3] = "0";
    const PlotData plot = PlotData::Build(c, 1);
    ASSERT_TRUE(plot.m_count.bShown);
    EXPECT_TRUE(plot.m_count.bCut);
    ASSERT_EQ(plot.m_count.vecSegments.size(), 1u);
    for (const auto& s : plot.m_count.vecSegments[0]) {
        EXPECT_GT(s.dX, 150);
        ExpectNear(5000 / (s.dX - 150), s.dY, "sample");
    }
}

TEST(PlotAxis, RangesAndTicks) {
    const struct {
        bool bLog;
        double dMin, dMax;
        std::vector<double> mustTick;
    } cases[] = {
        {true, 1, 1000, {1, 10, 100, 1000}},
        {true, 50, 3000, {50, 100, 200, 500, 1000, 2000}},
        {true, 100, 150, {}},
        {true, 7, 7, {}},
        {false, -1.5, 1.5, {-1, 0, 1}},
        {false, -40, 2, {-40, -20, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.dMin) + ".." + std::to_string(c.dMax));
        const PlotAxis axis =
            c.bLog ? PlotAxis::Log(c.dMin, c.dMax) : PlotAxis::Linear(c.dMin, c.dMax);
        EXPECT_EQ(axis.IsLog(), c.bLog);
        EXPECT_LT(axis.GetMin(), c.dMin);
        EXPECT_GT(axis.GetMax(), c.dMax);
        EXPECT_NEAR(axis.Fraction(axis.GetMin()), 0, 1e-12);
        EXPECT_NEAR(axis.Fraction(axis.GetMax()), 1, 1e-12);
        const double mid =
            c.bLog ? std::sqrt(axis.GetMin() * axis.GetMax()) : (axis.GetMin() + axis.GetMax()) / 2;
        EXPECT_NEAR(axis.Fraction(mid), 0.5, 1e-12);
        const std::vector<double>& ticks = axis.GetTicks();
        EXPECT_GE(ticks.size(), 2u);
        EXPECT_LE(ticks.size(), 10u);
        for (size_t i = 0; i < ticks.size(); ++i) {
            EXPECT_GE(ticks[i], axis.GetMin());
            EXPECT_LE(ticks[i], axis.GetMax());
            if (i > 0) {
                EXPECT_GT(ticks[i], ticks[i - 1]);
            }
        }
        for (double v : c.mustTick)
            EXPECT_NE(std::find_if(
                          ticks.begin(), ticks.end(),
                          [&](double t) { return std::fabs(t - v) < 1e-9 * std::fabs(v) + 1e-12; }),
                      ticks.end())
                << v;
    }
}

}  // namespace
