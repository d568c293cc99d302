#ifndef VARID_CALC_ERRORREPORT_H
#define VARID_CALC_ERRORREPORT_H

#include <wx/string.h>

// The engine never opens a window itself: a failure message goes to one
// replaceable handler. The application installs the modal "Error" box; tests
// install a recorder. Without a handler the message goes to standard error.
using ErrorReportHandler = void (*)(const wxString& message);

// Returns the handler that was installed before.
ErrorReportHandler SetErrorReportHandler(ErrorReportHandler handler);
void ReportError(const wxString& message);

#endif
