#ifndef VARID_UI_PLOTPAINTER_H
#define VARID_UI_PLOTPAINTER_H

#include <vector>

#include <wx/colour.h>
#include <wx/dc.h>
#include <wx/gdicmn.h>

#include "report/PlotData.h"

// The one drawing routine of the plot, on any device context: the window
// (anti-aliased through a graphics context), PNG and SVG files, and the
// printed report. Upper panel: the calibration curve on logarithmic axes;
// lower panel: the accuracy of the rows in percent on the same x axis.
class PlotPainter {
public:
    // dScale enlarges fonts, lines and markers, e.g. for an image of more
    // pixels than the window it copies.
    explicit PlotPainter(const PlotData& data, double dScale = 1.0);

    // Lays the plot out in rect with the context's text metrics; the
    // mapping below is valid afterwards.
    void Arrange(wxDC& dc, const wxRect& rect);
    // Arranges and draws.
    void Draw(wxDC& dc, const wxRect& rect);

    // Where a value lands in the upper panel (x = reading, y = value) and in
    // the lower one (y = accuracy in percent).
    wxPoint MapUpper(double dX, double dY) const;
    wxPoint MapLower(double dX, double dPercent) const;
    const wxRect& GetUpperRect() const { return m_rectUpper; }
    const wxRect& GetLowerRect() const { return m_rectLower; }

    // Draws into an image file of the given size (pixels); false when the
    // file could not be written.
    static bool SavePng(const PlotData& data, const wxString& strPath, const wxSize& size,
                        double dScale);
    static bool SaveSvg(const PlotData& data, const wxString& strPath, const wxSize& size);

    static const wxColour kPointColour;
    static const wxColour kTickedColour;
    static const wxColour kCountColour;
    static const wxColour kManualColour;
    static const wxColour kBandColour;
    static const wxColour kFitBandColour;

private:
    struct LegendItem {
        int nMarker;
        wxColour lineColour;  // no line when not OK
        wxPenStyle lineStyle;
        wxString strText;
        wxPoint pos{};  // top-left, set by Arrange
    };

    int Px(double d) const;
    wxFont MakeFont(double dPoints, bool bBold = false) const;
    int MapX(const wxRect& rect, double dX) const;
    int MapY(const wxRect& rect, const PlotAxis& axis, double dY) const;
    size_t LabelStep(const wxRect& rect, const PlotAxis& axis) const;

    void DrawEmpty(wxDC& dc, const wxRect& rect);
    void DrawFrameAndGrid(wxDC& dc, const wxRect& rect, const PlotAxis& axisY);
    void DrawUpper(wxDC& dc);
    void DrawLower(wxDC& dc);
    void DrawAxisTitles(wxDC& dc);
    void DrawLegend(wxDC& dc);
    void DrawMarker(wxDC& dc, int nKind, const wxPoint& pt) const;
    void DrawFitBand(wxDC& dc);
    void DrawAccuracyIntervals(wxDC& dc);
    std::vector<LegendItem> LegendItems() const;
    std::vector<wxString> Notes() const;

    const PlotData& m_data;
    double m_dScale;
    wxRect m_rect;
    wxRect m_rectUpper;
    wxRect m_rectLower;
    wxRect m_rectLegend;
    std::vector<LegendItem> m_vecLegend;
    std::vector<wxString> m_vecNotes;
    int m_nLineHeight = 0;
};

#endif
