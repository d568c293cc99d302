#ifndef VARID_REPORT_TEXTMETRICS_H
#define VARID_REPORT_TEXTMETRICS_H

#include <wx/string.h>

#include "report/ReportDocument.h"

// How large text comes out on the device a document is laid out for, in the
// units of its layout: the printout measures with the page's device context,
// so the layout needs no window of its own.
class TextMetrics {
public:
    virtual ~TextMetrics() = default;

    // Width of one line of text.
    virtual int GetTextWidth(const wxString& str, ReportDocument::Style style) const = 0;
    // Height of a line, from one baseline to the next.
    virtual int GetLineHeight(ReportDocument::Style style) const = 0;
};

#endif
