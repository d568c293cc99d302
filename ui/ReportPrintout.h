#ifndef VARID_UI_REPORTPRINTOUT_H
#define VARID_UI_REPORTPRINTOUT_H

#include <wx/print.h>

#include "report/PlotData.h"

// The one-page printed report: the report document (HTML) at the top and the
// plot, drawn by the plot's own routine, in the rest of the page. Goes
// through the toolkit's printing framework, so its preview, its printers and
// GTK's "Print to File" (PDF) all get the same page.
class ReportPrintout : public wxPrintout {
public:
    ReportPrintout(const wxString& strHtml, const PlotData& data);

    bool OnPrintPage(int nPage) override;
    bool HasPage(int nPage) override { return nPage == 1; }
    void GetPageInfo(int* pMinPage, int* pMaxPage, int* pPageFrom, int* pPageTo) override;

private:
    wxString m_strHtml;
    PlotData m_data;
};

#endif
