// The plot's drawing routine rendered into a bitmap, as the window and the
// PNG file get it: markers, lines and the band where the plot data put them.
#include <cmath>
#include <cstdlib>

#include <wx/bitmap.h>
#include <wx/dcgraph.h>
#include <wx/dcmemory.h>
#include <wx/filename.h>
#include <wx/image.h>

#include "testsupport/KnownPanel.h"
#include "tests/gui/GuiTestMain.h"
#include "tests/ui/PanelTestSupport.h"
#include "ui/PlotPainter.h"

namespace {

const std::vector<int> kAllRows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
const wxSize kSize(900, 640);

struct Rendered {
    wxImage image;
    PlotPainter painter;
};

Rendered Render(const PlotData& data) {
    wxBitmap bitmap(kSize, 24);
    PlotPainter painter(data);
    {
        wxMemoryDC memory(bitmap);
        wxGCDC dc(memory);
        painter.Draw(dc, wxRect(kSize));
    }
    return {bitmap.ConvertToImage(), painter};
}

bool IsColour(const wxImage& image, int x, int y, const wxColour& c, int nTolerance) {
    if (x < 0 || y < 0 || x >= image.GetWidth() || y >= image.GetHeight()) return false;
    return std::abs(image.GetRed(x, y) - c.Red()) <= nTolerance &&
           std::abs(image.GetGreen(x, y) - c.Green()) <= nTolerance &&
           std::abs(image.GetBlue(x, y) - c.Blue()) <= nTolerance;
}

// The colour within nRadius pixels of pt.
bool Near(const wxImage& image, const wxPoint& pt, const wxColour& c, int nRadius,
          int nTolerance = 24) {
    for (int dy = -nRadius; dy <= nRadius; ++dy)
        for (int dx = -nRadius; dx <= nRadius; ++dx)
            if (IsColour(image, pt.x + dx, pt.y + dy, c, nTolerance)) return true;
    return false;
}

int Count(const wxImage& image, const wxColour& c) {
    int n = 0;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x) n += IsColour(image, x, y, c, 4);
    return n;
}

// Share of a line's samples (away from the point markers) drawn in its colour.
double LineCoverage(const Rendered& r, const PlotData& data, const PlotData::Model& model,
                    const wxColour& colour) {
    int nChecked = 0, nFound = 0;
    for (const auto& segment : model.vecSegments)
        for (size_t i = 0; i < segment.size(); i += 6) {
            const wxPoint pt = r.painter.MapUpper(segment[i].dX, segment[i].dY);
            bool bNearMarker = false;
            for (const auto& p : data.m_vecPoints) {
                const wxPoint m = r.painter.MapUpper(p.dX, p.dY);
                bNearMarker =
                    bNearMarker || (std::abs(m.x - pt.x) < 10 && std::abs(m.y - pt.y) < 10);
            }
            if (bNearMarker || !r.painter.GetUpperRect().Contains(pt)) continue;
            ++nChecked;
            nFound += Near(r.image, pt, colour, 1, 40);
        }
    return nChecked ? double(nFound) / nChecked : 0;
}

TEST(PlotPainter, DrawsMarkersLinesAndBandWhereTheDataPutThem) {
    const DataSet data = MakeDetectorData(0, kAllRows, {0, 6, 8, 10});
    panel::Contents contents = PanelAfterCount(data);
    ApplySet(contents, data, {3.1L, 8800, 0.3L, 0.025L, 2.5L});
    const PlotData plot = PlotData::Build(contents, 0);
    const Rendered r = Render(plot);

    for (const PlotData::Point& p : plot.m_vecPoints) {
        SCOPED_TRACE("point of row " + std::to_string(p.nGridRow));
        const wxPoint pt = r.painter.MapUpper(p.dX, p.dY);
        ASSERT_TRUE(r.painter.GetUpperRect().Contains(pt));
        if (p.bTicked) {
            EXPECT_TRUE(IsColour(r.image, pt.x, pt.y, PlotPainter::kTickedColour, 8));
        } else {
            // A ring: its colour around, white inside.
            EXPECT_TRUE(Near(r.image, pt, PlotPainter::kPointColour, 5));
            EXPECT_TRUE(IsColour(r.image, pt.x, pt.y, *wxWHITE, 30));
        }
    }
    // The dashed manual line shows about half its length; drawn last, it
    // hides the solid Count line where both run together, so that one is
    // looked for in a picture of the panel before Set.
    const PlotData counted = PlotData::Build(PanelAfterCount(data), 0);
    EXPECT_GT(LineCoverage(Render(counted), counted, counted.m_count, PlotPainter::kCountColour),
              0.9);
    const double dManual = LineCoverage(r, plot, plot.m_manual, PlotPainter::kManualColour);
    EXPECT_GT(dManual, 0.35);
    if (!RunsUnderWine()) {
        EXPECT_LT(dManual, 0.95);
    }

    for (const PlotData::XY& a : plot.m_vecAccuracyCount)
        EXPECT_TRUE(Near(r.image, r.painter.MapLower(a.dX, a.dY), PlotPainter::kCountColour, 1))
            << a.dY;
    for (const PlotData::XY& a : plot.m_vecAccuracyManual)
        EXPECT_TRUE(Near(r.image, r.painter.MapLower(a.dX, a.dY), PlotPainter::kManualColour, 1))
            << a.dY;
    // The band between two points, inside +-1 % and outside it.
    const double x = std::sqrt(plot.m_vecPoints[2].dX * plot.m_vecPoints[3].dX);
    const wxPoint inBand = r.painter.MapLower(x, 0.6), outBand = r.painter.MapLower(x, 1.3);
    EXPECT_TRUE(IsColour(r.image, inBand.x, inBand.y, PlotPainter::kBandColour, 6));
    if (r.painter.GetLowerRect().Contains(outBand)) {
        EXPECT_FALSE(IsColour(r.image, outBand.x, outBand.y, PlotPainter::kBandColour, 6));
    }

    // Logarithmic axes: equal ratios take equal distances; values grow upwards.
    const auto& pts = plot.m_vecPoints;
    const wxPoint a = r.painter.MapUpper(pts[0].dX, pts[0].dY);
    const wxPoint b = r.painter.MapUpper(pts[5].dX, pts[5].dY);
    const wxPoint c = r.painter.MapUpper(pts[10].dX, pts[10].dY);
    EXPECT_NEAR(double(b.x - a.x) / (c.x - a.x),
                std::log(pts[5].dX / pts[0].dX) / std::log(pts[10].dX / pts[0].dX), 0.01);
    EXPECT_NEAR(double(b.y - a.y) / (c.y - a.y),
                std::log(pts[5].dY / pts[0].dY) / std::log(pts[10].dY / pts[0].dY), 0.01);
    EXPECT_LT(r.painter.MapUpper(pts[0].dX, 100).y, r.painter.MapUpper(pts[0].dX, 10).y);
}

TEST(PlotPainter, TheAccuracyPanelShadesTheToleranceWhenOneIsSet) {
    const DataSet data = MakeDetectorData(0, kAllRows, {0, 6, 8, 10});
    const struct {
        const char* tolerance;
        double dBand;
        const char* legend;
    } cases[] = {
        {"", 1, "Accuracy within \u00b1 1 %"},
        {"0.5", 0.5, "Accuracy within the tolerance, \u00b1 0.5 %"},
        {"2.5", 2.5, "Accuracy within the tolerance, \u00b1 2.5 %"},
    };
    const wxString strSvg = wxFileName::CreateTempFileName("varid_plot");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dBand);
        panel::Contents contents = PanelAfterCount(data);
        contents.details.Set(CalibrationDetails::kTolerance, c.tolerance);
        const PlotData plot = PlotData::Build(contents, 0);
        const Rendered r = Render(plot);
        // Between two points, inside the band and a little beyond it, which
        // stays in view.
        const double x = std::sqrt(plot.m_vecPoints[2].dX * plot.m_vecPoints[3].dX);
        for (double dSide : {1.0, -1.0}) {
            const wxPoint in = r.painter.MapLower(x, 0.9 * dSide * c.dBand);
            const wxPoint out = r.painter.MapLower(x, 1.15 * dSide * c.dBand);
            EXPECT_TRUE(IsColour(r.image, in.x, in.y, PlotPainter::kBandColour, 6));
            ASSERT_TRUE(r.painter.GetLowerRect().Contains(out));
            EXPECT_FALSE(IsColour(r.image, out.x, out.y, PlotPainter::kBandColour, 6));
        }
        ASSERT_TRUE(PlotPainter::SaveSvg(plot, strSvg, wxSize(900, 640)));
        wxFile file(strSvg);
        wxString strText;
        ASSERT_TRUE(file.ReadAll(&strText));
        EXPECT_NE(strText.find(wxString::FromUTF8(c.legend)), wxString::npos);
    }
    wxRemoveFile(strSvg);
}

TEST(PlotPainter, NothingToShowIsSaidNotDrawn) {
    const Rendered r = Render(PlotData::Build(panel::Contents(), 0));
    for (const wxColour& c : {PlotPainter::kPointColour, PlotPainter::kTickedColour,
                              PlotPainter::kCountColour, PlotPainter::kBandColour})
        EXPECT_EQ(Count(r.image, c), 0);
    // The message is written across the middle.
    int nDark = 0;
    for (int y = kSize.y / 2 - 20; y < kSize.y / 2 + 20; ++y)
        for (int x = 0; x < kSize.x; ++x) nDark += r.image.GetRed(x, y) < 160;
    EXPECT_GT(nDark, 100);
}

TEST(PlotPainter, SavesPngAndSvg) {
    const DataSet data = MakeDetectorData(1, kAllRows, {1, 6, 9, 10});
    panel::Contents contents = PanelAfterCount(data);
    // The record's units name the axes.
    contents.details.Set(CalibrationDetails::kUnit, wxString::FromUTF8("\xC2\xB5Sv/h"));
    contents.details.Set(CalibrationDetails::kPeriodUnit, "ms");
    const PlotData plot = PlotData::Build(contents, 1);
    const wxString strDir = wxFileName::CreateTempFileName("varid_plot");
    wxRemoveFile(strDir);
    ASSERT_TRUE(wxMkdir(strDir));
    const wxString strPng = strDir + "/plot.png", strSvg = strDir + "/plot.svg";
    ASSERT_TRUE(PlotPainter::SavePng(plot, strPng, wxSize(600, 400), 2.0));
    wxImage image;
    ASSERT_TRUE(image.LoadFile(strPng, wxBITMAP_TYPE_PNG));
    EXPECT_EQ(image.GetSize(), wxSize(600, 400));
    EXPECT_GT(Count(image, PlotPainter::kTickedColour), 4 * 100) << "four ticked markers";

    ASSERT_TRUE(PlotPainter::SaveSvg(plot, strSvg, wxSize(600, 400)));
    wxFile file(strSvg);
    wxString strText;
    ASSERT_TRUE(file.ReadAll(&strText));
    EXPECT_NE(strText.find("<svg"), wxString::npos);
    EXPECT_NE(strText.find("</svg>"), wxString::npos);
    EXPECT_NE(strText.find("Calibration points"), wxString::npos);
    EXPECT_NE(strText.find("Mean period of the row (T1, T2), ms"), wxString::npos);
    EXPECT_NE(strText.find(wxString::FromUTF8("Real P0, \xC2\xB5Sv/h")), wxString::npos);

    EXPECT_FALSE(PlotPainter::SavePng(plot, strDir + "/none/plot.png", wxSize(60, 40), 1.0));
    EXPECT_FALSE(PlotPainter::SaveSvg(plot, strDir + "/none/plot.svg", wxSize(60, 40)));
    wxFileName::Rmdir(strDir, wxPATH_RMDIR_RECURSIVE);
}

}  // namespace
