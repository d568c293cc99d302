#ifndef VARID_TESTS_GUI_GUITESTMAIN_H
#define VARID_TESTS_GUI_GUITESTMAIN_H

#include <wx/string.h>

// Lets pending events (paint, size, deferred deletion) run.
void PumpEvents();

// The wildcard a file dialog reports for a bare pattern such as "*.xml":
// Windows' dialog names the pattern for its list of types.
inline wxString DialogWildcard(const wxString& strPattern) {
#ifdef __WXMSW__
    return strPattern.AfterLast('*') + " files (" + strPattern + ")|" + strPattern;
#else
    return strPattern;
#endif
}

// Whether the system has a printer to preview for (GTK previews without one).
bool PrinterInstalled();
// Whether this Windows build runs under Wine, whose GDI+ draws dashed pens
// solid.
bool RunsUnderWine();

#endif
