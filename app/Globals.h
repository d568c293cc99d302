#ifndef VARID_APP_GLOBALS_H
#define VARID_APP_GLOBALS_H

#include <wx/string.h>

// Process-wide values loaded from the settings at start-up and stored back at
// shut-down.
extern wxString g_strXmlFile;  // archive directory (not a file, despite the key's name)
extern int g_nProgramMode;     // 0 = readings are frequencies, otherwise periods
extern bool g_bRemember;       // carried through the settings, read by nobody

#endif
