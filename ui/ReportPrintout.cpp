#include "ui/ReportPrintout.h"

#include <algorithm>

#include <wx/html/htmprint.h>
#include <wx/intl.h>

#include "ui/PlotPainter.h"

namespace {

// The page is laid out in units of a 96-dpi screen, so text and lines have
// the sizes they have in the window; the printout scales them to the paper.
const double kUnitsPerMM = 96 / 25.4;
const double kMarginMM = 14;
// The plot takes at least this share of the printable height; the report's
// text shrinks as a whole when it would leave less.
const double kLeastPlotShare = 0.36;
const int kFontSize = 9;

}  // namespace

ReportPrintout::ReportPrintout(const wxString& strHtml, const PlotData& data)
    : wxPrintout(_("Calibration report")), m_strHtml(strHtml), m_data(data) {}

void ReportPrintout::GetPageInfo(int* pMinPage, int* pMaxPage, int* pPageFrom, int* pPageTo) {
    *pMinPage = *pMaxPage = *pPageFrom = *pPageTo = 1;
}

bool ReportPrintout::OnPrintPage(int nPage) {
    wxDC* pDC = GetDC();
    if (!pDC || !pDC->IsOk() || nPage != 1) return false;

    int nPageMMWidth = 0, nPageMMHeight = 0;
    GetPageSizeMM(&nPageMMWidth, &nPageMMHeight);
    if (nPageMMWidth <= 2 * kMarginMM || nPageMMHeight <= 2 * kMarginMM) return false;

    // Shrink the whole page (a larger page of units on the same paper) until
    // the text leaves the plot its share.
    double dZoom = 1.0;
    wxHtmlDCRenderer renderer;
    wxRect area;
    int nHtmlHeight = 0;
    for (int nTry = 0; nTry < 4; ++nTry) {
        const wxSize page(wxRound(nPageMMWidth * kUnitsPerMM * dZoom),
                          wxRound(nPageMMHeight * kUnitsPerMM * dZoom));
        FitThisSizeToPage(page);
        const int margin = wxRound(kMarginMM * kUnitsPerMM * dZoom);
        area = wxRect(margin, margin, page.x - 2 * margin, page.y - 2 * margin);
        renderer.SetDC(pDC);
        renderer.SetStandardFonts(kFontSize);
        renderer.SetSize(area.width, area.height);
        renderer.SetHtmlText(m_strHtml);
        nHtmlHeight = renderer.GetTotalHeight();
        const double dWanted = nHtmlHeight / (area.height * (1 - kLeastPlotShare));
        if (dWanted <= 1.0) break;
        dZoom *= dWanted * 1.02;
    }

    pDC->SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    renderer.Render(area.x, area.y, 0, nHtmlHeight);
    const int nGap = wxRound(4 * kUnitsPerMM * dZoom);
    const wxRect plot(area.x, area.y + nHtmlHeight + nGap, area.width,
                      std::max(1, area.height - nHtmlHeight - nGap));
    PlotPainter(m_data, dZoom).Draw(*pDC, plot);
    return true;
}
