#ifndef VARID_REPORT_REPORTDOCUMENT_H
#define VARID_REPORT_REPORTDOCUMENT_H

#include <wx/datetime.h>
#include <wx/string.h>

#include "grid/PanelContents.h"

class CalibrationFit;

// The printed record of a calibration as an HTML page for the toolkit's HTML
// renderer: title, date and time, program mode, the archive file the data
// came from, T, the results and manual values, the measurement table and,
// where Set was used, the manual table; after a Fit, its values, their
// uncertainties and its residual. Every value is the text the panel shows;
// the plot is drawn below it by the printout.
class ReportDocument {
public:
    // strArchiveFile is empty when the data did not come from an Open or Save
    // of this run; bChangedSince says the panel was changed after it. pFit,
    // when given, is the fit whose set the manual boxes show.
    static wxString BuildHtml(const panel::Contents& contents, int nProgramMode,
                              const wxDateTime& when, const wxString& strArchiveFile,
                              bool bChangedSince, const CalibrationFit* pFit = nullptr);

    // Text made safe for the page: typed cells may hold markup characters.
    static wxString Escape(const wxString& str);
};

#endif
