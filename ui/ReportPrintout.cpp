#include "ui/ReportPrintout.h"

#include "ui/PagePainter.h"

namespace {

// The page is laid out in units of a 96-dpi screen, so text and lines have
// the sizes they have in the window; the printout scales them to the paper.
const double kUnitsPerMM = 96 / 25.4;
const double kMarginMM = 14;
// Less paper inside the margins would take a page for every line or two.
const double kLeastWidthMM = 60, kLeastHeightMM = 80;
// Antialiased glyphs reach a unit or so past their advance: the layout
// keeps that far inside the printable area.
const int kOverhang = 2;

}  // namespace

ReportPrintout::ReportPrintout(const ReportDocument& doc, const PlotData& data)
    : wxPrintout(doc.GetHeadline()), m_doc(doc), m_data(data) {}

wxSize ReportPrintout::PageUnits(int nWidthMM, int nHeightMM) {
    return wxSize(wxRound(nWidthMM * kUnitsPerMM), wxRound(nHeightMM * kUnitsPerMM));
}

wxRect ReportPrintout::PrintableArea(const wxSize& page) {
    const int nMargin = wxRound(kMarginMM * kUnitsPerMM);
    return wxRect(nMargin, nMargin, page.x - 2 * nMargin, page.y - 2 * nMargin);
}

bool ReportPrintout::MapPage(wxRect& area) {
    wxDC* pDC = GetDC();
    if (!pDC || !pDC->IsOk()) return false;
    int nWidthMM = 0, nHeightMM = 0;
    GetPageSizeMM(&nWidthMM, &nHeightMM);
    if (nWidthMM < 2 * kMarginMM + kLeastWidthMM || nHeightMM < 2 * kMarginMM + kLeastHeightMM)
        return false;
    const wxSize page = PageUnits(nWidthMM, nHeightMM);
    FitThisSizeToPage(page);
    area = PrintableArea(page).Deflate(kOverhang);
    return true;
}

void ReportPrintout::OnPreparePrinting() {
    m_vecPages.clear();
    wxRect area;
    if (!MapPage(area)) return;
    PagePainter painter(*GetDC());
    m_vecPages = PageLayout(painter, area.width, area.height).Paginate(m_doc);
}

bool ReportPrintout::HasPage(int nPage) {
    return nPage >= 1 && nPage <= static_cast<int>(m_vecPages.size());
}

void ReportPrintout::GetPageInfo(int* pMinPage, int* pMaxPage, int* pPageFrom, int* pPageTo) {
    // Nothing laid out (no device, or no room inside the margins) still
    // gives the framework a page, whose drawing then fails.
    *pMinPage = *pPageFrom = 1;
    *pMaxPage = *pPageTo = std::max<int>(1, static_cast<int>(m_vecPages.size()));
}

bool ReportPrintout::OnPrintPage(int nPage) {
    wxRect area;
    if (!HasPage(nPage) || !MapPage(area)) return false;
    PagePainter(*GetDC()).Draw(m_vecPages[nPage - 1], area.GetTopLeft(), m_data);
    return true;
}
