#include "ui/PlotPainter.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include <wx/bitmap.h>
#include <wx/dcgraph.h>
#include <wx/dcmemory.h>
#include <wx/dcsvg.h>
#include <wx/filefn.h>
#include <wx/image.h>
#include <wx/intl.h>
#include <wx/log.h>

const wxColour PlotPainter::kPointColour(40, 40, 40);
const wxColour PlotPainter::kTickedColour(214, 39, 40);
const wxColour PlotPainter::kCountColour(31, 119, 180);
const wxColour PlotPainter::kManualColour(230, 120, 0);
const wxColour PlotPainter::kBandColour(220, 238, 220);
// A pale shade of the manual line's colour.
const wxColour PlotPainter::kFitBandColour(251, 221, 186);

namespace {

const wxColour kGridColour(226, 226, 226);
const wxColour kFrameColour(110, 110, 110);
const wxColour kZeroColour(80, 80, 80);
const wxColour kNoteColour(150, 40, 40);

enum Marker {
    kMarkPoint,
    kMarkTicked,
    kMarkCount,
    kMarkManual,
    kMarkBand,
    kMarkFitBand,
    kMarkNone
};

// Share of the plot's height that goes to the calibration curve.
const double kUpperShare = 0.64;
const double kBasePoints = 9;

}  // namespace

PlotPainter::PlotPainter(const PlotData& data, double dScale) : m_data(data), m_dScale(dScale) {}

int PlotPainter::Px(double d) const { return std::max(1, wxRound(d * m_dScale)); }

wxFont PlotPainter::MakeFont(double dPoints, bool bBold) const {
    return wxFont(wxFontInfo(dPoints * m_dScale).Family(wxFONTFAMILY_SWISS).Bold(bBold));
}

std::vector<PlotPainter::LegendItem> PlotPainter::LegendItems() const {
    std::vector<LegendItem> items;
    const bool bTicked = std::any_of(m_data.m_vecPoints.begin(), m_data.m_vecPoints.end(),
                                     [](const PlotData::Point& p) { return p.bTicked; });
    items.push_back({kMarkPoint, wxColour(), wxPENSTYLE_SOLID, _("Points")});
    if (bTicked)
        items.push_back({kMarkTicked, wxColour(), wxPENSTYLE_SOLID, _("Calibration points")});
    if (m_data.m_count.bShown || !m_data.m_vecAccuracyCount.empty())
        items.push_back(
            {kMarkCount, kCountColour, wxPENSTYLE_SOLID, _("Count: model and accuracy")});
    if (m_data.m_manual.bShown)
        items.push_back(
            {kMarkManual, kManualColour, wxPENSTYLE_LONG_DASH, _("Set: model and accuracy")});
    if (!m_data.m_vecBand.empty() || !m_data.m_vecAccuracyInterval.empty())
        items.push_back({kMarkFitBand, wxColour(), wxPENSTYLE_SOLID,
                         wxString::Format(_("Fit: %s intervals"), wxString(wxT("95 %")))});
    // The sign is no catalogue key: keys stay ASCII.
    const wxString strBand = wxString::Format(wxT("\u00b1 %g %%"), m_data.GetAccuracyBand());
    items.push_back({kMarkBand, wxColour(), wxPENSTYLE_SOLID,
                     m_data.m_dTolerance > 0
                         ? wxString::Format(_("Accuracy within the tolerance, %s"), strBand)
                         : wxString::Format(_("Accuracy within %s"), strBand)});
    return items;
}

std::vector<wxString> PlotPainter::Notes() const {
    std::vector<wxString> notes;
    if (m_data.m_nLeftOut > 0)
        notes.push_back(wxString::Format(
            wxPLURAL("%d point left out: a value that is not positive has no place on a "
                     "logarithmic scale.",
                     "%d points left out: values that are not positive have no place on a "
                     "logarithmic scale.",
                     m_data.m_nLeftOut),
            m_data.m_nLeftOut));
    if (m_data.m_count.bCut || m_data.m_manual.bCut)
        notes.push_back(_("Where the model is not positive, its line is not drawn."));
    return notes;
}

void PlotPainter::Arrange(wxDC& dc, const wxRect& rect) {
    m_rect = rect;
    dc.SetFont(MakeFont(kBasePoints));
    m_nLineHeight = dc.GetCharHeight();
    const int pad = Px(8);

    // The legend flows in rows above the panels, so it never hides a point.
    m_vecLegend = LegendItems();
    m_vecNotes = Notes();
    const int width = rect.width - 2 * pad;
    const int nLegendRow = m_nLineHeight + Px(4);
    int x = 0, y = 0;
    for (LegendItem& item : m_vecLegend) {
        const int w = Px(30) + dc.GetTextExtent(item.strText).x + Px(16);
        if (x > 0 && x + w > width) {
            y += nLegendRow;
            x = 0;
        }
        item.pos = wxPoint(rect.x + pad + x, rect.y + pad + y);
        x += w;
    }
    m_rectLegend = wxRect(rect.x + pad, rect.y + pad, width, y + nLegendRow);
    const int nNotes = static_cast<int>(m_vecNotes.size());
    const int top = m_rectLegend.GetBottom() + 1 + nNotes * m_nLineHeight + Px(8);

    int labelWidth = 0;
    for (const PlotAxis* pAxis : {&m_data.m_axisY, &m_data.m_axisAccuracy})
        for (double v : pAxis->GetTicks())
            labelWidth = std::max(labelWidth, dc.GetTextExtent(PlotAxis::FormatTick(v)).x);
    const int left = rect.x + pad + m_nLineHeight + Px(8) + labelWidth + Px(6);
    const int right = rect.GetRight() - pad - Px(16);
    const int bottom = rect.GetBottom() - pad - 2 * m_nLineHeight - Px(10);
    const int gap = Px(12);
    const int height = std::max(2, bottom - top - gap);
    const int upper = wxRound(height * kUpperShare);
    m_rectUpper = wxRect(left, top, std::max(1, right - left), upper);
    m_rectLower = wxRect(left, top + upper + gap, std::max(1, right - left), height - upper);
}

size_t PlotPainter::LabelStep(const wxRect& rect, const PlotAxis& axis) const {
    // Every n-th tick when a low panel would crowd the labels.
    const std::vector<double>& ticks = axis.GetTicks();
    if (ticks.size() < 2) return 1;
    const int spacing = std::abs(MapY(rect, axis, ticks[1]) - MapY(rect, axis, ticks[0]));
    const int wanted = m_nLineHeight * 3 / 2;
    return spacing >= wanted ? 1 : static_cast<size_t>(wanted / std::max(1, spacing) + 1);
}

int PlotPainter::MapX(const wxRect& rect, double dX) const {
    return rect.x + wxRound(m_data.m_axisX.Fraction(dX) * (rect.width - 1));
}

int PlotPainter::MapY(const wxRect& rect, const PlotAxis& axis, double dY) const {
    return rect.GetBottom() - wxRound(axis.Fraction(dY) * (rect.height - 1));
}

wxPoint PlotPainter::MapUpper(double dX, double dY) const {
    return wxPoint(MapX(m_rectUpper, dX), MapY(m_rectUpper, m_data.m_axisY, dY));
}

wxPoint PlotPainter::MapLower(double dX, double dPercent) const {
    return wxPoint(MapX(m_rectLower, dX), MapY(m_rectLower, m_data.m_axisAccuracy, dPercent));
}

void PlotPainter::Draw(wxDC& dc, const wxRect& rect) {
    Arrange(dc, rect);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(rect);
    dc.SetTextForeground(*wxBLACK);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    if (m_data.IsEmpty()) {
        DrawEmpty(dc, rect);
        return;
    }
    DrawUpper(dc);
    DrawLower(dc);
    DrawAxisTitles(dc);
    DrawLegend(dc);
}

void PlotPainter::DrawEmpty(wxDC& dc, const wxRect& rect) {
    std::vector<wxString> lines = {
        _("Nothing to plot: the measurement grid has no complete rows.")};
    lines.insert(lines.end(), m_vecNotes.begin(), m_vecNotes.end());
    int y = rect.y + rect.height / 2 - static_cast<int>(lines.size()) * m_nLineHeight / 2;
    for (size_t i = 0; i < lines.size(); ++i) {
        dc.SetFont(MakeFont(i == 0 ? kBasePoints + 2 : kBasePoints));
        dc.SetTextForeground(i == 0 ? kFrameColour : kNoteColour);
        const wxSize size = dc.GetTextExtent(lines[i]);
        dc.DrawText(lines[i], rect.x + (rect.width - size.x) / 2, y);
        y += size.y + Px(4);
    }
}

void PlotPainter::DrawFrameAndGrid(wxDC& dc, const wxRect& rect, const PlotAxis& axisY) {
    dc.SetPen(wxPen(kGridColour, Px(1)));
    for (double v : m_data.m_axisX.GetTicks()) {
        const int x = MapX(rect, v);
        dc.DrawLine(x, rect.y, x, rect.GetBottom());
    }
    dc.SetFont(MakeFont(kBasePoints));
    dc.SetTextForeground(*wxBLACK);
    const std::vector<double>& ticks = axisY.GetTicks();
    for (size_t i = 0; i < ticks.size(); i += LabelStep(rect, axisY)) {
        const double v = ticks[i];
        const int y = MapY(rect, axisY, v);
        dc.SetPen(wxPen(kGridColour, Px(1)));
        dc.DrawLine(rect.x, y, rect.GetRight(), y);
        dc.SetPen(wxPen(kFrameColour, Px(1)));
        dc.DrawLine(rect.x - Px(4), y, rect.x, y);
        const wxString str = PlotAxis::FormatTick(v);
        const wxSize size = dc.GetTextExtent(str);
        dc.DrawText(str, rect.x - Px(6) - size.x, y - size.y / 2);
    }
    dc.SetPen(wxPen(kFrameColour, Px(1)));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(rect);
}

void PlotPainter::DrawUpper(wxDC& dc) {
    DrawFrameAndGrid(dc, m_rectUpper, m_data.m_axisY);
    wxDCClipper clip(dc, m_rectUpper);
    DrawFitBand(dc);
    const struct {
        const PlotData::Model* pModel;
        wxColour colour;
        wxPenStyle style;
    } lines[] = {{&m_data.m_count, kCountColour, wxPENSTYLE_SOLID},
                 {&m_data.m_manual, kManualColour, wxPENSTYLE_LONG_DASH}};
    for (const auto& line : lines) {
        dc.SetPen(wxPen(line.colour, Px(2), line.style));
        for (const auto& segment : line.pModel->vecSegments) {
            std::vector<wxPoint> points;
            for (const PlotData::XY& s : segment) points.push_back(MapUpper(s.dX, s.dY));
            if (points.size() > 1)
                dc.DrawLines(static_cast<int>(points.size()), points.data());
            else
                DrawMarker(dc, line.style == wxPENSTYLE_SOLID ? kMarkCount : kMarkManual,
                           points[0]);
        }
    }
    // Calibration points last, so the line does not hide which they are.
    for (bool bTicked : {false, true})
        for (const PlotData::Point& p : m_data.m_vecPoints)
            if (p.bTicked == bTicked)
                DrawMarker(dc, bTicked ? kMarkTicked : kMarkPoint, MapUpper(p.dX, p.dY));
}

void PlotPainter::DrawLower(wxDC& dc) {
    const wxRect& rect = m_rectLower;
    {
        wxDCClipper clip(dc, rect);
        const int yHigh = MapY(rect, m_data.m_axisAccuracy, m_data.GetAccuracyBand());
        const int yLow = MapY(rect, m_data.m_axisAccuracy, -m_data.GetAccuracyBand());
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(kBandColour));
        dc.DrawRectangle(rect.x, yHigh, rect.width, yLow - yHigh + 1);
    }
    DrawFrameAndGrid(dc, rect, m_data.m_axisAccuracy);
    {
        wxDCClipper clip(dc, rect);
        const int y0 = MapY(rect, m_data.m_axisAccuracy, 0);
        dc.SetPen(wxPen(kZeroColour, Px(1)));
        dc.DrawLine(rect.x, y0, rect.GetRight(), y0);
        DrawAccuracyIntervals(dc);
        for (const PlotData::XY& a : m_data.m_vecAccuracyCount)
            DrawMarker(dc, kMarkCount, MapLower(a.dX, a.dY));
        for (const PlotData::XY& a : m_data.m_vecAccuracyManual)
            DrawMarker(dc, kMarkManual, MapLower(a.dX, a.dY));
    }
    dc.SetFont(MakeFont(kBasePoints));
    dc.SetTextForeground(*wxBLACK);
    if (m_data.m_vecAccuracyCount.empty() && m_data.m_vecAccuracyManual.empty()) {
        const wxString str = _("No accuracy yet: Count fills it in.");
        const wxSize size = dc.GetTextExtent(str);
        dc.DrawText(str, rect.x + (rect.width - size.x) / 2, rect.y + Px(4));
    }
    // The x labels once, under the lower panel; the upper shares its ticks.
    dc.SetPen(wxPen(kFrameColour, Px(1)));
    for (double v : m_data.m_axisX.GetTicks()) {
        const int x = MapX(rect, v);
        dc.DrawLine(x, rect.GetBottom(), x, rect.GetBottom() + Px(4));
        const wxString str = PlotAxis::FormatTick(v);
        dc.DrawText(str, x - dc.GetTextExtent(str).x / 2, rect.GetBottom() + Px(6));
    }
}

void PlotPainter::DrawAxisTitles(wxDC& dc) {
    dc.SetFont(MakeFont(kBasePoints, true));
    dc.SetTextForeground(*wxBLACK);
    const wxString strX = (m_data.m_nProgramMode == 0 ? _("Mean frequency of the row (Fl, Fr)")
                                                      : _("Mean period of the row (T1, T2)")) +
                          wxT(", ") + m_data.m_strReadingUnit;
    const wxString strRealP =
        m_data.m_strUnit.empty() ? _("Real P0") : _("Real P0") + wxT(", ") + m_data.m_strUnit;
    const wxSize sizeX = dc.GetTextExtent(strX);
    dc.DrawText(strX, m_rectLower.x + (m_rectLower.width - sizeX.x) / 2,
                m_rectLower.GetBottom() + Px(8) + m_nLineHeight);
    const struct {
        wxString str;
        const wxRect& rect;
    } titles[] = {{strRealP, m_rectUpper}, {_("Accuracy, %"), m_rectLower}};
    for (const auto& t : titles) {
        const wxSize size = dc.GetTextExtent(t.str);
        // Rotated a quarter turn, the text runs upwards from its anchor.
        dc.DrawRotatedText(t.str, m_rect.x + Px(8), t.rect.y + (t.rect.height + size.x) / 2, 90);
    }
}

void PlotPainter::DrawLegend(wxDC& dc) {
    dc.SetFont(MakeFont(kBasePoints));
    dc.SetTextForeground(*wxBLACK);
    for (const LegendItem& item : m_vecLegend) {
        const int x = item.pos.x, y = item.pos.y;
        const int cy = y + m_nLineHeight / 2;
        if (item.nMarker == kMarkFitBand) {
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.SetBrush(wxBrush(kFitBandColour));
            dc.DrawRectangle(x, y + Px(1), Px(26), m_nLineHeight - Px(2));
            dc.SetPen(wxPen(kManualColour, Px(1)));
            dc.DrawLine(x + Px(13), y + Px(1), x + Px(13), y + m_nLineHeight - Px(1));
        } else if (item.nMarker == kMarkBand) {
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.SetBrush(wxBrush(kBandColour));
            dc.DrawRectangle(x, y + Px(1), Px(26), m_nLineHeight - Px(2));
            dc.SetPen(wxPen(kZeroColour, Px(1)));
            dc.DrawLine(x, cy, x + Px(26), cy);
        } else {
            if (item.lineColour.IsOk()) {
                dc.SetPen(wxPen(item.lineColour, Px(2), item.lineStyle));
                dc.DrawLine(x, cy, x + Px(26), cy);
            }
            DrawMarker(dc, item.nMarker, wxPoint(x + Px(13), cy));
        }
        dc.DrawText(item.strText, x + Px(30), y);
    }
    dc.SetTextForeground(kNoteColour);
    int y = m_rectLegend.GetBottom() + 1;
    for (const wxString& note : m_vecNotes) {
        dc.DrawText(note, m_rectLegend.x, y);
        y += m_nLineHeight;
    }
}

void PlotPainter::DrawFitBand(wxDC& dc) {
    // A value at or below zero has no place on the logarithmic scale: the
    // band runs to the panel's edge there, as it would if it could be drawn.
    const PlotAxis& axis = m_data.m_axisY;
    auto clamp = [&](double v) {
        return std::isfinite(v) ? std::min(std::max(v, axis.GetMin()), axis.GetMax())
                                : (v > 0 ? axis.GetMax() : axis.GetMin());
    };
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(kFitBandColour));
    for (const auto& segment : m_data.m_vecBand) {
        if (segment.size() < 2) continue;
        std::vector<wxPoint> outline;
        for (const PlotData::Interval& i : segment)
            outline.push_back(MapUpper(i.dX, clamp(i.dHigh)));
        for (auto it = segment.rbegin(); it != segment.rend(); ++it)
            outline.push_back(MapUpper(it->dX, clamp(it->dLow)));
        dc.DrawPolygon(static_cast<int>(outline.size()), outline.data());
    }
}

void PlotPainter::DrawAccuracyIntervals(wxDC& dc) {
    const PlotAxis& axis = m_data.m_axisAccuracy;
    auto clamp = [&](double v) { return std::min(std::max(v, axis.GetMin()), axis.GetMax()); };
    const int cap = Px(3);
    dc.SetPen(wxPen(kManualColour, Px(1)));
    for (const PlotData::Interval& i : m_data.m_vecAccuracyInterval) {
        const wxPoint high = MapLower(i.dX, clamp(i.dHigh));
        const wxPoint low = MapLower(i.dX, clamp(i.dLow));
        dc.DrawLine(high, low);
        // A cap only where the interval ends inside the panel.
        if (i.dHigh <= axis.GetMax()) dc.DrawLine(high.x - cap, high.y, high.x + cap + 1, high.y);
        if (i.dLow >= axis.GetMin()) dc.DrawLine(low.x - cap, low.y, low.x + cap + 1, low.y);
    }
}

void PlotPainter::DrawMarker(wxDC& dc, int nKind, const wxPoint& pt) const {
    switch (nKind) {
        case kMarkPoint:
            dc.SetPen(wxPen(kPointColour, Px(1.5)));
            dc.SetBrush(*wxWHITE_BRUSH);
            dc.DrawCircle(pt, Px(4));
            break;
        case kMarkTicked: {
            const int r = Px(5);
            dc.SetPen(wxPen(kTickedColour, Px(1)));
            dc.SetBrush(wxBrush(kTickedColour));
            dc.DrawRectangle(pt.x - r, pt.y - r, 2 * r + 1, 2 * r + 1);
            break;
        }
        case kMarkCount:
            dc.SetPen(wxPen(kCountColour, Px(1)));
            dc.SetBrush(wxBrush(kCountColour));
            dc.DrawCircle(pt, Px(3.5));
            break;
        case kMarkManual: {
            const int r = Px(5);
            const wxPoint triangle[] = {wxPoint(pt.x, pt.y - r), wxPoint(pt.x + r, pt.y + r - 1),
                                        wxPoint(pt.x - r, pt.y + r - 1)};
            dc.SetPen(wxPen(kManualColour, Px(1)));
            dc.SetBrush(wxBrush(kManualColour));
            dc.DrawPolygon(3, triangle);
            break;
        }
        default:
            break;
    }
}

bool PlotPainter::SavePng(const PlotData& data, const wxString& strPath, const wxSize& size,
                          double dScale) {
    wxBitmap bitmap(size, 24);
    {
        wxMemoryDC memory(bitmap);
        wxGCDC dc(memory);
        PlotPainter(data, dScale).Draw(dc, wxRect(size));
    }
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    wxLogNull noLog;
    return bitmap.SaveFile(strPath, wxBITMAP_TYPE_PNG);
}

bool PlotPainter::SaveSvg(const PlotData& data, const wxString& strPath, const wxSize& size) {
    wxLogNull noLog;
    {
        // The file is complete only when the context is destroyed.
        wxSVGFileDC dc(strPath, size.x, size.y, 96, _("Calibration plot"));
        if (!dc.IsOk()) return false;
        PlotPainter(data).Draw(dc, wxRect(size));
    }
    return wxFileExists(strPath);
}
