#include "ui/PagePainter.h"

#include <algorithm>

#include "ui/PlotPainter.h"

const wxColour PagePainter::kShadeColour(232, 232, 232);
const wxColour PagePainter::kRuleColour(90, 90, 90);

PagePainter::PagePainter(wxDC& dc) : m_dc(dc) {
    for (int i = 0; i < kStyles; ++i) m_arrFonts[i] = FontOf(static_cast<ReportDocument::Style>(i));
}

wxFont PagePainter::FontOf(ReportDocument::Style style) {
    using Style = ReportDocument::Style;
    // Sizes in points of a 96-dpi page, as the plot's; the printout maps
    // them to the paper, never smaller.
    double dPoints = 9;
    bool bBold = false;
    switch (style) {
        case Style::kBold:
            bBold = true;
            break;
        case Style::kSmall:
            dPoints = 8;
            break;
        case Style::kSmallBold:
            dPoints = 8;
            bBold = true;
            break;
        case Style::kHeading:
            dPoints = 10.5;
            bBold = true;
            break;
        case Style::kTitle:
            dPoints = 15;
            bBold = true;
            break;
        default:
            break;
    }
    return wxFont(wxFontInfo(dPoints).Family(wxFONTFAMILY_SWISS).Bold(bBold));
}

int PagePainter::GetTextWidth(const wxString& str, ReportDocument::Style style) const {
    if (str.empty()) return 0;
    wxCoord nWidth = 0, nHeight = 0;
    m_dc.GetTextExtent(str, &nWidth, &nHeight, nullptr, nullptr,
                       &m_arrFonts[static_cast<int>(style)]);
    return nWidth;
}

int PagePainter::GetLineHeight(ReportDocument::Style style) const {
    int& nHeight = m_arrLineHeights[static_cast<int>(style)];
    if (nHeight == 0) {
        wxCoord nWidth = 0;
        // Capitals with marks above and letters below the line.
        m_dc.GetTextExtent(wxT("\u0419Ag"), &nWidth, &nHeight, nullptr, nullptr,
                           &m_arrFonts[static_cast<int>(style)]);
        nHeight = std::max(1, nHeight);
    }
    return nHeight;
}

void PagePainter::Draw(const PageLayout::Page& page, const wxPoint& origin, const PlotData& data) {
    m_dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    m_dc.SetPen(*wxTRANSPARENT_PEN);
    m_dc.SetBrush(wxBrush(kShadeColour));
    for (const PageLayout::Rect& r : page.vecShades)
        m_dc.DrawRectangle(origin.x + r.nX, origin.y + r.nY, r.nWidth, r.nHeight);
    m_dc.SetPen(wxPen(kRuleColour, 1));
    for (const PageLayout::Line& l : page.vecLines)
        m_dc.DrawLine(origin.x + l.nX1, origin.y + l.nY1, origin.x + l.nX2, origin.y + l.nY2);
    m_dc.SetTextForeground(*wxBLACK);
    for (const PageLayout::Text& t : page.vecTexts) {
        m_dc.SetFont(m_arrFonts[static_cast<int>(t.style)]);
        m_dc.DrawText(t.str, origin.x + t.nX, origin.y + t.nY);
    }
    if (page.bPlot) {
        const PageLayout::Rect& r = page.rectPlot;
        PlotPainter(data).Draw(m_dc, wxRect(origin.x + r.nX, origin.y + r.nY, r.nWidth, r.nHeight));
    }
}
