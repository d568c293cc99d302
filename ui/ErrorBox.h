#ifndef VARID_UI_ERRORBOX_H
#define VARID_UI_ERRORBOX_H

#include <wx/string.h>

// The program's one way of reporting a failure: a modal box titled "Error"
// with an OK button and the error icon, no parent window.
void ShowErrorBox(const wxString& message);

#endif
