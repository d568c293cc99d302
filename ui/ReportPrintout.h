#ifndef VARID_UI_REPORTPRINTOUT_H
#define VARID_UI_REPORTPRINTOUT_H

#include <vector>

#include <wx/print.h>

#include "report/PageLayout.h"
#include "report/PlotData.h"
#include "report/ReportDocument.h"

// The printed certificate or report over as many pages as it needs. Goes
// through the toolkit's printing framework, so its preview, its printers,
// GTK's "Print to File" and Windows' "Microsoft Print to PDF" all get the
// same pages. They are laid out on this printout's own device when printing
// is prepared, before the first page is drawn.
class ReportPrintout : public wxPrintout {
public:
    ReportPrintout(const ReportDocument& doc, const PlotData& data);

    void OnPreparePrinting() override;
    bool HasPage(int nPage) override;
    void GetPageInfo(int* pMinPage, int* pMaxPage, int* pPageFrom, int* pPageTo) override;
    bool OnPrintPage(int nPage) override;

    const std::vector<PageLayout::Page>& GetPages() const { return m_vecPages; }

    // A page of the given size in millimetres in the layout's units (96 to
    // the inch), and its printable area inside the margins.
    static wxSize PageUnits(int nWidthMM, int nHeightMM);
    static wxRect PrintableArea(const wxSize& page);

private:
    // Scales the device to the layout's units and gives the area the layout
    // fills; false when there is no device or no room inside the margins.
    bool MapPage(wxRect& area);

    ReportDocument m_doc;
    PlotData m_data;
    std::vector<PageLayout::Page> m_vecPages;
};

#endif
